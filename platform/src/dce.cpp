// Window device contexts: each one draws on the screen surface, clipped to what of its window
// can be seen, and follows the window when the tree changes.
#include "gdi_internal.h"
#include "user_internal.h"

#include <algorithm>

namespace plat {
namespace {

struct WindowDC {
    HDC dc = nullptr;
    HWND hwnd = nullptr;
    bool whole = false; // GetWindowDC: origin at the window's corner, frame included
    bool paint = false; // BeginPaint: also clipped to the update region it took
    Region paintClip;   // client coordinates
};

struct DCList {
    std::mutex mutex;
    std::vector<WindowDC> dcs;
};

DCList& List() {
    static DCList* list = new DCList;
    return *list;
}

void Place(const WindowDC& e) {
    Window* w = GetWindowObj(e.hwnd);
    if (!w)
        return;
    POINT origin = e.whole ? WindowOrigin(w) : ClientOrigin(w);
    Region vis = VisibleRegion(w, e.whole);
    if (e.paint) {
        Region clip = e.paintClip;
        clip.Offset(origin.x, origin.y);
        vis.Intersect(clip);
    }
    SetDCSystemRegion(e.dc, origin, &vis);
}

HDC Make(Window* w, bool whole, bool paint, const Region* paintClip) {
    POINT origin = whole ? WindowOrigin(w) : ClientOrigin(w);
    Region empty;
    HDC dc = CreateSurfaceDC(ScreenSurfaceRef(), DCKind::Window, origin, &empty);
    if (!dc)
        return nullptr;
    WindowDC e;
    e.dc = dc;
    e.hwnd = w->handle;
    e.whole = whole;
    e.paint = paint;
    if (paintClip)
        e.paintClip = *paintClip;
    if (w->font)
        SelectObject(dc, w->font);
    Place(e);
    DCList& l = List();
    std::lock_guard lock(l.mutex);
    l.dcs.push_back(std::move(e));
    return dc;
}

} // namespace

Region VisibleRegion(const Window* w, bool wholeWindow, bool clipChildren) {
    if (!ReallyVisible(w))
        return Region();
    Region r(wholeWindow ? WindowScreenRect(w) : ClientScreenRect(w));
    for (const Window* c = w; c->parent; c = c->parent) {
        const Window* p = c->parent;
        r.Intersect(ClientScreenRect(p));
        for (const Window* s : p->children) {
            if (s == c)
                break;
            if (s->Visible())
                r.Subtract(WindowScreenRect(s));
        }
        if (r.IsEmpty())
            return r;
    }
    if (clipChildren)
        for (const Window* k : w->children)
            if (k->Visible())
                r.Subtract(WindowScreenRect(k));
    return r;
}

void UpdateWindowDCs() {
    std::vector<WindowDC> copy;
    {
        DCList& l = List();
        std::lock_guard lock(l.mutex);
        copy = l.dcs;
    }
    for (const WindowDC& e : copy)
        Place(e);
}

HDC MakePaintDC(Window* w, const Region& clientClip) {
    return Make(w, false, true, &clientClip);
}

void ReleaseWindowDCs(Window* w) {
    std::vector<HDC> gone;
    {
        DCList& l = List();
        std::lock_guard lock(l.mutex);
        for (const WindowDC& e : l.dcs)
            if (e.hwnd == w->handle)
                gone.push_back(e.dc);
        std::erase_if(l.dcs, [w](const WindowDC& e) { return e.hwnd == w->handle; });
    }
    for (HDC dc : gone)
        DeleteDC(dc);
}

} // namespace plat

using namespace plat;

HDC GetDC(HWND hwnd) {
    if (!hwnd)
        return GetScreenDC();
    Window* w = GetWindowObj(hwnd);
    if (!w)
        return nullptr;
    if (w == Desktop())
        return GetScreenDC();
    return Make(w, false, false, nullptr);
}

HDC GetWindowDC(HWND hwnd) {
    if (!hwnd)
        return GetScreenDC();
    Window* w = GetWindowObj(hwnd);
    if (!w)
        return nullptr;
    if (w == Desktop())
        return GetScreenDC();
    return Make(w, true, false, nullptr);
}

int ReleaseDC(HWND, HDC dc) {
    if (!dc)
        return 0;
    {
        DCList& l = List();
        std::lock_guard lock(l.mutex);
        auto it = std::find_if(l.dcs.begin(), l.dcs.end(),
                               [dc](const WindowDC& e) { return e.dc == dc; });
        if (it != l.dcs.end())
            l.dcs.erase(it);
        else
            return ReleaseScreenDC(dc);
    }
    return DeleteDC(dc) ? 1 : 0;
}

HWND WindowFromDC(HDC dc) {
    DCList& l = List();
    std::lock_guard lock(l.mutex);
    for (const WindowDC& e : l.dcs)
        if (e.dc == dc)
            return e.hwnd;
    return nullptr;
}
