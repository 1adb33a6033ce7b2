// The fixed-point functions on the ink path: every stroke point goes through a length,
// a matrix transform and, for the general segment walk, a sine and cosine.
#include "fundo/Geometry.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

constexpr int kCount = 4096;

// Deterministic spread of 16.16 values, a few hundred pixels either way.
std::vector<LONG> Values(std::uint32_t seed) {
    std::vector<LONG> v(kCount);
    for (LONG& x : v) {
        seed = seed * 1664525u + 1013904223u;
        x = static_cast<LONG>(seed >> 7) - (1 << 24);
    }
    return v;
}

void BM_PointLength(benchmark::State& state) {
    const std::vector<LONG> xs = Values(1), ys = Values(2);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(PointLength(xs[i], ys[i]));
        i = (i + 1) & (kCount - 1);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PointLength);

void BM_FPSin(benchmark::State& state) {
    std::vector<LONG> angles = Values(3);
    for (LONG& a : angles)
        a *= 3; // beyond a full turn both ways, so the reduction runs
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(_FPSin(angles[i], 16, 16));
        i = (i + 1) & (kCount - 1);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FPSin);

void BM_FPSinCos(benchmark::State& state) {
    const std::vector<LONG> angles = Values(4);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(_FPSin(angles[i], 16, 16));
        benchmark::DoNotOptimize(_FPCos(angles[i], 16, 16));
        i = (i + 1) & (kCount - 1);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FPSinCos);

MATRIX ViewMatrix() {
    MATRIX m;
    MatrixIdentity(&m);
    MatrixScale(3 * FIXED_ONE / 2, 3 * FIXED_ONE / 2, &m);
    MatrixRotate(30 * FIXED_ONE, &m);
    MatrixTranslate(40 * FIXED_ONE, -25 * FIXED_ONE, &m);
    MatrixSetCenter(120 * FIXED_ONE, 160 * FIXED_ONE, &m);
    return m;
}

void BM_MatrixTransformPoint(benchmark::State& state) {
    const MATRIX m = ViewMatrix();
    const std::vector<LONG> xs = Values(5), ys = Values(6);
    std::size_t i = 0;
    for (auto _ : state) {
        tagPOINT p{xs[i], ys[i]};
        MatrixTransformPoint(&m, &p, &p);
        benchmark::DoNotOptimize(p);
        i = (i + 1) & (kCount - 1);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MatrixTransformPoint);

// The stroke form also maps the width, which costs one PointLength.
void BM_MatrixTransformStrokePoint(benchmark::State& state) {
    const MATRIX m = ViewMatrix();
    const std::vector<LONG> xs = Values(7), ys = Values(8);
    std::size_t i = 0;
    for (auto _ : state) {
        GWPOINT p{xs[i], ys[i], 3 * FIXED_ONE + (xs[i] & 0xFFFF), 200, {}};
        MatrixTransformPoint(&m, &p, &p);
        benchmark::DoNotOptimize(p);
        i = (i + 1) & (kCount - 1);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MatrixTransformStrokePoint);

void BM_FPATan2(benchmark::State& state) {
    const std::vector<LONG> xs = Values(9), ys = Values(10);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(_FPATan2(ys[i], xs[i], 16, 16));
        i = (i + 1) & (kCount - 1);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FPATan2);

} // namespace

BENCHMARK_MAIN();
