#include "winza/GBar.h"
#include "winza/DrawHelpers.h"
#include "winza/GLib.h"

GBar::GBar() : m_crBack(GetGLibColor(eColorBarBack)) {
    // Bars paint straight onto the screen: no blending, no back buffer.
    m_bAnimate = 0;
    m_bDoubleBuffer = 0;
}

int GBar::CreateBar(HWND parent, Winza* owner, RECT rect, eGBarType type) {
    m_pOwner = owner;
    m_eBarType = type;
    return Create(parent, GetClassNameW(), WS_CHILD | WS_VISIBLE, rect.left, rect.top,
                  rect.right - rect.left, rect.bottom - rect.top);
}

void GBar::MoveBar(RECT rect, int redraw) {
    if (!m_hWnd)
        return;
    ::MoveWindow(m_hWnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 FALSE);
    if (redraw)
        Invalidate(0);
}

void GBar::Draw(HDC hdc, RECT) {
    RECT rc = m_rcClient;
    FrameRect(hdc, &rc, GetGLibColor(eColorBarLight), GetGLibColor(eColorEdge), m_crBack, 1,
              m_nFrameFlag);
}

// Plain ones only tell whether the pen is inside; derived classes give them behaviour.
LRESULT GBar::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return PenInClientProc(hwnd, msg, wParam, lParam);
}
