#include "TestClock.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

ULONGLONG Value(const FILETIME& ft) {
    return (ULONGLONG(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}
FILETIME Make(ULONGLONG v) {
    return FILETIME{DWORD(v), DWORD(v >> 32)};
}

SYSTEMTIME Date(WORD y, WORD m, WORD d, WORD h = 0, WORD min = 0, WORD s = 0, WORD ms = 0) {
    return SYSTEMTIME{y, m, 0, d, h, min, s, ms};
}

void ExpectDate(const SYSTEMTIME& st, WORD y, WORD m, WORD d, WORD dow) {
    EXPECT_EQ(st.wYear, y);
    EXPECT_EQ(st.wMonth, m);
    EXPECT_EQ(st.wDay, d);
    EXPECT_EQ(st.wDayOfWeek, dow);
}

constexpr ULONGLONG kDay = 864000000000ull;

} // namespace

TEST(FileTimeConversion, KnownInstants) {
    SYSTEMTIME st{};
    FILETIME zero = Make(0);
    ASSERT_TRUE(FileTimeToSystemTime(&zero, &st));
    ExpectDate(st, 1601, 1, 1, 1); // Monday
    EXPECT_EQ(st.wHour, 0);

    FILETIME epoch = Make(116444736000000000ull);
    ASSERT_TRUE(FileTimeToSystemTime(&epoch, &st));
    ExpectDate(st, 1970, 1, 1, 4); // Thursday

    // 2004-02-29 13:45:30.250, a Sunday.
    FILETIME leap = Make(116444736000000000ull + (1078062330ull * 1000 + 250) * 10000);
    ASSERT_TRUE(FileTimeToSystemTime(&leap, &st));
    ExpectDate(st, 2004, 2, 29, 0);
    EXPECT_EQ(st.wHour, 13);
    EXPECT_EQ(st.wMinute, 45);
    EXPECT_EQ(st.wSecond, 30);
    EXPECT_EQ(st.wMilliseconds, 250);

    FILETIME last = Make(0x7FFFFFFFFFFFFFFFull);
    ASSERT_TRUE(FileTimeToSystemTime(&last, &st));
    ExpectDate(st, 30828, 9, 14, 4);
    EXPECT_EQ(st.wHour, 2);
    EXPECT_EQ(st.wMinute, 48);
    EXPECT_EQ(st.wSecond, 5);
    EXPECT_EQ(st.wMilliseconds, 477);
}

TEST(FileTimeConversion, RefusesValuesFromTwoToTheSixtyThree) {
    SYSTEMTIME st{};
    for (ULONGLONG v : {0x8000000000000000ull, ~0ull}) {
        FILETIME ft = Make(v);
        SetLastError(0);
        EXPECT_FALSE(FileTimeToSystemTime(&ft, &st));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    }
}

TEST(FileTimeConversion, SystemTimeFieldsAreChecked) {
    FILETIME ft{};
    const SYSTEMTIME bad[] = {Date(1600, 12, 31),         Date(30828, 1, 1),
                              Date(2024, 0, 1),           Date(2024, 13, 1),
                              Date(2024, 1, 0),           Date(2024, 1, 32),
                              Date(2024, 4, 31),          Date(2023, 2, 29),
                              Date(1900, 2, 29),          Date(2100, 2, 29),
                              Date(2024, 1, 1, 24),       Date(2024, 1, 1, 0, 60),
                              Date(2024, 1, 1, 0, 0, 60), Date(2024, 1, 1, 0, 0, 0, 1000)};
    for (const SYSTEMTIME& st : bad) {
        SetLastError(0);
        EXPECT_FALSE(SystemTimeToFileTime(&st, &ft))
            << st.wYear << "-" << st.wMonth << "-" << st.wDay << " " << st.wHour << ":"
            << st.wMinute << ":" << st.wSecond << "." << st.wMilliseconds;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    }
    for (const SYSTEMTIME& st : {Date(2000, 2, 29), Date(2024, 2, 29), Date(1601, 1, 1),
                                 Date(30827, 12, 31, 23, 59, 59, 999)})
        EXPECT_TRUE(SystemTimeToFileTime(&st, &ft)) << st.wYear;
}

TEST(FileTimeConversion, DayOfWeekIsIgnoredOnTheWayInAndComputedOnTheWayOut) {
    SYSTEMTIME st = Date(2024, 1, 1, 12, 30, 15, 9);
    st.wDayOfWeek = 6; // wrong on purpose
    FILETIME ft{};
    ASSERT_TRUE(SystemTimeToFileTime(&st, &ft));
    SYSTEMTIME back{};
    ASSERT_TRUE(FileTimeToSystemTime(&ft, &back));
    ExpectDate(back, 2024, 1, 1, 1);
    EXPECT_EQ(back.wHour, 12);
    EXPECT_EQ(back.wMinute, 30);
    EXPECT_EQ(back.wSecond, 15);
    EXPECT_EQ(back.wMilliseconds, 9);
}

// Walks day by day through five centuries (every kind of leap year) and checks each date is
// the day after the one before, worked out here by plain counting.
TEST(FileTimeConversion, EveryDayFollowsTheOneBefore) {
    auto daysIn = [](int y, int m) {
        static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
        return m == 2 && leap ? 29 : days[m - 1];
    };
    int y = 1601, m = 1, d = 1, dow = 1;
    for (ULONGLONG day = 0; day < 200000; ++day) {
        FILETIME ft = Make(day * kDay + 123456789);
        SYSTEMTIME st{};
        ASSERT_TRUE(FileTimeToSystemTime(&ft, &st));
        ASSERT_TRUE(st.wYear == y && st.wMonth == m && st.wDay == d && st.wDayOfWeek == dow)
            << "day " << day << ": got " << st.wYear << "-" << st.wMonth << "-" << st.wDay
            << ", want " << y << "-" << m << "-" << d;
        FILETIME back{};
        ASSERT_TRUE(SystemTimeToFileTime(&st, &back));
        ASSERT_EQ(Value(back), Value(ft) / 10000 * 10000);
        dow = (dow + 1) % 7;
        if (++d > daysIn(y, m)) {
            d = 1;
            if (++m > 12) {
                m = 1;
                ++y;
            }
        }
    }
    EXPECT_EQ(y, 2148);
}

TEST(FileTimeConversion, LocalTimeUsesTheCurrentZoneOffset) {
    TestClock clock;
    ASSERT_TRUE(plat::SetVirtualUtcOffset(540));
    FILETIME utc = Make(116444736000000000ull), local{}, back{};
    ASSERT_TRUE(FileTimeToLocalFileTime(&utc, &local));
    EXPECT_EQ(Value(local) - Value(utc), 540ull * 600000000ull);
    ASSERT_TRUE(LocalFileTimeToFileTime(&local, &back));
    EXPECT_EQ(Value(back), Value(utc));

    // Shifts that would leave the valid range fail instead of wrapping.
    FILETIME early = Make(10), late = Make(0x7FFFFFFFFFFFFFF0ull), out{};
    EXPECT_FALSE(LocalFileTimeToFileTime(&early, &out));
    EXPECT_FALSE(FileTimeToLocalFileTime(&late, &out));
    ASSERT_TRUE(plat::SetVirtualUtcOffset(-300));
    EXPECT_FALSE(FileTimeToLocalFileTime(&early, &out));
}

TEST(FileTimeConversion, CompareOrdersByValue) {
    FILETIME a = Make(5), b = Make(0x100000000ull), c = Make(5);
    EXPECT_EQ(CompareFileTime(&a, &b), -1);
    EXPECT_EQ(CompareFileTime(&b, &a), 1);
    EXPECT_EQ(CompareFileTime(&a, &c), 0);
}

TEST(FileTimeConversion, SystemAndLocalTimeAgreeWithTheClock) {
    TestClock clock;
    ASSERT_TRUE(plat::SetVirtualUtcOffset(90));
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    EXPECT_EQ(Value(now), plat::ClockUtcFileTime());
    SYSTEMTIME utc{}, local{};
    GetSystemTime(&utc);
    GetLocalTime(&local);
    EXPECT_EQ(utc.wHour, 0);
    EXPECT_EQ(local.wHour, 1);
    EXPECT_EQ(local.wMinute, 30);
}
