#include "scribbo/GFolderListBar.h"

#include "scribbo/App.h"
#include "scribbo/GFolderItem.h"
#include "scribbo/GScribboMain.h"
#include "scribbo/MemoStore.h"
#include "scribbo/Settings.h"

#include "winza/GLib.h"
#include "winza/Hires.h"

namespace {

POINT PointOf(LPARAM lParam) {
    return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

} // namespace

GFolderListBar::GFolderListBar() {
    m_bDoubleBuffer = 1;
}

GFolderListBar::~GFolderListBar() = default;

int GFolderListBar::CreateBar(HWND parent, Winza* owner, RECT rect, eGBarType type) {
    MakeFont();
    if (!GBar::CreateBar(parent, owner, rect, type))
        return 0;
    // The tree lives as long as the bar: hidden, it still holds the folders the tabs show.
    RECT tree{0, 0, ApplyHires(180), ApplyHires(240)};
    if (!m_tree.Create(m_hWnd, this, WS_POPUP | WS_BORDER, tree, kTreeId)) {
        Destroy();
        return 0;
    }
    m_tree.SetDrawRootLine(false, false);
    m_tree.SetFont(BarFont());
    Layout();
    return 1;
}

void GFolderListBar::MoveBar(RECT rect, int redraw) {
    GBar::MoveBar(rect, 0);
    Layout();
    if (redraw)
        Repaint();
}

HWND GFolderListBar::GetNotifyWindow() const {
    if (m_hNotify && ::IsWindow(m_hNotify))
        return m_hNotify;
    return m_pOwner ? m_pOwner->GetSafeHwnd() : nullptr;
}

// Folder state

GFolderItem* GFolderListBar::ItemAt(POSITION pos) const {
    return pos ? m_tree.GetFolderItem(pos) : nullptr;
}

int GFolderListBar::IsRootItem(POSITION pos) const {
    return pos && pos == m_tree.GetTopItem();
}

int GFolderListBar::ItemPath(POSITION pos, WCHAR* out) const {
    out[0] = 0;
    int n = ::GetFolderPath(const_cast<GFolderTree*>(&m_tree), pos, out);
    while (n > 0 && out[n - 1] == u'\\')
        out[--n] = 0;
    return n > 0;
}

COLORREF GFolderListBar::GetFolderColor() const {
    const GFolderItem* item = ItemAt(ListedItem());
    return item ? item->GetColor() : GetGLibColor(4);
}

void GFolderListBar::Unlock() {
    if (!m_bLocked)
        return;
    m_bLocked = 0;
    Repaint();
}

void GFolderListBar::OpenFolder(POSITION pos) {
    if (!pos)
        return;
    if (m_posCur && m_posCur != pos)
        WriteFolderItemInfo(&m_tree, m_posCur);
    m_posCur = pos;
    m_posSel = nullptr;
    if (const GFolderItem* item = ItemAt(pos); item && item->GetSubFolder()[0])
        m_posSel = m_tree.FindChildItem(pos, item->GetSubFolder());
    m_nTabOffset = 0;
    UpdateListed();
    Layout();
    for (int i = 0; i < GetTabCount(); ++i)
        if (m_tabs[i].pos == ListedItem())
            EnsureTabVisible(i);
    Repaint();
}

void GFolderListBar::ListItem(POSITION pos) {
    POSITION parent = IsRootItem(pos) ? nullptr : m_tree.GetParentItem(pos);
    if (!parent) {
        OpenFolder(pos);
        return;
    }
    if (GFolderItem* up = ItemAt(parent)) {
        // The parent opens with this folder selected from now on.
        up->SetSubFolder(ItemAt(pos) ? ItemAt(pos)->GetLabel() : nullptr);
        WriteFolderItemInfo(&m_tree, parent);
    }
    OpenFolder(parent);
}

void GFolderListBar::UpdateListed() {
    const POSITION listed = ListedItem();
    if (!listed || !ItemPath(listed, m_szPath))
        m_szPath[0] = 0;
    const GFolderItem* item = ItemAt(listed);
    m_bLocked = item && item->IsLocked();
    if (m_tree.GetSafeHwnd() && listed)
        m_tree.SelectItem(listed, m_bDropDown != 0);
}

void GFolderListBar::SetCurFolder(LPCWSTR path, int flag) {
    POSITION pos = FindFolderItem(&m_tree, path);
    if (!pos)
        return;
    OpenFolder(pos);
    ListColorChanged();
    if (flag)
        Notify(0);
}

void GFolderListBar::SetFolderColor(COLORREF colour) {
    const POSITION listed = ListedItem();
    GFolderItem* item = ItemAt(listed);
    if (!item)
        return;
    item->SetColor(colour);
    WriteFolderItemInfo(&m_tree, listed);
    Repaint();
    if (m_tree.GetSafeHwnd())
        m_tree.Invalidate(0);
    ListColorChanged();
}

void GFolderListBar::Notify(LPARAM lParam) {
    if (HWND target = GetNotifyWindow())
        ::SendMessageW(target, UM_FOLDERCHANGED, 0, lParam);
}

void GFolderListBar::ListColorChanged() {
    // The main window paints the list colour right of its splitter and hands it to the pad.
    GScribboMain* main = GScribboMain::Instance();
    if (main && main->GetSafeHwnd())
        main->InvalidateListColor();
}

void GFolderListBar::LoadTree() {
    Rescan(nullptr);
}

void GFolderListBar::Rescan(MemoIndex* index) {
    WCHAR current[MAX_PATH] = {};
    if (!m_posCur || !ItemPath(m_posCur, current))
        lstrcpynW(current, g_Settings.BaseDataFolder, MAX_PATH);
    // Every position goes with the old tree.
    m_posCur = m_posSel = nullptr;
    m_tabs.clear();
    const POSITION again = ScanMemoStore(&m_tree, index, g_Settings.BaseDataFolder, current);
    POSITION show = m_szPending[0] ? FindFolderItem(&m_tree, m_szPending) : nullptr;
    m_szPending[0] = 0;
    // The drop-down opens on the root's folders.
    if (GFolderItem* top = ItemAt(m_tree.GetTopItem()))
        top->SetOpen(1);
    if (show && m_bPendingList)
        ListItem(show);
    else if (show)
        OpenFolder(show);
    else
        OpenFolder(again);
    if (!again) {
        m_szPath[0] = 0;
        m_bLocked = 0;
        Layout();
        Repaint();
    }
    if (m_tree.GetSafeHwnd())
        m_tree.UpdateScroll(1, 1);
    ListColorChanged();
}

void GFolderListBar::RequestRescan(LPCWSTR show, int list) {
    if (show)
        lstrcpynW(m_szPending, show, MAX_PATH);
    m_bPendingList = list;
    GScribboMain* main = GScribboMain::Instance();
    if (main && main->GetSafeHwnd() && main->GetFolderListBar() == this)
        ::SendMessageW(*main, WM_COMMAND, ID_RESCAN, 0);
    else
        Rescan(nullptr);
}

// The drop-down tree

void GFolderListBar::ShowDropDown(int show) {
    if (!show) {
        ::KillTimer(m_hWnd, kHideTimer);
        const int was = m_bDropDown;
        m_bDropDown = 0;
        if (was && m_tree.GetSafeHwnd()) {
            ::ShowWindow(m_tree, SW_HIDE);
            if (HWND target = GetNotifyWindow(); target && ::GetFocus() == m_tree.GetSafeHwnd())
                ::SetFocus(target);
        }
        Repaint();
        return;
    }
    if (!m_tree.GetSafeHwnd() || m_bDropDown)
        return;
    const int hires = IsHires();
    POINT at{0, m_rcClient.bottom - 2 + (hires ? 0 : 1)};
    ClientToScreen(&at);
    ::MoveWindow(m_tree, hires ? 3 : 2, at.y, ApplyHires(180), ApplyHires(240), FALSE);
    if (POSITION listed = ListedItem())
        m_tree.SelectItem(listed, false);
    m_tree.UpdateScroll(1, 0);
    m_bDropDown = 1;
    ::SetWindowPos(m_tree, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    ::SetFocus(m_tree);
    m_tree.Invalidate(0);
    Repaint();
}

void GFolderListBar::StartPick(int mode) {
    if (mode != eFolderPickCopyMemos && mode != eFolderPickMoveMemos)
        return;
    ShowDropDown(0);
    m_nPickMode = mode;
    ShowDropDown(1);
}

void GFolderListBar::OnTreeChosen(POSITION pos) {
    const int mode = m_nPickMode;
    ShowDropDown(0);
    m_nPickMode = eFolderPickList;
    if (!pos || !ItemAt(pos))
        return;
    switch (mode) {
        case eFolderPickMove:
        case eFolderPickMerge:
            MoveListedFolder(pos, mode == eFolderPickMerge);
            return;
        case eFolderPickCopyMemos:
        case eFolderPickMoveMemos: {
            WCHAR path[MAX_PATH];
            HWND target = GetNotifyWindow();
            if (target && ItemPath(pos, path))
                ::SendMessageW(target, mode == eFolderPickCopyMemos ? UM_COPYMEMOS : UM_MOVEMEMOS,
                               0, reinterpret_cast<LPARAM>(path));
            return;
        }
        default:
            OpenFolder(pos);
            ListColorChanged();
            Notify(0);
            return;
    }
}

// Pen input

LRESULT GFolderListBar::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            return OnLbuttonDown(hwnd, msg, wParam, lParam);
        case WM_LBUTTONUP:
            return OnLbuttonUp(hwnd, msg, wParam, lParam);
        case WM_MOUSEMOVE:
            return 0;
        case WM_RBUTTONDOWN: {
            POINT pt = PointOf(lParam);
            ClientToScreen(&pt);
            ::PostMessageW(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd),
                           MAKELPARAM(pt.x, pt.y));
            return 0;
        }
        case WM_CONTEXTMENU:
            return OnContextMenu(hwnd, msg, wParam, lParam);
        case WM_TIMER:
            return OnTimer(hwnd, msg, wParam, lParam);
        case kMsgTreeChosen:
            OnTreeChosen(reinterpret_cast<POSITION>(wParam));
            return 0;
        case kMsgTreeLostFocus:
            // Later, so that a tap on the folder button that took the focus can still toggle.
            if (m_bDropDown)
                ::SetTimer(hwnd, kHideTimer, kHideMs, nullptr);
            return 0;
        case WM_DESTROY: {
            ::KillTimer(hwnd, kHideTimer);
            const LRESULT r = GBar::WndProc(hwnd, msg, wParam, lParam);
            // The tree's items go with its window.
            m_tree.Destroy();
            m_posCur = m_posSel = nullptr;
            m_tabs.clear();
            m_bDropDown = 0;
            m_szPath[0] = 0;
            return r;
        }
        default:
            return GBar::WndProc(hwnd, msg, wParam, lParam);
    }
}

LRESULT GFolderListBar::OnLbuttonDown(HWND hwnd, UINT, WPARAM, LPARAM lParam) {
    const POINT pt = PointOf(lParam);
    if (::PtInRect(&m_rcFolderBtn, pt)) {
        ::KillTimer(hwnd, kHideTimer);
        if (m_bDropDown) {
            ShowDropDown(0);
            m_nPickMode = eFolderPickList;
            return 0;
        }
        if (RecognizeGesture(pt, 4)) {
            m_bMenuFromHold = 1;
            POINT screen = pt;
            ClientToScreen(&screen);
            ::PostMessageW(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd),
                           MAKELPARAM(screen.x, screen.y));
            return 0;
        }
        ShowDropDown(1);
        return 0;
    }
    if (m_bDropDown)
        ShowDropDown(0);
    m_nPickMode = eFolderPickList;
    if (::PtInRect(&m_rcLeft, pt) || ::PtInRect(&m_rcRight, pt)) {
        const int left = ::PtInRect(&m_rcLeft, pt);
        if (left && m_nTabOffset > 0)
            --m_nTabOffset;
        else if (!left && !LastTabFits())
            ++m_nTabOffset;
        (left ? m_bLeftPressed : m_bRightPressed) = 1;
        Layout();
        Repaint();
        ::SetCapture(hwnd);
        return 0;
    }
    const int index = HitTab(pt);
    if (index >= 0)
        OnTabDown(index, pt);
    return 0;
}

void GFolderListBar::OnTabDown(int index, POINT pt) {
    GFolderItem* current = ItemAt(m_posCur);
    const POSITION hit = m_tabs[index].pos;
    if (!current || !hit)
        return;
    const bool ownTab = index == 0;
    if ((ownTab && !m_posSel) || (!ownTab && hit == m_posSel)) {
        // The tab of the listed folder: a hold opens the menu, a tap lists it again.
        if (RecognizeGesture(pt, 4)) {
            m_bMenuFromHold = 1;
            POINT screen = pt;
            ClientToScreen(&screen);
            ::PostMessageW(m_hWnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_hWnd),
                           MAKELPARAM(screen.x, screen.y));
            return;
        }
    } else if (ownTab) {
        m_posSel = nullptr;
        current->SetSubFolder(nullptr);
    } else {
        m_posSel = hit;
        current->SetSubFolder(ItemAt(hit) ? ItemAt(hit)->GetLabel() : nullptr);
    }
    WriteFolderItemInfo(&m_tree, m_posCur);
    UpdateListed();
    EnsureTabVisible(index);
    Repaint();
    ListColorChanged();
    Notify(0);
}

LRESULT GFolderListBar::OnLbuttonUp(HWND hwnd, UINT, WPARAM, LPARAM) {
    if (::GetCapture() == hwnd)
        ::ReleaseCapture();
    if (m_bLeftPressed || m_bRightPressed) {
        m_bLeftPressed = m_bRightPressed = 0;
        Repaint();
    }
    return 0;
}

LRESULT GFolderListBar::OnTimer(HWND hwnd, UINT, WPARAM wParam, LPARAM) {
    if (wParam != kHideTimer)
        return 0;
    ::KillTimer(hwnd, kHideTimer);
    ShowDropDown(0);
    m_nPickMode = eFolderPickList;
    return 0;
}

LRESULT GFolderListBar::OnContextMenu(HWND, UINT, WPARAM, LPARAM lParam) {
    m_bMenuFromHold = 0;
    if (!ListedItem())
        return 0;
    if (m_bLocked) {
        AskPassword();
        return 0;
    }
    ShowFolderMenu(PointOf(lParam));
    return 0;
}

void GFolderListBar::Repaint() {
    if (m_hWnd && ::IsWindow(m_hWnd))
        Invalidate(0);
}
