// Inline bodies of the blenders, shared by the exported functions and the rasterisers' walks
// (which call them directly instead of through a pointer per pixel). Internal to inkra.
#pragma once

#include "inkra/InkBrush.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cstdint>

namespace inkra::detail {

extern std::atomic<InkCoverageProc> g_coverage;

// n / d truncated toward zero, as the integer division gives it. Below 2^53 the double
// quotient is correctly rounded and lies closer to n / d than 1 / d, so its truncation is
// the integer quotient; it is several times cheaper than a 64-bit division.
[[gnu::always_inline]] inline std::int64_t Divide(std::int64_t n, std::int64_t d) {
    constexpr std::int64_t kExact = std::int64_t{1} << 53;
    if (n < kExact && n > -kExact)
        return static_cast<std::int64_t>(static_cast<double>(n) / static_cast<double>(d));
    return n / d;
}

// Reciprocals for the added-coverage division: ceil(2^32 / k), exact for numerators below
// 2^16 and divisors up to 255.
constexpr std::array<std::uint64_t, 256> MakeReciprocals() {
    std::array<std::uint64_t, 256> t{};
    for (std::uint64_t k = 1; k < 256; ++k)
        t[k] = (std::uint64_t{1} << 32) / k + 1;
    return t;
}
inline constexpr std::array<std::uint64_t, 256> kReciprocal = MakeReciprocals();

// n / k truncated toward zero, for |n| <= 255 x 255 and 1 <= k <= 255.
inline int DivideSmall(int n, int k) {
    const std::uint64_t a = static_cast<std::uint64_t>(n < 0 ? -n : n);
    const int q = static_cast<int>((a * kReciprocal[k]) >> 32);
    return n < 0 ? -q : q;
}

// The coverage ramp of one drawing call. The linear ramp's quotient by the divide factor is
// taken as a product with a rounded-up reciprocal, exact for the numerators the band gives:
// one multiplication instead of a division per pixel.
struct Ramp {
    InkCoverageProc proc;
    LONG df;
    std::uint64_t magic = 0;     // floor(2^63 / df) + 1
    std::int64_t exactBelow = 0; // 2^(63 - ceil(log2 df)), at most 2^62; 0 when df <= 0
    LONG bandLf = -1;            // BandValue's line factor, -1 when it has no short way

    explicit Ramp(LONG divideFactor)
        : proc(g_coverage.load(std::memory_order_relaxed)), df(divideFactor) {
        if (df > 0) {
            // With 2^l >= df and n < 2^(63 - l), the error of the rounded-up reciprocal adds
            // less than 1 / df to n / df, too little to reach the next whole number.
            const int l = std::bit_width(static_cast<std::uint32_t>(df - 1));
            magic = (std::uint64_t{1} << 63) / static_cast<std::uint64_t>(df) + 1;
            exactBelow = std::int64_t{1} << std::min(62, 63 - l);
        }
    }

    // For a walk that only asks within the band of lf: when the ramp is the linear one and
    // the whole band's numerators divide exactly by the product, BandValue skips the checks.
    Ramp(LONG divideFactor, LONG lf) : Ramp(divideFactor) {
        if (proc == LinearCoverage && df > 0 && lf >= 0 && lf < (1 << 30) &&
            (std::int64_t{2} * lf << 16) < exactBelow)
            bandLf = lf;
    }

    int Value(LONG d, LONG lf) const {
        if (proc != LinearCoverage)
            return proc(d, lf, df);
        if (df == 0)
            return 0;
        const std::int64_t n = (std::int64_t{d} + lf) * 65536;
        std::int64_t ratio;
        if (n >= 0 && n < exactBelow)
            ratio = static_cast<std::int64_t>(
                (static_cast<unsigned __int128>(static_cast<std::uint64_t>(n)) * magic) >> 63);
        else
            ratio = Divide(n, df);
        return static_cast<int>(((ratio * 51 + 0x8000) >> 16) & 0xFF);
    }

    // Value for -lf <= d <= lf.
    int BandValue(LONG d, LONG lf) const {
        if (lf != bandLf)
            return Value(d, lf);
        const std::uint64_t n = static_cast<std::uint64_t>(std::int64_t{d} + lf) << 16;
        const auto ratio =
            static_cast<std::int64_t>((static_cast<unsigned __int128>(n) * magic) >> 63);
        return static_cast<int>(((ratio * 51 + 0x8000) >> 16) & 0xFF);
    }
};

// The pixel moves toward k: a first coverage q over the pixel, or the part of the remaining
// transparency that raising the coverage from m to q adds.
inline BYTE MixChannel(int p, int k, int q, int m) {
    if (m == 0)
        return static_cast<BYTE>((p * (255 - q) + k * q) >> 8);
    return static_cast<BYTE>(p + DivideSmall((k - p) * (q - m), 255 - m));
}

inline void Mix(BYTE* dst, int q, int m, BYTE r, BYTE g, BYTE b) {
    dst[0] = MixChannel(dst[0], b, q, m);
    dst[1] = MixChannel(dst[1], g, q, m);
    dst[2] = MixChannel(dst[2], r, q, m);
}

// Pencil grain: 0-254, evenly spread; one generator per thread. The library is loaded with the
// program, so its thread storage is reached directly, not through a call per pixel.
inline int Grain() {
    [[gnu::tls_model("initial-exec")]] thread_local std::uint32_t state = 0x9E3779B9u;
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return static_cast<int>(state % 255u);
}

// Each op blends one pixel and returns its zone (1 inside, 0 outside, -1 band); the walks
// advance the pointers themselves. An op holds the ramp of the call it serves.
struct PenOp {
    Ramp ramp;
    static constexpr bool kReadsBack = false;
    int Apply(BYTE* dst, const BYTE*, BYTE* mask, LONG d, LONG lf, LONG, int m, int, BYTE r, BYTE g,
              BYTE b) const {
        if (d > lf) {
            if (m < 255) {
                dst[0] = b;
                dst[1] = g;
                dst[2] = r;
                *mask = 255;
            }
            return 1;
        }
        if (d < -lf)
            return 0;
        int q = ramp.BandValue(d, lf);
        if (q > m) {
            Mix(dst, q, m, r, g, b);
            *mask = static_cast<BYTE>(q);
        }
        return -1;
    }
};

struct MarkerOp {
    Ramp ramp;
    static constexpr bool kReadsBack = false;
    int Apply(BYTE* dst, const BYTE*, BYTE* mask, LONG d, LONG lf, LONG, int m, int A, BYTE r,
              BYTE g, BYTE b) const {
        int zone;
        int q;
        if (d > lf) {
            zone = 1;
            q = A;
        } else if (d < -lf) {
            return 0;
        } else {
            zone = -1;
            q = ramp.BandValue(d, lf);
            if (q > A)
                q = A;
        }
        if (q > m) {
            Mix(dst, q, m, r, g, b);
            *mask = static_cast<BYTE>(q);
        }
        return zone;
    }
};

struct InvertOp {
    Ramp ramp;
    static constexpr bool kReadsBack = false;
    int Apply(BYTE* dst, const BYTE*, BYTE* mask, LONG d, LONG lf, LONG, int m, int A, BYTE, BYTE,
              BYTE) const {
        if (d > lf) {
            if (A > m) {
                dst[0] = static_cast<BYTE>(~dst[0]);
                dst[1] = static_cast<BYTE>(~dst[1]);
                dst[2] = static_cast<BYTE>(~dst[2]);
                *mask = 255;
            }
            return 1;
        }
        if (d < -lf)
            return 0;
        if (ramp.BandValue(d, lf) > m) {
            // Once per stroke: a pixel already touched keeps its single inversion.
            if (m == 0) {
                dst[0] = static_cast<BYTE>(~dst[0]);
                dst[1] = static_cast<BYTE>(~dst[1]);
                dst[2] = static_cast<BYTE>(~dst[2]);
            }
            *mask = 255;
        }
        return -1;
    }
};

struct EraserOp {
    Ramp ramp;
    static constexpr bool kReadsBack = true;
    int Apply(BYTE* dst, const BYTE* back, BYTE* mask, LONG d, LONG lf, LONG, int m, int A, BYTE,
              BYTE, BYTE) const {
        if (d > lf) {
            if (A > m && back != nullptr) {
                dst[0] = back[0];
                dst[1] = back[1];
                dst[2] = back[2];
                *mask = static_cast<BYTE>(A);
            }
            return 1;
        }
        if (d < -lf)
            return 0;
        int q = ramp.BandValue(d, lf);
        if (q > m && back != nullptr) {
            Mix(dst, q, m, back[2], back[1], back[0]);
            *mask = static_cast<BYTE>(q);
        }
        return -1;
    }
};

struct PencelOp {
    Ramp ramp;
    static constexpr bool kReadsBack = false;
    int Apply(BYTE* dst, const BYTE*, BYTE* mask, LONG d, LONG lf, LONG, int m, int A, BYTE r,
              BYTE g, BYTE b) const {
        if (d < -lf)
            return 0;
        int q = Grain();
        if (q > A)
            q = A;
        int zone = 1;
        if (d <= lf) {
            zone = -1;
            int a = ramp.BandValue(d, lf);
            if (a < q)
                q = a;
        }
        if (q > m) {
            Mix(dst, q, m, r, g, b);
            *mask = static_cast<BYTE>(q);
        }
        return zone;
    }
};

} // namespace inkra::detail
