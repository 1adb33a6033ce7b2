// Curve smoothing: the forward-difference quadratic and the span curve built on it, against
// values worked out from the formulas.
#include "inkra/GCurve.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

GWPOINT Pt(LONG x, LONG y, LONG w = FIXED_ONE, BYTE a = 200) {
    GWPOINT p{};
    p.x = x;
    p.y = y;
    p.width = w;
    p.alpha = a;
    return p;
}

TEST(GCurve3, ForwardDifferencesOfAStraightControlPolygon) {
    // P0 (0, 0), P1 (20, 15), P2 (40, 30): L1 = L2 = 25, so 5 pieces of 10.
    GCurve::GCurve3 c;
    EXPECT_EQ(c.Init(CURVE_STEP, 0, 0, 20 << 16, 15 << 16, 40 << 16, 30 << 16), 5);
    // t = 2^32 / (5 << 16) = 13107; the second difference vanishes; the step is
    // (20 << 16) x 2t >> 16 = 524280 in x and 393210 in y.
    EXPECT_EQ(c.secondX, 0);
    EXPECT_EQ(c.secondY, 0);
    LONG x = 0, y = 0;
    for (int k = 1; k <= 5; ++k) {
        EXPECT_EQ(c.NextVertex(&x, &y), 5 - k);
        EXPECT_EQ(x, 524280 * k);
        EXPECT_EQ(y, 393210 * k);
    }
    // One more call steps beyond the end; after that the outputs stay.
    EXPECT_EQ(c.NextVertex(&x, &y), -1);
    EXPECT_EQ(x, 524280 * 6);
    x = y = 77;
    EXPECT_EQ(c.NextVertex(&x, &y), -1);
    EXPECT_EQ(x, 77);
}

TEST(GCurve3, BentCurveMatchesTheBezier) {
    // P0 (0, 0), P1 (20, 40), P2 (40, 0): L1 = L2 = about 44.7, 9 pieces.
    GCurve::GCurve3 c;
    const int n = c.Init(CURVE_STEP, 0, 0, 20 << 16, 40 << 16, 40 << 16, 0);
    EXPECT_EQ(n, 9);
    LONG x = 0, y = 0;
    for (int k = 1; k <= n; ++k) {
        c.NextVertex(&x, &y);
        double t = static_cast<double>(k) / n;
        double bx = 2 * t * (1 - t) * 20 + t * t * 40;
        double by = 2 * t * (1 - t) * 40;
        // 1/n and its square are cut to 16.16, so the differences drift a little.
        EXPECT_NEAR(x / 65536.0, bx, 0.15) << k;
        EXPECT_NEAR(y / 65536.0, by, 0.15) << k;
    }
}

TEST(GCurve3, ShortAndZeroStepSpansStillTakeTwoPieces) {
    GCurve::GCurve3 c;
    EXPECT_EQ(c.Init(CURVE_STEP, 0, 0, 3 << 16, 0, 6 << 16, 0), 2);
    EXPECT_EQ(c.Init(0, 0, 0, 300 << 16, 0, 600 << 16, 0), 2);
    LONG x, y;
    EXPECT_EQ(c.NextVertex(&x, &y), 1);
    EXPECT_EQ(x, 300 << 16);
    EXPECT_EQ(c.NextVertex(&x, &y), 0);
    EXPECT_EQ(x, 600 << 16);
}

TEST(GCurve3, TinyStepDoesNotRunAway) {
    GCurve::GCurve3 c;
    // One unit per piece over 200 pixels would be 13 million pieces.
    int n = c.Init(1, 0, 0, 100 << 16, 0, 200 << 16, 0);
    EXPECT_LE(n, 0x10000);
    EXPECT_GE(n, 2);
}

TEST(GCurveSpan, CollinearEqualSamplesStayOnTheSegment) {
    // p0 (0, 0), p1 (100, 100), p2 (200, 200): r = 1/2, K is the middle of p1-p2.
    GCurve c;
    GWPOINT p0 = Pt(0, 0), p1 = Pt(100 << 16, 100 << 16), p2 = Pt(200 << 16, 200 << 16);
    const int n = c.InitCurve(CURVE_STEP, p0, p1, p2);
    // Control polygon 141.4 long: 15 pieces.
    EXPECT_EQ(n, 15);
    GWPOINT q{};
    LONG prev = p1.x;
    for (int k = 0; k < n; ++k) {
        ASSERT_EQ(c.NextPoint(q), n - 1 - k);
        EXPECT_EQ(q.x, q.y); // on the diagonal exactly
        EXPECT_GT(q.x, prev);
        EXPECT_LE(q.x, p2.x + 16);
        prev = q.x;
    }
    EXPECT_NEAR(q.x, p2.x, 128);
    // The points are evenly spaced: the middle control point makes the curve a line.
    EXPECT_NEAR(q.x - p1.x, n * static_cast<double>(c.curve.initialStepX), 64);
    EXPECT_EQ(c.curve.secondX, 0);
}

TEST(GCurveSpan, PastTheEndGivesTheEndPointWhole) {
    GCurve c;
    GWPOINT p0 = Pt(0, 0), p1 = Pt(30 << 16, 0, 2 * FIXED_ONE),
            p2 = Pt(60 << 16, 40 << 16, 3 * FIXED_ONE, 17);
    const int n = c.InitCurve(CURVE_STEP, p0, p1, p2);
    GWPOINT q = Pt(0, 0, 0, 99);
    for (int k = 0; k < n; ++k)
        c.NextPoint(q);
    EXPECT_EQ(q.alpha, 99); // the caller's alpha is kept on curve points
    EXPECT_NEAR(q.x, p2.x, 1024);
    EXPECT_NEAR(q.y, p2.y, 1024);
    EXPECT_LT(c.NextPoint(q), 0);
    EXPECT_EQ(q.x, p2.x);
    EXPECT_EQ(q.y, p2.y);
    EXPECT_EQ(q.width, p2.width);
    EXPECT_EQ(q.alpha, 17);
}

TEST(GCurveSpan, WidthRunsLinearlyFromP1ToP2) {
    GCurve c;
    GWPOINT p0 = Pt(0, 0), p1 = Pt(50 << 16, 0, FIXED_ONE), p2 = Pt(100 << 16, 0, 3 * FIXED_ONE);
    const int n = c.InitCurve(CURVE_STEP, p0, p1, p2);
    ASSERT_EQ(n, 5);
    // (2.0 << 16) / (5 << 16) as 16.16: 26214.
    EXPECT_EQ(c.widthStep, 26214);
    GWPOINT q{};
    for (int k = 1; k <= n; ++k) {
        c.NextPoint(q);
        EXPECT_EQ(q.width, FIXED_ONE + k * 26214);
    }
    GCurve same;
    same.InitCurve(CURVE_STEP, p0, p1, Pt(100 << 16, 0, FIXED_ONE));
    EXPECT_EQ(same.widthStep, 0);
}

TEST(GCurveSpan, RepeatedFirstSampleUsesTheMidpointDifference) {
    // p0 = p1: r = 0, K = p1 + (m12 - m01) = (20, 15) for p1 (0, 0), p2 (40, 30).
    GCurve c;
    GWPOINT p = Pt(0, 0), p2 = Pt(40 << 16, 30 << 16);
    EXPECT_EQ(c.InitCurve(CURVE_STEP, p, p, p2), 5);
    EXPECT_EQ(c.curve.initialStepX, 524280);
    EXPECT_EQ(c.curve.initialStepY, 393210);
}

TEST(GCurveSpan, TangentAtP1FollowsP2MinusP0) {
    // p0 (0, 0), p1 (100, 0), p2 (100, 100): K = p1 + (p2 - p0) L12 / (2 (L01 + L12))
    // = (125, 25); the tangent (first step less half the second difference) runs along (1, 1).
    GCurve c;
    c.InitCurve(CURVE_STEP, Pt(0, 0), Pt(100 << 16, 0), Pt(100 << 16, 100 << 16));
    LONG tx = c.curve.initialStepX - c.curve.secondX / 2;
    LONG ty = c.curve.initialStepY - c.curve.secondY / 2;
    EXPECT_NEAR(tx, ty, 8);
    EXPECT_GT(tx, 0);
}

} // namespace
