#include "fundo/FixedPoint.h"

namespace {

// Newton form of a degree-10 interpolation of atan (in degrees) on [0, 1], nodes and
// coefficients with 25 fraction bits.
constexpr std::int64_t kAtanNode[11] = {0,        3355,     16777,    33554,    335544,  3355443,
                                        10066329, 16777216, 23488102, 30198988, 33554432};
constexpr std::int64_t kAtanCoef[11] = {0,         1922527331, -384492,    -640841711,
                                        4459892,   381432251,  -104783335, -174281885,
                                        172290461, -51671014,  -30088283};

// An angle held with 20 fraction bits, converted to k bits with halves rounded up.
LONG DegreesToBits(std::uint32_t value20, int k) {
    if (k < 20)
        return static_cast<LONG>((value20 + (1u << (19 - k))) >> (20 - k));
    return static_cast<LONG>(value20 << (k - 20));
}

// atan of a ratio v with n fraction bits, in degrees with k fraction bits. The ratio is
// 64-bit because _FPATan2 forms it by a 64-bit division.
LONG ATanRatio(std::int64_t v, int n, int k) {
    bool negative = v < 0;
    std::uint64_t av =
        negative ? 0u - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    std::int64_t one = std::int64_t{1} << n;
    LONG result;
    if (av > static_cast<std::uint64_t>(one)) {
        // atan(v) = 90 - atan(1 / v)
        std::int64_t inverse = static_cast<std::int64_t>((std::uint64_t{1} << (2 * n)) / av);
        result = DegreesToBits(0x5A00000u, k) - ATanRatio(inverse, n, k);
    } else {
        std::int64_t x = static_cast<std::int64_t>(av) << (25 - n);
        std::int64_t p = kAtanCoef[10];
        for (int j = 9; j >= 0; --j)
            p = kAtanCoef[j] + (((x - kAtanNode[j]) * p) >> 25);
        if (k >= 25)
            result = fundo::detail::Wrap32(p << (k - 25));
        else
            result = fundo::detail::Wrap32((p + (std::int64_t{1} << (24 - k))) >> (25 - k));
    }
    return negative ? -result : result;
}

} // namespace

LONG FixedTan(LONG angle) {
    LONG si = _FPSin(angle, 16, 16);
    LONG co = _FPCos(angle, 16, 16);
    if (co == 0)
        return 0;
    return fundo::detail::Wrap32((static_cast<std::int64_t>(si) << 16) / co);
}

LONG _FPATan2(LONG y, LONG x, int n, int k) {
    if (x == 0)
        return y >= 0 ? DegreesToBits(0x5A00000u, k) : -DegreesToBits(0x5A00000u, k);
    LONG t = ATanRatio((static_cast<std::int64_t>(y) << n) / x, n, k);
    if (x < 0)
        return y < 0 ? t - DegreesToBits(0xB400000u, k) : t + DegreesToBits(0xB400000u, k);
    return t;
}
