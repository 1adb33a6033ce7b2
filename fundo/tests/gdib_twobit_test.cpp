// Two-bit GDibs: storage for the per-pixel operations, decoded by the blits.
#include "fundo/GDib.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class GDibTwoBit : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(d.Create(5, 1, 2), 1); }
    GDib d;
};

TEST_F(GDibTwoBit, HasFourBlackEntriesAndPaddedRows) {
    EXPECT_EQ(d.GetBitCount(), 2);
    EXPECT_EQ(d.GetColorNum(), 4);
    EXPECT_EQ(d.GetHeaderSize(), 40 + 16);
    EXPECT_EQ(d.GetLineSize(), 4);
    EXPECT_EQ(GDib::LineSize(17, 2), 8);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(QuadToColor(d.GetPaletteColor(i)), RGB(0, 0, 0));
    d.SetGrayPalette();
    EXPECT_EQ(QuadToColor(d.GetPaletteColor(1)), RGB(85, 85, 85));
    EXPECT_EQ(QuadToColor(d.GetPaletteColor(3)), RGB(255, 255, 255));
}

TEST_F(GDibTwoBit, PixelOperationsReadIndexZeroAndWriteNothing) {
    d.SetPaletteColor(0, 1, 2, 3);
    d.GetBits()[0] = 0xE4;
    EXPECT_EQ(d.GetPixelIndex(1, 0), 0);
    d.SetPixelIndex(0, 0, 3);
    d.SetPixelColor(1, 0, RGB(255, 255, 255));
    EXPECT_EQ(d.GetBits()[0], 0xE4);
    EXPECT_EQ(d.GetPixelColor(3, 0), RGB(1, 2, 3));
}

TEST_F(GDibTwoBit, BlitsDecodePixelsFromTheTopBits) {
    const RGBQUAD table[4] = {{1, 1, 1, 0}, {2, 2, 2, 0}, {3, 3, 3, 0}, {4, 4, 4, 0}};
    d.SetPalette(table, 4);
    d.GetBits()[0] = 0x1B; // 0, 1, 2, 3
    d.GetBits()[1] = 0x80; // 2
    GDib t;
    ASSERT_EQ(t.Create(5, 1, 24), 1);
    ASSERT_EQ(d.DrawDib(&t, 0, 0, 0, 0, 0, 0, 0, 0, 1, 255, 0), 1);
    const int want[5] = {1, 2, 3, 4, 3};
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(t.GetPixelColor(x, 0), RGB(want[x], want[x], want[x])) << x;
}

} // namespace
