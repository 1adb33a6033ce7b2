// Pen strokes: one-pixel lines with the dash styles and binary raster operations, and wide
// lines as the union of pen squares (so an XOR pen touches each pixel once).
#pragma once

#include "gdi_raster.h"

namespace plat {

class PenStroke {
public:
    explicit PenStroke(DCObj& dc);
    ~PenStroke();
    PenStroke(const PenStroke&) = delete;
    PenStroke& operator=(const PenStroke&) = delete;

    bool Visible() const { return m_visible; }
    // Device coordinates; the end point is left out, as LineTo does.
    void Segment(POINT a, POINT b);

private:
    void Dot(int x, int y);

    DCObj& m_dc;
    bool m_visible;
    int m_width;
    UINT m_style;
    bool m_opaqueGaps;
    int m_phase = 0;
    Pattern m_penPattern;
    Pattern m_bkPattern;
    PatternPainter m_pen;
    PatternPainter m_gap;
    std::vector<RECT> m_squares; // wide pens
};

} // namespace plat
