#include "fundo/GeoPoint.h"

#include <gtest/gtest.h>

namespace {

constexpr tagPOINT Fx(int x, int y) {
    return tagPOINT{x * FIXED_ONE, y * FIXED_ONE};
}

} // namespace

TEST(GeoPoint, RecordLayout) {
    EXPECT_EQ(sizeof(GWPOINT), 16u);
    EXPECT_EQ(offsetof(GWPOINT, width), 8u);
    EXPECT_EQ(offsetof(GWPOINT, alpha), 12u);
}

TEST(GeoPoint, LengthsAndDistances) {
    EXPECT_EQ(PointLength(Fx(3, 4)), 5 * FIXED_ONE);
    EXPECT_EQ(PointDistance(Fx(4, 6), Fx(1, 2)), 5 * FIXED_ONE);
    EXPECT_EQ(PointDistance(Fx(1, 2), Fx(4, 6)), 5 * FIXED_ONE);
    // max + min / 2, halving the smaller one
    EXPECT_EQ(PointFastLength(tagPOINT{3, -4}), 5);
    EXPECT_EQ(PointFastLength(tagPOINT{-9, 2}), 10);
    EXPECT_EQ(PointFastLength(tagPOINT{0, 0}), 0);
    EXPECT_EQ(PointFastDistance(tagPOINT{10, 10}, tagPOINT{7, 14}), 5);
    // The fast length never underestimates.
    for (int x = -50; x <= 50; x += 7)
        for (int y = -50; y <= 50; y += 3)
            EXPECT_GE(PointFastLength(Fx(x, y)), PointLength(Fx(x, y)) - 1);
}

TEST(GeoPoint, NormalizeScalesToTheLength) {
    tagPOINT v = Fx(3, 4);
    PointNormalize(v, 10 * FIXED_ONE);
    EXPECT_EQ(v.x, 6 * FIXED_ONE);
    EXPECT_EQ(v.y, 8 * FIXED_ONE);
    // The factor (1 << 16) / 5 = 13107.2 is truncated, so one unit is lost.
    tagPOINT w = Fx(-5, 0);
    PointNormalize(w, FIXED_ONE);
    EXPECT_EQ(w.x, -FIXED_ONE + 1);
    EXPECT_EQ(w.y, 0);
    tagPOINT zero{0, 0};
    PointNormalize(zero, FIXED_ONE);
    EXPECT_EQ(zero.x, 0);
    EXPECT_EQ(zero.y, 0);
}

TEST(GeoPoint, IntersectionOfCrossingSegments) {
    tagPOINT out{};
    EXPECT_EQ(LineIntersection(Fx(0, 0), Fx(10, 10), Fx(0, 10), Fx(10, 0), out), 1);
    EXPECT_EQ(out.x, 5 * FIXED_ONE);
    EXPECT_EQ(out.y, 5 * FIXED_ONE);
    EXPECT_EQ(LineIntersection(Fx(0, 0), Fx(8, 0), Fx(2, -4), Fx(2, 4), out), 1);
    EXPECT_EQ(out.x, 2 * FIXED_ONE);
    EXPECT_EQ(out.y, 0);
}

TEST(GeoPoint, IntersectionFallsBackToTheStartMidpoint) {
    tagPOINT out{};
    // Parallel.
    EXPECT_EQ(LineIntersection(Fx(0, 0), Fx(10, 0), Fx(0, 4), Fx(10, 4), out), 1);
    EXPECT_EQ(out.x, 0);
    EXPECT_EQ(out.y, 2 * FIXED_ONE);
    // The lines cross beyond the end of the first segment.
    EXPECT_EQ(LineIntersection(Fx(0, 0), Fx(2, 2), Fx(0, 10), Fx(10, 0), out), 1);
    EXPECT_EQ(out.x, 0);
    EXPECT_EQ(out.y, 5 * FIXED_ONE);
    // Meeting exactly at an end point is not strictly inside.
    EXPECT_EQ(LineIntersection(Fx(0, 0), Fx(4, 4), Fx(4, 4), Fx(8, 0), out), 1);
    EXPECT_EQ(out.x, 2 * FIXED_ONE);
    EXPECT_EQ(out.y, 2 * FIXED_ONE);
}

TEST(GeoPoint, IntersectionMayWriteOverAnInput) {
    tagPOINT p0 = Fx(0, 0);
    EXPECT_EQ(LineIntersection(p0, Fx(10, 10), Fx(0, 10), Fx(10, 0), p0), 1);
    EXPECT_EQ(p0.x, 5 * FIXED_ONE);
    EXPECT_EQ(p0.y, 5 * FIXED_ONE);
}

TEST(GeoPoint, FixedConversionsRoundHalvesUp) {
    tagPOINT p{0x8000, -0x8000};
    PointFixedToInt(p);
    EXPECT_EQ(p.x, 1);
    EXPECT_EQ(p.y, 0);
    tagPOINT q{0x17FFF, -0x18000};
    PointFixedToInt(q);
    EXPECT_EQ(q.x, 1);
    EXPECT_EQ(q.y, -1);
    tagPOINT r{-3, 7};
    PointIntToFixed(r);
    EXPECT_EQ(r.x, -3 * FIXED_ONE);
    EXPECT_EQ(r.y, 7 * FIXED_ONE);
}
