// The default window procedure: what a window does with a message its own procedure passes on.
#include "user_internal.h"

#include <platform/gdiguard.h>

#include <platform/winstring.h>

#define SWP_NOCLIENTSIZE 0x0800
#define SWP_NOCLIENTMOVE 0x1000

namespace plat {
bool FocusPending();
}

using namespace plat;

LRESULT DefWindowProcW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Window* w = GetWindowObj(hwnd);
    if (!w)
        return 0;
    switch (msg) {
        case WM_NCCREATE: {
            auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName))
                w->text = cs->lpszName;
            return TRUE;
        }
        case WM_SETTEXT:
            w->text = lParam ? reinterpret_cast<LPCWSTR>(lParam) : u"";
            return TRUE;
        case WM_GETTEXT: {
            auto* out = reinterpret_cast<LPWSTR>(lParam);
            int size = static_cast<int>(wParam);
            if (!out || size <= 0)
                return 0;
            int n = static_cast<int>(w->text.size());
            if (n > size - 1)
                n = size - 1;
            for (int i = 0; i < n; ++i)
                out[i] = w->text[i];
            out[n] = 0;
            return n;
        }
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(w->text.size());
        case WM_SETFONT:
            w->font = reinterpret_cast<HFONT>(wParam);
            if (LOWORD(lParam))
                InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(w->font);
        case WM_PAINT: {
            gdi::PaintDC validate(hwnd);
            return 0;
        }
        case WM_NCPAINT: {
            if (!w->Border())
                return 0;
            gdi::WindowDC dc(hwnd, GetWindowDC(hwnd));
            RECT rc{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
            FrameRect(dc, &rc, GetSysColorBrush(COLOR_WINDOWFRAME));
            return 0;
        }
        case WM_ERASEBKGND: {
            HBRUSH brush = w->cls->background;
            if (!brush)
                return 0;
            RECT rc;
            GetClientRect(hwnd, &rc);
            FillRect(reinterpret_cast<HDC>(wParam), &rc, brush);
            return 1;
        }
        case WM_WINDOWPOSCHANGED: {
            auto* wp = reinterpret_cast<const WINDOWPOS*>(lParam);
            RECT c = w->ClientInWindow();
            if (wp && !(wp->flags & SWP_NOCLIENTMOVE))
                SendMessageW(hwnd, WM_MOVE, 0,
                             MAKELPARAM(static_cast<WORD>(w->rect.left + c.left),
                                        static_cast<WORD>(w->rect.top + c.top)));
            if (wp && !(wp->flags & SWP_NOCLIENTSIZE) && IsWindow(hwnd))
                SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED,
                             MAKELPARAM(c.right - c.left, c.bottom - c.top));
            return 0;
        }
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && !FocusPending())
                SetFocus(hwnd);
            return 0;
        case WM_MOUSEWHEEL:
        case WM_CONTEXTMENU:
            // Children pass these up until someone handles them.
            if (w->IsChild() && w->parent)
                return SendMessageW(w->parent->handle, msg, wParam, lParam);
            return 0;
        default:
            return 0;
    }
}

LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!proc)
        return 0;
    return proc(hwnd, msg, wParam, lParam);
}
