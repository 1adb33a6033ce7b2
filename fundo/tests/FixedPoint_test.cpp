#include "fundo/FixedPoint.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr LONG Deg(int d) {
    return d * FIXED_ONE;
}

double ToDouble(LONG v) {
    return v / 65536.0;
}

const double kPi = std::acos(-1.0);

} // namespace

// Reference values computed with 50-digit arithmetic: floor(sin(i/4 degrees) x 2^31).
TEST(FixedTables, SineEntriesAreTheFlooredValues) {
    const auto& t = fundo::detail::kSinTable;
    EXPECT_EQ(t[0], 0u);
    EXPECT_EQ(t[1], 9370135u);
    EXPECT_EQ(t[2], 18740092u);
    EXPECT_EQ(t[120], 0x40000000u); // sin 30 is exactly one half
    EXPECT_EQ(t[180], 1518500249u); // sin 45, floored (rounding would give ...250)
    EXPECT_EQ(t[360], 0x80000000u);
    EXPECT_EQ(t[361], 2147463205u);
    EXPECT_EQ(t[359], t[361]);
    EXPECT_EQ(t[511], 1697992930u);
    std::uint64_t sum = 0;
    for (std::uint32_t v : t)
        sum += v;
    EXPECT_EQ(sum, 794327876808ull); // every entry, from the same reference
}

TEST(FixedTables, LengthEntriesAreRounded) {
    const auto& t = fundo::detail::kLengthTable;
    EXPECT_EQ(t[0], 1048576u);  // sqrt(1) x 2^20
    EXPECT_EQ(t[32], 1172344u); // sqrt(1.25) x 2^20 = 1172343.61
    EXPECT_EQ(t[64], 1482910u); // sqrt(2) x 2^20 = 1482910.40
    EXPECT_EQ(t[65], t[64]);
    for (int i = 0; i <= 64; ++i) {
        double exact = std::sqrt(1.0 + (i / 64.0) * (i / 64.0)) * 1048576.0;
        EXPECT_LE(std::fabs(t[i] - exact), 0.5) << i;
    }
}

TEST(FixedNumbers, MultiplyDivideAndConvert) {
    EXPECT_EQ(FixedMul(3 * FIXED_ONE, FIXED_ONE / 2), 3 * FIXED_ONE / 2);
    EXPECT_EQ(FixedMul(-1, 1), -1); // arithmetic shift rounds toward minus infinity
    EXPECT_EQ(FixedMul(1, 1), 0);
    EXPECT_EQ(FixedDiv(FIXED_ONE, 3 * FIXED_ONE), 21845);
    EXPECT_EQ(FixedDiv(-FIXED_ONE, 3 * FIXED_ONE), -21845); // truncates toward zero
    EXPECT_EQ(FixedDiv(FIXED_ONE, 0), 0);
    EXPECT_EQ(IntToFixed(-3), -3 * FIXED_ONE);
    EXPECT_EQ(FixedToInt(0x8000), 1);
    EXPECT_EQ(FixedToInt(-0x8000), 0);
    EXPECT_EQ(FixedToInt(0x7FFF), 0);
    EXPECT_EQ(FixedToInt(-0x8001), -1);
}

TEST(FixedTrig, QuadrantAnglesAreExact) {
    EXPECT_EQ(_FPSin(0, 16, 16), 0);
    EXPECT_EQ(_FPSin(Deg(90), 16, 16), 0x10000);
    EXPECT_EQ(_FPSin(Deg(180), 16, 16), 0);
    EXPECT_EQ(_FPSin(Deg(270), 16, 16), -0x10000);
    EXPECT_EQ(_FPSin(Deg(360), 16, 16), 0);
    EXPECT_EQ(_FPCos(0, 16, 16), 0x10000);
    EXPECT_EQ(_FPCos(Deg(90), 16, 16), 0);
    EXPECT_EQ(_FPCos(Deg(180), 16, 16), -0x10000);
    EXPECT_EQ(_FPCos(Deg(270), 16, 16), 0);
    EXPECT_EQ(_FPCos(Deg(360), 16, 16), 0x10000);
    EXPECT_EQ(_FPSin(Deg(30), 16, 16), 0x8000);
    EXPECT_EQ(_FPCos(Deg(60), 16, 16), 0x8000);
    EXPECT_EQ(_FPSin(Deg(45), 16, 16), 46341);
}

TEST(FixedTrig, NegativeAndLargeAnglesWrap) {
    EXPECT_EQ(_FPSin(Deg(-360), 16, 16), 0);
    EXPECT_EQ(_FPCos(Deg(-360), 16, 16), 0x10000);
    EXPECT_EQ(_FPSin(Deg(-90), 16, 16), -0x10000);
    EXPECT_EQ(_FPSin(Deg(-270), 16, 16), 0x10000);
    EXPECT_EQ(_FPCos(Deg(-180), 16, 16), -0x10000);
    EXPECT_EQ(_FPSin(Deg(-30), 16, 16), -0x8000);
    EXPECT_EQ(_FPSin(Deg(390), 16, 16), 0x8000);
    EXPECT_EQ(_FPSin(Deg(-330), 16, 16), 0x8000);
    EXPECT_EQ(_FPCos(Deg(-300), 16, 16), 0x8000);
    EXPECT_EQ(_FPSin(Deg(3600 + 90), 16, 16), 0x10000);
    EXPECT_EQ(_FPSin(INT32_MIN, 16, 16), _FPSin(INT32_MIN % FIXED_360 + FIXED_360, 16, 16));
}

TEST(FixedTrig, OddAndEvenSymmetry) {
    for (LONG a = 0; a < Deg(360); a += 12345) {
        EXPECT_EQ(_FPSin(-a, 16, 16), -_FPSin(a, 16, 16)) << a;
        EXPECT_EQ(_FPCos(-a, 16, 16), _FPCos(a, 16, 16)) << a;
    }
}

// Between table entries only a quarter of the gap is added: sin(0.125 degrees) comes out
// as (9370135 x 0x2000 >> 16 + 0x4000) >> 15 = 36, not the true 143.
TEST(FixedTrig, InterpolationAddsAQuarterOfTheGap) {
    EXPECT_EQ(_FPSin(0x2000, 16, 16), 36);
    EXPECT_EQ(_FPCos(Deg(90) - 0x2000, 16, 16), 36);
}

TEST(FixedTrig, AccuracyOverASweep) {
    double worstAtNodes = 0, worst = 0;
    for (LONG a = Deg(-720); a <= Deg(720); a += 997) {
        double r = ToDouble(a) * kPi / 180.0;
        worst = std::fmax(worst, std::fabs(ToDouble(_FPSin(a, 16, 16)) - std::sin(r)));
        worst = std::fmax(worst, std::fabs(ToDouble(_FPCos(a, 16, 16)) - std::cos(r)));
    }
    for (LONG a = Deg(-360); a <= Deg(360); a += 0x4000) { // the quarter-degree nodes
        double r = ToDouble(a) * kPi / 180.0;
        worstAtNodes =
            std::fmax(worstAtNodes, std::fabs(ToDouble(_FPSin(a, 16, 16)) - std::sin(r)));
    }
    EXPECT_LE(worstAtNodes * 65536, 0.5 + 1e-9);
    // Three quarters of a quarter-degree step of the sine at most.
    EXPECT_LE(worst, 0.75 * 0.25 * kPi / 180.0 + 1.0 / 65536);
}

TEST(FixedTrig, OtherFractionBits) {
    // 20 fraction bits in, 30 out.
    EXPECT_EQ(_FPSin(90 << 20, 20, 30), 1 << 30);
    EXPECT_EQ(_FPCos(180 << 20, 20, 30), -(1 << 30));
    // Integer degrees in (2 bits), 8 bits out.
    EXPECT_EQ(_FPSin(30 << 2, 2, 8), 128);
}

TEST(FixedTrig, Tangent) {
    EXPECT_EQ(FixedTan(0), 0);
    EXPECT_EQ(FixedTan(Deg(45)), FIXED_ONE);
    EXPECT_EQ(FixedTan(Deg(-45)), -FIXED_ONE);
    EXPECT_EQ(FixedTan(Deg(90)), 0); // cosine 0
    EXPECT_EQ(FixedTan(Deg(270)), 0);
    EXPECT_NEAR(ToDouble(FixedTan(Deg(60))), std::sqrt(3.0), 0.001);
}

TEST(FixedATan2, AxesAndOrigin) {
    EXPECT_EQ(_FPATan2(0, 0, 16, 16), Deg(90));
    EXPECT_EQ(_FPATan2(FIXED_ONE, 0, 16, 16), Deg(90));
    EXPECT_EQ(_FPATan2(-FIXED_ONE, 0, 16, 16), Deg(-90));
    EXPECT_EQ(_FPATan2(0, FIXED_ONE, 16, 16), 0);
    EXPECT_EQ(_FPATan2(0, -FIXED_ONE, 16, 16), Deg(180));
}

TEST(FixedATan2, Quadrants) {
    const LONG one = FIXED_ONE;
    EXPECT_EQ(_FPATan2(one, one, 16, 16), Deg(45));
    EXPECT_EQ(_FPATan2(one, -one, 16, 16), Deg(135));
    EXPECT_EQ(_FPATan2(-one, -one, 16, 16), Deg(-135));
    EXPECT_EQ(_FPATan2(-one, one, 16, 16), Deg(-45));
    // Steep and shallow directions in each quadrant.
    struct Case {
        LONG y, x;
        LONG low, high;
    } cases[] = {
        {3 * one, one, Deg(45), Deg(90)},      {one, 3 * one, 0, Deg(45)},
        {3 * one, -one, Deg(90), Deg(135)},    {one, -3 * one, Deg(135), Deg(180)},
        {-3 * one, -one, Deg(-135), Deg(-90)}, {-one, -3 * one, Deg(-180) + 1, Deg(-135)},
        {-3 * one, one, Deg(-90), Deg(-45)},   {-one, 3 * one, Deg(-45), 0},
    };
    for (const Case& c : cases) {
        LONG a = _FPATan2(c.y, c.x, 16, 16);
        EXPECT_GT(a, c.low) << c.y << "," << c.x;
        EXPECT_LT(a, c.high) << c.y << "," << c.x;
    }
}

TEST(FixedATan2, AccuracyAroundTheCircle) {
    double worst = 0;
    for (int tenth = 0; tenth < 3600; ++tenth) {
        double angle = tenth * kPi / 1800.0;
        for (double mag : {65536.0, 50 * 65536.0, 3000 * 65536.0}) {
            LONG x = static_cast<LONG>(std::lround(mag * std::cos(angle)));
            LONG y = static_cast<LONG>(std::lround(mag * std::sin(angle)));
            double got = ToDouble(_FPATan2(y, x, 16, 16));
            EXPECT_GT(got, -180.0);
            EXPECT_LE(got, 180.0);
            double exact = std::atan2(double(y), double(x)) * 180.0 / kPi;
            double d = std::fabs(got - exact);
            worst = std::fmax(worst, d > 180 ? 360 - d : d);
        }
    }
    EXPECT_LT(worst, 0.002); // degrees; measured 0.00085
}

TEST(FixedATan2, LargeRatiosAndOutputBits) {
    // A tiny x gives a ratio past 32 bits; the direction stays near the vertical.
    EXPECT_NEAR(ToDouble(_FPATan2(1000 * FIXED_ONE, 1, 16, 16)), 90.0, 0.001);
    EXPECT_NEAR(ToDouble(_FPATan2(-1000 * FIXED_ONE, -1, 16, 16)), -90.0, 0.001);
    // Whole degrees out: 90 and 180 round like the rest.
    EXPECT_EQ(_FPATan2(0, 0, 16, 0), 90);
    EXPECT_EQ(_FPATan2(0, -1, 16, 0), 180);
    EXPECT_EQ(_FPATan2(1, 1, 16, 0), 45);
    // 23 fraction bits out: the most that still holds 180 degrees in 32 bits.
    EXPECT_NEAR(_FPATan2(1, 1, 16, 23) / 8388608.0, 45.0, 0.001);
    EXPECT_EQ(_FPATan2(0, -1, 16, 23), 180 << 23);
}

TEST(FixedLength, ZeroAndKnownTriangles) {
    EXPECT_EQ(PointLength(0, 0), 0);
    EXPECT_EQ(PointLength(3 * FIXED_ONE, 4 * FIXED_ONE), 5 * FIXED_ONE);
    EXPECT_EQ(PointLength(-7 * FIXED_ONE, 0), 7 * FIXED_ONE);
    EXPECT_EQ(PointLength(0, -7 * FIXED_ONE), 7 * FIXED_ONE);
    EXPECT_NEAR(PointLength(FIXED_ONE, FIXED_ONE), 92682, 1); // sqrt 2
    EXPECT_EQ(PointLength(INT32_MIN, 0), INT32_MIN);          // 2^31 wraps, as a 32-bit result must
}

// Worst relative error over four magnitudes and 3601 directions: 2.9e-5 (measured).
TEST(FixedLength, AccuracyAgainstTheExactLength) {
    double worst = 0;
    for (double mag : {65536.0, 100 * 65536.0, 1000 * 65536.0, 30000 * 65536.0}) {
        for (int tenth = 0; tenth <= 3600; ++tenth) {
            double angle = tenth * kPi / 1800.0;
            LONG x = static_cast<LONG>(std::lround(mag * std::cos(angle)));
            LONG y = static_cast<LONG>(std::lround(mag * std::sin(angle)));
            double exact = std::hypot(double(x), double(y));
            worst = std::fmax(worst, std::fabs(PointLength(x, y) - exact) / exact);
        }
    }
    EXPECT_LT(worst, 3.5e-5);
    // Small integer vectors are within about one unit.
    double worstAbs = 0;
    for (int x = -200; x <= 200; ++x)
        for (int y = -200; y <= 200; ++y)
            worstAbs = std::fmax(worstAbs, std::fabs(PointLength(x, y) - std::hypot(x, y)));
    EXPECT_LE(worstAbs, 1.01);
}

// The ratio step as written: 64-bit integer division, truncating.
LONG ReferenceLength(LONG x, LONG y) {
    std::uint64_t ax = x < 0 ? 0u - static_cast<std::uint32_t>(x) : static_cast<std::uint32_t>(x);
    std::uint64_t ay = y < 0 ? 0u - static_cast<std::uint32_t>(y) : static_cast<std::uint32_t>(y);
    std::uint64_t larger = std::max(ax, ay), smaller = std::min(ax, ay);
    if (larger == 0)
        return 0;
    std::uint64_t r = (smaller << 16) / larger;
    std::uint64_t i = r >> 10, f = r & 0x3FF;
    const auto& t = fundo::detail::kLengthTable;
    std::uint64_t s = ((1024 - f) * t[i] + f * t[i + 1]) >> 14;
    return static_cast<LONG>(static_cast<std::uint32_t>((s * larger) >> 16));
}

TEST(FixedLength, MatchesTheIntegerRatioExactly) {
    std::uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed;
    };
    for (int k = 0; k < 200000; ++k) {
        LONG x = static_cast<LONG>(next());
        std::uint32_t y0 = next();
        LONG y = static_cast<LONG>(y0 >> (y0 & 31)); // all magnitudes
        ASSERT_EQ(PointLength(x, y), ReferenceLength(x, y)) << x << "," << y;
    }
    for (LONG x = 1; x < 400; ++x)
        for (LONG y = 0; y <= x; ++y)
            ASSERT_EQ(PointLength(x, y), ReferenceLength(x, y)) << x << "," << y;
    EXPECT_EQ(PointLength(INT32_MIN, INT32_MAX), ReferenceLength(INT32_MIN, INT32_MAX));
}

TEST(FixedLength, SymmetricInSignAndOrder) {
    for (LONG x = 1; x < 5000000; x = x * 3 + 7) {
        LONG y = x / 3 + 11;
        LONG l = PointLength(x, y);
        EXPECT_EQ(PointLength(y, x), l);
        EXPECT_EQ(PointLength(-x, y), l);
        EXPECT_EQ(PointLength(x, -y), l);
    }
}
