#include "winza/GTimeSpan.h"

#include <cmath>

namespace {
// The widest distance between 1 January 100 and 31 December 9999, plus the last day.
constexpr double kMaxSpanDays = 3615900.0;
constexpr long long kMsPerDay = 86400000;
} // namespace

GTimeSpan::GTimeSpan(long days, int hours, int minutes, int seconds, int milliseconds) {
    SetDateTimeSpan(days, hours, minutes, seconds, milliseconds);
}

void GTimeSpan::SetDateTimeSpan(long days, int hours, int minutes, int seconds, int milliseconds) {
    const long long ms =
        (((static_cast<long long>(hours) * 60 + minutes) * 60) + seconds) * 1000 + milliseconds;
    m_span = static_cast<double>(days) + static_cast<double>(ms) / kMsPerDay;
}

long long GTimeSpan::TotalMs() const {
    if (!IsValidSpan())
        return 0;
    return std::llround(m_span * kMsPerDay);
}

long GTimeSpan::GetDays() const {
    return static_cast<long>(TotalMs() / kMsPerDay);
}
int GTimeSpan::GetHours() const {
    return static_cast<int>(TotalMs() / 3600000 % 24);
}
int GTimeSpan::GetMinutes() const {
    return static_cast<int>(TotalMs() / 60000 % 60);
}
int GTimeSpan::GetSeconds() const {
    return static_cast<int>(TotalMs() / 1000 % 60);
}
int GTimeSpan::GetMSeconds() const {
    return static_cast<int>(TotalMs() % 1000);
}

int GTimeSpan::IsValidSpan() const {
    return std::isfinite(m_span) && std::fabs(m_span) <= kMaxSpanDays ? 1 : 0;
}
