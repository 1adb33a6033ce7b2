// GDib rotations, flips, mirrors and offsets.
#include "fundo/GDib.h"

#include <gtest/gtest.h>

namespace {

// A distinct colour per pixel of a w × h picture.
COLORREF Mark(int x, int y) {
    return RGB(10 + x, 100 + y, 7 * x + 3 * y);
}

void Paint(GDib& d) {
    for (int y = 0; y < d.Height(); ++y)
        for (int x = 0; x < d.Width(); ++x) {
            RGBQUAD q = ColorToQuad(Mark(x, y));
            BYTE* p =
                d.GetBits() + (d.Height() - 1 - y) * d.GetLineSize() + x * d.GetBitCount() / 8;
            if (d.GetBitCount() == 16) {
                WORD w = static_cast<WORD>(((q.rgbRed >> 3) << 10) | ((q.rgbGreen >> 3) << 5) |
                                           (q.rgbBlue >> 3));
                p[0] = static_cast<BYTE>(w);
                p[1] = static_cast<BYTE>(w >> 8);
            } else {
                p[0] = q.rgbBlue;
                p[1] = q.rgbGreen;
                p[2] = q.rgbRed;
            }
        }
}

// The 16-bit form of Mark, as read back.
COLORREF Mark16(int x, int y) {
    RGBQUAD q = ColorToQuad(Mark(x, y));
    return RGB(GDib::kExpand5[q.rgbRed >> 3], GDib::kExpand5[q.rgbGreen >> 3],
               GDib::kExpand5[q.rgbBlue >> 3]);
}

class GDibRotate : public ::testing::TestWithParam<int> {};

TEST_P(GDibRotate, LeftMapsOldXYToNewYAndWidthLessX) {
    const int bits = GetParam();
    GDib d;
    ASSERT_EQ(d.Create(4, 3, bits), 1);
    Paint(d);
    d.SetTransColor(RGB(1, 2, 3));
    d.RotateLeft();
    ASSERT_EQ(d.Width(), 3);
    ASSERT_EQ(d.Height(), 4);
    ASSERT_EQ(d.GetBitCount(), bits);
    EXPECT_EQ(d.GetLineSize(), GDib::LineSize(3, bits));
    EXPECT_EQ(d.GetInfoHeader()->biSizeImage, static_cast<DWORD>(d.GetLineSize() * 4));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(d.GetPixelColor(y, 4 - 1 - x), bits == 16 ? Mark16(x, y) : Mark(x, y))
                << x << "," << y;
    EXPECT_EQ(QuadToColor(d.GetTransColor()), RGB(1, 2, 3));
}

TEST_P(GDibRotate, RightMapsOldXYToHeightLessYAndX) {
    const int bits = GetParam();
    GDib d;
    ASSERT_EQ(d.Create(4, 3, bits), 1);
    Paint(d);
    d.RotateRight();
    ASSERT_EQ(d.Width(), 3);
    ASSERT_EQ(d.Height(), 4);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(d.GetPixelColor(3 - 1 - y, x), bits == 16 ? Mark16(x, y) : Mark(x, y))
                << x << "," << y;
}

TEST_P(GDibRotate, HalfTurnMirrorsBothWays) {
    const int bits = GetParam();
    GDib d;
    ASSERT_EQ(d.Create(5, 3, bits), 1);
    Paint(d);
    d.Rotate180();
    ASSERT_EQ(d.Width(), 5);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(d.GetPixelColor(4 - x, 2 - y), bits == 16 ? Mark16(x, y) : Mark(x, y));
}

INSTANTIATE_TEST_SUITE_P(DirectDepths, GDibRotate, ::testing::Values(16, 24, 32));

TEST(GDibRotatePaletted, KeepsTheTableAndMovesIndices) {
    for (int bits : {1, 4, 8}) {
        GDib d;
        ASSERT_EQ(d.Create(5, 2, bits), 1);
        d.SetPaletteColor(1, 9, 8, 7);
        int mask = (1 << bits) - 1;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 5; ++x)
                d.SetPixelIndex(x, y, static_cast<BYTE>((x + 3 * y) & mask));
        d.RotateLeft();
        ASSERT_EQ(d.Width(), 2);
        ASSERT_EQ(d.Height(), 5);
        EXPECT_EQ(d.GetColorNum(), 1 << bits);
        EXPECT_EQ(d.GetPaletteColor(1).rgbRed, 9);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(d.GetPixelIndex(y, 4 - x), (x + 3 * y) & mask) << bits;
        // Left, then two quarter turns right: one quarter turn right in all.
        d.RotateRight();
        d.RotateRight();
        ASSERT_EQ(d.Width(), 2);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(d.GetPixelIndex(1 - y, x), (x + 3 * y) & mask) << bits;
    }
}

TEST(GDibRotateTurns, FourTurnsGiveTheSamePicture) {
    GDib d;
    ASSERT_EQ(d.Create(7, 3, 24), 1);
    Paint(d);
    for (int i = 0; i < 4; ++i)
        d.RotateRight();
    ASSERT_EQ(d.Width(), 7);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(d.GetPixelColor(x, y), Mark(x, y));
}

TEST(GDibFlip, SwapsStoredRowsAndKeepsTheMiddle) {
    GDib d;
    ASSERT_EQ(d.Create(3, 3, 24), 1);
    Paint(d);
    d.Flip();
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(d.GetPixelColor(x, y), Mark(x, 2 - y));

    GDib wide; // rows longer than the scratch line
    ASSERT_EQ(wide.Create(3000, 2, 24), 1);
    wide.FillRect(0, 0, 3000, 1, RGB(1, 1, 1));
    wide.SetPixelColor(2999, 0, RGB(5, 5, 5)); // stored row 0: bottom picture row
    wide.Flip();
    EXPECT_EQ(wide.GetPixelColor(2999, 0), RGB(5, 5, 5));
    EXPECT_EQ(wide.GetPixelColor(2998, 1), RGB(1, 1, 1));
    EXPECT_EQ(wide.GetPixelColor(2999, 1), RGB(1, 1, 1));
    EXPECT_EQ(wide.GetPixelColor(0, 0), RGB(0, 0, 0));
}

TEST(GDibMirror, SwapsWholePixelsAtEveryDepth) {
    GDib d;
    ASSERT_EQ(d.Create(3, 2, 24), 1);
    Paint(d);
    d.Mirror();
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(d.GetPixelColor(x, y), Mark(2 - x, y));

    GDib w;
    ASSERT_EQ(w.Create(4, 1, 16), 1);
    Paint(w);
    w.Mirror();
    EXPECT_EQ(w.GetPixelColor(0, 0), Mark16(3, 0));
    EXPECT_EQ(w.GetPixelColor(2, 0), Mark16(1, 0));

    for (int bits : {1, 4, 8}) {
        GDib p;
        ASSERT_EQ(p.Create(9, 1, bits), 1);
        int mask = (1 << bits) - 1;
        for (int x = 0; x < 9; ++x)
            p.SetPixelIndex(x, 0, static_cast<BYTE>((x * 5 + 1) & mask));
        p.Mirror();
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(p.GetPixelIndex(x, 0), ((8 - x) * 5 + 1) & mask) << bits << " " << x;
    }
}

TEST(GDibOffset, RefusesNothingToDoAndMovesTooFar) {
    GDib d;
    ASSERT_EQ(d.Create(4, 3, 24), 1);
    Paint(d);
    EXPECT_EQ(d.Offset(0, 0), 0);
    EXPECT_EQ(d.Offset(5, 0), 0);
    EXPECT_EQ(d.Offset(0, -4), 0);
    EXPECT_EQ(d.Offset(0, 3), 1); // a whole height copies nothing
    EXPECT_EQ(d.Offset(4, 0), 1); // a whole width copies no bytes
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(d.GetPixelColor(x, y), Mark(x, y));
}

TEST(GDibOffset, MovesContentRightAndDownKeepingTheUncoveredStrip) {
    GDib d;
    ASSERT_EQ(d.Create(4, 3, 24), 1);
    Paint(d);
    EXPECT_EQ(d.Offset(1, 1), 1);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            COLORREF want = (x >= 1 && y >= 1) ? Mark(x - 1, y - 1) : Mark(x, y);
            EXPECT_EQ(d.GetPixelColor(x, y), want) << x << "," << y;
        }
}

TEST(GDibOffset, MovesContentLeftAndUp) {
    GDib d;
    ASSERT_EQ(d.Create(4, 3, 24), 1);
    Paint(d);
    EXPECT_EQ(d.Offset(-2, -1), 1);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            COLORREF want = (x < 2 && y < 2) ? Mark(x + 2, y + 1) : Mark(x, y);
            EXPECT_EQ(d.GetPixelColor(x, y), want) << x << "," << y;
        }
}

TEST(GDibOffset, ShiftsWithinOneRowAndServesEightBitImages) {
    GDib d;
    ASSERT_EQ(d.Create(5, 2, 8), 1);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 5; ++x)
            d.SetPixelIndex(x, y, static_cast<BYTE>(10 * y + x));
    EXPECT_EQ(d.Offset(2, 0), 1);
    const int row0[5] = {0, 1, 0, 1, 2};
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(d.GetPixelIndex(x, 0), row0[x]) << x;
    EXPECT_EQ(d.Offset(0, -1), 1);
    const int top[5] = {10, 11, 10, 11, 12};
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(d.GetPixelIndex(x, 0), top[x]) << x;
}

} // namespace
