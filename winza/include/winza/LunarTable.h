// The Korean lunisolar calendar as data: per lunar year 1881-2199, thirteen month codes and the
// year's length in days. data/lunar/make_lunar_table.py computes both and writes
// LunarTable.cpp.
#pragma once

constexpr int kLunarFirstYear = 1881;
constexpr int kLunarLastYear = 2199;
constexpr int kLunarYearCount = kLunarLastYear - kLunarFirstYear + 1;

// Month codes: 1 a 29-day month, 2 a 30-day month, 3 a 29-day intercalary month, 4 a 30-day
// intercalary month; the thirteenth is 0 in a year without an intercalary month.
extern const unsigned char kLunarMonthTable[kLunarYearCount][13];
extern const unsigned short kLunarYearDays[kLunarYearCount];

// Proleptic Gregorian day ordinal (1 January of year 1 is 1) of the day before lunar
// 1881-01-01; day counts into the table start at 1.
constexpr int kLunarTableBase = 686685;
