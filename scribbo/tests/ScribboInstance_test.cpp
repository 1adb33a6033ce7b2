// One program per device: a second start hands its request to the running one and ends with
// 0. The running one is either this test's own main window or a real second process.
#include "scribbo/App.h"
#include "scribbo/AppStart.h"
#include "scribbo/GScribboMain.h"
#include "scribbo/Settings.h"

#include "winza/GImageList.h"
#include "winza/GLib.h"
#include "winza/GlobalDC.h"
#include "winza/Hires.h"

#include <TestDevice.h>
#include <platform/display.h>
#include <platform/entry.h>
#include <platform/instance.h>
#include <platform/module.h>
#include <platform/utf.h>
#include <platform/winreg.h>

#include <gtest/gtest.h>

#include "process_test_support.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using apptest::ProgramPath;
using apptest::Spawn;

// The first of the processes to end within the time: its index and exit code; -1 for none.
std::pair<int, int> WaitFirst(const std::vector<pid_t>& pids, int timeoutMs) {
    std::vector<pollfd> fds;
    for (pid_t pid : pids)
        fds.push_back(pollfd{int(syscall(SYS_pidfd_open, pid, 0)), POLLIN, 0});
    std::pair<int, int> result{-1, -1};
    if (poll(fds.data(), fds.size(), timeoutMs) > 0) {
        for (size_t i = 0; i < fds.size(); ++i) {
            if (!(fds[i].revents & POLLIN))
                continue;
            int status = 0;
            waitpid(pids[i], &status, 0);
            result = {int(i), WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status)};
            break;
        }
    }
    for (const pollfd& p : fds)
        close(p.fd);
    return result;
}

// A main window that keeps what reaches it from outside.
class RecordingMain : public GScribboMain {
public:
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_COMMAND)
            commands.push_back(LOWORD(wParam));
        if (msg == UM_OPENMEMO) {
            path = reinterpret_cast<LPCWSTR>(wParam);
            option = reinterpret_cast<LPCWSTR>(lParam);
        }
        return GScribboMain::WndProc(hwnd, msg, wParam, lParam);
    }
    std::vector<int> commands;
    std::u16string path, option;
};

class ScribboInstance : public ::testing::Test {
protected:
    void SetUp() override {
        runtime = fs::path(device.Root()) / "run";
        fs::create_directories(runtime);
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
    void TearDown() override {
        for (pid_t pid : running)
            if (pid > 0 && kill(pid, SIGKILL) == 0)
                waitpid(pid, nullptr, 0);
    }
    std::vector<std::string> Args(std::initializer_list<std::string> extra) const {
        std::vector<std::string> args{ProgramPath(), "--headless", "--device", device.Root()};
        args.insert(args.end(), extra);
        return args;
    }
    // This process becomes the running program; then the second start runs to its end while
    // this thread handles what it forwards. The second start's exit code.
    int ForwardFrom(RecordingMain* main, const std::vector<std::string>& args) {
        pid_t pid = Spawn(args);
        running.push_back(pid);
        const DWORD self = ::GetCurrentThreadId();
        int code = -1;
        std::thread waiter([&] {
            code = WaitFirst({pid}, 20000).second;
            ::PostThreadMessageW(self, WM_APP, 0, 0);
        });
        MSG m;
        while (::GetMessageW(&m, nullptr, 0, 0) && !(m.hwnd == nullptr && m.message == WM_APP))
            ::DispatchMessageW(&m);
        waiter.join();
        running.pop_back();
        (void)main;
        return code;
    }
    void StartMain(RecordingMain* main) {
        // A plain start: a direct start's request would end the window with its memo.
        ParseCommandLine(nullptr);
        plat::StartHeadless(240, 320);
        ResetDisplayMode();
        FreeGlobalDC();
        InitGLibControl();
        InitDefaultSettings();
        g_App.hInstance = plat::ThisModule();
        g_App.ToolbarImages = LoadToolbarImages(g_App.hInstance);
        std::string error;
        ASSERT_EQ(plat::ClaimInstance(plat::InstanceRequest{}, &error), plat::InstanceClaim::First)
            << error;
        ASSERT_TRUE(main->Create(nullptr, u"Scribbo", WS_VISIBLE, 0, 0, 240, 320));
        plat::ServeInstanceRequests(*main);
    }
    void EndMain(RecordingMain* main) {
        plat::EndInstance();
        ::DestroyWindow(*main);
        MSG m;
        while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&m);
        delete g_App.ToolbarImages;
        delete g_App.Fonts;
        g_App = AppState{};
        FreeGLib();
    }
    std::string Registry() const {
        std::stringstream text;
        text << std::ifstream(device.Root() + "/" + plat::kRegistryFileName).rdbuf();
        return text.str();
    }

    TestDevice device;
    fs::path runtime;
    std::vector<pid_t> running;
};

TEST_F(ScribboInstance, SecondStartWithNewMemoBecomesTheRunningWindowsOwnCommand) {
    RecordingMain main;
    StartMain(&main);
    EXPECT_EQ(ForwardFrom(&main, Args({"/n"})), 0);
    EXPECT_EQ(main.commands, std::vector<int>{ID_NEWMEMO});
    EndMain(&main);
}

TEST_F(ScribboInstance, SecondStartWithAFileHandsOverThePathText) {
    RecordingMain main;
    StartMain(&main);
    const std::string path = "\\My Documents\\Pad\\회의 메모 2024.pad";
    EXPECT_EQ(ForwardFrom(&main, Args({"/f", path, "/s", "42", "/unknown"})), 0);
    EXPECT_EQ(main.path, plat::FromUtf8(path));
    EXPECT_EQ(main.option, u"42");
    EXPECT_EQ(main.commands, std::vector<int>{}) << "window alive: " << ::IsWindow(main);
    EndMain(&main);
}

TEST_F(ScribboInstance, PlainSecondStartOnlyBringsTheWindowForward) {
    RecordingMain main;
    StartMain(&main);
    HWND other = ::CreateWindowExW(0, u"STATIC", u"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                                   nullptr, nullptr, nullptr);
    ::SetForegroundWindow(other);
    EXPECT_EQ(ForwardFrom(&main, Args({})), 0);
    EXPECT_EQ(::GetForegroundWindow(), main.GetSafeHwnd());
    EXPECT_TRUE(main.commands.empty());
    ::DestroyWindow(other);
    EndMain(&main);
}

TEST_F(ScribboInstance, TwoStartsTogetherLeaveExactlyOneRunning) {
    std::vector<pid_t> pids{Spawn(Args({"/n"})), Spawn(Args({"/n"}))};
    running = pids;
    ASSERT_GT(pids[0], 0);
    ASSERT_GT(pids[1], 0);
    // One hands its request to the other, which acknowledges it; the other keeps running.
    auto [first, code] = WaitFirst(pids, 20000);
    ASSERT_GE(first, 0) << "neither start ended";
    EXPECT_EQ(code, 0);
    const pid_t survivor = pids[1 - first];
    running = {survivor};
    EXPECT_EQ(WaitFirst({survivor}, 500).first, -1) << "the running instance ended";
    // A third start still finds it.
    pid_t third = Spawn(Args({}));
    running.push_back(third);
    EXPECT_EQ(WaitFirst({third}, 20000), (std::pair<int, int>{0, 0}));
    running.pop_back();
    // SIGTERM closes it as the window's close button does: settings written, exit 0.
    ASSERT_EQ(kill(survivor, SIGTERM), 0);
    EXPECT_EQ(WaitFirst({survivor}, 20000), (std::pair<int, int>{0, 0}));
    running.clear();
    EXPECT_NE(Registry().find("ProgramPath"), std::string::npos);
}

} // namespace
