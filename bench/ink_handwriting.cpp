// Handwriting through the draw manager: a fixed, seeded page of pen, pencil, marker and
// brush strokes shaped like lines of cursive writing on a 480 × 640 page, fed as pen events
// (the incremental drawing the user sees while writing) and redrawn whole with UpdateBuffer.
// The same strokes go through cairo as round-capped antialiased polylines into an RGB24
// surface of the same size, the way most Linux note apps draw ink.
//
// Counters: points/s, and for the incremental cases the time of one pen move (median and
// 99th percentile, in microseconds).
//
// On a machine whose speed drifts, compare the engine with cairo through medians of
// repetitions run in turn: --benchmark_repetitions=9 --benchmark_enable_random_interleaving=true
#include "inkra/InkraMan.h"
#include "inkra/InkraPage.h"

#include <benchmark/benchmark.h>

#ifdef SCRIBBO_HAVE_CAIRO
#include <cairo.h>
#endif

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 640;
constexpr COLORREF kPaper = RGB(255, 255, 224);

struct Sample {
    int x, y, pressure;
};

struct Stroke {
    eDOStrokeType tool;
    double halfWidth; // pixels, centre line to edge
    COLORREF colour;
    std::vector<Sample> samples;
};

// A small LCG so the page is the same on every library and machine.
class Seeded {
public:
    explicit Seeded(std::uint32_t seed) : m_state(seed) {}
    double Next() { // [0, 1)
        m_state = m_state * 1664525u + 1013904223u;
        return (m_state >> 8) / 16777216.0;
    }
    double Range(double lo, double hi) { return lo + (hi - lo) * Next(); }

private:
    std::uint32_t m_state;
};

// One word: a run of loops along the baseline, as cursive letters are, sampled every 2 to
// 4 pixels the way a stylus digitiser reports a moving pen.
Stroke Word(Seeded& rnd, double x0, double baseline, double length, eDOStrokeType tool,
            double halfWidth, COLORREF colour) {
    Stroke s{tool, halfWidth, colour, {}};
    const double height = rnd.Range(14, 24);
    const double loops = std::max(2.0, std::round(length / rnd.Range(10, 16)));
    const double slant = rnd.Range(0.1, 0.3);
    const int count = static_cast<int>(length * rnd.Range(0.4, 0.6)) + 8;
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / (count - 1);
        const double phase = t * loops * 2 * M_PI;
        const double up = 0.5 - 0.5 * std::cos(phase) * (0.7 + 0.3 * std::sin(phase * 0.37));
        const double y = baseline - height * up;
        const double x = x0 + length * t - 5 * std::sin(phase) + slant * (baseline - y);
        const int pressure = static_cast<int>(150 + 100 * std::sin(t * M_PI));
        s.samples.push_back(
            Sample{static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)), pressure});
    }
    return s;
}

// A highlighter pass over a line: nearly straight, slowly wandering.
Stroke Highlight(Seeded& rnd, double x0, double y0, double length, double halfWidth) {
    Stroke s{eDOMarker, halfWidth, RGB(255, 220, 0), {}};
    const int count = static_cast<int>(length / 3);
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / (count - 1);
        s.samples.push_back(Sample{
            static_cast<int>(std::lround(x0 + length * t)),
            static_cast<int>(std::lround(y0 + 2 * std::sin(t * 5) + rnd.Range(-0.5, 0.5))), 255});
    }
    return s;
}

const std::vector<Stroke>& Page() {
    static const std::vector<Stroke> page = [] {
        Seeded rnd(20261208);
        std::vector<Stroke> strokes;
        for (int line = 0; line < 13; ++line) {
            const double baseline = 60 + 44 * line;
            double x = 16;
            int word = 0;
            while (x < kWidth - 60) {
                const double length = rnd.Range(30, 90);
                const int kind = (line + word) % 4;
                if (kind == 0 || kind == 3)
                    strokes.push_back(
                        Word(rnd, x, baseline, length, eDOPen, rnd.Range(0.5, 1.2), RGB(0, 0, 96)));
                else if (kind == 1)
                    strokes.push_back(Word(rnd, x, baseline, length, eDOPencel, rnd.Range(0.8, 1.5),
                                           RGB(60, 60, 60)));
                else
                    strokes.push_back(Word(rnd, x, baseline, length, eDOBrush, rnd.Range(2.0, 4.0),
                                           RGB(128, 0, 0)));
                x += length + rnd.Range(12, 24);
                ++word;
            }
            if (line % 3 == 1)
                strokes.push_back(
                    Highlight(rnd, 20, baseline - 8, rnd.Range(200, 420), rnd.Range(5.0, 8.0)));
        }
        return strokes;
    }();
    return page;
}

long long PointCount() {
    long long n = 0;
    for (const Stroke& s : Page())
        n += static_cast<long long>(s.samples.size());
    return n;
}

void SetTool(InkraMan& man, const Stroke& s) {
    const LONG width = static_cast<LONG>(s.halfWidth * 65536);
    man.SetDOStrokeType(s.tool);
    switch (s.tool) {
        case eDOPencel:
            man.SetPencelColor(s.colour);
            man.SetPencelWidth(width);
            man.SetMaxAlpha(255);
            break;
        case eDOMarker:
            man.SetMarkerColor(s.colour);
            man.SetMarkerWidth(width);
            man.SetMaxAlpha(128);
            break;
        case eDOBrush:
            man.SetBrushColor(s.colour);
            man.SetBrushWidth(width);
            man.SetMaxAlpha(255);
            break;
        default:
            man.SetPenColor(s.colour);
            man.SetPenWidth(width);
            man.SetMaxAlpha(255);
            break;
    }
}

struct Engine {
    HDC dc = CreateCompatibleDC(nullptr);
    InkraMan man;
    Engine() {
        man.InitBuffer(dc, kPaper, kWidth, kHeight);
        man.SetCurPage(-1, 0);
    }
    ~Engine() {
        man.ReleaseBuffer();
        DeleteDC(dc);
    }
    // Writes the whole page as pen events; move times go to moves when given.
    void Write(std::vector<double>* moves) {
        for (const Stroke& s : Page()) {
            SetTool(man, s);
            const Sample& first = s.samples.front();
            benchmark::DoNotOptimize(man.LButtonDown(first.x, first.y, first.pressure));
            for (size_t i = 1; i < s.samples.size(); ++i) {
                const Sample& p = s.samples[i];
                if (moves) {
                    auto start = std::chrono::steady_clock::now();
                    benchmark::DoNotOptimize(man.MouseMove(p.x, p.y, p.pressure));
                    auto end = std::chrono::steady_clock::now();
                    moves->push_back(
                        std::chrono::duration<double, std::micro>(end - start).count());
                } else {
                    benchmark::DoNotOptimize(man.MouseMove(p.x, p.y, p.pressure));
                }
            }
            const Sample& last = s.samples.back();
            benchmark::DoNotOptimize(man.LButtonUp(last.x, last.y, last.pressure));
        }
    }
};

void ReportMoves(benchmark::State& state, std::vector<double>& moves) {
    if (moves.empty())
        return;
    std::sort(moves.begin(), moves.end());
    state.counters["move_median_us"] = moves[moves.size() / 2];
    state.counters["move_p99_us"] = moves[moves.size() * 99 / 100];
}

void ReportPoints(benchmark::State& state) {
    state.counters["points/s"] = benchmark::Counter(
        static_cast<double>(PointCount()) * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["points"] = static_cast<double>(PointCount());
    state.counters["strokes"] = static_cast<double>(Page().size());
}

void BM_InkIncremental(benchmark::State& state) {
    Engine engine;
    std::vector<double> moves;
    for (auto _ : state) {
        state.PauseTiming();
        engine.man.ClearCurPage();
        state.ResumeTiming();
        engine.Write(&moves);
    }
    ReportPoints(state);
    ReportMoves(state, moves);
}
BENCHMARK(BM_InkIncremental)->Unit(benchmark::kMillisecond);

// The argument is the number of row bands the redraw may use: 1 a single pass, 0 one per
// core. Wall time, and the processor time of every thread.
void BM_InkFullRedraw(benchmark::State& state) {
    Engine engine;
    engine.Write(nullptr);
    InkraSetRedrawBands(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        tagRECT all{0, 0, kWidth, kHeight};
        engine.man.UpdateBuffer(all);
        benchmark::DoNotOptimize(engine.man.GetBufferBlock()->GetBits());
    }
    InkraSetRedrawBands(0);
    ReportPoints(state);
}
BENCHMARK(BM_InkFullRedraw)
    ->Arg(1)
    ->Arg(0)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

#ifdef SCRIBBO_HAVE_CAIRO

void SetSource(cairo_t* cr, const Stroke& s) {
    const double r = GetRValue(s.colour) / 255.0, g = GetGValue(s.colour) / 255.0,
                 b = GetBValue(s.colour) / 255.0;
    if (s.tool == eDOMarker)
        cairo_set_source_rgba(cr, r, g, b, 0.5);
    else
        cairo_set_source_rgb(cr, r, g, b);
}

// The engine's brush follows pressure; cairo gets the same width per segment.
double SegmentWidth(const Stroke& s, const Sample& p) {
    return s.tool == eDOBrush ? 2 * s.halfWidth * p.pressure / 255.0 : 2 * s.halfWidth;
}

struct Cairo {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
    cairo_t* cr = cairo_create(surface);
    Cairo() {
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
        Clear();
    }
    ~Cairo() {
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
    void Clear() {
        cairo_set_source_rgb(cr, 1.0, 1.0, 224 / 255.0);
        cairo_paint(cr);
    }
};

void BM_CairoIncremental(benchmark::State& state) {
    Cairo c;
    std::vector<double> moves;
    for (auto _ : state) {
        state.PauseTiming();
        c.Clear();
        state.ResumeTiming();
        for (const Stroke& s : Page()) {
            SetSource(c.cr, s);
            // The pen-down dot.
            const Sample& first = s.samples.front();
            cairo_set_line_width(c.cr, SegmentWidth(s, first));
            cairo_move_to(c.cr, first.x, first.y);
            cairo_line_to(c.cr, first.x, first.y);
            cairo_stroke(c.cr);
            for (size_t i = 1; i < s.samples.size(); ++i) {
                const Sample& a = s.samples[i - 1];
                const Sample& p = s.samples[i];
                auto start = std::chrono::steady_clock::now();
                cairo_set_line_width(c.cr, SegmentWidth(s, p));
                cairo_move_to(c.cr, a.x, a.y);
                cairo_line_to(c.cr, p.x, p.y);
                cairo_stroke(c.cr);
                auto end = std::chrono::steady_clock::now();
                moves.push_back(std::chrono::duration<double, std::micro>(end - start).count());
            }
        }
        cairo_surface_flush(c.surface);
    }
    ReportPoints(state);
    ReportMoves(state, moves);
}
BENCHMARK(BM_CairoIncremental)->Unit(benchmark::kMillisecond);

void BM_CairoFullRedraw(benchmark::State& state) {
    Cairo c;
    for (auto _ : state) {
        c.Clear();
        for (const Stroke& s : Page()) {
            SetSource(c.cr, s);
            if (s.tool == eDOBrush) {
                // Width changes along the stroke: one piece per segment.
                for (size_t i = 1; i < s.samples.size(); ++i) {
                    cairo_set_line_width(c.cr, SegmentWidth(s, s.samples[i]));
                    cairo_move_to(c.cr, s.samples[i - 1].x, s.samples[i - 1].y);
                    cairo_line_to(c.cr, s.samples[i].x, s.samples[i].y);
                    cairo_stroke(c.cr);
                }
                continue;
            }
            cairo_set_line_width(c.cr, 2 * s.halfWidth);
            cairo_move_to(c.cr, s.samples[0].x, s.samples[0].y);
            for (const Sample& p : s.samples)
                cairo_line_to(c.cr, p.x, p.y);
            cairo_stroke(c.cr);
        }
        cairo_surface_flush(c.surface);
        benchmark::DoNotOptimize(cairo_image_surface_get_data(c.surface));
    }
    ReportPoints(state);
}
BENCHMARK(BM_CairoFullRedraw)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

#endif

} // namespace

BENCHMARK_MAIN();
