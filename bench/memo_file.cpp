// The memo body: loading and saving a seeded memo of 2000 strokes (four pages of 500,
// handwriting-like lengths of 20 to 160 points, pen, pencil, marker and brush) through
// GMemFile with zlib, and redrawing its first page through InkraMan's full buffer update on
// a 480 x 640 buffer.
//
// Counters: strokes/s and body bytes/s for load and save, strokes/s for the redraw.
#include "fundo/GMemFile.h"
#include "inkra/FileVersion.h"
#include "inkra/InkraMan.h"

#include "seeded_memo.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 640;
using seeded_memo::Build;
using seeded_memo::kPages;
using seeded_memo::kStrokesPerPage;

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
