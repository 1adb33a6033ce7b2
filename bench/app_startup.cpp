// The whole program as a user starts it: from process start to the main window's first frame
// (headless, the frame written as a screenshot by a one-line script) and to its exit, and the
// idle main window's CPU use over ten seconds of real time. Each run uses one device folder,
// prepared by the first run, as a user's is after the first start.
#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <poll.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

struct Scratch {
    Scratch() {
        root = fs::temp_directory_path() / ("scribbo-bench-" + std::to_string(getpid()));
        fs::create_directories(root / "run");
        ::setenv("XDG_RUNTIME_DIR", (root / "run").c_str(), 1);
    }
    ~Scratch() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    fs::path root;
};

std::string Program() {
    return (fs::read_symlink("/proc/self/exe").parent_path() / "scribbo").string();
}

pid_t Spawn(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
    return pid;
}

int Wait(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void BM_StartToFirstFrame(benchmark::State& state) {
    Scratch s;
    const fs::path device = s.root / "device";
    const fs::path shot = s.root / "frame.png";
    const fs::path script = s.root / "script.txt";
    std::ofstream(script) << "shot " << shot.string() << "\n";
    double frameSum = 0, exitSum = 0;
    for (auto _ : state) {
        fs::remove(shot);
        const int watch = inotify_init1(IN_CLOEXEC);
        inotify_add_watch(watch, s.root.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO);
        const auto t0 = Clock::now();
        const pid_t pid =
            Spawn({Program(), "--device", device.string(), "--script", script.string()});
        // The screenshot is written beside its final name and moved there when complete.
        double frame = 0;
        char buffer[4096];
        pollfd p{watch, POLLIN, 0};
        while (frame == 0 && poll(&p, 1, 10000) > 0) {
            const ssize_t n = read(watch, buffer, sizeof buffer);
            for (ssize_t i = 0; i < n;) {
                auto* e = reinterpret_cast<inotify_event*>(buffer + i);
                if (e->len && std::string(e->name) == "frame.png")
                    frame = std::chrono::duration<double>(Clock::now() - t0).count();
                i += ssize_t(sizeof(inotify_event) + e->len);
            }
        }
        const int rc = Wait(pid);
        const double total = std::chrono::duration<double>(Clock::now() - t0).count();
        close(watch);
        if (rc != 0 || frame == 0) {
            state.SkipWithError("the program did not show its window and end with 0");
            break;
        }
        state.SetIterationTime(frame);
        frameSum += frame;
        exitSum += total;
    }
    if (state.iterations() > 0) {
        state.counters["first_frame_ms"] = 1000 * frameSum / double(state.iterations());
        state.counters["to_exit_ms"] = 1000 * exitSum / double(state.iterations());
    }
}
BENCHMARK(BM_StartToFirstFrame)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

double CpuSecondsOf(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    // Fields after the command's closing parenthesis; utime and stime are the 12th and 13th.
    std::istringstream rest(line.substr(line.rfind(')') + 2));
    std::string field;
    double ticks = 0;
    for (int i = 1; i <= 13 && rest >> field; ++i)
        if (i >= 12)
            ticks += std::stod(field);
    return ticks / double(sysconf(_SC_CLK_TCK));
}

void BM_IdleMainWindow(benchmark::State& state) {
    Scratch s;
    for (auto _ : state) {
        const pid_t pid =
            Spawn({Program(), "--headless", "--device", (s.root / "device").string()});
        // Let start-up finish, then measure ten quiet seconds.
        std::this_thread::sleep_for(std::chrono::seconds(1));
        const double cpu0 = CpuSecondsOf(pid);
        const auto t0 = Clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(10));
        const double cpu = CpuSecondsOf(pid) - cpu0;
        const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
        kill(pid, SIGTERM);
        if (Wait(pid) != 0) {
            state.SkipWithError("the idle program did not end with 0 on SIGTERM");
            break;
        }
        state.counters["cpu_percent"] = 100.0 * cpu / wall;
        state.counters["wall_s"] = wall;
    }
}
BENCHMARK(BM_IdleMainWindow)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
