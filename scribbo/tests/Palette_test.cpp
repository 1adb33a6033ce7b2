#include "scribbo/Palette.h"

#include <platform/module.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

// The resource's own bytes, read without the bitmap loader: (row from the top, column) to
// blue, green, red.
const BYTE* ResourcePixel(int row, int col) {
    HINSTANCE self = plat::ThisModule();
    HRSRC res = FindResourceW(self, MAKEINTRESOURCEW(kPaletteResource), RT_BITMAP);
    if (!res)
        return nullptr;
    const BYTE* file = static_cast<const BYTE*>(LockResource(LoadResource(self, res)));
    if (!file || SizeofResource(self, res) < 54 + 13 * 40)
        return nullptr;
    const DWORD bits = file[10] | (file[11] << 8);
    return file + bits + (12 - row) * 40 + 3 * col; // rows stored bottom-up
}

BYTE Lifted(BYTE v) {
    return v < 240 ? BYTE(v + 16) : 255;
}

} // namespace

TEST(Palette, EveryCellIsTheResourcePixelLifted) {
    std::memset(PaletteColors, 0xAB, sizeof PaletteColors);
    ASSERT_EQ(LoadPaletteColors(plat::ThisModule()), 1);
    for (int i = 0; i < kPaletteRows; ++i)
        for (int j = 0; j < kPaletteColumns; ++j) {
            const BYTE* px = ResourcePixel(i, j);
            ASSERT_NE(px, nullptr);
            EXPECT_EQ(PaletteColors[i][j], RGB(Lifted(px[2]), Lifted(px[1]), Lifted(px[0])))
                << i << "," << j;
        }
}

TEST(Palette, RowsRunFromTheTopAndChannelsKeepTheirPlace) {
    ASSERT_EQ(LoadPaletteColors(plat::ThisModule()), 1);
    // The last row is the grey ramp, starting at white.
    EXPECT_EQ(PaletteColors[12][0], 0xFFFFFFu);
    for (int j = 0; j < kPaletteColumns; ++j) {
        const COLORREF c = PaletteColors[12][j];
        EXPECT_EQ(GetRValue(c), GetGValue(c));
        EXPECT_EQ(GetGValue(c), GetBValue(c));
    }
    // The first row is red: its strong tone has far more red than blue.
    const COLORREF red = PaletteColors[0][4];
    EXPECT_GT(GetRValue(red), GetBValue(red) + 100);
    // Paper tones (column 0) are pale enough to write on.
    for (int i = 0; i < kPaletteRows; ++i)
        EXPECT_GE(GetRValue(PaletteColors[i][0]) + GetGValue(PaletteColors[i][0]) +
                      GetBValue(PaletteColors[i][0]),
                  3 * 220)
            << i;
}

TEST(Palette, MissingResourceLeavesTheTable) {
    ASSERT_EQ(LoadPaletteColors(plat::ThisModule()), 1);
    const COLORREF kept = PaletteColors[3][3];
    // The platform library has no bitmap 110.
    EXPECT_EQ(
        LoadPaletteColors(plat::ModuleFromAddress(reinterpret_cast<const void*>(&RegCloseKey))), 0);
    EXPECT_EQ(PaletteColors[3][3], kept);
}
