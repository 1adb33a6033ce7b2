// Window classes: registered by name (case-insensitive), found again by name or atom.
#include "user_internal.h"

#include <platform/winbase.h>
#include <platform/winstring.h>

namespace plat {
namespace {

struct ClassTable {
    std::mutex mutex;
    std::vector<std::shared_ptr<WindowClass>> classes;
    ATOM nextAtom = 0xC000;
};

// The system's own controls are there before any program registers a class.
void AddSystemClass(ClassTable& t, LPCWSTR name, WNDPROC proc, UINT style, int extra,
                    LPCWSTR cursor) {
    auto c = std::make_shared<WindowClass>();
    c->name = name;
    c->proc = proc;
    c->style = style | CS_GLOBALCLASS;
    c->wndExtra = extra;
    c->cursor = LoadCursorW(nullptr, cursor);
    c->atom = t.nextAtom++;
    t.classes.push_back(c);
}

ClassTable& Classes() {
    static ClassTable* table = [] {
        auto* t = new ClassTable;
        AddSystemClass(*t, u"EDIT", EditWndProc, CS_DBLCLKS, sizeof(void*), IDC_IBEAM);
        AddSystemClass(*t, u"#32768", MenuWndProc, 0, 0, IDC_ARROW);
        return t;
    }();
    return *table;
}

bool SameName(const WindowClass& c, LPCWSTR name) {
    if (IS_INTRESOURCE(name))
        return c.atom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name));
    return lstrcmpiW(c.name.c_str(), name) == 0;
}

} // namespace

std::shared_ptr<WindowClass> FindClass(LPCWSTR name) {
    if (!name)
        return nullptr;
    ClassTable& t = Classes();
    std::lock_guard lock(t.mutex);
    for (const auto& c : t.classes)
        if (SameName(*c, name))
            return c;
    return nullptr;
}

} // namespace plat

using namespace plat;

ATOM RegisterClassW(const WNDCLASSW* wc) {
    if (!wc || !wc->lpfnWndProc || !wc->lpszClassName || IS_INTRESOURCE(wc->lpszClassName) ||
        !*wc->lpszClassName || wc->cbWndExtra < 0 || wc->cbClsExtra < 0 || wc->cbWndExtra > 4096) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (FindClass(wc->lpszClassName)) {
        SetLastError(1410); // ERROR_CLASS_ALREADY_EXISTS
        return 0;
    }
    auto c = std::make_shared<WindowClass>();
    c->name = wc->lpszClassName;
    c->style = wc->style;
    c->proc = wc->lpfnWndProc;
    c->clsExtra = wc->cbClsExtra;
    c->wndExtra = wc->cbWndExtra;
    c->instance = wc->hInstance;
    c->icon = wc->hIcon;
    c->cursor = wc->hCursor;
    c->background = wc->hbrBackground;
    ClassTable& t = Classes();
    std::lock_guard lock(t.mutex);
    c->atom = t.nextAtom++;
    t.classes.push_back(c);
    return c->atom;
}

BOOL UnregisterClassW(LPCWSTR className, HINSTANCE) {
    ClassTable& t = Classes();
    std::lock_guard lock(t.mutex);
    for (auto it = t.classes.begin(); it != t.classes.end(); ++it) {
        if (SameName(**it, className)) {
            // Windows still using the class keep their reference.
            t.classes.erase(it);
            return TRUE;
        }
    }
    SetLastError(1411); // ERROR_CLASS_DOES_NOT_EXIST
    return FALSE;
}

BOOL GetClassInfoW(HINSTANCE, LPCWSTR className, LPWNDCLASSW wc) {
    std::shared_ptr<WindowClass> c = FindClass(className);
    if (!c || !wc) {
        SetLastError(1411);
        return FALSE;
    }
    wc->style = c->style;
    wc->lpfnWndProc = c->proc;
    wc->cbClsExtra = c->clsExtra;
    wc->cbWndExtra = c->wndExtra;
    wc->hInstance = c->instance;
    wc->hIcon = c->icon;
    wc->hCursor = c->cursor;
    wc->hbrBackground = c->background;
    wc->lpszMenuName = nullptr;
    wc->lpszClassName = c->name.c_str();
    return TRUE;
}

int GetClassNameW(HWND hwnd, LPWSTR name, int size) {
    Window* w = GetWindowObj(hwnd);
    if (!w || !name || size <= 0)
        return 0;
    int n = static_cast<int>(w->cls->name.size());
    if (n > size - 1)
        n = size - 1;
    for (int i = 0; i < n; ++i)
        name[i] = w->cls->name[i];
    name[n] = 0;
    return n;
}

DWORD GetClassLongW(HWND hwnd, int index) {
    Window* w = GetWindowObj(hwnd);
    if (!w)
        return 0;
    switch (index) {
        case GCL_STYLE:
            return w->cls->style;
        case GCL_HBRBACKGROUND:
            return static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(w->cls->background));
        default:
            return 0;
    }
}
