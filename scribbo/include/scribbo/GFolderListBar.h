// The strip above the memo list that browses memos by folder: a folder button that drops down
// the whole folder tree, then a tab for the current folder and one for each of its
// subfolders. The tab picked decides which folder the list shows. The bar also offers the
// folder menu (new, rename, delete, move, merge, lock, go up) and keeps each folder's colour,
// lock and remembered subfolder in its "folder.info".
#pragma once

#include "scribbo/GFolderTree.h"
#include "winza/GBar.h"
#include "winza/GFontManager.h"

#include <vector>

class GFolderItem;
class MemoIndex;

// What picking a folder in the drop-down tree does.
enum eFolderPick {
    eFolderPickList = 0,      // list the picked folder
    eFolderPickMove = 1,      // move the listed folder into it
    eFolderPickMerge = 2,     // move the listed folder's content into it
    eFolderPickCopyMemos = 3, // the owner copies its selected memos there
    eFolderPickMoveMemos = 4, // the owner moves its selected memos there
};

// Commands of the folder menu.
enum eFolderCommand {
    ID_FOLDER_COLOR = 1130,
    ID_FOLDER_NEW = 1131,
    ID_FOLDER_RENAME = 1132,
    ID_FOLDER_MOVE = 1133,
    ID_FOLDER_LOCK = 1135,
    ID_FOLDER_UNLOCK = 1136,
    ID_FOLDER_MERGE = 1137,
    ID_FOLDER_DELETE = 1138,
    ID_FOLDER_UP = 1139,
    ID_FOLDER_OPEN = 1140,
};

class GFolderListBar : public GBar {
public:
    // Hides the drop-down a moment after it lost the focus.
    static constexpr UINT_PTR kHideTimer = 10;
    static constexpr UINT kHideMs = 100;
    // Id of the tree control in its notices.
    static constexpr int kTreeId = 1;

    GFolderListBar();
    ~GFolderListBar() override;
    LPCWSTR GetClassNameW() override { return u"GFolderListBar"; }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Draw(HDC hdc, RECT clip) override;
    int CreateBar(HWND parent, Winza* owner, RECT rect, eGBarType type) override;
    void MoveBar(RECT rect, int redraw) override;

    // The window told of folder changes and picked targets; the owner's window when none is
    // set.
    void SetNotifyWindow(HWND hwnd) { m_hNotify = hwnd; }
    HWND GetNotifyWindow() const;

    // The listed folder (the selected subfolder, else the current folder), no trailing
    // backslash; empty before the tree is loaded.
    LPCWSTR GetFolderPath() const { return m_szPath; }
    // The listed folder's colour; the toolkit's colour 4 when none is listed.
    COLORREF GetFolderColor() const;
    // The listed folder is locked and its lock was not lifted for this listing.
    int IsLocked() const { return m_bLocked; }
    void Unlock();
    // Makes the folder of path current and lists it; flag non-zero tells the owner.
    void SetCurFolder(LPCWSTR path, int flag);
    // The listed folder's colour, kept in its "folder.info".
    void SetFolderColor(COLORREF colour);
    void ShowDropDown(int show);
    // Opens the drop-down to pick a target for the owner's memos (copy 3, move 4).
    void StartPick(int mode);
    // Reloads the tree under BaseDataFolder, keeping the current folder when it is still there.
    void LoadTree();
    // The same, registering every memo with index (the main window's rescan).
    void Rescan(MemoIndex* index);

    // Runs a command of the folder menu.
    void DoCommand(int id);
    // 1 when the folder menu offers the command now.
    int IsCommandOffered(int id) const;
    // The password entry of a locked folder: 1 when it unlocked the listing.
    int AskPassword();

    // State and layout, for the owner and tests.
    GFolderTree* GetTree() { return &m_tree; }
    POSITION GetCurItem() const { return m_posCur; }
    POSITION GetSelItem() const { return m_posSel; }
    int GetPickMode() const { return m_nPickMode; }
    int IsDropDownShown() const { return m_bDropDown; }
    RECT GetFolderButtonRect() const { return m_rcFolderBtn; }
    RECT GetLeftArrowRect() const { return m_rcLeft; }
    RECT GetRightArrowRect() const { return m_rcRight; }
    // Tab 0 is the current folder's, then one per subfolder; empty rectangles are scrolled
    // out. The offset counts the subfolder tabs scrolled out on the left.
    int GetTabCount() const { return int(m_tabs.size()); }
    RECT GetTabRect(int index) const;
    POSITION GetTabItem(int index) const;
    int GetTabOffset() const { return m_nTabOffset; }

protected:
    struct Tab {
        POSITION pos;
        RECT rect;
        int chars; // label characters that fit
    };

    LRESULT OnLbuttonDown(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnLbuttonUp(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnTimer(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnContextMenu(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void OnTreeChosen(POSITION pos);
    void OnTabDown(int index, POINT pt);

    // Folder state.
    GFolderItem* ItemAt(POSITION pos) const;
    POSITION ListedItem() const { return m_posSel ? m_posSel : m_posCur; }
    int IsRootItem(POSITION pos) const;
    // The item's folder path without the trailing backslash; 0 when it has none.
    int ItemPath(POSITION pos, WCHAR* out) const;
    // Writes the previous current folder's "folder.info" and opens pos with its remembered
    // subfolder selected.
    void OpenFolder(POSITION pos);
    // Lists exactly the folder of pos: its parent becomes current with pos selected.
    void ListItem(POSITION pos);
    void UpdateListed();
    void Notify(LPARAM lParam);
    void ListColorChanged();
    // Rebuilds the tree (with the index through the main window when there is one), then
    // opens show as the current folder, or with list lists exactly show; with show null the
    // current folder opens again.
    void RequestRescan(LPCWSTR show, int list);

    // Folder menu and its commands.
    void ShowFolderMenu(POINT screen);
    int AskName(LPCWSTR initial, WCHAR* out);
    // The colour menu on its own, below the folder button.
    void ChooseColour();
    void NewFolder();
    void RenameFolder();
    void DeleteListedFolder();
    void SetListedLock(int locked);
    void MoveListedFolder(POSITION target, int merge);
    // The OK/Cancel question and the timed notice; 1 when confirmed.
    virtual int Confirm(int text, int caption);
    virtual void Refuse(int text, int caption);

    // Layout and painting.
    void Layout();
    void MakeFont();
    HFONT BarFont() const;
    void EnsureTabVisible(int index);
    int HitTab(POINT pt) const;
    int LastTabFits() const;
    void Repaint();
    void DrawFolderButton(HDC hdc);
    void DrawArrowBox(HDC hdc, RECT box, int pressed, int enabled, int direction);
    void DrawTab(HDC hdc, const Tab& tab, int index);

    RECT m_rcFolderBtn{0, 0, 0, 0};
    int m_bDropDown = 0;
    int m_bMenuFromHold = 0;
    HWND m_hNotify = nullptr;
    GFolderTree m_tree;
    WCHAR m_szPath[MAX_PATH] = {};
    RECT m_rcLeft{0, 0, 0, 0};
    int m_bLeftPressed = 0;
    RECT m_rcRight{0, 0, 0, 0};
    int m_bRightPressed = 0;
    POSITION m_posCur = nullptr;
    POSITION m_posSel = nullptr;
    int m_nPickMode = eFolderPickList;
    int m_nTabOffset = 0;
    int m_bLocked = 0;

    std::vector<Tab> m_tabs;
    RECT m_rcTabs{0, 0, 0, 0};
    int m_nLabelChars = 0;
    eUserFontType m_nFont = eUserFontNone;
    POINT m_ptMenu{0, 0};
    // The folder to list after the next rescan, when an operation moved it.
    WCHAR m_szPending[MAX_PATH] = {};
    int m_bPendingList = 0;
};
