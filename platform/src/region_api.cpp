// Region handles: the Win32 region calls over Region.
#include "gdi_internal.h"

#include <algorithm>

namespace plat {
namespace {

std::shared_ptr<RegionObject> LookupRgn(HRGN h) {
    std::shared_ptr<RegionObject> r = Lookup<RegionObject>(h, GdiType::Region);
    if (!r)
        SetLastError(ERROR_INVALID_HANDLE);
    return r;
}

RECT Ordered(int l, int t, int r, int b) {
    return RECT{std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
}

} // namespace

HRGN CreateRegionHandle(const Region& rgn) {
    auto obj = std::make_shared<RegionObject>();
    obj->rgn = rgn;
    return static_cast<HRGN>(AllocHandle(obj));
}

bool GetRegion(HRGN h, Region* out) {
    std::shared_ptr<RegionObject> r = LookupRgn(h);
    if (!r || !out)
        return false;
    *out = r->rgn;
    return true;
}

bool SetRegion(HRGN h, const Region& rgn) {
    std::shared_ptr<RegionObject> r = LookupRgn(h);
    if (!r)
        return false;
    r->rgn = rgn;
    return true;
}

} // namespace plat

using namespace plat;

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    return CreateRegionHandle(Region(Ordered(left, top, right, bottom)));
}

HRGN CreateRectRgnIndirect(const RECT* rc) {
    if (!rc)
        return nullptr;
    return CreateRectRgn(rc->left, rc->top, rc->right, rc->bottom);
}

BOOL SetRectRgn(HRGN h, int left, int top, int right, int bottom) {
    std::shared_ptr<RegionObject> r = LookupRgn(h);
    if (!r)
        return FALSE;
    r->rgn.SetRect(Ordered(left, top, right, bottom));
    return TRUE;
}

int CombineRgn(HRGN dst, HRGN src1, HRGN src2, int mode) {
    std::shared_ptr<RegionObject> d = LookupRgn(dst), a = LookupRgn(src1);
    if (!d || !a || mode < RGN_AND || mode > RGN_COPY)
        return ERROR;
    if (mode == RGN_COPY) {
        d->rgn = a->rgn;
        return d->rgn.Complexity();
    }
    std::shared_ptr<RegionObject> b = LookupRgn(src2);
    if (!b)
        return ERROR;
    d->rgn = Region::Combine(a->rgn, b->rgn, mode);
    return d->rgn.Complexity();
}

int OffsetRgn(HRGN h, int dx, int dy) {
    std::shared_ptr<RegionObject> r = LookupRgn(h);
    if (!r)
        return ERROR;
    r->rgn.Offset(dx, dy);
    return r->rgn.Complexity();
}

int GetRgnBox(HRGN h, LPRECT box) {
    std::shared_ptr<RegionObject> r = LookupRgn(h);
    if (!r || !box)
        return ERROR;
    *box = r->rgn.Box();
    return r->rgn.Complexity();
}

BOOL PtInRegion(HRGN h, int x, int y) {
    std::shared_ptr<RegionObject> r = LookupRgn(h);
    return r && r->rgn.Contains(x, y);
}

BOOL RectInRegion(HRGN h, const RECT* rc) {
    std::shared_ptr<RegionObject> r = LookupRgn(h);
    if (!r || !rc)
        return FALSE;
    return r->rgn.Intersects(Ordered(rc->left, rc->top, rc->right, rc->bottom));
}

BOOL EqualRgn(HRGN a, HRGN b) {
    std::shared_ptr<RegionObject> ra = LookupRgn(a), rb = LookupRgn(b);
    if (!ra || !rb)
        return ERROR;
    return ra->rgn == rb->rgn;
}
