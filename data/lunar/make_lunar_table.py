#!/usr/bin/env python3
"""Writes winza/LunarTable.cpp: the Korean lunisolar calendar for the lunar years 1881-2199.

The calendar is computed, not copied: true new moons (Meeus, "Astronomical Algorithms",
ch. 49, with the periodic and planetary corrections) and the Sun's apparent longitude
(Meeus ch. 25 with the truncated VSOP87 Earth series of his appendix III, FK5 correction,
nutation in longitude and aberration) give the moments of new moons and principal solar
terms. Dynamical time becomes universal time through the Espenak-Meeus delta-T polynomials,
and every moment is dated in Korean standard time, UTC+9, for the whole range.

Month rules: a month runs from the day of one new moon to the day before the next. The
month holding the winter solstice is the 11th. When 13 months lie between two such
months, the first of them without a principal solar term is intercalary and repeats the
number of the month before it. The year starts with month 1.

Usage:
  make_lunar_table.py                 rewrite winza/LunarTable.cpp
  make_lunar_table.py --check FILE    exit 1 unless FILE is what this script writes
  make_lunar_table.py --risky         list new moons and principal terms near midnight
  make_lunar_table.py --offset MIN    zone offset in minutes (default 540), for studies
  make_lunar_table.py --dump          print one line per lunar month (year month leap
                                      first-day-JDN length), for comparisons
The output depends on nothing but this file.
"""
import math
import os
import sys

FIRST_YEAR = 1881
LAST_YEAR = 2199

# Heliocentric longitude, latitude and radius of the Earth: (A, B, C) terms of
# A cos(B + C tau), tau in Julian millennia from J2000, units 1e-8 radian / AU.
L0 = [(175347046, 0, 0), (3341656, 4.6692568, 6283.07585), (34894, 4.6261, 12566.1517),
      (3497, 2.7441, 5753.3849), (3418, 2.8289, 3.5231), (3136, 3.6277, 77713.7715),
      (2676, 4.4181, 7860.4194), (2343, 6.1352, 3930.2097), (1324, 0.7425, 11506.7698),
      (1273, 2.0371, 529.691), (1199, 1.1096, 1577.3435), (990, 5.233, 5884.927),
      (902, 2.045, 26.298), (857, 3.508, 398.149), (780, 1.179, 5223.694),
      (753, 2.533, 5507.553), (505, 4.583, 18849.228), (492, 4.205, 775.523),
      (357, 2.92, 0.067), (317, 5.849, 11790.629), (284, 1.899, 796.298),
      (271, 0.315, 10977.079), (243, 0.345, 5486.778), (206, 4.806, 2544.314),
      (205, 1.869, 5573.143), (202, 2.458, 6069.777), (156, 0.833, 213.299),
      (132, 3.411, 2942.463), (126, 1.083, 20.775), (115, 0.645, 0.98),
      (103, 0.636, 4694.003), (102, 0.976, 15720.839), (102, 4.267, 7.114),
      (99, 6.21, 2146.17), (98, 0.68, 155.42), (86, 5.98, 161000.69), (85, 1.3, 6275.96),
      (85, 3.67, 71430.7), (80, 1.81, 17260.15), (79, 3.04, 12036.46), (75, 1.76, 5088.63),
      (74, 3.5, 3154.69), (74, 4.68, 801.82), (70, 0.83, 9437.76), (62, 3.98, 8827.39),
      (61, 1.82, 7084.9), (57, 2.78, 6286.6), (56, 4.39, 14143.5), (56, 3.47, 6279.55),
      (52, 0.19, 12139.55), (52, 1.33, 1748.02), (51, 0.28, 5856.48), (49, 0.49, 1194.45),
      (41, 5.37, 8429.24), (41, 2.4, 19651.05), (39, 6.17, 10447.39), (37, 6.04, 10213.29),
      (37, 2.57, 1059.38), (36, 1.71, 2352.87), (36, 1.78, 6812.77), (33, 0.59, 17789.85),
      (30, 0.44, 83996.85), (30, 2.74, 1349.87), (25, 3.16, 4690.48)]
L1 = [(628331966747, 0, 0), (206059, 2.678235, 6283.07585), (4303, 2.6351, 12566.1517),
      (425, 1.59, 3.523), (119, 5.796, 26.298), (109, 2.966, 1577.344), (93, 2.59, 18849.23),
      (72, 1.14, 529.69), (68, 1.87, 398.15), (67, 4.41, 5507.55), (59, 2.89, 5223.69),
      (56, 2.17, 155.42), (45, 0.4, 796.3), (36, 0.47, 775.52), (29, 2.65, 7.11),
      (21, 5.34, 0.98), (19, 1.85, 5486.78), (19, 4.97, 213.3), (17, 2.99, 6275.96),
      (16, 0.03, 2544.31), (16, 1.43, 2146.17), (15, 1.21, 10977.08), (12, 2.83, 1748.02),
      (12, 3.26, 5088.63), (12, 5.27, 1194.45), (12, 2.08, 4694.0), (11, 0.77, 553.57),
      (10, 1.3, 6286.6), (10, 4.24, 1349.87), (9, 2.7, 242.73), (9, 5.64, 951.72),
      (8, 5.3, 2352.87), (6, 2.65, 9437.76), (6, 4.67, 4690.48)]
L2 = [(52919, 0, 0), (8720, 1.0721, 6283.0758), (309, 0.867, 12566.152), (27, 0.05, 3.52),
      (16, 5.19, 26.3), (16, 3.68, 155.42), (10, 0.76, 18849.23), (9, 2.06, 77713.77),
      (7, 0.83, 775.52), (5, 4.66, 1577.34), (4, 1.03, 7.11), (4, 3.44, 5573.14),
      (3, 5.14, 796.3), (3, 6.05, 5507.55), (3, 1.19, 242.73), (3, 6.12, 529.69),
      (3, 0.31, 398.15), (3, 2.28, 553.57), (2, 4.38, 5223.69), (2, 3.75, 0.98)]
L3 = [(289, 5.844, 6283.076), (35, 0, 0), (17, 5.49, 12566.15), (3, 5.2, 155.42),
      (1, 4.72, 3.52), (1, 5.3, 18849.23), (1, 5.97, 242.73)]
L4 = [(114, 3.142, 0), (8, 4.13, 6283.08), (1, 3.84, 12566.15)]
L5 = [(1, 3.14, 0)]
B0 = [(280, 3.199, 84334.662), (102, 5.422, 5507.553), (80, 3.88, 5223.69),
      (44, 3.7, 2352.87), (32, 4.0, 1577.34)]
B1 = [(9, 3.9, 5507.55), (6, 1.73, 5223.69)]
R0 = [(100013989, 0, 0), (1670700, 3.0984635, 6283.07585), (13956, 3.05525, 12566.1517),
      (3084, 5.1985, 77713.7715), (1628, 1.1739, 5753.3849), (1576, 2.8469, 7860.4194),
      (925, 5.453, 11506.77), (542, 4.564, 3930.21), (472, 3.661, 5884.927),
      (346, 0.964, 5507.553), (329, 5.9, 5223.694), (307, 0.299, 5573.143),
      (243, 4.273, 11790.629), (212, 5.847, 1577.344), (186, 5.022, 10977.079),
      (175, 3.012, 18849.228), (110, 5.055, 5486.778), (98, 0.89, 6069.78),
      (86, 5.69, 15720.84), (86, 1.27, 161000.69), (65, 0.27, 17260.15), (63, 0.92, 529.69),
      (57, 2.01, 83996.85), (56, 5.24, 71430.7), (49, 3.25, 2544.31), (47, 2.58, 775.52),
      (45, 5.54, 9437.76), (43, 6.01, 6275.96), (39, 5.36, 4694.0), (38, 2.39, 8827.39),
      (37, 0.83, 19651.05), (37, 4.9, 12139.55), (36, 1.67, 12036.46), (35, 1.84, 2942.46),
      (33, 0.24, 7084.9), (32, 0.18, 5088.63), (32, 1.78, 398.15), (28, 1.21, 6286.6),
      (28, 1.9, 6279.55), (26, 4.59, 10447.39)]
R1 = [(103019, 1.10749, 6283.07585), (1721, 1.0644, 12566.1517), (702, 3.142, 0),
      (32, 1.02, 18849.23), (31, 2.84, 5507.55), (25, 1.32, 5223.69), (18, 1.42, 1577.34),
      (10, 5.91, 10977.08), (9, 1.42, 6275.96), (9, 0.27, 5486.78)]
R2 = [(4359, 5.7846, 6283.0758), (124, 5.579, 12566.152), (12, 3.14, 0), (9, 3.63, 77713.77),
      (6, 1.87, 5573.14), (3, 5.47, 18849.23)]
R3 = [(145, 4.273, 6283.076), (7, 3.92, 12566.15)]
R4 = [(4, 2.56, 6283.08)]


def series(groups, tau):
    total = 0.0
    power = 1.0
    for terms in groups:
        total += power * sum(a * math.cos(b + c * tau) for a, b, c in terms)
        power *= tau
    return total * 1e-8


def sun_longitude(jde):
    """Apparent geocentric longitude of the Sun in degrees, 0 <= x < 360."""
    tau = (jde - 2451545.0) / 365250.0
    t = tau * 10.0
    lon = math.degrees(series([L0, L1, L2, L3, L4, L5], tau)) + 180.0
    radius = series([R0, R1, R2, R3, R4], tau)
    lon -= 0.09033 / 3600.0  # FK5
    # Nutation in longitude, Meeus ch. 22 short form (0.5 arc second).
    omega = math.radians(125.04452 - 1934.136261 * t)
    ls = math.radians(280.4665 + 36000.7698 * t)
    lm = math.radians(218.3165 + 481267.8813 * t)
    dpsi = (-17.20 * math.sin(omega) - 1.32 * math.sin(2 * ls) - 0.23 * math.sin(2 * lm) +
            0.21 * math.sin(2 * omega))
    lon += dpsi / 3600.0
    lon -= 20.4898 / 3600.0 / radius  # aberration
    return lon % 360.0


def delta_t_seconds(jd):
    """Espenak-Meeus polynomials for TT - UT."""
    y = 2000.0 + (jd - 2451545.0) / 365.25
    if y < 1860:
        t = y - 1800
        return (13.72 - 0.332447 * t + 0.0068612 * t**2 + 0.0041116 * t**3 - 0.00037436 * t**4 +
                0.0000121272 * t**5 - 0.0000001699 * t**6 + 0.000000000875 * t**7)
    if y < 1900:
        t = y - 1860
        return (7.62 + 0.5737 * t - 0.251754 * t**2 + 0.01680668 * t**3 -
                0.0004473624 * t**4 + t**5 / 233174)
    if y < 1920:
        t = y - 1900
        return -2.79 + 1.494119 * t - 0.0598939 * t**2 + 0.0061966 * t**3 - 0.000197 * t**4
    if y < 1941:
        t = y - 1920
        return 21.20 + 0.84493 * t - 0.076100 * t**2 + 0.0020936 * t**3
    if y < 1961:
        t = y - 1950
        return 29.07 + 0.407 * t - t**2 / 233 + t**3 / 2547
    if y < 1986:
        t = y - 1975
        return 45.45 + 1.067 * t - t**2 / 260 - t**3 / 718
    if y < 2005:
        t = y - 2000
        return (63.86 + 0.3345 * t - 0.060374 * t**2 + 0.0017275 * t**3 + 0.000651814 * t**4 +
                0.00002373599 * t**5)
    if y < 2050:
        t = y - 2000
        return 62.92 + 0.32217 * t + 0.005589 * t**2
    u = (y - 1820) / 100
    if y < 2150:
        return -20 + 32 * u * u - 0.5628 * (2150 - y)
    return -20 + 32 * u * u


def new_moon_jde(k):
    """True new moon of lunation k (k = 0 near 6 January 2000), Meeus ch. 49, in TT."""
    t = k / 1236.85
    jde = (2451550.09766 + 29.530588861 * k + 0.00015437 * t**2 - 0.000000150 * t**3 +
           0.00000000073 * t**4)
    e = 1 - 0.002516 * t - 0.0000074 * t**2
    rad = math.radians
    m = rad(2.5534 + 29.10535670 * k - 0.0000014 * t**2 - 0.00000011 * t**3)
    mp = rad(201.5643 + 385.81693528 * k + 0.0107582 * t**2 + 0.00001238 * t**3 -
             0.000000058 * t**4)
    f = rad(160.7108 + 390.67050284 * k - 0.0016118 * t**2 - 0.00000227 * t**3 +
            0.000000011 * t**4)
    om = rad(124.7746 - 1.56375588 * k + 0.0020672 * t**2 + 0.00000215 * t**3)
    s = math.sin
    jde += (-0.40720 * s(mp) + 0.17241 * e * s(m) + 0.01608 * s(2 * mp) + 0.01039 * s(2 * f) +
            0.00739 * e * s(mp - m) - 0.00514 * e * s(mp + m) + 0.00208 * e * e * s(2 * m) -
            0.00111 * s(mp - 2 * f) - 0.00057 * s(mp + 2 * f) + 0.00056 * e * s(2 * mp + m) -
            0.00042 * s(3 * mp) + 0.00042 * e * s(m + 2 * f) + 0.00038 * e * s(m - 2 * f) -
            0.00024 * e * s(2 * mp - m) - 0.00017 * s(om) - 0.00007 * s(mp + 2 * m) +
            0.00004 * s(2 * mp - 2 * f) + 0.00004 * s(3 * m) + 0.00003 * s(mp + m - 2 * f) +
            0.00003 * s(2 * mp + 2 * f) - 0.00003 * s(mp + m + 2 * f) +
            0.00003 * s(mp - m + 2 * f) - 0.00002 * s(mp - m - 2 * f) -
            0.00002 * s(3 * mp + m) + 0.00002 * s(4 * mp))
    planetary = [
        (0.000325, 299.77, 0.107408), (0.000165, 251.88, 0.016321),
        (0.000164, 251.83, 26.651886), (0.000126, 349.42, 36.412478),
        (0.000110, 84.66, 18.206239), (0.000062, 141.74, 53.303771),
        (0.000060, 207.14, 2.453732), (0.000056, 154.84, 7.306860),
        (0.000047, 34.52, 27.261239), (0.000042, 207.19, 0.121824),
        (0.000040, 291.34, 1.844379), (0.000037, 161.72, 24.198154),
        (0.000035, 239.56, 25.513099), (0.000023, 331.55, 3.592518)]
    for i, (amp, a, b) in enumerate(planetary):
        arg = a + b * k
        if i == 0:
            arg -= 0.009173 * t * t
        jde += amp * math.sin(rad(arg))
    return jde


def solar_term_jde(target, guess):
    """The moment (TT) near guess when the Sun's apparent longitude is target degrees."""
    jde = guess
    for _ in range(20):
        diff = (target - sun_longitude(jde) + 180.0) % 360.0 - 180.0
        step = diff * 365.2422 / 360.0
        jde += step
        if abs(step) < 1e-8:
            break
    return jde


def local_moment(jde, offset_minutes):
    """Julian date of a TT moment in local civil time (JD, so days start at .5)."""
    return jde - delta_t_seconds(jde) / 86400.0 + offset_minutes / 1440.0


def jdn_of(jd_local):
    return math.floor(jd_local + 0.5)


def civil_date(jdn):
    """Gregorian (year, month, day) of a Julian day number."""
    a = jdn + 32044
    b = (4 * a + 3) // 146097
    c = a - 146097 * b // 4
    d = (4 * c + 3) // 1461
    e = c - 1461 * d // 4
    m = (5 * e + 2) // 153
    return (100 * b + d - 4800 + m // 10, m + 3 - 12 * (m // 10), e - (153 * m + 2) // 5 + 1)


def jdn_from_civil(y, m, d):
    a = (14 - m) // 12
    y2 = y + 4800 - a
    m2 = m + 12 * a - 3
    return d + (153 * m2 + 2) // 5 + 365 * y2 + y2 // 4 - y2 // 100 + y2 // 400 - 32045


def build(offset_minutes):
    """Lunar months from before 1881 to after 2199: list of (year, month, leap, jdn, length),
    plus the near-midnight events."""
    start_jd = jdn_from_civil(FIRST_YEAR - 2, 10, 1)
    end_jd = jdn_from_civil(LAST_YEAR + 2, 4, 1)
    risky = []

    def note(kind, jd_local):
        frac = (jd_local + 0.5) % 1.0
        minutes = min(frac, 1.0 - frac) * 1440.0
        if minutes < 10.0:
            risky.append((kind, civil_date(jdn_of(jd_local)), round(frac * 1440.0, 1)))

    k = math.floor((start_jd - 2451550.09766) / 29.530588861) - 1
    moons = []
    while True:
        jd = local_moment(new_moon_jde(k), offset_minutes)
        if jd > end_jd + 40:
            break
        if jd >= start_jd - 40:
            moons.append(jdn_of(jd))
            note("new moon", jd)
        k += 1

    # Principal terms: longitudes 0, 30, ... 330; the month a term falls in is numbered
    # (index + 1) % 12 + 1, so 270 degrees (the winter solstice) names month 11.
    terms = []  # (jdn, month number)
    year = FIRST_YEAR - 3
    while year <= LAST_YEAR + 2:
        for idx in range(12):
            lon = idx * 30.0
            # Mean date of the term: the March equinox near 20 March, 30.44 days a step.
            guess = jdn_from_civil(year, 3, 20) + (lon / 360.0) * 365.2422
            jd = local_moment(solar_term_jde(lon, guess), offset_minutes)
            terms.append((jdn_of(jd), (idx + 1) % 12 + 1))
            note("term %d" % int(lon), jd)
        year += 1
    terms.sort()

    def terms_in(first, next_first):
        return [m for d, m in terms if first <= d < next_first]

    # Months holding the winter solstice.
    solstice_months = [i for i in range(len(moons) - 1)
                       if 11 in terms_in(moons[i], moons[i + 1])]
    months = []
    for a, b in zip(solstice_months, solstice_months[1:]):
        count = b - a
        leap_index = -1
        if count == 13:
            for i in range(a + 1, b):
                if not terms_in(moons[i], moons[i + 1]):
                    leap_index = i
                    break
        elif count != 12:
            raise SystemExit("bad year between new moons %d and %d" % (moons[a], moons[b]))
        number = 11
        for i in range(a, b):
            leap = i == leap_index
            if i != a and not leap:
                number = number % 12 + 1
            months.append([number, leap, moons[i], moons[i + 1] - moons[i]])
    # Years: a year starts with month 1 (never intercalary).
    out = []
    year = None
    for number, leap, first, length in months:
        if number == 1 and not leap:
            y, m, d = civil_date(first)
            year = y
        if year is not None:
            out.append((year, number, leap, first, length))
    return out, risky


def tables(months):
    codes = []
    lengths = []
    for year in range(FIRST_YEAR, LAST_YEAR + 1):
        mine = [m for m in months if m[0] == year]
        row = []
        for _, number, leap, _, length in mine:
            if length not in (29, 30):
                raise SystemExit("month of %d days in %d" % (length, year))
            row.append((3 if leap else 1) + (length == 30))
        if len(row) not in (12, 13):
            raise SystemExit("%d months in %d" % (len(row), year))
        row += [0] * (13 - len(row))
        codes.append(row)
        lengths.append(sum(m[4] for m in mine))
    first = [m for m in months if m[0] == FIRST_YEAR][0][3]
    return codes, lengths, first


def render(codes, lengths, first_jdn):
    y, m, d = civil_date(first_jdn)
    lines = [
        "// Generated by data/lunar/make_lunar_table.py; run it again instead of editing.",
        "// Korean lunisolar calendar, lunar years %d-%d, computed for UTC+9." % (FIRST_YEAR,
                                                                                LAST_YEAR),
        "// Lunar %d-01-01 is %04d-%02d-%02d." % (FIRST_YEAR, y, m, d),
        '#include "winza/LunarTable.h"',
        "",
        "// One year a line, as generated.",
        "// clang-format off",
        "const unsigned char kLunarMonthTable[kLunarYearCount][13] = {",
    ]
    for year, row in zip(range(FIRST_YEAR, LAST_YEAR + 1), codes):
        lines.append("    {%s}, // %d" % (", ".join(str(c) for c in row), year))
    lines.append("};")
    lines.append("")
    lines.append("const unsigned short kLunarYearDays[kLunarYearCount] = {")
    for i in range(0, len(lengths), 10):
        lines.append("    " + ", ".join(str(n) for n in lengths[i:i + 10]) + ",")
    lines.append("};")
    lines.append("// clang-format on")
    return "\n".join(lines) + "\n"


def main(argv):
    offset = 540
    if "--offset" in argv:
        offset = int(argv[argv.index("--offset") + 1])
    months, risky = build(offset)
    if "--dump" in argv:
        for year, number, leap, first, length in months:
            print(year, number, int(leap), first, length)
        return 0
    if "--risky" in argv:
        for kind, date, minute in risky:
            print("%-9s %04d-%02d-%02d at %6.1f minutes after midnight" % ((kind,) + date +
                                                                         (minute,)))
        return 0
    text = render(*tables(months))
    if "--check" in argv:
        path = argv[argv.index("--check") + 1]
        with open(path, encoding="utf-8") as f:
            if f.read() != text:
                print("%s differs from the generator's output" % path)
                return 1
        return 0
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    with open(os.path.join(root, "winza", "LunarTable.cpp"), "w", encoding="utf-8") as f:
        f.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
