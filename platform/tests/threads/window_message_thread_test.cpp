// The queue seen from more than one thread: thread messages, and waking or sending to a
// window's thread from another one.
#include "window_test_support.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using MessageTest = WindowTest;

TEST_F(MessageTest, ThreadMessagesHaveNoWindow) {
    ASSERT_TRUE(PostThreadMessageW(GetCurrentThreadId(), WM_USER + 4, 5, 6));
    MSG m;
    ASSERT_TRUE(
        PeekMessageW(&m, reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1)), 0, 0, PM_REMOVE));
    EXPECT_EQ(m.hwnd, nullptr);
    EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 4));
    EXPECT_EQ(DispatchMessageW(&m), 0);
}

TEST_F(MessageTest, PostFromAnotherThreadWakesGetMessage) {
    HWND w = Make(WS_POPUP, 0, 0, 10, 10);
    std::thread poster([w] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        PostMessageW(w, WM_USER + 7, 42, 0);
    });
    MSG m;
    ASSERT_TRUE(GetMessageW(&m, nullptr, 0, 0));
    poster.join();
    EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 7));
    EXPECT_EQ(m.wParam, 42u);
}

TEST_F(MessageTest, SendFromAnotherThreadRunsOnTheWindowsThread) {
    HWND w = Make(WS_POPUP, 0, 0, 10, 10);
    DWORD handledOn = 0;
    handlers[w] = [&](HWND, UINT msg, WPARAM wp, LPARAM, LRESULT* r) {
        if (msg != WM_USER)
            return false;
        handledOn = GetCurrentThreadId();
        *r = static_cast<LRESULT>(wp * 2);
        PostQuitMessage(0);
        return true;
    };
    std::atomic<LRESULT> result{0};
    std::thread sender([&] { result = SendMessageW(w, WM_USER, 21, 0); });
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0))
        DispatchMessageW(&m);
    sender.join();
    EXPECT_EQ(result.load(), 42);
    EXPECT_EQ(handledOn, GetCurrentThreadId());
}

} // namespace
