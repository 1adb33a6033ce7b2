// The draw manager's pen: pen-down, moves and pen-up become stroke objects on the current
// page, each accepted point drawn at once into the buffer.
#include "inkra/InkBrush.h"
#include "inkra/InkraMan.h"
#include "InkraRect.h"

#include <cmath>

using inkra::Clamp;
using inkra::NoArea;

namespace {

LONG ToFixed(double pixels) {
    return static_cast<LONG>(pixels * 65536.0);
}

} // namespace

GDObject* InkraMan::CreateGDObject() {
    if (!m_pCurPage)
        return nullptr;
    GDObject* object = AllocGDObject();
    if (!object)
        return nullptr;
    if (m_nObjectKind == DO_STROKE) {
        object->InitObject(nullptr);
        object->kind = DO_STROKE;
        object->strokeType = m_eStrokeType;
        object->alpha = static_cast<BYTE>(m_nMaxAlpha < 0     ? 0
                                          : m_nMaxAlpha > 255 ? 255
                                                              : m_nMaxAlpha);
        switch (m_eStrokeType) {
            case eDOPen:
                object->SetColor(m_crPen);
                break;
            case eDOMarker:
                object->SetColor(m_crMarker);
                break;
            case eDOPencel:
                object->SetColor(m_crPencel);
                break;
            case eDOColorPen:
                object->SetColor(m_crColorPen);
                break;
            case eDOBrush:
                object->SetColor(m_crBrush);
                break;
            case eDOAirBrush:
                object->SetColor(m_crAirBrush);
                break;
            default:
                break;
        }
    }
    m_pNextPoint = m_Points;
    if (!(object->kind == DO_STROKE && object->strokeType == eDODelStroke))
        m_pCurPage->AddGDObject(object);
    m_bChanged = 1;
    return object;
}

tagRECT InkraMan::DeleteGDObject(GDObject* object) {
    if (!m_pCurPage || !object)
        return tagRECT{0, 0, 0, 0};
    if (object == m_pCurObject)
        DropStroke(true);
    tagRECT bounds = m_pCurPage->DeleteGDObject(object, 1);
    m_bChanged = 1;
    return bounds;
}

void InkraMan::ApplyToolParameters(GWPOINT& p, int pressure) const {
    std::int64_t width;
    switch (m_eStrokeType) {
        case eDOPen:
            width = m_nPenWidth;
            break;
        case eDOMarker:
            width = m_nMarkerWidth;
            break;
        case eDOPencel:
            width = m_nPencelWidth;
            break;
        case eDODelStroke:
            width = m_nDelStrokeWidth;
            break;
        case eDOEraser:
            width = m_nEraserWidth;
            break;
        case eDOColorPen:
            width = m_nColorPenWidth;
            break;
        case eDOBrush:
            width = std::int64_t{m_nBrushWidth} * pressure / 255;
            break;
        default:
            width = m_nAirBrushWidth;
            break;
    }
    std::int64_t opacity = m_pCurObject ? m_pCurObject->alpha : m_nMaxAlpha;
    if (m_eStrokeType == eDOColorPen)
        opacity = opacity * pressure / 255;
    width = (m_mView.m11 * width) >> 16;
    // Thin strokes fade instead of thinning below a quarter pixel.
    if (width < 16384) {
        const std::int64_t faded = ((8 * width) * opacity) >> 16;
        if (faded < opacity)
            opacity = faded;
    }
    p.width = static_cast<LONG>(width);
    p.alpha = static_cast<BYTE>(opacity < 0 ? 0 : opacity > 255 ? 255 : opacity);
}

tagRECT InkraMan::AddStrokePoint(GDObject* object, GWPOINT* slot) {
    if (!object || !slot || object->kind != DO_STROKE || !m_pCurPage)
        return tagRECT{0, 0, 0, 0};
    // The scratch array holds one object's points; SplitStroke starts the next in time.
    if (object->pointCount >= INKRA_STROKE_POINTS)
        return tagRECT{0, 0, 0, 0};
    // The page's clip, never past the buffer's pixels.
    const tagRECT clip = Clamp(m_pCurPage->GetValidRect(), FullRect());
    const InkRasterProc raster = GetStrokeRaster(object->strokeType);
    const InkBlendProc blend = GetStrokeBlend(object->strokeType);
    GWPOINT p = *slot;
    tagRECT drawn;
    int accepted = 0;
    // Whatever the pieces draw, accepted or not, is where the mask may now be non-zero.
    if (object->pointCount == 0) {
        object->width = static_cast<LONG>((std::int64_t{m_mInverse.m11} * p.width) >> 16);
        drawn =
            DrawPoint(&m_BufferBlock, &m_BackBlock, m_pMask, clip, p, m_nLineFactor,
                      m_nDevideFactor, p.alpha, object->red, object->green, object->blue, blend);
        MaskTouched(drawn);
        accepted = !NoArea(drawn) && drawn.right - drawn.left >= 1;
        if (accepted)
            MatrixTransformRect(&m_mInverse, &drawn, &object->bounds);
    } else {
        int piece = 0;
        // A pencil piece clears the mask outside its box: only where the mask can be
        // non-zero, not all of it each time.
        if (raster == DrawPencel)
            m_pCurPage->TrackPencelMask(&m_MaskArea);
        if (object->pointCount >= 2 && m_bUseCurve)
            drawn = m_pCurPage->DrawCurve(raster, blend, m_ptBeforePrevious, m_ptPrevious, p, piece,
                                          object->red, object->green, object->blue);
        else
            drawn = m_pCurPage->DrawLine(raster, blend, m_ptPrevious, p, piece, object->red,
                                         object->green, object->blue);
        m_pCurPage->TrackPencelMask(nullptr);
        MaskTouched(drawn);
        accepted = drawn.right - drawn.left >= 1 && drawn.bottom != drawn.top;
        if (accepted) {
            tagRECT grown;
            MatrixTransformRect(&m_mInverse, &drawn, &grown);
            inkra::UnionBounds(object->bounds, grown);
        }
    }
    if (!accepted)
        return tagRECT{0, 0, 0, 0};
    ++object->pointCount;
    m_ptBeforePrevious = object->pointCount == 1 ? p : m_ptPrevious;
    m_ptPrevious = p;
    MatrixTransformPoint(&m_mInverse, &p, slot);
    if (slot == m_pNextPoint)
        ++m_pNextPoint;
    return Clamp(drawn, clip);
}

tagRECT InkraMan::SplitStroke(int pressure) {
    GDObject* full = m_pCurObject;
    if (full->strokeType == eDODelStroke) {
        // The trail stays one object off the page: its last point begins the scratch again.
        m_Points[0] = m_Points[INKRA_STROKE_POINTS - 1];
        full->pointCount = 1;
        m_pNextPoint = m_Points + 1;
        return tagRECT{0, 0, 0, 0};
    }
    full->SetPointData(m_Points);
    m_pCurObject = CreateGDObject();
    if (!m_pCurObject)
        return tagRECT{0, 0, 0, 0};
    GWPOINT* slot = m_pNextPoint;
    *slot = GWPOINT{};
    slot->x = ToFixed(m_fPosX);
    slot->y = ToFixed(m_fPosY);
    ApplyToolParameters(*slot, pressure);
    return AddStrokePoint(m_pCurObject, slot);
}

void InkraMan::DropStroke(bool objectGone) {
    if (!m_pCurObject)
        return;
    GDObject* object = m_pCurObject;
    m_pCurObject = nullptr;
    m_bTracking = 0;
    m_nLastX = m_nLastY = -1;
    if (objectGone)
        return;
    const bool trail = object->kind == DO_STROKE && object->strokeType == eDODelStroke;
    if (trail) {
        FreeGDObject(object);
        return;
    }
    if (object->pointCount > 0 && !object->points)
        object->SetPointData(m_Points);
}

tagRECT InkraMan::LButtonDown(int x, int y, int pressure) {
    DropStroke(false);
    m_bTracking = 1;
    SetBufferInfo(-1);
    m_pCurObject = CreateGDObject();
    m_nLastX = m_nLastY = -1;
    m_fPosX = m_fPosY = 0;
    m_fVelX = m_fVelY = 0;
    if (!m_pCurObject || x < 0 || y < 0)
        return tagRECT{0, 0, 0, 0};
    GWPOINT* slot = m_pNextPoint;
    *slot = GWPOINT{};
    slot->x = ToFixed(static_cast<double>(x));
    slot->y = ToFixed(static_cast<double>(y));
    ApplyToolParameters(*slot, pressure);
    return AddStrokePoint(m_pCurObject, slot);
}

tagRECT InkraMan::MouseMove(int x, int y, int pressure) {
    if (!m_bTracking || !m_pCurObject)
        return tagRECT{0, 0, 0, 0};
    tagRECT changed{0, 0, 0, 0};
    if (m_pCurObject->pointCount >= INKRA_STROKE_POINTS) {
        changed = SplitStroke(pressure);
        if (!m_pCurObject)
            return changed;
    }
    if (m_bUseCompensate) {
        double dx = 0, dy = 0;
        if (m_nLastX != -1 || m_nLastY != -1) {
            dx = x - m_nLastX;
            dy = y - m_nLastY;
        } else {
            m_fPosX = x;
            m_fPosY = y;
        }
        m_fVelX = (m_fVelX + dx) * 0.5;
        m_fVelY = (m_fVelY + dy) * 0.5;
        m_fPosX += m_fVelX;
        m_fPosY += m_fVelY;
    } else {
        m_fPosX = x;
        m_fPosY = y;
        m_fVelX = m_fVelY = 0;
    }
    m_nLastX = x;
    m_nLastY = y;
    GWPOINT* slot = m_pNextPoint;
    *slot = GWPOINT{};
    slot->x = ToFixed(m_fPosX);
    slot->y = ToFixed(m_fPosY);
    ApplyToolParameters(*slot, pressure);
    inkra::UnionDrawn(changed, AddStrokePoint(m_pCurObject, slot));
    return changed;
}

tagRECT InkraMan::LButtonUp(int x, int y, int pressure) {
    m_bTracking = 0;
    if (!m_pCurObject || !m_pCurPage)
        return tagRECT{0, 0, 0, 0};
    m_nLastX = m_nLastY = -1;
    tagRECT changed{0, 0, 0, 0};
    if (x == -1 || y == -1) {
        m_fVelX = m_fVelY = 0;
    } else {
        if (m_bUseCompensate && (m_fVelX != 0 || m_fVelY != 0)) {
            m_fPosX += std::trunc(m_fVelX);
            m_fPosY += std::trunc(m_fVelY);
            m_fVelX = m_fVelY = 0;
        } else {
            m_fPosX = x;
            m_fPosY = y;
        }
        if (m_pCurObject->pointCount >= INKRA_STROKE_POINTS)
            changed = SplitStroke(pressure);
        if (m_pCurObject) {
            GWPOINT* slot = m_pNextPoint;
            *slot = GWPOINT{};
            slot->x = ToFixed(m_fPosX);
            slot->y = ToFixed(m_fPosY);
            ApplyToolParameters(*slot, pressure);
            inkra::UnionDrawn(changed, AddStrokePoint(m_pCurObject, slot));
        }
    }
    if (!m_pCurObject) {
        ClearMask();
        return changed;
    }
    GDObject* object = m_pCurObject;
    object->SetPointData(m_Points);
    if (m_pMask && object->strokeType == eDODelStroke) {
        tagRECT region = changed;
        if (NoArea(region))
            region = inkra::UnionStart();
        tagRECT trail;
        MatrixTransformRect(&m_mView, &object->bounds, &trail);
        tagRECT removed = m_pCurPage->DeleteGDObject(&m_mView, trail, m_pMask, 1);
        if (removed.left <= removed.right && removed.top <= removed.bottom) {
            tagRECT mapped;
            MatrixTransformRect(&m_mView, &removed, &mapped);
            inkra::UnionBounds(region, mapped);
            m_bChanged = 1;
        }
        inkra::UnionBounds(region, trail);
        FreeGDObject(object);
        m_pCurObject = nullptr;
        // The trail's coverage is spent; the redraw starts from a clear mask.
        ClearMask();
        UpdateBuffer(region);
        changed = region;
    }
    ClearMask();
    m_pCurObject = nullptr;
    return changed;
}
