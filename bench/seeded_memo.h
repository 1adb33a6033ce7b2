// The seeded memo the memo benchmarks share: 2000 strokes on four pages of 500, handwriting-
// like lengths of 20 to 160 points, pen, pencil, marker and brush. It is the same on every
// machine, so figures from different days compare.
#pragma once

#include "inkra/InkraMan.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace seeded_memo {

constexpr int kPages = 4;
constexpr int kStrokesPerPage = 500;

// A small LCG so the memo is the same on every machine.
class Seeded {
public:
    explicit Seeded(std::uint32_t seed) : m_state(seed) {}
    double Next() {
        m_state = m_state * 1664525u + 1013904223u;
        return (m_state >> 8) / 16777216.0;
    }
    double Range(double lo, double hi) { return lo + (hi - lo) * Next(); }

private:
    std::uint32_t m_state;
};

// One word of cursive writing: loops along a baseline, sampled every 2 to 4 pixels.
inline GDObject* Word(Seeded& rnd, int index) {
    static const eDOStrokeType kTools[] = {eDOPen, eDOPen, eDOPen, eDOPencel, eDOMarker, eDOBrush};
    const eDOStrokeType tool = kTools[index % 6];
    GDObject* o = AllocGDObject();
    o->kind = DO_STROKE;
    o->strokeType = tool;
    o->SetColor(RGB(20 + index % 200, 40, 90));
    o->alpha = tool == eDOMarker ? 128 : 255;
    o->width = tool == eDOMarker ? 6 * FIXED_ONE : tool == eDOBrush ? 3 * FIXED_ONE : FIXED_ONE;
    const int count = static_cast<int>(rnd.Range(20, 160));
    const double line = (index / 6) % 24;
    const double baseline = 40 + line * 25;
    const double x0 = rnd.Range(10, 330);
    const double length = count * rnd.Range(2, 4) * 0.5;
    const double height = rnd.Range(10, 20);
    const double loops = std::max(2.0, std::round(length / rnd.Range(10, 16)));
    std::vector<GWPOINT> points(count);
    double minX = 1e9, minY = 1e9, maxX = -1e9, maxY = -1e9;
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / (count - 1);
        const double phase = t * loops * 2 * M_PI;
        const double y = baseline - height * (0.5 - 0.5 * std::cos(phase));
        const double x = x0 + length * t - 5 * std::sin(phase);
        GWPOINT& p = points[i];
        p.x = static_cast<LONG>(x * 65536);
        p.y = static_cast<LONG>(y * 65536);
        p.width = tool == eDOBrush ? static_cast<LONG>(o->width * (0.5 + 0.5 * std::sin(t * 3)))
                                   : o->width;
        p.alpha = o->alpha;
        minX = std::min(minX, x), maxX = std::max(maxX, x);
        minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
    o->pointCount = static_cast<WORD>(count);
    o->SetPointData(points.data());
    const int reach = o->width >> 16;
    o->bounds = tagRECT{static_cast<LONG>(minX) - reach - 1, static_cast<LONG>(minY) - reach - 1,
                        static_cast<LONG>(maxX) + reach + 2, static_cast<LONG>(maxY) + reach + 2};
    return o;
}

inline void Build(InkraMan& man) {
    Seeded rnd(20261208);
    for (int p = 0; p < kPages; ++p) {
        InkraPage* page = AllocInkraPage();
        man.AddPage(page, 0);
        for (int s = 0; s < kStrokesPerPage; ++s)
            page->AddGDObject(Word(rnd, s));
    }
    man.SetCurPage(0, 0);
}

} // namespace seeded_memo
