// Raster operations over rows of packed pixels. Source and pattern are first brought into the
// destination's pixel format, in line buffers laid out like the destination row (same byte
// and bit positions); the operation then combines the three bitwise, byte by byte, as Win32
// does on the destination's raw pixel values (indices on paletted surfaces).
#pragma once

#include "gdi_dc.h"

#include <vector>

namespace plat {

inline BYTE Rop3Code(DWORD rop) {
    return static_cast<BYTE>(rop >> 16);
}
inline bool Rop3UsesSource(BYTE code) {
    return ((code >> 2) ^ code) & 0x33;
}
inline bool Rop3UsesPattern(BYTE code) {
    return ((code >> 4) ^ code) & 0x0F;
}
inline bool Rop3UsesDest(BYTE code) {
    return ((code >> 1) ^ code) & 0x55;
}
// R2_* (pen and shape operations) as the ternary code over pattern and destination.
BYTE Rop2ToRop3(int rop2);

// Combines pixels [x0, x1) of a destination row with the source and pattern lines. All
// three buffers are indexed alike; s and p must be readable over those bytes.
void RopRow(BYTE code, int bpp, BYTE* d, const BYTE* s, const BYTE* p, int x0, int x1);

// A brush turned into destination pixel values, tiled from the brush origin.
class Pattern {
public:
    // brush null: a solid colour. A hollow brush leaves Empty() true.
    Pattern(const DCObj& dc, const BrushObject* brush, COLORREF solid);
    bool Empty() const { return m_width == 0; }
    bool Solid() const { return m_width == 1 && m_height == 1; }
    DWORD SolidValue() const { return m_values.empty() ? 0 : m_values[0]; }
    // Writes the pattern pixels [x0, x1) of surface row y into a line buffer.
    void FillLine(BYTE* line, int bpp, int x0, int x1, int y) const;

private:
    int m_width = 0;
    int m_height = 0;
    int m_orgX = 0; // surface pixel where pattern column 0 falls
    int m_orgY = 0;
    std::vector<DWORD> m_values;
};

// The parts of a rectangle inside a clip region.
void ClipPieces(const Region& clip, const RECT& rc, std::vector<RECT>& out);

// Fills a run of pixels [x0, x1) of a row with one raw value.
void FillRaw(BYTE* row, int bpp, int x0, int x1, DWORD value);

// Colour of a pixel read through a source surface, applying the monochrome rule (0 = text
// colour, 1 = background colour of the destination context) to monochrome device bitmaps.
struct MonoColors {
    COLORREF text = RGB(0, 0, 0);
    COLORREF bk = RGB(255, 255, 255);
};

// Keeps the union of what one drawing call wrote and reports it to the surface at the end.
class DirtyBox {
public:
    explicit DirtyBox(const Surface& s) : m_surface(s) {}
    ~DirtyBox() {
        if (m_box.left < m_box.right)
            m_surface.MarkDirty(m_box);
    }
    DirtyBox(const DirtyBox&) = delete;
    DirtyBox& operator=(const DirtyBox&) = delete;
    void Add(const RECT& rc);

private:
    const Surface& m_surface;
    RECT m_box{0, 0, 0, 0};
};

// Applies a pattern operation (no source) over surface rectangles through the clip: PatBlt,
// FillRect, pens and shape interiors.
class PatternPainter {
public:
    PatternPainter(DCObj& dc, const Pattern& pattern, BYTE code);
    // Surface coordinates; clipped by the context.
    void FillRect(const RECT& rc);
    void Span(int y, int x0, int x1) { FillRect(RECT{x0, y, x1, y + 1}); }
    void Plot(int x, int y);

private:
    void ForEachClip(const RECT& rc);
    void FillClipped(const RECT& rc);

    DCObj& m_dc;
    Surface& m_s;
    const Pattern& m_pattern;
    BYTE m_code;
    DirtyBox m_dirty;
    std::vector<BYTE> m_patLine;
    std::vector<BYTE> m_zero;
};

} // namespace plat
