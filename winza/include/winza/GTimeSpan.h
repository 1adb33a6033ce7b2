// A length of time in days, the fraction being the time of day; the difference of two GTimes.
#pragma once

class GTimeSpan {
public:
    GTimeSpan() = default;
    GTimeSpan(double days) : m_span(days) {}
    GTimeSpan(long days, int hours, int minutes, int seconds, int milliseconds = 0);

    void SetDateTimeSpan(long days, int hours, int minutes, int seconds, int milliseconds = 0);

    double GetTotalDays() const { return m_span; }
    double GetTotalHours() const { return m_span * 24.0; }
    double GetTotalMinutes() const { return m_span * 1440.0; }
    double GetTotalSeconds() const { return m_span * 86400.0; }
    double GetTotalMSeconds() const { return m_span * 86400000.0; }

    // Parts of the span rounded to whole milliseconds; all carry the span's sign.
    long GetDays() const;
    int GetHours() const;
    int GetMinutes() const;
    int GetSeconds() const;
    int GetMSeconds() const;

    // 0 for a span no two valid dates can be apart (or not a number).
    int IsValidSpan() const;

    bool operator==(const GTimeSpan& o) const { return m_span == o.m_span; }
    bool operator!=(const GTimeSpan& o) const { return m_span != o.m_span; }
    bool operator<(const GTimeSpan& o) const { return m_span < o.m_span; }
    bool operator>(const GTimeSpan& o) const { return m_span > o.m_span; }
    bool operator<=(const GTimeSpan& o) const { return m_span <= o.m_span; }
    bool operator>=(const GTimeSpan& o) const { return m_span >= o.m_span; }

    GTimeSpan operator+(const GTimeSpan& o) const { return GTimeSpan(m_span + o.m_span); }
    GTimeSpan operator-(const GTimeSpan& o) const { return GTimeSpan(m_span - o.m_span); }
    GTimeSpan operator-() const { return GTimeSpan(-m_span); }

private:
    long long TotalMs() const;

    double m_span = 0.0;
};
