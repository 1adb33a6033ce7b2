// The caret: one per thread, drawn by inverting its rectangle and blinking on a timer. It is
// taken off the screen while its window paints, so painting never leaves half a caret behind.
#include "user_internal.h"

#include <platform/gdiguard.h>

namespace plat {
namespace {

constexpr UINT_PTR kCaretTimer = 0x7FFFFFF0;

struct Caret {
    HWND hwnd = nullptr;
    int width = 0;
    int height = 0;
    POINT pos{0, 0};
    int hidden = 1; // made hidden, as in Win32
    bool on = false;
    UINT blink = 530;
};

thread_local Caret t_caret;

void Toggle() {
    Caret& c = t_caret;
    PatBlt(gdi::WindowDC(c.hwnd), c.pos.x, c.pos.y, c.width, c.height, DSTINVERT);
    c.on = !c.on;
}

void CALLBACK Blink(HWND, UINT, UINT_PTR, DWORD) {
    if (t_caret.hwnd && IsWindow(t_caret.hwnd) && t_caret.hidden == 0)
        Toggle();
}

void Arm() {
    SetTimer(t_caret.hwnd, kCaretTimer, t_caret.blink, Blink);
}

} // namespace

void CaretBeginPaint(HWND hwnd) {
    if (t_caret.hwnd == hwnd && t_caret.on)
        Toggle();
}

void CaretEndPaint(HWND hwnd) {
    if (t_caret.hwnd == hwnd && t_caret.hidden == 0 && !t_caret.on) {
        Toggle();
        Arm();
    }
}

void CaretWindowDestroyed(HWND hwnd) {
    if (t_caret.hwnd == hwnd)
        t_caret = Caret{nullptr, 0, 0, {0, 0}, 1, false, t_caret.blink};
}

} // namespace plat

using namespace plat;

BOOL CreateCaret(HWND hwnd, HBITMAP, int width, int height) {
    if (!IsWindow(hwnd))
        return FALSE;
    DestroyCaret();
    Caret& c = t_caret;
    c.hwnd = hwnd;
    c.width = width > 0 ? width : 1;
    c.height = height > 0 ? height : 1;
    c.pos = POINT{0, 0};
    c.hidden = 1;
    c.on = false;
    return TRUE;
}

BOOL DestroyCaret() {
    Caret& c = t_caret;
    if (!c.hwnd)
        return FALSE;
    if (IsWindow(c.hwnd)) {
        if (c.on)
            Toggle();
        KillTimer(c.hwnd, kCaretTimer);
    }
    CaretWindowDestroyed(c.hwnd);
    return TRUE;
}

BOOL ShowCaret(HWND hwnd) {
    Caret& c = t_caret;
    if (!c.hwnd || (hwnd && hwnd != c.hwnd) || c.hidden == 0)
        return FALSE;
    if (--c.hidden == 0) {
        Toggle();
        Arm();
    }
    return TRUE;
}

BOOL HideCaret(HWND hwnd) {
    Caret& c = t_caret;
    if (!c.hwnd || (hwnd && hwnd != c.hwnd))
        return FALSE;
    if (c.hidden++ == 0) {
        if (c.on)
            Toggle();
        KillTimer(c.hwnd, kCaretTimer);
    }
    return TRUE;
}

BOOL SetCaretPos(int x, int y) {
    Caret& c = t_caret;
    if (!c.hwnd)
        return FALSE;
    bool wasOn = c.on;
    if (wasOn)
        Toggle();
    c.pos = POINT{x, y};
    if (c.hidden == 0) {
        // A moved caret shows at once and starts its blink again.
        Toggle();
        Arm();
    }
    return TRUE;
}

BOOL GetCaretPos(LPPOINT pt) {
    if (!pt || !t_caret.hwnd)
        return FALSE;
    *pt = t_caret.pos;
    return TRUE;
}

UINT GetCaretBlinkTime() {
    return t_caret.blink;
}

BOOL SetCaretBlinkTime(UINT ms) {
    t_caret.blink = ms ? ms : 530;
    return TRUE;
}
