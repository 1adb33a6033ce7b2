// The shell's task bar: a thin topmost bar across the top of the screen with the time of day,
// and SHFullScreen, which hides and shows it.
#include "user_internal.h"

#include <platform/display.h>
#include <platform/gdiguard.h>
#include <platform/winbase.h>
#include <platform/winshell.h>

#include <atomic>

namespace plat {
namespace {

constexpr UINT_PTR kClockTimer = 1;
std::atomic<bool> g_sipShown{true};

// 3 x 5 digits and a colon, one row per byte, bit 2 the left column.
constexpr BYTE kGlyphs[11][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7},
    {5, 5, 7, 1, 1}, {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1},
    {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7}, {0, 2, 0, 2, 0},
};

int Scale() {
    SIZE s = ScreenSize();
    return (s.cx > 320 || s.cy > 320) ? 2 : 1;
}

void DrawGlyph(HDC dc, int index, int x, int y, int px, HBRUSH brush) {
    for (int row = 0; row < 5; ++row)
        for (int col = 0; col < 3; ++col)
            if (kGlyphs[index][row] & (4 >> col)) {
                RECT rc{x + col * px, y + row * px, x + (col + 1) * px, y + (row + 1) * px};
                FillRect(dc, &rc, brush);
            }
}

void PaintBar(HWND hwnd) {
    gdi::PaintDC dc(hwnd);
    RECT rc;
    GetClientRect(hwnd, &rc);
    FillRect(dc, &rc, gdi::Brush(CreateSolidBrush(RGB(0, 40, 120))));
    SYSTEMTIME t;
    GetLocalTime(&t);
    int digits[5] = {t.wHour / 10, t.wHour % 10, 10, t.wMinute / 10, t.wMinute % 10};
    int px = 2 * Scale();
    int glyphW = 4 * px;
    int x = rc.right - 5 * glyphW - 4 * Scale();
    int y = (rc.bottom - 5 * px) / 2;
    gdi::Brush white(CreateSolidBrush(RGB(255, 255, 255)));
    for (int i = 0; i < 5; ++i)
        DrawGlyph(dc, digits[i], x + i * glyphW, y, px, white);
}

// Wakes once a minute, on the minute, to redraw the clock.
void ArmClock(HWND hwnd) {
    SYSTEMTIME t;
    GetLocalTime(&t);
    UINT ms = (60 - t.wSecond) * 1000 - t.wMilliseconds;
    SetTimer(hwnd, kClockTimer, ms ? ms : 60000, nullptr);
}

LRESULT TaskbarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE:
            ArmClock(hwnd);
            return 0;
        case WM_PAINT:
            PaintBar(hwnd);
            return 0;
        case WM_TIMER:
            InvalidateRect(hwnd, nullptr, FALSE);
            ArmClock(hwnd);
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

} // namespace

HWND CreateTaskbar() {
    if (HWND existing = FindWindowW(u"HHTaskbar", nullptr))
        return existing;
    WNDCLASSW wc{};
    wc.lpfnWndProc = TaskbarProc;
    wc.lpszClassName = u"HHTaskbar";
    RegisterClassW(&wc);
    SIZE s = ScreenSize();
    return CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, u"HHTaskbar", u"",
                           WS_POPUP | WS_VISIBLE, 0, 0, s.cx, 26 * Scale(), nullptr, nullptr,
                           nullptr, nullptr);
}

bool IsSipButtonShown() {
    return g_sipShown.load();
}

} // namespace plat

BOOL SHFullScreen(HWND hwnd, DWORD state) {
    if (!IsWindow(hwnd))
        return FALSE;
    HWND bar = FindWindowW(u"HHTaskbar", nullptr);
    if (bar && (state & SHFS_HIDETASKBAR))
        ShowWindow(bar, SW_HIDE);
    if (bar && (state & SHFS_SHOWTASKBAR))
        ShowWindow(bar, SW_SHOWNA);
    if (state & SHFS_HIDESIPBUTTON)
        plat::g_sipShown = false;
    if (state & SHFS_SHOWSIPBUTTON)
        plat::g_sipShown = true;
    return TRUE;
}
