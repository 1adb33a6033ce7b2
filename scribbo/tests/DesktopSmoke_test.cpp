// The program on a real (virtual) desktop: it starts under Xvfb, its window appears, a click
// on Exit ends it with 0, and the settings are in the registry file. Skipped without Xvfb or
// xdotool; "Slow" keeps it out of the sanitizer pass (the X libraries keep memory until exit).
#include <TestDevice.h>
#include <platform/winreg.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

bool OnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':'))
        if (!dir.empty() && access((dir + "/" + program).c_str(), X_OK) == 0)
            return true;
    return false;
}

pid_t Spawn(std::vector<std::string> args, int outFd = -1) {
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (outFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, outFd, 1);
    pid_t pid = -1;
    posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// The exit code, or -1 when the process is still running after the time.
int WaitExit(pid_t pid, int timeoutMs) {
    pollfd p{int(syscall(SYS_pidfd_open, pid, 0)), POLLIN, 0};
    const int ready = poll(&p, 1, timeoutMs);
    close(p.fd);
    if (ready <= 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Runs a short command to its end; its standard output.
std::string Output(std::vector<std::string> args, int timeoutMs) {
    int fds[2];
    if (pipe(fds) != 0)
        return "";
    const pid_t pid = Spawn(std::move(args), fds[1]);
    close(fds[1]);
    std::string out;
    char buffer[256];
    pollfd p{fds[0], POLLIN, 0};
    while (poll(&p, 1, timeoutMs) > 0) {
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        out.append(buffer, size_t(n));
    }
    close(fds[0]);
    if (WaitExit(pid, timeoutMs) < 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    return out;
}

class Xvfb {
public:
    bool Start() {
        int fds[2];
        if (pipe(fds) != 0)
            return false;
        m_pid = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-nolisten", "tcp", "-screen",
                       "0", "1024x768x24"});
        close(fds[1]);
        std::string number;
        char c;
        pollfd p{fds[0], POLLIN, 0};
        while (poll(&p, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        if (m_pid <= 0 || number.empty())
            return false;
        m_display = ":" + number;
        return true;
    }
    ~Xvfb() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }
    const std::string& Display() const { return m_display; }

private:
    pid_t m_pid = -1;
    std::string m_display;
};

TEST(DesktopSmokeSlowTest, WindowAppearsAndExitEndsTheProgram) {
    if (!OnPath("Xvfb") || !OnPath("xdotool"))
        GTEST_SKIP() << "skipped: Xvfb or xdotool missing";
    TestDevice device;
    const fs::path runtime = fs::path(device.Root()) / "run";
    fs::create_directories(runtime);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    Xvfb x;
    ASSERT_TRUE(x.Start());
    ::setenv("DISPLAY", x.Display().c_str(), 1);
    const std::string program =
        (fs::read_symlink("/proc/self/exe").parent_path() / "scribbo").string();
    const pid_t pid =
        Spawn({program, "--device", device.Root(), "--screen", "480x640", "--scale", "1"});
    ASSERT_GT(pid, 0);
    const std::string window = Output(
        {"xdotool", "search", "--sync", "--onlyvisible", "--pid", std::to_string(pid)}, 20000);
    EXPECT_FALSE(window.empty()) << "no window appeared";
    // The desktop window comes before the main window inside it: click until the program ends.
    // Exit is the fifth button shown on the toolbar along the screen's bottom.
    int code = -1;
    const std::string id = window.substr(0, window.find('\n'));
    for (int tries = 0; !id.empty() && code < 0 && tries < 30; ++tries) {
        Output({"xdotool", "mousemove", "--window", id, "243", "614", "click", "1"}, 10000);
        code = WaitExit(pid, 1000);
    }
    if (code < 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    EXPECT_EQ(code, 0);
    std::stringstream registry;
    registry << std::ifstream(device.Root() + "/" + plat::kRegistryFileName).rdbuf();
    EXPECT_NE(registry.str().find("ProgramPath"), std::string::npos);
    ::unsetenv("DISPLAY");
}

} // namespace
