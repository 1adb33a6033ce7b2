// The tracking of a GMenu: the modal loop, the pen, timer and key handlers, and the way a
// submenu opens, hands control back and ends the menus above it.
#include "winza/GMenu.h"

#include "winza/Hires.h"
#include "winza/WinzaUtil.h"

namespace {

int Contains(const RECT& rc, POINT pt) {
    return pt.x >= rc.left && pt.x < rc.right && pt.y >= rc.top && pt.y < rc.bottom;
}

// Whether a screen point lies on a visible menu's window.
int OverMenu(const GMenu* menu, POINT screen) {
    HWND h = menu->GetSafeHwnd();
    if (!h || !::IsWindowVisible(h))
        return 0;
    RECT rc;
    ::GetWindowRect(h, &rc);
    return Contains(rc, screen);
}

int IsPenDown(UINT msg) {
    return msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN;
}

} // namespace

int GMenu::TrackPopupGMenu(int flags, int x, int y, int alreadyShown) {
    if (!m_hWnd || !::IsWindow(m_hWnd) || !m_pOwner)
        return eGMenuClosed;
    if (!alreadyShown)
        Show(flags, x, y);
    ::SetCapture(m_hWnd);
    m_ptLast = POINT{-1, -1};
    m_bKeyStateValid = GetValidKeyState();
    if (!m_pParentMenu)
        m_forward.valid = 0;
    const int result = RunTrackingLoop();
    if (!m_pParentMenu)
        ForwardToOwner();
    return result;
}

int GMenu::RunTrackingLoop() {
    MSG msg;
    for (;;) {
        if (!m_hWnd || !::IsWindow(m_hWnd))
            return eGMenuClosed;
        if (!::GetMessageW(&msg, nullptr, 0, 0)) {
            // The program is quitting: close, and leave the quit for the loops outside.
            CloseWithResult(eGMenuClosed);
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return eGMenuClosed;
        }
        int result = eGMenuKeepTracking;
        switch (msg.message) {
            case WM_KEYDOWN:
                result = OnVKeyDown(msg.hwnd, static_cast<int>(msg.wParam),
                                    static_cast<int>(msg.lParam & 0xFFFF));
                break;
            case WM_KEYUP:
                OnVKeyUp(msg.hwnd, static_cast<int>(msg.wParam),
                         static_cast<int>(msg.lParam & 0xFFFF));
                break;
            case WM_TIMER:
                // Only the menus' own timers are theirs to handle; the rest go on as usual.
                if ((msg.wParam == kGMenuOpenTimer || msg.wParam == kGMenuHideTimer) &&
                    dynamic_cast<GMenu*>(Winza::FromHandle(msg.hwnd))) {
                    result = OnVTimer(msg.hwnd, static_cast<int>(msg.wParam));
                } else {
                    ::TranslateMessage(&msg);
                    ::DispatchMessageW(&msg);
                }
                break;
            case WM_MOUSEMOVE:
            case WM_LBUTTONDOWN:
            case WM_RBUTTONDOWN:
            case WM_LBUTTONUP:
            case WM_RBUTTONUP: {
                // The point in this menu's client coordinates, whichever window it came to.
                POINT pt{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
                if (msg.hwnd)
                    ::ClientToScreen(msg.hwnd, &pt);
                m_penMessage = PenMessage{msg.message, msg.wParam, pt, 1};
                ::ScreenToClient(m_hWnd, &pt);
                if (msg.message == WM_MOUSEMOVE)
                    result = OnVMouseMove(m_hWnd, pt);
                else if (IsPenDown(msg.message))
                    result = OnVLbuttonDown(m_hWnd, pt);
                else
                    result = OnVLbuttonUp(m_hWnd, pt);
                m_penMessage.valid = 0;
                break;
            }
            case WM_LBUTTONDBLCLK:
            case WM_RBUTTONDBLCLK:
                break;
            default:
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
                break;
        }
        if (result != eGMenuKeepTracking)
            return result;
    }
}

void GMenu::ForwardToOwner() {
    if (!m_forward.valid)
        return;
    m_forward.valid = 0;
    HWND owner = m_pOwner ? m_pOwner->GetSafeHwnd() : nullptr;
    if (!owner || !::IsWindow(owner))
        return;
    POINT pt = m_forward.screen;
    ::ScreenToClient(owner, &pt);
    ::SendMessageW(owner, m_forward.message, m_forward.wParam,
                   MAKELPARAM(static_cast<WORD>(pt.x), static_cast<WORD>(pt.y)));
}

int GMenu::CloseWithResult(int result) {
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    HideMenu();
    return result;
}

void GMenu::ReturnToParent() {
    Highlight(-1);
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    if (m_pParentMenu && m_pParentMenu->GetSafeHwnd())
        ::SetCapture(m_pParentMenu->GetSafeHwnd());
}

// ---- Submenus --------------------------------------------------------------------------------

int GMenu::OpenSubMenu(int index, int byKey) {
    GMenuItem* item = ItemAt(index);
    GMenu* sub = item ? item->GetSubMenu() : nullptr;
    if (!sub || !IsSelectable(index) || !sub->GetSafeHwnd())
        return eGMenuKeepTracking;
    ::KillTimer(m_hWnd, kGMenuOpenTimer);
    const RECT rc = item->GetRect();
    POINT anchor{rc.right - ApplyHires(3), rc.top - (byKey ? 1 : ApplyHires(1))};
    ClientToScreen(&anchor);
    if (m_pOpenSubMenu && m_pOpenSubMenu != sub && m_pOpenSubMenu->IsWindowVisible())
        m_pOpenSubMenu->HideMenu();
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    Highlight(index);
    Repaint();
    m_pOpenSubMenu = sub;
    m_nOpenSubIndex = index;
    // A hide still pending from an earlier visit must not close it now.
    ::KillTimer(sub->GetSafeHwnd(), kGMenuHideTimer);
    return SubMenuResult(sub->TrackPopupGMenu(0, anchor.x, anchor.y, 0));
}

int GMenu::ResumeSubMenu() {
    GMenu* sub = m_pOpenSubMenu;
    ::KillTimer(sub->GetSafeHwnd(), kGMenuHideTimer);
    ::KillTimer(m_hWnd, kGMenuOpenTimer);
    Highlight(m_nOpenSubIndex);
    Repaint();
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    return SubMenuResult(sub->TrackPopupGMenu(0, 0, 0, 1));
}

int GMenu::SubMenuResult(int result) {
    if (result == eGMenuClosed) {
        // The submenu let go; this menu tracks on.
        if (m_hWnd && ::IsWindowVisible(m_hWnd))
            ::SetCapture(m_hWnd);
        m_ptLast = POINT{-1, -1};
        return eGMenuKeepTracking;
    }
    if (result == eGMenuChooseOpener)
        result = GetMenuItemID(m_nOpenSubIndex);
    else if (result == eGMenuOutsideAll && !m_pParentMenu)
        result = eGMenuClosed;
    return CloseWithResult(result);
}

// ---- Handlers ----------------------------------------------------------------------------------

int GMenu::OnVLbuttonDown(HWND, POINT pt) {
    const int hit = HitItem(pt);
    if (hit < 0 && !Contains(m_rcClient, pt)) {
        POINT screen = pt;
        ClientToScreen(&screen);
        if (m_pOpenSubMenu && m_nOpenSubIndex >= 0 && OverMenu(m_pOpenSubMenu, screen)) {
            // On a submenu still showing while it waits to hide: it takes the tap.
            POINT in = screen;
            m_pOpenSubMenu->ScreenToClient(&in);
            ::PostMessageW(m_pOpenSubMenu->GetSafeHwnd(), m_penMessage.message, m_penMessage.wParam,
                           MAKELPARAM(static_cast<WORD>(in.x), static_cast<WORD>(in.y)));
            return ResumeSubMenu();
        }
        if (!m_pParentMenu) {
            // A tap outside closes the menu and goes on to the window beneath.
            m_forward = m_penMessage;
            m_forward.screen = screen;
            return CloseWithResult(eGMenuClosed);
        }
        for (GMenu* a = m_pParentMenu; a; a = a->m_pParentMenu) {
            if (!OverMenu(a, screen))
                continue;
            POINT in = screen;
            a->ScreenToClient(&in);
            if (a == m_pParentMenu && a->ItemFromPoint(in) == a->m_nCurIndex)
                break; // on the item that opened this submenu: it stays open
            // On another menu above: this one closes and that tap is handed up.
            CloseWithResult(eGMenuClosed);
            ReturnToParent();
            POINT up = screen;
            m_pParentMenu->ScreenToClient(&up);
            ::PostMessageW(m_pParentMenu->GetSafeHwnd(), m_penMessage.message, m_penMessage.wParam,
                           MAKELPARAM(static_cast<WORD>(up.x), static_cast<WORD>(up.y)));
            return eGMenuClosed;
        }
        if (!OverMenu(m_pParentMenu, screen)) {
            GMenu* root = RootMenu();
            root->m_forward = m_penMessage;
            root->m_forward.screen = screen;
            return CloseWithResult(eGMenuOutsideAll);
        }
    }
    if (IsSelectable(hit)) {
        if (hit != m_nCurIndex) {
            Highlight(hit);
            Repaint();
        }
        // The pen resting where it came down opens a submenu as a hover would.
        ::KillTimer(m_hWnd, kGMenuOpenTimer);
        if (ItemAt(hit)->GetSubMenu())
            ::SetTimer(m_hWnd, kGMenuOpenTimer, kGMenuHoverMs, nullptr);
    } else {
        // HitItem touched the highlight; the current item keeps it.
        Highlight(m_nCurIndex);
    }
    m_ptLast = pt;
    return eGMenuKeepTracking;
}

int GMenu::OnVLbuttonUp(HWND, POINT pt) {
    if (!m_hWnd || !::IsWindowVisible(m_hWnd))
        return eGMenuClosed;
    // Through the virtual hit test, so that menus laid out differently find their items.
    const int hit = HitItem(pt);
    if (IsSelectable(hit)) {
        GMenuItem* item = ItemAt(hit);
        if (item->GetSubMenu())
            return OpenSubMenu(hit, 0);
        if (item->GetID() >= 0)
            return CloseWithResult(item->GetID());
    }
    Highlight(m_nCurIndex);
    m_ptLast = pt;
    return eGMenuKeepTracking;
}

int GMenu::OnVMouseMove(HWND, POINT pt) {
    if (m_ptLast.x == -1 && m_ptLast.y == -1) {
        m_ptLast = pt;
        return eGMenuKeepTracking;
    }
    if (pt.x == m_ptLast.x && pt.y == m_ptLast.y)
        return eGMenuKeepTracking;
    int hit = HitItem(pt);
    // Until it changes below, the highlight stays on the current item.
    Highlight(m_nCurIndex);
    if (hit < 0) {
        POINT screen = pt;
        ClientToScreen(&screen);
        for (GMenu* a = m_pParentMenu; a; a = a->m_pParentMenu) {
            if (a->HitTest(screen)) {
                // The pen went to another item above: hide a little later, hand back now.
                Highlight(-1);
                Repaint();
                ::SetTimer(m_hWnd, kGMenuHideTimer, kGMenuHoverMs, nullptr);
                ReturnToParent();
                m_ptLast = pt;
                return eGMenuClosed;
            }
        }
        if (m_pOpenSubMenu && m_nOpenSubIndex >= 0 && OverMenu(m_pOpenSubMenu, screen)) {
            m_ptLast = pt;
            return ResumeSubMenu();
        }
    } else if (hit == kMenuSeparatorId || !IsSelectable(hit)) {
        m_ptLast = pt;
        return eGMenuKeepTracking;
    }
    if (hit != m_nCurIndex) {
        Highlight(hit);
        Repaint();
        ::KillTimer(m_hWnd, kGMenuOpenTimer);
        if (hit >= 0 && ItemAt(hit)->GetSubMenu())
            ::SetTimer(m_hWnd, kGMenuOpenTimer, kGMenuHoverMs, nullptr);
    }
    m_ptLast = pt;
    return eGMenuKeepTracking;
}

int GMenu::OnVTimer(HWND hwnd, int id) {
    if (id == static_cast<int>(kGMenuOpenTimer)) {
        ::KillTimer(hwnd, kGMenuOpenTimer);
        if (hwnd == m_hWnd)
            return OpenSubMenu(m_nCurIndex, 0);
    } else if (id == static_cast<int>(kGMenuHideTimer)) {
        ::KillTimer(hwnd, kGMenuHideTimer);
        ::SendMessageW(hwnd, kGMenuHideMessage, 0, 0);
    }
    return eGMenuKeepTracking;
}

int GMenu::OnVKeyDown(HWND, int key, int) {
    // The key that was down when the menu opened must come up before keys count.
    if (!m_bKeyStateValid)
        return eGMenuKeepTracking;
    switch (key) {
        case VK_RETURN: {
            if (!IsSelectable(m_nCurIndex))
                return CloseWithResult(eGMenuClosed);
            GMenuItem* item = ItemAt(m_nCurIndex);
            if (item->GetSubMenu())
                return OpenSubMenu(m_nCurIndex, 1);
            return CloseWithResult(item->GetID());
        }
        case VK_LEFT:
            if (!m_pParentMenu)
                break;
            [[fallthrough]];
        case VK_ESCAPE:
            CloseWithResult(eGMenuClosed);
            if (m_pParentMenu)
                ReturnToParent();
            return eGMenuClosed;
        case VK_UP:
        case VK_DOWN: {
            const int n = m_items.GetSize();
            const int step = key == VK_DOWN ? 1 : n - 1;
            int i = m_nCurIndex;
            for (int tried = 0; tried < n; ++tried) {
                i = i < 0 ? (key == VK_DOWN ? 0 : n - 1) : (i + step) % n;
                if (IsSelectable(i)) {
                    Highlight(i);
                    break;
                }
            }
            ::KillTimer(m_hWnd, kGMenuOpenTimer);
            Repaint();
            return eGMenuKeepTracking;
        }
        case VK_RIGHT:
            ::KillTimer(m_hWnd, kGMenuOpenTimer);
            return OpenSubMenu(m_nCurIndex, 1);
        default:
            break;
    }
    Repaint();
    return eGMenuKeepTracking;
}

int GMenu::OnVKeyUp(HWND, int, int) {
    m_bKeyStateValid = 1;
    return eGMenuKeepTracking;
}
