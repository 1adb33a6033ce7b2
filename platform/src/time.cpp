// Calendar arithmetic between FILETIME (100 ns since 1601-01-01) and SYSTEMTIME, and the
// time-of-day calls over the platform clock. 1601 starts a 400-year cycle of the Gregorian
// calendar, which keeps the arithmetic plain.
#include <platform/clock.h>
#include <platform/winbase.h>

namespace {

constexpr ULONGLONG kTicksPerMs = 10000;
constexpr ULONGLONG kMsPerDay = 86400000;
constexpr ULONGLONG kTicksPerMinute = 600000000;
// FILETIME values from 2^63 on are refused by the conversions, as on Windows.
constexpr ULONGLONG kFileTimeLimit = 0x8000000000000000ull;
constexpr WORD kLastYear = 30827;

constexpr int kDaysBeforeMonth[2][13] = {
    {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
    {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366}};

bool IsLeap(unsigned year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

unsigned DaysInMonth(unsigned year, unsigned month) {
    int leap = IsLeap(year) ? 1 : 0;
    return static_cast<unsigned>(kDaysBeforeMonth[leap][month] - kDaysBeforeMonth[leap][month - 1]);
}

ULONGLONG DaysSince1601(unsigned year, unsigned month, unsigned day) {
    ULONGLONG n = year - 1601;
    ULONGLONG days = n * 365 + n / 4 - n / 100 + n / 400;
    return days + static_cast<ULONGLONG>(kDaysBeforeMonth[IsLeap(year) ? 1 : 0][month - 1]) + day -
           1;
}

void CivilFromDays(ULONGLONG days, SYSTEMTIME* st) {
    // 1601-01-01 was a Monday; wDayOfWeek counts from Sunday.
    st->wDayOfWeek = static_cast<WORD>((days + 1) % 7);
    ULONGLONG cycles400 = days / 146097;
    days %= 146097;
    ULONGLONG centuries = days / 36524;
    if (centuries == 4) // the last day of a 400-year cycle
        centuries = 3;
    days -= centuries * 36524;
    ULONGLONG cycles4 = days / 1461;
    days %= 1461;
    ULONGLONG years = days / 365;
    if (years == 4) // the last day of a leap year
        years = 3;
    days -= years * 365;
    unsigned year =
        static_cast<unsigned>(1601 + cycles400 * 400 + centuries * 100 + cycles4 * 4 + years);
    int leap = IsLeap(year) ? 1 : 0;
    unsigned month = 1;
    while (days >= static_cast<ULONGLONG>(kDaysBeforeMonth[leap][month]))
        ++month;
    st->wYear = static_cast<WORD>(year);
    st->wMonth = static_cast<WORD>(month);
    st->wDay =
        static_cast<WORD>(days - static_cast<ULONGLONG>(kDaysBeforeMonth[leap][month - 1]) + 1);
}

ULONGLONG ToValue(const FILETIME& ft) {
    return (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

FILETIME FromValue(ULONGLONG v) {
    return FILETIME{static_cast<DWORD>(v & 0xFFFFFFFFu), static_cast<DWORD>(v >> 32)};
}

// Shifts by the current zone offset; false when the result would leave the valid range.
bool ShiftByZone(const FILETIME* in, LPFILETIME out, int direction) {
    if (!in || !out) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    LONGLONG shift = static_cast<LONGLONG>(plat::ClockUtcOffsetMinutes()) *
                     static_cast<LONGLONG>(kTicksPerMinute) * direction;
    ULONGLONG v = ToValue(*in);
    if (v >= kFileTimeLimit || (shift < 0 && v < static_cast<ULONGLONG>(-shift)) ||
        (shift > 0 && v + static_cast<ULONGLONG>(shift) >= kFileTimeLimit)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    *out = FromValue(static_cast<ULONGLONG>(static_cast<LONGLONG>(v) + shift));
    return true;
}

} // namespace

BOOL SystemTimeToFileTime(const SYSTEMTIME* st, LPFILETIME ft) {
    if (!st || !ft || st->wYear < 1601 || st->wYear > kLastYear || st->wMonth < 1 ||
        st->wMonth > 12 || st->wDay < 1 || st->wDay > DaysInMonth(st->wYear, st->wMonth) ||
        st->wHour > 23 || st->wMinute > 59 || st->wSecond > 59 || st->wMilliseconds > 999) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    ULONGLONG ms = DaysSince1601(st->wYear, st->wMonth, st->wDay) * kMsPerDay +
                   ((st->wHour * 60ull + st->wMinute) * 60ull + st->wSecond) * 1000ull +
                   st->wMilliseconds;
    *ft = FromValue(ms * kTicksPerMs);
    return TRUE;
}

BOOL FileTimeToSystemTime(const FILETIME* ft, LPSYSTEMTIME st) {
    if (!ft || !st || ToValue(*ft) >= kFileTimeLimit) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    ULONGLONG ms = ToValue(*ft) / kTicksPerMs;
    CivilFromDays(ms / kMsPerDay, st);
    ULONGLONG ofDay = ms % kMsPerDay;
    st->wHour = static_cast<WORD>(ofDay / 3600000);
    st->wMinute = static_cast<WORD>(ofDay / 60000 % 60);
    st->wSecond = static_cast<WORD>(ofDay / 1000 % 60);
    st->wMilliseconds = static_cast<WORD>(ofDay % 1000);
    return TRUE;
}

// Both directions use the offset in force now, not the one at the given instant, as Windows
// does.
BOOL FileTimeToLocalFileTime(const FILETIME* utc, LPFILETIME local) {
    return ShiftByZone(utc, local, +1) ? TRUE : FALSE;
}

BOOL LocalFileTimeToFileTime(const FILETIME* local, LPFILETIME utc) {
    return ShiftByZone(local, utc, -1) ? TRUE : FALSE;
}

LONG CompareFileTime(const FILETIME* first, const FILETIME* second) {
    ULONGLONG a = first ? ToValue(*first) : 0;
    ULONGLONG b = second ? ToValue(*second) : 0;
    return a < b ? -1 : (a > b ? 1 : 0);
}

void GetSystemTimeAsFileTime(LPFILETIME utc) {
    if (utc)
        *utc = FromValue(plat::ClockUtcFileTime());
}

void GetSystemTime(LPSYSTEMTIME st) {
    if (!st)
        return;
    FILETIME ft = FromValue(plat::ClockUtcFileTime());
    FileTimeToSystemTime(&ft, st);
}

void GetLocalTime(LPSYSTEMTIME st) {
    if (!st)
        return;
    FILETIME utc = FromValue(plat::ClockUtcFileTime());
    FILETIME local{};
    if (!FileTimeToLocalFileTime(&utc, &local))
        local = utc;
    FileTimeToSystemTime(&local, st);
}
