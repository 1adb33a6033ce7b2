// The tree control's messages: creation, pen, wheel, scroll bars and cursor keys.
#include "winza/GItem.h"
#include "winza/GLib.h"
#include "winza/GTreeCtrl.h"
#include "winza/GTreeItem.h"
#include "winza/WinzaUtil.h"

namespace {

POINT PointOf(LPARAM lParam) {
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

} // namespace

void GTreeCtrl::NotifyOwner(UINT msg, WPARAM wParam) {
    HWND target = m_pOwner ? m_pOwner->GetSafeHwnd() : GetParent();
    if (target)
        ::SendMessageW(target, msg, wParam, m_nID);
}

POSITION GTreeCtrl::FindItemByPoint(POINT point) {
    POSITION first = GetFirstDrawPos();
    if (!first)
        return nullptr;
    // Depth first in drawing order: a row, then its children when open, then its siblings.
    struct Walker {
        GTreeCtrl* tree;
        POINT pt;
        POSITION Find(POSITION pos) {
            for (; pos; pos = tree->GetNextItem(pos)) {
                if (GItem* item = tree->GetGItem(pos)) {
                    RECT r = item->GetItemRect();
                    r.left -= tree->m_nIndent;
                    if (::PtInRect(&r, pt))
                        return pos;
                }
                POSITION child = tree->GetChildItem(pos);
                if (child && tree->IsOpenAt(pos))
                    if (POSITION hit = Find(child))
                        return hit;
            }
            return nullptr;
        }
    };
    return Walker{this, point}.Find(first);
}

int GTreeCtrl::InBoxZone(POSITION pos, POINT point) const {
    GItem* item = GetGItem(pos);
    if (!item)
        return 0;
    const RECT r = item->GetItemRect();
    const int s = ApplyHires(1);
    return point.x >= r.left - m_nIndent && point.x <= r.left - s && point.y >= r.top + 2 * s &&
           point.y <= r.top + m_nItemHeight - 4 * s;
}

LRESULT GTreeCtrl::OnCreate(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const LRESULT r = GAnimateWnd::WndProc(hwnd, msg, wParam, lParam);
    // Rows read in the text size dialogs and menus use on this screen.
    if (!m_hFont)
        m_hFont = GetGlobalFontDef();
    m_crBack = GetGLibColor(eColorTreeBack);
    m_crSelBack = GetGLibColor(eColorTreeSelBack);
    m_crText = GetGLibColor(eColorTreeText);
    m_crSelText = GetGLibColor(eColorTreeSelText);
    m_crLine = GetGLibColor(eColorTreeLine);
    CreateScrollBars();
    return r;
}

LRESULT GTreeCtrl::OnDestroy(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    DestroyScrollBars();
    SetItemTree(nullptr, 0);
    return GAnimateWnd::WndProc(hwnd, msg, wParam, lParam);
}

LRESULT GTreeCtrl::OnLbuttonDown(HWND hwnd, UINT, WPARAM, LPARAM lParam) {
    ::SetFocus(hwnd);
    if (HWND parent = GetParent())
        ::SendMessageW(parent, kMsgCtrlPenDown, 0, m_nID);
    const POINT pt = PointOf(lParam);
    if (m_bGesture && RecognizeGesture(pt, 4)) {
        ::SendMessageW(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), lParam);
        return 0;
    }
    if (pt.x < 0 || pt.y < 0 || pt.x >= Width() || pt.y >= Height())
        return 0;
    POSITION pos = FindItemByPoint(pt);
    if (!pos)
        return 0;
    if (InBoxZone(pos, pt)) {
        GTreeItem* item = TreeItemAt(pos);
        NotifyOwner(item && item->IsOpen() ? kMsgTreeClosing : kMsgTreeOpening,
                    reinterpret_cast<WPARAM>(pos));
        ToggleItem(pos, false);
        UpdateScroll(0, 0);
        Invalidate(0);
        return 0;
    }
    m_posSel = pos;
    Invalidate(0);
    NotifyOwner(kMsgTreeSelected, reinterpret_cast<WPARAM>(pos));
    return 0;
}

LRESULT GTreeCtrl::OnLbuttonDblClk(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const POINT pt = PointOf(lParam);
    POSITION pos = FindItemByPoint(pt);
    if (!pos)
        return 0;
    // A second quick tap on a box works the box again.
    if (InBoxZone(pos, pt))
        return OnLbuttonDown(hwnd, msg, wParam, lParam);
    m_posSel = pos;
    NotifyOwner(kMsgTreeChosen, reinterpret_cast<WPARAM>(pos));
    return 0;
}

LRESULT GTreeCtrl::OnRbuttonDown(HWND, UINT, WPARAM, LPARAM lParam) {
    if (POSITION pos = FindItemByPoint(PointOf(lParam))) {
        m_posSel = pos;
        Invalidate(0);
    }
    return 0;
}

LRESULT GTreeCtrl::OnMouseWhell(HWND, UINT, WPARAM wParam, LPARAM) {
    const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
    OffsetScroll(-(m_nItemHeight * delta * 3 / 120), 1);
    return 0;
}

POSITION GTreeCtrl::RowAbove(POSITION pos) {
    POSITION prev = GetPrevItem(pos);
    if (prev) {
        // The last visible row of the previous sibling's open branches.
        for (POSITION child = GetChildItem(prev); child && IsOpenAt(prev);
             child = GetChildItem(prev)) {
            prev = child;
            while (POSITION next = GetNextItem(prev))
                prev = next;
        }
        return prev;
    }
    if (POSITION parent = GetParentItem(pos))
        return parent;
    return GetTopItem();
}

POSITION GTreeCtrl::RowBelow(POSITION pos) {
    POSITION child = GetChildItem(pos);
    if (child && (IsOpenAt(pos) || IsRoot(pos)))
        return child;
    for (POSITION p = pos; p && !IsRoot(p); p = GetParentItem(p))
        if (POSITION next = GetNextItem(p))
            return next;
    return nullptr;
}

LRESULT GTreeCtrl::OnKeyDown(HWND, UINT, WPARAM wParam, LPARAM) {
    if (!m_bKeysEnabled)
        return 0;
    POSITION sel = m_posSel;
    switch (wParam) {
        case VK_RETURN:
            NotifyOwner(kMsgTreeChosen, reinterpret_cast<WPARAM>(sel));
            return 0;
        case VK_ESCAPE:
            NotifyOwner(kMsgTreeChosen, 0);
            return 0;
        default:
            break;
    }
    if (!sel) {
        // Without a selection the arrows start at the root.
        if (wParam == VK_UP || wParam == VK_DOWN)
            if (POSITION first = GetFirstDrawPos())
                SelectItem(first, true);
        return 0;
    }
    switch (wParam) {
        case VK_LEFT:
            if (IsRoot(sel))
                break;
            if (IsOpenAt(sel)) {
                NotifyOwner(kMsgTreeClosing, reinterpret_cast<WPARAM>(sel));
                OpenItem(sel, false, true);
            } else if (POSITION parent = GetParentItem(sel)) {
                SelectItem(parent, true);
            }
            break;
        case VK_RIGHT: {
            POSITION child = GetChildItem(sel);
            if (!child)
                break;
            if (!IsOpenAt(sel)) {
                NotifyOwner(kMsgTreeOpening, reinterpret_cast<WPARAM>(sel));
                OpenItem(sel, true, true);
            } else {
                SelectItem(child, true);
            }
            break;
        }
        case VK_UP:
            if (POSITION above = RowAbove(sel))
                SelectItem(above, true);
            break;
        case VK_DOWN:
            if (POSITION below = RowBelow(sel))
                SelectItem(below, true);
            break;
        default:
            break;
    }
    return 0;
}

LRESULT GTreeCtrl::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE:
            return OnCreate(hwnd, msg, wParam, lParam);
        case WM_DESTROY:
            return OnDestroy(hwnd, msg, wParam, lParam);
        case WM_SIZE: {
            const LRESULT r = GAnimateWnd::WndProc(hwnd, msg, wParam, lParam);
            UpdateScroll(0, 0);
            return r;
        }
        case WM_LBUTTONDOWN:
            return OnLbuttonDown(hwnd, msg, wParam, lParam);
        case WM_LBUTTONDBLCLK:
            return OnLbuttonDblClk(hwnd, msg, wParam, lParam);
        case WM_RBUTTONDOWN:
            return OnRbuttonDown(hwnd, msg, wParam, lParam);
        case WM_MOUSEWHEEL:
            return OnMouseWhell(hwnd, msg, wParam, lParam);
        case WM_VSCROLL:
        case WM_HSCROLL:
            Invalidate(0);
            return 0;
        case WM_SETFOCUS:
            // The key that moved the focus here must not act on arrival.
            m_bKeysEnabled = GetValidKeyState();
            return 0;
        case WM_KILLFOCUS:
            NotifyOwner(kMsgTreeLostFocus, 0);
            return 0;
        case WM_KEYUP:
            m_bKeysEnabled = 1;
            return 0;
        case WM_KEYDOWN:
            return OnKeyDown(hwnd, msg, wParam, lParam);
        default:
            return GAnimateWnd::WndProc(hwnd, msg, wParam, lParam);
    }
}
