#include "winza/GTime.h"

#include "winza/LunarTable.h"

#include <cmath>

namespace {

constexpr double kMinDay = -657434.0; // 1 January 100
constexpr double kMaxDay = 2958465.0; // 31 December 9999
constexpr long long kMsPerDay = 86400000;
// Days from 1 January of year 0 (a leap year in the proleptic calendar) to 30 December 1899.
constexpr long kDayZero = 693959;
// Days from 1 January 1601 to 30 December 1899.
constexpr long long kFileTimeDayZero = 109205;
constexpr long long kFileTimeTicksPerMs = 10000;

const int kDaysBefore[2][13] = {{0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
                                {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366}};

bool IsLeapYear(long year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int MonthLength(long year, int month) {
    const int leap = IsLeapYear(year) ? 1 : 0;
    return kDaysBefore[leap][month] - kDaysBefore[leap][month - 1];
}

// Day number (0 = 30 December 1899) of a valid year, month and day.
long DayNumber(long year, int month, int day) {
    long n = kDaysBefore[0][month - 1] + day + 365 * year + year / 4 - year / 100 + year / 400 -
             kDayZero;
    // year / 4 - year / 100 + year / 400 already counts this year's leap day.
    if (IsLeapYear(year) && month <= 2)
        --n;
    return n;
}

// A day number on a straight line: for negative dates the OLE fraction counts forward from
// midnight while the whole part counts back, so -1.25 lies at -0.75.
double ToLinear(double date) {
    if (date >= 0.0)
        return date;
    const double day = std::trunc(date);
    return day + (day - date);
}

double FromLinear(double linear) {
    if (linear >= 0.0)
        return linear;
    const double day = std::floor(linear);
    return day - (linear - day);
}

// Proleptic Gregorian day ordinal (1 January of year 1 is 1).
long Ordinal(long year, int dayOfYear) {
    const long y = year - 1;
    return 365 * y + y / 4 - y / 100 + y / 400 + dayOfYear;
}

int MonthCodeLength(int code) {
    return (code == 2 || code == 4) ? 30 : 29;
}

} // namespace

GTime::GTime() {
    SYSTEMTIME st;
    ::GetLocalTime(&st);
    SetDate(st);
}

GTime::GTime(int year, int month, int day, int hour, int minute, int second, int millisecond) {
    SetDateTime(year, month, day, hour, minute, second, millisecond, 1);
}

GTime::GTime(double date) {
    FromDouble(date, 1);
}
GTime::GTime(const SYSTEMTIME& st) {
    SetDate(st);
}
GTime::GTime(const FILETIME& ft) {
    SetDate(ft);
}

GTime& GTime::operator=(double date) {
    FromDouble(date, 1);
    return *this;
}

GTime& GTime::operator=(const SYSTEMTIME& st) {
    SetDate(st);
    return *this;
}

GTime& GTime::operator=(const FILETIME& ft) {
    SetDate(ft);
    return *this;
}

int GTime::GetAsSystemTime(SYSTEMTIME& st) const {
    st = SYSTEMTIME{};
    if (!IsValidTime())
        return 0;
    st.wYear = m_year;
    st.wMonth = m_month;
    st.wDay = m_day;
    st.wDayOfWeek = static_cast<WORD>(m_dayOfWeek - 1);
    st.wHour = m_hour;
    st.wMinute = m_minute;
    st.wSecond = m_second;
    st.wMilliseconds = m_msecond;
    return 1;
}

int GTime::GetAsFileTime(FILETIME& ft) const {
    ft = FILETIME{};
    // FILETIME starts in 1601.
    if (!IsValidTime() || m_year < 1601)
        return 0;
    const long long day = DayNumber(m_year, m_month, m_day) + kFileTimeDayZero;
    const long long ms =
        ((m_hour * 60LL + m_minute) * 60 + m_second) * 1000 + m_msecond + day * kMsPerDay;
    const unsigned long long ticks = static_cast<unsigned long long>(ms) * kFileTimeTicksPerMs;
    ft.dwLowDateTime = static_cast<DWORD>(ticks);
    ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return 1;
}

double GTime::Linear() const {
    return ToLinear(m_date);
}

GTime GTime::operator+(const GTimeSpan& span) const {
    GTime t(*this);
    t.SetInvalid();
    if (IsValidTime() && span.IsValidSpan())
        t.FromDouble(FromLinear(Linear() + span.GetTotalDays()), 1);
    return t;
}

GTime GTime::operator-(const GTimeSpan& span) const {
    return *this + (-span);
}

GTime& GTime::operator+=(const GTimeSpan& span) {
    *this = *this + span;
    return *this;
}

GTime& GTime::operator-=(const GTimeSpan& span) {
    *this = *this - span;
    return *this;
}

GTimeSpan GTime::operator-(const GTime& other) const {
    return GTimeSpan(Linear() - other.Linear());
}

int GTime::SetDate(double date) {
    return FromDouble(date, 1);
}

int GTime::SetDate(const SYSTEMTIME& st) {
    return SetDateTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond,
                       st.wMilliseconds, 1);
}

int GTime::SetDate(const FILETIME& ft) {
    const unsigned long long ticks =
        (static_cast<unsigned long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    const long long ms = static_cast<long long>(ticks / kFileTimeTicksPerMs);
    const long long day = ms / kMsPerDay - kFileTimeDayZero;
    const long long rest = ms % kMsPerDay;
    if (day > static_cast<long long>(kMaxDay)) {
        SetInvalid();
        return 0;
    }
    // Whole milliseconds: the fields come out exact even where the double cannot hold them.
    const GTime d(static_cast<double>(day));
    const int r = static_cast<int>(rest);
    return SetDateTime(d.m_year, d.m_month, d.m_day, r / 3600000, r / 60000 % 60, r / 1000 % 60,
                       r % 1000, 1);
}

int GTime::SetDate(int year, int month, int day) {
    if (!IsValidTime())
        return SetDateTime(year, month, day, 0, 0, 0, 0, 1);
    return SetDateTime(year, month, day, m_hour, m_minute, m_second, m_msecond, 1);
}

int GTime::SetTime(int hour, int minute, int second, int millisecond) {
    if (!IsValidTime())
        return 0;
    return SetDateTime(m_year, m_month, m_day, hour, minute, second, millisecond, 1);
}

int GTime::SetDateTime(int year, int month, int day, int hour, int minute, int second,
                       int millisecond, int withLunar) {
    if (year < 100 || year > 9999 || month < 1 || month > 12) {
        SetInvalid();
        return 0;
    }
    const int length = MonthLength(year, month);
    if (day < 1)
        day = 1;
    if (day > length)
        day = length;
    if (hour < 0 || hour > 23)
        hour = 0;
    if (minute < 0 || minute > 59)
        minute = 0;
    if (second < 0 || second > 59)
        second = 0;
    if (millisecond < 0 || millisecond > 999)
        millisecond = 0;
    const long n = DayNumber(year, month, day);
    const double time =
        static_cast<double>(((hour * 3600LL + minute * 60 + second) * 1000) + millisecond) /
        kMsPerDay;
    return FromDouble(n >= 0 ? n + time : n - time, withLunar);
}

int GTime::FromDouble(double date, int withLunar) {
    // The whole part must name a day from 1 January 100 to 31 December 9999.
    if (!(date > kMinDay - 1.0 && date < kMaxDay + 1.0)) {
        SetInvalid();
        return 0;
    }
    long dayNumber = static_cast<long>(std::trunc(date));
    long long ms = std::llround(std::fabs(date - dayNumber) * kMsPerDay);
    // The calendar day runs from day n at midnight forward either side of day 0.
    long absolute = dayNumber + kDayZero;
    if (ms >= kMsPerDay) {
        ms = 0;
        ++absolute;
        if (absolute > static_cast<long>(kMaxDay) + kDayZero) {
            --absolute;
            ms = kMsPerDay - 1;
        }
    }
    // Through the 400-, 100- and 4-year cycles from 1 January of year 0. Each cycle starts
    // with a leap year except the later centuries of a 400-year cycle and their first four
    // years.
    long rest = absolute % 146097;
    long year = absolute / 146097 * 400;
    bool firstYearLeap = true;
    if (rest >= 36525) {
        rest -= 36525;
        year += 100 + rest / 36524 * 100;
        rest %= 36524;
        if (rest < 1460) {
            firstYearLeap = false;
        } else {
            rest -= 1460;
            year += 4 + rest / 1461 * 4;
            rest %= 1461;
        }
    } else {
        year += rest / 1461 * 4;
        rest %= 1461;
    }
    if (firstYearLeap && rest >= 366) {
        rest -= 366;
        year += 1 + rest / 365;
        rest %= 365;
    } else if (!firstYearLeap) {
        year += rest / 365;
        rest %= 365;
    }
    const int leap = IsLeapYear(year) ? 1 : 0;
    int month = 1;
    while (month < 12 && rest >= kDaysBefore[leap][month])
        ++month;

    // A value whose day or time was rounded keeps the canonical double.
    const long canonicalDay = absolute - kDayZero;
    const double time = static_cast<double>(ms) / kMsPerDay;
    m_date = canonicalDay >= 0 ? canonicalDay + time : canonicalDay - time;
    m_year = static_cast<WORD>(year);
    m_month = static_cast<BYTE>(month);
    m_day = static_cast<BYTE>(rest - kDaysBefore[leap][month - 1] + 1);
    m_dayOfYear = static_cast<WORD>(rest + 1);
    m_hour = static_cast<BYTE>(ms / 3600000);
    m_minute = static_cast<BYTE>(ms / 60000 % 60);
    m_second = static_cast<BYTE>(ms / 1000 % 60);
    m_msecond = static_cast<WORD>(ms % 1000);
    m_dayOfWeek = static_cast<BYTE>((canonicalDay + 693958) % 7 + 1);
    m_flags = kValid;
    m_jYear = 0;
    m_jMonth = 0;
    m_jDay = 0;
    if (withLunar)
        ComputeLunar();
    return 1;
}

void GTime::ComputeLunar() {
    m_flags &= static_cast<BYTE>(~(kLunarValid | kLunarLeap));
    m_jYear = 0;
    m_jMonth = 0;
    m_jDay = 0;
    if (!IsValidTime() || m_year < kLunarFirstYear || m_year > kLunarLastYear)
        return;
    long count = Ordinal(m_year, m_dayOfYear) - kLunarTableBase;
    if (count < 1)
        return;
    --count;
    int index = 0;
    while (index < kLunarYearCount && count >= kLunarYearDays[index])
        count -= kLunarYearDays[index++];
    if (index == kLunarYearCount)
        return;
    int month = 0;
    for (int i = 0; i < 13; ++i) {
        const int code = kLunarMonthTable[index][i];
        if (code < 1 || code > 4)
            return;
        const bool leap = code >= 3;
        if (!leap)
            ++month;
        const int length = MonthCodeLength(code);
        if (count < length) {
            m_jYear = static_cast<WORD>(kLunarFirstYear + index);
            m_jMonth = static_cast<BYTE>(month);
            m_jDay = static_cast<BYTE>(count + 1);
            m_flags |= kLunarValid | (leap ? kLunarLeap : 0);
            return;
        }
        count -= length;
    }
}

int GTime::FromJulian(int lunarYear, int lunarMonth, int lunarDay, int leap) {
    if (lunarYear < kLunarFirstYear || lunarYear > kLunarLastYear || lunarMonth < 1 ||
        lunarMonth > 12 || lunarDay < 1)
        return 0;
    const int index = lunarYear - kLunarFirstYear;
    long count = 0;
    for (int i = 0; i < index; ++i)
        count += kLunarYearDays[i];
    int month = 0;
    bool found = false;
    for (int i = 0; i < 13 && !found; ++i) {
        const int code = kLunarMonthTable[index][i];
        if (code < 1 || code > 4)
            break;
        const bool isLeap = code >= 3;
        if (!isLeap)
            ++month;
        const int length = MonthCodeLength(code);
        if (month == lunarMonth && isLeap == (leap != 0)) {
            if (lunarDay > length)
                return 0;
            count += lunarDay;
            found = true;
        } else {
            count += length;
        }
    }
    if (!found)
        return 0;
    const long dayNumber = count + kLunarTableBase - (kDayZero - 365);
    const int hour = IsValidTime() ? m_hour : 0;
    const int minute = IsValidTime() ? m_minute : 0;
    const int second = IsValidTime() ? m_second : 0;
    const int ms = IsValidTime() ? m_msecond : 0;
    const GTime day(static_cast<double>(dayNumber));
    return SetDateTime(day.m_year, day.m_month, day.m_day, hour, minute, second, ms, 1);
}

void GTime::SetInvalid() {
    m_date = kInvalidDate;
    m_year = 0;
    m_month = m_day = m_hour = m_minute = m_second = 0;
    m_msecond = 0;
    m_dayOfWeek = 0;
    m_dayOfYear = 0;
    m_jYear = 0;
    m_jMonth = m_jDay = 0;
    m_flags = 0;
}

int GTime::GetWeekOfYear(int mondayFirst) const {
    if (!IsValidTime())
        return 0;
    // Days from this date to the last day of its week.
    const int weekday = mondayFirst ? (m_dayOfWeek + 5) % 7 : m_dayOfWeek - 1; // 0 = first
    const long lastDay = static_cast<long>(std::floor(Linear())) + (6 - weekday);
    const GTime last(static_cast<double>(lastDay));
    if (!last.IsValidTime())
        return 0;
    const int bias = mondayFirst ? 3 : 4;
    int week = (last.m_dayOfYear + bias) / 7;
    if (week == 0) {
        // The week holds no Thursday of this year: count from 1 January of the year before.
        const int before = IsLeapYear(last.m_year - 1) ? 366 : 365;
        week = (last.m_dayOfYear + before + bias) / 7;
    }
    return week;
}
