// Raw input and its conversion into messages: stylus, right button, wheel and keys; capture,
// double clicks, the key state tables and the stylus samples for GetMouseMovePoints.
#include "user_internal.h"

#include <platform/display.h>
#include <platform/winbase.h>

#include <cstdlib>

namespace plat {
namespace {

enum class RawKind { LDown, LUp, Move, Hover, RDown, RUp, Wheel, KeyDown, KeyUp, Char, Close };

struct RawEvent {
    RawKind kind;
    POINT q{0, 0}; // quarter pixels
    int value = 0; // key code, wheel delta or character
    DWORD time = 0;
};

constexpr size_t kMaxMovePoints = 64;
constexpr DWORD kDoubleClickMs = 500;

struct InputState {
    std::mutex mutex;
    std::deque<RawEvent> raw;
    bool asyncDown[256] = {};
    bool asyncToggled[256] = {};
    POINT cursor{0, 0};
};

InputState& State() {
    static InputState* s = new InputState;
    return *s;
}

// Owner-thread state of the conversion (the user-interface thread).
struct SyncState {
    bool down[256] = {};
    bool toggled[256] = {};
    HWND capture = nullptr;
    HWND lastClick = nullptr;
    UINT lastClickMsg = 0;
    DWORD lastClickTime = 0;
    POINT lastClickPt{0, 0};
};

SyncState& Sync() {
    static SyncState* s = new SyncState;
    return *s;
}

void Push(RawKind kind, int qx, int qy, int value) {
    InputState& s = State();
    {
        std::lock_guard lock(s.mutex);
        RawEvent e{kind, {qx, qy}, value, GetTickCount()};
        bool mouse = kind != RawKind::KeyDown && kind != RawKind::KeyUp && kind != RawKind::Char &&
                     kind != RawKind::Close;
        if (mouse && kind != RawKind::Wheel)
            s.cursor = POINT{qx >> 2, qy >> 2};
        switch (kind) {
            case RawKind::LDown:
                s.asyncDown[VK_LBUTTON] = true;
                break;
            case RawKind::LUp:
                s.asyncDown[VK_LBUTTON] = false;
                break;
            case RawKind::RDown:
                s.asyncDown[VK_RBUTTON] = true;
                break;
            case RawKind::RUp:
                s.asyncDown[VK_RBUTTON] = false;
                break;
            case RawKind::KeyDown:
                if (!s.asyncDown[value & 0xFF])
                    s.asyncToggled[value & 0xFF] = !s.asyncToggled[value & 0xFF];
                s.asyncDown[value & 0xFF] = true;
                break;
            case RawKind::KeyUp:
                s.asyncDown[value & 0xFF] = false;
                break;
            default:
                break;
        }
        s.raw.push_back(e);
    }
    WakeGuiThreads();
}

WPARAM MouseKeys() {
    SyncState& s = Sync();
    WPARAM k = 0;
    if (s.down[VK_LBUTTON])
        k |= MK_LBUTTON;
    if (s.down[VK_RBUTTON])
        k |= MK_RBUTTON;
    if (s.down[VK_SHIFT])
        k |= MK_SHIFT;
    if (s.down[VK_CONTROL])
        k |= MK_CONTROL;
    return k;
}

void SetSyncKey(int vk, bool down) {
    SyncState& s = Sync();
    vk &= 0xFF;
    if (down && !s.down[vk])
        s.toggled[vk] = !s.toggled[vk];
    s.down[vk] = down;
    // The generic shift, control and menu keys follow either side.
    auto both = [&](int generic, int l, int r) {
        if (vk == l || vk == r)
            s.down[generic] = s.down[l] || s.down[r];
    };
    both(VK_SHIFT, VK_LSHIFT, VK_RSHIFT);
    both(VK_CONTROL, VK_LCONTROL, VK_RCONTROL);
    both(VK_MENU, VK_LMENU, VK_RMENU);
}

// The window the pointer input goes to: the capture, else the enabled window under it.
Window* MouseTarget(POINT pt) {
    SyncState& s = Sync();
    if (s.capture)
        if (Window* c = GetWindowObj(s.capture))
            return c;
    Window* w = GetWindowObj(WindowFromPoint(pt));
    while (w && (w->style & WS_DISABLED))
        w = w->IsChild() ? w->parent : nullptr;
    return w == Desktop() ? nullptr : w;
}

Window* KeyTarget() {
    Window* w = GetWindowObj(GetFocus());
    if (!w)
        w = GetWindowObj(GetActiveWindow());
    return w;
}

void Deliver(ThreadQueue& q, Window* w, QueuedMsg m) {
    m.msg.hwnd = w->handle;
    if (w->threadId == q.threadId) {
        q.input.push_back(std::move(m));
        return;
    }
    std::shared_ptr<ThreadQueue> other = w->queue;
    {
        std::lock_guard lock(other->mutex);
        other->posted.push_back(std::move(m));
    }
    NotifyQueue(*other);
}

void ActivateOnClick(Window* w) {
    Window* top = w;
    while (top->IsChild())
        top = top->parent;
    if (top != Desktop() && !(top->exStyle & WS_EX_NOACTIVATE) && GetActiveWindow() != top->handle)
        SetActiveWindow(top->handle);
}

QueuedMsg MouseMsg(Window* w, UINT msg, POINT screen, DWORD time) {
    QueuedMsg m;
    POINT c = screen;
    ScreenToClient(w->handle, &c);
    m.msg.message = msg;
    m.msg.wParam = MouseKeys();
    m.msg.lParam = MAKELPARAM(static_cast<WORD>(c.x), static_cast<WORD>(c.y));
    m.msg.time = time;
    m.msg.pt = screen;
    return m;
}

UINT ButtonMessage(Window* w, UINT down, UINT dbl, POINT pt, DWORD time) {
    SyncState& s = Sync();
    bool dblClass = (w->cls->style & CS_DBLCLKS) != 0;
    int slop = GetSystemMetrics(SM_CXDOUBLECLK) / 2;
    if (dblClass && s.lastClick == w->handle && s.lastClickMsg == down &&
        time - s.lastClickTime <= kDoubleClickMs && std::abs(pt.x - s.lastClickPt.x) <= slop &&
        std::abs(pt.y - s.lastClickPt.y) <= slop) {
        s.lastClick = nullptr;
        return dbl;
    }
    s.lastClick = w->handle;
    s.lastClickMsg = down;
    s.lastClickTime = time;
    s.lastClickPt = pt;
    return down;
}

} // namespace

bool HasRawInput() {
    InputState& s = State();
    std::lock_guard lock(s.mutex);
    return !s.raw.empty();
}

bool ConvertRawInput(ThreadQueue& q) {
    InputState& s = State();
    RawEvent e;
    std::vector<POINT> moves;
    {
        std::lock_guard lock(s.mutex);
        if (s.raw.empty())
            return false;
        e = s.raw.front();
        s.raw.pop_front();
        // Motion comes as one message at the latest place; the samples on the way are kept.
        if (e.kind == RawKind::Move || e.kind == RawKind::Hover) {
            moves.push_back(e.q);
            while (!s.raw.empty() && s.raw.front().kind == e.kind) {
                e = s.raw.front();
                s.raw.pop_front();
                moves.push_back(e.q);
            }
            if (moves.size() > kMaxMovePoints)
                moves.erase(moves.begin(), moves.end() - kMaxMovePoints);
        }
    }
    POINT pt{e.q.x >> 2, e.q.y >> 2};
    switch (e.kind) {
        case RawKind::LDown:
        case RawKind::RDown: {
            bool left = e.kind == RawKind::LDown;
            SetSyncKey(left ? VK_LBUTTON : VK_RBUTTON, true);
            Window* w = MouseTarget(pt);
            if (!w)
                return true;
            HWND hwnd = w->handle;
            if (!Sync().capture)
                ActivateOnClick(w);
            if ((w = GetWindowObj(hwnd)) == nullptr)
                return true;
            UINT msg = left ? ButtonMessage(w, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, pt, e.time)
                            : ButtonMessage(w, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK, pt, e.time);
            Deliver(q, w, MouseMsg(w, msg, pt, e.time));
            return true;
        }
        case RawKind::LUp:
        case RawKind::RUp: {
            bool left = e.kind == RawKind::LUp;
            SetSyncKey(left ? VK_LBUTTON : VK_RBUTTON, false);
            if (Window* w = MouseTarget(pt))
                Deliver(q, w, MouseMsg(w, left ? WM_LBUTTONUP : WM_RBUTTONUP, pt, e.time));
            return true;
        }
        case RawKind::Move:
        case RawKind::Hover: {
            if (Window* w = MouseTarget(pt)) {
                QueuedMsg m = MouseMsg(w, WM_MOUSEMOVE, pt, e.time);
                m.movePoints = std::move(moves);
                Deliver(q, w, std::move(m));
            }
            return true;
        }
        case RawKind::Wheel: {
            Window* w = KeyTarget();
            if (!w)
                w = MouseTarget(pt);
            if (w) {
                QueuedMsg m;
                m.msg.message = WM_MOUSEWHEEL;
                m.msg.wParam = MAKEWPARAM(static_cast<WORD>(MouseKeys()),
                                          static_cast<WORD>(static_cast<SHORT>(e.value)));
                m.msg.lParam = MAKELPARAM(static_cast<WORD>(pt.x), static_cast<WORD>(pt.y));
                m.msg.time = e.time;
                m.msg.pt = pt;
                Deliver(q, w, std::move(m));
            }
            return true;
        }
        case RawKind::KeyDown:
        case RawKind::KeyUp: {
            bool down = e.kind == RawKind::KeyDown;
            int vk = e.value & 0xFF;
            bool wasDown = Sync().down[vk];
            SetSyncKey(vk, down);
            if (Window* w = KeyTarget()) {
                QueuedMsg m;
                m.msg.message = down ? WM_KEYDOWN : WM_KEYUP;
                m.msg.wParam = static_cast<WPARAM>(vk);
                LPARAM lp = 1;
                if (wasDown)
                    lp |= 0x40000000;
                if (!down)
                    lp |= static_cast<LPARAM>(0xC0000000u);
                m.msg.lParam = lp;
                m.msg.time = e.time;
                GetCursorPos(&m.msg.pt);
                Deliver(q, w, std::move(m));
            }
            return true;
        }
        case RawKind::Close: {
            // The desktop's close button: the program's own top windows are asked to close.
            std::vector<HWND> tops;
            for (Window* w : Desktop()->children)
                if (w->threadId == q.threadId && !w->owner && w->cls->name != u"HHTaskbar")
                    tops.push_back(w->handle);
            for (HWND h : tops)
                PostMessageW(h, WM_CLOSE, 0, 0);
            return true;
        }
        case RawKind::Char: {
            if (Window* w = KeyTarget()) {
                QueuedMsg m;
                m.msg.message = WM_CHAR;
                m.msg.wParam = static_cast<WPARAM>(e.value & 0xFFFF);
                m.msg.lParam = 1;
                m.msg.time = e.time;
                GetCursorPos(&m.msg.pt);
                Deliver(q, w, std::move(m));
            }
            return true;
        }
    }
    return true;
}

void ForgetWindowInput(Window* w) {
    SyncState& s = Sync();
    if (s.capture == w->handle)
        s.capture = nullptr;
    if (s.lastClick == w->handle)
        s.lastClick = nullptr;
}

void InputStylusDownQ(int qx, int qy) {
    Push(RawKind::LDown, qx, qy, 0);
}
void InputStylusMoveQ(int qx, int qy) {
    Push(RawKind::Move, qx, qy, 0);
}
void InputStylusUpQ(int qx, int qy) {
    Push(RawKind::LUp, qx, qy, 0);
}
void InputRightButton(bool down, int x, int y) {
    Push(down ? RawKind::RDown : RawKind::RUp, x * 4, y * 4, 0);
}
void InputHover(int x, int y) {
    Push(RawKind::Hover, x * 4, y * 4, 0);
}
void InputWheel(int delta, int x, int y) {
    Push(RawKind::Wheel, x * 4, y * 4, delta);
}
void InputKey(int vk, bool down) {
    Push(down ? RawKind::KeyDown : RawKind::KeyUp, 0, 0, vk & 0xFF);
}
void InputChar(WCHAR ch) {
    Push(RawKind::Char, 0, 0, ch);
}
void InputCloseRequest() {
    Push(RawKind::Close, 0, 0, 0);
}

} // namespace plat

using namespace plat;

HWND SetCapture(HWND hwnd) {
    SyncState& s = Sync();
    HWND old = s.capture;
    Window* w = GetWindowObj(hwnd);
    if (!w || w == Desktop())
        return old;
    s.capture = hwnd;
    if (old && old != hwnd)
        SendMessageW(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    return old;
}

BOOL ReleaseCapture() {
    SyncState& s = Sync();
    HWND old = s.capture;
    s.capture = nullptr;
    if (old && IsWindow(old))
        SendMessageW(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture() {
    return Sync().capture;
}

BOOL GetCursorPos(LPPOINT pt) {
    if (!pt)
        return FALSE;
    InputState& s = State();
    std::lock_guard lock(s.mutex);
    *pt = s.cursor;
    return TRUE;
}

BOOL SetCursorPos(int x, int y) {
    InputState& s = State();
    std::lock_guard lock(s.mutex);
    s.cursor = POINT{x, y};
    return TRUE;
}

SHORT GetAsyncKeyState(int vk) {
    InputState& s = State();
    std::lock_guard lock(s.mutex);
    vk &= 0xFF;
    bool down = s.asyncDown[vk];
    if (vk == VK_SHIFT)
        down = down || s.asyncDown[VK_LSHIFT] || s.asyncDown[VK_RSHIFT];
    if (vk == VK_CONTROL)
        down = down || s.asyncDown[VK_LCONTROL] || s.asyncDown[VK_RCONTROL];
    return static_cast<SHORT>(down ? 0x8000 : 0);
}

SHORT GetKeyState(int vk) {
    SyncState& s = Sync();
    vk &= 0xFF;
    return static_cast<SHORT>((s.down[vk] ? 0x8000 : 0) | (s.toggled[vk] ? 1 : 0));
}

BOOL GetMouseMovePoints(PPOINT points, UINT count, UINT* retrieved) {
    if (!points || !retrieved)
        return FALSE;
    const std::vector<POINT>& all = CurrentQueue().lastMovePoints;
    // The latest samples matter most: they end where the move message is.
    size_t n = all.size() < count ? all.size() : count;
    size_t start = all.size() - n;
    for (size_t i = 0; i < n; ++i)
        points[i] = all[start + i];
    *retrieved = static_cast<UINT>(n);
    return TRUE;
}

UINT GetDoubleClickTime() {
    return kDoubleClickMs;
}
