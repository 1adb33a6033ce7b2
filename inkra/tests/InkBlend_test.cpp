// Blend modes one pixel at a time, against the mixing rules worked out by hand.
#include "inkra/InkBlendOps.h"
#include "inkra/InkBrush.h"

#include <gtest/gtest.h>

namespace {

constexpr LONG lf = INK_LINE_FACTOR;
constexpr LONG df = INK_DIVIDE_FACTOR;

struct Pixel {
    BYTE px[6] = {30, 20, 10, 1, 2, 3}; // blue, green, red, then a neighbour
    BYTE back[6] = {7, 8, 9, 4, 5, 6};
    BYTE mask[2] = {0, 0};
    int Call(InkBlendProc blend, LONG d, BYTE m, BYTE A, BYTE r = 200, BYTE g = 100, BYTE b = 50) {
        mask[0] = m;
        BYTE* dst = px;
        BYTE* bk = back;
        BYTE* mk = mask;
        int zone = blend(dst, bk, mk, d, lf, df, m, A, r, g, b);
        EXPECT_EQ(dst, px + 3);
        EXPECT_EQ(mk, mask + 1);
        EXPECT_EQ(bk, back + (blend == BlendEraser ? 3 : 0));
        EXPECT_EQ(px[3], 1); // the neighbour is never touched
        return zone;
    }
};

TEST(InkCoverage, LinearRampRisesFromZeroTo255AcrossTheBand) {
    EXPECT_EQ(LinearCoverage(-lf, lf, df), 0);
    EXPECT_EQ(LinearCoverage(lf, lf, df), 255);
    // d = 0: (104857 << 16) / 41942 = 163843; x 51 = 8355993; + 0x8000 >> 16 = 128.
    EXPECT_EQ(LinearCoverage(0, lf, df), 128);
    // d = -lf + df: one fifth of the band, 51.
    EXPECT_EQ(LinearCoverage(-lf + df, lf, df), 51);
    EXPECT_EQ(LinearCoverage(0, lf, 0), 0);
}

TEST(InkCoverage, RampOfACallGivesTheLinearRampAcrossTheWholeBand) {
    // The default factors, the ruled lines' (1.0 and 2/5), a wide band, a tiny one, and the
    // smallest and a huge divide factor (the huge one leaves the product's exact range).
    const LONG factors[][2] = {{lf, df}, {65536, 26214}, {20 * 65536, 8 * 65536},
                               {7, 2},   {3 * 65536, 1}, {3 * 65536, 0x7FFFFFF0}};
    for (const auto& f : factors) {
        const inkra::detail::Ramp ramp(f[1]), band(f[1], f[0]);
        int wrong = 0;
        for (LONG d = -f[0]; d <= f[0]; ++d) {
            const int expected = LinearCoverage(d, f[0], f[1]);
            wrong += (ramp.Value(d, f[0]) != expected) + (band.BandValue(d, f[0]) != expected);
        }
        EXPECT_EQ(wrong, 0) << "line factor " << f[0];
    }
    EXPECT_EQ(inkra::detail::Ramp(0).Value(0, lf), 0);
    EXPECT_EQ(inkra::detail::Ramp(-df).Value(lf, lf), LinearCoverage(lf, lf, -df));
}

TEST(InkCoverage, ProcessWideRampCanBeReplacedAndRestored) {
    EXPECT_EQ(GetCoverageProc(), LinearCoverage);
    SetCoverageProc([](LONG, LONG, LONG) { return 255; });
    Pixel p;
    p.Call(BlendMarker, 0, 0, 255); // the band now blends fully
    EXPECT_EQ(p.mask[0], 255);
    SetCoverageProc(nullptr);
    EXPECT_EQ(GetCoverageProc(), LinearCoverage);
}

TEST(InkBlendPen, InsideIsTheInkAndBandMixesByCoverage) {
    Pixel p;
    EXPECT_EQ(p.Call(BlendPen, lf + 1, 0, 128), 1);
    EXPECT_EQ(p.px[0], 50);
    EXPECT_EQ(p.px[1], 100);
    EXPECT_EQ(p.px[2], 200);
    EXPECT_EQ(p.mask[0], 255);

    Pixel band;
    EXPECT_EQ(band.Call(BlendPen, 0, 0, 128), -1);      // q = 128
    EXPECT_EQ(band.px[0], (30 * 127 + 50 * 128) >> 8);  // 39
    EXPECT_EQ(band.px[1], (20 * 127 + 100 * 128) >> 8); // 59
    EXPECT_EQ(band.px[2], (10 * 127 + 200 * 128) >> 8); // 104
    EXPECT_EQ(band.mask[0], 128);

    // Added coverage: from m = 51 to q = 128, (k - p) (q - m) / (255 - m) more.
    Pixel more;
    EXPECT_EQ(more.Call(BlendPen, 0, 51, 128), -1);
    EXPECT_EQ(more.px[0], 30 + (50 - 30) * 77 / 204);  // 37
    EXPECT_EQ(more.px[2], 10 + (200 - 10) * 77 / 204); // 81
    EXPECT_EQ(more.mask[0], 128);
}

TEST(InkBlendPen, SkipsWhatTheMaskAlreadyHoldsAndTheOutside) {
    Pixel p;
    EXPECT_EQ(p.Call(BlendPen, 0, 200, 255), -1); // q = 128 <= m
    EXPECT_EQ(p.px[0], 30);
    EXPECT_EQ(p.mask[0], 200);
    EXPECT_EQ(p.Call(BlendPen, lf + 1, 255, 255), 1);
    EXPECT_EQ(p.px[0], 30);
    EXPECT_EQ(p.Call(BlendPen, -lf - 1, 0, 255), 0);
    EXPECT_EQ(p.px[0], 30);
    EXPECT_EQ(p.mask[0], 0);
}

TEST(InkBlendMarker, OpacityIsCappedAtAlpha) {
    Pixel p;
    EXPECT_EQ(p.Call(BlendMarker, lf + 1, 0, 100), 1);
    EXPECT_EQ(p.px[2], (10 * 155 + 200 * 100) >> 8); // 84
    EXPECT_EQ(p.mask[0], 100);
    Pixel band;
    band.Call(BlendMarker, lf, 0, 100); // a = 255, capped at 100
    EXPECT_EQ(band.px[2], 84);
    Pixel low;
    low.Call(BlendMarker, -lf + df, 0, 100); // a = 51
    EXPECT_EQ(low.px[2], (10 * 204 + 200 * 51) >> 8);
    EXPECT_EQ(low.mask[0], 51);
}

TEST(InkBlendMarker, AddedCoverageTruncatesTowardZero) {
    // Ink darker than the pixel: (k - p)(q - m) is negative and rounds toward zero.
    Pixel p;
    p.px[2] = 250;
    p.Call(BlendMarker, lf + 1, 60, 128, 0, 0, 0);
    EXPECT_EQ(p.px[2], 250 + (0 - 250) * 68 / 195); // 250 - 87 = 163
}

TEST(InkBlendInvert, InvertsOncePerStroke) {
    Pixel p;
    EXPECT_EQ(p.Call(BlendInvert, lf + 1, 0, 128), 1);
    EXPECT_EQ(p.px[0], 255 - 30);
    EXPECT_EQ(p.px[2], 255 - 10);
    EXPECT_EQ(p.mask[0], 255);
    Pixel band;
    band.Call(BlendInvert, 0, 0, 128);
    EXPECT_EQ(band.px[1], 255 - 20);
    EXPECT_EQ(band.mask[0], 255);
    Pixel again;
    again.Call(BlendInvert, 0, 10, 128); // touched already: mask rises, no second inversion
    EXPECT_EQ(again.px[1], 20);
    EXPECT_EQ(again.mask[0], 255);
}

TEST(InkBlendEraser, InsideCopiesTheBackPixel) {
    Pixel p;
    EXPECT_EQ(p.Call(BlendEraser, lf + 1, 0, 128), 1);
    EXPECT_EQ(p.px[0], 7);
    EXPECT_EQ(p.px[1], 8);
    EXPECT_EQ(p.px[2], 9);
    EXPECT_EQ(p.mask[0], 128);
    Pixel band;
    band.Call(BlendEraser, 0, 0, 128); // q = 128 toward the back pixel
    EXPECT_EQ(band.px[0], (30 * 127 + 7 * 128) >> 8);
    EXPECT_EQ(band.mask[0], 128);
}

TEST(InkBlendPencel, GrainIsBoundedByAlphaAndSpreadOverTheRange) {
    int low = 0, high = 0, above = 0;
    long sum = 0;
    for (int i = 0; i < 4000; ++i) {
        Pixel p;
        p.Call(BlendPencel, lf + 1, 0, 255);
        int q = p.mask[0];
        sum += q;
        low += q < 25;
        high += q > 230;
        above += q > 254;
    }
    EXPECT_EQ(above, 0);
    EXPECT_GT(low, 200); // about 400 expected for an even spread
    EXPECT_GT(high, 200);
    EXPECT_NEAR(sum / 4000.0, 127, 8);
    for (int i = 0; i < 500; ++i) {
        Pixel p;
        p.px[0] = p.px[1] = p.px[2] = 255;
        p.Call(BlendPencel, lf + 1, 0, 60, 0, 0, 0);
        EXPECT_LE(p.mask[0], 60);
        EXPECT_GE(p.px[0], (255 * 195) >> 8);
    }
}

} // namespace

namespace {

TEST(InkBlendArithmetic, ReciprocalDivisionMatchesIntegerDivision) {
    using inkra::detail::DivideSmall;
    int wrong = 0;
    // Truncation errors show first next to the multiples of k.
    for (int k = 1; k <= 255; ++k)
        for (int q = -(255 * 255) / k; q <= (255 * 255) / k; ++q)
            for (int n = q * k - 1; n <= q * k + 1; ++n)
                if (n >= -255 * 255 && n <= 255 * 255)
                    wrong += DivideSmall(n, k) != n / k;
    EXPECT_EQ(wrong, 0);
}

TEST(InkBlendArithmetic, DoubleQuotientTruncatesLikeTheIntegerOne) {
    using inkra::detail::Divide;
    std::uint64_t seed = 7;
    for (int i = 0; i < 200000; ++i) {
        seed = seed * 6364136223846793005u + 1442695040888963407u;
        const std::int64_t n = static_cast<std::int64_t>(seed) >> (i % 40);
        const std::int64_t d = static_cast<std::int64_t>(seed >> 33) % 0x7FFFFFFF + 1;
        ASSERT_EQ(Divide(n, d), n / d) << n << " / " << d;
        ASSERT_EQ(Divide(n, -d), n / -d) << n << " / " << -d;
        // Exact multiples are where a rounded quotient would go wrong first.
        const std::int64_t m = (n / d) * d;
        ASSERT_EQ(Divide(m, d), m / d);
        ASSERT_EQ(Divide(m - 1, d), (m - 1) / d);
    }
}

} // namespace
