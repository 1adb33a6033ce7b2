// The folder menu of the folder list bar and what its commands do to the memo store.
#include "scribbo/App.h"
#include "FolderPassword.h"
#include "scribbo/GColorMenu.h"
#include "scribbo/GCustomMessageBox.h"
#include "scribbo/GFolderItem.h"
#include "scribbo/GFolderListBar.h"
#include "scribbo/LanguageText.h"
#include "scribbo/MemoStore.h"
#include "scribbo/Settings.h"

#include "winza/GFileDialog.h"
#include "winza/GMenu.h"
#include "winza/GNameEditCtrl.h"
#include "winza/Hires.h"

#include <cstdlib>

namespace {

// Message box texts and captions.
constexpr int kTextDeleteAsk = 16;
constexpr int kTextIntoItself = 17;
constexpr int kTextMoveAsk = 18;
constexpr int kTextMergeAsk = 19;
constexpr int kCaptionConfirm = 22;
constexpr int kCaptionMove = 29;
constexpr int kNoticeMs = 3000;
constexpr int kNoticeAlpha = 224;

// Menu texts.
constexpr int kTextNew = 31;
constexpr int kTextUp = 32;
constexpr int kTextOpen = 33;
constexpr int kTextMove = 34;
constexpr int kTextRename = 35;
constexpr int kTextOrganise = 36;
constexpr int kTextMerge = 37;
constexpr int kTextDelete = 38;
constexpr int kTextColour = 39;
constexpr int kTextLock = 41;
// Folder colours come from this column of the palette.
constexpr int kFolderColourColumn = 1;
constexpr int kTextUnlock = 42;

// 1 when path is folder or lies below it.
int IsInFolder(LPCWSTR path, LPCWSTR folder) {
    const int n = lstrlenW(folder);
    if (n == 0 || lstrlenW(path) < n)
        return 0;
    WCHAR head[MAX_PATH];
    lstrcpynW(head, path, n + 1);
    return !lstrcmpiW(head, folder) && (path[n] == 0 || path[n] == u'\\');
}

// folder + "\" + name into MAX_PATH characters; 0 when it does not fit.
int JoinPath(WCHAR* out, LPCWSTR folder, LPCWSTR name) {
    if (lstrlenW(folder) + 1 + lstrlenW(name) >= MAX_PATH)
        return 0;
    lstrcpyW(out, folder);
    lstrcatW(out, u"\\");
    lstrcatW(out, name);
    return 1;
}

// Each channel 0xA0 and up: a new folder's colour.
COLORREF RandomLightColor() {
    const int r = 0xA0 + std::rand() % 95;
    const int g = 0xA0 + std::rand() % 95;
    const int b = 0xA0 + std::rand() % 95;
    return RGB(r, g, b);
}

} // namespace

int GFolderListBar::IsCommandOffered(int id) const {
    const POSITION listed = ListedItem();
    const GFolderItem* item = ItemAt(listed);
    if (!item)
        return 0;
    switch (id) {
        case ID_FOLDER_UP:
            return !IsRootItem(m_posCur);
        case ID_FOLDER_NEW:
        case ID_FOLDER_COLOR:
            return 1;
        case ID_FOLDER_OPEN:
            return m_posSel != nullptr;
        case ID_FOLDER_LOCK:
            return !item->IsLocked();
        case ID_FOLDER_UNLOCK:
            return item->IsLocked();
        case ID_FOLDER_RENAME:
        case ID_FOLDER_MOVE:
        case ID_FOLDER_MERGE:
        case ID_FOLDER_DELETE:
            // The store's root stays where the settings put it.
            return !IsRootItem(listed);
        default:
            return 0;
    }
}

void GFolderListBar::ShowFolderMenu(POINT screen) {
    // Submenus first: each must outlive the menu that opens it.
    GCustomColorMenu grid;
    GColorMenu colours;
    GMenu organise;
    GMenu menu;
    if (!menu.CreateMenu(m_hWnd, this) || !organise.CreateMenu(m_hWnd, this) ||
        !colours.CreateMenu(m_hWnd, this) || !grid.CreateMenu(m_hWnd, this))
        return;
    struct Entry {
        int id;
        int text;
    };
    static const Entry top[] = {
        {ID_FOLDER_UP, kTextUp},         {ID_FOLDER_NEW, kTextNew},
        {ID_FOLDER_OPEN, kTextOpen},     {ID_FOLDER_COLOR, kTextColour},
        {ID_FOLDER_LOCK, kTextLock},     {ID_FOLDER_UNLOCK, kTextUnlock},
        {ID_FOLDER_RENAME, kTextRename}, {ID_FOLDER_MOVE, kTextMove},
    };
    for (const Entry& e : top) {
        if (!IsCommandOffered(e.id))
            continue;
        if (e.id != ID_FOLDER_COLOR) {
            menu.AppendMenuW(e.id, GetLangText(e.text));
        } else {
            BuildPaletteColorMenu(&colours, &grid, ID_FOLDER_COLOR, kFolderColourColumn,
                                  GetFolderColor());
            menu.AppendMenuW(&colours, GetLangText(e.text));
        }
    }
    if (IsCommandOffered(ID_FOLDER_MERGE)) {
        organise.AppendMenuW(ID_FOLDER_MERGE, GetLangText(kTextMerge));
        organise.AppendMenuW(ID_FOLDER_DELETE, GetLangText(kTextDelete));
        menu.AppendMenuW(&organise, GetLangText(kTextOrganise));
    }
    if (screen.x == -1 && screen.y == -1) {
        // From the keyboard: below the folder button.
        screen = POINT{m_rcFolderBtn.left, m_rcFolderBtn.bottom};
        ClientToScreen(&screen);
    }
    const int id = menu.TrackPopupGMenu(0, screen.x, screen.y, 0);
    menu.DestroyMenu();
    if (id == ID_FOLDER_COLOR)
        SetFolderColor(colours.GetCurColor());
    else if (id > 0)
        DoCommand(id);
}

void GFolderListBar::ChooseColour() {
    GCustomColorMenu grid;
    GColorMenu colours;
    if (!colours.CreateMenu(m_hWnd, this) || !grid.CreateMenu(m_hWnd, this))
        return;
    BuildPaletteColorMenu(&colours, &grid, ID_FOLDER_COLOR, kFolderColourColumn, GetFolderColor());
    POINT at{m_rcFolderBtn.left, m_rcFolderBtn.bottom};
    ClientToScreen(&at);
    if (colours.TrackPopupGMenu(0, at.x, at.y, 0) == ID_FOLDER_COLOR)
        SetFolderColor(colours.GetCurColor());
    colours.DestroyMenu();
}

void GFolderListBar::DoCommand(int id) {
    if (!IsCommandOffered(id))
        return;
    switch (id) {
        case ID_FOLDER_UP: {
            POSITION parent = m_tree.GetParentItem(m_posCur);
            OpenFolder(parent ? parent : m_tree.GetTopItem());
            ListColorChanged();
            Notify(0);
            break;
        }
        case ID_FOLDER_NEW:
            NewFolder();
            break;
        case ID_FOLDER_COLOR:
            ChooseColour();
            break;
        case ID_FOLDER_OPEN:
            OpenFolder(m_posSel);
            ListColorChanged();
            Notify(0);
            break;
        case ID_FOLDER_LOCK:
        case ID_FOLDER_UNLOCK:
            SetListedLock(id == ID_FOLDER_LOCK);
            break;
        case ID_FOLDER_RENAME:
            RenameFolder();
            break;
        case ID_FOLDER_MOVE:
        case ID_FOLDER_MERGE:
            ShowDropDown(0);
            m_nPickMode = id == ID_FOLDER_MOVE ? eFolderPickMove : eFolderPickMerge;
            ShowDropDown(1);
            break;
        case ID_FOLDER_DELETE:
            DeleteListedFolder();
            break;
        default:
            break;
    }
}

int GFolderListBar::Confirm(int text, int caption) {
    return AppMessageBox(m_hWnd, GetLangText(text), GetLangText(caption), eMBOkCancel, -1,
                         eBoxCentre, 255, 1) == eMBIdOk;
}

void GFolderListBar::Refuse(int text, int caption) {
    AppMessageBox(m_hWnd, GetLangText(text), GetLangText(caption), eMBOk, kNoticeMs, eBoxCentre,
                  kNoticeAlpha, 1);
}

int GFolderListBar::AskPassword() {
    RECT over{0, 0, 0, 0};
    HWND owner = GetNotifyWindow();
    if (!owner || !::GetWindowRect(owner, &over))
        ::GetWindowRect(m_hWnd, &over);
    over.bottom = over.top + ApplyHires(25);
    if (!AskFolderPassword(m_hWnd, over, [this](int text) { Refuse(text, kUnlockCaptionText); }))
        return 0;
    Unlock();
    Notify(1);
    return 1;
}

int GFolderListBar::AskName(LPCWSTR initial, WCHAR* out) {
    // The entry covers the bar itself.
    RECT over{0, 0, 0, 0};
    ::GetWindowRect(m_hWnd, &over);
    GNameEditCtrl edit;
    edit.SetWindowRect(over);
    edit.SetName(initial);
    if (edit.DoModal(m_hWnd, -1) != 1 || !IsValidFileName(edit.GetName()))
        return 0;
    lstrcpynW(out, edit.GetName(), MAX_PATH);
    return out[0] != 0;
}

void GFolderListBar::NewFolder() {
    const POSITION listed = ListedItem();
    WCHAR name[MAX_PATH];
    WCHAR path[MAX_PATH];
    if (!AskName(nullptr, name) || !JoinPath(path, m_szPath, name))
        return;
    if (::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES || !::CreateDirectoryW(path, nullptr))
        return;
    FolderInfo info;
    info.color = RandomLightColor();
    WriteFolderInfo(path, info);
    const POSITION added = m_tree.InsertChild(listed, name, false, false);
    if (GFolderItem* item = ItemAt(added))
        item->SetFolderInfo(info);
    Layout();
    Repaint();
    if (m_tree.GetSafeHwnd())
        m_tree.UpdateScroll(0, 1);
}

void GFolderListBar::RenameFolder() {
    const POSITION listed = ListedItem();
    GFolderItem* item = ItemAt(listed);
    const POSITION parent = m_tree.GetParentItem(listed);
    WCHAR parentPath[MAX_PATH];
    WCHAR name[MAX_PATH];
    WCHAR target[MAX_PATH];
    if (!item || !parent || !ItemPath(parent, parentPath) || !AskName(item->GetLabel(), name))
        return;
    if (!lstrcmpW(name, item->GetLabel()) || !JoinPath(target, parentPath, name))
        return;
    // Another folder of that name: refused (a change of case only is a rename).
    if (lstrcmpiW(name, item->GetLabel()) &&
        ::GetFileAttributesW(target) != INVALID_FILE_ATTRIBUTES)
        return;
    if (!::MoveFileW(m_szPath, target))
        return;
    item->SetLabel(name);
    WriteFolderItemInfo(&m_tree, listed);
    if (listed == m_posSel) {
        if (GFolderItem* current = ItemAt(m_posCur))
            current->SetSubFolder(name);
    } else if (GFolderItem* up = ItemAt(parent);
               up && !lstrcmpiW(up->GetSubFolder(), item->GetLabel())) {
        up->SetSubFolder(name);
    }
    WriteFolderItemInfo(&m_tree, parent);
    // The memos inside have new paths: the index follows.
    WCHAR show[MAX_PATH];
    if (ItemPath(m_posCur, show))
        RequestRescan(show, 0);
    Notify(0);
}

void GFolderListBar::DeleteListedFolder() {
    const POSITION listed = ListedItem();
    const POSITION parent = m_tree.GetParentItem(listed);
    if (!parent || !Confirm(kTextDeleteAsk, kCaptionConfirm) || !DeleteFolder(m_szPath))
        return;
    GFolderItem* up = ItemAt(parent);
    if (up && !lstrcmpiW(up->GetSubFolder(), ItemAt(listed)->GetLabel()))
        up->SetSubFolder(nullptr);
    if (listed == m_posCur)
        m_posCur = nullptr;
    m_posSel = nullptr;
    m_tree.RemoveFolderItem(listed);
    WriteFolderItemInfo(&m_tree, parent);
    WCHAR show[MAX_PATH];
    if (ItemPath(parent, show))
        RequestRescan(show, 0);
    Notify(0);
}

void GFolderListBar::SetListedLock(int locked) {
    const POSITION listed = ListedItem();
    GFolderItem* item = ItemAt(listed);
    if (!item)
        return;
    item->SetLocked(locked);
    WriteFolderItemInfo(&m_tree, listed);
    m_bLocked = locked;
    Repaint();
    if (m_tree.GetSafeHwnd())
        m_tree.Invalidate(0);
    Notify(0);
}

void GFolderListBar::MoveListedFolder(POSITION target, int merge) {
    const POSITION listed = ListedItem();
    const GFolderItem* item = ItemAt(listed);
    WCHAR to[MAX_PATH];
    WCHAR source[MAX_PATH];
    if (!item || IsRootItem(listed) || !ItemPath(target, to))
        return;
    lstrcpynW(source, m_szPath, MAX_PATH);
    if (IsInFolder(to, source)) {
        Refuse(kTextIntoItself, kCaptionMove);
        return;
    }
    WCHAR moved[MAX_PATH];
    if (merge)
        lstrcpynW(moved, to, MAX_PATH);
    else if (!JoinPath(moved, to, item->GetLabel()))
        return;
    // Already there: nothing to move.
    if (!lstrcmpiW(moved, source))
        return;
    if (!Confirm(merge ? kTextMergeAsk : kTextMoveAsk, kCaptionConfirm))
        return;
    const int done = MoveFolder(source, moved);
    // Even a move that left some files behind changed the store.
    RequestRescan(done ? moved : source, 1);
    Notify(0);
}
