// GDib colour tables: access, clamping, grey ramps and colour matching.
#include "fundo/GDib.h"

#include <gtest/gtest.h>

namespace {

RGBQUAD Quad(BYTE r, BYTE g, BYTE b) {
    return RGBQUAD{b, g, r, 0};
}

bool Is(RGBQUAD q, BYTE r, BYTE g, BYTE b) {
    return q.rgbRed == r && q.rgbGreen == g && q.rgbBlue == b;
}

TEST(GDibPalette, ReadsOnlyEntriesInUse) {
    GDib d;
    ASSERT_EQ(d.Create(2, 2, 1), 1);
    EXPECT_TRUE(Is(d.GetPaletteColor(1), 255, 255, 255));
    EXPECT_TRUE(Is(d.GetPaletteColor(2), 0, 0, 0));
    EXPECT_TRUE(Is(d.GetPaletteColor(-1), 0, 0, 0));
    BYTE r = 9, g = 9, b = 9;
    EXPECT_EQ(d.GetPaletteColor(1, r, g, b), 1);
    EXPECT_EQ(r, 255);
    EXPECT_EQ(b, 255);
    EXPECT_EQ(d.GetPaletteColor(2, r, g, b), 0);
}

TEST(GDibPalette, WritesIgnoreIndicesOutOfRange) {
    GDib d;
    ASSERT_EQ(d.Create(2, 2, 1), 1);
    d.SetPaletteColor(0, 1, 2, 3);
    d.SetPaletteColor(2, 4, 5, 6);
    d.SetPaletteColor(-1, Quad(7, 8, 9));
    d.SetPaletteColor(1, RGBQUAD{30, 20, 10, 77});
    EXPECT_TRUE(Is(d.GetPaletteColor(0), 1, 2, 3));
    EXPECT_TRUE(Is(d.GetPaletteColor(1), 10, 20, 30));
    EXPECT_EQ(d.GetPaletteColor(1).rgbReserved, 0);
    EXPECT_TRUE(Is(d.GetPaletteData()[2], 0, 0, 0));
}

TEST(GDibPalette, ChannelArraysFallBackFromBlueToGreenToRed) {
    GDib d;
    ASSERT_EQ(d.Create(2, 2, 4), 1);
    const BYTE red[3] = {10, 20, 30};
    const BYTE green[3] = {11, 21, 31};
    d.SetPalette(3, red);
    EXPECT_TRUE(Is(d.GetPaletteColor(2), 30, 30, 30));
    d.SetPalette(3, red, green);
    EXPECT_TRUE(Is(d.GetPaletteColor(1), 20, 21, 21));
    const BYTE blue[3] = {1, 2, 3};
    d.SetPalette(3, red, nullptr, blue);
    EXPECT_TRUE(Is(d.GetPaletteColor(0), 10, 10, 1));
    d.SetPalette(3, nullptr, green, blue); // red is required
    EXPECT_TRUE(Is(d.GetPaletteColor(0), 10, 10, 1));
}

TEST(GDibPalette, CountsAreClampedToTheColoursInUse) {
    GDib d;
    ASSERT_EQ(d.Create(2, 2, 4), 1);
    RGB3 colors[300];
    BYTE channel[300];
    for (int i = 0; i < 300; ++i) {
        colors[i] = RGB3{static_cast<BYTE>(i), 1, 2};
        channel[i] = static_cast<BYTE>(i + 1);
    }
    d.SetPalette(colors, 300);
    EXPECT_TRUE(Is(d.GetPaletteColor(15), 15, 1, 2));
    EXPECT_TRUE(Is(d.GetPaletteData()[16], 0, 0, 0)); // 16 entries only
    d.SetPalette(300, channel);
    EXPECT_TRUE(Is(d.GetPaletteColor(15), 16, 16, 16));
    EXPECT_TRUE(Is(d.GetPaletteData()[16], 0, 0, 0));
    // The RGBQUAD form copies as many entries as asked, up to the table's 256.
    RGBQUAD quads[300];
    for (int i = 0; i < 300; ++i)
        quads[i] = Quad(static_cast<BYTE>(i), 0, 0);
    d.SetPalette(quads, 300);
    EXPECT_TRUE(Is(d.GetPaletteData()[200], 200, 0, 0));
    EXPECT_TRUE(Is(d.GetPaletteData()[255], 255, 0, 0));
}

TEST(GDibPalette, UsedColoursStayWithinTheTable) {
    GDib d;
    ASSERT_EQ(d.Create(2, 2, 8), 1);
    d.SetUsedColors(1000);
    EXPECT_EQ(d.GetUsedColors(), 256);
    d.SetUsedColors(16);
    EXPECT_EQ(d.GetColorNum(), 16);
    EXPECT_TRUE(Is(d.GetPaletteColor(16), 0, 0, 0)); // no longer in use
    d.SetUsedColors(0);
    EXPECT_EQ(d.IsIndexed(), 0);
    EXPECT_EQ(d.GetPaletteData(), nullptr);
    EXPECT_EQ(d.GetNearestIndex(Quad(0, 0, 0)), -1);
}

TEST(GDibPalette, GreyRampsDivideFirst) {
    const int cases[][3] = {{1, 2, 255}, {4, 16, 17}, {8, 256, 1}};
    for (const auto& c : cases) {
        GDib d;
        ASSERT_EQ(d.Create(2, 2, c[0]), 1);
        d.SetGrayPalette();
        for (int i = 0; i < c[1]; ++i) {
            BYTE v = static_cast<BYTE>(i * c[2]);
            EXPECT_TRUE(Is(d.GetPaletteColor(i), v, v, v)) << c[0] << " " << i;
        }
    }
}

TEST(GDibPalette, GrayScaleMeansTheIdentityRamp) {
    GDib d;
    ASSERT_EQ(d.Create(2, 2, 8), 1);
    EXPECT_EQ(d.IsGrayScale(), 0);
    d.SetGrayPalette();
    EXPECT_EQ(d.IsGrayScale(), 1);
    d.SetPaletteColor(77, 77, 77, 78);
    EXPECT_EQ(d.IsGrayScale(), 0);

    GDib sixteen;
    ASSERT_EQ(sixteen.Create(2, 2, 4), 1);
    sixteen.SetGrayPalette(); // steps of 17 are grey but not (i, i, i)
    EXPECT_EQ(sixteen.IsGrayScale(), 0);

    GDib mono;
    ASSERT_EQ(mono.Create(2, 2, 1), 1);
    mono.SetPaletteColor(1, 1, 1, 1);
    EXPECT_EQ(mono.IsGrayScale(), 1);

    GDib deep;
    ASSERT_EQ(deep.Create(2, 2, 24), 1);
    EXPECT_EQ(deep.IsGrayScale(), 0);
}

TEST(GDibPalette, ColorIndexIsTheFirstEqualEntry) {
    GDib d;
    ASSERT_EQ(d.Create(2, 2, 4), 1);
    d.SetPaletteColor(3, 5, 6, 7);
    d.SetPaletteColor(9, 5, 6, 7);
    EXPECT_EQ(d.GetColorIndex(Quad(5, 6, 7)), 3);
    EXPECT_EQ(d.GetColorIndex(RGBQUAD{7, 6, 5, 200}), 3); // reserved byte ignored
    EXPECT_EQ(d.GetColorIndex(Quad(5, 6, 8)), -1);
    GDib deep;
    ASSERT_EQ(deep.Create(2, 2, 24), 1);
    EXPECT_EQ(deep.GetColorIndex(Quad(0, 0, 0)), -1);
}

TEST(GDibPalette, NearestIndexPrefersExactThenSmallestDistanceThenEarliest) {
    GDib d;
    ASSERT_EQ(d.Create(2, 2, 4), 1);
    RGBQUAD table[16];
    for (int i = 0; i < 16; ++i)
        table[i] = Quad(0, 0, 0);
    table[1] = Quad(10, 10, 10);
    table[2] = Quad(30, 30, 30);
    table[3] = Quad(100, 0, 0);
    table[4] = Quad(100, 0, 0);
    table[5] = Quad(0, 0, 98);
    table[6] = Quad(0, 0, 102);
    table[0] = Quad(255, 255, 255);
    d.SetPalette(table, 16);
    EXPECT_EQ(d.GetNearestIndex(Quad(20, 20, 20)), 1); // tie between 1 and 2
    EXPECT_EQ(d.GetNearestIndex(Quad(0, 0, 100)), 5);  // tie between 5 and 6
    EXPECT_EQ(d.GetNearestIndex(Quad(100, 0, 0)), 3);  // first exact match
    EXPECT_EQ(d.GetNearestIndex(Quad(0, 0, 0)), 7);    // first exact black
    EXPECT_EQ(d.GetNearestIndex(Quad(29, 29, 29)), 2);
    EXPECT_EQ(d.GetNearestIndex(Quad(250, 250, 250)), 0);

    GDib byte;
    ASSERT_EQ(byte.Create(2, 2, 8), 1);
    EXPECT_EQ(byte.GetNearestIndex(Quad(0xFF, 0, 0)), 249); // 40 is FE0000
    EXPECT_EQ(byte.GetNearestIndex(Quad(0xFE, 0, 0)), 40);
    EXPECT_EQ(byte.GetNearestIndex(Quad(0xFD, 0, 0)), 40);
    EXPECT_EQ(byte.GetNearestIndex(Quad(0x80, 0x80, 0x80)), 248); // 808080 only at 248
}

TEST(GDibPalette, RGBtoBGRSwapsWholeTriplesWithinOneRow) {
    GDib d;
    ASSERT_EQ(d.Create(2, 1, 24), 1); // stride 8
    BYTE line[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    d.RGBtoBGR(line, 10);
    const BYTE want[10] = {3, 2, 1, 6, 5, 4, 7, 8, 9, 10};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(line[i], want[i]) << i;
    BYTE shorter[6] = {1, 2, 3, 4, 5, 6};
    d.RGBtoBGR(shorter, 5);
    EXPECT_EQ(shorter[0], 3);
    EXPECT_EQ(shorter[3], 4);

    GDib paletted;
    ASSERT_EQ(paletted.Create(8, 1, 8), 1);
    BYTE untouched[3] = {1, 2, 3};
    paletted.RGBtoBGR(untouched, 3);
    EXPECT_EQ(untouched[0], 1);
}

} // namespace
