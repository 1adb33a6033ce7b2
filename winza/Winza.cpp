#include "winza/Winza.h"

#include "winza/GRecognizeCursor.h"

namespace {

// A toolkit window keeps its object in the user-data slot.
Winza* ObjectOf(HWND hwnd) {
    return reinterpret_cast<Winza*>(::GetWindowLongPtrW(hwnd, GWL_USERDATA));
}

HINSTANCE ProcessModule() {
    return ::GetModuleHandleW(nullptr);
}

} // namespace

Winza::~Winza() {
    if (m_hWnd && ::IsWindow(m_hWnd))
        Destroy();
    m_gdc.DeleteGDC();
}

LPCWSTR Winza::GetClassNameW() {
    return u"Winza";
}

int Winza::RegisterClassW() {
    return RegisterClassW(CS_HREDRAW | CS_VREDRAW, nullptr, ::LoadCursorW(nullptr, IDC_ARROW),
                          reinterpret_cast<HBRUSH>(static_cast<LONG_PTR>(COLOR_WINDOW + 1)),
                          WinzaProc);
}

int Winza::RegisterClassW(UINT style, HICON icon, HCURSOR cursor, HBRUSH background, WNDPROC proc) {
    WNDCLASSW wc{};
    LPCWSTR name = GetClassNameW();
    if (::GetClassInfoW(ProcessModule(), name, &wc))
        return 1;
    wc = WNDCLASSW{};
    wc.style = style;
    wc.lpfnWndProc = proc ? proc : WinzaProc;
    wc.hInstance = ProcessModule();
    wc.hIcon = icon;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    return ::RegisterClassW(&wc) ? 1 : 0;
}

int Winza::PreTranslateMessage(MSG*) {
    return 0;
}

void Winza::Invalidate(int erase) {
    if (!m_hWnd || !::IsWindow(m_hWnd))
        return;
    ::InvalidateRect(m_hWnd, nullptr, erase);
    ::UpdateWindow(m_hWnd);
}

void Winza::InvalidateRect(const RECT* rect, int erase) {
    if (!m_hWnd || !::IsWindow(m_hWnd))
        return;
    ::InvalidateRect(m_hWnd, rect, erase);
    ::UpdateWindow(m_hWnd);
}

void Winza::ShowWindow(int cmd) {
    if (!m_hWnd || !::IsWindow(m_hWnd))
        return;
    ::ShowWindow(m_hWnd, cmd);
    if (cmd != SW_HIDE)
        Invalidate(0);
}

void Winza::Draw(HDC, RECT) {}

void Winza::DrawItem(DRAWITEMSTRUCT*) {}

void Winza::MeasureItem(MEASUREITEMSTRUCT*) {}

int Winza::Create(HWND parent, LPCWSTR title, DWORD style, int x, int y, int cx, int cy, HMENU menu,
                  DWORD exStyle) {
    if (m_hWnd)
        return 0;
    WNDCLASSW wc{};
    if (!::GetClassInfoW(ProcessModule(), GetClassNameW(), &wc) && !RegisterClassW())
        return 0;
    HWND hwnd = ::CreateWindowExW(exStyle, GetClassNameW(), title, style, x, y, cx, cy, parent,
                                  menu, ProcessModule(), this);
    if (!hwnd)
        return 0;
    m_hWnd = hwnd;
    return 1;
}

HWND Winza::GetParent() const {
    if (!m_hWnd || !::IsWindow(m_hWnd))
        return nullptr;
    return ::GetParent(m_hWnd);
}

int Winza::IsWindowVisible() const {
    if (!m_hWnd || !::IsWindow(m_hWnd))
        return 0;
    return ::IsWindowVisible(m_hWnd) ? 1 : 0;
}

void Winza::Close() {
    if (m_hWnd && ::IsWindow(m_hWnd))
        ::SendMessageW(m_hWnd, WM_CLOSE, 0, 0);
}

void Winza::Destroy() {
    if (m_hWnd && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
}

void Winza::UpdateBuffer(RECT rect) {
    if (!m_hDC || !m_gdc.GetSafeHdc())
        return;
    ::BitBlt(m_hDC, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
             m_gdc.GetSafeHdc(), rect.left, rect.top, SRCCOPY);
}

int Winza::ClientToScreen(POINT* point) const {
    if (!point || !m_hWnd || !::IsWindow(m_hWnd))
        return 0;
    return ::ClientToScreen(m_hWnd, point) ? 1 : 0;
}

int Winza::ClientToScreen(int* x, int* y) const {
    if (!x || !y)
        return 0;
    POINT p{*x, *y};
    if (!ClientToScreen(&p))
        return 0;
    *x = p.x;
    *y = p.y;
    return 1;
}

int Winza::ClientToScreen(RECT* rect) const {
    if (!rect)
        return 0;
    POINT a{rect->left, rect->top};
    POINT b{rect->right, rect->bottom};
    if (!ClientToScreen(&a) || !ClientToScreen(&b))
        return 0;
    *rect = RECT{a.x, a.y, b.x, b.y};
    return 1;
}

int Winza::ScreenToClient(POINT* point) const {
    if (!point || !m_hWnd || !::IsWindow(m_hWnd))
        return 0;
    return ::ScreenToClient(m_hWnd, point) ? 1 : 0;
}

int Winza::ScreenToClient(int* x, int* y) const {
    if (!x || !y)
        return 0;
    POINT p{*x, *y};
    if (!ScreenToClient(&p))
        return 0;
    *x = p.x;
    *y = p.y;
    return 1;
}

int Winza::ScreenToClient(RECT* rect) const {
    if (!rect)
        return 0;
    POINT a{rect->left, rect->top};
    POINT b{rect->right, rect->bottom};
    if (!ScreenToClient(&a) || !ScreenToClient(&b))
        return 0;
    *rect = RECT{a.x, a.y, b.x, b.y};
    return 1;
}

int Winza::RecognizeGesture(POINT point, int tolerance) {
    return ::RecognizeGesture(m_hWnd, point, tolerance);
}

Winza* Winza::FromHandle(HWND hwnd) {
    if (!hwnd || !::IsWindow(hwnd))
        return nullptr;
    return ObjectOf(hwnd);
}

LRESULT CALLBACK Winza::WinzaProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Winza* object = nullptr;
    if (msg == WM_CREATE) {
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        object = cs ? static_cast<Winza*>(cs->lpCreateParams) : nullptr;
        ::SetWindowLongPtrW(hwnd, GWL_USERDATA, reinterpret_cast<LONG_PTR>(object));
    } else {
        object = ObjectOf(hwnd);
    }
    if (!object)
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    const LRESULT result = object->WndProc(hwnd, msg, wParam, lParam);
    if (msg == WM_DESTROY)
        ::SetWindowLongPtrW(hwnd, GWL_USERDATA, 0);
    return result;
}

void Winza::RefreshClientRect() {
    RECT rc{0, 0, 0, 0};
    if (m_hWnd && ::GetClientRect(m_hWnd, &rc))
        m_rcClient = rc;
    else
        m_rcClient = RECT{0, 0, 0, 0};
}
