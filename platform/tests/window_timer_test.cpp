// Timers on the virtual clock: due exactly, in order, and only when nothing else waits.
#include "window_test_support.h"

namespace {

using TimerTest = WindowTest;

std::vector<WPARAM> TimerIds(const std::vector<LoggedMsg>& log) {
    std::vector<WPARAM> ids;
    for (const LoggedMsg& m : log)
        if (m.msg == WM_TIMER)
            ids.push_back(m.wParam);
    return ids;
}

TEST_F(TimerTest, FiresOnlyWhenDue) {
    HWND w = Make(WS_POPUP, 0, 0, 10, 10);
    ASSERT_EQ(SetTimer(w, 5, 100, nullptr), 5u);
    clock.Advance(99);
    Pump();
    EXPECT_TRUE(TimerIds(log).empty());
    clock.Advance(1);
    Pump();
    EXPECT_EQ(TimerIds(log), (std::vector<WPARAM>{5}));
    Pump();
    EXPECT_EQ(TimerIds(log).size(), 1u) << "the next one is a period away";
    clock.Advance(100);
    Pump();
    EXPECT_EQ(TimerIds(log).size(), 2u);
}

TEST_F(TimerTest, EarliestDueFiresFirst) {
    HWND w = Make(WS_POPUP, 0, 0, 10, 10);
    SetTimer(w, 1, 300, nullptr);
    SetTimer(w, 2, 100, nullptr);
    SetTimer(w, 3, 200, nullptr);
    clock.Advance(300);
    Pump();
    EXPECT_EQ(TimerIds(log), (std::vector<WPARAM>{2, 3, 1}));
}

TEST_F(TimerTest, ALateTimerFiresOnce) {
    HWND w = Make(WS_POPUP, 0, 0, 10, 10);
    SetTimer(w, 1, 50, nullptr);
    clock.Advance(1000);
    Pump();
    EXPECT_EQ(TimerIds(log).size(), 1u);
}

TEST_F(TimerTest, PostedMessagesGoFirst) {
    HWND w = Make(WS_POPUP, 0, 0, 10, 10);
    SetTimer(w, 1, 10, nullptr);
    clock.Advance(10);
    PostMessageW(w, WM_USER, 0, 0);
    Pump();
    EXPECT_EQ(MessagesOf(w, {WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE}),
              (std::vector<UINT>{WM_USER, WM_TIMER}));
}

TEST_F(TimerTest, KilledAndResetTimers) {
    HWND w = Make(WS_POPUP, 0, 0, 10, 10);
    SetTimer(w, 1, 100, nullptr);
    EXPECT_TRUE(KillTimer(w, 1));
    EXPECT_FALSE(KillTimer(w, 1));
    clock.Advance(200);
    Pump();
    EXPECT_TRUE(TimerIds(log).empty());
    SetTimer(w, 2, 100, nullptr);
    clock.Advance(60);
    SetTimer(w, 2, 100, nullptr); // starts the period again
    clock.Advance(60);
    Pump();
    EXPECT_TRUE(TimerIds(log).empty());
    clock.Advance(40);
    Pump();
    EXPECT_EQ(TimerIds(log), (std::vector<WPARAM>{2}));
}

TEST_F(TimerTest, TimersDieWithTheirWindow) {
    HWND w = Make(WS_POPUP, 0, 0, 10, 10);
    SetTimer(w, 1, 10, nullptr);
    DestroyWindow(w);
    EXPECT_FALSE(KillTimer(w, 1));
    EXPECT_EQ(SetTimer(w, 1, 10, nullptr), 0u);
}

std::vector<UINT_PTR> g_procCalls;
void CALLBACK RecordTimer(HWND, UINT msg, UINT_PTR id, DWORD) {
    if (msg == WM_TIMER)
        g_procCalls.push_back(id);
}

TEST_F(TimerTest, ProcedureTimersCallTheProcedure) {
    g_procCalls.clear();
    HWND w = Make(WS_POPUP, 0, 0, 10, 10);
    SetTimer(w, 9, 20, RecordTimer);
    UINT_PTR thread = SetTimer(nullptr, 0, 30, RecordTimer);
    EXPECT_NE(thread, 0u);
    clock.Advance(30);
    Pump();
    EXPECT_EQ(g_procCalls, (std::vector<UINT_PTR>{9, thread}));
    EXPECT_TRUE(TimerIds(log).empty()) << "the window procedure is not called";
    KillTimer(nullptr, thread);
}

} // namespace
