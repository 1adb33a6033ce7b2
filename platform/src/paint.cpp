// Update regions and WM_PAINT: what became invalid, who paints it, and the paint context.
#include "gdi_internal.h"
#include "user_internal.h"

#include <platform/gdiguard.h>

namespace plat {
namespace {

RECT WholeWindow(const Window* w) {
    return RECT{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
}

// Client coordinates to window coordinates.
Region ClientToWindowRgn(const Window* w, Region r) {
    RECT c = w->ClientInWindow();
    r.Offset(c.left, c.top);
    return r;
}

Region ClientArea(const Window* w) {
    return Region(w->ClientInWindow());
}

void PaintDesktop(const Region& screen) {
    if (screen.IsEmpty())
        return;
    gdi::WindowDC dc(nullptr);
    gdi::Brush brush(CreateSolidBrush(GetSysColor(COLOR_BACKGROUND)));
    for (const RECT& rc : screen.Rects())
        FillRect(dc, &rc, brush);
}

bool Redraw(Window* w, const Region* clientRgn, UINT flags);

void ForChildren(Window* w, const Region& windowRgn, UINT flags) {
    for (Window* c : w->children) {
        if (!c->Visible())
            continue;
        Region r = windowRgn;
        RECT ci = w->ClientInWindow();
        r.Offset(-(ci.left + c->rect.left), -(ci.top + c->rect.top));
        r.Intersect(WholeWindow(c));
        if (r.IsEmpty())
            continue;
        Region cr = r;
        RECT cc = c->ClientInWindow();
        cr.Offset(-cc.left, -cc.top);
        // Frames of children come along with their clients.
        if (flags & RDW_INVALIDATE)
            AddUpdate(c, r, (flags & RDW_ERASE) != 0, false);
        else if (flags & RDW_VALIDATE)
            c->update.Subtract(r);
        UINT childFlags = flags & ~static_cast<UINT>(RDW_UPDATENOW | RDW_ERASENOW);
        if (childFlags & (RDW_INVALIDATE | RDW_VALIDATE))
            ForChildren(c, r, childFlags);
    }
}

bool Redraw(Window* w, const Region* clientRgn, UINT flags) {
    Region rgn = clientRgn ? ClientToWindowRgn(w, *clientRgn) : ClientArea(w);
    rgn.Intersect(w->ClientInWindow());
    if (flags & RDW_INVALIDATE) {
        AddUpdate(w, rgn, (flags & RDW_ERASE) != 0, false);
        if (flags & RDW_INTERNALPAINT)
            w->internalPaint = true;
    } else if (flags & RDW_VALIDATE) {
        w->update.Subtract(rgn);
        if (w->update.IsEmpty())
            w->erase = false;
        if (flags & RDW_NOINTERNALPAINT)
            w->internalPaint = false;
    }
    bool children =
        (flags & RDW_ALLCHILDREN) || (!(flags & RDW_NOCHILDREN) && !(w->style & WS_CLIPCHILDREN));
    if (children && (flags & (RDW_INVALIDATE | RDW_VALIDATE)))
        ForChildren(w, rgn, flags);
    return true;
}

void PaintNow(HWND hwnd, bool children) {
    Window* w = GetWindowObj(hwnd);
    if (!w || !ReallyVisible(w))
        return;
    if (!w->update.IsEmpty() || w->internalPaint)
        SendMessageW(hwnd, WM_PAINT, 0, 0);
    if (!children || (w = GetWindowObj(hwnd)) == nullptr)
        return;
    std::vector<HWND> kids;
    for (Window* c : w->children)
        kids.push_back(c->handle);
    for (HWND k : kids)
        PaintNow(k, true);
}

} // namespace

void AddUpdate(Window* w, const Region& windowRgn, bool erase, bool children) {
    Region r = windowRgn;
    r.Intersect(WholeWindow(w));
    if (!r.IsEmpty()) {
        w->update.Union(r);
        if (erase)
            w->erase = true;
        // The thread may sleep with nothing else to do.
        if (w->queue)
            NotifyQueue(*w->queue);
    }
    if (children)
        ForChildren(w, windowRgn, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

void ExposeScreenRegion(const Region& screen) {
    if (screen.IsEmpty())
        return;
    Region left = screen;
    ForEachWindow(Desktop(), [&](Window* w) {
        if (left.IsEmpty() || !ReallyVisible(w))
            return;
        Region part = VisibleRegion(w, true);
        part.Intersect(left);
        if (part.IsEmpty())
            return;
        left.Subtract(part);
        POINT o = WindowOrigin(w);
        part.Offset(-o.x, -o.y);
        AddUpdate(w, part, true, false);
    });
    left.Intersect(Desktop()->rect);
    PaintDesktop(left);
}

Window* FindPaintWindow(DWORD threadId, Window* filter) {
    Window* found = nullptr;
    ForEachWindow(Desktop(), [&](Window* w) {
        if (found || w->threadId != threadId || !ReallyVisible(w))
            return;
        if (w->update.IsEmpty() && !w->internalPaint)
            return;
        if (filter && w != filter && !IsDescendant(filter, w))
            return;
        found = w;
    });
    return found;
}

} // namespace plat

using namespace plat;

BOOL InvalidateRect(HWND hwnd, const RECT* rc, BOOL erase) {
    if (!hwnd) {
        for (Window* top : Desktop()->children)
            InvalidateRect(top->handle, nullptr, erase);
        return TRUE;
    }
    Window* w = GetWindowObj(hwnd);
    if (!w)
        return FALSE;
    Region r;
    if (rc)
        r.SetRect(*rc);
    return Redraw(w, rc ? &r : nullptr, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL InvalidateRgn(HWND hwnd, HRGN rgn, BOOL erase) {
    Window* w = GetWindowObj(hwnd);
    if (!w)
        return FALSE;
    Region r;
    if (rgn && !GetRegion(rgn, &r))
        return FALSE;
    return Redraw(w, rgn ? &r : nullptr, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL ValidateRect(HWND hwnd, const RECT* rc) {
    Window* w = GetWindowObj(hwnd);
    if (!w)
        return FALSE;
    Region r;
    if (rc)
        r.SetRect(*rc);
    return Redraw(w, rc ? &r : nullptr, RDW_VALIDATE | RDW_NOCHILDREN | RDW_NOINTERNALPAINT);
}

BOOL ValidateRgn(HWND hwnd, HRGN rgn) {
    Window* w = GetWindowObj(hwnd);
    if (!w)
        return FALSE;
    Region r;
    if (rgn && !GetRegion(rgn, &r))
        return FALSE;
    return Redraw(w, rgn ? &r : nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL RedrawWindow(HWND hwnd, const RECT* rc, HRGN rgn, UINT flags) {
    Window* w = hwnd ? GetWindowObj(hwnd) : Desktop();
    if (!w)
        return FALSE;
    if (w == Desktop()) {
        for (Window* top : Desktop()->children)
            RedrawWindow(top->handle, nullptr, nullptr, flags);
        return TRUE;
    }
    Region r;
    bool have = false;
    if (rgn) {
        have = GetRegion(rgn, &r);
    } else if (rc) {
        r.SetRect(*rc);
        have = true;
    }
    Redraw(w, have ? &r : nullptr, flags);
    if (flags & (RDW_UPDATENOW | RDW_ERASENOW))
        PaintNow(hwnd, !(flags & RDW_NOCHILDREN));
    return TRUE;
}

BOOL UpdateWindow(HWND hwnd) {
    if (!GetWindowObj(hwnd))
        return FALSE;
    PaintNow(hwnd, true);
    return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, LPRECT rc, BOOL) {
    Window* w = GetWindowObj(hwnd);
    if (!w)
        return FALSE;
    Region r = w->update;
    RECT c = w->ClientInWindow();
    r.Intersect(c);
    r.Offset(-c.left, -c.top);
    RECT box = r.IsEmpty() ? RECT{0, 0, 0, 0} : r.Box();
    if (rc)
        *rc = box;
    return r.IsEmpty() ? FALSE : TRUE;
}

int GetUpdateRgn(HWND hwnd, HRGN rgn, BOOL) {
    Window* w = GetWindowObj(hwnd);
    if (!w || !rgn)
        return ERROR;
    Region r = w->update;
    RECT c = w->ClientInWindow();
    r.Intersect(c);
    r.Offset(-c.left, -c.top);
    if (!SetRegion(rgn, r))
        return ERROR;
    return r.Complexity();
}

HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT ps) {
    Window* w = GetWindowObj(hwnd);
    if (!w || !ps)
        return nullptr;
    Region update = w->update;
    RECT c = w->ClientInWindow();
    bool frame = w->Border() > 0 && !Region::Combine(update, Region(c), RGN_DIFF).IsEmpty();
    bool erase = w->erase;
    CaretBeginPaint(hwnd);
    w->update.SetEmpty();
    w->erase = false;
    w->internalPaint = false;
    if (frame) {
        SendMessageW(hwnd, WM_NCPAINT, 1, 0);
        if ((w = GetWindowObj(hwnd)) == nullptr)
            return nullptr;
    }
    update.Intersect(c);
    update.Offset(-c.left, -c.top);
    HDC dc = MakePaintDC(w, update);
    *ps = PAINTSTRUCT{};
    ps->hdc = dc;
    ps->rcPaint = update.IsEmpty() ? RECT{0, 0, 0, 0} : update.Box();
    ps->fErase = FALSE;
    if (erase && dc)
        ps->fErase =
            SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
    return dc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
    if (!ps)
        return FALSE;
    ReleaseDC(hwnd, ps->hdc);
    CaretEndPaint(hwnd);
    return TRUE;
}
