#include <windows.h>

#include <gtest/gtest.h>

namespace {

RECT R(int l, int t, int r, int b) {
    return RECT{l, t, r, b};
}

void ExpectRect(const RECT& rc, int l, int t, int r, int b) {
    EXPECT_EQ(rc.left, l);
    EXPECT_EQ(rc.top, t);
    EXPECT_EQ(rc.right, r);
    EXPECT_EQ(rc.bottom, b);
}

} // namespace

TEST(Rect, EmptinessAndPointsUseExclusiveRightAndBottom) {
    RECT a = R(0, 0, 10, 5);
    EXPECT_FALSE(IsRectEmpty(&a));
    RECT flat = R(3, 3, 3, 9), inverted = R(5, 0, 2, 4);
    EXPECT_TRUE(IsRectEmpty(&flat));
    EXPECT_TRUE(IsRectEmpty(&inverted));
    EXPECT_TRUE(IsRectEmpty(nullptr));
    EXPECT_TRUE(PtInRect(&a, POINT{0, 0}));
    EXPECT_TRUE(PtInRect(&a, POINT{9, 4}));
    EXPECT_FALSE(PtInRect(&a, POINT{10, 4}));
    EXPECT_FALSE(PtInRect(&a, POINT{9, 5}));
    EXPECT_FALSE(PtInRect(&a, POINT{-1, 0}));
}

TEST(Rect, IntersectGivesEmptyResultAndFalseWhenApartOrTouching) {
    RECT a = R(0, 0, 10, 10), b = R(5, -5, 20, 5), out;
    EXPECT_TRUE(IntersectRect(&out, &a, &b));
    ExpectRect(out, 5, 0, 10, 5);
    RECT touching = R(10, 0, 20, 10);
    out = R(1, 2, 3, 4);
    EXPECT_FALSE(IntersectRect(&out, &a, &touching));
    ExpectRect(out, 0, 0, 0, 0);
    // The destination may be one of the inputs.
    EXPECT_TRUE(IntersectRect(&a, &a, &b));
    ExpectRect(a, 5, 0, 10, 5);
}

TEST(Rect, UnionIgnoresEmptyInputs) {
    RECT a = R(0, 0, 4, 4), b = R(10, 10, 12, 20), empty = R(50, 50, 50, 60), out;
    EXPECT_TRUE(UnionRect(&out, &a, &b));
    ExpectRect(out, 0, 0, 12, 20);
    EXPECT_TRUE(UnionRect(&out, &empty, &b));
    ExpectRect(out, 10, 10, 12, 20);
    EXPECT_FALSE(UnionRect(&out, &empty, &empty));
    ExpectRect(out, 0, 0, 0, 0);
}

TEST(Rect, SubtractOnlyCutsWholeSides) {
    RECT a = R(0, 0, 10, 10), out;
    RECT top = R(-1, -1, 11, 3);
    EXPECT_TRUE(SubtractRect(&out, &a, &top));
    ExpectRect(out, 0, 3, 10, 10);
    RECT right = R(6, -5, 20, 15);
    EXPECT_TRUE(SubtractRect(&out, &a, &right));
    ExpectRect(out, 0, 0, 6, 10);
    // A hole in the middle or a corner bite leaves the rectangle whole.
    RECT hole = R(2, 2, 4, 4), corner = R(8, 8, 12, 12);
    EXPECT_TRUE(SubtractRect(&out, &a, &hole));
    ExpectRect(out, 0, 0, 10, 10);
    EXPECT_TRUE(SubtractRect(&out, &a, &corner));
    ExpectRect(out, 0, 0, 10, 10);
    RECT all = R(-1, -1, 11, 11);
    EXPECT_FALSE(SubtractRect(&out, &a, &all));
    EXPECT_TRUE(IsRectEmpty(&out));
}

TEST(Rect, OffsetInflateCopyEqual) {
    RECT a;
    SetRect(&a, 1, 2, 3, 4);
    OffsetRect(&a, 10, -2);
    ExpectRect(a, 11, 0, 13, 2);
    InflateRect(&a, 1, 2);
    ExpectRect(a, 10, -2, 14, 4);
    InflateRect(&a, -3, 0);
    ExpectRect(a, 13, -2, 11, 4);
    EXPECT_TRUE(IsRectEmpty(&a));
    RECT b;
    CopyRect(&b, &a);
    EXPECT_TRUE(EqualRect(&a, &b));
    b.bottom++;
    EXPECT_FALSE(EqualRect(&a, &b));
    EXPECT_FALSE(OffsetRect(nullptr, 1, 1));
    SetRectEmpty(&b);
    ExpectRect(b, 0, 0, 0, 0);
}
