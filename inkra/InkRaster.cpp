#include "inkra/InkShape.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace inkra::detail {

namespace {

template <class Op>
void WalkCapsule(const Op& op, const Target& t, const Capsule& c, int walk, LONG lf, LONG df, int A,
                 BYTE r, BYTE g, BYTE b) {
    CapsuleSpan span;
    int y0 = t.y0, y1 = t.y1;
    if (walk == kWalkGeneral) {
        span.Init(c, lf);
        // Only the rows the discs reach (the band lies between them).
        if (!(span.top <= span.bottom))
            return;
        // Rows floor(top) to ceil(bottom), rounded through an int once clamped to the walk.
        const double top = std::max<double>(y0, span.top);
        const double bottom = std::min<double>(y1, span.bottom);
        y0 = static_cast<int>(top);
        y0 -= y0 > top;
        y1 = static_cast<int>(bottom);
        y1 += y1 < bottom;
    }
    for (int y = y0; y <= y1; ++y) {
        int xa = t.x0, xb = t.x1;
        if (walk == kWalkGeneral && !span.Row(y, xa, xb))
            continue;
        const CapsuleRow row(c, (i64{y} << 16) - c.y1);
        const i64 ux0 = (i64{xa} << 16) - c.x1;
        BYTE* const px0 = t.Pixel(xa, y);
        BYTE* const mk0 = t.MaskByte(xa, y);
        BYTE* const bk0 = Op::kReadsBack ? t.BackPixel(xa, y) : nullptr;
        // One index walks the row; the rest follows from it only for pixels that need them.
        const int n = xb - xa + 1;
        for (int i = 0; i < n; ++i) {
            const int m = mk0[i];
            // Pixels the stroke already holds at its opacity cost nothing more.
            if (m >= A)
                continue;
            LONG d;
            if (CapsuleD(c, ux0 + (i64{i} << 16), row, d) == 0)
                continue;
            op.Apply(px0 + 3 * i, Op::kReadsBack ? bk0 + 3 * i : nullptr, mk0 + i, d, lf, df, m, A,
                     r, g, b);
        }
    }
}

// Clears the mask rows top..bottom (exclusive) outside the walk bounds: above, left and right
// of each row, below. The walk rows lie inside top..bottom.
void ClearOutside(const Target& t, int top, int bottom) {
    const std::size_t w = static_cast<std::size_t>(t.width);
    std::memset(t.MaskByte(0, top), 0, w * static_cast<std::size_t>(t.y0 - top));
    for (int y = t.y0; y <= t.y1; ++y) {
        BYTE* row = t.MaskByte(0, y);
        std::memset(row, 0, static_cast<std::size_t>(t.x0));
        std::memset(row + t.x1 + 1, 0, w - static_cast<std::size_t>(t.x1) - 1);
    }
    std::memset(t.MaskByte(0, t.y1 + 1), 0, w * static_cast<std::size_t>(bottom - t.y1 - 1));
}

// Clears the part of area outside the walk bounds; the rest of the mask is zero already.
void ClearOutsideWithin(const Target& t, const MaskArea& area) {
    if (area.x0 > area.x1)
        return;
    for (int y = area.y0; y <= area.y1; ++y) {
        BYTE* row = t.MaskByte(0, y);
        if (y < t.y0 || y > t.y1) {
            std::memset(row + area.x0, 0, static_cast<std::size_t>(area.x1 - area.x0 + 1));
            continue;
        }
        const int leftEnd = std::min(area.x1, t.x0 - 1);
        if (leftEnd >= area.x0)
            std::memset(row + area.x0, 0, static_cast<std::size_t>(leftEnd - area.x0 + 1));
        const int rightStart = std::max(area.x0, t.x1 + 1);
        if (rightStart <= area.x1)
            std::memset(row + rightStart, 0, static_cast<std::size_t>(area.x1 - rightStart + 1));
    }
}

bool Sane(const GWPOINT& p1, const GWPOINT& p2, LONG w1, LONG w2) {
    auto ok = [](i64 v, i64 limit) { return v > -limit && v < limit; };
    return ok(p1.x, kMaxCoord) && ok(p1.y, kMaxCoord) && ok(p2.x, kMaxCoord) &&
           ok(p2.y, kMaxCoord) && ok(w1, kMaxWidth) && ok(w2, kMaxWidth);
}

} // namespace

tagRECT DrawCapsule(GDib* buffer, GDib* back, BYTE* mask, tagRECT clip, const GWPOINT& p1,
                    const GWPOINT& p2, LONG w1, LONG w2, LONG lf, LONG df, BYTE A, BYTE r, BYTE g,
                    BYTE b, InkBlendProc blend, int walk, bool clearOutside, MaskArea* dirty,
                    LONG length) {
    if (blend == nullptr)
        return tagRECT{0, 0, 0, 0};
    // Box: the points' pixel range widened by the radius and the outer half of the band.
    const i64 reach = CeilPixel(i64{std::max(w1, w2)} + lf - 0x10000);
    const i64 left = (i64{std::min(p1.x, p2.x)} >> 16) - reach;
    const i64 top = (i64{std::min(p1.y, p2.y)} >> 16) - reach;
    const i64 right = CeilPixel(std::max(p1.x, p2.x)) + reach;
    const i64 bottom = CeilPixel(std::max(p1.y, p2.y)) + reach;
    Target t;
    if (!PrepareTarget(buffer, back, mask, clip, blend == BlendEraser, left, top, right, bottom, t))
        return tagRECT{0, 0, 0, 0};
    const tagRECT box = BoxResult(left, top, right, bottom);
    if (t.x0 > t.x1 || !Sane(p1, p2, w1, w2))
        return box;
    if (clearOutside) {
        // A drawer owning some rows only clears and draws those; whether the segment clears
        // at all is still settled against the whole clip, as for one drawer of all rows.
        const int top = dirty ? std::clamp(dirty->rowTop, 0, t.height) : 0;
        const int bottom = dirty ? std::clamp(dirty->rowBottom, top, t.height) : t.height;
        t.y0 = std::max(t.y0, top);
        t.y1 = std::min(t.y1, bottom - 1);
        if (t.y0 > t.y1) {
            // Nothing of the segment in these rows: all of them are outside its box.
            if (!dirty || dirty->all)
                std::memset(t.MaskByte(0, top), 0,
                            static_cast<std::size_t>(t.width) *
                                static_cast<std::size_t>(bottom - top));
            else
                ClearOutsideWithin(t, *dirty);
            if (dirty) {
                dirty->all = false;
                dirty->x0 = dirty->y0 = 0;
                dirty->x1 = dirty->y1 = -1;
            }
            return box;
        }
        if (!dirty || dirty->all)
            ClearOutside(t, top, bottom);
        else
            ClearOutsideWithin(t, *dirty);
        if (dirty) {
            dirty->all = false;
            dirty->x0 = t.x0;
            dirty->y0 = t.y0;
            dirty->x1 = t.x1;
            dirty->y1 = t.y1;
        }
    }
    WithBlendOp(blend, lf, df, [&](const auto& op, bool zoneOnlyInside) {
        Capsule c;
        InitCapsule(c, p1, p2, w1, w2, lf, zoneOnlyInside, length);
        const int how = walk == kWalkAuto ? ChooseWalk(c.dx, c.dy) : walk;
        WalkCapsule(op, t, c, how, lf, df, A, r, g, b);
        return 0;
    });
    return box;
}

tagRECT DrawPencelTracked(GDib* buffer, GDib* back, BYTE* mask, tagRECT clip, GWPOINT& p1,
                          GWPOINT& p2, LONG lf, LONG df, BYTE A, BYTE r, BYTE g, BYTE b,
                          InkBlendProc blend, MaskArea& dirty, LONG length) {
    return DrawCapsule(buffer, back, mask, clip, p1, p2, p1.width, p1.width, lf, df, A, r, g, b,
                       blend, kWalkAuto, true, &dirty, length);
}

tagRECT DrawSegment(InkRasterProc raster, GDib* buffer, GDib* back, BYTE* mask, tagRECT clip,
                    GWPOINT& p1, GWPOINT& p2, LONG lf, LONG df, BYTE A, BYTE r, BYTE g, BYTE b,
                    InkBlendProc blend, LONG length) {
    if (raster == DrawFixWidth || raster == DrawPencel)
        return DrawCapsule(buffer, back, mask, clip, p1, p2, p1.width, p1.width, lf, df, A, r, g, b,
                           blend, kWalkAuto, raster == DrawPencel, nullptr, length);
    if (raster == DrawVarWidth) {
        if (p1.width <= 0 && p2.width <= 0)
            return tagRECT{0, 0, 0, 0};
        return DrawCapsule(buffer, back, mask, clip, p1, p2, p1.width, p2.width, lf, df, A, r, g, b,
                           blend, kWalkAuto, false, nullptr, length);
    }
    return raster(buffer, back, mask, clip, p1, p2, lf, df, A, r, g, b, blend);
}

} // namespace inkra::detail

using namespace inkra::detail;

// Each is DrawSegment's own case, with the length worked out there.
tagRECT DrawFixWidth(GDib* buffer, GDib* back, BYTE* mask, tagRECT clip, GWPOINT& p1, GWPOINT& p2,
                     LONG lf, LONG df, BYTE A, BYTE r, BYTE g, BYTE b, InkBlendProc blend) {
    return DrawSegment(DrawFixWidth, buffer, back, mask, clip, p1, p2, lf, df, A, r, g, b, blend,
                       -1);
}

tagRECT DrawVarWidth(GDib* buffer, GDib* back, BYTE* mask, tagRECT clip, GWPOINT& p1, GWPOINT& p2,
                     LONG lf, LONG df, BYTE A, BYTE r, BYTE g, BYTE b, InkBlendProc blend) {
    return DrawSegment(DrawVarWidth, buffer, back, mask, clip, p1, p2, lf, df, A, r, g, b, blend,
                       -1);
}

tagRECT DrawPencel(GDib* buffer, GDib* back, BYTE* mask, tagRECT clip, GWPOINT& p1, GWPOINT& p2,
                   LONG lf, LONG df, BYTE A, BYTE r, BYTE g, BYTE b, InkBlendProc blend) {
    return DrawSegment(DrawPencel, buffer, back, mask, clip, p1, p2, lf, df, A, r, g, b, blend, -1);
}
