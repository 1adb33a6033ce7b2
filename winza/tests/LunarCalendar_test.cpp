// The Korean lunar dates of GTime: known dates, leap months, the table's edges and round
// trips through FromJulian.
#include "winza/GTime.h"
#include "winza/LunarTable.h"

#include <gtest/gtest.h>

namespace {

struct Known {
    int y, m, d;    // solar
    int ly, lm, ld; // lunar
    int leap;
};

// Dates published for the Korean calendar (new years and the first days of leap months).
const Known kKnown[] = {
    {1881, 1, 30, 1881, 1, 1, 0}, {1900, 1, 31, 1900, 1, 1, 0},   {1912, 2, 18, 1912, 1, 1, 0},
    {1955, 1, 24, 1955, 1, 1, 0}, {2000, 2, 5, 2000, 1, 1, 0},    {2024, 2, 10, 2024, 1, 1, 0},
    {2050, 1, 23, 2050, 1, 1, 0}, {1984, 11, 23, 1984, 10, 1, 1}, {2017, 6, 24, 2017, 5, 1, 1},
    {2020, 5, 23, 2020, 4, 1, 1}, {2023, 3, 22, 2023, 2, 1, 1},   {2033, 12, 22, 2033, 11, 1, 1},
    {1881, 1, 29, 0, 0, 0, 0}, // the day before the table starts
};

TEST(GTimeLunar, KnownKoreanDates) {
    for (const Known& k : kKnown) {
        const GTime t(k.y, k.m, k.d);
        SCOPED_TRACE(::testing::Message() << k.y << "-" << k.m << "-" << k.d);
        if (k.ly == 0) {
            EXPECT_EQ(t.IsValidJulian(), 0);
            continue;
        }
        ASSERT_EQ(t.IsValidJulian(), 1);
        EXPECT_EQ(t.GetJYear(), k.ly);
        EXPECT_EQ(t.GetJMonth(), k.lm);
        EXPECT_EQ(t.GetJDay(), k.ld);
        EXPECT_EQ(t.IsLeap(), k.leap);
        // The day before a leap month's first day ends the month of the same number.
        if (k.leap) {
            const GTime before = t - GTimeSpan(1.0);
            EXPECT_EQ(before.GetJMonth(), k.lm);
            EXPECT_EQ(before.IsLeap(), 0);
            EXPECT_GE(before.GetJDay(), 29);
        }
    }
}

TEST(GTimeLunar, YearsOutsideTheTableHaveNoLunarDate) {
    for (GTime t : {GTime(1880, 6, 1), GTime(1880, 12, 31), GTime(2200, 1, 1), GTime(2200, 6, 1),
                    GTime(1500, 3, 3)}) {
        EXPECT_EQ(t.IsValidTime(), 1);
        EXPECT_EQ(t.IsValidJulian(), 0);
        EXPECT_EQ(t.IsLeap(), 0);
        EXPECT_EQ(t.GetJYear(), 0);
    }
    EXPECT_EQ(GTime(2199, 12, 31).IsValidJulian(), 1);
    GTime t(2000, 1, 1);
    EXPECT_EQ(t.FromJulian(1880, 12, 1), 0);
    EXPECT_EQ(t.FromJulian(2200, 1, 1), 0);
    EXPECT_EQ(t.FromJulian(2000, 13, 1), 0);
    EXPECT_EQ(t.FromJulian(2000, 0, 1), 0);
    EXPECT_EQ(t.FromJulian(2000, 1, 0), 0);
    EXPECT_EQ(t.FromJulian(2000, 1, 31), 0);
    EXPECT_EQ(t.FromJulian(2000, 4, 1, 1), 0);       // 2000 has no leap month
    EXPECT_EQ(double(t), double(GTime(2000, 1, 1))); // unchanged by refused calls
}

TEST(GTimeLunar, TableIsConsistent) {
    int leapYears = 0;
    for (int i = 0; i < kLunarYearCount; ++i) {
        int sum = 0, months = 0, leaps = 0;
        for (int j = 0; j < 13; ++j) {
            const int code = kLunarMonthTable[i][j];
            ASSERT_LE(code, 4);
            if (code == 0) {
                EXPECT_EQ(j, 12) << "year " << kLunarFirstYear + i;
                continue;
            }
            ++months;
            leaps += code >= 3;
            sum += (code == 2 || code == 4) ? 30 : 29;
        }
        EXPECT_EQ(sum, kLunarYearDays[i]) << "year " << kLunarFirstYear + i;
        EXPECT_EQ(leaps, months - 12);
        EXPECT_NE(kLunarMonthTable[i][0], 3); // a year never opens with a leap month
        leapYears += leaps;
    }
    // 7 leap months in 19 years.
    EXPECT_NEAR(leapYears, kLunarYearCount * 7 / 19, 2);
}

TEST(GTimeLunar, EveryDayRoundTripsThroughFromJulian) {
    // One pass over 1881-01-30 ... 2199-12-31: each day's lunar date leads back to it, and the
    // lunar dates advance one day at a time.
    const long first = static_cast<long>(double(GTime(1881, 1, 30)));
    const long last = static_cast<long>(double(GTime(2199, 12, 31)));
    int prevYear = 0, prevMonth = 0, prevDay = 0, prevLeap = 0;
    int failures = 0;
    GTime back(2000, 1, 1);
    for (long n = first; n <= last && failures < 5; ++n) {
        const GTime t(static_cast<double>(n));
        const int y = t.GetJYear(), m = t.GetJMonth(), d = t.GetJDay(), leap = t.IsLeap();
        bool ok = t.IsValidJulian() == 1 && back.FromJulian(y, m, d, leap) == 1 &&
                  double(back) == static_cast<double>(n);
        if (n == first) {
            ok = ok && y == 1881 && m == 1 && d == 1;
        } else if (d == 1) {
            // A new month: the next number, or a leap month repeating the last one.
            const bool nextMonth = !leap && ((m == prevMonth + 1 && y == prevYear) ||
                                             (m == 1 && prevMonth == 12 && y == prevYear + 1));
            const bool leapMonth = leap && !prevLeap && m == prevMonth && y == prevYear;
            ok = ok && (nextMonth || leapMonth) && prevDay >= 29;
        } else {
            ok = ok && y == prevYear && m == prevMonth && leap == prevLeap && d == prevDay + 1;
        }
        if (!ok) {
            ADD_FAILURE() << "day " << n << ": " << y << "/" << m << "/" << d << " leap " << leap;
            ++failures;
        }
        prevYear = y;
        prevMonth = m;
        prevDay = d;
        prevLeap = leap;
    }
    EXPECT_EQ(prevYear, 2199);
}

TEST(GTimeLunar, FromJulianKeepsTheTimeOfDay) {
    GTime t(2010, 1, 1, 14, 15, 16, 17);
    ASSERT_EQ(t.FromJulian(2017, 5, 1, 1), 1);
    EXPECT_EQ(t.GetYear(), 2017);
    EXPECT_EQ(t.GetMonth(), 6);
    EXPECT_EQ(t.GetDay(), 24);
    EXPECT_EQ(t.GetHour(), 14);
    EXPECT_EQ(t.GetMSecond(), 17);
    EXPECT_EQ(t.IsLeap(), 1);
    // Without the leap flag the same numbers name the regular month before it.
    ASSERT_EQ(t.FromJulian(2017, 5, 1), 1);
    EXPECT_EQ(t.GetMonth(), 5);
    EXPECT_EQ(t.GetDay(), 26);
    EXPECT_EQ(t.IsLeap(), 0);
    // The last lunar day of the table lies in 2200, which has no lunar date of its own.
    const int lastCode = kLunarMonthTable[kLunarYearCount - 1][12]
                             ? kLunarMonthTable[kLunarYearCount - 1][12]
                             : kLunarMonthTable[kLunarYearCount - 1][11];
    const int lastDay = (lastCode == 2 || lastCode == 4) ? 30 : 29;
    ASSERT_EQ(t.FromJulian(2199, 12, lastDay), 1);
    EXPECT_EQ(t.GetYear(), 2200);
    EXPECT_EQ(t.IsValidJulian(), 0);
}

} // namespace
