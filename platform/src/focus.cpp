// Keyboard focus and activation. One user-interface desktop: the active window is also the
// foreground window.
#include "user_internal.h"

namespace plat {
namespace {

struct FocusState {
    HWND focus = nullptr;
    HWND active = nullptr;
    // Set while SetFocus activates a top-level window on its way to a child, so that the
    // activated window does not grab the focus for itself first.
    int focusPending = 0;
};

FocusState& Focus() {
    static FocusState* s = new FocusState;
    return *s;
}

Window* TopLevel(Window* w) {
    while (w && w->IsChild())
        w = w->parent;
    return w;
}

} // namespace

bool FocusPending() {
    return Focus().focusPending > 0;
}

void FocusWindowDestroyed(Window* w) {
    FocusState& s = Focus();
    Window* f = GetWindowObj(s.focus);
    if (f && (f == w || IsDescendant(w, f))) {
        if (w->IsChild() && !w->parent->destroying)
            SetFocus(w->parent->handle);
        else
            s.focus = nullptr;
    }
    if (s.active == w->handle) {
        HWND next = nullptr;
        for (Window* top : Desktop()->children)
            if (top != w && top->Visible() && !top->destroying && top->threadId == w->threadId &&
                !(top->exStyle & WS_EX_NOACTIVATE)) {
                next = top->handle;
                break;
            }
        SetActiveWindow(next);
    }
    if (s.active == w->handle)
        s.active = nullptr;
    f = GetWindowObj(s.focus);
    if (f && (f == w || IsDescendant(w, f)))
        s.focus = nullptr;
}

} // namespace plat

using namespace plat;

HWND SetFocus(HWND hwnd) {
    FocusState& s = Focus();
    HWND old = s.focus;
    if (hwnd) {
        Window* w = GetWindowObj(hwnd);
        if (!w || w == Desktop() || (w->style & WS_DISABLED))
            return nullptr;
        Window* top = TopLevel(w);
        if (top && top->handle != s.active) {
            ++s.focusPending;
            SetActiveWindow(top->handle);
            --s.focusPending;
            if (!IsWindow(hwnd))
                return nullptr;
        }
        old = s.focus;
    }
    if (old == hwnd)
        return old;
    s.focus = hwnd;
    if (old && IsWindow(old))
        SendMessageW(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    // A handler of WM_KILLFOCUS may have moved the focus on already.
    if (hwnd && s.focus == hwnd)
        SendMessageW(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    return old;
}

HWND GetFocus() {
    FocusState& s = Focus();
    if (s.focus && !IsWindow(s.focus))
        s.focus = nullptr;
    return s.focus;
}

HWND SetActiveWindow(HWND hwnd) {
    FocusState& s = Focus();
    HWND old = s.active;
    if (old && !IsWindow(old))
        old = nullptr;
    if (hwnd) {
        Window* w = GetWindowObj(hwnd);
        if (!w || w == Desktop())
            return nullptr;
        w = TopLevel(w);
        hwnd = w->handle;
    }
    if (old == hwnd)
        return old;
    s.active = hwnd;
    if (hwnd && !AtTopOfBand(GetWindowObj(hwnd)))
        SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (old)
        SendMessageW(old, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(hwnd));
    Window* f = GetWindowObj(s.focus);
    Window* now = GetWindowObj(hwnd);
    if (f && (!now || TopLevel(f) != now)) {
        // The focus leaves with the window that had it.
        HWND lost = s.focus;
        s.focus = nullptr;
        SendMessageW(lost, WM_KILLFOCUS, 0, 0);
    }
    if (hwnd && s.active == hwnd)
        SendMessageW(hwnd, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(old));
    return old;
}

HWND GetActiveWindow() {
    FocusState& s = Focus();
    if (s.active && !IsWindow(s.active))
        s.active = nullptr;
    return s.active;
}

BOOL SetForegroundWindow(HWND hwnd) {
    if (!IsWindow(hwnd))
        return FALSE;
    SetActiveWindow(hwnd);
    return TRUE;
}

HWND GetForegroundWindow() {
    return GetActiveWindow();
}
