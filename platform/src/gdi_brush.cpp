// Brushes and pens.
#include "gdi_types.h"

using namespace plat;

HBRUSH CreateSolidBrush(COLORREF color) {
    auto b = std::make_shared<BrushObject>();
    b->color = color & 0xFFFFFF;
    return static_cast<HBRUSH>(AllocHandle(b));
}

// The brush keeps its own copy of the pattern: the bitmap may be deleted afterwards.
HBRUSH CreatePatternBrush(HBITMAP bitmap) {
    std::shared_ptr<BitmapObject> bm = Lookup<BitmapObject>(bitmap, GdiType::Bitmap);
    if (!bm) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    auto b = std::make_shared<BrushObject>();
    b->style = BS_PATTERN;
    b->pattern = CloneSurface(*bm->surface);
    if (!b->pattern)
        return nullptr;
    b->patternBitmap = bitmap;
    return static_cast<HBRUSH>(AllocHandle(b));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* lb) {
    if (!lb)
        return nullptr;
    switch (lb->lbStyle) {
        case BS_SOLID:
            return CreateSolidBrush(lb->lbColor);
        case BS_NULL: {
            auto b = std::make_shared<BrushObject>();
            b->style = BS_NULL;
            return static_cast<HBRUSH>(AllocHandle(b));
        }
        case BS_PATTERN:
            return CreatePatternBrush(reinterpret_cast<HBITMAP>(lb->lbHatch));
        default:
            SetLastError(ERROR_NOT_SUPPORTED);
            return nullptr;
    }
}

// Width 0 is one pixel; dashes and dots exist for one-pixel pens only, as on Windows CE.
HPEN CreatePen(int style, int width, COLORREF color) {
    if (style != PS_SOLID && style != PS_DASH && style != PS_DOT && style != PS_NULL &&
        style != PS_INSIDEFRAME) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto p = std::make_shared<PenObject>();
    p->width = width < 1 ? 1 : width;
    p->style = static_cast<UINT>(style);
    if (p->width > 1 && (style == PS_DASH || style == PS_DOT))
        p->style = PS_SOLID;
    p->color = color & 0xFFFFFF;
    return static_cast<HPEN>(AllocHandle(p));
}

HPEN CreatePenIndirect(const LOGPEN* lp) {
    if (!lp)
        return nullptr;
    return CreatePen(static_cast<int>(lp->lopnStyle), lp->lopnWidth.x, lp->lopnColor);
}
