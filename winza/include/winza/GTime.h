// A date and time as an OLE Automation date: days since 30 December 1899 as a double, the time
// of day as the fraction (for dates before that day the fraction still counts forward from
// midnight, so -1.25 is 29 December 1899, 06:00). Beside the double the value keeps its
// broken-down fields and, for 1881-2199, the date in the Korean lunisolar calendar.
#pragma once

#include "winza/GTimeSpan.h"

#include <windows.h>

class GTime {
public:
    static constexpr double kInvalidDate = 949998.0;
    enum : BYTE { kValid = 1, kLunarValid = 2, kLunarLeap = 4 };

    // Now, from the local clock.
    GTime();
    GTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
          int millisecond = 0);
    GTime(double date);
    GTime(const SYSTEMTIME& st);
    GTime(const FILETIME& ft);

    operator double() const { return m_date; }
    // 0 (and an all-zero record) when the value is invalid.
    int GetAsSystemTime(SYSTEMTIME& st) const;
    int GetAsFileTime(FILETIME& ft) const;

    GTime& operator=(double date);
    GTime& operator=(const SYSTEMTIME& st);
    GTime& operator=(const FILETIME& ft);

    bool operator==(const GTime& o) const { return m_date == o.m_date; }
    bool operator!=(const GTime& o) const { return m_date != o.m_date; }
    bool operator<(const GTime& o) const { return Linear() < o.Linear(); }
    bool operator>(const GTime& o) const { return Linear() > o.Linear(); }
    bool operator<=(const GTime& o) const { return Linear() <= o.Linear(); }
    bool operator>=(const GTime& o) const { return Linear() >= o.Linear(); }
    bool operator==(double d) const { return m_date == d; }
    bool operator!=(double d) const { return m_date != d; }
    bool operator<(double d) const { return *this < GTime(d); }
    bool operator>(double d) const { return *this > GTime(d); }

    // Arithmetic runs on a straight time line, so it also holds before 30 December 1899; an
    // invalid operand or a result outside the valid range gives an invalid value.
    GTime operator+(const GTimeSpan& span) const;
    GTime operator-(const GTimeSpan& span) const;
    GTime& operator+=(const GTimeSpan& span);
    GTime& operator-=(const GTimeSpan& span);
    GTimeSpan operator-(const GTime& other) const;

    int GetYear() const { return m_year; }
    int GetMonth() const { return m_month; }
    int GetDay() const { return m_day; }
    int GetHour() const { return m_hour; }
    int GetMinute() const { return m_minute; }
    int GetSecond() const { return m_second; }
    int GetMSecond() const { return m_msecond; }
    // 1 = Sunday ... 7 = Saturday.
    int GetDayOfWeek() const { return m_dayOfWeek; }
    int GetDayOfYear() const { return m_dayOfYear; }
    int GetJYear() const { return m_jYear; }
    int GetJMonth() const { return m_jMonth; }
    int GetJDay() const { return m_jDay; }

    int IsValidTime() const { return (m_flags & kValid) ? 1 : 0; }
    int IsValidJulian() const { return (m_flags & kLunarValid) ? 1 : 0; }
    // 1 when the lunar month is an intercalary month.
    int IsLeap() const { return (m_flags & kLunarLeap) ? 1 : 0; }

    // Week 1 is the week (Sunday to Saturday, or Monday to Sunday when mondayFirst) holding
    // the year's first Thursday; the days before it belong to the previous year's last week
    // (so mondayFirst gives the ISO 8601 week number). 0 for an invalid value.
    int GetWeekOfYear(int mondayFirst) const;

    int SetDate(double date);
    int SetDate(const SYSTEMTIME& st);
    int SetDate(const FILETIME& ft);
    // Keeps the time of day. A day of 0 becomes 1, a day past the month's end the last day.
    int SetDate(int year, int month, int day);
    // Keeps the date; an hour above 23 or a minute or second above 59 becomes 0.
    int SetTime(int hour, int minute, int second, int millisecond = 0);
    // withLunar 0 leaves the lunar part invalid (cheaper when it is not needed).
    int SetDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond,
                    int withLunar = 1);
    // Sets the solar date (keeping the time of day) from a lunar date of 1881-2199; leap 1
    // picks the intercalary month of that number. 0, and nothing changes, when no such day.
    int FromJulian(int lunarYear, int lunarMonth, int lunarDay, int leap = 0);
    void SetInvalid();

private:
    double Linear() const;
    int FromDouble(double date, int withLunar);
    void ComputeLunar();

    double m_date = kInvalidDate;
    WORD m_year = 0;
    BYTE m_month = 0;
    BYTE m_day = 0;
    BYTE m_hour = 0;
    BYTE m_minute = 0;
    BYTE m_second = 0;
    WORD m_msecond = 0;
    BYTE m_dayOfWeek = 0;
    WORD m_dayOfYear = 0;
    WORD m_jYear = 0;
    BYTE m_jMonth = 0;
    BYTE m_jDay = 0;
    BYTE m_flags = 0;
};
