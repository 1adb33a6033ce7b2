#include "inkra/GDObject.h"
#include "inkra/InkBrush.h"

namespace {

// Indexed by eDOStrokeType.
const InkRasterProc kRaster[DO_STROKE_TYPES] = {
    DrawFixWidth, // pen
    DrawFixWidth, // marker
    DrawFixWidth, // stroke delete
    DrawFixWidth, // eraser
    DrawPencel,   // pencil
    DrawFixWidth, // colour pen
    DrawVarWidth, // brush
    DrawFixWidth, // air brush
};

const InkBlendProc kBlend[DO_STROKE_TYPES] = {
    BlendPen,    // pen
    BlendMarker, // marker
    BlendInvert, // stroke delete
    BlendEraser, // eraser
    BlendPencel, // pencil
    BlendMarker, // colour pen
    BlendMarker, // brush
    BlendMarker, // air brush
};

} // namespace

InkRasterProc GetStrokeRaster(int strokeType) {
    return strokeType >= 0 && strokeType < DO_STROKE_TYPES ? kRaster[strokeType] : kRaster[0];
}

InkBlendProc GetStrokeBlend(int strokeType) {
    return strokeType >= 0 && strokeType < DO_STROKE_TYPES ? kBlend[strokeType] : kBlend[0];
}
