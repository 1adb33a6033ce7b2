// Filled shapes: Rectangle and Polygon. Interiors use the brush, outlines the pen, both
// through the binary raster operation.
#include "gdi_internal.h"
#include "gdi_pen.h"

#include <algorithm>
#include <cmath>

using namespace plat;

BOOL Rectangle(HDC h, int left, int top, int right, int bottom) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    if (!dc || !dc->surface)
        return FALSE;
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    const BYTE code = Rop2ToRop3(dc->attr.rop2);
    const PenObject* pen = dc->attr.pen.get();
    Pattern brush(*dc, dc->attr.brush.get(), 0);
    PatternPainter fill(*dc, brush, code);
    const POINT o = dc->origin;
    // Without a pen the filled area is one pixel smaller on the right and bottom.
    if (!pen || pen->style == PS_NULL) {
        fill.FillRect(RECT{left + o.x, top + o.y, right - 1 + o.x, bottom - 1 + o.y});
        return TRUE;
    }
    if (pen->style == PS_DASH || pen->style == PS_DOT) {
        fill.FillRect(RECT{left + 1 + o.x, top + 1 + o.y, right - 1 + o.x, bottom - 1 + o.y});
        PenStroke stroke(*dc);
        POINT p[5] = {{left, top},
                      {right - 1, top},
                      {right - 1, bottom - 1},
                      {left, bottom - 1},
                      {left, top}};
        for (int i = 0; i < 4; ++i)
            stroke.Segment(p[i], p[i + 1]);
        return TRUE;
    }
    // A wide pen is centred on the one-pixel outline, or kept inside with PS_INSIDEFRAME.
    const int w = pen->width;
    RECT outer{left + o.x, top + o.y, right + o.x, bottom + o.y};
    if (pen->style != PS_INSIDEFRAME) {
        const int lo = w / 2, hi = (w - 1) / 2;
        outer = RECT{outer.left - lo, outer.top - lo, outer.right + hi, outer.bottom + hi};
    }
    const RECT inner{outer.left + w, outer.top + w, outer.right - w, outer.bottom - w};
    Pattern penColor(*dc, nullptr, pen->color);
    PatternPainter frame(*dc, penColor, code);
    if (inner.left >= inner.right || inner.top >= inner.bottom) {
        frame.FillRect(outer);
        return TRUE;
    }
    frame.FillRect(RECT{outer.left, outer.top, outer.right, inner.top});
    frame.FillRect(RECT{outer.left, inner.bottom, outer.right, outer.bottom});
    frame.FillRect(RECT{outer.left, inner.top, inner.left, inner.bottom});
    frame.FillRect(RECT{inner.right, inner.top, outer.right, inner.bottom});
    fill.FillRect(inner);
    return TRUE;
}

namespace {

struct Crossing {
    double x;
    int dir;
};

// Fills the pixels whose centres lie inside the polygon, by the context's fill mode.
void FillPolygon(DCObj& dc, const POINT* pts, int count, PatternPainter& painter) {
    int minY = pts[0].y, maxY = pts[0].y;
    for (int i = 1; i < count; ++i) {
        minY = std::min(minY, pts[i].y);
        maxY = std::max(maxY, pts[i].y);
    }
    RECT box = dc.effectiveClip.Box();
    minY = std::max(minY, box.top - dc.origin.y);
    maxY = std::min(maxY, box.bottom - dc.origin.y);
    const bool winding = dc.attr.polyFillMode == WINDING;
    std::vector<Crossing> xs;
    for (int y = minY; y < maxY; ++y) {
        const double yc = y + 0.5;
        xs.clear();
        for (int i = 0; i < count; ++i) {
            const POINT& a = pts[i];
            const POINT& b = pts[(i + 1) % count];
            if (a.y == b.y)
                continue;
            const bool down = a.y < b.y;
            const double y0 = down ? a.y : b.y, y1 = down ? b.y : a.y;
            if (yc < y0 || yc >= y1)
                continue;
            double x = a.x + (yc - a.y) * (b.x - a.x) / static_cast<double>(b.y - a.y);
            xs.push_back(Crossing{x, down ? 1 : -1});
        }
        std::sort(xs.begin(), xs.end(),
                  [](const Crossing& p, const Crossing& q) { return p.x < q.x; });
        int wind = 0;
        for (size_t k = 0; k + 1 < xs.size(); ++k) {
            wind += xs[k].dir;
            bool inside = winding ? wind != 0 : (k % 2) == 0;
            if (!inside)
                continue;
            int x0 = static_cast<int>(std::ceil(xs[k].x - 0.5));
            int x1 = static_cast<int>(std::ceil(xs[k + 1].x - 0.5));
            if (x0 < x1)
                painter.Span(y + dc.origin.y, x0 + dc.origin.x, x1 + dc.origin.x);
        }
    }
}

} // namespace

BOOL Polygon(HDC h, const POINT* points, int count) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    if (!dc || !dc->surface || !points || count < 2)
        return FALSE;
    {
        Pattern brush(*dc, dc->attr.brush.get(), 0);
        PatternPainter fill(*dc, brush, Rop2ToRop3(dc->attr.rop2));
        if (!brush.Empty() && count >= 3)
            FillPolygon(*dc, points, count, fill);
    }
    PenStroke stroke(*dc);
    for (int i = 0; i < count; ++i)
        stroke.Segment(points[i], points[(i + 1) % count]);
    return TRUE;
}
