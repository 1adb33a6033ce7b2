// The application clip region of a device context.
#include "gdi_internal.h"

#include <algorithm>

using namespace plat;

namespace {

int ClipResult(const DCObj& dc) {
    return dc.effectiveClip.Complexity();
}

// Combines the current application clip with a region. Without one, intersecting gives the
// region itself and the other modes start from the whole device as it is now.
int Apply(DCObj& dc, const Region& rgn, int mode) {
    if (!dc.attr.hasClip && mode == RGN_AND)
        mode = RGN_COPY;
    Region base = dc.attr.hasClip ? dc.attr.clip : Region(dc.DeviceBounds());
    dc.attr.clip = mode == RGN_COPY ? rgn : Region::Combine(base, rgn, mode);
    dc.attr.hasClip = true;
    dc.UpdateClip();
    return ClipResult(dc);
}

RECT Ordered(int l, int t, int r, int b) {
    return RECT{std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
}

} // namespace

int ExtSelectClipRgn(HDC h, HRGN rgn, int mode) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    if (!dc || mode < RGN_AND || mode > RGN_COPY)
        return ERROR;
    if (!rgn) {
        if (mode != RGN_COPY)
            return ERROR;
        dc->attr.hasClip = false;
        dc->attr.clip.SetEmpty();
        dc->UpdateClip();
        return ClipResult(*dc);
    }
    Region r;
    if (!GetRegion(rgn, &r))
        return ERROR;
    return Apply(*dc, r, mode);
}

int SelectClipRgn(HDC h, HRGN rgn) {
    return ExtSelectClipRgn(h, rgn, RGN_COPY);
}

int IntersectClipRect(HDC h, int left, int top, int right, int bottom) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    if (!dc)
        return ERROR;
    return Apply(*dc, Region(Ordered(left, top, right, bottom)), RGN_AND);
}

int ExcludeClipRect(HDC h, int left, int top, int right, int bottom) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    if (!dc)
        return ERROR;
    return Apply(*dc, Region(Ordered(left, top, right, bottom)), RGN_DIFF);
}

int GetClipBox(HDC h, LPRECT box) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    if (!dc || !box)
        return ERROR;
    if (dc->effectiveClip.IsEmpty()) {
        *box = RECT{0, 0, 0, 0};
        return NULLREGION;
    }
    RECT b = dc->effectiveClip.Box();
    *box = RECT{b.left - dc->origin.x, b.top - dc->origin.y, b.right - dc->origin.x,
                b.bottom - dc->origin.y};
    return ClipResult(*dc);
}

int GetClipRgn(HDC h, HRGN rgn) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    if (!dc)
        return -1;
    if (!dc->attr.hasClip)
        return 0;
    return SetRegion(rgn, dc->attr.clip) ? 1 : -1;
}
