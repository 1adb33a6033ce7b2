// The writing surface: a popup over the whole screen that shows one memo and turns stylus
// strokes into its ink. Around the ink float the top tool bar, the pen tool bar at the bottom,
// two scroll bars, the launcher tabs that show and hide them, and the magnify strip. The view
// opens memos, starts new ones and saves them when they are left.
#pragma once

#include "scribbo/GMagnifyPad.h"
#include "scribbo/GPadDrawMan.h"
#include "scribbo/GScrollBarLauncher.h"
#include "scribbo/GToolBarEx.h"
#include "scribbo/GToolBarLauncher.h"
#include "scribbo/MemoAutoSave.h"
#include "winza/GScrollBar.h"
#include "winza/Winza.h"

#include <algorithm>
#include <vector>

class GToolButton;

// Commands of the pad view's tool bars.
enum ePadCommand {
    ID_PAD_NEWMEMO = 1010,
    ID_PAD_OPTIONS = 1011,
    ID_PAD_PAGEMENU = 1012,
    ID_PAD_CLOSE = 1019,
    ID_PAD_IMPORTTEXT = 1023,
    ID_PAD_PAGEINSERT = 1030,
    ID_PAD_PAGEDELETE = 1031,
    ID_PAD_PAGEPREV = 1032,
    ID_PAD_PAGENEXT = 1033,
    ID_PAD_PENS = 1040,
    ID_PAD_ZOOMIN = 1045,
    ID_PAD_ZOOMOUT = 1046,
    ID_PAD_ZOOM100 = 1047,
    ID_PAD_MAGNIFY = 1049,
    ID_PAD_PEN = 1050,
    ID_PAD_MARKER = 1051,
    ID_PAD_ERASER = 1052,
    ID_PAD_STROKEDELETE = 1053,
    ID_PAD_PENCIL = 1054,
    ID_PAD_CLEARPAGE = 1058,
    ID_PAD_FULLSCREEN = 1080,
    ID_PAD_NORMALSCREEN = 1081,
    ID_PAD_FITWIDTH = 1088,
    ID_PAD_FITHEIGHT = 1089,
};

// The scroll bars come and go with the pen; the engine's scroll bar type.
class InkraManScrollBar : public GScrollBar {
public:
    LPCWSTR GetClassNameW() override { return u"InkraManScrollBar"; }
};

class GPadView : public Winza {
public:
    static constexpr UINT kScrollLauncherTimer = 101;
    static constexpr UINT kToolLauncherTimer = 103;
    static constexpr UINT kLauncherHideMs = 2000;
    // Saves a changed memo this long after the pen last left the page.
    static constexpr UINT kAutoSaveTimer = 106;
    static constexpr UINT kAutoSaveMs = 2000;
    static constexpr int kMinZoom = 25;
    static constexpr int kMaxZoom = 300;
    static constexpr int kZoomStep = 25;
    // Stylus samples taken per move message at most.
    static constexpr int kMovePoints = 64;

    GPadView();
    ~GPadView() override;
    LPCWSTR GetClassNameW() override { return u"GPadView"; }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Draw(HDC hdc, RECT clip) override;

    // The popup over the screen, hidden; 0 when it cannot be made.
    int CreateView(HWND owner);
    // Shows the memo at path; 0 (and the view closed) when it cannot be read.
    int OpenMemo(LPCWSTR path);
    // Saves the memo shown and starts a new one in folder.
    int NewMemo(LPCWSTR folder);
    // Saves the memo shown (when there is one) and forgets its path. 0 when the save failed:
    // the memo then stays open, so nothing is lost.
    int SaveMemo();
    // Saves and hides the view (after a direct start, ends the program).
    void CloseMemo();
    // The window told about saved and emptied memos (the title view); null deletes empty
    // files directly.
    void SetNotifyTarget(HWND target) { m_hNotify = target; }
    // The list bar's colour, which the pad's bars take.
    void SetListColor(COLORREF colour);

    void ZoomTo(int percent);
    void ZoomIn() { ZoomTo(std::min(GetZoom() + kZoomStep, kMaxZoom)); }
    void ZoomOut() { ZoomTo(std::max(GetZoom() - kZoomStep, kMinZoom)); }
    void FitWidth();
    void FitHeight();
    // Scroll offsets into the zoomed page, clamped to it.
    void ScrollTo(int x, int y);
    void ScrollBy(int dx, int dy);
    POINT GetScrollPos() const;
    void SetFullScreen(int on);
    void ShowMagnifier(int on);
    // Chooses the pen of a preset item of the pen bar (null: the pen of the settings).
    void SelectPreset(const GToolButton* item);

    GPadDrawMan* GetMemo() { return &m_memo; }
    LPCWSTR GetMemoPath() const { return m_szPath; }
    int HasMemo() const { return m_szPath[0] != 0; }
    int IsNewMemo() const { return m_bNewMemo; }
    int IsChanged() const { return m_bDirty; }
    int GetZoom() const { return m_nZoom; }
    int IsFullScreen() const { return m_bFullScreen; }
    int IsMagnifierMode() const { return m_bMagnifier; }
    RECT GetMagnifierFrame() const { return m_rcMagnifier; }
    // The ink area in client coordinates.
    RECT GetInkRect() const;
    GToolBarEx* GetTopBar() { return &m_topBar; }
    GToolBarEx* GetPenBar() { return &m_penBar; }
    InkraManScrollBar* GetHScrollBar() { return &m_hScroll; }
    InkraManScrollBar* GetVScrollBar() { return &m_vScroll; }
    MemoAutoSave* GetAutoSave() { return &m_autoSave; }
    GScrollBarLauncher* GetScrollTab() { return &m_scrollTab; }
    GToolBarLauncher* GetToolTab() { return &m_toolTab; }
    GMagnifyPad* GetMagnifyPad() { return &m_magnify; }

protected:
    LRESULT OnCreate(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnTimer(WPARAM id);
    LRESULT OnPenDown(LPARAM lParam);
    LRESULT OnPenMove(LPARAM lParam);
    LRESULT OnPenUp(LPARAM lParam);
    LRESULT OnKeyDown(WPARAM key);
    LRESULT OnKeyUp(WPARAM key);
    LRESULT OnScroll(UINT msg, WPARAM wParam);

    void CreateBars();
    // The launcher tabs over the ink buffer's right edge, made or moved.
    void PlaceTabs();
    // The scroll bar tab's place: the corner where the two bars meet, above the pen bar.
    RECT CornerTabRect() const;
    // Repaints the tabs that lie over rc (buffer coordinates): they blend the ink under them.
    void RefreshTabsOver(const tagRECT& rc);
    void FitPresets();
    void InitDrawManagers();
    // Lays bars, scroll bars and the ink buffer out for the window's size.
    void Layout();
    // Ranges and positions of the scroll bars from the zoomed page and the ink area.
    void UpdateScrollBars();
    // Copies a rectangle of the ink buffer (buffer coordinates) to the window.
    void ShowInk(const tagRECT& rc);
    void Redraw();
    // The memo in m_memo becomes the one shown, under path, unchanged so far.
    int ShowMemo(LPCWSTR path, int isNew);
    void ShowView();
    void HideView();
    // Page commands, each followed by the view showing the page.
    void GoToPage(int index);
    void InsertPage();
    void DeletePage();
    void ClearPage();
    void ImportText();
    void PadOptions();
    void MarkChanged();
    void StartAutoSave();
    // Ends a stroke in progress (the view hides or the memo changes under it).
    void CancelStroke();
    // Lays the frame on the line nearest pt (client coordinates), inside the page.
    void MoveMagnifierTo(POINT pt);
    void PlaceMagnifierFrame();
    void DrawMagnifier(HDC hdc);
    // The frame follows the magnify strip's view and stays on screen.
    void FollowMagnifyPad(int scrollIntoView);
    // The strip shows the memo's current page (or nothing while no memo is shown).
    void AttachMagnifyPage();
    // A stroke written in the strip: the memo redraws its page rectangle.
    void OnMagnifyStroke(const tagRECT* pageRect);
    // The zoomed page's size in pixels.
    SIZE PageExtent() const;
    void UpdatePageIndicator();
    // Notifies the title view, or deletes an empty memo's file when there is none.
    void NotifySaved(int written, int wasNew, int changed, LPCWSTR path);

    GPadDrawMan m_memo;
    GPadDrawMan m_preview;
    InkraManScrollBar m_hScroll;
    InkraManScrollBar m_vScroll;
    GToolBarEx m_topBar;
    GToolBarEx m_penBar;
    MemoAutoSave m_autoSave;
    GScrollBarLauncher m_scrollTab;
    GToolBarLauncher m_toolTab;
    GMagnifyPad m_magnify;
    std::vector<GToolButton*> m_presets;
    WCHAR m_szPath[kMemoPathChars] = {};
    HWND m_hNotify = nullptr;
    RECT m_rcMagnifier{0, 0, 0, 0};
    RECT m_rcMagnifierOld{0, 0, 0, 0};
    int m_bMagnifier = 0;
    int m_bMagnifierDrag = 0;
    POINT m_ptMagnifierOffset{0, 0};
    int m_bDrawing = 0;
    POINT m_ptLast{0, 0};
    int m_nZoom = 100;
    int m_nOffsetX = 0;
    int m_nOffsetY = 0;
    int m_bFullScreen = 0;
    RECT m_rcNormal{0, 0, 0, 0};
    COLORREF m_crList = 0;
    int m_bTaskBar = 1;
    int m_bNewMemo = 0;
    int m_bKeyGuard = 0;
    // The pen bar's shown level when the pen went down on it (a tap there may change it).
    POSITION m_penLevelAtPress = nullptr;
    int m_bPenBarPressed = 0;
    // An arrow held turned the page: its release does not scroll too.
    int m_bKeyTurned = 0;
    // Unsaved changes (what an autosave writes), and any change since the memo was shown
    // (what the title view is told of when it is left).
    int m_bDirty = 0;
    int m_bTouched = 0;
    HBRUSH m_hBackBrush = nullptr;
    int m_nBarHeight = 0;
};
