// GDib creation, layout, lifetime, copies and depth conversion.
#include "fundo/GDib.h"

#include <gtest/gtest.h>

namespace {

RGBQUAD Quad(BYTE r, BYTE g, BYTE b) {
    return RGBQUAD{b, g, r, 0};
}

bool SameColor(RGBQUAD a, RGBQUAD b) {
    return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue;
}

// Raw bytes of picture pixel (x, y), y counted from the top.
BYTE* Raw(const GDib& d, int x, int y) {
    return d.GetBits() + (d.Height() - 1 - y) * d.GetLineSize() + x * d.GetBitCount() / 8;
}

TEST(GDibCreate, NormalisesTheBitCount) {
    const int cases[][2] = {{-5, 1},  {0, 1},   {1, 1},   {3, 4},   {4, 4},
                            {5, 8},   {8, 8},   {9, 16},  {16, 16}, {17, 24},
                            {24, 24}, {25, 32}, {32, 32}, {33, 24}, {40, 24}};
    for (const auto& c : cases) {
        GDib d;
        ASSERT_EQ(d.Create(5, 3, c[0]), 1) << c[0];
        EXPECT_EQ(d.GetBitCount(), c[1]) << c[0];
        EXPECT_EQ(d.GetInfoHeader()->biBitCount, c[1]) << c[0];
    }
}

TEST(GDibCreate, FillsTheHeaderOfABottomUpBitmap) {
    GDib d;
    ASSERT_EQ(d.Create(3, 2, 24), 1);
    const BITMAPINFOHEADER* h = d.GetInfoHeader();
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->biSize, 40u);
    EXPECT_EQ(h->biWidth, 3);
    EXPECT_EQ(h->biHeight, 2);
    EXPECT_EQ(h->biPlanes, 1);
    EXPECT_EQ(h->biCompression, 0u);
    EXPECT_EQ(h->biSizeImage, 24u);
    EXPECT_EQ(h->biClrUsed, 0u);
    EXPECT_EQ(d.GetLineSize(), 12);
    EXPECT_EQ(d.GetHeaderSize(), 40);
    EXPECT_EQ(d.GetSize(), 64);
    EXPECT_EQ(d.GetPaletteData(), nullptr);
    EXPECT_EQ(d.IsIndexed(), 0);
    EXPECT_NE(d.GetBits(), nullptr);
    EXPECT_NE(d.GetSafeHandle(), nullptr);
    EXPECT_EQ(reinterpret_cast<const void*>(d.GetInfo()), reinterpret_cast<const void*>(h));
    // The colour table follows the header directly, as GDI reads a BITMAPINFO.
    EXPECT_EQ(reinterpret_cast<const BYTE*>(d.GetInfo()->bmiColors),
              reinterpret_cast<const BYTE*>(h) + 40);
}

TEST(GDibCreate, PadsEveryRowToFourBytes) {
    const int cases[][3] = {{33, 1, 8}, {32, 1, 4}, {9, 4, 8},   {5, 8, 8},  {3, 16, 8},
                            {2, 16, 4}, {1, 24, 4}, {4, 24, 12}, {3, 32, 12}};
    for (const auto& c : cases) {
        GDib d;
        ASSERT_EQ(d.Create(c[0], 3, c[1]), 1);
        EXPECT_EQ(d.GetLineSize(), c[2]) << c[0] << "x" << c[1];
        EXPECT_EQ(d.GetInfoHeader()->biSizeImage, static_cast<DWORD>(c[2] * 3));
        EXPECT_EQ(GDib::LineSize(c[0], c[1]), c[2]);
    }
}

TEST(GDibCreate, PalettedDepthsCountTheirColours) {
    const int cases[][2] = {{1, 2}, {4, 16}, {8, 256}};
    for (const auto& c : cases) {
        GDib d;
        ASSERT_EQ(d.Create(4, 4, c[0]), 1);
        EXPECT_EQ(d.GetColorNum(), c[1]);
        EXPECT_EQ(d.GetUsedColors(), c[1]);
        EXPECT_EQ(d.IsIndexed(), 1);
        EXPECT_EQ(d.GetHeaderSize(), 40 + 4 * c[1]);
        EXPECT_EQ(d.GetSize(), 40 + 4 * c[1] + d.GetLineSize() * 4);
        EXPECT_NE(d.GetPaletteData(), nullptr);
    }
}

TEST(GDibCreate, InstallsTheDefaultTables) {
    GDib mono;
    ASSERT_EQ(mono.Create(8, 1, 1), 1);
    EXPECT_TRUE(SameColor(mono.GetPaletteColor(0), Quad(0, 0, 0)));
    EXPECT_TRUE(SameColor(mono.GetPaletteColor(1), Quad(255, 255, 255)));

    GDib sixteen; // 3 bits become 4 with the 16-colour table
    ASSERT_EQ(sixteen.Create(8, 1, 3), 1);
    ASSERT_EQ(sixteen.GetBitCount(), 4);
    const DWORD want16[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                              0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                              0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    for (int i = 0; i < 16; ++i) {
        RGBQUAD q = sixteen.GetPaletteColor(i);
        EXPECT_EQ((q.rgbRed << 16) | (q.rgbGreen << 8) | q.rgbBlue, static_cast<int>(want16[i]))
            << i;
    }

    GDib byte;
    ASSERT_EQ(byte.Create(8, 1, 8), 1);
    const std::pair<int, DWORD> spots[] = {
        {0, 0x000000},   {7, 0xC0C0C0},   {8, 0xC0DCC0},   {9, 0xA6CAF0},   {10, 0xFFF0D4},
        {15, 0xFFAA25},  {16, 0xFFAA00},  {21, 0x503200},  {40, 0xFE0000},  {76, 0xFE00FE},
        {112, 0x0000FE}, {148, 0x00FEFE}, {184, 0x00FE00}, {220, 0xFEFE00}, {225, 0x505000},
        {226, 0xF2F2F2}, {245, 0x0E0E0E}, {246, 0xFFFBF0}, {247, 0xA0A0A4}, {248, 0x808080},
        {249, 0xFF0000}, {252, 0x0000FF}, {255, 0xFFFFFF}};
    for (const auto& [i, rgb] : spots) {
        RGBQUAD q = byte.GetPaletteColor(i);
        EXPECT_EQ((q.rgbRed << 16) | (q.rgbGreen << 8) | q.rgbBlue, static_cast<int>(rgb)) << i;
        EXPECT_EQ(q.rgbReserved, 0);
    }
    // The grey ramp runs down in steps of 12.
    for (int i = 226; i <= 245; ++i)
        EXPECT_TRUE(
            SameColor(byte.GetPaletteColor(i),
                      Quad(0xF2 - 12 * (i - 226), 0xF2 - 12 * (i - 226), 0xF2 - 12 * (i - 226))))
            << i;
    // Entry 255 is the first pure white.
    EXPECT_EQ(byte.GetColorIndex(Quad(255, 255, 255)), 255);
    EXPECT_EQ(byte.GetNearestIndex(Quad(255, 255, 255)), 255);
}

TEST(GDibCreate, RefusesEmptySizesAndStaysInvalid) {
    GDib d;
    EXPECT_EQ(d.Create(0, 5, 24), 0);
    EXPECT_EQ(d.GetSafeHandle(), nullptr);
    EXPECT_EQ(d.Create(5, -1, 24), 0);
    EXPECT_EQ(d.Create(0x7FFFFFFF, 0x7FFFFFFF, 32), 0);
    EXPECT_EQ(d.Width(), 0);
}

TEST(GDibCreate, RecreatingReplacesTheOldSection) {
    GDib d;
    ASSERT_EQ(d.Create(4, 4, 24), 1);
    HBITMAP first = d.GetSafeHandle();
    ASSERT_EQ(d.Create(6, 2, 8), 1);
    EXPECT_EQ(GetObjectType(first), 0u); // deleted
    EXPECT_EQ(d.Width(), 6);
    EXPECT_EQ(d.GetBitCount(), 8);
}

TEST(GDibInvalid, EveryAccessorAnswersZeroOrNull) {
    GDib d;
    EXPECT_EQ(d.Width(), 0);
    EXPECT_EQ(d.Height(), 0);
    EXPECT_EQ(d.GetBitCount(), 0);
    EXPECT_EQ(d.GetBits(), nullptr);
    EXPECT_EQ(d.GetInfo(), nullptr);
    EXPECT_EQ(d.GetInfoHeader(), nullptr);
    EXPECT_EQ(d.GetPaletteData(), nullptr);
    EXPECT_EQ(d.GetLineSize(), 0);
    EXPECT_EQ(d.GetSize(), 0);
    EXPECT_EQ(d.GetHeaderSize(), 0);
    EXPECT_EQ(d.GetColorNum(), 0);
    EXPECT_EQ(d.IsIndexed(), 0);
    EXPECT_EQ(d.GetNearestIndex(Quad(1, 2, 3)), -1);
    EXPECT_EQ(d.GetColorIndex(Quad(0, 0, 0)), -1);
    EXPECT_EQ(d.IsInside(0, 0), 0);
    EXPECT_TRUE(SameColor(d.GetPixel(0, 0), Quad(0, 0, 0)));
    EXPECT_EQ(d.Offset(1, 1), 0);
    EXPECT_EQ(d.ConvertBitCount(24), 0);
    GDib target;
    ASSERT_EQ(target.Create(2, 2, 24), 1);
    EXPECT_EQ(d.DrawDib(&target, 0, 0, 0, 0, 0, 0, 0, 0, 1, 255, 0), 0);
    // Operations that write do nothing and do not crash.
    d.SetBackColor(RGB(1, 2, 3));
    d.FillRect(0, 0, 5, 5, RGB(1, 2, 3));
    d.SetPixelColor(0, 0, RGB(1, 2, 3));
    d.Flip();
    d.Mirror();
    d.RotateLeft();
    d.SetGrayPalette();
}

TEST(GDibLifetime, FreeClearsAllButTheTransparencyColour) {
    GDib d;
    ASSERT_EQ(d.Create(4, 4, 8), 1);
    d.SetTransColor(RGB(10, 20, 30));
    HBITMAP h = d.GetSafeHandle();
    d.Free();
    EXPECT_EQ(d.GetSafeHandle(), nullptr);
    EXPECT_EQ(GetObjectType(h), 0u);
    EXPECT_EQ(d.GetBits(), nullptr);
    RGBQUAD t = d.GetTransColor();
    EXPECT_EQ(t.rgbRed, 10);
    EXPECT_EQ(t.rgbGreen, 20);
    EXPECT_EQ(t.rgbBlue, 30);
    EXPECT_EQ(t.rgbReserved, 0);
    d.Free(); // twice is harmless
}

TEST(GDibLifetime, CopiesShareTheSectionUntilTheLastOwnerLetsGo) {
    GDib* a = new GDib;
    ASSERT_EQ(a->Create(3, 3, 24), 1);
    HBITMAP h = a->GetSafeHandle();
    a->SetPixelColor(1, 1, RGB(9, 8, 7));
    GDib b(*a);
    EXPECT_EQ(b.GetSafeHandle(), h);
    EXPECT_EQ(b.GetBits(), a->GetBits());
    GDib c;
    c = b;
    delete a;
    EXPECT_EQ(GetObjectType(h), static_cast<DWORD>(OBJ_BITMAP)); // still owned by b and c
    EXPECT_EQ(b.GetPixelColor(1, 1), RGB(9, 8, 7));
    b.Free();
    EXPECT_EQ(GetObjectType(h), static_cast<DWORD>(OBJ_BITMAP));
    c.SetBackColor(RGB(1, 1, 1)); // the pixels are still there to write
    EXPECT_EQ(c.GetPixelColor(2, 2), RGB(1, 1, 1));
    c.Free();
    EXPECT_EQ(GetObjectType(h), 0u);
}

TEST(GDibLifetime, AssigningOverAnotherSectionReleasesIt) {
    GDib a, b;
    ASSERT_EQ(a.Create(2, 2, 24), 1);
    ASSERT_EQ(b.Create(2, 2, 24), 1);
    HBITMAP old = b.GetSafeHandle();
    b = a;
    EXPECT_EQ(GetObjectType(old), 0u);
    EXPECT_EQ(b.GetSafeHandle(), a.GetSafeHandle());
    b = b;
    a = b; // same section already
    EXPECT_EQ(GetObjectType(a.GetSafeHandle()), static_cast<DWORD>(OBJ_BITMAP));
}

TEST(GDibLifetime, SetHandleAndSetBitsAdoptAndDetachWithoutChecks) {
    GDib owner;
    ASSERT_EQ(owner.Create(2, 2, 24), 1);
    {
        // A borrower takes the section, then lets go before it is destroyed.
        GDib borrower;
        borrower.SetHandle(owner.GetSafeHandle());
        borrower.SetBits(owner.GetBits());
        EXPECT_EQ(borrower.GetBits(), owner.GetBits());
        borrower.SetHandle(nullptr);
        borrower.SetBits(nullptr);
    }
    EXPECT_EQ(GetObjectType(owner.GetSafeHandle()), static_cast<DWORD>(OBJ_BITMAP));
}

TEST(GDibCopyDib, RefusesMissingSources) {
    GDib d, empty;
    EXPECT_EQ(d.CopyDib(nullptr), 0);
    EXPECT_EQ(d.CopyDib(&empty), 0);
}

TEST(GDibCopyDib, CopiesHeaderTablePixelsAndKey) {
    GDib src;
    ASSERT_EQ(src.Create(5, 3, 8), 1);
    src.SetPaletteColor(7, 1, 2, 3);
    src.SetPixelIndex(4, 2, 7);
    src.SetTransColor(RGBQUAD{40, 50, 60, 99});
    GDib dst;
    ASSERT_EQ(dst.CopyDib(&src), 1);
    EXPECT_NE(dst.GetSafeHandle(), src.GetSafeHandle());
    EXPECT_EQ(dst.Width(), 5);
    EXPECT_EQ(dst.GetBitCount(), 8);
    EXPECT_EQ(dst.GetPixelIndex(4, 2), 7);
    EXPECT_TRUE(SameColor(dst.GetPaletteColor(7), Quad(1, 2, 3)));
    EXPECT_EQ(dst.GetTransColor().rgbBlue, 40);
    EXPECT_EQ(dst.GetTransColor().rgbReserved, 0);
    src.SetPixelIndex(4, 2, 9);
    EXPECT_EQ(dst.GetPixelIndex(4, 2), 7); // its own pixels
}

TEST(GDibCopyDib, ReusesASectionOfTheSameSize) {
    GDib src, dst;
    ASSERT_EQ(src.Create(4, 4, 24), 1);
    ASSERT_EQ(dst.Create(4, 4, 24), 1);
    src.SetBackColor(RGB(200, 100, 50));
    HBITMAP kept = dst.GetSafeHandle();
    ASSERT_EQ(dst.CopyDib(&src), 1);
    EXPECT_EQ(dst.GetSafeHandle(), kept);
    EXPECT_EQ(dst.GetPixelColor(3, 3), RGB(200, 100, 50));

    GDib other;
    ASSERT_EQ(other.Create(2, 7, 24), 1);
    HBITMAP replaced = other.GetSafeHandle();
    ASSERT_EQ(other.CopyDib(&src), 1);
    EXPECT_EQ(GetObjectType(replaced), 0u);
    EXPECT_EQ(other.Width(), 4);
    EXPECT_EQ(other.Height(), 4);
}

TEST(GDibSwapDib, ExchangesContentButNotKeys) {
    GDib a, b;
    ASSERT_EQ(a.Create(2, 3, 24), 1);
    ASSERT_EQ(b.Create(5, 1, 8), 1);
    a.SetTransColor(RGB(1, 1, 1));
    b.SetTransColor(RGB(2, 2, 2));
    HBITMAP ha = a.GetSafeHandle(), hb = b.GetSafeHandle();
    EXPECT_EQ(a.SwapDib(&b), 1);
    EXPECT_EQ(a.GetSafeHandle(), hb);
    EXPECT_EQ(b.GetSafeHandle(), ha);
    EXPECT_EQ(a.Width(), 5);
    EXPECT_EQ(a.GetBitCount(), 8);
    EXPECT_EQ(b.Height(), 3);
    EXPECT_EQ(QuadToColor(a.GetTransColor()), RGB(1, 1, 1));
    EXPECT_EQ(a.SwapDib(nullptr), 0);
}

TEST(GDibConvert, SameDepthIsANoOp) {
    GDib d;
    ASSERT_EQ(d.Create(3, 3, 24), 1);
    HBITMAP h = d.GetSafeHandle();
    EXPECT_EQ(d.ConvertBitCount(24), 1);
    EXPECT_EQ(d.ConvertBitCount(20), 1); // normalises to 24
    EXPECT_EQ(d.GetSafeHandle(), h);
}

TEST(GDibConvert, DeepensAPalettedBitmapThroughItsTable) {
    GDib d;
    ASSERT_EQ(d.Create(3, 2, 8), 1);
    d.SetPaletteColor(5, 10, 20, 30);
    d.SetPaletteColor(6, 200, 150, 100);
    d.SetBackColor(RGB(10, 20, 30));
    d.SetPixelIndex(2, 1, 6);
    d.SetTransColor(RGB(7, 7, 7));
    HBITMAP old = d.GetSafeHandle();
    ASSERT_EQ(d.ConvertBitCount(24), 1);
    EXPECT_EQ(d.GetBitCount(), 24);
    EXPECT_EQ(d.GetColorNum(), 0);
    EXPECT_EQ(d.Width(), 3);
    EXPECT_EQ(d.Height(), 2);
    EXPECT_EQ(GetObjectType(old), 0u); // the old section went once copied
    EXPECT_EQ(d.GetPixelColor(0, 0), RGB(10, 20, 30));
    EXPECT_EQ(d.GetPixelColor(2, 1), RGB(200, 150, 100));
    EXPECT_EQ(QuadToColor(d.GetTransColor()), RGB(7, 7, 7));
}

TEST(GDibConvert, FromDDBCopiesAnotherBitmapAtItsOwnDepth) {
    GDib src;
    ASSERT_EQ(src.Create(4, 3, 24), 1);
    src.SetBackColor(RGB(50, 60, 70));
    Raw(src, 3, 2)[2] = 0xEE;
    GDib d;
    EXPECT_EQ(d.FromDDB(nullptr, 24), 0);
    ASSERT_EQ(d.FromDDB(src.GetSafeHandle(), 0), 1);
    EXPECT_EQ(d.GetBitCount(), 24);
    EXPECT_NE(d.GetSafeHandle(), src.GetSafeHandle());
    EXPECT_EQ(d.GetPixelColor(0, 0), RGB(50, 60, 70));
    EXPECT_EQ(d.GetPixelColor(3, 2), RGB(0xEE, 60, 70));
    ASSERT_EQ(d.FromDDB(src.GetSafeHandle(), 32), 1);
    EXPECT_EQ(d.GetBitCount(), 32);
    EXPECT_EQ(d.GetPixelColor(3, 2), RGB(0xEE, 60, 70));
}

TEST(GDibConvert, ToAPalettedDepthTakesTheSourceTable) {
    GDib src;
    ASSERT_EQ(src.Create(2, 2, 4), 1);
    src.SetPaletteColor(3, 11, 22, 33);
    src.SetPixelIndex(1, 1, 3);
    // A section made by CopyDib carries the edited table.
    GDib copy;
    ASSERT_EQ(copy.CopyDib(&src), 1);
    GDib d;
    ASSERT_EQ(d.FromDDB(copy.GetSafeHandle(), 4), 1);
    EXPECT_EQ(d.GetColorNum(), 16);
    EXPECT_TRUE(SameColor(d.GetPaletteColor(3), Quad(11, 22, 33)));
    // Converting its own section, the bitmap's current table is what the copy sees.
    ASSERT_EQ(src.ConvertBitCount(8), 1);
    EXPECT_EQ(src.GetColorNum(), 256);
    EXPECT_TRUE(SameColor(src.GetPaletteColor(3), Quad(11, 22, 33)));
    EXPECT_EQ(src.GetPixelColor(1, 1), RGB(11, 22, 33));
    // A source without a table gives the default table of the target depth.
    GDib deep;
    ASSERT_EQ(deep.Create(2, 2, 24), 1);
    ASSERT_EQ(d.FromDDB(deep.GetSafeHandle(), 8), 1);
    EXPECT_EQ(d.GetColorNum(), 256);
    EXPECT_TRUE(SameColor(d.GetPaletteColor(9), Quad(0xA6, 0xCA, 0xF0)));
}

} // namespace
