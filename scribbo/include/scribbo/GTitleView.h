// The memo list of the main window: the memos of the folder chosen in the folder list bar or
// of the day chosen in the date list bar, as rows or as a grid of page previews. A worker
// thread draws the previews of the entries in sight, so the list answers the pen meanwhile.
#pragma once

#include "fundo/GDib.h"
#include "scribbo/GPadDrawMan.h"
#include "winza/GScrollBar.h"
#include "winza/Winza.h"

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class GDateListBar;

// What the title view asks of the folder list bar. The bar implements it; tests stand in.
class TitleFolderSource {
public:
    virtual ~TitleFolderSource() = default;
    virtual LPCWSTR GetFolderPath() = 0;
    virtual int IsLocked() = 0;
    virtual void Unlock() = 0;
    // Lets the user pick a folder: mode 3 answers UM_COPYMEMOS, mode 4 UM_MOVEMEMOS.
    virtual void StartPick(int mode) = 0;
};

// One memo of the list. The preview thread writes only preview, and only while the list
// stays as it is; everything else belongs to the interface thread.
struct TitleEntry {
    GDib preview;
    WCHAR path[kMemoPathChars] = {};
    double time = 0;
    BYTE mark = 0;
    COLORREF back = RGB(255, 255, 255);
    // Mark and back colour are read from the file when the entry is first needed.
    BYTE headerRead = 0;
};

enum eTitleNaviMode { eNaviFolder = 1, eNaviDate = 2 };
enum eTitleViewMode { eViewRows = 3, eViewGrid = 4 };

// Context menu commands.
enum eTitleCommand {
    ID_TITLE_DELETE = 1140,
    ID_TITLE_DUPLICATE = 1141,
    ID_TITLE_COPY = 1142,
    ID_TITLE_MOVE = 1143,
};

// What the header of a memo file says about it, read without loading the memo.
struct MemoQuickInfo {
    BYTE mark = 0;
    COLORREF back = RGB(255, 255, 255);
};
// 1 when the header was read; on failure info keeps its defaults (an unmarked white entry).
int ReadMemoQuickInfo(LPCWSTR path, MemoQuickInfo* info);
// Sets byte 0 of the memo's state block through the safe save, keeping its file version.
int WriteMemoMark(LPCWSTR path, BYTE mark);

class GTitleView : public Winza {
public:
    static constexpr UINT_PTR kUnlockTimer = 105;
    static constexpr UINT kUnlockMs = 10;
    static constexpr int kGridColumns = 3;
    // UM_PREVIEWREADY's wParam when the preview thread has finished its run.
    static constexpr WPARAM kPreviewsDone = WPARAM(-1);

    GTitleView();
    ~GTitleView() override;
    LPCWSTR GetClassNameW() override { return u"GTitleView"; }
    int RegisterClassW() override;
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Draw(HDC hdc, RECT clip) override;

    // The bars it lists from (either may be null).
    void SetDateListBar(GDateListBar* bar) { m_pDateBar = bar; }
    void SetFolderSource(TitleFolderSource* bar) { m_pFolderBar = bar; }
    // The folder to list without a folder list bar, and whether it is locked.
    void SetFolder(LPCWSTR path, int locked);
    // The folder a new memo goes to: the folder listed, else the store's root.
    LPCWSTR GetCurFolder() const;

    void SetNaviMode(int mode);
    void SetViewMode(int mode);
    int GetNaviMode() const { return m_nNaviMode; }
    int GetViewMode() const { return m_nViewMode; }
    // Lists the folder or the day again (the folder bar's or the date bar's current one).
    void Reload();
    // The main window's wheel: (delta x row step) / -120 pixels.
    void ScrollByWheel(int delta);
    void ScrollTo(int position);
    int GetScrollPos() const;

    // The list and its layout.
    int GetEntryCount() const { return int(m_entries.size()); }
    // The entry, with its header read.
    const TitleEntry* GetEntry(int index) const;
    int FindEntry(LPCWSTR path) const;
    int GetItemWidth() const { return m_nItemWidth; }
    int GetItemHeight() const { return m_nItemHeight; }
    int GetGap() const { return m_nGap; }
    int GetColumns() const { return m_nViewMode == eViewGrid ? kGridColumns : 1; }
    int GetContentHeight() const;
    int IsScrollShown() const { return m_bScrollShown; }
    GScrollBar* GetScrollBar() { return &m_scroll; }
    // Client rectangle of an entry at the current scroll position.
    RECT GetItemRect(int index) const;
    RECT GetMarkRect(int index) const;
    // Index of the entry under a client point, or -1.
    int HitTest(POINT point) const;
    // The caption of a row: its time in folder navigation, its folder in date navigation.
    // With width > 0 and a dc, it is fitted to that many pixels.
    void GetCaption(int index, WCHAR* out, int outChars, HDC dc = nullptr, int width = 0) const;
    const std::vector<int>& GetSelection() const { return m_selection; }
    int GetAnchor() const { return m_nAnchor; }
    void SelectOnly(int index);

    // The preview thread.
    void StartPreview();
    void StopPreview();
    int IsPreviewRunning() const { return m_hThread != nullptr && !m_bThreadDone.load(); }
    // Entries given a preview since the list was made (for tests and measuring).
    int GetPreviewsDrawn() const { return m_nPreviewsDrawn.load(); }

    // Context menu actions on the selection.
    void DeleteSelected(int ask);
    void DuplicateSelected();
    void CopyOrMoveSelected(LPCWSTR folder, int move);
    // Toggles the entry's mark and writes it to its file.
    void ToggleMark(int index);
    // Opens the memo of the entry in the pad view.
    void OpenEntry(int index);

protected:
    LRESULT OnCreate(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnLbuttonDown(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnLbuttonUp(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyDown(WPARAM key);
    LRESULT OnKeyUp(WPARAM key);
    LRESULT OnContextMenu(LPARAM lParam);
    void OnFolderChanged();
    void OnDateChanged();
    void OnMemoSaved(int isNew, LPCWSTR path);
    void OnMemoEmpty(LPCWSTR path);
    void OnUnlockTimer();
    void ClosePadMemo();

    // The list: rebuilt from paths, keeping entries (and their previews) of the same path.
    void ListFolder(LPCWSTR folder);
    void ListDate();
    void Rebuild(const std::vector<std::pair<std::u16string, double>>& memos);
    void Recalc(int redraw);
    int VisibleHeight() const;
    void RedrawEntry(int index);
    void SetRangeSelection(int from, int to);
    int IsSelected(int index) const;
    void MoveSelection(int step);
    void EnsureVisible(int index);

    // Drawing.
    void DrawRow(HDC hdc, int index, RECT item);
    void DrawCell(HDC hdc, int index, RECT item);
    void DrawMarkCorner(HDC hdc, int index, RECT item);

    static void ReadHeader(TitleEntry* entry);
    static DWORD WINAPI PreviewProc(LPVOID param);
    void RenderPreviews();

    // Winza's extra pointers: the two bars.
    GDateListBar* m_pDateBar = nullptr;
    TitleFolderSource* m_pFolderBar = nullptr;
    GScrollBar m_scroll;
    std::vector<std::unique_ptr<TitleEntry>> m_entries;
    int m_nItemHeight = 40;
    int m_nItemWidth = 0;
    int m_nGap = 2;
    std::vector<int> m_selection;
    int m_nAnchor = -1;
    WCHAR m_szFolder[kMemoPathChars] = {};
    int m_bLocked = 0;
    HANDLE m_hThread = nullptr;
    std::atomic<int> m_bStop{0};
    std::atomic<int> m_bThreadDone{1};
    std::atomic<int> m_nPreviewsDrawn{0};
    int m_nNaviMode = eNaviFolder;
    int m_nViewMode = eViewRows;
    int m_bScrollShown = 0;
    // What the running preview thread works on, fixed when it starts.
    int m_nRenderFirst = 0;
    int m_nRenderLast = 0;
    SIZE m_szRender{0, 0};
    GPadDrawMan m_previewMan;
    // Pen state.
    int m_bPenDown = 0;
    // Enter: when it went down, and whether its hold opened the menu.
    DWORD m_dwEnterDown = 0;
    int m_bEnterPressed = 0;
    int m_bEnterHeld = 0;
};
