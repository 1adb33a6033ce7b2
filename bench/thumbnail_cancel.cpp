// Hiding the picture chooser's preview while its worker decodes a 4000 x 3000 JPEG: how long
// the hide takes (it sets the cancel flag and waits for the worker, which stops at the
// decoder's next progress call). Target: under 50 ms.
//
// Counters: hide ms (mean of the iterations), worst ms, the share of decodes that were still
// running when hidden, and the progress calls a decode made before it stopped.
#include "scribbo/GThumbnailWnd.h"

#include <TestDevice.h>
#include <platform/display.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

int MakeJpeg(LPCWSTR path) {
    GImage image;
    if (!image.Create(4000, 3000))
        return 0;
    // Stripes and blocks, so the decoder has real work in every block.
    for (int y = 0; y < 3000; y += 40)
        image.FillRect(0, y, 4000, 20, RGB(y % 255, 90, 200 - y % 200), 255);
    for (int x = 0; x < 4000; x += 250)
        image.FillRect(x, 0, 60, 3000, RGB(30, x % 255, 60), 255);
    return image.Save(path, eImageJPEG) > 0;
}

void BM_HidePreviewDuringDecode(benchmark::State& state) {
    TestDevice device;
    plat::StartHeadless(480, 640);
    if (!MakeJpeg(u"\\big.jpg")) {
        state.SkipWithError("could not write the JPEG");
        return;
    }
    GThumbnailWnd thumb;
    if (!thumb.Create(nullptr, u"Thumbnail", WS_POPUP, 10, 10, 200, 150)) {
        state.SkipWithError("no window");
        return;
    }
    const auto delay = std::chrono::milliseconds(state.range(0));
    double worst = 0;
    int running = 0;
    long long calls = 0;
    for (auto _ : state) {
        thumb.Start(u"\\big.jpg");
        std::this_thread::sleep_for(delay);
        const int wasRunning = thumb.IsLoading();
        const auto t0 = Clock::now();
        thumb.ShowWindow(SW_HIDE);
        const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
        state.SetIterationTime(seconds);
        worst = std::max(worst, seconds * 1000);
        running += wasRunning;
        calls += thumb.GetProgressCalls();
    }
    state.counters["worst ms"] = worst;
    state.counters["still decoding %"] = 100.0 * running / double(state.iterations());
    state.counters["progress calls"] = double(calls) / double(state.iterations());
    thumb.Destroy();
}
BENCHMARK(BM_HidePreviewDuringDecode)
    ->Arg(5)
    ->Arg(40)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

// For comparison: the whole decode of the same file down to the preview's width.
void BM_WholeDecode(benchmark::State& state) {
    TestDevice device;
    if (!MakeJpeg(u"\\big.jpg")) {
        state.SkipWithError("could not write the JPEG");
        return;
    }
    for (auto _ : state) {
        GImage image;
        image.SetOutputWidth(200);
        benchmark::DoNotOptimize(image.Load(u"\\big.jpg"));
    }
}
BENCHMARK(BM_WholeDecode)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
