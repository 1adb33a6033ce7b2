// GDib pixel layout, per-pixel access, the alpha rule and fills.
#include "fundo/GDib.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

RGBQUAD Quad(BYTE r, BYTE g, BYTE b) {
    return RGBQUAD{b, g, r, 0};
}

BYTE* StoredRow(const GDib& d, int i) {
    return d.GetBits() + i * d.GetLineSize();
}

// Raw bytes of picture pixel (x, y), y counted from the top.
BYTE* Raw(const GDib& d, int x, int y) {
    return StoredRow(d, d.Height() - 1 - y) + x * d.GetBitCount() / 8;
}

WORD Word(const GDib& d, int x, int y) {
    const BYTE* p = Raw(d, x, y);
    return static_cast<WORD>(p[0] | (p[1] << 8));
}

void PutWord(GDib& d, int x, int y, WORD w) {
    BYTE* p = Raw(d, x, y);
    p[0] = static_cast<BYTE>(w);
    p[1] = static_cast<BYTE>(w >> 8);
}

TEST(GDibPixelLayout, PictureRowsAreStoredBottomUp) {
    GDib d;
    ASSERT_EQ(d.Create(3, 2, 24), 1);
    // Stored row 1 (the last in memory) is picture row 0.
    BYTE* top = d.GetBits() + 12;
    top[3] = 10; // pixel 1: blue, green, red
    top[4] = 20;
    top[5] = 30;
    EXPECT_EQ(d.GetPixelColor(1, 0), RGB(30, 20, 10));
    EXPECT_EQ(d.GetPixelColor(1, 1), RGB(0, 0, 0));
    RGBQUAD q = d.GetPixel(1, 0);
    EXPECT_EQ(q.rgbBlue, 10);
    EXPECT_EQ(q.rgbReserved, 0);
}

TEST(GDibPixelLayout, DirectColourSetPixelAddressesStoredRows) {
    GDib d;
    ASSERT_EQ(d.Create(2, 3, 24), 1);
    d.SetPixelColor(0, 0, RGB(200, 100, 50));
    // Written to the first stored row, which is the bottom picture row.
    EXPECT_EQ(d.GetBits()[0], 50);
    EXPECT_EQ(d.GetBits()[2], 200);
    EXPECT_EQ(d.GetPixelColor(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(d.GetPixelColor(0, 2), RGB(200, 100, 50));

    GDib line;
    ASSERT_EQ(line.Create(2, 1, 24), 1);
    line.SetPixelColor(1, 0, RGB(1, 2, 3));
    EXPECT_EQ(line.GetPixelColor(1, 0), RGB(1, 2, 3));

    GDib paletted; // paletted writes stay top-down
    ASSERT_EQ(paletted.Create(2, 3, 8), 1);
    paletted.SetPixelColor(0, 0, RGB(255, 255, 255));
    EXPECT_EQ(paletted.GetPixelIndex(0, 0), 255);
    EXPECT_EQ(*Raw(paletted, 0, 0), 255);
}

TEST(GDibPixelLayout, ThirtyTwoBitPixelsLeaveTheFourthByte) {
    GDib d;
    ASSERT_EQ(d.Create(2, 1, 32), 1);
    BYTE* p = d.GetBits() + 4;
    p[3] = 0x55;
    d.SetPixelColor(1, 0, RGB(9, 8, 7));
    EXPECT_EQ(p[0], 7);
    EXPECT_EQ(p[2], 9);
    EXPECT_EQ(p[3], 0x55);
    EXPECT_EQ(d.GetPixel(1, 0).rgbReserved, 0);
    EXPECT_EQ(d.GetPixelColor(1, 0), RGB(9, 8, 7));
}

TEST(GDibPixelLayout, SixteenBitFieldsExpandThroughTheTable) {
    const int table[32] = {0,   15,  23,  31,  39,  47,  55,  63,  71,  79,  87,
                           95,  95,  111, 119, 127, 135, 143, 151, 159, 167, 175,
                           183, 191, 199, 207, 215, 223, 223, 239, 247, 255};
    GDib d;
    ASSERT_EQ(d.Create(1, 1, 16), 1);
    for (int v = 0; v < 32; ++v) {
        EXPECT_EQ(GDib::kExpand5[v], table[v]) << v;
        PutWord(d, 0, 0, static_cast<WORD>(v));
        EXPECT_EQ(d.GetPixel(0, 0).rgbBlue, table[v]) << v;
        PutWord(d, 0, 0, static_cast<WORD>(v << 5));
        EXPECT_EQ(d.GetPixel(0, 0).rgbGreen, table[v]) << v;
        PutWord(d, 0, 0, static_cast<WORD>(0x8000 | (v << 10))); // bit 15 ignored
        EXPECT_EQ(d.GetPixel(0, 0).rgbRed, table[v]) << v;
        EXPECT_EQ(d.GetPixel(0, 0).rgbBlue, 0) << v;
    }
}

TEST(GDibPixelLayout, SixteenBitWritesPackTheTopFiveBits) {
    GDib d;
    ASSERT_EQ(d.Create(1, 1, 16), 1);
    d.SetPixel(0, 0, Quad(0xFF, 0x80, 0x07));
    EXPECT_EQ(Word(d, 0, 0), (31 << 10) | (16 << 5) | 0);
    // Blending expands the old field first: red field 12 reads as 95, not 103.
    PutWord(d, 0, 0, static_cast<WORD>((12 << 10) | (1 << 5) | 31));
    d.SetPixel(0, 0, Quad(255, 0, 0), 128);
    int red = (255 * 128 + 95 * 127) >> 8; // 174
    int green = (0 * 128 + 15 * 127) >> 8; // 7
    int blue = (0 * 128 + 255 * 127) >> 8; // 126
    EXPECT_EQ(Word(d, 0, 0), ((red >> 3) << 10) | ((green >> 3) << 5) | (blue >> 3));
}

TEST(GDibPixelLayout, OneBitPixelsRunFromTheTopBit) {
    GDib d;
    ASSERT_EQ(d.Create(12, 2, 1), 1);
    d.SetPixelIndex(0, 0, 1);
    d.SetPixelIndex(9, 0, 3); // index & 1
    d.SetPixelIndex(11, 1, 1);
    BYTE* top = StoredRow(d, 1);
    EXPECT_EQ(top[0], 0x80);
    EXPECT_EQ(top[1], 0x40);
    EXPECT_EQ(StoredRow(d, 0)[1], 0x10);
    EXPECT_EQ(d.GetPixelIndex(9, 0), 1);
    EXPECT_EQ(d.GetPixelIndex(8, 0), 0);
    d.SetPixelIndex(9, 0, 2);
    EXPECT_EQ(top[1], 0x00);
    EXPECT_EQ(d.GetPixelColor(0, 0), RGB(255, 255, 255));
}

TEST(GDibPixelLayout, FourBitPixelsPutEvenColumnsHigh) {
    GDib d;
    ASSERT_EQ(d.Create(3, 1, 4), 1);
    d.SetPixelIndex(0, 0, 0x1A); // index & 15
    d.SetPixelIndex(1, 0, 5);
    d.SetPixelIndex(2, 0, 0xF);
    EXPECT_EQ(d.GetBits()[0], 0xA5);
    EXPECT_EQ(d.GetBits()[1], 0xF0);
    EXPECT_EQ(d.GetPixelIndex(0, 0), 0xA);
    EXPECT_EQ(d.GetPixelIndex(1, 0), 5);
    EXPECT_EQ(d.GetPixelColor(2, 0), RGB(255, 255, 255));
}

TEST(GDibPixelAccess, OutsideTheImageReadsBlackAndWritesNothing) {
    GDib d;
    ASSERT_EQ(d.Create(2, 2, 8), 1);
    d.SetBackColor(RGB(255, 255, 255));
    EXPECT_EQ(d.IsInside(1, 1), 1);
    EXPECT_EQ(d.IsInside(2, 0), 0);
    EXPECT_EQ(d.IsInside(0, -1), 0);
    EXPECT_EQ(d.GetPixelIndex(-1, 0), 0);
    EXPECT_EQ(d.GetPixelColor(0, 2), RGB(0, 0, 0));
    d.SetPixelIndex(2, 0, 0);
    d.SetPixelColor(-1, 0, RGB(0, 0, 0));
    for (int i = 0; i < d.GetLineSize() * 2; ++i) {
        if (i % d.GetLineSize() < 2) {
            EXPECT_EQ(d.GetBits()[i], 255) << i;
        }
    }
    GDib deep;
    ASSERT_EQ(deep.Create(2, 2, 24), 1);
    EXPECT_EQ(deep.GetPixelColor(5, 5), RGB(0, 0, 0));
    deep.SetPixelColor(2, 0, RGB(1, 1, 1));
    EXPECT_EQ(deep.GetBits()[6], 0);
}

TEST(GDibAlpha, BlendsOverTwoHundredFiftySix) {
    GDib d;
    ASSERT_EQ(d.Create(4, 1, 24), 1);
    d.SetBackColor(RGB(255, 255, 255));
    d.SetPixelColor(0, 0, RGB(0, 0, 0), 0);
    EXPECT_EQ(d.GetPixelColor(0, 0), RGB(255, 255, 255));
    d.SetPixelColor(0, 0, RGB(0, 0, 0), 128);
    EXPECT_EQ(d.GetPixelColor(0, 0), RGB(126, 126, 126)); // (255 × 127) >> 8
    d.SetPixelColor(1, 0, RGB(0, 0, 0), 255);
    EXPECT_EQ(d.GetPixelColor(1, 0), RGB(0, 0, 0));
    // White at alpha 1 over black stays black, and 254 gives 253: >> 8, not / 255.
    d.SetPixelColor(2, 0, RGB(0, 0, 0));
    d.SetPixelColor(2, 0, RGB(255, 255, 255), 1);
    EXPECT_EQ(d.GetPixelColor(2, 0), RGB(0, 0, 0));
    d.SetPixelColor(2, 0, RGB(255, 255, 255), 254);
    EXPECT_EQ(d.GetPixelColor(2, 0), RGB(253, 253, 253));
    d.SetPixel(3, 0, Quad(100, 50, 200), 96);
    EXPECT_EQ(d.GetPixelColor(3, 0), RGB((100 * 96 + 255 * 159) >> 8, (50 * 96 + 255 * 159) >> 8,
                                         (200 * 96 + 255 * 159) >> 8));
}

TEST(GDibAlpha, PalettedTargetsTakeTheNearestIndexAtAnyAlphaButZero) {
    GDib d;
    ASSERT_EQ(d.Create(2, 1, 1), 1);
    d.SetPixelColor(0, 0, RGB(200, 200, 200), 50);
    EXPECT_EQ(d.GetPixelIndex(0, 0), 1);
    d.SetPixelColor(0, 0, RGB(10, 10, 10), 0);
    EXPECT_EQ(d.GetPixelIndex(0, 0), 1);
    d.SetPixelColor(0, 0, RGB(10, 10, 10), 1);
    EXPECT_EQ(d.GetPixelIndex(0, 0), 0);
}

TEST(GDibBackColor, OpaqueDirectFillsCopyOneRowIntoEveryStride) {
    GDib d;
    ASSERT_EQ(d.Create(3, 2, 24), 1);
    std::memset(d.GetBits(), 0xEE, 24);
    d.SetBackColor(RGB(1, 2, 3));
    for (int row = 0; row < 2; ++row) {
        const BYTE* p = StoredRow(d, row);
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(p[3 * x], 3);
            EXPECT_EQ(p[3 * x + 1], 2);
            EXPECT_EQ(p[3 * x + 2], 1);
        }
        for (int pad = 9; pad < 12; ++pad)
            EXPECT_EQ(p[pad], 0) << pad; // one whole stride of the cleared line
    }

    GDib w;
    ASSERT_EQ(w.Create(3, 1, 16), 1);
    w.SetBackColor(Quad(0xFF, 0x08, 0x10));
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(Word(w, x, 0), (31 << 10) | (1 << 5) | 2);
    EXPECT_EQ(w.GetBits()[6], 0);

    GDib x32;
    ASSERT_EQ(x32.Create(2, 1, 32), 1);
    std::memset(x32.GetBits(), 0x77, 8);
    x32.SetBackColor(RGB(4, 5, 6));
    EXPECT_EQ(x32.GetBits()[4], 6);
    EXPECT_EQ(x32.GetBits()[7], 0);
}

TEST(GDibBackColor, TranslucentDirectFillsBlendEveryPixel) {
    GDib d;
    ASSERT_EQ(d.Create(2, 2, 24), 1);
    d.SetBackColor(RGB(200, 100, 0));
    d.SetBackColor(RGB(0, 0, 0), 0);
    EXPECT_EQ(d.GetPixelColor(1, 1), RGB(200, 100, 0));
    d.SetBackColor(RGB(0, 255, 10), 64);
    COLORREF want = RGB((200 * 191) >> 8, (255 * 64 + 100 * 191) >> 8, (10 * 64) >> 8);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(d.GetPixelColor(x, y), want);

    GDib w;
    ASSERT_EQ(w.Create(1, 1, 16), 1);
    PutWord(w, 0, 0, static_cast<WORD>(28 << 10)); // red reads as 223
    w.SetBackColor(Quad(0, 0, 0), 128);
    EXPECT_EQ(Word(w, 0, 0), ((223 * 127) >> 8 >> 3) << 10);
}

TEST(GDibBackColor, PalettedFillsWriteTheNearestIndexRegardlessOfAlpha) {
    GDib byte;
    ASSERT_EQ(byte.Create(3, 2, 8), 1);
    byte.SetBackColor(RGB(0xFE, 1, 0), 0);
    EXPECT_EQ(byte.GetPixelIndex(2, 1), 40);
    EXPECT_EQ(byte.GetBits()[3], 0); // padding untouched

    GDib nibble;
    ASSERT_EQ(nibble.Create(3, 1, 4), 1);
    nibble.GetBits()[1] = 0x0B;
    nibble.SetBackColor(RGB(0, 0, 255));
    EXPECT_EQ(nibble.GetBits()[0], 0xCC);
    EXPECT_EQ(nibble.GetBits()[1], 0xCB); // the pad nibble stays

    GDib mono;
    ASSERT_EQ(mono.Create(10, 1, 1), 1);
    mono.GetBits()[1] = 0x15;
    mono.SetBackColor(RGB(255, 255, 255));
    EXPECT_EQ(mono.GetBits()[0], 0xFF);
    EXPECT_EQ(mono.GetBits()[1], 0xD5); // bits of pixels 8 and 9 only
}

TEST(GDibFillRect, ClampsNegativeCornersWithoutShortening) {
    GDib d;
    ASSERT_EQ(d.Create(5, 3, 24), 1);
    d.FillRect(-2, -1, 3, 2, RGB(9, 9, 9));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(d.GetPixelColor(x, y), (x < 3 && y < 2) ? RGB(9, 9, 9) : RGB(0, 0, 0))
                << x << "," << y;
}

TEST(GDibFillRect, CutsAtTheRightAndBottomEdges) {
    GDib d;
    ASSERT_EQ(d.Create(5, 3, 24), 1);
    d.FillRect(3, 2, 10, 10, RGB(1, 2, 3));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(d.GetPixelColor(x, y), (x >= 3 && y == 2) ? RGB(1, 2, 3) : RGB(0, 0, 0))
                << x << "," << y;
    // Nothing spills into the padding or the next row.
    EXPECT_EQ(d.GetBits()[15], 0);
    EXPECT_EQ(d.GetBits()[16], 0);
    d.FillRect(5, 0, 3, 3, RGB(7, 7, 7));
    d.FillRect(0, 0, 0, 3, RGB(7, 7, 7));
    d.FillRect(0, 0, 3, -1, RGB(7, 7, 7));
    EXPECT_EQ(d.GetPixelColor(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(d.GetPixelColor(4, 0), RGB(0, 0, 0));
}

TEST(GDibFillRect, BlendsAndHandlesEveryDepth) {
    GDib d;
    ASSERT_EQ(d.Create(3, 3, 24), 1);
    d.SetBackColor(RGB(100, 100, 100));
    d.FillRect(1, 1, 1, 1, RGB(200, 0, 50), 128);
    EXPECT_EQ(d.GetPixelColor(1, 1),
              RGB((200 * 128 + 100 * 127) >> 8, (100 * 127) >> 8, (50 * 128 + 100 * 127) >> 8));
    EXPECT_EQ(d.GetPixelColor(1, 0), RGB(100, 100, 100));
    d.FillRect(0, 0, 3, 3, RGB(1, 1, 1), 0);
    EXPECT_EQ(d.GetPixelColor(0, 0), RGB(100, 100, 100));

    GDib nibble;
    ASSERT_EQ(nibble.Create(5, 2, 4), 1);
    nibble.FillRect(1, 1, 3, 1, RGB(255, 0, 0)); // index 9
    for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(nibble.GetPixelIndex(x, 1), (x >= 1 && x <= 3) ? 9 : 0) << x;
        EXPECT_EQ(nibble.GetPixelIndex(x, 0), 0) << x;
    }

    GDib mono;
    ASSERT_EQ(mono.Create(20, 1, 1), 1);
    mono.FillRect(3, 0, 14, 1, RGB(255, 255, 255));
    for (int x = 0; x < 20; ++x)
        EXPECT_EQ(mono.GetPixelIndex(x, 0), (x >= 3 && x < 17) ? 1 : 0) << x;

    GDib w;
    ASSERT_EQ(w.Create(3, 1, 16), 1);
    w.FillRect(2, 0, 5, 1, Quad(0, 0, 0xFF));
    EXPECT_EQ(Word(w, 2, 0), 31);
    EXPECT_EQ(Word(w, 1, 0), 0);
}

TEST(GDibFills, RowsLongerThanTheScratchLineAreFilledWhole) {
    GDib d;
    ASSERT_EQ(d.Create(3000, 2, 24), 1); // 9000 bytes a row
    ASSERT_GT(d.GetLineSize(), GDib::kScratchSize);
    d.SetBackColor(RGB(10, 20, 30));
    for (int x : {0, 2729, 2730, 2731, 2999})
        EXPECT_EQ(d.GetPixelColor(x, 1), RGB(10, 20, 30)) << x;
    d.FillRect(2700, 0, 400, 1, RGB(1, 2, 3));
    EXPECT_EQ(d.GetPixelColor(2699, 0), RGB(10, 20, 30));
    EXPECT_EQ(d.GetPixelColor(2700, 0), RGB(1, 2, 3));
    EXPECT_EQ(d.GetPixelColor(2999, 0), RGB(1, 2, 3));
    EXPECT_EQ(d.GetPixelColor(2999, 1), RGB(10, 20, 30));

    GDib wide;
    ASSERT_EQ(wide.Create(2100, 1, 32), 1); // 8400 bytes
    wide.SetBackColor(RGB(5, 6, 7));
    EXPECT_EQ(wide.GetPixelColor(2099, 0), RGB(5, 6, 7));
    EXPECT_EQ(wide.GetPixelColor(2048, 0), RGB(5, 6, 7));
}

} // namespace
