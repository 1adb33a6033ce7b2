#include "scribbo/GToolBarLauncher.h"

#include "fundo/GeoPoint.h"
#include "scribbo/App.h"
#include "scribbo/GPadDrawMan.h"
#include "scribbo/Settings.h"
#include "winza/DrawHelpers.h"
#include "winza/GFontManager.h"
#include "winza/GLib.h"
#include "winza/Hires.h"

#include <algorithm>
#include <cstdlib>

GToolBarLauncher::GToolBarLauncher()
    : GLauncherTab(u"GToolBarLauncher", kFadeTimer, &g_Settings.LockToolbar) {}

void GToolBarLauncher::SetPage(int current, int count) {
    m_nCurPage = current;
    m_nPageCount = count;
    if (m_hWnd)
        Invalidate(1);
}

void GToolBarLauncher::SetDocument(GPadDrawMan* doc, POINT origin) {
    m_pDoc = doc;
    m_ptOrigin = origin;
}

void GToolBarLauncher::NotifyParent(LPARAM what) {
    HWND parent = GetParent();
    if (!parent)
        return;
    GAnimateWnd* bar = GetControlled();
    ::SendMessageW(parent, UM_TOOLBARPEN,
                   reinterpret_cast<WPARAM>(bar ? bar->GetSafeHwnd() : nullptr), what);
}

void GToolBarLauncher::OnPress(POINT pt) {
    ::SetCapture(m_hWnd);
    // On the screen: a lock moves the tab under the resting pen, which is no drag.
    ::ClientToScreen(m_hWnd, &pt);
    m_ptPress = pt;
    m_ptCurrent = pt;
    m_nDirection = eDragNone;
    ::SetRectEmpty(&m_rcGuide);
}

void GToolBarLauncher::TrackDrag(POINT pt, int draw) {
    ::ClientToScreen(m_hWnd, &pt);
    m_ptCurrent = pt;
    if (m_nDirection != eDragNone || ::GetCapture() != m_hWnd)
        return;
    const LONG dx = pt.x - m_ptPress.x;
    const LONG dy = pt.y - m_ptPress.y;
    if (PointLength(dx, dy) <= kDragDistance)
        return;
    if (std::abs(dy) > std::abs(dx))
        m_nDirection = dy < 0 ? eDragUp : eDragDown;
    else
        m_nDirection = dx > 0 ? eDragRight : eDragLeft;
    LayoutGuide();
    if (draw)
        DrawGuide();
}

void GToolBarLauncher::LayoutGuide() {
    HWND parent = GetParent();
    RECT area{0, 0, 0, 0};
    RECT tab{0, 0, 0, 0};
    if (!parent || !::GetClientRect(parent, &area) || !::GetWindowRect(m_hWnd, &tab)) {
        ::SetRectEmpty(&m_rcGuide);
        return;
    }
    POINT p = m_ptPress;
    ::ScreenToClient(parent, &p);
    // The band is as thick as the tab across the drag and runs from the press to the pad's
    // edge, so it reads as the tab being pulled across the page.
    const int tabWidth = tab.right - tab.left;
    const int tabHeight = tab.bottom - tab.top;
    RECT band{0, 0, 0, 0};
    switch (m_nDirection) {
        case eDragUp:
        case eDragDown:
            band.left = p.x - tabWidth / 2;
            band.right = band.left + tabWidth;
            band.top = m_nDirection == eDragUp ? area.top : p.y;
            band.bottom = m_nDirection == eDragUp ? p.y : area.bottom;
            break;
        default:
            band.top = p.y - tabHeight / 2;
            band.bottom = band.top + tabHeight;
            band.left = m_nDirection == eDragLeft ? area.left : p.x;
            band.right = m_nDirection == eDragLeft ? p.x : area.right;
            break;
    }
    if (!::IntersectRect(&m_rcGuide, &band, &area))
        ::SetRectEmpty(&m_rcGuide);
}

void GToolBarLauncher::DrawGuide() {
    HWND parent = GetParent();
    if (!parent || ::IsRectEmpty(&m_rcGuide))
        return;
    HDC dc = ::GetDC(parent);
    if (!dc)
        return;
    const int width = ApplyHires(1);
    const COLORREF edge = GetGLibColor(27);
    FrameRect(dc, &m_rcGuide, edge, edge, GetGLibColor(24), width, eFrameAll);
    // An arrow at the far end shows where the pen is taking the page.
    const RECT& g = m_rcGuide;
    const bool vertical = m_nDirection == eDragUp || m_nDirection == eDragDown;
    const int across = vertical ? g.right - g.left : g.bottom - g.top;
    const int along = vertical ? g.bottom - g.top : g.right - g.left;
    const int size = std::min(across / 2, along - 4 * width);
    if (size > 0) {
        const int inset = 2 * width;
        const int mid = vertical ? (g.left + g.right) / 2 : (g.top + g.bottom) / 2;
        RECT arrow{0, 0, 0, 0};
        int direction = eArrowLeft;
        switch (m_nDirection) {
            case eDragUp:
                arrow = RECT{mid - size / 2, g.top + inset, mid - size / 2 + size,
                             g.top + inset + size};
                direction = eArrowUp;
                break;
            case eDragDown:
                arrow = RECT{mid - size / 2, g.bottom - inset - size, mid - size / 2 + size,
                             g.bottom - inset};
                direction = eArrowDown;
                break;
            case eDragRight:
                arrow = RECT{g.right - inset - size, mid - size / 2, g.right - inset,
                             mid - size / 2 + size};
                direction = eArrowRight;
                break;
            default:
                arrow = RECT{g.left + inset, mid - size / 2, g.left + inset + size,
                             mid - size / 2 + size};
                break;
        }
        DrawArrow(dc, direction, &arrow, edge);
    }
    ::ReleaseDC(parent, dc);
}

void GToolBarLauncher::RemoveGuide() {
    HWND parent = GetParent();
    const RECT band = m_rcGuide;
    ::SetRectEmpty(&m_rcGuide);
    if (!parent || ::IsRectEmpty(&band))
        return;
    RECT part{0, 0, 0, 0};
    if (m_pDoc) {
        const RECT buffer{m_ptOrigin.x, m_ptOrigin.y, m_ptOrigin.x + m_pDoc->Width(),
                          m_ptOrigin.y + m_pDoc->Height()};
        if (::IntersectRect(&part, &band, &buffer)) {
            if (HDC dc = ::GetDC(parent)) {
                m_pDoc->DrawBuffer(dc, part.left, part.top, part.right - part.left,
                                   part.bottom - part.top, part.left - m_ptOrigin.x,
                                   part.top - m_ptOrigin.y);
                ::ReleaseDC(parent, dc);
            }
        }
    }
    // What the memo's buffer does not cover, the parent paints again.
    if (!::EqualRect(&part, &band))
        ::InvalidateRect(parent, &band, FALSE);
}

int GToolBarLauncher::OnRelease(POINT pt) {
    // A flick whose moves the hold swallowed still counts by where the pen came up.
    TrackDrag(pt, 0);
    const int dragged = m_nDirection != eDragNone;
    if (dragged)
        RemoveGuide();
    m_nDirection = eDragNone;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    if (!dragged)
        return 0;
    if (HWND parent = GetParent())
        ::SendMessageW(parent, WM_COMMAND, kCloseCommand, reinterpret_cast<LPARAM>(parent));
    return 1;
}

LRESULT GToolBarLauncher::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_MOUSEMOVE:
            TrackDrag(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, 1);
            return 0;
        case WM_CAPTURECHANGED:
            // Another window took the pen: the drag is over without a command.
            if (m_nDirection != eDragNone) {
                RemoveGuide();
                m_nDirection = eDragNone;
            }
            return 0;
        default:
            return GLauncherTab::WndProc(hwnd, msg, wParam, lParam);
    }
}

void GToolBarLauncher::DrawNumber(HDC hdc, int value, int top, int bottom, int textHeight) {
    WCHAR text[16];
    const int length = wsprintfW(text, u"%d", value);
    SIZE size{0, 0};
    ::GetTextExtentPoint32W(hdc, text, length, &size);
    const int x = (Width() - size.cx) / 2;
    const int y = top + (bottom - top - textHeight) / 2;
    ::ExtTextOutW(hdc, x, y, 0, nullptr, text, length, nullptr);
}

void GToolBarLauncher::Draw(HDC hdc, RECT) {
    RECT rc = GetClientRect();
    DrawFrame(hdc, rc, GetGLibColor(3), eFrameLeft | eFrameTop | eFrameBottom);
    GFontManager* fonts = AppFonts();
    HFONT font = fonts ? fonts->GetFont(eFontNormal13) : nullptr;
    HGDIOBJ old = font ? ::SelectObject(hdc, font) : nullptr;
    SIZE digits{0, 0};
    ::GetTextExtentPoint32W(hdc, u"99", 2, &digits);
    ::SetBkMode(hdc, TRANSPARENT);
    ::SetTextColor(hdc, RGB(0, 0, 0));
    const int width = ApplyHires(1);
    const int mid = (rc.top + rc.bottom) / 2;
    DrawNumber(hdc, m_nCurPage, rc.top, mid, digits.cy);
    FillSolidRect(hdc, rc.left + width, mid, rc.right - rc.left - width, width, GetGLibColor(2));
    DrawNumber(hdc, m_nPageCount, mid + width, rc.bottom, digits.cy);
    if (old)
        ::SelectObject(hdc, old);
}
