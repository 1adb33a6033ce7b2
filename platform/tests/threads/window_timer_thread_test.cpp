// A timer due on the virtual clock wakes a thread that sleeps for messages when another thread
// advances the clock.
#include "window_test_support.h"

#include <chrono>
#include <thread>

namespace {

using TimerTest = WindowTest;

TEST_F(TimerTest, ClockAdvancedElsewhereWakesAWaitingThread) {
    HWND w = Make(WS_POPUP, 0, 0, 10, 10);
    SetTimer(w, 4, 500, nullptr);
    std::thread advancer([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        clock.Advance(500);
    });
    MSG m;
    ASSERT_TRUE(GetMessageW(&m, nullptr, 0, 0));
    advancer.join();
    EXPECT_EQ(m.message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(m.wParam, 4u);
}

} // namespace
