#include "winza/GBar.h"
#include "winza/DrawHelpers.h"
#include "winza/GLib.h"

GBar::GBar() : m_crBack(GetGLibColor(3)) {
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
    FrameRect(hdc, &rc, GetGLibColor(4), GetGLibColor(5), m_crBack, 1, m_nFrameFlag);
}

int GBar::InClient(LPARAM lParam) const {
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    return ::PtInRect(&m_rcClient, pt) ? 1 : 0;
}

LRESULT GBar::OnLbuttonDown(HWND, UINT, WPARAM, LPARAM lParam) {
    return InClient(lParam);
}

LRESULT GBar::OnLbuttonUp(HWND, UINT, WPARAM, LPARAM lParam) {
    return InClient(lParam);
}

LRESULT GBar::OnMouseMove(HWND, UINT, WPARAM, LPARAM lParam) {
    return InClient(lParam);
}

LRESULT GBar::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_LBUTTONDOWN:
            return OnLbuttonDown(hwnd, msg, wParam, lParam);
        case WM_LBUTTONUP:
            return OnLbuttonUp(hwnd, msg, wParam, lParam);
        case WM_MOUSEMOVE:
            return OnMouseMove(hwnd, msg, wParam, lParam);
        default:
            return GAnimateWnd::WndProc(hwnd, msg, wParam, lParam);
    }
}
