#include "winza/WinzaUtil.h"

#include "winza/Winza.h"

#include <platform/winshell.h>

namespace {

bool IsChildWindow(HWND hwnd) {
    return (static_cast<DWORD>(::GetWindowLongW(hwnd, GWL_STYLE)) & WS_CHILD) != 0;
}

// The first ancestor of a child with an object, not climbing past a top-level ancestor.
Winza* AncestorObject(HWND child) {
    for (HWND p = ::GetParent(child); p; p = ::GetParent(p)) {
        if (Winza* object = Winza::FromHandle(p))
            return object;
        if (!IsChildWindow(p))
            break;
    }
    return nullptr;
}

} // namespace

Winza* GetPreTranslateWindow(HWND hwnd) {
    if (!hwnd || !::IsWindow(hwnd))
        return nullptr;
    if (!IsChildWindow(hwnd))
        return Winza::FromHandle(hwnd);
    return AncestorObject(hwnd);
}

Winza* GetPreTranslateWindow(Winza* window) {
    if (!window)
        return nullptr;
    HWND hwnd = window->GetSafeHwnd();
    if (!hwnd || !::IsWindow(hwnd))
        return nullptr;
    if (!IsChildWindow(hwnd))
        return window;
    return AncestorObject(hwnd);
}

int GetValidKeyState() {
    // The first read after a key changed can report the change itself; only the second counts.
    ::GetAsyncKeyState(VK_RETURN);
    static const int keys[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_RETURN, VK_ESCAPE};
    for (int vk : keys)
        if (::GetAsyncKeyState(vk) & 0x8000)
            return 0;
    return 1;
}

void ShowSIPButton(HWND hwnd, HINSTANCE) {
    ::SHFullScreen(hwnd, SHFS_SHOWSIPBUTTON);
}

void HideSIPButton(HWND hwnd) {
    ::SHFullScreen(hwnd, SHFS_HIDESIPBUTTON);
}
