// 16.16 fixed-point numbers, the trigonometry on degrees and vector lengths.
// Every coordinate, width, angle and transform of the ink engine goes through these, so the
// hot ones (sine, cosine, length) are inline with their tables built at compile time.
#pragma once

#include <platform/wintypes.h>

#include <array>
#include <cstdint>

// 1.0 in 16.16.
inline constexpr LONG FIXED_ONE = 0x10000;
// A full turn in 16.16 degrees.
inline constexpr LONG FIXED_360 = 360 * FIXED_ONE;

namespace fundo::detail {

// Values wider than 32 bits wrap to 32, as the device's registers did.
constexpr LONG Wrap32(std::int64_t v) {
    return static_cast<LONG>(static_cast<std::uint32_t>(v));
}

// sin(x) for x in [0, pi/2], by its Taylor series in long double.
constexpr long double SinSeries(long double x) {
    long double term = x;
    long double sum = x;
    for (int k = 1; k < 40; ++k) {
        term = -term * x * x / static_cast<long double>((2 * k) * (2 * k + 1));
        sum += term;
    }
    return sum;
}

// Entry i = floor(sin(i/4 degrees) x 2^31), i = 0..511; entry 360 is exactly 2^31.
constexpr std::array<std::uint32_t, 512> MakeSinTable() {
    constexpr long double kPi = 3.14159265358979323846264338327950288419716939937510L;
    std::array<std::uint32_t, 512> t{};
    for (int i = 0; i < 512; ++i) {
        // Past 90 degrees use the mirror angle, so the series only sees [0, 90].
        int q = i <= 360 ? i : 720 - i;
        // sin 30 and sin 90 are exact; the series could land a hair below them.
        if (q == 120 || q == 360) {
            t[i] = q == 120 ? 0x40000000u : 0x80000000u;
            continue;
        }
        long double v = SinSeries(static_cast<long double>(q) * kPi / 720.0L) * 2147483648.0L;
        t[i] = static_cast<std::uint32_t>(v); // positive: truncation is the floor
    }
    return t;
}

constexpr std::uint64_t ISqrt(std::uint64_t n) {
    std::uint64_t x = 0;
    for (std::uint64_t bit = std::uint64_t{1} << 62; bit != 0; bit >>= 2) {
        if (n >= x + bit) {
            n -= x + bit;
            x = (x >> 1) + bit;
        } else {
            x >>= 1;
        }
    }
    return x;
}

// T[i] = sqrt(1 + (i/64)^2) x 2^20 rounded to nearest, i = 0..64; T[65] = T[64].
// Computed exactly: T[i] = round(sqrt((4096 + i^2) << 28)).
constexpr std::array<std::uint32_t, 66> MakeLengthTable() {
    std::array<std::uint32_t, 66> t{};
    for (int i = 0; i <= 64; ++i) {
        std::uint64_t n = (4096u + static_cast<std::uint64_t>(i * i)) << 28;
        std::uint64_t s = ISqrt(n);
        if (n - s * s > s) // n > (s + 1/2)^2 - 1/4, n an integer
            ++s;
        t[i] = static_cast<std::uint32_t>(s);
    }
    t[65] = t[64];
    return t;
}

inline constexpr std::array<std::uint32_t, 512> kSinTable = MakeSinTable();
inline constexpr std::array<std::uint32_t, 66> kLengthTable = MakeLengthTable();

// Sine of an angle already folded into [0, 90] degrees, n fraction bits in, k out.
constexpr LONG SinQuadrant(std::uint32_t angle, int n, int k) {
    std::uint32_t i = (angle >> (n - 2)) & 0x1FF;
    std::uint32_t r = angle - (i << (n - 2));
    std::uint32_t t0 = kSinTable[i];
    std::uint32_t t1 = kSinTable[i + 1];
    // The step is scaled by 32 - n, not n - 2: at most a quarter of the gap is added.
    std::uint32_t v =
        t1 >= t0 ? t0 + static_cast<std::uint32_t>((std::uint64_t{t1 - t0} * r) >> (32 - n))
                 : t0 - static_cast<std::uint32_t>((std::uint64_t{t0 - t1} * r) >> (32 - n));
    return static_cast<LONG>((v + (1u << (30 - k))) >> (31 - k));
}

// Reduces an angle with n fraction bits into [0, 360]; 360 itself comes out of a negative
// multiple of a full turn, and the folds below treat it like 0.
constexpr std::uint32_t ReduceAngle(LONG angle, int n) {
    const std::uint32_t full = 0x16800000u >> (20 - n);
    if (angle >= 0) {
        std::uint32_t a = static_cast<std::uint32_t>(angle);
        return a >= full ? a - full * (a / full) : a;
    }
    std::uint32_t mag = 0u - static_cast<std::uint32_t>(angle);
    return static_cast<std::uint32_t>(angle) + full * (mag / full + 1);
}

} // namespace fundo::detail

// 16.16 product: 64-bit, arithmetic shift right by 16 (rounds toward minus infinity).
constexpr LONG FixedMul(LONG a, LONG b) {
    return fundo::detail::Wrap32((static_cast<std::int64_t>(a) * b) >> 16);
}

// 16.16 quotient: (a << 16) / b, truncating toward zero; 0 for a zero divisor.
constexpr LONG FixedDiv(LONG a, LONG b) {
    return b == 0 ? 0 : fundo::detail::Wrap32((static_cast<std::int64_t>(a) << 16) / b);
}

constexpr LONG IntToFixed(LONG v) {
    return static_cast<LONG>(static_cast<std::uint32_t>(v) << 16);
}

// Halves go up: 0x8000 gives 1, -0x8000 gives 0.
constexpr LONG FixedToInt(LONG v) {
    return static_cast<LONG>((static_cast<std::int64_t>(v) + 0x8000) >> 16);
}

// Sine of an angle in degrees with n fraction bits (2..20), result with k (0..30).
constexpr LONG _FPSin(LONG angle, int n, int k) {
    using namespace fundo::detail;
    std::uint32_t a = ReduceAngle(angle, n);
    const std::uint32_t d180 = 0xB400000u >> (20 - n);
    const std::uint32_t d90 = 0x5A00000u >> (20 - n);
    bool negate = false;
    if (a >= d180) {
        a -= d180;
        negate = true;
    }
    if (a > d90)
        a = d180 - a;
    LONG v = SinQuadrant(a, n, k);
    return negate ? -v : v;
}

// Cosine, with the same arguments as _FPSin.
constexpr LONG _FPCos(LONG angle, int n, int k) {
    using namespace fundo::detail;
    std::uint32_t a = ReduceAngle(angle, n);
    const std::uint32_t d270 = 0x10E00000u >> (20 - n);
    const std::uint32_t d90 = 0x5A00000u >> (20 - n);
    if (a >= d270)
        return SinQuadrant(a - d270, n, k);
    if (a >= d90) {
        std::uint32_t b = a - d90;
        return -SinQuadrant(b > d90 ? d270 - a : b, n, k);
    }
    return SinQuadrant(d90 - a, n, k);
}

// Tangent of a 16.16 angle, 16.16; 0 where the cosine is 0.
LONG FixedTan(LONG angle);

// Direction of (x, y) in degrees, in (-180, 180]; (0, 0) gives +90.
LONG _FPATan2(LONG y, LONG x, int n, int k);

// Length of (x, y) in the unit of x and y, through the 66-entry table of sqrt(1 + r^2).
constexpr LONG PointLength(LONG x, LONG y) {
    using namespace fundo::detail;
    std::uint32_t ax = x < 0 ? 0u - static_cast<std::uint32_t>(x) : static_cast<std::uint32_t>(x);
    std::uint32_t ay = y < 0 ? 0u - static_cast<std::uint32_t>(y) : static_cast<std::uint32_t>(y);
    std::uint32_t larger = ax > ay ? ax : ay;
    std::uint32_t smaller = ax > ay ? ay : ax;
    if (larger == 0)
        return 0;
    // r = (smaller << 16) / larger, truncated. A double quotient is faster than a 64-bit
    // integer division and exact here: the dividend is below 2^48, so the rounding error
    // (under 2^-37) is smaller than the distance (at least 1 / larger, above 2^-32) from a
    // non-integer quotient up to the next integer.
    std::uint32_t r = static_cast<std::uint32_t>(static_cast<double>(std::uint64_t{smaller} << 16) /
                                                 static_cast<double>(larger));
    std::uint32_t i = r >> 10;
    std::uint32_t f = r & 0x3FF;
    std::uint32_t s = ((1024 - f) * kLengthTable[i] + f * kLengthTable[i + 1]) >> 14;
    return Wrap32((std::uint64_t{s} * larger) >> 16);
}
