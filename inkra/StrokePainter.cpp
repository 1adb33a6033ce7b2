#include "inkra/StrokePainter.h"

#include "inkra/GCurve.h"
#include "inkra/InkShape.h"
#include "InkraRect.h"

#include <cstring>

namespace inkra::detail {

namespace {

using fundo::detail::Wrap32;

LONG SegmentLength(const GWPOINT& p1, const GWPOINT& p2) {
    return PointLength(Wrap32(std::int64_t{p2.x} - p1.x), Wrap32(std::int64_t{p2.y} - p1.y));
}

// p1 plus half the way to p2, as the segment is split.
LONG HalfWay(LONG a, LONG b) {
    return Wrap32(std::int64_t{a} + ((std::int64_t{b} - a) >> 1));
}

GWPOINT MidPoint(const GWPOINT& p1, const GWPOINT& p2) {
    GWPOINT m = p1;
    m.x = HalfWay(p1.x, p2.x);
    m.y = HalfWay(p1.y, p2.y);
    m.width = HalfWay(p1.width, p2.width);
    m.alpha = static_cast<BYTE>(p1.alpha + ((p2.alpha - p1.alpha) >> 1));
    return m;
}

// MatrixTransformPoint, with the width's transform (a length, so a division) kept from the
// point before while the width stays the same, as it does along most strokes.
class PointMapper {
public:
    explicit PointMapper(const MATRIX* view) : m_view(view) {}

    void Map(const GWPOINT& in, GWPOINT& out) {
        if (m_known && in.width == m_inWidth) {
            tagPOINT p{in.x, in.y};
            MatrixTransformPoint(m_view, &p, &p);
            out = in;
            out.x = p.x;
            out.y = p.y;
            out.width = m_outWidth;
            return;
        }
        MatrixTransformPoint(m_view, &in, &out);
        m_known = true;
        m_inWidth = in.width;
        m_outWidth = out.width;
    }

private:
    const MATRIX* m_view;
    bool m_known = false;
    LONG m_inWidth = 0;
    LONG m_outWidth = 0;
};

} // namespace

tagRECT StrokePainter::DrawLine(InkRasterProc raster, InkBlendProc blend, GWPOINT& p1, GWPOINT& p2,
                                int& drawn, BYTE r, BYTE g, BYTE b) {
    const LONG length = SegmentLength(p1, p2);
    if (length <= FIXED_ONE || !raster) {
        drawn = 0;
        return tagRECT{0, 0, 0, 0};
    }
    drawn = 1;
    if (length <= 10 * FIXED_ONE) {
        if (pencelArea && raster == DrawPencel)
            return DrawPencelTracked(buffer, back, mask, wholeClip, p1, p2, lineFactor,
                                     divideFactor, p1.alpha, r, g, b, blend, *pencelArea, length);
        return DrawSegment(raster, buffer, back, mask, clip, p1, p2, lineFactor, divideFactor,
                           p1.alpha, r, g, b, blend, length);
    }
    GWPOINT m = MidPoint(p1, p2);
    int part = 0;
    tagRECT all = DrawLine(raster, blend, p1, m, part, r, g, b);
    tagRECT second = DrawLine(raster, blend, m, p2, part, r, g, b);
    UnionDrawn(all, second);
    return all;
}

tagRECT StrokePainter::DrawCurve(InkRasterProc raster, InkBlendProc blend, GWPOINT& p0, GWPOINT& p1,
                                 GWPOINT& p2, int& drawn, BYTE r, BYTE g, BYTE b) {
    const LONG length = SegmentLength(p1, p2);
    if (length <= 10 * FIXED_ONE)
        return DrawLine(raster, blend, p1, p2, drawn, r, g, b);
    GCurve curve;
    curve.InitCurve(CURVE_STEP, p0, p1, p2);
    GWPOINT from = p1;
    GWPOINT next = p1;
    tagRECT all{0, 0, 0, 0};
    while (curve.NextPoint(next) >= 0) {
        int part = 0;
        UnionDrawn(all, DrawLine(raster, blend, from, next, part, r, g, b));
        from = next;
    }
    drawn = 1;
    return all;
}

tagRECT StrokePainter::DrawStrokeAlone(const GDObject* object, const MATRIX* view,
                                       bool& clearWhole) {
    const tagRECT rect = DrawStroke(object, view, !clearWhole);
    const tagRECT clipped = Clamp(rect, clip);
    ClearMask(clearWhole ? nullptr : &clipped);
    clearWhole = false;
    return rect;
}

void StrokePainter::ClearMask(const tagRECT* area) const {
    if (!mask || !buffer || !buffer->GetSafeHandle())
        return;
    const int width = buffer->Width();
    const tagRECT part = area ? Clamp(*area, tagRECT{0, 0, width, buffer->Height()})
                              : tagRECT{0, maskTop, width, maskBottom};
    if (NoArea(part))
        return;
    if (part.left == 0 && part.right == width) {
        std::memset(mask + static_cast<size_t>(part.top) * width, 0,
                    static_cast<size_t>(width) * (part.bottom - part.top));
        return;
    }
    for (LONG y = part.top; y < part.bottom; ++y)
        std::memset(mask + static_cast<size_t>(y) * width + part.left, 0,
                    static_cast<size_t>(part.right - part.left));
}

tagRECT StrokePainter::DrawStroke(const GDObject* object, const MATRIX* view, bool maskClear) {
    const InkRasterProc raster = GetStrokeRaster(object->strokeType);
    const InkBlendProc blend = GetStrokeBlend(object->strokeType);
    const BYTE r = object->red, g = object->green, b = object->blue;
    const GWPOINT* points = object->points;
    PointMapper mapper(view);
    GWPOINT previous;
    mapper.Map(points[0], previous);
    if (object->pointCount == 1)
        return DrawPoint(buffer, back, mask, clip, previous, lineFactor, divideFactor,
                         previous.alpha, r, g, b, blend);
    MaskArea strokeArea{!maskClear, 0, 0, -1, -1, maskTop, maskBottom};
    MaskArea* const outer = pencelArea;
    if (raster == DrawPencel)
        pencelArea = &strokeArea;
    // Points that drew nothing are no drawing origin, as when the stroke was written.
    GWPOINT beforePrevious = previous;
    int accepted = 1;
    tagRECT all{0, 0, 0, 0};
    for (int i = 1; i < object->pointCount; ++i) {
        GWPOINT point;
        mapper.Map(points[i], point);
        int drawn = 0;
        tagRECT piece;
        if (accepted > 1 && useCurve)
            piece = DrawCurve(raster, blend, beforePrevious, previous, point, drawn, r, g, b);
        else
            piece = DrawLine(raster, blend, previous, point, drawn, r, g, b);
        if (drawn == 0 && NoArea(piece))
            continue;
        UnionDrawn(all, piece);
        beforePrevious = previous;
        previous = point;
        ++accepted;
    }
    pencelArea = outer;
    return all;
}

} // namespace inkra::detail
