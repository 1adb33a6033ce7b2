// Scripted runs: a script drives a small drawing program to its end and leaves a screenshot;
// bad lines are refused with their number.
#include "window_test_support.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include <sys/resource.h>

namespace {

class ScriptTest : public WindowTest {
protected:
    std::string Write(const std::string& text) {
        std::string path = ::testing::TempDir() + "/script_" +
                           ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
        std::ofstream(path) << text;
        return path;
    }
    void TearDown() override {
        plat::UnloadInputScript();
        WindowTest::TearDown();
    }
};

std::string Load(const std::string& path) {
    std::string error;
    plat::LoadInputScript(path, &error);
    return error;
}

double ThreadCpuMs() {
    rusage use{};
    getrusage(RUSAGE_THREAD, &use);
    return use.ru_utime.tv_sec * 1e3 + use.ru_utime.tv_usec / 1e3 + use.ru_stime.tv_sec * 1e3 +
           use.ru_stime.tv_usec / 1e3;
}

TEST_F(ScriptTest, BadLinesAreRefusedWithTheirNumber) {
    EXPECT_EQ(Load(Write("# fine\ntap 1 2\nfly 3 4\n")), "script line 3: unknown command 'fly'");
    EXPECT_EQ(Load(Write("tap 1\n")), "script line 1: 'tap' takes 2 numbers");
    EXPECT_EQ(Load(Write("move 1 2 x\n")), "script line 1: bad step count 'x'");
    EXPECT_EQ(Load(Write("\n\nkey NOPE\n")), "script line 3: unknown key 'NOPE'");
    EXPECT_EQ(Load(Write("wait -5\n")), "script line 1: 'wait' takes a time in milliseconds");
    EXPECT_EQ(Load(Write("down 1 99999\n")), "script line 1: bad position '1 99999'");
    EXPECT_EQ(Load("/nonexistent/script.txt"), "cannot read the script '/nonexistent/script.txt'");
    EXPECT_EQ(Load(Write("tap 1 2  # comment\nhold 3 4 500\ntype hello world\nquit\n")), "");
}

TEST_F(ScriptTest, ScriptDrawsAndTakesAScreenshot) {
    std::string shot = ::testing::TempDir() + "/script_shot.png";
    std::remove(shot.c_str());
    HWND w = Make(WS_POPUP | WS_VISIBLE, 0, 0, 240, 320);
    handlers[w] = [](HWND hwnd, UINT msg, WPARAM, LPARAM lp, LRESULT*) {
        // A tiny pad: each stylus position while down becomes a red dot.
        if (msg == WM_LBUTTONDOWN || (msg == WM_MOUSEMOVE && (GetKeyState(VK_LBUTTON) < 0))) {
            HDC dc = GetDC(hwnd);
            SetPixel(dc, GET_X_LPARAM(lp), GET_Y_LPARAM(lp), RGB(255, 0, 0));
            ReleaseDC(hwnd, dc);
        }
        if (msg == WM_DESTROY)
            PostQuitMessage(0);
        return false;
    };
    std::vector<WPARAM> chars;
    int timers = 0;
    std::vector<COLORREF> atClose;
    handlers[w] = [h = handlers[w], &chars, &timers, &atClose](HWND hwnd, UINT msg, WPARAM wp,
                                                               LPARAM lp, LRESULT* r) {
        if (msg == WM_CHAR)
            chars.push_back(wp);
        if (msg == WM_CLOSE)
            for (int x : {10, 20, 50, 15})
                atClose.push_back(ScreenPixel(x, 10));
        if (msg == WM_TIMER)
            ++timers;
        return h(hwnd, msg, wp, lp, r);
    };
    SetTimer(w, 1, 100, nullptr);
    ULONGLONG start = clock.Now();
    ASSERT_EQ(Load(Write("down 10 10\nmove 50 10 4\nup 50 10\nwait 1000\ntype ok\nkey RETURN\n"
                         "shot " +
                         shot + "\n")),
              "");
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    EXPECT_FALSE(IsWindow(w)) << "the end of the script closed the program";
    EXPECT_EQ(clock.Now() - start, 1000u);
    EXPECT_EQ(timers, 10);
    EXPECT_EQ(chars, (std::vector<WPARAM>{'o', 'k', '\r'}));
    // Four steps of ten pixels: dots at 10, 20 and 50, none at 15.
    EXPECT_EQ(atClose, (std::vector<COLORREF>{RGB(255, 0, 0), RGB(255, 0, 0), RGB(255, 0, 0),
                                              RGB(255, 255, 255)}));
    ASSERT_TRUE(std::filesystem::exists(shot));
    std::ifstream f(shot, std::ios::binary);
    char sig[8] = {};
    f.read(sig, 8);
    EXPECT_EQ(std::string(sig + 1, 3), "PNG");
    EXPECT_TRUE(plat::ScriptError().empty());
}

TEST_F(ScriptTest, AShotThatCannotBeWrittenStopsTheRun) {
    HWND w = Make(WS_POPUP | WS_VISIBLE, 0, 0, 240, 320);
    handlers[w] = [](HWND, UINT msg, WPARAM, LPARAM, LRESULT*) {
        if (msg == WM_DESTROY)
            PostQuitMessage(0);
        return false;
    };
    ASSERT_EQ(Load(Write("shot /nonexistent/dir/x.png\ntap 5 5\n")), "");
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0))
        DispatchMessageW(&m);
    EXPECT_EQ(plat::ScriptError(), "line 1: cannot write the screenshot '/nonexistent/dir/x.png'");
    EXPECT_EQ(Count(w, WM_LBUTTONDOWN), 0) << "nothing after the failed line runs";
}

TEST_F(ScriptTest, StayLeavesTheProgramRunningWithTheClockStill) {
    HWND w = Make(WS_POPUP | WS_VISIBLE, 0, 0, 240, 320);
    std::thread closer;
    std::vector<LPARAM> closes;
    handlers[w] = [&](HWND hwnd, UINT msg, WPARAM, LPARAM lp, LRESULT*) {
        // Well after the script reached "stay", the close comes from outside (lParam 7).
        if (msg == WM_LBUTTONUP && !closer.joinable())
            closer = std::thread([hwnd] {
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                PostMessageW(hwnd, WM_CLOSE, 0, 7);
            });
        if (msg == WM_CLOSE)
            closes.push_back(lp);
        if (msg == WM_DESTROY)
            PostQuitMessage(0);
        return false;
    };
    SetTimer(w, 1, 100, nullptr);
    const ULONGLONG start = clock.Now();
    ASSERT_EQ(Load(Write("tap 5 5\nstay\ntap 6 6\n")), "");
    const double cpu0 = ThreadCpuMs();
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0))
        DispatchMessageW(&m);
    closer.join();
    EXPECT_LT(ThreadCpuMs() - cpu0, 20) << "the program slept while it stayed";
    EXPECT_EQ(closes, (std::vector<LPARAM>{7})) << "only the outside close ended the program";
    EXPECT_EQ(Count(w, WM_LBUTTONDOWN), 1) << "nothing after stay runs";
    EXPECT_EQ(Count(w, WM_TIMER), 0);
    EXPECT_EQ(clock.Now(), start);
    EXPECT_TRUE(plat::ScriptRunning());
}

TEST_F(ScriptTest, AStepWaitsForTheWorkOfRunningThreads) {
    // A tap starts a slow worker that posts its result; the key after it must find the result
    // there, as it would on a device where the worker had long finished.
    HWND w = Make(WS_POPUP | WS_VISIBLE, 0, 0, 240, 320);
    std::vector<UINT> order;
    HANDLE worker = nullptr;
    handlers[w] = [&](HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT*) {
        if (msg == WM_LBUTTONUP)
            worker = CreateThread(
                nullptr, 0,
                [](LPVOID param) -> DWORD {
                    std::this_thread::sleep_for(std::chrono::milliseconds(200));
                    PostMessageW(static_cast<HWND>(param), WM_APP, 0, 0);
                    return 0;
                },
                hwnd, 0, nullptr);
        if (msg == WM_APP || msg == WM_KEYDOWN)
            order.push_back(msg);
        if (msg == WM_DESTROY)
            PostQuitMessage(0);
        return false;
    };
    ASSERT_EQ(Load(Write("tap 5 5\nkey A\n")), "");
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0))
        DispatchMessageW(&m);
    ASSERT_NE(worker, nullptr);
    CloseHandle(worker);
    EXPECT_EQ(order, (std::vector<UINT>{WM_APP, WM_KEYDOWN}));
}

} // namespace
