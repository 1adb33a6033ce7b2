// The pause an autosave puts into writing: the seeded 2000-stroke memo open in a real GPadView,
// a short stroke written, the pen up for a while, then the autosave timer handled as the view
// handles it. The time is what the user-interface thread spends in it (the memo made into
// bytes and the write handed to the worker); the worker's compressing and writing run beside
// it and are not counted.
//
// Counters: median and largest stall in ms, the first save's stall and page faults apart from
// the others'; the same stalls as processor time of the thread, which other work on a busy
// machine does not stretch; for where the time goes, the median of the memo's Serialize alone
// and of starting and joining an empty thread.
#include "pad_bench_support.h"
#include "seeded_memo.h"

#include "fundo/GIOFile.h"
#include "inkra/FileVersion.h"

#include <TestClock.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

#include <sys/resource.h>
#include <time.h>

namespace {

using Clock = std::chrono::steady_clock;

double Millis(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double ThreadCpuMillis() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Pages the kernel had to find for this thread so far (first touches of fresh memory).
long ThreadPageFaults() {
    rusage use{};
    getrusage(RUSAGE_THREAD, &use);
    return use.ru_minflt + use.ru_majflt;
}

int StrokesIn(LPCWSTR path) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    int strokes = -1;
    {
        GPadDrawMan memo;
        memo.InitBuffer(dc, 480, 640);
        GIOFile file;
        if (file.Open(path, u"rb") && memo.Load(&file)) {
            strokes = 0;
            for (int i = 0; i < memo.GetPageNum(); ++i)
                strokes += memo.GetPage(i)->GetTotalGDObjectNum();
        }
        file.Close();
        memo.ReleaseBuffer();
    }
    ::DeleteDC(dc);
    return strokes;
}

// A short stroke on the first page, somewhere new each time.
void WriteStroke(int n) {
    const int x = 40 + (n * 37) % 300, y = 120 + (n * 53) % 400;
    plat::InputStylusDown(x, y);
    PadBenchApp::Pump();
    for (int i = 1; i <= 8; ++i) {
        plat::InputStylusMove(x + 4 * i, y + (i % 2) * 3);
        PadBenchApp::Pump();
    }
    plat::InputStylusUp(x + 32, y);
    PadBenchApp::Pump();
}

void BM_PadAutoSaveStall(benchmark::State& state) {
    TestClock clock;
    PadBenchApp app;
    std::string error;
    if (!app.Start(480, 640, false, &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    GPadView* view = app.View();
    // The seeded memo goes into the new memo's file, and is opened from there as a user opens it.
    const std::u16string path = view->GetMemoPath();
    GPadDrawMan* memo = view->GetMemo();
    memo->RemoveAllPage();
    seeded_memo::Build(*memo);
    memo->ApplyPageSize();
    const int seeded = seeded_memo::kPages * seeded_memo::kStrokesPerPage;
    if (!view->SaveMemo() || !view->OpenMemo(path.c_str()) || StrokesIn(path.c_str()) != seeded) {
        state.SkipWithError("the seeded memo could not be saved and opened");
        return;
    }
    PadBenchApp::Pump();

    std::vector<double> stalls, cpu, faults;
    int written = 0;
    for (auto _ : state) {
        WriteStroke(written++);
        // The timer comes two seconds after the pen went up: the write before has long
        // finished, and work begun at the pen-up off this thread has had time. A tenth of
        // that delay passes here in real time.
        view->GetAutoSave()->Wait();
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const long faults0 = ThreadPageFaults();
        const double cpu0 = ThreadCpuMillis();
        const auto t0 = Clock::now();
        ::SendMessageW(*view, WM_TIMER, GPadView::kAutoSaveTimer, 0);
        const auto took = Clock::now() - t0;
        cpu.push_back(ThreadCpuMillis() - cpu0);
        faults.push_back(double(ThreadPageFaults() - faults0));
        if (!view->GetAutoSave()->Wait() || view->IsChanged()) {
            state.SkipWithError("the autosave did not write the memo");
            break;
        }
        stalls.push_back(Millis(took));
        state.SetIterationTime(std::chrono::duration<double>(took).count());
    }
    const int onDisk = StrokesIn(path.c_str());
    if (onDisk != seeded + written)
        state.SkipWithError("the memo file does not hold every stroke written");

    // Where the time goes: the bytes alone, and the worker's start alone.
    std::vector<double> serialize, thread;
    for (int i = 0; i < 20; ++i) {
        MemoImage image;
        const auto t0 = Clock::now();
        memo->Serialize(kMemoFileVersion, image);
        serialize.push_back(Millis(Clock::now() - t0));
        const auto t1 = Clock::now();
        std::thread([] {}).join();
        thread.push_back(Millis(Clock::now() - t1));
    }
    if (stalls.empty())
        return;
    const double p50 = Percentile(stalls, 0.5);
    const double max = *std::max_element(stalls.begin(), stalls.end());
    // The first save after the memo opened is told apart: it finds its memory fresh.
    const std::vector<double> later(stalls.begin() + 1, stalls.end());
    const double laterMax = later.empty() ? 0 : *std::max_element(later.begin(), later.end());
    state.counters["stall_p50_ms"] = p50;
    state.counters["stall_max_ms"] = max;
    state.counters["first_ms"] = stalls[0];
    state.counters["first_faults"] = faults[0];
    state.counters["first_cpu_ms"] = cpu[0];
    state.counters["cpu_p50_ms"] = Percentile(cpu, 0.5);
    const double cpuMax = *std::max_element(cpu.begin(), cpu.end());
    state.counters["cpu_max_ms"] = cpuMax;
    state.counters["later_max_ms"] = laterMax;
    state.counters["later_faults_p50"] =
        Percentile(std::vector<double>(faults.begin() + 1, faults.end()), 0.5);
    state.counters["serialize_p50_ms"] = Percentile(serialize, 0.5);
    state.counters["thread_p50_ms"] = Percentile(thread, 0.5);
    state.counters["strokes_on_disk"] = onDisk;
    std::printf("autosave stall on the %d-stroke memo: median %.3f ms, max %.3f ms over %zu saves; "
                "the first %.3f ms with %.0f page faults, the others at most %.3f ms\n"
                "  processor time of the thread: median %.3f ms, max %.3f ms, the first %.3f ms\n"
                "  Serialize alone: median %.3f ms; thread start and join: median %.3f ms\n",
                seeded, p50, max, stalls.size(), stalls[0], faults[0], laterMax,
                Percentile(cpu, 0.5), cpuMax, cpu[0], Percentile(serialize, 0.5),
                Percentile(thread, 0.5));
}
BENCHMARK(BM_PadAutoSaveStall)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
