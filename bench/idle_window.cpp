// Idle cost of the window system: a window with a blinking caret and no input, on real time,
// for ten seconds. The reported counter is the process's CPU time as a share of one core.
#include <platform/display.h>
#include <windows.h>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

LRESULT CALLBACK IdleProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER && wp == 1) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void BM_IdleWindowWithCaret(benchmark::State& state) {
    plat::StartHeadless(480, 640);
    WNDCLASSW wc{};
    wc.lpfnWndProc = IdleProc;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = u"IdleBench";
    RegisterClassW(&wc);
    for (auto _ : state) {
        HWND w = CreateWindowExW(0, u"IdleBench", u"", WS_POPUP | WS_VISIBLE, 0, 0, 480, 640,
                                 nullptr, nullptr, nullptr, nullptr);
        CreateCaret(w, nullptr, 2, 20);
        SetCaretPos(100, 100);
        ShowCaret(w);
        SetTimer(w, 1, 10000, nullptr);
        double cpu0 = CpuSeconds();
        DWORD t0 = GetTickCount();
        MSG m;
        while (GetMessageW(&m, nullptr, 0, 0)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        double cpu = CpuSeconds() - cpu0;
        double wall = (GetTickCount() - t0) / 1000.0;
        state.counters["cpu_percent"] = 100.0 * cpu / wall;
        state.counters["wall_s"] = wall;
        DestroyWindow(w);
    }
}
BENCHMARK(BM_IdleWindowWithCaret)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
