// Rectangles, regions and single pixels; the fill helpers of the text layer.
#include "gdi_internal.h"
#include "gdi_raster.h"

#include <algorithm>

namespace plat {

void FillSolid(DCObj& dc, const RECT& rc, COLORREF color) {
    if (!dc.surface)
        return;
    Pattern pattern(dc, nullptr, color);
    PatternPainter painter(dc, pattern, Rop3Code(PATCOPY));
    painter.FillRect(dc.ToSurface(rc));
}

void BlendCoverage(DCObj& dc, int x, int y, int width, int height, const BYTE* coverage, int pitch,
                   COLORREF color) {
    if (!dc.surface || !coverage || width <= 0 || height <= 0)
        return;
    Surface& s = *dc.surface;
    const RECT target = dc.ToSurface(RECT{x, y, x + width, y + height});
    const int cr = GetRValue(color), cg = GetGValue(color), cb = GetBValue(color);
    const DWORD solid = ColorToRaw(s, color);
    DirtyBox dirty(s);
    ForEachClipRect(dc, target, [&](const RECT& r) {
        dirty.Add(r);
        for (int py = r.top; py < r.bottom; ++py) {
            const BYTE* cov = coverage + static_cast<ptrdiff_t>(py - target.top) * pitch;
            BYTE* row = s.Row(py);
            for (int px = r.left; px < r.right; ++px) {
                int a = cov[px - target.left];
                if (a == 0)
                    continue;
                if (a == 255 || s.Paletted()) {
                    if (a >= 128)
                        PutRaw(row, px, s.bpp, solid);
                    continue;
                }
                if (s.bpp == 24 || s.bpp == 32) {
                    BYTE* p = row + px * (s.bpp / 8);
                    p[0] = static_cast<BYTE>((cb * a + p[0] * (255 - a) + 127) / 255);
                    p[1] = static_cast<BYTE>((cg * a + p[1] * (255 - a) + 127) / 255);
                    p[2] = static_cast<BYTE>((cr * a + p[2] * (255 - a) + 127) / 255);
                    continue;
                }
                COLORREF d = RawToColor(s, GetRaw(row, px, s.bpp));
                COLORREF m = RGB((cr * a + GetRValue(d) * (255 - a) + 127) / 255,
                                 (cg * a + GetGValue(d) * (255 - a) + 127) / 255,
                                 (cb * a + GetBValue(d) * (255 - a) + 127) / 255);
                PutRaw(row, px, s.bpp, ColorToRaw(s, m));
            }
        }
    });
}

namespace {

// A brush argument: a handle, or a system colour index + 1.
std::shared_ptr<BrushObject> BrushArgument(HBRUSH brush) {
    uintptr_t v =
        reinterpret_cast<uintptr_t>(brush) & ~static_cast<uintptr_t>(SYS_COLOR_INDEX_FLAG);
    if (v >= 1 && v <= COLOR_MENUBAR + 1)
        brush = GetSysColorBrush(static_cast<int>(v - 1));
    return Lookup<BrushObject>(brush, GdiType::Brush);
}

} // namespace
} // namespace plat

using namespace plat;

int FillRect(HDC h, const RECT* rc, HBRUSH brush) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    std::shared_ptr<BrushObject> b = BrushArgument(brush);
    if (!dc || !rc || !b || !dc->surface)
        return 0;
    Pattern pattern(*dc, b.get(), 0);
    PatternPainter painter(*dc, pattern, Rop3Code(PATCOPY));
    painter.FillRect(dc->ToSurface(*rc));
    return 1;
}

int FrameRect(HDC h, const RECT* rc, HBRUSH brush) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    std::shared_ptr<BrushObject> b = BrushArgument(brush);
    if (!dc || !rc || !b || !dc->surface)
        return 0;
    if (rc->left >= rc->right || rc->top >= rc->bottom)
        return 1;
    RECT r = dc->ToSurface(*rc);
    Pattern pattern(*dc, b.get(), 0);
    PatternPainter painter(*dc, pattern, Rop3Code(PATCOPY));
    painter.FillRect(RECT{r.left, r.top, r.right, r.top + 1});
    if (r.bottom - r.top > 1)
        painter.FillRect(RECT{r.left, r.bottom - 1, r.right, r.bottom});
    painter.FillRect(RECT{r.left, r.top + 1, r.left + 1, r.bottom - 1});
    if (r.right - r.left > 1)
        painter.FillRect(RECT{r.right - 1, r.top + 1, r.right, r.bottom - 1});
    return 1;
}

BOOL InvertRect(HDC h, const RECT* rc) {
    if (!rc)
        return FALSE;
    if (rc->left >= rc->right || rc->top >= rc->bottom)
        return LookupDC(h) != nullptr;
    return PatBlt(h, rc->left, rc->top, rc->right - rc->left, rc->bottom - rc->top, DSTINVERT);
}

BOOL FillRgn(HDC h, HRGN rgn, HBRUSH brush) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    std::shared_ptr<BrushObject> b = BrushArgument(brush);
    Region r;
    if (!dc || !b || !dc->surface || !GetRegion(rgn, &r))
        return FALSE;
    r.Offset(dc->origin.x, dc->origin.y);
    Pattern pattern(*dc, b.get(), 0);
    PatternPainter painter(*dc, pattern, Rop3Code(PATCOPY));
    for (const RECT& rc : r.Rects())
        painter.FillRect(rc);
    return TRUE;
}

COLORREF SetPixel(HDC h, int x, int y, COLORREF color) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    if (!dc || !dc->surface)
        return CLR_INVALID;
    const int sx = x + dc->origin.x, sy = y + dc->origin.y;
    if (!dc->effectiveClip.Contains(sx, sy))
        return CLR_INVALID;
    Surface& s = *dc->surface;
    DWORD raw = ColorToRaw(s, color & 0xFFFFFF);
    PutRaw(s.Row(sy), sx, s.bpp, raw);
    s.MarkDirty(RECT{sx, sy, sx + 1, sy + 1});
    return RawToColor(s, raw);
}

COLORREF GetPixel(HDC h, int x, int y) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    if (!dc || !dc->surface)
        return CLR_INVALID;
    const int sx = x + dc->origin.x, sy = y + dc->origin.y;
    if (!dc->effectiveClip.Contains(sx, sy))
        return CLR_INVALID;
    const Surface& s = *dc->surface;
    return RawToColor(s, GetRaw(s.Row(sy), sx, s.bpp));
}
