#include "fundo/Matrix.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {

constexpr LONG kOne = FIXED_ONE;

MATRIX Identity() {
    MATRIX m;
    MatrixIdentity(&m);
    return m;
}

MATRIX Make(LONG m11, LONG m12, LONG m21, LONG m22, LONG dx = 0, LONG dy = 0) {
    return MATRIX{m11, m12, m21, m22, dx, dy, 0, 0};
}

tagPOINT Map(const MATRIX& m, tagPOINT p) {
    MatrixTransformPoint(&m, &p, &p);
    return p;
}

// A mix of rotations, uneven scales, shears and moves, as a view matrix goes through.
MATRIX Sample(int i) {
    MATRIX m = Identity();
    MatrixScale(kOne / 4 + i * 9000, kOne / 3 + i * 7000, &m);
    MatrixRotate((i * 37 - 200) * kOne + i * 999, &m);
    MatrixTranslate((i - 5) * 1234567, (7 - i) * 765432, &m);
    return m;
}

// How far a point may move when a matrix coefficient is off by a few units: 16.16
// coefficients carry an error of about one unit per truncation, times the coordinate.
long Slack(const tagPOINT& p, long units) {
    return units * (std::labs(p.x) + std::labs(p.y)) / kOne + 16;
}

} // namespace

TEST(MatrixBasics, RecordAndIdentity) {
    EXPECT_EQ(sizeof(MATRIX), 32u);
    MATRIX m{1, 2, 3, 4, 5, 6, 7, 8};
    MatrixIdentity(&m);
    EXPECT_EQ(m.m11, kOne);
    EXPECT_EQ(m.m22, kOne);
    EXPECT_EQ(m.m12 | m.m21 | m.dx | m.dy | m.cx | m.cy, 0);
    EXPECT_EQ(MatrixIsIdentity(&m), 1);
    MatrixSetCenter(100, 200, &m);
    EXPECT_EQ(MatrixIsIdentity(&m), 1); // the centre is not looked at
    m.dx = 1;
    EXPECT_EQ(MatrixIsIdentity(&m), 0);
}

TEST(MatrixBasics, EqualAndScaleOnly) {
    MATRIX a = Make(kOne, 5, -5, kOne, 100, 200);
    MATRIX b = Make(kOne + 3, 2, -8, kOne - 3, 103, 197);
    b.cx = 999; // ignored
    EXPECT_EQ(MatrixEqual(&a, &b, 3), 1);
    EXPECT_EQ(MatrixEqual(&a, &b, 2), 0);
    MATRIX s = Make(2 * kOne, 16, -16, 1);
    EXPECT_EQ(MatrixIsScaleOnly(&s), 1);
    s.m12 = 17;
    EXPECT_EQ(MatrixIsScaleOnly(&s), 0);
    MATRIX z = Make(0, 0, 0, kOne);
    EXPECT_EQ(MatrixIsScaleOnly(&z), 0);
    MATRIX flip = Make(-kOne, 0, 0, kOne);
    EXPECT_EQ(MatrixIsScaleOnly(&flip), 0);
}

TEST(MatrixTransform, PointAboutTheCentre) {
    MATRIX m = Make(2 * kOne, 0, 0, 3 * kOne, 5, -7);
    MatrixSetCenter(100, 50, &m);
    tagPOINT p = Map(m, tagPOINT{110, 40});
    EXPECT_EQ(p.x, 100 + 20 + 5);
    EXPECT_EQ(p.y, 50 - 30 - 7);
    // Products shift arithmetically: half of -3 is -2.
    MATRIX half = Make(kOne / 2, 0, 0, kOne / 2);
    p = Map(half, tagPOINT{-3, 3});
    EXPECT_EQ(p.x, -2);
    EXPECT_EQ(p.y, 1);
}

TEST(MatrixTransform, RotationByNinetyDegrees) {
    MATRIX m = Identity();
    MatrixRotate(90 * kOne, &m);
    EXPECT_EQ(m.m11, 0);
    EXPECT_EQ(m.m12, kOne);
    EXPECT_EQ(m.m21, -kOne);
    EXPECT_EQ(m.m22, 0);
    tagPOINT p = Map(m, tagPOINT{10 * kOne, 3 * kOne});
    EXPECT_EQ(p.x, -3 * kOne);
    EXPECT_EQ(p.y, 10 * kOne);
    tagPOINT d{10, 3};
    MatrixDeltaTransformPoint(&m, &d, &d);
    EXPECT_EQ(d.x, -3);
    EXPECT_EQ(d.y, 10);
}

TEST(MatrixTransform, StrokePointWidth) {
    const MATRIX id = Identity();
    GWPOINT in{7 * kOne, -2 * kOne, kOne, 200, {1, 2, 3}};
    GWPOINT out{};
    MatrixTransformPoint(&id, &in, &out);
    EXPECT_EQ(out.x, in.x);
    EXPECT_EQ(out.y, in.y);
    EXPECT_NEAR(out.width, kOne, 1);
    EXPECT_EQ(out.alpha, 200);
    EXPECT_EQ(out.pad[2], 3);
    // A width of nothing still draws: never below 1.
    in.width = 0;
    MatrixTransformPoint(&id, &in, &out);
    EXPECT_EQ(out.width, 1);
    in.width = 1;
    MatrixTransformPoint(&id, &in, &out);
    EXPECT_EQ(out.width, 1);
    // A uniform scale scales the width.
    const MATRIX twice = Make(2 * kOne, 0, 0, 2 * kOne, kOne, 0);
    in.width = 3 * kOne;
    MatrixTransformPoint(&twice, &in, &in); // in place
    EXPECT_EQ(in.x, 15 * kOne);
    EXPECT_NEAR(in.width, 6 * kOne, 6);
    // A rotation keeps it.
    MATRIX rot = Identity();
    MatrixRotate(30 * kOne, &rot);
    GWPOINT w{0, 0, 4 * kOne, 255, {}};
    MatrixTransformPoint(&rot, &w, &w);
    EXPECT_NEAR(w.width, 4 * kOne, 0.01 * 4 * kOne);
}

TEST(MatrixTransform, RectangleBounds) {
    MATRIX m = Identity();
    MatrixRotate(90 * kOne, &m);
    const tagRECT r{0, 0, 10, 20};
    tagRECT out;
    MatrixTransformRect(&m, &r, &out);
    EXPECT_EQ(out.left, -20);
    EXPECT_EQ(out.top, 0);
    EXPECT_EQ(out.right, 0);
    EXPECT_EQ(out.bottom, 10);
    const tagRECT fixedRect{0, 0, 10 * kOne, 20 * kOne};
    MatrixTransformFixedRect(&m, &fixedRect, &out);
    EXPECT_EQ(out.left, -20 * kOne);
    EXPECT_EQ(out.bottom, 10 * kOne);
    tagRECT same = r;
    const MATRIX id = Identity();
    MatrixTransformRect(&id, &same, &same);
    EXPECT_EQ(same.right, 10);
    EXPECT_EQ(same.bottom, 20);
    tagRECT empty;
    RectSetEmpty(&empty);
    MatrixTransformRect(&m, &empty, &out);
    EXPECT_TRUE(RectIsEmpty(&out));
    MatrixTransformFixedRect(&m, &empty, &out);
    EXPECT_TRUE(RectIsEmpty(&out));
}

TEST(MatrixCompose, ConcatAppliesAThenB) {
    const MATRIX a = Make(2 * kOne, 0, 0, 2 * kOne);
    const MATRIX b = Make(kOne, 0, 0, kOne, 5 * kOne, 7 * kOne);
    MATRIX ab;
    MatrixConcat(&a, &b, &ab);
    tagPOINT p = Map(ab, tagPOINT{kOne, kOne});
    EXPECT_EQ(p.x, 7 * kOne);
    EXPECT_EQ(p.y, 9 * kOne);
    MATRIX ba;
    MatrixConcat(&b, &a, &ba);
    p = Map(ba, tagPOINT{kOne, kOne});
    EXPECT_EQ(p.x, 12 * kOne);
    EXPECT_EQ(p.y, 16 * kOne);
}

TEST(MatrixCompose, ConcatMatchesTwoTransforms) {
    for (int i = 0; i < 10; ++i) {
        const MATRIX a = Sample(i);
        const MATRIX b = Sample(9 - i);
        MATRIX ab;
        MatrixConcat(&a, &b, &ab);
        const tagPOINT p{(i * 50 - 200) * kOne, (300 - i * 40) * kOne};
        tagPOINT twice = Map(b, Map(a, p));
        tagPOINT once = Map(ab, p);
        EXPECT_NEAR(once.x, twice.x, Slack(p, 2)) << i;
        EXPECT_NEAR(once.y, twice.y, Slack(p, 2)) << i;
    }
}

TEST(MatrixCompose, ConcatInPlaceAndCentre) {
    MATRIX a = Sample(3);
    a.cx = 11;
    MATRIX b = Sample(6);
    b.cx = 22;
    b.cy = 33;
    MATRIX expected;
    MatrixConcat(&a, &b, &expected);
    EXPECT_EQ(expected.cx, 22); // centres are not composed
    EXPECT_EQ(expected.cy, 33);
    MATRIX intoA = a;
    MatrixConcat(&intoA, &b, &intoA);
    EXPECT_EQ(std::memcmp(&intoA, &expected, sizeof expected), 0);
    MATRIX intoB = b;
    MatrixConcat(&a, &intoB, &intoB);
    EXPECT_EQ(std::memcmp(&intoB, &expected, sizeof expected), 0);
    MATRIX self = a;
    MATRIX square;
    MatrixConcat(&a, &a, &square);
    MatrixConcat(&self, &self, &self);
    EXPECT_EQ(std::memcmp(&self, &square, sizeof square), 0);
}

TEST(MatrixCompose, ScaleAndRotateComeFirst) {
    MATRIX m = Make(kOne, 0, 0, kOne, 5 * kOne, 0);
    MatrixScale(2 * kOne, 3 * kOne, &m);
    tagPOINT p = Map(m, tagPOINT{kOne, kOne});
    EXPECT_EQ(p.x, 7 * kOne); // scaled, then moved
    EXPECT_EQ(p.y, 3 * kOne);
    MatrixTranslate(kOne, -kOne, &m); // moves after everything
    p = Map(m, tagPOINT{kOne, kOne});
    EXPECT_EQ(p.x, 8 * kOne);
    EXPECT_EQ(p.y, 2 * kOne);
    MATRIX r = Make(kOne, 0, 0, kOne, 5 * kOne, 0);
    MatrixRotate(90 * kOne, &r);
    p = Map(r, tagPOINT{kOne, 0});
    EXPECT_EQ(p.x, 5 * kOne);
    EXPECT_EQ(p.y, kOne);
}

TEST(MatrixInvert, DiagonalCase) {
    MATRIX m = Make(2 * kOne, 0, 0, 4 * kOne, 10 * kOne, -8 * kOne);
    MATRIX inv = Identity();
    MatrixInvert(&m, &inv);
    EXPECT_EQ(inv.m11, 0x8000);
    EXPECT_EQ(inv.m22, 0x4000);
    EXPECT_EQ(inv.m12, 0);
    EXPECT_EQ(inv.m21, 0);
    EXPECT_EQ(inv.dx, -5 * kOne);
    EXPECT_EQ(inv.dy, 2 * kOne);
    // A zero on the diagonal gives 0 there.
    MATRIX flat = Make(0, 0, 0, 2 * kOne);
    MatrixInvert(&flat, &flat);
    EXPECT_EQ(flat.m11, 0);
    EXPECT_EQ(flat.m22, 0x8000);
}

TEST(MatrixInvert, SingularGivesIdentity) {
    MATRIX out = Make(1, 2, 3, 4, 5, 6);
    out.cx = 77;
    out.cy = 88;
    const MATRIX singular = Make(kOne, 2 * kOne, kOne / 2, kOne, 3, 4);
    MatrixInvert(&singular, &out);
    EXPECT_EQ(MatrixIsIdentity(&out), 1);
    EXPECT_EQ(out.cx, 77); // the centre of out stays
    EXPECT_EQ(out.cy, 88);
    out = Make(1, 2, 3, 4, 5, 6);
    const MATRIX zero = Make(0, 0, 0, 0, 100, 100);
    MatrixInvert(&zero, &out);
    EXPECT_EQ(MatrixIsIdentity(&out), 1);
}

TEST(MatrixInvert, RotationIsExact) {
    MATRIX m = Identity();
    MatrixRotate(90 * kOne, &m);
    m.dx = 3 * kOne;
    m.dy = -4 * kOne;
    MatrixInvert(&m, &m);
    EXPECT_EQ(m.m11, 0);
    EXPECT_EQ(m.m12, -kOne);
    EXPECT_EQ(m.m21, kOne);
    EXPECT_EQ(m.m22, 0);
    EXPECT_EQ(m.dx, 4 * kOne);
    EXPECT_EQ(m.dy, 3 * kOne);
}

TEST(MatrixInvert, RoundTrips) {
    for (int i = 0; i < 10; ++i) {
        MATRIX m = Sample(i);
        MatrixSetCenter((i - 3) * 50 * kOne, i * 20 * kOne, &m);
        MATRIX inv = m; // same centre
        MatrixInvert(&m, &inv);
        MATRIX product;
        MatrixConcat(&m, &inv, &product);
        const MATRIX id = Identity();
        EXPECT_EQ(MatrixEqual(&product, &id, 256), 1) << i;
        for (int k = 0; k < 5; ++k) {
            const tagPOINT p{(k * 97 - 200) * kOne + 12345, (150 - k * 61) * kOne - 999};
            tagPOINT mapped = Map(m, p);
            tagPOINT back = Map(inv, mapped);
            long slack = Slack(p, 1) + Slack(mapped, 4);
            EXPECT_NEAR(back.x, p.x, slack) << i << "," << k;
            EXPECT_NEAR(back.y, p.y, slack) << i << "," << k;
        }
        // Inverting twice comes back to the matrix.
        MATRIX again = m;
        MatrixInvert(&inv, &again);
        EXPECT_NEAR(again.m11, m.m11, 16) << i;
        EXPECT_NEAR(again.m12, m.m12, 16) << i;
        EXPECT_NEAR(again.m21, m.m21, 16) << i;
        EXPECT_NEAR(again.m22, m.m22, 16) << i;
        EXPECT_LE(std::abs(again.dx - m.dx), std::abs(m.dx) / 1000 + 64) << i;
        EXPECT_LE(std::abs(again.dy - m.dy), std::abs(m.dy) / 1000 + 64) << i;
    }
}

TEST(MatrixInvert, SmallAndLargeCoefficients) {
    // Tiny coefficients take the unshifted determinant (h = 0).
    MATRIX tiny = Make(100, 20, -20, 100);
    MATRIX inv = Identity();
    MatrixInvert(&tiny, &inv);
    MATRIX product;
    MatrixConcat(&tiny, &inv, &product);
    const MATRIX id = Identity();
    EXPECT_EQ(MatrixEqual(&product, &id, 300), 1);
    // Large ones shift the determinant right by 32 without overflowing: the inverse of
    // (8192, 4096, -4096, 8192) is (6.4, -3.2, 3.2, 6.4) units, truncated.
    MATRIX large = Make(0x20000000, 0x10000000, -0x10000000, 0x20000000);
    MatrixInvert(&large, &inv);
    EXPECT_EQ(inv.m11, 6);
    EXPECT_EQ(inv.m12, -3);
    EXPECT_EQ(inv.m21, 3);
    EXPECT_EQ(inv.m22, 6);
}

TEST(MatrixMapping, MapTakesRectOntoRect) {
    const tagRECT from{0, 0, 100, 200};
    const tagRECT to{10, 20, 60, 120};
    MATRIX m;
    MatrixMap(&from, &to, &m);
    EXPECT_EQ(m.m11, kOne / 2);
    EXPECT_EQ(m.m22, kOne / 2);
    EXPECT_EQ(m.dx, 10);
    EXPECT_EQ(m.dy, 20);
    EXPECT_EQ(m.cx | m.cy | m.m12 | m.m21, 0);
    tagPOINT p = Map(m, tagPOINT{100, 200});
    EXPECT_EQ(p.x, 60);
    EXPECT_EQ(p.y, 120);
    // Extents below 2 count as 1.
    const tagRECT dot{5, 5, 6, 5};
    MatrixMap(&dot, &to, &m);
    EXPECT_EQ(m.m11, 50 * kOne);
    EXPECT_EQ(m.m22, 100 * kOne);
}

TEST(MatrixMapping, AspectKeepsOneScaleAndCentres) {
    const tagRECT from{0, 0, 100, 200};
    const tagRECT to{0, 0, 100, 100};
    MATRIX m;
    MatrixMapAspect(&from, &to, &m);
    EXPECT_EQ(m.m11, kOne / 2);
    EXPECT_EQ(m.m22, kOne / 2);
    EXPECT_EQ(m.dx, 25);
    EXPECT_EQ(m.dy, 0);
    tagPOINT p = Map(m, tagPOINT{100, 200});
    EXPECT_EQ(p.x, 75);
    EXPECT_EQ(p.y, 100);
}

TEST(MatrixMapping, ScaleTranslateAndDecompose) {
    MATRIX m = Identity();
    MatrixScale(2 * kOne, 3 * kOne, &m);
    MatrixRotate(30 * kOne, &m);
    MatrixTranslate(123, 456, &m);
    LONG sx = 0, sy = 0, tx = 0, ty = 0;
    // Scale after a rotation: each axis keeps its length.
    MATRIX r = Identity();
    MatrixRotate(30 * kOne, &r);
    MatrixScale(2 * kOne, 3 * kOne, &r);
    GetMatrixScale(&r, sx, sy);
    EXPECT_NEAR(sx, 2 * kOne, 64);
    EXPECT_NEAR(sy, 3 * kOne, 64);
    GetMatrixTranslate(&m, tx, ty);
    EXPECT_EQ(tx, 123);
    EXPECT_EQ(ty, 456);
    MATRIX rot = Identity();
    MatrixRotate(30 * kOne, &rot);
    tagPOINT scale;
    LONG angle = 0;
    MatrixDecompose(&rot, &scale, angle);
    EXPECT_NEAR(scale.x, kOne, 2);
    EXPECT_NEAR(scale.y, kOne, 2);
    EXPECT_NEAR(angle, 30 * kOne, 0.01 * kOne);
    MATRIX back = Identity();
    MatrixRotate(-120 * kOne, &back);
    MatrixDecompose(&back, &scale, angle);
    EXPECT_NEAR(angle, -120 * kOne, 0.01 * kOne);
}
