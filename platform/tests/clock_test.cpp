#include "TestClock.h"

#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

TEST(VirtualClock, StartsAtAFixedTickAndDate) {
    TestClock clock;
    EXPECT_TRUE(plat::IsVirtualClock());
    EXPECT_EQ(GetTickCount(), static_cast<DWORD>(plat::kVirtualStartMs));
    SYSTEMTIME st{};
    GetSystemTime(&st);
    EXPECT_EQ(st.wYear, 2024);
    EXPECT_EQ(st.wMonth, 1);
    EXPECT_EQ(st.wDay, 1);
    EXPECT_EQ(st.wDayOfWeek, 1); // a Monday
    EXPECT_EQ(st.wHour, 0);
    EXPECT_EQ(st.wMinute, 0);
    EXPECT_EQ(st.wSecond, 0);
}

TEST(VirtualClock, SleepAdvancesTheClockAndReturnsAtOnce) {
    TestClock clock;
    DWORD t0 = GetTickCount();
    Sleep(100);
    EXPECT_EQ(GetTickCount() - t0, 100u);
    // An hour of sleep would stop the test in real time; here it is only arithmetic.
    Sleep(3600 * 1000);
    EXPECT_EQ(GetTickCount() - t0, 3600u * 1000u + 100u);
    SYSTEMTIME st{};
    GetSystemTime(&st);
    EXPECT_EQ(st.wHour, 1);
    EXPECT_EQ(st.wSecond, 0);
    EXPECT_EQ(st.wMilliseconds, 100);
    // Sleep(0) only yields.
    Sleep(0);
    EXPECT_EQ(GetTickCount() - t0, 3600u * 1000u + 100u);
}

TEST(VirtualClock, AdvanceTellsListenersAfterTheClockMoved) {
    TestClock clock;
    std::vector<ULONGLONG> seen;
    int id = plat::OnClockAdvanced([&] { seen.push_back(plat::ClockNowMs()); });
    clock.Advance(10);
    Sleep(5);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], plat::kVirtualStartMs + 10);
    EXPECT_EQ(seen[1], plat::kVirtualStartMs + 15);
    plat::RemoveClockListener(id);
    clock.Advance(10);
    EXPECT_EQ(seen.size(), 2u);
}

TEST(VirtualClock, TickCountWrapsAtThirtyTwoBits) {
    TestClock clock;
    ASSERT_TRUE(plat::SetVirtualClockMs(0xFFFFFF00ull));
    EXPECT_EQ(GetTickCount(), 0xFFFFFF00u);
    clock.Advance(0x200);
    EXPECT_EQ(GetTickCount(), 0x100u);
    EXPECT_EQ(plat::ClockNowMs(), 0x100000100ull);
    // Differences across the wrap still come out right in 32-bit arithmetic.
    EXPECT_EQ(static_cast<DWORD>(GetTickCount() - 0xFFFFFF00u), 0x200u);
}

TEST(VirtualClock, LocalTimeFollowsTheSetZoneAndTime) {
    TestClock clock;
    ASSERT_TRUE(plat::SetVirtualUtcOffset(540));
    EXPECT_EQ(plat::ClockUtcOffsetMinutes(), 540);
    SYSTEMTIME local{};
    GetLocalTime(&local);
    EXPECT_EQ(local.wHour, 9);
    EXPECT_EQ(local.wDay, 1);

    SYSTEMTIME eve{2023, 12, 0, 31, 23, 59, 59, 500};
    ASSERT_TRUE(plat::SetVirtualLocalTime(eve));
    SYSTEMTIME utc{};
    GetSystemTime(&utc);
    EXPECT_EQ(utc.wYear, 2023);
    EXPECT_EQ(utc.wDay, 31);
    EXPECT_EQ(utc.wHour, 14);
    EXPECT_EQ(utc.wMilliseconds, 500);
    clock.Advance(500);
    GetLocalTime(&local);
    EXPECT_EQ(local.wYear, 2024);
    EXPECT_EQ(local.wMonth, 1);
    EXPECT_EQ(local.wDay, 1);
    EXPECT_EQ(local.wHour, 0);
    EXPECT_EQ(local.wMinute, 0);
    EXPECT_EQ(local.wSecond, 0);
    EXPECT_EQ(local.wDayOfWeek, 1);

    EXPECT_FALSE(plat::SetVirtualUtcOffset(24 * 60));
    SYSTEMTIME bad{2024, 2, 0, 30, 0, 0, 0, 0};
    EXPECT_FALSE(plat::SetVirtualLocalTime(bad));
}

TEST(VirtualClock, TurningItOnAgainStartsAfresh) {
    {
        TestClock clock;
        clock.Advance(5000);
        ASSERT_TRUE(plat::SetVirtualUtcOffset(-300));
        plat::UseVirtualClock(true); // already on: nothing changes
        EXPECT_EQ(plat::ClockNowMs(), plat::kVirtualStartMs + 5000);
    }
    TestClock again;
    EXPECT_EQ(plat::ClockNowMs(), plat::kVirtualStartMs);
    EXPECT_EQ(plat::ClockUtcOffsetMinutes(), 0);
}

TEST(RealClock, CannotBePushedOrSet) {
    ASSERT_FALSE(plat::IsVirtualClock());
    EXPECT_FALSE(plat::AdvanceClock(10));
    EXPECT_FALSE(plat::SetVirtualClockMs(5));
    EXPECT_FALSE(plat::SetVirtualUtcOffset(60));
    SYSTEMTIME st{2024, 1, 0, 1, 0, 0, 0, 0};
    EXPECT_FALSE(plat::SetVirtualLocalTime(st));
}

TEST(RealClock, ReadsTheHostClockAndZone) {
    ULONGLONG a = plat::ClockNowMs();
    ULONGLONG b = plat::ClockNowMs();
    EXPECT_LE(a, b);
    ULONGLONG seconds = (plat::ClockUtcFileTime() - 116444736000000000ull) / 10000000ull;
    ULONGLONG host = static_cast<ULONGLONG>(std::time(nullptr));
    EXPECT_LE(seconds > host ? seconds - host : host - seconds, 2u);

    std::string saved = getenv("TZ") ? getenv("TZ") : "";
    bool had = getenv("TZ") != nullptr;
    setenv("TZ", "KST-9", 1);
    tzset();
    EXPECT_EQ(plat::ClockUtcOffsetMinutes(), 540);
    FILETIME utc{}, local{};
    GetSystemTimeAsFileTime(&utc);
    ASSERT_TRUE(FileTimeToLocalFileTime(&utc, &local));
    ULONGLONG u = (ULONGLONG(utc.dwHighDateTime) << 32) | utc.dwLowDateTime;
    ULONGLONG l = (ULONGLONG(local.dwHighDateTime) << 32) | local.dwLowDateTime;
    EXPECT_EQ(l - u, 540ull * 600000000ull);
    if (had)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

TEST(ClockSleeper, KeepsAWakeUpGivenBeforeTheSleep) {
    plat::ClockSleeper sleeper;
    sleeper.Wake();
    EXPECT_TRUE(sleeper.SleepUntil(plat::kNoDeadline));
    // The wake-up was used up: a deadline already past now ends the next sleep.
    EXPECT_FALSE(sleeper.SleepUntil(0));
}

TEST(ClockSleeper, VirtualDeadlinePassesOnlyWhenTheClockIsAdvanced) {
    TestClock clock;
    plat::ClockSleeper sleeper;
    ULONGLONG deadline = clock.Now() + 100;

    bool woken = false;
    std::thread first([&] { woken = sleeper.SleepUntil(deadline); });
    clock.Advance(60); // short of the deadline: the sleeper must keep sleeping
    sleeper.Wake();
    first.join();
    EXPECT_TRUE(woken);

    bool reached = true;
    std::thread second([&] { reached = !sleeper.SleepUntil(deadline); });
    clock.Advance(40);
    second.join();
    EXPECT_TRUE(reached);
}

TEST(ClockSleeper, RealDeadlineAndCrossThreadWake) {
    plat::ClockSleeper sleeper;
    EXPECT_FALSE(sleeper.SleepUntil(plat::ClockNowMs() + 20));
    bool woken = false;
    std::thread t([&] { woken = sleeper.SleepUntil(plat::kNoDeadline); });
    sleeper.Wake();
    t.join();
    EXPECT_TRUE(woken);
}

TEST(ClockSleeper, SwitchingToRealTimeWakesSleepersToMeasureAgain) {
    plat::UseVirtualClock(true);
    ASSERT_TRUE(plat::SetVirtualClockMs(0));
    plat::ClockSleeper sleeper;
    // 1000 ms: far off in virtual time, long past in real time since boot.
    bool deadline = false;
    std::thread t([&] { deadline = !sleeper.SleepUntil(1000); });
    // Give the sleeper time to start sleeping, so the switch is what ends its sleep.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    plat::UseVirtualClock(false);
    t.join();
    EXPECT_TRUE(deadline);
}
