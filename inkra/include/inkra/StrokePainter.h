// Draws strokes into a draw manager's buffer through its mask, inside one clip. A page draws
// through one painter; a whole-page redraw may split the clip into row bands, each drawn by a
// painter of its own on a thread of its own. Internal to inkra.
#pragma once

#include "fundo/GDib.h"
#include "fundo/Geometry.h"
#include "inkra/GDObject.h"
#include "inkra/InkBrush.h"
#include "inkra/MaskArea.h"

namespace inkra::detail {

struct StrokePainter {
    GDib* buffer = nullptr;
    GDib* back = nullptr;
    BYTE* mask = nullptr;
    tagRECT clip{0, 0, 0, 0}; // limited to the buffer
    // The mask rows this painter owns: a whole clear clears these, the full width. A painter
    // of some rows draws pencil strokes against the whole clip, since a pencil segment clears
    // the mask outside its box wherever that box lies (see DrawCapsule).
    int maskTop = 0;
    int maskBottom = 0;
    tagRECT wholeClip{0, 0, 0, 0};
    LONG lineFactor = 0;
    LONG divideFactor = 0;
    int useCurve = 0;
    // While a pencil stroke is drawn: where its mask can be non-zero.
    MaskArea* pencelArea = nullptr;

    // Straight segments cut into pieces of at most 10 pixels; drawn is 0 when nothing was.
    tagRECT DrawLine(InkRasterProc raster, InkBlendProc blend, GWPOINT& p1, GWPOINT& p2, int& drawn,
                     BYTE r, BYTE g, BYTE b);
    tagRECT DrawCurve(InkRasterProc raster, InkBlendProc blend, GWPOINT& p0, GWPOINT& p1,
                      GWPOINT& p2, int& drawn, BYTE r, BYTE g, BYTE b);
    // maskClear: the mask is known to be zero before the stroke. The stroke must have points.
    tagRECT DrawStroke(const GDObject* object, const MATRIX* view, bool maskClear);
    // DrawStroke, then the mask cleared where the stroke can have touched it, so that each
    // stroke's coverage stands alone; clearWhole (set for a redraw's first stroke, which may
    // meet coverage left by earlier drawing) clears all owned rows instead and is reset.
    // The stroke's rectangle, unclipped.
    tagRECT DrawStrokeAlone(const GDObject* object, const MATRIX* view, bool& clearWhole);
    // Null clears the owned rows; else area, limited to the buffer.
    void ClearMask(const tagRECT* area) const;
};

} // namespace inkra::detail
