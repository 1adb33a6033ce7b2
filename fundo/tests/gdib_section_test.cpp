// The colour table GDI keeps with a paletted section follows the bitmap's own, so that
// whatever reads the section through GDI (memory contexts, blits, PNG export) sees its colours.
#include "fundo/GDib.h"

#include <gtest/gtest.h>

namespace {

// Colour of every pixel as GDI reads it with the section selected into a memory context.
std::vector<COLORREF> ThroughGdi(const GDib& dib) {
    std::vector<COLORREF> out;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, dib.GetSafeHandle());
    EXPECT_NE(old, nullptr);
    for (int y = 0; y < dib.Height(); ++y)
        for (int x = 0; x < dib.Width(); ++x)
            out.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteDC(dc);
    return out;
}

std::vector<COLORREF> ThroughTable(const GDib& dib) {
    std::vector<COLORREF> out;
    for (int y = 0; y < dib.Height(); ++y)
        for (int x = 0; x < dib.Width(); ++x)
            out.push_back(QuadToColor(dib.GetPaletteColor(dib.GetPixelIndex(x, y))));
    return out;
}

// Every index of the depth once, row after row, over a table unlike the default one.
void Fill(GDib& dib, int bits) {
    ASSERT_EQ(dib.Create(16, (1 << bits) / 16 + 1, bits), 1);
    int n = 1 << bits;
    for (int i = 0; i < n; ++i)
        dib.SetPixelIndex(i % 16, i / 16, static_cast<BYTE>(n - 1 - i));
}

} // namespace

TEST(GDibSection, EveryPaletteSetterReachesTheSectionAtEveryDepth) {
    for (int bits : {1, 4, 8}) {
        int n = 1 << bits;
        std::vector<BYTE> red(n), green(n), blue(n);
        std::vector<RGB3> rgb(n);
        std::vector<RGBQUAD> quads(n);
        for (int i = 0; i < n; ++i) {
            red[i] = static_cast<BYTE>(255 - i);
            green[i] = static_cast<BYTE>(i * 3 + 1);
            blue[i] = static_cast<BYTE>(i ^ 0x5A);
            rgb[i] = RGB3{blue[i], red[i], green[i]};
            quads[i] = RGBQUAD{red[i], blue[i], green[i], 0};
        }
        GDib dib;
        Fill(dib, bits);
        dib.SetPalette(n, red.data(), green.data(), blue.data());
        EXPECT_EQ(ThroughGdi(dib), ThroughTable(dib)) << bits << " channel arrays";
        dib.SetPalette(rgb.data(), n);
        EXPECT_EQ(ThroughGdi(dib), ThroughTable(dib)) << bits << " RGB3";
        dib.SetPalette(quads.data(), n);
        EXPECT_EQ(ThroughGdi(dib), ThroughTable(dib)) << bits << " RGBQUAD";
        dib.SetPaletteColor(n - 1, 1, 2, 3);
        dib.SetPaletteColor(0, RGBQUAD{4, 5, 6, 0});
        EXPECT_EQ(ThroughGdi(dib), ThroughTable(dib)) << bits << " single entries";
        EXPECT_EQ(ThroughGdi(dib)[0], RGB(1, 2, 3)) << bits; // pixel 0 holds the last index
        dib.SetGrayPalette();
        EXPECT_EQ(ThroughGdi(dib), ThroughTable(dib)) << bits << " grey ramp";
    }
}

TEST(GDibSection, BlitsAndCopiesOfAPalettedBitmapShowItsColours) {
    GDib pal;
    Fill(pal, 4);
    for (int i = 0; i < 16; ++i)
        pal.SetPaletteColor(i, static_cast<BYTE>(i * 16), 200, static_cast<BYTE>(255 - i));
    // A blit from a memory context into a 24-bit bitmap.
    GDib target;
    ASSERT_EQ(target.Create(16, 2, 24), 1);
    HDC from = CreateCompatibleDC(nullptr);
    HDC to = CreateCompatibleDC(nullptr);
    HGDIOBJ oldFrom = SelectObject(from, pal.GetSafeHandle());
    HGDIOBJ oldTo = SelectObject(to, target.GetSafeHandle());
    ASSERT_TRUE(BitBlt(to, 0, 0, 16, 2, from, 0, 0, SRCCOPY));
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);
    for (int x = 0; x < 16; ++x)
        EXPECT_EQ(target.GetPixelColor(x, 0), RGB((15 - x) * 16, 200, 240 + x)) << x;
    // A copy into a section of the same size keeps that section, and takes the new table.
    GDib copy;
    Fill(copy, 4);
    ASSERT_EQ(copy.CopyDib(&pal), 1);
    EXPECT_EQ(ThroughGdi(copy), ThroughTable(pal));
    // A conversion to 24 bits goes through the table as it now stands.
    pal.SetPaletteColor(15, 9, 8, 7);
    ASSERT_EQ(pal.ConvertBitCount(24), 1);
    EXPECT_EQ(pal.GetPixelColor(0, 0), RGB(9, 8, 7));
}
