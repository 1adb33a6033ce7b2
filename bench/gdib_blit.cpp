// DrawDib bitmap-to-bitmap on 480 × 640 bitmaps, in megapixels per second, beside memcpy of
// the same bytes as the physical limit.
#include "fundo/GDib.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 640;

// A picture with some variety, so no case runs on constant data.
void Paint(GDib& d) {
    for (int y = 0; y < d.Height(); ++y) {
        BYTE* row = d.GetBits() + static_cast<size_t>(d.Height() - 1 - y) * d.GetLineSize();
        for (int x = 0; x < d.Width(); ++x) {
            row[3 * x] = static_cast<BYTE>(x * 7 + y);
            row[3 * x + 1] = static_cast<BYTE>(x ^ y);
            row[3 * x + 2] = static_cast<BYTE>(y * 3);
        }
    }
}

// Squares of 8 × 8 pixels in the key colour on a chessboard: half the pixels are skipped.
void PaintKeyed(GDib& d, COLORREF key) {
    Paint(d);
    for (int y = 0; y < d.Height(); ++y)
        for (int x = 0; x < d.Width(); ++x)
            if (((x >> 3) + (y >> 3)) & 1)
                d.FillRect(x, y, 1, 1, key);
}

void Report(benchmark::State& state, long long pixels) {
    state.counters["Mpx/s"] = benchmark::Counter(
        static_cast<double>(pixels) * state.iterations() / 1e6, benchmark::Counter::kIsRate);
    state.SetBytesProcessed(static_cast<int64_t>(pixels) * 3 * state.iterations());
}

void BM_Memcpy(benchmark::State& state) {
    size_t bytes = static_cast<size_t>(GDib::LineSize(kWidth, 24)) * kHeight;
    std::vector<BYTE> a(bytes, 1), b(bytes, 2);
    for (auto _ : state) {
        std::memcpy(b.data(), a.data(), bytes);
        benchmark::DoNotOptimize(b.data());
        benchmark::ClobberMemory();
    }
    Report(state, static_cast<long long>(kWidth) * kHeight);
}
BENCHMARK(BM_Memcpy);

void Compose(benchmark::State& state, GDib& src, int tw, int th, int mode, int alpha, int keyed) {
    GDib dst;
    if (!dst.Create(tw, th, 24)) {
        state.SkipWithError("no bitmap");
        return;
    }
    dst.SetBackColor(RGB(90, 120, 150));
    for (auto _ : state) {
        int r = src.DrawDib(&dst, 0, 0, tw, th, 0, 0, 0, 0, mode, alpha, keyed);
        benchmark::DoNotOptimize(r);
        benchmark::ClobberMemory();
    }
    Report(state, static_cast<long long>(tw) * th);
}

void BM_OpaqueCopy(benchmark::State& state) {
    GDib src;
    src.Create(kWidth, kHeight, 24);
    Paint(src);
    Compose(state, src, kWidth, kHeight, 1, 255, 0);
}
BENCHMARK(BM_OpaqueCopy);

void BM_AlphaBlend(benchmark::State& state) {
    GDib src;
    src.Create(kWidth, kHeight, 24);
    Paint(src);
    Compose(state, src, kWidth, kHeight, 1, 96, 0);
}
BENCHMARK(BM_AlphaBlend);

void BM_KeyedCopy(benchmark::State& state) {
    GDib src;
    src.Create(kWidth, kHeight, 24);
    PaintKeyed(src, RGB(255, 0, 255));
    src.SetTransColor(RGB(255, 0, 255));
    Compose(state, src, kWidth, kHeight, 1, 255, 1);
}
BENCHMARK(BM_KeyedCopy);

// A sprite: one opaque disc on a keyed background, so the runs are long.
void BM_KeyedCopySprite(benchmark::State& state) {
    GDib src;
    src.Create(kWidth, kHeight, 24);
    Paint(src);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            long long dx = x - kWidth / 2, dy = y - kHeight / 2;
            if (dx * dx + dy * dy > 200LL * 200)
                src.FillRect(x, y, 1, 1, RGB(255, 0, 255));
        }
    src.SetTransColor(RGB(255, 0, 255));
    Compose(state, src, kWidth, kHeight, 1, 255, 1);
}
BENCHMARK(BM_KeyedCopySprite);

void BM_KeyedAlpha(benchmark::State& state) {
    GDib src;
    src.Create(kWidth, kHeight, 24);
    PaintKeyed(src, RGB(255, 0, 255));
    src.SetTransColor(RGB(255, 0, 255));
    Compose(state, src, kWidth, kHeight, 1, 96, 1);
}
BENCHMARK(BM_KeyedAlpha);

// Smooth stretch from half size up to 480 × 640, and from 480 × 640 down to 360 × 480.
void BM_SmoothStretchUp(benchmark::State& state) {
    GDib src;
    src.Create(kWidth / 2, kHeight / 2, 24);
    Paint(src);
    Compose(state, src, kWidth, kHeight, 2, 255, 0);
}
BENCHMARK(BM_SmoothStretchUp);

void BM_SmoothStretchDown(benchmark::State& state) {
    GDib src;
    src.Create(kWidth, kHeight, 24);
    Paint(src);
    Compose(state, src, kWidth * 3 / 4, kHeight * 3 / 4, 2, 255, 0);
}
BENCHMARK(BM_SmoothStretchDown);

void BM_NearestStretchUp(benchmark::State& state) {
    GDib src;
    src.Create(kWidth / 2, kHeight / 2, 24);
    Paint(src);
    Compose(state, src, kWidth, kHeight, 1, 255, 0);
}
BENCHMARK(BM_NearestStretchUp);

void BM_Palette8Copy(benchmark::State& state) {
    GDib src;
    src.Create(kWidth, kHeight, 8);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            src.SetPixelIndex(x, y, static_cast<BYTE>(x + y));
    Compose(state, src, kWidth, kHeight, 1, 255, 0);
}
BENCHMARK(BM_Palette8Copy);

void BM_SetBackColor(benchmark::State& state) {
    GDib d;
    d.Create(kWidth, kHeight, 24);
    for (auto _ : state) {
        d.SetBackColor(RGB(10, 20, 30));
        benchmark::ClobberMemory();
    }
    Report(state, static_cast<long long>(kWidth) * kHeight);
}
BENCHMARK(BM_SetBackColor);

} // namespace

BENCHMARK_MAIN();
