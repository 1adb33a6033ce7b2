// Stylus latency of the pad view: the seeded handwriting trace (bench/data, 120 samples a
// second on a 480 x 640 screen) written into a new memo shown in a real GPadView.
//
// BM_PadStylusToScreen, headless: each sample is handed to the platform as the backends hand
// stylus input (down, move, up in quarter pixels), and the time runs until every message it
// caused is handled and its ink is in the screen surface. Timers that fell due before the
// sample are handled first, untimed, as the program's loop does while it waits.
//
// BM_PadSdlEventToFrame, SDL2 on an X display (run it under xvfb-run): each sample is pushed
// into the desktop window's event queue as a mouse event, and the time runs until the
// program's frame is handed to SDL (SDL_RenderPresent called) and until SDL is done with it,
// as the display reports its frames. Skipped when there is no display.
//
// Counters: median, 99th percentile and largest latency in microseconds over every sample of
// the trace. Headless also counts the samples whose own point shows ink right after them and
// at the end of the pass: the pen's smoothing draws each sample's point a little later, so the
// first is well below the second. PAD_LATENCY_SHOT=FILE.png keeps the last pass's screen.
#include "pad_bench_support.h"

#include <TestClock.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWidth = 480;
constexpr int kHeight = 640;

double Micros(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

void Report(benchmark::State& state, const char* what, const std::vector<double>& us) {
    const double p50 = Percentile(us, 0.5), p99 = Percentile(us, 0.99);
    const double max = us.empty() ? 0 : *std::max_element(us.begin(), us.end());
    state.counters["p50_us"] = p50;
    state.counters["p99_us"] = p99;
    state.counters["max_us"] = max;
    std::printf("%s: %zu events, median %.1f us, p99 %.1f us, max %.1f us\n", what, us.size(), p50,
                p99, max);
}

void InjectHeadless(const TraceEvent& e) {
    const int qx = int(std::lround(e.x * 4)), qy = int(std::lround(e.y * 4));
    if (e.kind == 'd')
        plat::InputStylusDownQ(qx, qy);
    else if (e.kind == 'u')
        plat::InputStylusUpQ(qx, qy);
    else
        plat::InputStylusMoveQ(qx, qy);
}

// Pen ink is grey, fully or partly covering the yellow paper and its coloured lines.
bool InkNear(HDC screen, int x, int y) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const COLORREF c = ::GetPixel(screen, x + dx, y + dy);
            const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
            if (r < 200 && std::abs(r - g) < 40 && std::abs(g - b) < 40)
                return true;
        }
    return false;
}

void BM_PadStylusToScreen(benchmark::State& state) {
    const std::vector<TraceEvent> trace = ReadTrace(PAD_TRACE);
    if (trace.empty()) {
        state.SkipWithError("the trace could not be read");
        return;
    }
    TestClock clock;
    PadBenchApp app;
    std::string error;
    if (!app.Start(kWidth, kHeight, false, &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    std::vector<double> us;
    int inked = 0, finalInked = 0;
    for (auto _ : state) {
        // Each pass writes into a new memo, so its ink lands on clean paper.
        if (!app.View()->NewMemo(g_Settings.DefNewMemoFolder)) {
            state.SkipWithError("no new memo");
            break;
        }
        PadBenchApp::Pump();
        HDC screen = ::GetDC(nullptr);
        const ULONGLONG start = clock.Now();
        Clock::duration pass{};
        for (const TraceEvent& e : trace) {
            const ULONGLONG due = start + ULONGLONG(e.ms);
            if (due > clock.Now())
                clock.Advance(DWORD(due - clock.Now()));
            PadBenchApp::Pump();
            const auto t0 = Clock::now();
            InjectHeadless(e);
            PadBenchApp::Pump();
            const auto took = Clock::now() - t0;
            pass += took;
            us.push_back(Micros(took));
            inked += InkNear(screen, int(std::lround(e.x)), int(std::lround(e.y)));
        }
        for (const TraceEvent& e : trace)
            finalInked += InkNear(screen, int(std::lround(e.x)), int(std::lround(e.y)));
        if (const char* shot = std::getenv("PAD_LATENCY_SHOT"))
            plat::SaveSurfacePng(screen, shot);
        ::ReleaseDC(nullptr, screen);
        state.SetIterationTime(std::chrono::duration<double>(pass).count());
    }
    Report(state, "headless stylus event -> ink in the screen surface", us);
    state.counters["inked_events"] = inked;
    state.counters["inked_at_end"] = finalInked;
    state.counters["events"] = double(us.size());
}
BENCHMARK(BM_PadStylusToScreen)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// ---- SDL2 ------------------------------------------------------------------------------------

// Frames handed to SDL, as the display reports them from its own thread.
struct FrameLog {
    std::mutex mutex;
    std::condition_variable cv;
    int frames = 0;
    Clock::time_point handed, done;
};
FrameLog g_frames;

void OnFrame(Clock::time_point handed, Clock::time_point done) {
    std::lock_guard lock(g_frames.mutex);
    ++g_frames.frames;
    g_frames.handed = handed;
    g_frames.done = done;
    g_frames.cv.notify_all();
}

plat::DesktopPointer PointerOf(char kind) {
    return kind == 'd'   ? plat::DesktopPointer::Down
           : kind == 'u' ? plat::DesktopPointer::Up
                         : plat::DesktopPointer::Move;
}

// Waits until no frame has come for quiet; false when frames never stop within the limit.
bool WaitForQuiet(std::chrono::milliseconds quiet, std::chrono::seconds limit) {
    const auto end = Clock::now() + limit;
    std::unique_lock lock(g_frames.mutex);
    for (;;) {
        const int seen = g_frames.frames;
        if (!g_frames.cv.wait_for(lock, quiet, [&] { return g_frames.frames != seen; }))
            return true;
        if (Clock::now() > end)
            return false;
    }
}

void BM_PadSdlEventToFrame(benchmark::State& state) {
    const std::vector<TraceEvent> trace = ReadTrace(PAD_TRACE);
    if (!std::getenv("DISPLAY")) {
        state.SkipWithError("no X display (run it under xvfb-run): SDL2 figures skipped");
        return;
    }
    if (trace.empty()) {
        state.SkipWithError("the trace could not be read");
        return;
    }
    PadBenchApp app;
    std::string error;
    if (!app.Start(kWidth, kHeight, true, &error)) {
        state.SkipWithError(("SDL2 skipped: " + error).c_str());
        return;
    }
    plat::SetFrameObserver(OnFrame);
    std::vector<double> handedUs, doneUs;
    int noFrame = 0, refused = 0;
    const DWORD ui = ::GetCurrentThreadId();
    for (auto _ : state) {
        // The samples come from a thread of their own while this one runs the program's loop.
        std::thread feeder([&] {
            WaitForQuiet(std::chrono::milliseconds(300), std::chrono::seconds(20));
            for (const TraceEvent& e : trace) {
                const int x = int(std::lround(e.x)), y = int(std::lround(e.y));
                std::unique_lock lock(g_frames.mutex);
                const int before = g_frames.frames;
                const auto t0 = Clock::now();
                if (!plat::PushDesktopPointer(PointerOf(e.kind), x, y)) {
                    ++refused;
                    continue;
                }
                if (!g_frames.cv.wait_for(lock, std::chrono::milliseconds(50),
                                          [&] { return g_frames.frames != before; })) {
                    ++noFrame;
                    continue;
                }
                handedUs.push_back(Micros(g_frames.handed - t0));
                doneUs.push_back(Micros(g_frames.done - t0));
                // A late second frame of this sample must not count for the next one.
                lock.unlock();
                WaitForQuiet(std::chrono::milliseconds(2), std::chrono::seconds(1));
            }
            ::PostThreadMessageW(ui, WM_QUIT, 0, 0);
        });
        MSG m;
        while (::GetMessageW(&m, nullptr, 0, 0)) {
            ::TranslateMessage(&m);
            ::DispatchMessageW(&m);
        }
        feeder.join();
    }
    plat::SetFrameObserver(nullptr);
    if (refused)
        state.SkipWithError("the desktop window refused pointer events");
    Report(state, "SDL2 event -> frame handed to SDL", handedUs);
    const double p50 = Percentile(doneUs, 0.5), p99 = Percentile(doneUs, 0.99);
    std::printf("SDL2 event -> SDL_RenderPresent returned: median %.1f us, p99 %.1f us; %d events "
                "without a frame\n",
                p50, p99, noFrame);
    state.counters["presented_p50_us"] = p50;
    state.counters["presented_p99_us"] = p99;
    state.counters["no_frame"] = noFrame;
}
BENCHMARK(BM_PadSdlEventToFrame)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
