#include "winza/GFolderDialog.h"

#include "winza/GFileDialog.h"
#include "winza/GItem.h"
#include "winza/GLib.h"
#include "winza/GNameEditCtrl.h"
#include "winza/GVButton.h"
#include "winza/WinzaUtil.h"

#include <algorithm>

namespace {

void CopyPath(WCHAR* out, LPCWSTR in) {
    lstrcpynW(out, in ? in : u"", MAX_PATH);
}

// Without final backslashes, except for the root itself.
void TrimSlash(WCHAR* path) {
    for (int len = lstrlenW(path); len > 1 && path[len - 1] == u'\\'; --len)
        path[len - 1] = 0;
}

int IsFolderEntry(const WIN32_FIND_DATAW& data) {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN))
        return 0;
    return wcscmp(data.cFileName, u".") != 0 && wcscmp(data.cFileName, u"..") != 0;
}

} // namespace

GFolderDialog::GFolderDialog(LPCWSTR title, LPCWSTR rootPath, LPCWSTR rootLabel,
                             LPCWSTR initialFolder) {
    m_szPath[0] = 0;
    CopyPath(m_szRootPath, rootPath ? rootPath : GetGLibText(24));
    CopyPath(m_szRootLabel, rootLabel ? rootLabel : GetGLibText(24));
    CopyPath(m_szInitial, initialFolder);
    TrimSlash(m_szInitial);
    SetTitle(1, title ? title : GetGLibText(25), ApplyHires(26));
}

GFolderDialog::~GFolderDialog() {
    if (m_hWnd)
        Destroy();
}

LPCWSTR GFolderDialog::GetFolderName() const {
    LPCWSTR slash = wcsrchr(m_szPath, u'\\');
    return slash ? slash + 1 : m_szPath;
}

int GFolderDialog::IsRootText(POSITION pos) {
    GItem* item = m_tree.GetGItem(pos);
    return item && ItemLabelIs(item, GetGLibText(24));
}

void GFolderDialog::EnableButton(int id, int on) {
    if (GVButton* b = FindVButton(id))
        b->SetFlag(on, eVBEnabled, nullptr, 0);
}

int GFolderDialog::GetItemPath(POSITION pos, WCHAR* path) {
    path[0] = 0;
    if (!pos)
        return 0;
    // From the row up to the root, then joined the other way round.
    POSITION chain[MAX_PATH / 2];
    int n = 0;
    for (POSITION p = pos; p && n < MAX_PATH / 2; p = m_tree.GetParentItem(p))
        chain[n++] = p;
    WCHAR out[MAX_PATH * 2];
    out[0] = 0;
    int len = 0;
    for (int i = n - 1; i >= 0; --i) {
        LPCWSTR part = nullptr;
        if (i == n - 1 && m_tree.GetParentItem(chain[i]) == nullptr) {
            // The device root stands for nothing before the first backslash.
            part = wcscmp(m_szRootPath, GetGLibText(24)) == 0 ? u"" : m_szRootPath;
        } else {
            GItem* item = m_tree.GetGItem(chain[i]);
            part = item && item->GetLabel() ? item->GetLabel() : u"";
        }
        const int partLength = lstrlenW(part);
        if (len + partLength + 1 >= MAX_PATH)
            return 0;
        lstrcatW(out, part);
        len += partLength;
        if (len == 0 || out[len - 1] != u'\\') {
            out[len++] = u'\\';
            out[len] = 0;
        }
    }
    CopyPath(path, out);
    return 1;
}

int GFolderDialog::HasSubFolder(LPCWSTR folderWithSlash) {
    WCHAR pattern[MAX_PATH];
    if (lstrlenW(folderWithSlash) + 1 >= MAX_PATH)
        return 0;
    CopyPath(pattern, folderWithSlash);
    lstrcatW(pattern, u"*");
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW(pattern, &data);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    int found = 0;
    do
        found = IsFolderEntry(data);
    while (!found && ::FindNextFileW(find, &data));
    ::FindClose(find);
    return found;
}

void GFolderDialog::LoadSubFolder(POSITION pos) {
    if (!pos)
        return;
    POSITION first = m_tree.GetChildItem(pos);
    if (first) {
        GItem* child = m_tree.GetGItem(first);
        if (child && child->GetLabel() && child->GetLabel()[0])
            return;
        m_tree.DeleteChildItem(pos, false);
    }
    WCHAR folder[MAX_PATH];
    if (!GetItemPath(pos, folder))
        return;
    WCHAR pattern[MAX_PATH];
    if (lstrlenW(folder) + 1 >= MAX_PATH)
        return;
    CopyPath(pattern, folder);
    lstrcatW(pattern, u"*");
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW(pattern, &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!IsFolderEntry(data))
            continue;
        POSITION child = m_tree.InsertChild(pos, data.cFileName, false, true);
        if (!child)
            continue;
        if (GItem* item = m_tree.GetGItem(child))
            item->SetImageIndex(kExtIconFolder);
        WCHAR path[MAX_PATH];
        if (!GetItemPath(child, path))
            continue;
        WCHAR bare[MAX_PATH];
        CopyPath(bare, path);
        TrimSlash(bare);
        const int bareLength = lstrlenW(bare);
        if (m_szInitial[0] && _wcsicmp(bare, m_szInitial) == 0) {
            m_tree.SelectItem(child, false);
            EnableButton(kFolderDlgNewFolder, 1);
        } else if (m_szInitial[0] && _wcsnicmp(m_szInitial, path, lstrlenW(path)) == 0 &&
                   lstrlenW(m_szInitial) > bareLength) {
            // On the way to the initial folder: opened at once.
            LoadSubFolder(child);
            m_tree.OpenItem(child, true, false);
            continue;
        }
        // A placeholder row gives the plus box until the branch opens.
        if (HasSubFolder(path))
            m_tree.InsertChild(child, u"", false, true);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
}

void GFolderDialog::RebuildTree() {
    m_tree.SetItemTree(nullptr, 0);
    POSITION root = m_tree.SetRoot(m_szRootLabel);
    if (!root)
        return;
    if (GItem* item = m_tree.GetGItem(root))
        item->SetImageIndex(kExtIconRoot);
    LoadSubFolder(root);
    m_tree.OpenItem(root, true, false);
    m_tree.UpdateScroll(1, 1);
}

void GFolderDialog::RecalcControl() {
    const int W = m_rcDialog.right - m_rcDialog.left;
    const int H = m_rcDialog.bottom - m_rcDialog.top;
    const int m = ApplyHires(4);
    const int rowH = ApplyHires(28);
    const int top = (m_bTitle ? m_nTitleHeight : 0) + m;
    const int rowBottom = H - m;
    const int rowTop = rowBottom - rowH;
    const int w = ApplyHires(60);
    if (GVButton* b = FindVButton(kFolderDlgNewFolder))
        b->Create(RECT{m, rowTop, m + ApplyHires(72), rowBottom}, kFolderDlgNewFolder);
    if (GVButton* b = FindVButton(2))
        b->Create(RECT{W - m - w, rowTop, W - m, rowBottom}, 2);
    if (GVButton* b = FindVButton(1))
        b->Create(RECT{W - 2 * m - 2 * w, rowTop, W - 2 * m - w, rowBottom}, 1);
    if (m_tree.GetSafeHwnd())
        ::MoveWindow(m_tree.GetSafeHwnd(), m, top, W - 2 * m, std::max(0, rowTop - m - top), FALSE);
    RebuildTree();
}

void GFolderDialog::OnNewFolder() {
    POSITION sel = m_tree.GetSelItem();
    if (!sel || !m_tree.GetSafeHwnd())
        return;
    RECT tree{0, 0, 0, 0};
    ::GetWindowRect(m_tree.GetSafeHwnd(), &tree);
    RECT client = tree;
    ScreenToClient(&client);
    const int shift = ApplyHires(25);
    ::MoveWindow(m_tree.GetSafeHwnd(), client.left, client.top + shift, client.right - client.left,
                 client.bottom - client.top - shift, TRUE);
    m_tree.UpdateScroll(1, 0);
    GNameEditCtrl edit;
    const int newTop = tree.top + shift;
    edit.SetWindowRect(RECT{tree.left, newTop - ApplyHires(28), tree.right, newTop});
    edit.SetFrameOffset(ApplyHires(2), ApplyHires(4), ApplyHires(4), ApplyHires(2));
    if (m_hFont)
        edit.SetFont(m_hFont);
    edit.SetDrawBottomFrame(0);
    EnableButton(1, 0);
    EnableButton(2, 0);
    EnableButton(kFolderDlgNewFolder, 0);
    Invalidate(0);
    ShowSIPButton(m_hWnd, nullptr);
    const int result = edit.DoModal(m_hWnd, -1);
    // The release of the key that ended the name line is not for this dialog.
    m_bKeyValid = edit.IsEndedByKey() ? 0 : GetValidKeyState();
    if (result == 1 && IsValidFileName(edit.GetName())) {
        LoadSubFolder(sel);
        POSITION child = m_tree.InsertChild(sel, edit.GetName(), false, false);
        if (child) {
            if (GItem* item = m_tree.GetGItem(child))
                item->SetImageIndex(kExtIconNewFolder);
            m_tree.SelectItem(child, false);
        }
    }
    HideSIPButton(m_hWnd);
    ::MoveWindow(m_tree.GetSafeHwnd(), client.left, client.top, client.right - client.left,
                 client.bottom - client.top, TRUE);
    m_tree.UpdateScroll(1, 0);
    EnableButton(1, 1);
    EnableButton(2, 1);
    EnableButton(kFolderDlgNewFolder, m_tree.GetSelItem() && !IsRootText(m_tree.GetSelItem()));
    Invalidate(0);
    m_tree.Invalidate(0);
}

int GFolderDialog::OnChoose() {
    m_szPath[0] = 0;
    m_bCreated = 0;
    if (POSITION sel = m_tree.GetSelItem()) {
        GetItemPath(sel, m_szPath);
        TrimSlash(m_szPath);
        m_bCreated = ::CreateDirectoryW(m_szPath, nullptr) ? 1 : 0;
    }
    return OnOK();
}

LRESULT GFolderDialog::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE: {
            const LRESULT r = GDialog::WndProc(hwnd, msg, wParam, lParam);
            if (GVButton* b = AddVButton(kFolderDlgNewFolder, -1, 0)) {
                b->SetLabel(GetGLibText(26), DT_CENTER | DT_VCENTER | DT_SINGLELINE, 4);
                b->SetFlag(1, eVBVisible, nullptr, 0);
                b->SetFlag(0, eVBEnabled, nullptr, 0);
            }
            for (int id = 1; id <= 2; ++id)
                if (GVButton* b = AddVButton(id, -1, 0)) {
                    b->SetLabel(GetGLibText(id), DT_CENTER | DT_VCENTER | DT_SINGLELINE, 4);
                    b->SetFlag(1, eVBVisible | eVBEnabled, nullptr, 0);
                }
            m_extImages.Init(RGB(255, 255, 255), RGB(255, 255, 255));
            RECT zero{0, 0, 0, 0};
            m_tree.Create(m_hWnd, this, WS_CHILD | WS_VISIBLE | WS_BORDER, zero, kFolderDlgTree);
            m_tree.SetSortType(eSortNone);
            m_tree.SetItemHeight(ApplyHires(22), false);
            m_tree.SetImageList(m_extImages.GetDefImageList());
            m_tree.SetDrawRootLine(false, false);
            m_tree.SetFirstIntendX(ApplyHires(6), false);
            if (m_hFont)
                m_tree.SetFont(m_hFont);
            return r;
        }
        case WM_DESTROY:
            m_tree.Destroy();
            break;
        case WM_COMMAND:
            if (HIWORD(wParam) == 0 && LOWORD(wParam) == 1)
                return OnChoose();
            if (HIWORD(wParam) == 0 && LOWORD(wParam) == kFolderDlgNewFolder) {
                OnNewFolder();
                return 0;
            }
            break;
        case kMsgTreeSelected: {
            const POSITION pos = reinterpret_cast<POSITION>(wParam);
            EnableButton(kFolderDlgNewFolder, pos && !IsRootText(pos));
            if (GVButton* b = FindVButton(kFolderDlgNewFolder)) {
                const RECT rc = b->GetRect();
                InvalidateRect(&rc, 0);
            }
            return 0;
        }
        case kMsgTreeChosen: {
            const POSITION pos = reinterpret_cast<POSITION>(wParam);
            // Escape in the tree gives no row: it cancels.
            if (!pos)
                return OnCancel();
            if (!IsRootText(pos))
                return OnChoose();
            return 0;
        }
        case kMsgTreeOpening:
            LoadSubFolder(reinterpret_cast<POSITION>(wParam));
            return 0;
        case WM_SETTINGCHANGE:
            Invalidate(0);
            break;
        default:
            break;
    }
    return GDialog::WndProc(hwnd, msg, wParam, lParam);
}
