#include "fundo/GeoRect.h"

#include <gtest/gtest.h>

namespace {

tagRECT Empty() {
    tagRECT r;
    RectSetEmpty(&r);
    return r;
}

void ExpectRect(const tagRECT& r, LONG l, LONG t, LONG rt, LONG b) {
    EXPECT_EQ(r.left, l);
    EXPECT_EQ(r.top, t);
    EXPECT_EQ(r.right, rt);
    EXPECT_EQ(r.bottom, b);
}

} // namespace

TEST(GeoRectEmpty, SetEmptyWritesAllFourFields) {
    tagRECT r = Empty();
    ExpectRect(r, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN);
    EXPECT_TRUE(RectIsEmpty(&r));
    EXPECT_EQ(static_cast<DWORD>(r.left), 0x80000000u);
}

TEST(GeoRectEmpty, LeftAloneMarksEmptiness) {
    const tagRECT halfEmpty{INT32_MIN, 0, 10, 10};
    const tagRECT box{0, 0, 10, 10};
    tagRECT out;
    RectUnion(&halfEmpty, &box, &out);
    ExpectRect(out, 0, 0, 10, 10);
    RectIntersect(&box, &halfEmpty, &out);
    EXPECT_TRUE(RectIsEmpty(&out));
    EXPECT_EQ(RectTestIntersect(&halfEmpty, &box), 0);
    EXPECT_EQ(RectPointIn(&halfEmpty, tagPOINT{5, 5}), 0);
    const tagRECT otherEmpty = Empty();
    EXPECT_EQ(RectEqual(&halfEmpty, &otherEmpty, 0), 1);
}

TEST(GeoRectEmpty, UnionRules) {
    const tagRECT e = Empty();
    const tagRECT a{0, 0, 4, 4};
    const tagRECT b{-2, 3, 1, 9};
    tagRECT out;
    RectUnion(&e, &e, &out);
    EXPECT_TRUE(RectIsEmpty(&out));
    RectUnion(&e, &a, &out);
    ExpectRect(out, 0, 0, 4, 4);
    RectUnion(&b, &e, &out);
    ExpectRect(out, -2, 3, 1, 9);
    RectUnion(&a, &b, &out);
    ExpectRect(out, -2, 0, 4, 9);
    // The output may be an input.
    tagRECT c = a;
    RectUnion(&c, &b, &c);
    ExpectRect(c, -2, 0, 4, 9);
}

TEST(GeoRectEmpty, UnionPointStartsFromEmpty) {
    tagRECT r = Empty();
    RectUnionPoint(tagPOINT{3, 4}, &r);
    ExpectRect(r, 3, 4, 3, 4);
    RectUnionPoint(tagPOINT{-1, 9}, &r);
    ExpectRect(r, -1, 4, 3, 9);
}

TEST(GeoRectEmpty, InflateOffsetAndValidate) {
    tagRECT r{0, 0, 10, 20};
    RectInflate(2, &r);
    ExpectRect(r, 2, 2, 8, 18);
    RectInflate(-3, &r);
    ExpectRect(r, -1, -1, 11, 21);
    RectInflate(6, &r); // exactly to the middle: zero width is not empty
    ExpectRect(r, 5, 5, 5, 15);
    RectInflate(1, &r); // past the middle
    EXPECT_TRUE(RectIsEmpty(&r));
    ExpectRect(r, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN);
    RectInflate(-5, &r);
    EXPECT_TRUE(RectIsEmpty(&r));
    RectOffset(10, 10, &r);
    ExpectRect(r, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN);
    tagRECT s{1, 2, 3, 4};
    RectOffset(10, -10, &s);
    ExpectRect(s, 11, -8, 13, -6);
    tagRECT upsideDown{0, 5, 10, 4};
    RectValidate(&upsideDown);
    EXPECT_TRUE(RectIsEmpty(&upsideDown));
}

TEST(GeoRectEmpty, IntersectAndTouch) {
    const tagRECT a{0, 0, 10, 10};
    const tagRECT b{5, 5, 15, 15};
    const tagRECT touching{10, 0, 20, 10};
    const tagRECT apart{11, 0, 20, 10};
    const tagRECT e = Empty();
    tagRECT out;
    RectIntersect(&a, &b, &out);
    ExpectRect(out, 5, 5, 10, 10);
    RectIntersect(&a, &touching, &out);
    ExpectRect(out, 10, 0, 10, 10);
    RectIntersect(&a, &apart, &out);
    EXPECT_TRUE(RectIsEmpty(&out));
    RectIntersect(&e, &a, &out);
    EXPECT_TRUE(RectIsEmpty(&out));
    EXPECT_EQ(RectTestIntersect(&a, &b), 1);
    EXPECT_EQ(RectTestIntersect(&a, &touching), 1);
    EXPECT_EQ(RectTestIntersect(&touching, &a), 1);
    EXPECT_EQ(RectTestIntersect(&a, &apart), 0);
    EXPECT_EQ(RectTestIntersect(&e, &a), 0);
    EXPECT_EQ(RectTestIntersect(&a, &e), 0);
    const tagRECT corner{10, 10, 12, 12};
    EXPECT_EQ(RectTestIntersect(&a, &corner), 1);
}

TEST(GeoRect, PointInIsEdgeInclusive) {
    const tagRECT r{0, 0, 10, 10};
    EXPECT_EQ(RectPointIn(&r, tagPOINT{0, 0}), 1);
    EXPECT_EQ(RectPointIn(&r, tagPOINT{10, 10}), 1);
    EXPECT_EQ(RectPointIn(&r, tagPOINT{5, 11}), 0);
    EXPECT_EQ(RectPointIn(&r, tagPOINT{-1, 5}), 0);
}

TEST(GeoRect, EqualWithTolerance) {
    const tagRECT a{0, 0, 10, 10};
    const tagRECT b{1, -1, 11, 9};
    const tagRECT e = Empty();
    EXPECT_EQ(RectEqual(&a, &b, 1), 1);
    EXPECT_EQ(RectEqual(&a, &b, 0), 0);
    EXPECT_EQ(RectEqual(&e, &e, 0), 1);
    EXPECT_EQ(RectEqual(&a, &e, 1000), 0);
    EXPECT_EQ(RectEqual(&e, &a, 1000), 0);
}

TEST(GeoRect, SetOrdersTheEdges) {
    tagRECT r;
    RectSet(10, 20, 0, 5, &r);
    ExpectRect(r, 0, 5, 10, 20);
    RectSetPoint(tagPOINT{3, -4}, &r);
    ExpectRect(r, 3, -4, 3, -4);
    RectSetPoint2(tagPOINT{7, 1}, tagPOINT{2, 9}, &r);
    ExpectRect(r, 2, 1, 7, 9);
    RectSetHuge(&r);
    ExpectRect(r, -4194304, -4194304, 4194303, 4194303);
}

TEST(GeoRect, CenterTruncatesAndEmptyGivesOrigin) {
    tagPOINT c;
    const tagRECT r{0, 0, 5, 7};
    RectCenter(&r, &c);
    EXPECT_EQ(c.x, 2);
    EXPECT_EQ(c.y, 3);
    const tagRECT reversed{5, 5, 0, 0}; // (0 - 5) / 2 truncates to -2
    RectCenter(&reversed, &c);
    EXPECT_EQ(c.x, 3);
    EXPECT_EQ(c.y, 3);
    const tagRECT e = Empty();
    RectCenter(&e, &c);
    EXPECT_EQ(c.x, 0);
    EXPECT_EQ(c.y, 0);
}

TEST(GeoRect, ShiftRoundsRightShifts) {
    tagRECT out;
    const tagRECT r{5, 6, -6, -7};
    RectShift(&r, 2, &out);
    ExpectRect(out, 20, 24, -24, -28);
    RectShift(&r, -2, &out); // (v + 2) >> 2
    ExpectRect(out, 1, 2, -1, -2);
    RectShift(&r, 0, &out);
    ExpectRect(out, 5, 6, -6, -7);
    const tagRECT e = Empty();
    RectShift(&e, -3, &out);
    EXPECT_TRUE(RectIsEmpty(&out));
    ExpectRect(out, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN);
}

TEST(GeoRect, HandlesAndTheirOpposites) {
    const tagRECT r{0, 10, 20, 31};
    const tagPOINT expected[9] = {{0, 31},  {20, 31}, {20, 10}, {0, 10}, {10, 31},
                                  {20, 20}, {10, 10}, {0, 20},  {10, 20}};
    for (int i = 0; i < 9; ++i) {
        tagPOINT p;
        RectGetPoint(&r, i, &p);
        EXPECT_EQ(p.x, expected[i].x) << i;
        EXPECT_EQ(p.y, expected[i].y) << i;
    }
    tagPOINT p;
    RectGetPoint(&r, -1, &p);
    EXPECT_EQ(p.x, 10);
    RectGetPoint(&r, 42, &p);
    EXPECT_EQ(p.y, 20);
    const tagRECT negative{-3, -3, 0, 0}; // middles shift arithmetically: -3 >> 1 = -2
    RectGetPoint(&negative, 8, &p);
    EXPECT_EQ(p.x, -2);
    const int opposite[8] = {2, 3, 0, 1, 6, 7, 4, 5};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(RectOppositePoint(i), opposite[i]);
    EXPECT_EQ(RectOppositePoint(8), 8);
    EXPECT_EQ(RectOppositePoint(-1), 8);
    EXPECT_EQ(RectOppositePoint(100), 8);
}

TEST(GeoRect, SizesAndDistances) {
    const tagRECT r{0, 0, 3 * FIXED_ONE, 4 * FIXED_ONE};
    EXPECT_EQ(RectSize(&r), 5 * FIXED_ONE);
    tagPOINT s;
    RectSizePoint(&r, &s);
    EXPECT_EQ(s.x, 3 * FIXED_ONE);
    EXPECT_EQ(s.y, 4 * FIXED_ONE);

    const tagRECT box{0, 0, 10, 10};
    EXPECT_EQ(RectNearDistance(&box, tagPOINT{5, 5}), 0);
    EXPECT_EQ(RectNearDistance(&box, tagPOINT{10, 0}), 0);
    EXPECT_EQ(RectNearDistance(&box, tagPOINT{15, 5}), 5);
    EXPECT_EQ(RectNearDistance(&box, tagPOINT{-3, -4}), 5);
    EXPECT_EQ(RectNearDistance(&box, tagPOINT{13, 14}), 5);

    const tagRECT overlapping{5, 5, 20, 20};
    const tagRECT right{14, 2, 20, 8};
    const tagRECT diagonal{13, 14, 20, 20};
    EXPECT_EQ(RectDistance(&box, &overlapping), 0);
    EXPECT_EQ(RectDistance(&box, &right), 4);
    EXPECT_EQ(RectDistance(&right, &box), 4);
    EXPECT_EQ(RectDistance(&box, &diagonal), 5);
    const tagRECT e = Empty();
    EXPECT_EQ(RectSize(&e), 0);
    EXPECT_EQ(RectNearDistance(&e, tagPOINT{0, 0}), INT32_MAX);
    EXPECT_EQ(RectDistance(&box, &e), INT32_MAX);
}

TEST(GeoRect, FixedConversionsKeepEmptyAndNarrow) {
    tagRECT r{-1, 2, 3, 20000};
    RectIntToFixed(r);
    ExpectRect(r, -FIXED_ONE, 2 * FIXED_ONE, 3 * FIXED_ONE, 20000 * FIXED_ONE);
    RectFixedToInt(r);
    ExpectRect(r, -1, 2, 3, 20000);
    // Results past 16 bits wrap: 0x7FFFFFFF rounds to 32768, which becomes -32768.
    tagRECT wide{0, 0, 0x7FFFFFFF, 0x7FFF7FFF};
    RectFixedToInt(wide);
    EXPECT_EQ(wide.right, -32768);
    EXPECT_EQ(wide.bottom, 32767);
    tagRECT halves{0x8000, -0x8000, 0x17FFF, 0x18000};
    RectFixedToInt(halves);
    ExpectRect(halves, 1, 0, 1, 2);
    tagRECT e = Empty();
    RectIntToFixed(e);
    EXPECT_TRUE(RectIsEmpty(&e));
    RectFixedToInt(e);
    EXPECT_TRUE(RectIsEmpty(&e));
}
