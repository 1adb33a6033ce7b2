// Winza's message dispatch and its plain handlers.
#include "winza/Winza.h"

#include <platform/gdiguard.h>

LRESULT Winza::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE:
            return OnCreate(hwnd, msg, wParam, lParam);
        case WM_DESTROY:
            return OnDestroy(hwnd, msg, wParam, lParam);
        case WM_MOVE:
        case WM_SIZE:
            return OnSize(hwnd, msg, wParam, lParam);
        case WM_ACTIVATE:
            return OnActivate(hwnd, msg, wParam, lParam);
        case WM_PAINT:
            return OnPaint(hwnd, msg, wParam, lParam);
        case WM_DRAWITEM:
            return OnDrawItem(hwnd, msg, wParam, lParam);
        case WM_MEASUREITEM:
            return OnMeasureItem(hwnd, msg, wParam, lParam);
        case WM_TIMER:
            return OnTimer(hwnd, msg, wParam, lParam);
        case WM_MOUSEMOVE:
            return OnMouseMove(hwnd, msg, wParam, lParam);
        case WM_LBUTTONDOWN:
            return OnLbuttonDown(hwnd, msg, wParam, lParam);
        case WM_LBUTTONUP:
            return OnLbuttonUp(hwnd, msg, wParam, lParam);
        case WM_LBUTTONDBLCLK:
            return OnLbuttonDblClk(hwnd, msg, wParam, lParam);
        case WM_MOUSEWHEEL:
            return OnMouseWhell(hwnd, msg, wParam, lParam);
        default:
            return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

LRESULT Winza::OnCreate(HWND hwnd, UINT, WPARAM, LPARAM) {
    // WM_CREATE comes from inside CreateWindowExW, before Create has the handle.
    if (!m_hWnd)
        m_hWnd = hwnd;
    if (m_hDC)
        ::ReleaseDC(hwnd, m_hDC);
    m_hDC = ::GetDC(hwnd);
    RefreshClientRect();
    return 0;
}

LRESULT Winza::OnDestroy(HWND hwnd, UINT, WPARAM, LPARAM) {
    if (m_hDC)
        ::ReleaseDC(hwnd, m_hDC);
    m_hWnd = nullptr;
    m_hDC = nullptr;
    m_gdc.DeleteGDC();
    return 0;
}

LRESULT Winza::OnSize(HWND, UINT, WPARAM, LPARAM) {
    RefreshClientRect();
    if (m_bDoubleBuffer && !::IsRectEmpty(&m_rcClient)) {
        if (!m_gdc.GetSafeHdc())
            m_gdc.CreateCompatibleGDC(this, m_rcClient);
        m_gdc.ResizeGDC(m_rcClient);
    }
    return 0;
}

LRESULT Winza::OnActivate(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

void Winza::PaintClip(HDC target, HDC direct, RECT clip) {
    if (!m_bDoubleBuffer) {
        gdi::Select font(direct, m_hFont);
        Draw(direct, clip);
        return;
    }
    if (!m_gdc.GetSafeHdc() && !::IsRectEmpty(&m_rcClient))
        m_gdc.CreateCompatibleGDC(this, m_rcClient);
    // Without a back buffer nothing is painted until a later size change makes one.
    HDC bufferDC = m_gdc.GetSafeHdc();
    if (!bufferDC)
        return;
    {
        gdi::Select font(bufferDC, m_hFont);
        Draw(bufferDC, clip);
    }
    ::BitBlt(target, clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top, bufferDC,
             clip.left, clip.top, SRCCOPY);
}

// The back buffer goes to the held context, which is not limited to the update region.
LRESULT Winza::OnPaint(HWND hwnd, UINT, WPARAM, LPARAM) {
    gdi::PaintDC paintDC(hwnd);
    if (!paintDC)
        return 0;
    RECT clip{0, 0, 0, 0};
    ::GetClipBox(paintDC, &clip);
    PaintClip(m_hDC, paintDC, clip);
    return 0;
}

LRESULT Winza::OnDrawItem(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

LRESULT Winza::OnMeasureItem(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

LRESULT Winza::OnTimer(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

LRESULT Winza::OnMouseMove(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

LRESULT Winza::OnLbuttonDown(HWND hwnd, UINT, WPARAM, LPARAM lParam) {
    if (!m_bGesture)
        return 0;
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    // The window may be gone once the hold's nested loop returns.
    if (RecognizeGesture(point, 4) && ::IsWindow(hwnd))
        ::SendMessageW(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), lParam);
    return 0;
}

LRESULT Winza::OnLbuttonUp(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

LRESULT Winza::OnLbuttonDblClk(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

LRESULT Winza::OnMouseWhell(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}
