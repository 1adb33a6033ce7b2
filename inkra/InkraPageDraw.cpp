// Drawing of a page: single strokes through the page's painter, whole objects and the whole
// page.
#include "inkra/GCurve.h"
#include "inkra/InkraPage.h"
#include "InkraRect.h"
#include "inkra/InkShape.h"
#include "inkra/StrokePainter.h"

using inkra::Clamp;
using inkra::NoArea;

namespace {

// Edges count as meeting: a stroke whose bounds touch the clip is drawn.
bool Meets(const tagRECT& a, const tagRECT& b) {
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

} // namespace

bool InkraPage::OutsideClip(const GDObject* object, const MATRIX* view) const {
    tagRECT mapped;
    MatrixTransformRect(view, &object->bounds, &mapped);
    return !RectIsEmpty(&mapped) && mapped.right != mapped.left && mapped.bottom != mapped.top &&
           !Meets(mapped, m_rcClip);
}

tagRECT InkraPage::DrawClip() const {
    if (!m_pBuffer)
        return m_rcClip;
    return Clamp(m_rcClip, tagRECT{0, 0, m_pBuffer->Width(), m_pBuffer->Height()});
}

inkra::detail::StrokePainter InkraPage::Painter() const {
    inkra::detail::StrokePainter painter;
    painter.buffer = m_pBuffer;
    painter.back = m_pBack;
    painter.mask = m_pMask;
    painter.clip = DrawClip();
    painter.wholeClip = painter.clip;
    painter.maskTop = 0;
    painter.maskBottom = m_pBuffer ? m_pBuffer->Height() : 0;
    painter.lineFactor = m_nLineFactor;
    painter.divideFactor = m_nDevideFactor;
    painter.useCurve = m_bUseCurve;
    painter.pencelArea = m_pPencelArea;
    return painter;
}

tagRECT InkraPage::DrawLine(InkRasterProc raster, InkBlendProc blend, GWPOINT& p1, GWPOINT& p2,
                            int& drawn, BYTE r, BYTE g, BYTE b) {
    return Painter().DrawLine(raster, blend, p1, p2, drawn, r, g, b);
}

tagRECT InkraPage::DrawCurve(InkRasterProc raster, InkBlendProc blend, GWPOINT& p0, GWPOINT& p1,
                             GWPOINT& p2, int& drawn, BYTE r, BYTE g, BYTE b) {
    return Painter().DrawCurve(raster, blend, p0, p1, p2, drawn, r, g, b);
}

void InkraPage::ClearMask(const tagRECT* area) {
    Painter().ClearMask(area);
}

tagRECT InkraPage::DrawObject(HDC dc, GDObject* object, const MATRIX* view, const MATRIX* inverse,
                              bool& clearWhole) {
    if (!m_pBuffer || !object || !view || !inverse)
        return tagRECT{0, 0, 0, 0};
    if (OutsideClip(object, view))
        return tagRECT{0, 0, 0, 0};
    if (object->kind == DO_STROKE) {
        // A stroke still being written keeps its points outside the record.
        if (object->pointCount == 0 || !object->points)
            return tagRECT{0, 0, 0, 0};
        tagRECT drawn = Painter().DrawStrokeAlone(object, view, clearWhole);
        // A redrawn stroke ends any pencil tracking of the stroke being written.
        m_pPencelArea = nullptr;
        const tagRECT clipped = Clamp(drawn, DrawClip());
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
    tagRECT all;
    if (DrawBanded(objects, view, inverse, all))
        return all;
    all = inkra::UnionStart();
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
