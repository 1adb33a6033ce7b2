// Device contexts: creation over surfaces, memory contexts, SaveDC/RestoreDC, attributes.
#include "gdi_internal.h"

namespace plat {

void DCObj::UpdateClip() {
    RECT bounds = surface ? surface->Bounds() : RECT{0, 0, 0, 0};
    Region r(bounds);
    if (hasSystemRegion)
        r.Intersect(systemRegion);
    if (attr.hasClip) {
        Region c = attr.clip;
        c.Offset(origin.x, origin.y);
        r.Intersect(c);
    }
    effectiveClip = std::move(r);
}

RECT DCObj::DeviceBounds() const {
    int w = surface ? surface->width : 0, h = surface ? surface->height : 0;
    return RECT{-origin.x, -origin.y, w - origin.x, h - origin.y};
}

std::shared_ptr<DCObj> LookupDC(HDC dc) {
    std::shared_ptr<DCObj> obj = Lookup<DCObj>(dc, GdiType::DC);
    if (!obj)
        SetLastError(ERROR_INVALID_HANDLE);
    return obj;
}

namespace {

template <class T> std::shared_ptr<T> StockAs(int index) {
    return std::static_pointer_cast<T>(StockObject(index));
}

} // namespace

void ResetAttributes(DCObj& dc) {
    dc.saved.clear();
    dc.attr = DCAttributes();
    dc.attr.brush.Set(StockAs<BrushObject>(WHITE_BRUSH));
    dc.attr.pen.Set(StockAs<PenObject>(BLACK_PEN));
    dc.attr.font.Set(StockAs<FontObject>(SYSTEM_FONT));
    if (dc.kind == DCKind::Memory) {
        dc.attr.bitmap.Set(StockBitmap());
        dc.surface = dc.attr.bitmap->surface;
    }
    dc.UpdateClip();
}

HDC CreateSurfaceDC(std::shared_ptr<Surface> surface, DCKind kind, POINT origin,
                    const Region* visible) {
    if (!surface && kind != DCKind::Memory)
        return nullptr;
    auto dc = std::make_shared<DCObj>();
    dc->kind = kind;
    dc->surface = std::move(surface);
    dc->origin = origin;
    if (visible) {
        dc->hasSystemRegion = true;
        dc->systemRegion = *visible;
    }
    ResetAttributes(*dc);
    return static_cast<HDC>(AllocHandle(dc));
}

bool SetDCSystemRegion(HDC h, POINT origin, const Region* visible) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    if (!dc)
        return false;
    dc->origin = origin;
    dc->hasSystemRegion = visible != nullptr;
    dc->systemRegion = visible ? *visible : Region();
    dc->UpdateClip();
    return true;
}

bool ResetDCAttributes(HDC h) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    if (!dc)
        return false;
    ResetAttributes(*dc);
    return true;
}

} // namespace plat

using namespace plat;

HDC CreateCompatibleDC(HDC h) {
    if (h && !LookupDC(h))
        return nullptr;
    return CreateSurfaceDC(nullptr, DCKind::Memory, POINT{0, 0}, nullptr);
}

BOOL DeleteDC(HDC h) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    if (!dc)
        return FALSE;
    FreeHandle(h);
    // Let go of the selected objects now, whoever still holds the record.
    dc->saved.clear();
    dc->attr = DCAttributes();
    return TRUE;
}

int SaveDC(HDC h) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    if (!dc)
        return 0;
    dc->saved.push_back(dc->attr);
    return static_cast<int>(dc->saved.size());
}

BOOL RestoreDC(HDC h, int level) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    if (!dc)
        return FALSE;
    int n = static_cast<int>(dc->saved.size());
    if (level < 0)
        level = n + 1 + level;
    if (level < 1 || level > n)
        return FALSE;
    dc->attr = dc->saved[static_cast<size_t>(level - 1)];
    dc->saved.resize(static_cast<size_t>(level - 1));
    if (dc->kind == DCKind::Memory && dc->attr.bitmap)
        dc->surface = dc->attr.bitmap->surface;
    dc->UpdateClip();
    return TRUE;
}

int GetDeviceCaps(HDC h, int index) {
    if (!LookupDC(h))
        return 0;
    SIZE screen = ScreenSize();
    int dpi = (screen.cx > 320 || screen.cy > 320) ? 192 : 96;
    switch (index) {
        case TECHNOLOGY:
            return DT_RASDISPLAY;
        case HORZRES:
            return screen.cx;
        case VERTRES:
            return screen.cy;
        case HORZSIZE:
            return screen.cx * 254 / (dpi * 10);
        case VERTSIZE:
            return screen.cy * 254 / (dpi * 10);
        case BITSPIXEL:
            return 24;
        case PLANES:
            return 1;
        case NUMCOLORS:
            return -1;
        case SIZEPALETTE:
            return 0;
        case LOGPIXELSX:
        case LOGPIXELSY:
            return dpi;
        case RASTERCAPS:
            return RC_BITBLT | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
        default:
            return 0;
    }
}

namespace {

// Sets one attribute and returns its previous value, or fail for a bad context or value.
template <class T, class V> T Exchange(HDC h, T DCAttributes::*field, V value, T fail, bool ok) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    if (!dc || !ok)
        return fail;
    T old = dc->attr.*field;
    dc->attr.*field = static_cast<T>(value);
    return old;
}

template <class T> T Read(HDC h, T DCAttributes::*field, T fail) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    return dc ? dc->attr.*field : fail;
}

} // namespace

COLORREF SetTextColor(HDC h, COLORREF c) {
    return Exchange(h, &DCAttributes::textColor, c & 0xFFFFFF, CLR_INVALID, true);
}
COLORREF GetTextColor(HDC h) {
    return Read(h, &DCAttributes::textColor, CLR_INVALID);
}
COLORREF SetBkColor(HDC h, COLORREF c) {
    return Exchange(h, &DCAttributes::bkColor, c & 0xFFFFFF, CLR_INVALID, true);
}
COLORREF GetBkColor(HDC h) {
    return Read(h, &DCAttributes::bkColor, CLR_INVALID);
}
int SetBkMode(HDC h, int mode) {
    return Exchange(h, &DCAttributes::bkMode, mode, 0, mode == TRANSPARENT || mode == OPAQUE);
}
int GetBkMode(HDC h) {
    return Read(h, &DCAttributes::bkMode, 0);
}
int SetROP2(HDC h, int rop2) {
    return Exchange(h, &DCAttributes::rop2, rop2, 0, rop2 >= R2_BLACK && rop2 <= R2_WHITE);
}
int GetROP2(HDC h) {
    return Read(h, &DCAttributes::rop2, 0);
}
int SetStretchBltMode(HDC h, int mode) {
    return Exchange(h, &DCAttributes::stretchMode, mode, 0,
                    mode >= BLACKONWHITE && mode <= HALFTONE);
}
int GetStretchBltMode(HDC h) {
    return Read(h, &DCAttributes::stretchMode, 0);
}
int SetPolyFillMode(HDC h, int mode) {
    return Exchange(h, &DCAttributes::polyFillMode, mode, 0, mode == ALTERNATE || mode == WINDING);
}
int GetPolyFillMode(HDC h) {
    return Read(h, &DCAttributes::polyFillMode, 0);
}

BOOL SetBrushOrgEx(HDC h, int x, int y, LPPOINT old) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    if (!dc)
        return FALSE;
    if (old)
        *old = dc->attr.brushOrg;
    dc->attr.brushOrg = POINT{x, y};
    return TRUE;
}

BOOL GetBrushOrgEx(HDC h, LPPOINT org) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    if (!dc || !org)
        return FALSE;
    *org = dc->attr.brushOrg;
    return TRUE;
}

BOOL MoveToEx(HDC h, int x, int y, LPPOINT old) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    if (!dc)
        return FALSE;
    if (old)
        *old = dc->attr.pos;
    dc->attr.pos = POINT{x, y};
    return TRUE;
}

BOOL GetCurrentPositionEx(HDC h, LPPOINT pos) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    if (!dc || !pos)
        return FALSE;
    *pos = dc->attr.pos;
    return TRUE;
}
