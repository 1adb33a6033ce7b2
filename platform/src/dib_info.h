// Reading a BITMAPINFO (header and colour table) as a surface layout.
#pragma once

#include "gdi_surface.h"

namespace plat {

struct DibLayout {
    int width = 0;
    int height = 0; // positive
    int bpp = 0;
    bool bottomUp = true;
    bool rgb565 = false;
    int stride = 0;
    int colorCount = 0;
    RGBQUAD colors[256] = {};
    DWORD masks[3] = {};
    size_t imageSize = 0; // stride * height
};

// Checks and reads a header and its colour table: 1/2/4/8/16/24/32 bits, BI_RGB, or
// BI_BITFIELDS with the 5-5-5, 5-6-5 or 8-8-8 masks. DIB_PAL_COLORS tables index the default
// 20-colour palette. infoSize, when known, bounds what may be read (0 = trust the header).
bool ReadDibLayout(const BITMAPINFO* info, UINT usage, size_t infoSize, DibLayout* out);
// Bytes a header and its colour table (and masks) take.
size_t DibHeaderBytes(const BITMAPINFOHEADER& h);
// A surface over someone else's pixels in that layout (kept for one call).
void BorrowSurface(const DibLayout& layout, const void* bits, Surface* out);

} // namespace plat
