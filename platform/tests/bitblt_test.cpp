// Transfers: every ternary raster operation, pattern brushes, overlapping copies and the
// format conversions, including the monochrome rules.
#include "gdi_test_support.h"

#include <gtest/gtest.h>

namespace {

// The documented meaning of a raster operation code: bit (P<<2 | S<<1 | D) is the result.
BYTE Truth(BYTE code, BYTE d, BYTE s, BYTE p) {
    BYTE out = 0;
    for (int bit = 0; bit < 8; ++bit) {
        int i = (((p >> bit) & 1) << 2) | (((s >> bit) & 1) << 1) | ((d >> bit) & 1);
        out = static_cast<BYTE>(out | (((code >> i) & 1) << bit));
    }
    return out;
}

// An 8 x 8 monochrome bitmap of alternating pixels (1 where x + y is odd).
HBITMAP CheckerBitmap() {
    BYTE rows[16];
    for (int y = 0; y < 8; ++y) {
        rows[2 * y] = (y & 1) ? 0xAA : 0x55;
        rows[2 * y + 1] = 0;
    }
    return CreateBitmap(8, 8, 1, 1, rows);
}

} // namespace

TEST(RasterOps, EveryCodeMatchesItsTruthTableOn24Bits) {
    TestDib src(4, 1), dst(4, 1);
    const COLORREF s[4] = {RGB(0x0F, 0xF0, 0x33), RGB(0xAA, 0x55, 0xFF), RGB(0, 0, 0),
                           RGB(0x81, 0x7E, 0x18)};
    const COLORREF d[4] = {RGB(0x3C, 0xC3, 0x5A), RGB(0x00, 0xFF, 0x66), RGB(0xFF, 0xFF, 0xFF),
                           RGB(0x12, 0x34, 0x56)};
    const COLORREF p = RGB(0x96, 0x69, 0xC5);
    HBRUSH brush = CreateSolidBrush(p);
    HGDIOBJ oldBrush = SelectObject(dst.dc(), brush);
    for (int code = 0; code < 256; ++code) {
        for (int x = 0; x < 4; ++x) {
            src.Put(x, 0, s[x]);
            dst.Put(x, 0, d[x]);
        }
        DWORD rop = static_cast<DWORD>(code) << 16;
        ASSERT_TRUE(BitBlt(dst.dc(), 0, 0, 4, 1, src.dc(), 0, 0, rop));
        for (int x = 0; x < 4; ++x) {
            COLORREF want = RGB(Truth(code, GetRValue(d[x]), GetRValue(s[x]), GetRValue(p)),
                                Truth(code, GetGValue(d[x]), GetGValue(s[x]), GetGValue(p)),
                                Truth(code, GetBValue(d[x]), GetBValue(s[x]), GetBValue(p)));
            ASSERT_EQ(dst.At(x, 0), want) << "code " << code << " pixel " << x;
        }
    }
    SelectObject(dst.dc(), oldBrush);
    DeleteObject(brush);
}

TEST(RasterOps, NamedOperationsOnMonochromeKeepNeighbouringBits) {
    // 1-bit destination, operating on pixels 3..9 only: the bits around must survive.
    std::vector<RGBQUAD> bw = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    TestDib src(16, 1, 1, bw), dst(16, 1, 1, bw);
    for (DWORD rop : {SRCCOPY, SRCINVERT, SRCAND, SRCPAINT, DSTINVERT, NOTSRCCOPY, BLACKNESS,
                      WHITENESS, MERGEPAINT, SRCERASE}) {
        src.Row(0)[0] = 0x35;
        src.Row(0)[1] = 0xC6;
        dst.Row(0)[0] = 0x9B;
        dst.Row(0)[1] = 0x2E;
        ASSERT_TRUE(BitBlt(dst.dc(), 3, 0, 7, 1, src.dc(), 3, 0, rop));
        const BYTE code = static_cast<BYTE>(rop >> 16);
        const BYTE s0 = 0x35, s1 = 0xC6, d0 = 0x9B, d1 = 0x2E;
        const BYTE m0 = 0x1F, m1 = 0xC0; // pixels 3-7 and 8-9
        BYTE want0 = static_cast<BYTE>((d0 & ~m0) | (Truth(code, d0, s0, 0) & m0));
        BYTE want1 = static_cast<BYTE>((d1 & ~m1) | (Truth(code, d1, s1, 0) & m1));
        EXPECT_EQ(dst.Row(0)[0], want0) << std::hex << rop;
        EXPECT_EQ(dst.Row(0)[1], want1) << std::hex << rop;
    }
}

TEST(RasterOps, PaletteIndicesAreCombinedNotColours) {
    std::vector<RGBQUAD> table(256);
    for (int i = 0; i < 256; ++i)
        table[i] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
    TestDib src(1, 1, 8, table), dst(1, 1, 8, table);
    src.Row(0)[0] = 0x0F;
    dst.Row(0)[0] = 0x3C;
    BitBlt(dst.dc(), 0, 0, 1, 1, src.dc(), 0, 0, SRCINVERT);
    EXPECT_EQ(dst.Row(0)[0], 0x33);
}

TEST(PatternBrush, PatInvertTilesFromTheBrushOrigin) {
    HBITMAP pattern = CheckerBitmap();
    HBRUSH brush = CreatePatternBrush(pattern);
    DeleteObject(pattern); // the brush keeps its own copy
    ASSERT_NE(brush, nullptr);
    LOGBRUSH lb{};
    EXPECT_EQ(GetObject(brush, sizeof(lb), &lb), static_cast<int>(sizeof(lb)));
    EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_PATTERN));

    TestDib dib(10, 3);
    dib.Fill(RGB(0x10, 0x20, 0x30));
    HGDIOBJ old = SelectObject(dib.dc(), brush);
    // Monochrome pattern: 0 bits take the text colour (black), 1 bits the background (white);
    // XOR with black keeps, XOR with white inverts.
    EXPECT_TRUE(PatBlt(dib.dc(), 0, 0, 10, 3, 0x005A0049));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(dib.At(x, y), ((x + y) & 1) ? RGB(0xEF, 0xDF, 0xCF) : RGB(0x10, 0x20, 0x30))
                << x << "," << y;
    // The same operation again restores the picture (the splitter drag feedback relies on it).
    PatBlt(dib.dc(), 0, 0, 10, 3, PATINVERT);
    EXPECT_EQ(dib.At(1, 0), RGB(0x10, 0x20, 0x30));

    SetTextColor(dib.dc(), RGB(255, 0, 0));
    SetBkColor(dib.dc(), RGB(0, 0, 255));
    SetBrushOrgEx(dib.dc(), 1, 0, nullptr);
    PatBlt(dib.dc(), 0, 0, 4, 1, PATCOPY);
    // With the origin at x = 1, pattern column 0 (a 0 bit on row 0) falls on pixel 1.
    EXPECT_EQ(dib.At(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(dib.At(1, 0), RGB(255, 0, 0));
    EXPECT_EQ(dib.At(2, 0), RGB(0, 0, 255));
    SelectObject(dib.dc(), old);
    DeleteObject(brush);
}

TEST(PatternBrush, HollowBrushAndSourceOperationsInPatBlt) {
    TestDib dib(2, 2);
    dib.Fill(RGB(1, 2, 3));
    SelectObject(dib.dc(), GetStockObject(NULL_BRUSH));
    EXPECT_TRUE(PatBlt(dib.dc(), 0, 0, 2, 2, PATCOPY));
    EXPECT_EQ(dib.At(1, 1), RGB(1, 2, 3));
    EXPECT_FALSE(PatBlt(dib.dc(), 0, 0, 2, 2, SRCCOPY));
    // Negative sizes cover the rectangle on the other side of the point.
    SelectObject(dib.dc(), GetStockObject(BLACK_BRUSH));
    EXPECT_TRUE(PatBlt(dib.dc(), 2, 2, -1, -1, PATCOPY));
    EXPECT_EQ(dib.At(1, 1), RGB(0, 0, 0));
    EXPECT_EQ(dib.At(0, 0), RGB(1, 2, 3));
}

TEST(OverlappingBlit, ScrollingWithinOneBitmapInEveryDirection) {
    const int W = 7, H = 6;
    auto model = [](int x, int y) { return RGB(x * 30, y * 40, 7); };
    for (int dx : {-2, 0, 3})
        for (int dy : {-1, 0, 2}) {
            TestDib dib(W, H);
            for (int y = 0; y < H; ++y)
                for (int x = 0; x < W; ++x)
                    dib.Put(x, y, model(x, y));
            ASSERT_TRUE(BitBlt(dib.dc(), dx, dy, W, H, dib.dc(), 0, 0, SRCCOPY));
            for (int y = 0; y < H; ++y)
                for (int x = 0; x < W; ++x) {
                    int sx = x - dx, sy = y - dy;
                    COLORREF want =
                        (sx >= 0 && sx < W && sy >= 0 && sy < H) ? model(sx, sy) : model(x, y);
                    ASSERT_EQ(dib.At(x, y), want) << dx << "," << dy << " at " << x << "," << y;
                }
        }
}

TEST(OverlappingBlit, ComplexClipAndStretchReadTheOriginalSource) {
    const int W = 8, H = 4;
    TestDib dib(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            dib.Put(x, y, RGB(x, y, 0));
    ExcludeClipRect(dib.dc(), 3, 0, 4, H); // two clip pieces per row
    BitBlt(dib.dc(), 1, 0, W - 1, H, dib.dc(), 0, 0, SRCCOPY);
    for (int x = 1; x < W; ++x)
        EXPECT_EQ(dib.At(x, 2), x == 3 ? RGB(3, 2, 0) : RGB(x - 1, 2, 0)) << x;
    SelectClipRgn(dib.dc(), nullptr);
    // Doubling the left half of row 1 over the whole of row 1, in place.
    COLORREF before[W / 2];
    for (int x = 0; x < W / 2; ++x)
        before[x] = dib.At(x, 1);
    StretchBlt(dib.dc(), 0, 1, W, 1, dib.dc(), 0, 1, W / 2, 1, SRCCOPY);
    for (int x = 0; x < W; ++x)
        EXPECT_EQ(dib.At(x, 1), before[x / 2]) << x;
}

TEST(Conversion, PalettedSixteenAndThirtyTwoBitSourcesIntoTwentyFour) {
    std::vector<RGBQUAD> table = {{10, 20, 30, 0}, {200, 100, 50, 0}};
    TestDib pal(2, 1, 8, table), dst(2, 1);
    pal.Row(0)[0] = 1;
    pal.Row(0)[1] = 0;
    BitBlt(dst.dc(), 0, 0, 2, 1, pal.dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(dst.At(0, 0), RGB(50, 100, 200));
    EXPECT_EQ(dst.At(1, 0), RGB(30, 20, 10));

    TestDib w16(1, 1, 16);
    *reinterpret_cast<WORD*>(w16.bits()) = static_cast<WORD>((31 << 10) | (16 << 5) | 1);
    BitBlt(dst.dc(), 0, 0, 1, 1, w16.dc(), 0, 0, SRCCOPY);
    // Five bits widen by repeating their top bits: 31 -> 255, 16 -> 132, 1 -> 8.
    EXPECT_EQ(dst.At(0, 0), RGB(255, 132, 8));

    TestDib w32(1, 1, 32);
    w32.bits()[0] = 9;
    w32.bits()[1] = 8;
    w32.bits()[2] = 7;
    w32.bits()[3] = 0xEE;
    BitBlt(dst.dc(), 0, 0, 1, 1, w32.dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(dst.At(0, 0), RGB(7, 8, 9));
    BitBlt(w32.dc(), 0, 0, 1, 1, dst.dc(), 1, 0, SRCCOPY);
    EXPECT_EQ(w32.bits()[0], 10);
    EXPECT_EQ(w32.bits()[2], 30);
    EXPECT_EQ(w32.bits()[3], 0);
}

TEST(Conversion, TwentyFourBitsIntoAPaletteTakesTheNearestEntry) {
    std::vector<RGBQUAD> table = {{0, 0, 0, 0}, {255, 255, 255, 0}, {0, 0, 255, 0}};
    TestDib src(3, 1), pal(3, 1, 8, table);
    src.Put(0, 0, RGB(250, 10, 0));
    src.Put(1, 0, RGB(200, 200, 210));
    src.Put(2, 0, RGB(30, 0, 20));
    BitBlt(pal.dc(), 0, 0, 3, 1, src.dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(pal.Row(0)[0], 2);
    EXPECT_EQ(pal.Row(0)[1], 1);
    EXPECT_EQ(pal.Row(0)[2], 0);
}

TEST(Conversion, MonochromeDeviceBitmapsUseTextAndBackgroundColours) {
    const BYTE rows[] = {0xA0, 0x00}; // 1 0 1 0
    HBITMAP mono = CreateBitmap(4, 1, 1, 1, rows);
    HDC mdc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mdc, mono);
    TestDib dst(4, 1);
    SetTextColor(dst.dc(), RGB(255, 0, 0));
    SetBkColor(dst.dc(), RGB(0, 0, 255));
    BitBlt(dst.dc(), 0, 0, 4, 1, mdc, 0, 0, SRCCOPY);
    EXPECT_EQ(dst.At(0, 0), RGB(0, 0, 255)); // 1 bits: background colour
    EXPECT_EQ(dst.At(1, 0), RGB(255, 0, 0)); // 0 bits: text colour

    // Colour into monochrome: pixels equal to the source's background colour become 1.
    TestDib colour(4, 1);
    colour.Put(0, 0, RGB(1, 2, 3));
    colour.Put(1, 0, RGB(9, 9, 9));
    colour.Put(2, 0, RGB(1, 2, 3));
    colour.Put(3, 0, RGB(1, 2, 4));
    SetBkColor(colour.dc(), RGB(1, 2, 3));
    BitBlt(mdc, 0, 0, 4, 1, colour.dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(GetPixel(mdc, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(mdc, 1, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(mdc, 2, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(mdc, 3, 0), RGB(0, 0, 0));
    SelectObject(mdc, old);
    DeleteDC(mdc);
    DeleteObject(mono);

    // A monochrome DIB section goes through its colour table instead.
    TestDib dib1(2, 1, 1, {{0, 255, 0, 0}, {255, 0, 255, 0}});
    dib1.Row(0)[0] = 0x80;
    BitBlt(dst.dc(), 0, 0, 2, 1, dib1.dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(dst.At(0, 0), RGB(255, 0, 255));
    EXPECT_EQ(dst.At(1, 0), RGB(0, 255, 0));
}

TEST(Clipping, SourceOutsideItsBitmapDrawsOnlyTheOverlap) {
    TestDib src(4, 4), dst(6, 6);
    src.Fill(RGB(9, 9, 9));
    dst.Fill(RGB(1, 1, 1));
    BitBlt(dst.dc(), 0, 0, 6, 6, src.dc(), -2, -1, SRCCOPY);
    EXPECT_EQ(dst.At(1, 3), RGB(1, 1, 1));
    EXPECT_EQ(dst.At(2, 1), RGB(9, 9, 9));
    EXPECT_EQ(dst.At(5, 4), RGB(9, 9, 9));
    EXPECT_EQ(dst.At(2, 0), RGB(1, 1, 1));
    EXPECT_EQ(dst.At(2, 5), RGB(1, 1, 1));
    EXPECT_FALSE(BitBlt(dst.dc(), 0, 0, 1, 1, reinterpret_cast<HDC>(0x77), 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(dst.dc(), 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));
    EXPECT_TRUE(BitBlt(dst.dc(), 0, 0, 1, 1, nullptr, 0, 0, BLACKNESS));
    EXPECT_EQ(dst.At(0, 0), RGB(0, 0, 0));
}
