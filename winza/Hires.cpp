#include "winza/Hires.h"

#include "winza/GLibState.h"

#include <windows.h>

namespace {

// Read from the screen once per process (or after a reset).
int DisplayMode() {
    std::atomic<int>& displayMode = GetGLibState().displayMode;
    int mode = displayMode.load(std::memory_order_acquire);
    if (mode)
        return mode;
    const SIZE screen = plat::ScreenSize();
    const bool landscape = screen.cy < screen.cx;
    if (screen.cx > 320 || screen.cy > 320)
        mode = landscape ? 5 : 4;
    else
        mode = landscape ? 3 : 2;
    displayMode.store(mode, std::memory_order_release);
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
    GetGLibState().displayMode.store(0, std::memory_order_release);
}
