// Windows: the handle table, creation and destruction, the tree, window longs and text.
#include "user_internal.h"

#include <platform/display.h>
#include <platform/winbase.h>
#include <platform/winstring.h>

#include <algorithm>
#include <cstring>
#include <map>

namespace plat {
namespace {

struct HandleTable {
    std::mutex mutex;
    std::map<HWND, std::shared_ptr<Window>> windows;
    ULONG_PTR next = 0x10010;
};

HandleTable& Handles() {
    static HandleTable* table = new HandleTable;
    return *table;
}

std::shared_ptr<Window> LookupShared(HWND hwnd) {
    HandleTable& t = Handles();
    std::lock_guard lock(t.mutex);
    auto it = t.windows.find(hwnd);
    return it == t.windows.end() ? nullptr : it->second;
}

// Nested calls to procedures keep the window record alive until they return.
LRESULT CallWithProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return proc ? proc(hwnd, msg, wParam, lParam) : DefWindowProcW(hwnd, msg, wParam, lParam);
}

void FreeWindow(Window* w) {
    std::vector<HWND> kids;
    for (Window* c : w->children)
        kids.push_back(c->handle);
    for (HWND k : kids)
        if (Window* c = GetWindowObj(k))
            FreeWindow(c);
    HWND hwnd = w->handle;
    std::shared_ptr<Window> keep = LookupShared(hwnd);
    CallProc(w, WM_NCDESTROY, 0, 0);
    CaretWindowDestroyed(hwnd);
    ForgetWindowInput(w);
    KillTimersOf(CurrentQueue(), hwnd);
    RemoveMessagesOf(hwnd);
    ReleaseWindowDCs(w);
    if (w->parent)
        std::erase(w->parent->children, w);
    for (Window* top : Desktop()->children)
        if (top->owner == w)
            top->owner = nullptr;
    HandleTable& t = Handles();
    std::lock_guard lock(t.mutex);
    t.windows.erase(hwnd);
}

void SendDestroy(HWND hwnd) {
    Window* w = GetWindowObj(hwnd);
    if (!w)
        return;
    CallProc(w, WM_DESTROY, 0, 0);
    w = GetWindowObj(hwnd);
    if (!w)
        return;
    std::vector<HWND> kids;
    for (Window* c : w->children)
        kids.push_back(c->handle);
    for (HWND k : kids) {
        if (Window* c = GetWindowObj(k))
            c->destroying = true;
        SendDestroy(k);
    }
}

} // namespace

RECT Window::ClientInWindow() const {
    int b = Border();
    RECT rc{b, b, rect.right - rect.left - b, rect.bottom - rect.top - b};
    if (rc.right < rc.left)
        rc.right = rc.left;
    if (rc.bottom < rc.top)
        rc.bottom = rc.top;
    return rc;
}

Window* Desktop() {
    static Window* desktop = [] {
        auto* d = new Window;
        d->handle = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(0x10000));
        d->style = WS_VISIBLE;
        d->cls = std::make_shared<WindowClass>();
        d->cls->name = u"#32769";
        return d;
    }();
    SIZE s = ScreenSize();
    desktop->rect = RECT{0, 0, s.cx, s.cy};
    return desktop;
}

Window* GetWindowObj(HWND hwnd) {
    if (!hwnd)
        return nullptr;
    if (hwnd == Desktop()->handle)
        return Desktop();
    std::shared_ptr<Window> w = LookupShared(hwnd);
    return w ? w.get() : nullptr;
}

std::shared_ptr<ThreadQueue> QueueOfWindow(HWND hwnd) {
    std::shared_ptr<Window> w = LookupShared(hwnd);
    return w ? w->queue : nullptr;
}

void ForEachWindow(Window* root, const std::function<void(Window*)>& f) {
    for (Window* c : root->children) {
        f(c);
        ForEachWindow(c, f);
    }
}

bool IsDescendant(const Window* ancestor, const Window* w) {
    for (const Window* p = w ? w->parent : nullptr; p; p = p->parent)
        if (p == ancestor)
            return true;
    return false;
}

LRESULT CallProc(Window* w, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!w)
        return 0;
    if (w == Desktop())
        return DefWindowProcW(w->handle, msg, wParam, lParam);
    std::shared_ptr<Window> keep = LookupShared(w->handle);
    if (!keep)
        return 0;
    return CallWithProc(keep->proc, keep->handle, msg, wParam, lParam);
}

} // namespace plat

using namespace plat;

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parentHwnd, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
    EnsureDisplay();
    std::shared_ptr<WindowClass> cls = FindClass(className);
    if (!cls) {
        SetLastError(1407); // ERROR_CANNOT_FIND_WND_CLASS
        return nullptr;
    }
    Window* parent = Desktop();
    Window* owner = nullptr;
    if (style & WS_CHILD) {
        parent = GetWindowObj(parentHwnd);
        if (!parent || parent->destroying) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
    } else if (parentHwnd) {
        owner = GetWindowObj(parentHwnd);
        if (!owner || owner == Desktop()) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        while (owner->IsChild())
            owner = owner->parent;
    }
    if (x == CW_USEDEFAULT) {
        x = 0;
        y = 0;
    }
    if (width == CW_USEDEFAULT) {
        width = (style & WS_CHILD) ? 0 : Desktop()->rect.right;
        height = (style & WS_CHILD) ? 0 : Desktop()->rect.bottom;
    }
    width = std::max(width, 0);
    height = std::max(height, 0);

    auto w = std::make_shared<Window>();
    w->cls = cls;
    w->style = style & ~static_cast<DWORD>(WS_VISIBLE);
    w->exStyle = exStyle;
    w->parent = parent;
    w->owner = owner;
    w->rect = RECT{x, y, x + width, y + height};
    w->proc = cls->proc;
    w->instance = instance;
    w->id = (style & WS_CHILD) ? reinterpret_cast<LONG_PTR>(menu) : 0;
    w->extra.assign(static_cast<size_t>(cls->wndExtra), 0);
    w->queue = CurrentQueueRef();
    w->threadId = GetCurrentThreadId();
    {
        HandleTable& t = Handles();
        std::lock_guard lock(t.mutex);
        w->handle = reinterpret_cast<HWND>(t.next);
        t.next += 4;
        t.windows[w->handle] = w;
    }
    InsertInZOrder(w.get(), (exStyle & WS_EX_TOPMOST) ? HWND_TOPMOST : HWND_TOP);
    HWND hwnd = w->handle;

    CREATESTRUCTW cs{};
    cs.lpCreateParams = param;
    cs.hInstance = instance;
    cs.hMenu = menu;
    cs.hwndParent = parentHwnd;
    cs.x = x;
    cs.y = y;
    cs.cx = width;
    cs.cy = height;
    cs.style = static_cast<LONG>(style);
    cs.lpszName = windowName;
    cs.lpszClass = className;
    cs.dwExStyle = exStyle;
    if (!SendMessageW(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) ||
        SendMessageW(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    Window* now = GetWindowObj(hwnd);
    if (!now)
        return nullptr;
    RECT client = now->ClientInWindow();
    SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED,
                 MAKELPARAM(client.right - client.left, client.bottom - client.top));
    if ((now = GetWindowObj(hwnd)) == nullptr)
        return nullptr;
    SendMessageW(hwnd, WM_MOVE, 0,
                 MAKELPARAM(now->rect.left + client.left, now->rect.top + client.top));
    if (style & WS_VISIBLE)
        ShowWindow(hwnd, SW_SHOW);
    return IsWindow(hwnd) ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND hwnd) {
    Window* w = GetWindowObj(hwnd);
    if (!w || w == Desktop() || w->threadId != GetCurrentThreadId()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (w->destroying)
        return TRUE;
    w->destroying = true;
    // Owned pop-ups go first, as they would vanish with their owner anyway.
    if (!w->IsChild()) {
        std::vector<HWND> owned;
        for (Window* top : Desktop()->children)
            if (top->owner == w)
                owned.push_back(top->handle);
        for (HWND o : owned)
            DestroyWindow(o);
    }
    if ((w = GetWindowObj(hwnd)) == nullptr)
        return TRUE;
    if (w->Visible())
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if ((w = GetWindowObj(hwnd)) == nullptr)
        return TRUE;
    FocusWindowDestroyed(w);
    SendDestroy(hwnd);
    if ((w = GetWindowObj(hwnd)) != nullptr)
        FreeWindow(w);
    UpdateWindowDCs();
    return TRUE;
}

BOOL IsWindow(HWND hwnd) {
    return hwnd && LookupShared(hwnd) != nullptr;
}

BOOL IsWindowVisible(HWND hwnd) {
    Window* w = GetWindowObj(hwnd);
    return w && ReallyVisible(w);
}

BOOL IsWindowEnabled(HWND hwnd) {
    Window* w = GetWindowObj(hwnd);
    return w && !(w->style & WS_DISABLED);
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    Window* w = GetWindowObj(hwnd);
    if (!w)
        return FALSE;
    BOOL wasDisabled = (w->style & WS_DISABLED) != 0;
    if (enable == !wasDisabled)
        return wasDisabled;
    if (enable) {
        w->style &= ~static_cast<DWORD>(WS_DISABLED);
    } else {
        w->style |= WS_DISABLED;
        HWND focus = GetFocus();
        if (focus == hwnd || IsChild(hwnd, focus))
            SetFocus(nullptr);
        if (GetCapture() == hwnd)
            ReleaseCapture();
    }
    SendMessageW(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled;
}

BOOL IsChild(HWND parentHwnd, HWND hwnd) {
    Window* p = GetWindowObj(parentHwnd);
    Window* w = GetWindowObj(hwnd);
    if (!p || !w)
        return FALSE;
    // Only the chain of WS_CHILD windows counts, as in Win32.
    for (Window* c = w; c && c->IsChild(); c = c->parent)
        if (c->parent == p)
            return TRUE;
    return FALSE;
}

HWND GetParent(HWND hwnd) {
    Window* w = GetWindowObj(hwnd);
    if (!w || w == Desktop())
        return nullptr;
    if (w->IsChild())
        return w->parent->handle;
    return w->owner ? w->owner->handle : nullptr;
}

HWND SetParent(HWND hwnd, HWND parentHwnd) {
    Window* w = GetWindowObj(hwnd);
    Window* p = parentHwnd ? GetWindowObj(parentHwnd) : Desktop();
    if (!w || !p || w == Desktop() || p == w || IsDescendant(w, p))
        return nullptr;
    Window* old = w->parent;
    bool visible = w->Visible();
    if (visible)
        ShowWindow(hwnd, SW_HIDE);
    std::erase(old->children, w);
    w->parent = p;
    InsertInZOrder(w, HWND_TOP);
    if (visible)
        ShowWindow(hwnd, SW_SHOWNA);
    UpdateWindowDCs();
    return old->handle;
}

HWND GetWindow(HWND hwnd, UINT cmd) {
    Window* w = GetWindowObj(hwnd);
    if (!w)
        return nullptr;
    if (cmd == GW_CHILD)
        return w->children.empty() ? nullptr : w->children.front()->handle;
    if (cmd == GW_OWNER)
        return w->owner ? w->owner->handle : nullptr;
    if (!w->parent)
        return nullptr;
    auto& sib = w->parent->children;
    auto it = std::find(sib.begin(), sib.end(), w);
    switch (cmd) {
        case GW_HWNDFIRST:
            return sib.front()->handle;
        case GW_HWNDLAST:
            return sib.back()->handle;
        case GW_HWNDNEXT:
            return (it + 1) == sib.end() ? nullptr : (*(it + 1))->handle;
        case GW_HWNDPREV:
            return it == sib.begin() ? nullptr : (*(it - 1))->handle;
        default:
            return nullptr;
    }
}

HWND GetDesktopWindow() {
    return Desktop()->handle;
}

HWND FindWindowW(LPCWSTR className, LPCWSTR windowName) {
    std::shared_ptr<WindowClass> cls;
    if (className) {
        cls = FindClass(className);
        if (!cls)
            return nullptr;
    }
    HandleTable& t = Handles();
    std::lock_guard lock(t.mutex);
    // Top-level windows only, front to back.
    for (Window* w : Desktop()->children) {
        if (cls && w->cls != cls)
            continue;
        if (windowName && w->text != std::u16string_view(windowName))
            continue;
        return w->handle;
    }
    return nullptr;
}

DWORD GetWindowThreadProcessId(HWND hwnd, LPDWORD processId) {
    std::shared_ptr<Window> w = LookupShared(hwnd);
    if (!w)
        return 0;
    if (processId)
        *processId = 1;
    return w->threadId;
}

LONG_PTR GetWindowLongPtrW(HWND hwnd, int index) {
    Window* w = GetWindowObj(hwnd);
    if (!w || w == Desktop()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (index >= 0) {
        if (static_cast<size_t>(index) + sizeof(LONG) > w->extra.size()) {
            SetLastError(1413); // ERROR_INVALID_INDEX
            return 0;
        }
        LONG_PTR v = 0;
        size_t n = std::min(sizeof(LONG_PTR), w->extra.size() - static_cast<size_t>(index));
        std::memcpy(&v, w->extra.data() + index, n);
        return n == sizeof(LONG) ? static_cast<LONG>(v) : v;
    }
    switch (index) {
        case GWL_WNDPROC:
            return reinterpret_cast<LONG_PTR>(w->proc);
        case GWL_HINSTANCE:
            return reinterpret_cast<LONG_PTR>(w->instance);
        case GWL_HWNDPARENT:
            return reinterpret_cast<LONG_PTR>(GetParent(hwnd));
        case GWL_STYLE:
            return static_cast<LONG>(w->style);
        case GWL_EXSTYLE:
            return static_cast<LONG>(w->exStyle);
        case GWL_USERDATA:
            return w->userData;
        case GWL_ID:
            return w->id;
        default:
            SetLastError(1413);
            return 0;
    }
}

LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value) {
    Window* w = GetWindowObj(hwnd);
    if (!w || w == Desktop()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    LONG_PTR old = GetWindowLongPtrW(hwnd, index);
    if (index >= 0) {
        if (static_cast<size_t>(index) + sizeof(LONG) > w->extra.size())
            return 0;
        size_t n = std::min(sizeof(LONG_PTR), w->extra.size() - static_cast<size_t>(index));
        std::memcpy(w->extra.data() + index, &value, n);
        return old;
    }
    switch (index) {
        case GWL_WNDPROC:
            if (value)
                w->proc = reinterpret_cast<WNDPROC>(value);
            break;
        case GWL_HINSTANCE:
            w->instance = reinterpret_cast<HINSTANCE>(value);
            break;
        case GWL_STYLE:
            // Visibility changes only through ShowWindow; the rest takes effect at once.
            w->style = (static_cast<DWORD>(value) & ~static_cast<DWORD>(WS_VISIBLE)) |
                       (w->style & WS_VISIBLE);
            UpdateWindowDCs();
            break;
        case GWL_EXSTYLE:
            w->exStyle = static_cast<DWORD>(value);
            break;
        case GWL_USERDATA:
            w->userData = value;
            break;
        case GWL_ID:
            w->id = value;
            break;
        default:
            return 0;
    }
    return old;
}

LONG GetWindowLongW(HWND hwnd, int index) {
    return static_cast<LONG>(GetWindowLongPtrW(hwnd, index));
}

LONG SetWindowLongW(HWND hwnd, int index, LONG value) {
    if (index >= 0) {
        Window* w = GetWindowObj(hwnd);
        if (!w || static_cast<size_t>(index) + sizeof(LONG) > w->extra.size())
            return 0;
        LONG old;
        std::memcpy(&old, w->extra.data() + index, sizeof(LONG));
        std::memcpy(w->extra.data() + index, &value, sizeof(LONG));
        return old;
    }
    return static_cast<LONG>(SetWindowLongPtrW(hwnd, index, value));
}

BOOL SetWindowTextW(HWND hwnd, LPCWSTR text) {
    if (!IsWindow(hwnd))
        return FALSE;
    return SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

int GetWindowTextW(HWND hwnd, LPWSTR text, int size) {
    if (!text || size <= 0 || !IsWindow(hwnd))
        return 0;
    text[0] = 0;
    return static_cast<int>(
        SendMessageW(hwnd, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(text)));
}

int GetWindowTextLengthW(HWND hwnd) {
    if (!IsWindow(hwnd))
        return 0;
    return static_cast<int>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));
}
