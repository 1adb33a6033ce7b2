#include "TestClock.h"

#include <windows.h>

#include <atomic>
#include <gtest/gtest.h>
#include <vector>

namespace {

DWORD ReturnParameter(LPVOID p) {
    return static_cast<DWORD>(reinterpret_cast<UINT_PTR>(p));
}

// Waits for a "go" event, then records that it ran and signals "done".
struct Gate {
    HANDLE go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> ran{0};
    ~Gate() {
        CloseHandle(go);
        CloseHandle(done);
    }
};

DWORD WaitAtGate(LPVOID p) {
    auto* gate = static_cast<Gate*>(p);
    WaitForSingleObject(gate->go, INFINITE);
    gate->ran++;
    SetEvent(gate->done);
    return 7;
}

DWORD Count(LPVOID p) {
    static_cast<std::atomic<int>*>(p)->fetch_add(1);
    return 0;
}

} // namespace

TEST(Thread, WaitWithoutTimeLimitReturnsWhenItEnds) {
    DWORD id = 0;
    HANDLE h = CreateThread(nullptr, 0, ReturnParameter, reinterpret_cast<LPVOID>(42), 0, &id);
    ASSERT_NE(h, nullptr);
    EXPECT_NE(id, 0u);
    EXPECT_EQ(WaitForSingleObject(h, INFINITE), WAIT_OBJECT_0);
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeThread(h, &code));
    EXPECT_EQ(code, 42u);
    // An ended thread stays signalled for every later wait.
    EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(h, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(CloseHandle(h));
    SetLastError(0);
    EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(CloseHandle(h));
}

TEST(Thread, TimedWaitTimesOutWhileItRunsAndSucceedsOnceItEnds) {
    Gate gate;
    HANDLE h = CreateThread(nullptr, 0, WaitAtGate, &gate, 0, nullptr);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(h, 30), WAIT_TIMEOUT);
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeThread(h, &code));
    EXPECT_EQ(code, static_cast<DWORD>(STILL_ACTIVE));
    SetEvent(gate.go);
    EXPECT_EQ(WaitForSingleObject(h, 60000), WAIT_OBJECT_0);
    ASSERT_TRUE(GetExitCodeThread(h, &code));
    EXPECT_EQ(code, 7u);
    EXPECT_EQ(gate.ran.load(), 1);
    CloseHandle(h);
}

TEST(Thread, TimedWaitsRunOnRealTimeUnderTheVirtualClock) {
    TestClock clock;
    Gate gate;
    HANDLE h = CreateThread(nullptr, 0, WaitAtGate, &gate, 0, nullptr);
    ASSERT_NE(h, nullptr);
    DWORD before = GetTickCount();
    // Returns although nobody advances the clock, and leaves the clock alone.
    EXPECT_EQ(WaitForSingleObject(h, 20), WAIT_TIMEOUT);
    EXPECT_EQ(GetTickCount(), before);
    SetEvent(gate.go);
    EXPECT_EQ(WaitForSingleObject(h, INFINITE), WAIT_OBJECT_0);
    CloseHandle(h);
}

TEST(Thread, ClosingTheHandleOfARunningThreadLetsItFinish) {
    Gate gate;
    HANDLE h = CreateThread(nullptr, 0, WaitAtGate, &gate, 0, nullptr);
    ASSERT_NE(h, nullptr);
    EXPECT_TRUE(CloseHandle(h));
    SetEvent(gate.go);
    EXPECT_EQ(WaitForSingleObject(gate.done, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(gate.ran.load(), 1);
}

TEST(Thread, SuspendedThreadStartsOnResume) {
    std::atomic<int> count{0};
    HANDLE h = CreateThread(nullptr, 0, Count, &count, CREATE_SUSPENDED, nullptr);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(WaitForSingleObject(h, 20), WAIT_TIMEOUT);
    EXPECT_EQ(count.load(), 0);
    EXPECT_EQ(ResumeThread(h), 1u);
    EXPECT_EQ(WaitForSingleObject(h, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(count.load(), 1);
    EXPECT_EQ(ResumeThread(h), 0u);
    CloseHandle(h);
}

TEST(Thread, IdsAreStableDistinctAndKnownToTheThread) {
    DWORD mine = GetCurrentThreadId();
    EXPECT_NE(mine, 0u);
    EXPECT_EQ(GetCurrentThreadId(), mine);
    DWORD reported = 0;
    DWORD given = 0;
    HANDLE h = CreateThread(
        nullptr, 0,
        [](LPVOID p) -> DWORD { return *static_cast<DWORD*>(p) = GetCurrentThreadId(); }, &reported,
        0, &given);
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(WaitForSingleObject(h, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(reported, given);
    EXPECT_NE(given, mine);
    CloseHandle(h);
}

TEST(Thread, ManyThreadsWithLargeStacks) {
    std::atomic<int> count{0};
    std::vector<HANDLE> handles;
    for (int i = 0; i < 16; ++i) {
        HANDLE h = CreateThread(nullptr, 4 << 20, Count, &count, 0, nullptr);
        ASSERT_NE(h, nullptr);
        handles.push_back(h);
    }
    for (HANDLE h : handles) {
        EXPECT_EQ(WaitForSingleObject(h, INFINITE), WAIT_OBJECT_0);
        CloseHandle(h);
    }
    EXPECT_EQ(count.load(), 16);
}

TEST(Thread, BadArgumentsFail) {
    SetLastError(0);
    EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
    EXPECT_EQ(WaitForSingleObject(INVALID_HANDLE_VALUE, 0), WAIT_FAILED);
    EXPECT_FALSE(CloseHandle(nullptr));
    // A handle of the wrong kind is refused by the calls of the other kind.
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD code = 0;
    EXPECT_FALSE(GetExitCodeThread(event, &code));
    EXPECT_EQ(ResumeThread(event), 0xFFFFFFFFu);
    HANDLE thread = CreateThread(nullptr, 0, ReturnParameter, nullptr, 0, nullptr);
    EXPECT_FALSE(SetEvent(thread));
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    CloseHandle(thread);
    CloseHandle(event);
}

TEST(Event, AutoResetReleasesOneWaitManualStaysSet) {
    HANDLE autoEvent = CreateEventW(nullptr, FALSE, TRUE, nullptr);
    ASSERT_NE(autoEvent, nullptr);
    EXPECT_EQ(WaitForSingleObject(autoEvent, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(autoEvent, 0), WAIT_TIMEOUT);
    EXPECT_TRUE(SetEvent(autoEvent));
    EXPECT_EQ(WaitForSingleObject(autoEvent, 10), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(autoEvent, 10), WAIT_TIMEOUT);

    HANDLE manual = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(manual, nullptr);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_TIMEOUT);
    EXPECT_TRUE(SetEvent(manual));
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(ResetEvent(manual));
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_TIMEOUT);
    CloseHandle(autoEvent);
    CloseHandle(manual);
}

TEST(Event, SetFromAnotherThreadWakesAnInfiniteWait) {
    HANDLE e = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE setter = CreateThread(
        nullptr, 0, [](LPVOID p) -> DWORD { return SetEvent(static_cast<HANDLE>(p)) ? 0 : 1; }, e,
        0, nullptr);
    EXPECT_EQ(WaitForSingleObject(e, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(setter, INFINITE), WAIT_OBJECT_0);
    CloseHandle(setter);
    CloseHandle(e);
}

TEST(Event, NamedEventsAreNotOffered) {
    SetLastError(0);
    EXPECT_EQ(CreateEventW(nullptr, TRUE, FALSE, u"Scribbo"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
}
