// Solar conversion, arithmetic and week numbers of GTime and GTimeSpan.
#include "winza/GTime.h"

#include <platform/clock.h>

#include <gtest/gtest.h>

#include <cmath>

namespace {

void ExpectFields(const GTime& t, int y, int m, int d, int h = 0, int mi = 0, int s = 0,
                  int ms = 0) {
    EXPECT_EQ(t.GetYear(), y);
    EXPECT_EQ(t.GetMonth(), m);
    EXPECT_EQ(t.GetDay(), d);
    EXPECT_EQ(t.GetHour(), h);
    EXPECT_EQ(t.GetMinute(), mi);
    EXPECT_EQ(t.GetSecond(), s);
    EXPECT_EQ(t.GetMSecond(), ms);
}

TEST(GTimeSolar, DayZeroIsSaturday30December1899) {
    GTime t(0.0);
    ASSERT_EQ(t.IsValidTime(), 1);
    ExpectFields(t, 1899, 12, 30);
    EXPECT_EQ(t.GetDayOfWeek(), 7);
    EXPECT_EQ(t.GetDayOfYear(), 364);
    EXPECT_EQ(double(GTime(1900, 1, 1)), 2.0);
    EXPECT_EQ(GTime(1900, 1, 1).GetDayOfWeek(), 2); // a Monday
    EXPECT_EQ(double(GTime(1899, 12, 31)), 1.0);
}

TEST(GTimeSolar, KnownDayNumbers) {
    EXPECT_EQ(double(GTime(2000, 1, 1)), 36526.0);
    EXPECT_EQ(double(GTime(1900, 3, 1)), 61.0); // 1900 is no leap year
    EXPECT_EQ(double(GTime(2000, 3, 1)), 36586.0);
    EXPECT_EQ(double(GTime(100, 1, 1)), -657434.0);
    EXPECT_EQ(double(GTime(9999, 12, 31)), 2958465.0);
    EXPECT_EQ(GTime(2024, 2, 29).GetDayOfYear(), 60);
    EXPECT_EQ(GTime(2023, 12, 31).GetDayOfYear(), 365);
    EXPECT_EQ(GTime(2024, 12, 31).GetDayOfYear(), 366);
    EXPECT_EQ(GTime(2024, 1, 1).GetDayOfWeek(), 2);
}

TEST(GTimeSolar, TimeOfDayAndNegativeDates) {
    GTime noon(2004, 2, 29, 12, 0, 0);
    EXPECT_DOUBLE_EQ(double(noon), 38046.5);
    ExpectFields(GTime(38046.75), 2004, 2, 29, 18);
    // Before day 0 the fraction still runs forward from midnight.
    EXPECT_DOUBLE_EQ(double(GTime(1899, 12, 29, 6, 0, 0)), -1.25);
    ExpectFields(GTime(-1.25), 1899, 12, 29, 6);
    ExpectFields(GTime(-0.5), 1899, 12, 30, 12);
    GTime t(2010, 7, 4, 13, 45, 30, 250);
    ExpectFields(GTime(double(t)), 2010, 7, 4, 13, 45, 30, 250);
    ExpectFields(GTime(1899, 12, 28, 23, 59, 59, 999), 1899, 12, 28, 23, 59, 59, 999);
}

TEST(GTimeSolar, FieldsAreClampedOrRefused) {
    GTime t(2004, 2, 30);
    ExpectFields(t, 2004, 2, 29);
    t.SetDate(2003, 2, 30);
    ExpectFields(t, 2003, 2, 28);
    t.SetDate(1900, 2, 29);
    ExpectFields(t, 1900, 2, 28);
    t.SetDate(2000, 2, 31);
    ExpectFields(t, 2000, 2, 29);
    t.SetDate(2003, 4, 0);
    ExpectFields(t, 2003, 4, 1);
    t.SetDate(2003, 4, 31);
    ExpectFields(t, 2003, 4, 30);
    ExpectFields(GTime(2003, 5, 6, 24, 60, 61), 2003, 5, 6, 0, 0, 0);
    for (GTime bad :
         {GTime(99, 12, 31), GTime(10000, 1, 1), GTime(2003, 0, 1), GTime(2003, 13, 1)}) {
        EXPECT_EQ(bad.IsValidTime(), 0);
        EXPECT_EQ(double(bad), GTime::kInvalidDate);
    }
}

TEST(GTimeSolar, OutOfRangeDoublesAreInvalid) {
    GTime t(2958466.0);
    EXPECT_EQ(t.IsValidTime(), 0);
    EXPECT_EQ(t.IsValidJulian(), 0);
    EXPECT_EQ(double(t), 949998.0);
    EXPECT_EQ(t.GetYear(), 0);
    EXPECT_EQ(t.GetDayOfWeek(), 0);
    EXPECT_EQ(GTime(-657435.0).IsValidTime(), 0);
    EXPECT_EQ(GTime(-657434.5).IsValidTime(), 1);
    EXPECT_EQ(GTime(2958465.5).IsValidTime(), 1);
    EXPECT_EQ(GTime(std::nan("")).IsValidTime(), 0);
    GTime valid(2000, 1, 1);
    valid = 1e300;
    EXPECT_EQ(valid.IsValidTime(), 0);
    EXPECT_EQ(double(valid), 949998.0);
}

TEST(GTimeSolar, EveryDayRoundTripsThroughItsFields) {
    // The cycle decomposition against the closed form, across all of 100-9999.
    int bad = 0;
    for (long n = -657434; n <= 2958465 && bad < 5; ++n) {
        const GTime t(static_cast<double>(n));
        const GTime back(t.GetYear(), t.GetMonth(), t.GetDay());
        if (double(back) != static_cast<double>(n) || t.GetDayOfWeek() != (n + 693958) % 7 + 1) {
            ADD_FAILURE() << "day " << n;
            ++bad;
        }
    }
}

TEST(GTimeSolar, SystemTimeAndFileTime) {
    SYSTEMTIME st{};
    st.wYear = 2021;
    st.wMonth = 3;
    st.wDay = 14;
    st.wHour = 15;
    st.wMinute = 9;
    st.wSecond = 26;
    st.wMilliseconds = 535;
    GTime t(st);
    ExpectFields(t, 2021, 3, 14, 15, 9, 26, 535);
    SYSTEMTIME out;
    ASSERT_EQ(t.GetAsSystemTime(out), 1);
    EXPECT_EQ(out.wDayOfWeek, 0); // Sunday
    EXPECT_EQ(out.wMilliseconds, 535);
    FILETIME ft;
    ASSERT_EQ(t.GetAsFileTime(ft), 1);
    SYSTEMTIME viaPlatform;
    ASSERT_TRUE(::FileTimeToSystemTime(&ft, &viaPlatform));
    EXPECT_EQ(viaPlatform.wYear, 2021);
    EXPECT_EQ(viaPlatform.wDay, 14);
    EXPECT_EQ(viaPlatform.wHour, 15);
    EXPECT_EQ(viaPlatform.wMilliseconds, 535);
    GTime fromFile(ft);
    ExpectFields(fromFile, 2021, 3, 14, 15, 9, 26, 535);
    // 1 January 1601 is FILETIME zero.
    FILETIME zero{};
    ExpectFields(GTime(zero), 1601, 1, 1);
    GTime invalid(2958466.0);
    EXPECT_EQ(invalid.GetAsSystemTime(out), 0);
    EXPECT_EQ(out.wYear, 0);
    EXPECT_EQ(GTime(1500, 1, 1).GetAsFileTime(ft), 0);
}

TEST(GTimeSolar, NowFollowsTheLocalClock) {
    plat::UseVirtualClock(true);
    SYSTEMTIME st{};
    st.wYear = 2026;
    st.wMonth = 12;
    st.wDay = 9;
    st.wHour = 8;
    st.wMinute = 30;
    ASSERT_TRUE(plat::SetVirtualLocalTime(st));
    GTime now;
    ExpectFields(now, 2026, 12, 9, 8, 30);
    plat::UseVirtualClock(false);
}

TEST(GTimeSolar, SetTimeKeepsTheDateAndSetDateKeepsTheTime) {
    GTime t(2005, 6, 7, 8, 9, 10, 11);
    t.SetTime(20, 30, 40, 50);
    ExpectFields(t, 2005, 6, 7, 20, 30, 40, 50);
    t.SetDate(1999, 1, 2);
    ExpectFields(t, 1999, 1, 2, 20, 30, 40, 50);
    t.SetInvalid();
    EXPECT_EQ(t.SetTime(1, 2, 3, 4), 0);
    EXPECT_EQ(t.IsValidTime(), 0);
}

TEST(GTimeArithmetic, SpansAddAcrossDayZero) {
    GTime t(1899, 12, 29, 18, 0, 0); // -1.75
    GTime later = t + GTimeSpan(0.5);
    ExpectFields(later, 1899, 12, 30, 6);
    EXPECT_DOUBLE_EQ(double(later), 0.25);
    GTimeSpan back = later - t;
    EXPECT_DOUBLE_EQ(back.GetTotalHours(), 12.0);
    GTime earlier = later - GTimeSpan(1, 0, 0, 0);
    ExpectFields(earlier, 1899, 12, 29, 6);
    EXPECT_TRUE(earlier < later);
    EXPECT_TRUE(GTime(-1.75) > GTime(-1.25)); // 18:00 after 06:00 on 29 December
    t += GTimeSpan(31);
    ExpectFields(t, 1900, 1, 29, 18);
    t -= GTimeSpan(0, 18, 0, 0);
    ExpectFields(t, 1900, 1, 29);
    EXPECT_EQ((GTime(9999, 12, 31) + GTimeSpan(1)).IsValidTime(), 0);
    EXPECT_EQ((GTime(2958466.0) + GTimeSpan(1)).IsValidTime(), 0);
}

TEST(GTimeSpanParts, PartsCarryTheSign) {
    GTimeSpan s(2, 3, 4, 5, 6);
    EXPECT_EQ(s.GetDays(), 2);
    EXPECT_EQ(s.GetHours(), 3);
    EXPECT_EQ(s.GetMinutes(), 4);
    EXPECT_EQ(s.GetSeconds(), 5);
    EXPECT_EQ(s.GetMSeconds(), 6);
    GTimeSpan n = -s;
    EXPECT_EQ(n.GetDays(), -2);
    EXPECT_EQ(n.GetHours(), -3);
    EXPECT_EQ(n.GetMSeconds(), -6);
    EXPECT_DOUBLE_EQ(GTimeSpan(0.5).GetTotalMinutes(), 720.0);
    EXPECT_DOUBLE_EQ(GTimeSpan(1.0).GetTotalMSeconds(), 86400000.0);
    EXPECT_TRUE(GTimeSpan(1.0) + GTimeSpan(0.5) == GTimeSpan(1.5));
    EXPECT_TRUE(GTimeSpan(1.0) - GTimeSpan(1.5) < GTimeSpan());
    GTimeSpan t;
    t.SetDateTimeSpan(0, 23, 59, 59, 999);
    EXPECT_EQ(t.GetDays(), 0);
    EXPECT_EQ(t.GetHours(), 23);
    EXPECT_EQ(t.GetMSeconds(), 999);
    EXPECT_EQ(GTimeSpan(3615900.0).IsValidSpan(), 1);
    EXPECT_EQ(GTimeSpan(4e6).IsValidSpan(), 0);
    EXPECT_EQ(GTimeSpan(std::nan("")).IsValidSpan(), 0);
    EXPECT_EQ(GTimeSpan(std::nan("")).GetHours(), 0);
}

TEST(GTimeWeek, WeeksOfYearAtTheYearsEdges) {
    // Monday first: ISO 8601 week numbers.
    EXPECT_EQ(GTime(2010, 1, 1).GetWeekOfYear(1), 53); // Friday, in 2009's last week
    EXPECT_EQ(GTime(2009, 12, 31).GetWeekOfYear(1), 53);
    EXPECT_EQ(GTime(2010, 1, 4).GetWeekOfYear(1), 1);
    EXPECT_EQ(GTime(2014, 12, 29).GetWeekOfYear(1), 1); // Monday of 2015's first week
    EXPECT_EQ(GTime(2011, 1, 1).GetWeekOfYear(1), 52);
    EXPECT_EQ(GTime(2016, 1, 3).GetWeekOfYear(1), 53);
    EXPECT_EQ(GTime(2020, 12, 31).GetWeekOfYear(1), 53);
    EXPECT_EQ(GTime(2021, 1, 3).GetWeekOfYear(1), 53); // Sunday ends 2020-W53
    EXPECT_EQ(GTime(2021, 1, 4).GetWeekOfYear(1), 1);
    // Sunday first: week 1 holds the first Thursday, counted Sunday to Saturday.
    EXPECT_EQ(GTime(2015, 1, 1).GetWeekOfYear(0), 1);   // Thursday
    EXPECT_EQ(GTime(2014, 12, 28).GetWeekOfYear(0), 1); // the Sunday starting it
    EXPECT_EQ(GTime(2014, 12, 27).GetWeekOfYear(0), 52);
    EXPECT_EQ(GTime(2016, 1, 2).GetWeekOfYear(0), 53); // Saturday; its Thursday is in 2015
    EXPECT_EQ(GTime(2016, 1, 3).GetWeekOfYear(0), 1);
    EXPECT_EQ(GTime(2024, 6, 15).GetWeekOfYear(0), 24);
    EXPECT_EQ(GTime(2024, 6, 16).GetWeekOfYear(0), 25);
    EXPECT_EQ(GTime(2958466.0).GetWeekOfYear(1), 0);
}

TEST(GTimeWeek, WeekNumbersStepByOneThroughTheYears) {
    for (int monday = 0; monday <= 1; ++monday) {
        GTime day(1990, 1, 1);
        int previous = day.GetWeekOfYear(monday);
        for (int i = 1; i < 366 * 40; ++i) {
            const GTime next = day + GTimeSpan(static_cast<double>(i));
            const int week = next.GetWeekOfYear(monday);
            const bool weekStart = next.GetDayOfWeek() == (monday ? 2 : 1);
            if (weekStart)
                ASSERT_TRUE(week == previous + 1 || (week == 1 && previous >= 52))
                    << next.GetYear() << "-" << next.GetMonth() << "-" << next.GetDay();
            else
                ASSERT_EQ(week, previous);
            previous = week;
        }
    }
}

} // namespace
