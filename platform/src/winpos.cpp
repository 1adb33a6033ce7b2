// Window geometry and z-order: ShowWindow, SetWindowPos and friends, coordinate mapping,
// hit testing and the system metrics.
#include "user_internal.h"

#include <platform/winbase.h>

#include <algorithm>

#define SWP_NOCLIENTSIZE 0x0800
#define SWP_NOCLIENTMOVE 0x1000

namespace plat {
namespace {

bool IsTopmost(const Window* w) {
    return !w->IsChild() && (w->exStyle & WS_EX_TOPMOST);
}

// What a window covers on the screen, children included; empty when hidden.
Region CoverWithChildren(const Window* w) {
    return VisibleRegion(w, true, false);
}

Window* HitTest(Window* parent, POINT pt) {
    for (Window* c : parent->children) {
        if (!c->Visible())
            continue;
        RECT rc = WindowScreenRect(c);
        if (!PtInRect(&rc, pt))
            continue;
        RECT client = ClientScreenRect(c);
        if (PtInRect(&client, pt))
            if (Window* deeper = HitTest(c, pt))
                return deeper;
        return c;
    }
    return nullptr;
}

} // namespace

POINT ClientOrigin(const Window* w) {
    POINT o{0, 0};
    for (const Window* c = w; c; c = c->parent) {
        RECT ci = c->ClientInWindow();
        o.x += c->rect.left + ci.left;
        o.y += c->rect.top + ci.top;
    }
    return o;
}

POINT WindowOrigin(const Window* w) {
    POINT o = w->parent ? ClientOrigin(w->parent) : POINT{0, 0};
    o.x += w->rect.left;
    o.y += w->rect.top;
    return o;
}

RECT WindowScreenRect(const Window* w) {
    POINT o = WindowOrigin(w);
    return RECT{o.x, o.y, o.x + w->rect.right - w->rect.left, o.y + w->rect.bottom - w->rect.top};
}

RECT ClientScreenRect(const Window* w) {
    POINT o = WindowOrigin(w);
    RECT c = w->ClientInWindow();
    OffsetRect(&c, o.x, o.y);
    return c;
}

bool ReallyVisible(const Window* w) {
    for (const Window* c = w; c; c = c->parent)
        if (!c->Visible())
            return false;
    return true;
}

bool AtTopOfBand(const Window* w) {
    for (const Window* s : w->parent->children) {
        if (s == w)
            return true;
        if (IsTopmost(s) == IsTopmost(w))
            return false;
    }
    return false;
}

void InsertInZOrder(Window* w, HWND a) {
    auto& sib = w->parent->children;
    std::erase(sib, w);
    auto it = sib.begin();
    if (a == HWND_BOTTOM) {
        it = sib.end();
        // Topmost windows never drop below the ordinary ones.
        if (IsTopmost(w))
            it = std::find_if(sib.begin(), sib.end(), [](Window* s) { return !IsTopmost(s); });
    } else if (a == HWND_TOP || a == HWND_TOPMOST || a == HWND_NOTOPMOST) {
        if (!IsTopmost(w))
            it = std::find_if(sib.begin(), sib.end(), [](Window* s) { return !IsTopmost(s); });
    } else {
        Window* after = GetWindowObj(a);
        auto pos = std::find(sib.begin(), sib.end(), after);
        it = pos == sib.end() ? sib.begin() : pos + 1;
        // Keep the bands: an ordinary window cannot go among topmost ones and back.
        auto firstPlain =
            std::find_if(sib.begin(), sib.end(), [](Window* s) { return !IsTopmost(s); });
        if (!IsTopmost(w) && it < firstPlain)
            it = firstPlain;
        if (IsTopmost(w) && it > firstPlain)
            it = firstPlain;
    }
    sib.insert(it, w);
    // Owned pop-ups stay above their owner: they follow it up, in their own order.
    if (w->parent != Desktop())
        return;
    auto ownedBy = [w](Window* s) {
        for (Window* o = s->owner; o; o = o->owner)
            if (o == w)
                return true;
        return false;
    };
    std::vector<Window*> owned;
    for (Window* s : sib)
        if (ownedBy(s) && !(IsTopmost(s) && !IsTopmost(w)))
            owned.push_back(s);
    if (owned.empty())
        return;
    std::erase_if(
        sib, [&](Window* s) { return std::find(owned.begin(), owned.end(), s) != owned.end(); });
    sib.insert(std::find(sib.begin(), sib.end(), w), owned.begin(), owned.end());
}

} // namespace plat

using namespace plat;

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    Window* w = GetWindowObj(hwnd);
    if (!w || w == Desktop())
        return FALSE;
    WINDOWPOS wp{hwnd, insertAfter, x, y, cx, cy, flags};
    if (flags & SWP_NOMOVE) {
        wp.x = w->rect.left;
        wp.y = w->rect.top;
    }
    if (flags & SWP_NOSIZE) {
        wp.cx = w->rect.right - w->rect.left;
        wp.cy = w->rect.bottom - w->rect.top;
    }
    if ((wp.flags & SWP_SHOWWINDOW) && w->Visible())
        wp.flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
    if ((wp.flags & SWP_HIDEWINDOW) && !w->Visible())
        wp.flags &= ~static_cast<UINT>(SWP_HIDEWINDOW);
    if (w->IsChild() && (insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST))
        wp.hwndInsertAfter = HWND_TOP;
    SendMessageW(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
    if ((w = GetWindowObj(hwnd)) == nullptr)
        return FALSE;
    wp.cx = std::max(wp.cx, 0);
    wp.cy = std::max(wp.cy, 0);

    Region before = CoverWithChildren(w);
    RECT oldRect = w->rect;
    RECT oldClient = w->ClientInWindow();
    bool moved = wp.x != oldRect.left || wp.y != oldRect.top;
    bool sized = wp.cx != oldRect.right - oldRect.left || wp.cy != oldRect.bottom - oldRect.top;
    w->rect = RECT{wp.x, wp.y, wp.x + wp.cx, wp.y + wp.cy};
    bool zChanged = false;
    if (!(wp.flags & SWP_NOZORDER)) {
        HWND a = wp.hwndInsertAfter;
        if (a == HWND_TOPMOST)
            w->exStyle |= WS_EX_TOPMOST;
        else if (a == HWND_NOTOPMOST)
            w->exStyle &= ~static_cast<DWORD>(WS_EX_TOPMOST);
        if (a != HWND_TOP && a != HWND_BOTTOM && a != HWND_TOPMOST && a != HWND_NOTOPMOST) {
            Window* after = GetWindowObj(a);
            if (!after || after->parent != w->parent || after == w)
                a = HWND_TOP;
        }
        std::vector<Window*> order = w->parent->children;
        InsertInZOrder(w, a);
        zChanged = order != w->parent->children;
    }
    if (wp.flags & SWP_SHOWWINDOW)
        w->style |= WS_VISIBLE;
    if (wp.flags & SWP_HIDEWINDOW)
        w->style &= ~static_cast<DWORD>(WS_VISIBLE);
    Region after = CoverWithChildren(w);

    UpdateWindowDCs();
    Region uncovered = Region::Combine(before, after, RGN_DIFF);
    ExposeScreenRegion(uncovered);
    if (!(wp.flags & SWP_NOREDRAW) && ReallyVisible(w)) {
        if (moved || sized || (wp.flags & SWP_SHOWWINDOW) || (wp.flags & SWP_FRAMECHANGED)) {
            RECT whole{0, 0, wp.cx, wp.cy};
            AddUpdate(w, Region(whole), true, true);
        } else if (zChanged) {
            ExposeScreenRegion(Region::Combine(after, before, RGN_DIFF));
        }
    }

    bool activate = !(wp.flags & SWP_NOACTIVATE) && !w->IsChild() && w->Visible() &&
                    !(w->exStyle & WS_EX_NOACTIVATE);
    if (activate && GetActiveWindow() != hwnd)
        SetActiveWindow(hwnd);
    if ((wp.flags & SWP_HIDEWINDOW) && !w->IsChild()) {
        if (GetActiveWindow() == hwnd || GetActiveWindow() == nullptr) {
            // Hand activation to the next visible top-level window of this thread.
            HWND next = nullptr;
            for (Window* top : Desktop()->children)
                if (top != w && top->Visible() && top->threadId == w->threadId &&
                    !(top->exStyle & WS_EX_NOACTIVATE) && !(top->style & WS_DISABLED)) {
                    next = top->handle;
                    break;
                }
            if (GetActiveWindow() == hwnd)
                SetActiveWindow(next);
        }
    }
    if ((w = GetWindowObj(hwnd)) == nullptr)
        return TRUE;
    RECT newClient = w->ClientInWindow();
    if (!moved && newClient.left == oldClient.left && newClient.top == oldClient.top)
        wp.flags |= SWP_NOCLIENTMOVE;
    if (!sized && newClient.right - newClient.left == oldClient.right - oldClient.left &&
        newClient.bottom - newClient.top == oldClient.bottom - oldClient.top)
        wp.flags |= SWP_NOCLIENTSIZE;
    SendMessageW(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
    return TRUE;
}

BOOL ShowWindow(HWND hwnd, int cmd) {
    Window* w = GetWindowObj(hwnd);
    if (!w || w == Desktop())
        return FALSE;
    BOOL wasVisible = w->Visible() ? TRUE : FALSE;
    if (cmd == SW_HIDE) {
        if (!wasVisible)
            return FALSE;
        SendMessageW(hwnd, WM_SHOWWINDOW, FALSE, 0);
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return TRUE;
    }
    UINT flags = SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE;
    if (cmd == SW_SHOWNA || cmd == SW_SHOWNOACTIVATE || cmd == SW_SHOWMINNOACTIVE || w->IsChild())
        flags |= SWP_NOACTIVATE | SWP_NOZORDER;
    if (wasVisible) {
        if (!(flags & SWP_NOACTIVATE) && GetActiveWindow() != hwnd)
            SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        return TRUE;
    }
    SendMessageW(hwnd, WM_SHOWWINDOW, TRUE, 0);
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, flags);
    return FALSE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
    return SetWindowPos(hwnd, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND hwnd) {
    return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

BOOL GetWindowRect(HWND hwnd, LPRECT rc) {
    Window* w = GetWindowObj(hwnd);
    if (!w || !rc)
        return FALSE;
    *rc = WindowScreenRect(w);
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, LPRECT rc) {
    Window* w = GetWindowObj(hwnd);
    if (!w || !rc)
        return FALSE;
    RECT c = w->ClientInWindow();
    *rc = RECT{0, 0, c.right - c.left, c.bottom - c.top};
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, LPPOINT pt) {
    Window* w = GetWindowObj(hwnd);
    if (!w || !pt)
        return FALSE;
    POINT o = ClientOrigin(w);
    pt->x += o.x;
    pt->y += o.y;
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, LPPOINT pt) {
    Window* w = GetWindowObj(hwnd);
    if (!w || !pt)
        return FALSE;
    POINT o = ClientOrigin(w);
    pt->x -= o.x;
    pt->y -= o.y;
    return TRUE;
}

int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
    Window* a = from ? GetWindowObj(from) : Desktop();
    Window* b = to ? GetWindowObj(to) : Desktop();
    if (!a || !b)
        return 0;
    POINT oa = a == Desktop() ? POINT{0, 0} : ClientOrigin(a);
    POINT ob = b == Desktop() ? POINT{0, 0} : ClientOrigin(b);
    int dx = oa.x - ob.x, dy = oa.y - ob.y;
    for (UINT i = 0; points && i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

HWND WindowFromPoint(POINT pt) {
    Window* w = HitTest(Desktop(), pt);
    return w ? w->handle : nullptr;
}

HWND ChildWindowFromPoint(HWND parentHwnd, POINT pt) {
    Window* p = GetWindowObj(parentHwnd);
    if (!p)
        return nullptr;
    POINT s = pt;
    ClientToScreen(parentHwnd, &s);
    RECT client = ClientScreenRect(p);
    RECT whole = WindowScreenRect(p);
    if (!PtInRect(&whole, s))
        return nullptr;
    if (PtInRect(&client, s))
        for (Window* c : p->children) {
            RECT rc = WindowScreenRect(c);
            if (PtInRect(&rc, s))
                return c->handle;
        }
    return parentHwnd;
}

int GetSystemMetrics(int index) {
    SIZE s = ScreenSize();
    int scale = (s.cx > 320 || s.cy > 320) ? 2 : 1;
    switch (index) {
        case SM_CXSCREEN:
            return s.cx;
        case SM_CYSCREEN:
            return s.cy;
        case SM_CXVSCROLL:
        case SM_CYHSCROLL:
            return 13 * scale;
        case SM_CYCAPTION:
        case SM_CYMENU:
            return 26 * scale;
        case SM_CXBORDER:
        case SM_CYBORDER:
            return 1;
        case SM_CXDLGFRAME:
        case SM_CYDLGFRAME:
            return 3;
        case SM_CXICON:
        case SM_CYICON:
        case SM_CXCURSOR:
        case SM_CYCURSOR:
            return 32 * scale;
        case SM_CXSMICON:
        case SM_CYSMICON:
            return 16 * scale;
        case SM_CXDOUBLECLK:
        case SM_CYDOUBLECLK:
            return 8 * scale;
        default:
            return 0;
    }
}
