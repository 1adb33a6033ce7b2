// The brush rasterisers on the ink path: seeded handwriting-like strokes on a 480 x 640
// buffer, drawn segment by segment as the pen moves, per tool. With cairo available the same
// strokes are drawn by cairo as round-capped antialiased lines into an RGB24 surface, once
// segment by segment (as an incremental ink view must) and once as whole polylines.
#include "inkra/GDObject.h"
#include "inkra/InkBrush.h"

#include <benchmark/benchmark.h>

#ifdef SCRIBBO_HAVE_CAIRO
#include <cairo.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr int kWidth = 480, kHeight = 640;

struct Stroke {
    std::vector<GWPOINT> points;
};

// Lines of cursive-like loops: the pen runs right along a text line with a wobble of letter
// height, sampled every 2-4 pixels as a stylus reports it. Deterministic.
std::vector<Stroke> Handwriting(double radius, double radiusEnd) {
    std::uint32_t seed = 12345;
    auto rnd = [&] {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) / 16777216.0;
    };
    std::vector<Stroke> strokes;
    for (int line = 0; line < 14; ++line) {
        double baseY = 40 + line * 42;
        double x = 20 + 10 * rnd();
        while (x < 440) {
            Stroke s;
            const int n = 20 + static_cast<int>(40 * rnd());
            const double f1 = 0.15 + 0.1 * rnd(), f2 = 0.05 + 0.05 * rnd();
            for (int i = 0; i < n && x < 460; ++i) {
                double t = i / static_cast<double>(n);
                double y = baseY - 12 * std::sin(i * f1 * 3.1) - 5 * std::cos(i * f2 * 7.0);
                GWPOINT p{};
                p.x = static_cast<LONG>(x * 65536);
                p.y = static_cast<LONG>(y * 65536);
                p.width = static_cast<LONG>((radius + (radiusEnd - radius) * t) * 65536);
                p.alpha = 128;
                s.points.push_back(p);
                x += 1.0 + 2.0 * rnd();
            }
            x += 8 + 10 * rnd();
            strokes.push_back(std::move(s));
        }
    }
    return strokes;
}

size_t Segments(const std::vector<Stroke>& strokes) {
    size_t n = 0;
    for (const Stroke& s : strokes)
        n += s.points.size() - 1;
    return n;
}

struct Tool {
    InkRasterProc raster;
    InkBlendProc blend;
    double radius, radiusEnd;
    BYTE alpha;
};

void RunInk(benchmark::State& state, Tool tool) {
    GDib buffer, back;
    buffer.Create(kWidth, kHeight, 24);
    back.Create(kWidth, kHeight, 24);
    back.SetBackColor(RGB(255, 255, 192));
    buffer.CopyDib(&back);
    std::vector<BYTE> mask(kWidth * kHeight, 0);
    const auto strokes = Handwriting(tool.radius, tool.radiusEnd);
    const tagRECT clip{0, 0, kWidth, kHeight};
    // Argument 1: pen-up clears the whole mask, as the draw manager does; 0: only the rows
    // and columns the stroke's rectangles cover, to show the rasteriser alone.
    const bool wholeMask = state.range(0) != 0;
    for (auto _ : state) {
        for (const Stroke& s : strokes) {
            GWPOINT* p = const_cast<GWPOINT*>(s.points.data());
            tagRECT used{kWidth, kHeight, 0, 0};
            for (size_t i = 0; i + 1 < s.points.size(); ++i) {
                tagRECT r =
                    tool.raster(&buffer, &back, mask.data(), clip, p[i], p[i + 1], INK_LINE_FACTOR,
                                INK_DIVIDE_FACTOR, tool.alpha, 20, 20, 120, tool.blend);
                used.left = std::min(used.left, r.left);
                used.top = std::min(used.top, r.top);
                used.right = std::max(used.right, r.right);
                used.bottom = std::max(used.bottom, r.bottom);
            }
            if (wholeMask || tool.raster == DrawPencel) {
                std::memset(mask.data(), 0, mask.size());
            } else {
                const int x0 = std::max<LONG>(used.left, 0),
                          x1 = std::min<LONG>(used.right, kWidth);
                for (int y = std::max<LONG>(used.top, 0); y < std::min<LONG>(used.bottom, kHeight);
                     ++y)
                    if (x1 > x0)
                        std::memset(mask.data() + y * kWidth + x0, 0, x1 - x0);
            }
        }
        benchmark::ClobberMemory();
    }
    const double segs = static_cast<double>(Segments(strokes));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * segs));
    state.counters["segments"] = segs;
    state.counters["us_per_segment"] = benchmark::Counter(
        segs * 1e-6, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_InkPen(benchmark::State& s) {
    RunInk(s, {DrawFixWidth, BlendPen, 0.5, 1.0, 255});
}
void BM_InkPencel(benchmark::State& s) {
    RunInk(s, {DrawPencel, BlendPencel, 1.0, 1.0, 200});
}
void BM_InkMarker(benchmark::State& s) {
    RunInk(s, {DrawFixWidth, BlendMarker, 6.0, 6.0, 128});
}
void BM_InkBrush(benchmark::State& s) {
    RunInk(s, {DrawVarWidth, BlendMarker, 2.0, 8.0, 255});
}
void BM_InkEraser(benchmark::State& s) {
    RunInk(s, {DrawFixWidth, BlendEraser, 8.0, 8.0, 128});
}
BENCHMARK(BM_InkPen)->Arg(1)->Arg(0);
BENCHMARK(BM_InkPencel)->Arg(1)->Arg(0);
BENCHMARK(BM_InkMarker)->Arg(1)->Arg(0);
BENCHMARK(BM_InkBrush)->Arg(1)->Arg(0);
BENCHMARK(BM_InkEraser)->Arg(1)->Arg(0);

#ifdef SCRIBBO_HAVE_CAIRO

// Cairo with the same geometry: line width is twice the radius, round caps and joins.
void RunCairo(benchmark::State& state, double radius, double radiusEnd, bool perSegment) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 0.75);
    cairo_paint(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
    cairo_set_source_rgba(cr, 120 / 255.0, 20 / 255.0, 20 / 255.0, 1.0);
    const auto strokes = Handwriting(radius, radiusEnd);
    for (auto _ : state) {
        for (const Stroke& s : strokes) {
            const auto& p = s.points;
            if (perSegment) {
                for (size_t i = 0; i + 1 < p.size(); ++i) {
                    cairo_set_line_width(cr, 2.0 * p[i].width / 65536.0);
                    cairo_move_to(cr, p[i].x / 65536.0, p[i].y / 65536.0);
                    cairo_line_to(cr, p[i + 1].x / 65536.0, p[i + 1].y / 65536.0);
                    cairo_stroke(cr);
                }
            } else {
                cairo_set_line_width(cr, 2.0 * p[0].width / 65536.0);
                cairo_move_to(cr, p[0].x / 65536.0, p[0].y / 65536.0);
                for (size_t i = 1; i < p.size(); ++i)
                    cairo_line_to(cr, p[i].x / 65536.0, p[i].y / 65536.0);
                cairo_stroke(cr);
            }
        }
        cairo_surface_flush(surface);
        benchmark::ClobberMemory();
    }
    const double segs = static_cast<double>(Segments(strokes));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * segs));
    state.counters["us_per_segment"] = benchmark::Counter(
        segs * 1e-6, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

void BM_CairoPenSegments(benchmark::State& s) {
    RunCairo(s, 0.5, 1.0, true);
}
void BM_CairoPenPolyline(benchmark::State& s) {
    RunCairo(s, 0.5, 1.0, false);
}
void BM_CairoMarkerSegments(benchmark::State& s) {
    RunCairo(s, 6.0, 6.0, true);
}
void BM_CairoMarkerPolyline(benchmark::State& s) {
    RunCairo(s, 6.0, 6.0, false);
}
BENCHMARK(BM_CairoPenSegments);
BENCHMARK(BM_CairoPenPolyline);
BENCHMARK(BM_CairoMarkerSegments);
BENCHMARK(BM_CairoMarkerPolyline);

#endif

} // namespace
BENCHMARK_MAIN();
