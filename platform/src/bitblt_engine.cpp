#include "bitblt_engine.h"

#include <algorithm>
#include <cstring>

namespace plat {
namespace {

// Source index of destination offsets [i0, i1) of a span dn long over a source span sn long
// starting at s0: offset i takes source s0 + floor(i * sn / dn), so the first destination
// pixel always shows the first source pixel; mirrored spans read from the far end.
void MapAxis(long long i0, long long i1, long long dn, long long s0, long long sn, bool mirror,
             std::vector<int>& out) {
    out.resize(static_cast<size_t>(i1 - i0));
    for (long long i = i0; i < i1; ++i) {
        long long k = sn == dn ? i : i * sn / dn;
        if (mirror)
            k = sn - 1 - k;
        out[static_cast<size_t>(i - i0)] = static_cast<int>(s0 + k);
    }
}

// Narrows a monotonic map to the entries inside [0, limit); returns how many were cut at the
// front (the map keeps the rest).
long long Narrow(std::vector<int>& map, int limit) {
    size_t a = 0, b = map.size();
    while (a < b && (map[a] < 0 || map[a] >= limit))
        ++a;
    while (b > a && (map[b - 1] < 0 || map[b - 1] >= limit))
        --b;
    map.erase(map.begin() + static_cast<std::ptrdiff_t>(b), map.end());
    map.erase(map.begin(), map.begin() + static_cast<std::ptrdiff_t>(a));
    return static_cast<long long>(a);
}

// A private copy of part of a surface, for blits whose source and destination overlap in a
// way row ordering cannot handle.
std::shared_ptr<Surface> CopyPart(const Surface& s, int x0, int y0, int x1, int y1) {
    std::shared_ptr<Surface> t = MakeSurface(x1 - x0, y1 - y0, s.bpp, false);
    if (!t)
        return nullptr;
    t->rgb565 = s.rgb565;
    t->mono = s.mono;
    t->colorCount = s.colorCount;
    std::memcpy(t->colors, s.colors, sizeof(t->colors));
    for (int y = y0; y < y1; ++y) {
        const BYTE* src = s.Row(y);
        BYTE* dst = t->Row(y - y0);
        if (s.bpp >= 8)
            std::memcpy(dst, src + static_cast<size_t>(x0) * (s.bpp / 8),
                        static_cast<size_t>(x1 - x0) * (s.bpp / 8));
        else
            for (int x = x0; x < x1; ++x)
                PutRaw(dst, x - x0, s.bpp, GetRaw(src, x, s.bpp));
    }
    return t;
}

bool Overlaps(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

} // namespace

BOOL ExecuteBlit(DCObj& dc, const BlitRequest& r) {
    if (!dc.surface)
        return FALSE;
    Surface& ds = *dc.surface;
    const BYTE code = Rop3Code(r.rop);
    const bool useSrc = Rop3UsesSource(code);
    const bool usePat = Rop3UsesPattern(code);
    if (useSrc && !r.src)
        return FALSE;

    long long dx0 = r.x, dx1 = static_cast<long long>(r.x) + r.width;
    long long dy0 = r.y, dy1 = static_cast<long long>(r.y) + r.height;
    bool mx = false, my = false;
    if (dx1 < dx0) {
        std::swap(dx0, dx1);
        mx = true;
    }
    if (dy1 < dy0) {
        std::swap(dy0, dy1);
        my = true;
    }
    long long sx0 = r.srcX, sx1 = static_cast<long long>(r.srcX) + r.srcWidth;
    long long sy0 = r.srcY, sy1 = static_cast<long long>(r.srcY) + r.srcHeight;
    if (sx1 < sx0) {
        std::swap(sx0, sx1);
        mx = !mx;
    }
    if (sy1 < sy0) {
        std::swap(sy0, sy1);
        my = !my;
    }
    const long long dw = dx1 - dx0, dh = dy1 - dy0, sw = sx1 - sx0, sh = sy1 - sy0;
    if (dw == 0 || dh == 0 || (useSrc && (sw == 0 || sh == 0)))
        return TRUE;

    // The destination in surface pixels, cut to the clip's bounding box.
    const long long left = dx0 + dc.origin.x, top = dy0 + dc.origin.y;
    RECT box = dc.effectiveClip.Box();
    long long ax0 = std::max<long long>(left, box.left),
              ax1 = std::min<long long>(left + dw, box.right);
    long long ay0 = std::max<long long>(top, box.top),
              ay1 = std::min<long long>(top + dh, box.bottom);
    if (ax0 >= ax1 || ay0 >= ay1)
        return TRUE;

    if (!useSrc) {
        Pattern pattern(dc, r.brush ? r.brush : dc.attr.brush.get(), 0);
        PatternPainter painter(dc, pattern, code);
        painter.FillRect(RECT{static_cast<int>(ax0), static_cast<int>(ay0), static_cast<int>(ax1),
                              static_cast<int>(ay1)});
        return TRUE;
    }

    std::vector<int> xs, ys;
    MapAxis(ax0 - left, ax1 - left, dw, sx0, sw, mx, xs);
    MapAxis(ay0 - top, ay1 - top, dh, sy0, sh, my, ys);
    ax0 += Narrow(xs, r.src->width);
    ay0 += Narrow(ys, r.src->height);
    if (xs.empty() || ys.empty())
        return TRUE;
    const RECT area{static_cast<int>(ax0), static_cast<int>(ay0),
                    static_cast<int>(ax0 + static_cast<long long>(xs.size())),
                    static_cast<int>(ay0 + static_cast<long long>(ys.size()))};

    std::vector<RECT> pieces;
    ClipPieces(dc.effectiveClip, area, pieces);
    if (pieces.empty())
        return TRUE;

    const Surface* src = r.src;
    const bool straightX = sw == dw && !mx, straightY = sh == dh && !my;
    bool bottomFirst = false;
    std::shared_ptr<Surface> temp;
    if (src == &ds) {
        auto [xmin, xmax] = std::minmax_element(xs.begin(), xs.end());
        auto [ymin, ymax] = std::minmax_element(ys.begin(), ys.end());
        RECT used{*xmin, *ymin, *xmax + 1, *ymax + 1};
        if (Overlaps(used, area)) {
            if (straightX && straightY && pieces.size() == 1) {
                bottomFirst = ys.front() < area.top;
            } else {
                temp = CopyPart(ds, used.left, used.top, used.right, used.bottom);
                if (!temp)
                    return FALSE;
                for (int& v : xs)
                    v -= used.left;
                for (int& v : ys)
                    v -= used.top;
                src = temp.get();
            }
        }
    }

    RowConverter conv(*src, ds, MonoColors{dc.attr.textColor, dc.attr.bkColor}, r.srcBkColor);
    Pattern pattern(dc, r.brush ? r.brush : dc.attr.brush.get(), 0);
    if (usePat && pattern.Empty())
        return TRUE;
    const int bpp = ds.bpp;
    const bool rawCopy = code == 0xCC && conv.Raw() && straightX && bpp >= 8;
    const bool directConvert = code == 0xCC && bpp >= 8 && src != &ds;
    std::vector<BYTE> srcLine(static_cast<size_t>(ds.stride) + 4),
        patLine(static_cast<size_t>(ds.stride) + 4);
    DirtyBox dirty(ds);

    for (const RECT& p : pieces) {
        dirty.Add(p);
        const int* xsp = xs.data() + (p.left - area.left);
        const int n = p.right - p.left;
        int lastSrcRow = -1;
        for (int k = 0; k < p.bottom - p.top; ++k) {
            const int y = bottomFirst ? p.bottom - 1 - k : p.top + k;
            BYTE* drow = ds.Row(y);
            const int sy = ys[static_cast<size_t>(y - area.top)];
            const BYTE* srow = src->Row(sy);
            if (rawCopy) {
                const size_t px = static_cast<size_t>(bpp / 8);
                std::memmove(drow + px * p.left, srow + px * xsp[0], px * n);
                continue;
            }
            if (directConvert) {
                conv.Convert(srow, xsp, drow, p.left, p.right);
                continue;
            }
            if (sy != lastSrcRow || src == &ds) {
                conv.Convert(srow, xsp, srcLine.data(), p.left, p.right);
                lastSrcRow = sy;
            }
            if (usePat)
                pattern.FillLine(patLine.data(), bpp, p.left, p.right, y);
            RopRow(code, bpp, drow, srcLine.data(), patLine.data(), p.left, p.right);
        }
    }
    return TRUE;
}

} // namespace plat
