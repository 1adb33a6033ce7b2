// The memo body: loading and saving a seeded memo of 2000 strokes (four pages of 500,
// handwriting-like lengths of 20 to 160 points, pen, pencil, marker and brush) through
// GMemFile with zlib, and redrawing its first page through InkraMan's full buffer update on
// a 480 x 640 buffer.
//
// Counters: strokes/s and body bytes/s for load and save, strokes/s for the redraw.
#include "fundo/GMemFile.h"
#include "inkra/FileVersion.h"
#include "inkra/InkraMan.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 640;
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
GDObject* Word(Seeded& rnd, int index) {
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

void Build(InkraMan& man) {
    Seeded rnd(20261208);
    for (int p = 0; p < kPages; ++p) {
        InkraPage* page = AllocInkraPage();
        man.AddPage(page, 0);
        for (int s = 0; s < kStrokesPerPage; ++s)
            page->AddGDObject(Word(rnd, s));
    }
    man.SetCurPage(0, 0);
}

std::vector<BYTE> SavedBody() {
    InkraMan man;
    Build(man);
    GMemFile out;
    _FILE_VERSION v = kMemoFileVersion;
    man.Save(&out, v);
    return std::vector<BYTE>(out.GetBuffer(), out.GetBuffer() + out.Size());
}

const std::vector<BYTE>& Body() {
    static const std::vector<BYTE> body = SavedBody();
    return body;
}

void BM_MemoLoad(benchmark::State& state) {
    std::vector<BYTE> body = Body();
    InkraMan man;
    for (auto _ : state) {
        GMemFile in(body.data(), static_cast<DWORD>(body.size()));
        _FILE_VERSION v = kMemoFileVersion;
        tagPOINT extent{0, 0};
        if (!man.Load(&in, v, extent)) {
            state.SkipWithError("load failed");
            break;
        }
    }
    state.counters["strokes/s"] = benchmark::Counter(
        double(kPages * kStrokesPerPage) * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["body_bytes"] = double(body.size());
    state.SetBytesProcessed(int64_t(body.size()) * state.iterations());
}
BENCHMARK(BM_MemoLoad)->Unit(benchmark::kMillisecond);

void BM_MemoSave(benchmark::State& state) {
    InkraMan man;
    Build(man);
    int64_t bytes = 0;
    for (auto _ : state) {
        GMemFile out;
        man.SetObjectChanged(1);
        _FILE_VERSION v = kMemoFileVersion;
        if (!man.Save(&out, v)) {
            state.SkipWithError("save failed");
            break;
        }
        bytes += out.Size();
    }
    state.counters["strokes/s"] = benchmark::Counter(
        double(kPages * kStrokesPerPage) * state.iterations(), benchmark::Counter::kIsRate);
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_MemoSave)->Unit(benchmark::kMillisecond);

void BM_MemoRenderPage1(benchmark::State& state) {
    HDC dc = CreateCompatibleDC(nullptr);
    InkraMan man;
    man.InitBuffer(dc, RGB(255, 255, 224), kWidth, kHeight);
    std::vector<BYTE> body = Body();
    GMemFile in(body.data(), static_cast<DWORD>(body.size()));
    _FILE_VERSION v = kMemoFileVersion;
    tagPOINT extent{0, 0};
    if (!man.Load(&in, v, extent)) {
        state.SkipWithError("load failed");
        return;
    }
    for (auto _ : state) {
        tagRECT all{0, 0, kWidth, kHeight};
        man.UpdateBuffer(all);
        benchmark::DoNotOptimize(man.GetBufferBlock()->GetBits());
    }
    state.counters["strokes/s"] = benchmark::Counter(double(kStrokesPerPage) * state.iterations(),
                                                     benchmark::Counter::kIsRate);
    man.ReleaseBuffer();
    DeleteDC(dc);
}
BENCHMARK(BM_MemoRenderPage1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
