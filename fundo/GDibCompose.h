// Bitmap-to-bitmap composition into a 24-bit target; internal to the GDib sources.
#pragma once

#include "fundo/GDib.h"

namespace gdib {

// One clipped composition. The source rectangle (sx, sy, sw, sh) is inside the source; the
// destination rectangle is dw × dh at (dx, dy) of the target, of which only the first
// cw × ch pixels (cut at the target's right and bottom edges) are written.
struct ComposeJob {
    const BYTE* srcBits;
    int srcStride;
    int srcHeight;
    int srcBitCount;
    const RGBQUAD* palette; // 256 entries
    int sx, sy, sw, sh;

    BYTE* dstBits;
    int dstStride;
    int dstHeight;
    int dx, dy, dw, dh;
    int cw, ch;

    int mode;  // 1 nearest, 2 smooth, anything else tile
    int alpha; // 1-255
    bool keyed;
    RGBQUAD key;  // transparency colour, for direct-colour sources
    int keyIndex; // first table entry equal to the key (-1: none), for paletted sources
};

void Compose(const ComposeJob& job);

} // namespace gdib
