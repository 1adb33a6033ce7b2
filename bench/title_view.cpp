// The title view over a folder of 10,000 memos on the high-resolution screen: building the
// list (every header read), drawing one screen of grid previews, and the longest time the
// interface thread is held while the list scrolls as previews arrive.
//
// Counters: ms per list build (wall and the interface thread's CPU); ms until the screen's previews
// are drawn; the longest single interface-thread step (a scroll with its paint, or one message) in
// ms.
#include "scribbo/GPadDrawMan.h"
#include "scribbo/GTitleView.h"
#include "scribbo/Settings.h"
#include "winza/GLib.h"
#include "winza/GlobalDC.h"
#include "winza/Hires.h"

#include <TestDevice.h>
#include <platform/display.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include <time.h>

namespace {

constexpr int kMemos = 10000;
using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// CPU time of the calling thread: what the list build costs on a machine others share.
double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// One handwritten-looking memo: lined paper and a few dozen strokes on its first page.
bool WriteSampleMemo(LPCWSTR path) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    GPadDrawMan memo;
    bool ok = memo.InitBuffer(dc, 240, 320) && memo.SetCurPage(0, 0) >= 0;
    for (int s = 0; ok && s < 40; ++s) {
        const int x0 = 10 + (s * 37) % 180, y0 = 20 + (s * 53) % 280;
        memo.LButtonDown(x0, y0, 255);
        for (int i = 1; i < 24; ++i)
            memo.MouseMove(x0 + i * 2, y0 + int(8 * std::sin(i * 0.6 + s)), 255);
        memo.LButtonUp(x0 + 46, y0, 255);
    }
    ok = ok && SaveMemoFile(memo, path, kMemoFileVersion) == eMSSaved;
    ::DeleteDC(dc);
    return ok;
}

struct Store {
    TestDevice device;
    bool ok = false;
    Store() {
        const std::string dir = device.Host("Pad/Big");
        std::filesystem::create_directories(dir);
        std::filesystem::create_directories(device.Host("Pad/Empty"));
        if (!WriteSampleMemo(u"\\Pad\\sample.pad"))
            return;
        std::ifstream in(device.Host("Pad/sample.pad"), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        for (int n = 0; n < kMemos; ++n) {
            char name[40];
            std::snprintf(name, sizeof name, "/2024%02d%02d_%02d%02d%02d.pad", 1 + n % 12,
                          1 + n % 28, n % 24, (n / 24) % 60, n % 60);
            std::ofstream(dir + name, std::ios::binary) << bytes;
        }
        ok = true;
    }
};

void Pump() {
    MSG m;
    while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&m);
        ::DispatchMessageW(&m);
    }
}

struct Screen {
    Screen() {
        plat::StartHeadless(480, 640);
        ResetDisplayMode();
        FreeGlobalDC();
        InitGLibControl();
        InitDefaultSettings();
    }
    ~Screen() { FreeGLib(); }
};

void List(GTitleView& view, LPCWSTR folder) {
    view.SetFolder(folder, 0);
    view.Reload();
}

// Paints and lets the preview threads run until a paint finds nothing left to draw.
void DrawScreen(GTitleView& view) {
    ::UpdateWindow(view);
    while (view.IsPreviewRunning()) {
        while (view.IsPreviewRunning())
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        Pump();
    }
}

void BM_TitleView(benchmark::State& state) {
    Store store;
    Screen screen;
    GTitleView view;
    if (!store.ok || !view.Create(nullptr, u"TitleView", WS_POPUP | WS_VISIBLE, 0, 0, 480, 560)) {
        state.SkipWithError("no memo store or no window");
        return;
    }
    view.SetViewMode(eViewGrid);
    List(view, u"\\Pad\\Big"); // warms the file cache
    double build = 0, buildCpu = 0, draw = 0, stall = 0;
    int drawn = 0;
    for (auto _ : state) {
        // From an empty list, so every entry is new.
        List(view, u"\\Pad\\Empty");
        auto start = Clock::now();
        const double cpu = ThreadCpuMs();
        List(view, u"\\Pad\\Big");
        build += MsSince(start);
        buildCpu += ThreadCpuMs() - cpu;
        if (view.GetEntryCount() != kMemos) {
            state.SkipWithError("the list is not the folder");
            return;
        }
        start = Clock::now();
        DrawScreen(view);
        draw += MsSince(start);
        drawn += view.GetPreviewsDrawn();
        // Scroll a row every 16 ms while new rows' previews arrive; time each step the
        // interface thread takes: the scroll with its paint, and every message after it.
        const int row = view.GetItemHeight() + view.GetGap();
        for (int step = 1; step <= 40; ++step) {
            auto t = Clock::now();
            view.ScrollTo(step * row / 2);
            stall = std::max(stall, MsSince(t));
            const auto until = Clock::now() + std::chrono::milliseconds(16);
            while (Clock::now() < until) {
                MSG m;
                if (!::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
                    std::this_thread::sleep_for(std::chrono::microseconds(200));
                    continue;
                }
                t = Clock::now();
                ::TranslateMessage(&m);
                ::DispatchMessageW(&m);
                stall = std::max(stall, MsSince(t));
            }
        }
        view.StopPreview();
    }
    const double n = double(state.iterations());
    state.counters["build_ms"] = build / n;
    state.counters["build_cpu_ms"] = buildCpu / n;
    state.counters["screen_ms"] = draw / n;
    state.counters["previews"] = drawn / n;
    state.counters["max_stall_ms"] = stall;
    view.Destroy();
}
BENCHMARK(BM_TitleView)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
