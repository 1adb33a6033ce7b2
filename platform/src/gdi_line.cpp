// Lines: MoveToEx/LineTo and Polyline.
#include "gdi_pen.h"

#include <cstdlib>

namespace plat {
namespace {

const PenObject* PenOf(const DCObj& dc) {
    return dc.attr.pen.get();
}

// Dash lengths of the one-pixel styles, on then off.
constexpr int kDashOn = 18, kDashOff = 6, kDotOn = 3, kDotOff = 3;

} // namespace

PenStroke::PenStroke(DCObj& dc)
    : m_dc(dc), m_visible(dc.surface && PenOf(dc) && PenOf(dc)->style != PS_NULL),
      m_width(PenOf(dc) ? PenOf(dc)->width : 1), m_style(PenOf(dc) ? PenOf(dc)->style : PS_NULL),
      m_opaqueGaps(dc.attr.bkMode == OPAQUE),
      m_penPattern(dc, nullptr, PenOf(dc) ? PenOf(dc)->color : 0),
      m_bkPattern(dc, nullptr, dc.attr.bkColor), m_pen(dc, m_penPattern, Rop2ToRop3(dc.attr.rop2)),
      m_gap(dc, m_bkPattern, Rop2ToRop3(dc.attr.rop2)) {}

PenStroke::~PenStroke() {
    if (m_squares.empty())
        return;
    Region r = Region::FromRects(m_squares.data(), m_squares.size());
    for (const RECT& rc : r.Rects())
        m_pen.FillRect(rc);
}

void PenStroke::Dot(int x, int y) {
    const int sx = x + m_dc.origin.x, sy = y + m_dc.origin.y;
    if (m_width > 1) {
        int lo = m_width / 2, hi = (m_width - 1) / 2 + 1;
        m_squares.push_back(RECT{sx - lo, sy - lo, sx + hi, sy + hi});
        return;
    }
    bool on = true;
    if (m_style == PS_DASH || m_style == PS_DOT) {
        int a = m_style == PS_DASH ? kDashOn : kDotOn, b = m_style == PS_DASH ? kDashOff : kDotOff;
        on = m_phase % (a + b) < a;
        ++m_phase;
    }
    if (on)
        m_pen.Plot(sx, sy);
    else if (m_opaqueGaps)
        m_gap.Plot(sx, sy);
}

void PenStroke::Segment(POINT a, POINT b) {
    if (!m_visible)
        return;
    int x = a.x, y = a.y;
    const int dx = std::abs(b.x - a.x), dy = std::abs(b.y - a.y);
    const int stepX = a.x < b.x ? 1 : -1, stepY = a.y < b.y ? 1 : -1;
    if (dx >= dy) {
        int err = dx / 2;
        for (int i = 0; i < dx; ++i) {
            Dot(x, y);
            x += stepX;
            err -= dy;
            if (err < 0) {
                y += stepY;
                err += dx;
            }
        }
    } else {
        int err = dy / 2;
        for (int i = 0; i < dy; ++i) {
            Dot(x, y);
            y += stepY;
            err -= dx;
            if (err < 0) {
                x += stepX;
                err += dy;
            }
        }
    }
}

} // namespace plat

using namespace plat;

BOOL LineTo(HDC h, int x, int y) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    if (!dc || !dc->surface)
        return FALSE;
    {
        PenStroke stroke(*dc);
        stroke.Segment(dc->attr.pos, POINT{x, y});
    }
    dc->attr.pos = POINT{x, y};
    return TRUE;
}

BOOL Polyline(HDC h, const POINT* points, int count) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    if (!dc || !dc->surface || !points || count < 2)
        return FALSE;
    PenStroke stroke(*dc);
    for (int i = 0; i + 1 < count; ++i)
        stroke.Segment(points[i], points[i + 1]);
    return TRUE;
}
