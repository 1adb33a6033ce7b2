// Stroke drawing of a page: straight segments cut into pieces of at most 10 pixels, curved
// spans, whole objects and the whole page.
#include "inkra/GCurve.h"
#include "inkra/InkraPage.h"
#include "inkra/InkraRect.h"
#include "inkra/InkShape.h"

#include <cstring>

using inkra::Clamp;
using inkra::NoArea;
using inkra::UnionDrawn;

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

// Edges count as meeting: a stroke whose bounds touch the clip is drawn.
bool Meets(const tagRECT& a, const tagRECT& b) {
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

} // namespace

tagRECT InkraPage::DrawClip() const {
    if (!m_pBuffer)
        return m_rcClip;
    return Clamp(m_rcClip, tagRECT{0, 0, m_pBuffer->Width(), m_pBuffer->Height()});
}

tagRECT InkraPage::DrawLine(InkRasterProc raster, InkBlendProc blend, GWPOINT& p1, GWPOINT& p2,
                            int& drawn, BYTE r, BYTE g, BYTE b) {
    const LONG length = SegmentLength(p1, p2);
    if (length <= FIXED_ONE || !raster) {
        drawn = 0;
        return tagRECT{0, 0, 0, 0};
    }
    drawn = 1;
    if (length <= 10 * FIXED_ONE) {
        if (m_pPencelArea && raster == DrawPencel)
            return inkra::detail::DrawPencelTracked(m_pBuffer, m_pBack, m_pMask, DrawClip(), p1, p2,
                                                    m_nLineFactor, m_nDevideFactor, p1.alpha, r, g,
                                                    b, blend, *m_pPencelArea);
        return raster(m_pBuffer, m_pBack, m_pMask, DrawClip(), p1, p2, m_nLineFactor,
                      m_nDevideFactor, p1.alpha, r, g, b, blend);
    }
    GWPOINT m = MidPoint(p1, p2);
    int part = 0;
    tagRECT all = DrawLine(raster, blend, p1, m, part, r, g, b);
    tagRECT second = DrawLine(raster, blend, m, p2, part, r, g, b);
    UnionDrawn(all, second);
    return all;
}

tagRECT InkraPage::DrawCurve(InkRasterProc raster, InkBlendProc blend, GWPOINT& p0, GWPOINT& p1,
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

void InkraPage::ClearMask(const tagRECT* area) {
    if (!m_pMask || !m_pBuffer || !m_pBuffer->GetSafeHandle())
        return;
    const int width = m_pBuffer->Width();
    const int height = m_pBuffer->Height();
    if (!area) {
        std::memset(m_pMask, 0, static_cast<size_t>(width) * height);
        return;
    }
    tagRECT part = Clamp(*area, tagRECT{0, 0, width, height});
    if (NoArea(part))
        return;
    for (LONG y = part.top; y < part.bottom; ++y)
        std::memset(m_pMask + static_cast<size_t>(y) * width + part.left, 0,
                    static_cast<size_t>(part.right - part.left));
}

tagRECT InkraPage::DrawStroke(GDObject* object, const MATRIX* view, bool maskClear) {
    const InkRasterProc raster = GetStrokeRaster(object->strokeType);
    const InkBlendProc blend = GetStrokeBlend(object->strokeType);
    const BYTE r = object->red, g = object->green, b = object->blue;
    const GWPOINT* points = object->points;
    GWPOINT previous;
    MatrixTransformPoint(view, &points[0], &previous);
    if (object->pointCount == 1)
        return DrawPoint(m_pBuffer, m_pBack, m_pMask, DrawClip(), previous, m_nLineFactor,
                         m_nDevideFactor, previous.alpha, r, g, b, blend);
    inkra::detail::MaskArea pencelArea{!maskClear, 0, 0, -1, -1};
    if (raster == DrawPencel)
        m_pPencelArea = &pencelArea;
    // Points that drew nothing are no drawing origin, as when the stroke was written.
    GWPOINT beforePrevious = previous;
    int accepted = 1;
    tagRECT all{0, 0, 0, 0};
    for (int i = 1; i < object->pointCount; ++i) {
        GWPOINT point;
        MatrixTransformPoint(view, &points[i], &point);
        int drawn = 0;
        tagRECT piece;
        if (accepted > 1 && m_bUseCurve)
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
    m_pPencelArea = nullptr;
    return all;
}

tagRECT InkraPage::DrawObject(HDC dc, GDObject* object, const MATRIX* view, const MATRIX* inverse,
                              bool& clearWhole) {
    if (!m_pBuffer || !object || !view || !inverse)
        return tagRECT{0, 0, 0, 0};
    tagRECT mapped;
    MatrixTransformRect(view, &object->bounds, &mapped);
    if (!RectIsEmpty(&mapped) && mapped.right != mapped.left && mapped.bottom != mapped.top &&
        !Meets(mapped, m_rcClip))
        return tagRECT{0, 0, 0, 0};
    if (object->kind == DO_STROKE) {
        // A stroke still being written keeps its points outside the record.
        if (object->pointCount == 0 || !object->points)
            return tagRECT{0, 0, 0, 0};
        tagRECT drawn = DrawStroke(object, view, !clearWhole);
        const tagRECT clipped = Clamp(drawn, DrawClip());
        // Each object's coverage stands alone.
        ClearMask(clearWhole ? nullptr : &clipped);
        clearWhole = false;
        if (!NoArea(drawn))
            MatrixTransformRect(inverse, &drawn, &object->bounds);
        return clipped;
    }
    if (object->kind == DO_TEXT)
        DrawTextObject(dc, object, view);
    return tagRECT{0, 0, 0, 0};
}

tagRECT InkraPage::DrawGDObject(HDC dc, GDObject* object, const MATRIX* view,
                                const MATRIX* inverse) {
    bool clearWhole = true;
    return DrawObject(dc, object, view, inverse, clearWhole);
}

tagRECT InkraPage::DrawGDObject(HDC dc, GArray* objects, const MATRIX* view,
                                const MATRIX* inverse) {
    if (!objects || objects->GetSize() == 0)
        return tagRECT{0, 0, 0, 0};
    tagRECT all = inkra::UnionStart();
    // The first stroke clears the whole mask; after it only what each stroke touched can be
    // non-zero.
    bool clearWhole = true;
    for (int i = 0; i < objects->GetSize(); ++i) {
        auto* object = static_cast<GDObject*>(objects->GetAt(i));
        if (!object)
            continue;
        tagRECT drawn = DrawObject(dc, object, view, inverse, clearWhole);
        if (object->kind == DO_STROKE && object->strokeType == eDOEraser)
            continue;
        if (!NoArea(drawn))
            inkra::UnionBounds(all, drawn);
    }
    return all;
}

tagRECT InkraPage::DrawPage(HDC dc, const MATRIX* view, const MATRIX* inverse) {
    return DrawGDObject(dc, &m_Objects, view, inverse);
}

tagRECT InkraPage::DrawTextBackgound(HDC dc, const MATRIX* view, const MATRIX* inverse) {
    for (int i = 0; i < m_BackObjects.GetSize(); ++i) {
        auto* object = static_cast<GDObject*>(m_BackObjects.GetAt(i));
        bool clearWhole = true;
        if (object && object->kind == DO_TEXT)
            DrawObject(dc, object, view, inverse, clearWhole);
    }
    return tagRECT{0, 0, 0, 0};
}
