// Cursors are state: the backend shows the current one where the host has a pointer (the wait
// cursor while the program is busy); the device itself shows none but the wait indicator.
#include "user_internal.h"

#include <platform/display.h>

#include <atomic>

namespace plat {
namespace {

// The number an IDC_ name stands for.
ULONG_PTR CursorNumber(LPCWSTR idc) {
    return reinterpret_cast<ULONG_PTR>(idc);
}

std::atomic<ULONG_PTR> g_cursor{CursorNumber(IDC_ARROW)};
std::atomic<int> g_showCount{0};
std::atomic<int> g_beeps{0};

constexpr ULONG_PTR kCursorBase = 0x7FFF0000;

bool KnownCursor(ULONG_PTR id) {
    for (LPCWSTR idc : {IDC_ARROW, IDC_IBEAM, IDC_WAIT, IDC_CROSS, IDC_UPARROW, IDC_SIZEALL, IDC_NO,
                        IDC_HAND, IDC_APPSTARTING})
        if (id == CursorNumber(idc))
            return true;
    return false;
}

void Tell() {
    if (DisplayBackend* b = CurrentBackend())
        b->CursorChanged();
}

} // namespace

int CurrentCursorId() {
    if (g_showCount.load() < 0)
        return 0;
    return static_cast<int>(g_cursor.load());
}

int BeepCount() {
    return g_beeps.load();
}

} // namespace plat

using namespace plat;

HCURSOR LoadCursorW(HINSTANCE, LPCWSTR name) {
    if (!IS_INTRESOURCE(name))
        return nullptr;
    ULONG_PTR id = reinterpret_cast<ULONG_PTR>(name);
    if (!KnownCursor(id))
        return nullptr;
    return reinterpret_cast<HCURSOR>(kCursorBase + id);
}

HCURSOR SetCursor(HCURSOR cursor) {
    ULONG_PTR id = 0;
    if (cursor) {
        ULONG_PTR v = reinterpret_cast<ULONG_PTR>(cursor);
        if (v > kCursorBase && KnownCursor(v - kCursorBase))
            id = v - kCursorBase;
    }
    ULONG_PTR old = g_cursor.exchange(id);
    if (old != id)
        Tell();
    return old ? reinterpret_cast<HCURSOR>(kCursorBase + old) : nullptr;
}

HCURSOR GetCursor() {
    ULONG_PTR id = g_cursor.load();
    return id ? reinterpret_cast<HCURSOR>(kCursorBase + id) : nullptr;
}

int ShowCursor(BOOL show) {
    int n = show ? ++g_showCount : --g_showCount;
    Tell();
    return n;
}

BOOL MessageBeep(UINT) {
    ++g_beeps;
    return TRUE;
}
