// The one transfer routine under BitBlt, StretchBlt, PatBlt, SetDIBitsToDevice and
// StretchDIBits: maps destination pixels to source pixels (nearest, Win32 rounding), converts
// the source into the destination's format, prepares the brush pattern and applies the raster
// operation through the destination context's clip.
#pragma once

#include "gdi_raster.h"

namespace plat {

struct BlitRequest {
    // Destination in device coordinates of the context; a negative size mirrors.
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    // Source in surface pixels counted from the top; null when the operation has none.
    const Surface* src = nullptr;
    int srcX = 0;
    int srcY = 0;
    int srcWidth = 0;
    int srcHeight = 0;
    // The source context's background colour: colour pixels equal to it become 1 in a
    // monochrome device bitmap, all others 0.
    COLORREF srcBkColor = RGB(255, 255, 255);
    DWORD rop = SRCCOPY;
    const BrushObject* brush = nullptr; // null: the context's brush
};

// TRUE unless the request is malformed (a source operation without a source).
BOOL ExecuteBlit(DCObj& dst, const BlitRequest& r);

// Source pixels -> destination pixel values for one pair of formats.
class RowConverter {
public:
    RowConverter(const Surface& src, const Surface& dst, const MonoColors& dstColors,
                 COLORREF srcBk);
    bool Raw() const { return m_mode == Mode::Raw; }
    // For destination pixels x0..x1-1 reads source pixel xs[x - x0] of srcRow.
    void Convert(const BYTE* srcRow, const int* xs, BYTE* line, int x0, int x1);

private:
    enum class Mode { Raw, Table, Direct };
    DWORD FromColor(COLORREF c);

    const Surface& m_src;
    const Surface& m_dst;
    COLORREF m_srcBk;
    Mode m_mode;
    DWORD m_table[256] = {};
    DWORD m_cacheKey[64] = {};
    DWORD m_cacheValue[64] = {};
    bool m_cacheUsed[64] = {};
};

} // namespace plat
