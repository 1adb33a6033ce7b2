#include "winza/Hires.h"

#include <windows.h>

#include <atomic>

namespace {

// 0 until the screen has been looked at; set once per process.
std::atomic<int> g_displayMode{0};

int DisplayMode() {
    int mode = g_displayMode.load(std::memory_order_acquire);
    if (mode)
        return mode;
    const SIZE screen = plat::ScreenSize();
    const bool landscape = screen.cy < screen.cx;
    if (screen.cx > 320 || screen.cy > 320)
        mode = landscape ? 5 : 4;
    else
        mode = landscape ? 3 : 2;
    g_displayMode.store(mode, std::memory_order_release);
    return mode;
}

} // namespace

int IsHires() {
    const int mode = DisplayMode();
    return mode == 4 || mode == 5;
}

int IsLandscape() {
    const int mode = DisplayMode();
    return mode == 3 || mode == 5;
}

int ApplyHires(int v) {
    return IsHires() ? v * 2 : v;
}

int GetDisplayMode() {
    return DisplayMode();
}

void ResetDisplayMode() {
    g_displayMode.store(0, std::memory_order_release);
}
