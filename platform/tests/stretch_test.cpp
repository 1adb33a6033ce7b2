// StretchBlt rounding and mirroring, and the DIB-to-device transfers with their bottom-up
// source coordinates.
#include "gdi_test_support.h"

#include <gtest/gtest.h>

namespace {

// A one-row source whose pixel i has red value i.
void Ramp(const TestDib& d, int n) {
    for (int i = 0; i < n; ++i)
        d.Put(i, 0, RGB(i, 0, 0));
}

std::vector<int> RedRow(const TestDib& d, int n, int y = 0) {
    std::vector<int> v;
    for (int i = 0; i < n; ++i)
        v.push_back(GetRValue(d.At(i, y)));
    return v;
}

} // namespace

TEST(Stretch, NearestSamplingStartsAtTheFirstSourcePixel) {
    TestDib src(8, 1);
    Ramp(src, 8);
    struct Case {
        int sw, dw;
        std::vector<int> want;
    } cases[] = {
        {2, 4, {0, 0, 1, 1}},
        {4, 2, {0, 2}},
        {3, 2, {0, 1}},
        {2, 3, {0, 0, 1}},
        {5, 3, {0, 1, 3}},
        {3, 7, {0, 0, 0, 1, 1, 2, 2}},
        {8, 8, {0, 1, 2, 3, 4, 5, 6, 7}},
    };
    for (const Case& c : cases) {
        TestDib dst(c.dw, 1);
        ASSERT_TRUE(StretchBlt(dst.dc(), 0, 0, c.dw, 1, src.dc(), 0, 0, c.sw, 1, SRCCOPY));
        EXPECT_EQ(RedRow(dst, c.dw), c.want) << c.sw << " -> " << c.dw;
    }
}

TEST(Stretch, NegativeExtentsMirror) {
    TestDib src(4, 1), dst(4, 1);
    Ramp(src, 4);
    StretchBlt(dst.dc(), 4, 0, -4, 1, src.dc(), 0, 0, 4, 1, SRCCOPY);
    EXPECT_EQ(RedRow(dst, 4), (std::vector<int>{3, 2, 1, 0}));
    StretchBlt(dst.dc(), 0, 0, 4, 1, src.dc(), 4, 0, -4, 1, SRCCOPY);
    EXPECT_EQ(RedRow(dst, 4), (std::vector<int>{3, 2, 1, 0}));
    // Both mirrored: no mirror at all.
    StretchBlt(dst.dc(), 4, 0, -4, 1, src.dc(), 4, 0, -4, 1, SRCCOPY);
    EXPECT_EQ(RedRow(dst, 4), (std::vector<int>{0, 1, 2, 3}));

    TestDib col(1, 3), flip(1, 3);
    for (int y = 0; y < 3; ++y)
        col.Put(0, y, RGB(y, 0, 0));
    StretchBlt(flip.dc(), 0, 2, 1, -3, col.dc(), 0, 0, 1, 3, SRCCOPY);
    // The destination spans rows -1 to 1 read upwards: row 0 gets source row 1, row 1 row 0.
    EXPECT_EQ(GetRValue(flip.At(0, 0)), 1);
    EXPECT_EQ(GetRValue(flip.At(0, 1)), 0);
}

TEST(Stretch, ClippingKeepsTheUnclippedMapping) {
    TestDib src(3, 1), whole(7, 1), part(7, 1);
    Ramp(src, 3);
    StretchBlt(whole.dc(), 0, 0, 7, 1, src.dc(), 0, 0, 3, 1, SRCCOPY);
    part.Fill(RGB(99, 0, 0));
    IntersectClipRect(part.dc(), 3, 0, 6, 1);
    StretchBlt(part.dc(), 0, 0, 7, 1, src.dc(), 0, 0, 3, 1, SRCCOPY);
    for (int x = 0; x < 7; ++x)
        EXPECT_EQ(part.At(x, 0), (x >= 3 && x < 6) ? whole.At(x, 0) : RGB(99, 0, 0)) << x;
    // Every stretch mode samples the same way.
    for (int mode : {BLACKONWHITE, WHITEONBLACK, COLORONCOLOR, HALFTONE}) {
        TestDib d(7, 1);
        EXPECT_NE(SetStretchBltMode(d.dc(), mode), 0);
        EXPECT_EQ(GetStretchBltMode(d.dc()), mode);
        StretchBlt(d.dc(), 0, 0, 7, 1, src.dc(), 0, 0, 3, 1, SRCCOPY);
        EXPECT_EQ(RedRow(d, 7), RedRow(whole, 7));
    }
    EXPECT_EQ(SetStretchBltMode(whole.dc(), 9), 0);
}

TEST(DibTransfer, SetDIBitsToDeviceCountsSourceRowsFromTheBottom) {
    // A 2 x 3 bottom-up 24-bit DIB: stored rows hold image rows 2, 1, 0.
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = 2;
    bi.bmiHeader.biHeight = 3;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    BYTE bits[3 * 8] = {};
    for (int stored = 0; stored < 3; ++stored)
        for (int x = 0; x < 2; ++x)
            bits[stored * 8 + 3 * x + 2] = static_cast<BYTE>(10 * (2 - stored) + x); // red
    TestDib dst(2, 3);
    EXPECT_EQ(SetDIBitsToDevice(dst.dc(), 0, 0, 2, 3, 0, 0, 0, 3, bits, &bi, DIB_RGB_COLORS), 3);
    for (int y = 0; y < 3; ++y)
        EXPECT_EQ(RedRow(dst, 2, y), (std::vector<int>{10 * y, 10 * y + 1}));
    // One image row: the source y of its lower-left corner is height - 1 - row.
    dst.Fill(0);
    SetDIBitsToDevice(dst.dc(), 0, 0, 2, 1, 0, 3 - 1 - 1, 0, 3, bits, &bi, DIB_RGB_COLORS);
    EXPECT_EQ(RedRow(dst, 2, 0), (std::vector<int>{10, 11}));
    // A band: the buffer holds scans 1 and 2 only (image rows 1 and 0).
    dst.Fill(RGB(99, 0, 0));
    SetDIBitsToDevice(dst.dc(), 0, 0, 2, 3, 0, 0, 1, 2, bits + 8, &bi, DIB_RGB_COLORS);
    EXPECT_EQ(RedRow(dst, 2, 0), (std::vector<int>{0, 1}));
    EXPECT_EQ(RedRow(dst, 2, 1), (std::vector<int>{10, 11}));
    EXPECT_EQ(RedRow(dst, 2, 2), (std::vector<int>{99, 99}));
    EXPECT_EQ(SetDIBitsToDevice(dst.dc(), 0, 0, 2, 3, 0, 0, 5, 1, bits, &bi, DIB_RGB_COLORS), 0);
    EXPECT_EQ(SetDIBitsToDevice(dst.dc(), 0, 0, 2, 3, 0, 0, 0, 3, nullptr, &bi, DIB_RGB_COLORS), 0);
}

TEST(DibTransfer, StretchDIBitsWithPaletteAndRasterOperation) {
    std::vector<BYTE> buf(sizeof(BITMAPINFOHEADER) + 2 * sizeof(RGBQUAD));
    auto* bi = reinterpret_cast<BITMAPINFO*>(buf.data());
    bi->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi->bmiHeader.biWidth = 2;
    bi->bmiHeader.biHeight = 2;
    bi->bmiHeader.biPlanes = 1;
    bi->bmiHeader.biBitCount = 1;
    bi->bmiColors[0] = RGBQUAD{0, 0, 0, 0};
    bi->bmiColors[1] = RGBQUAD{0, 0, 255, 0};
    // Stored bottom row first: image row 1 = "1 0", image row 0 = "0 1".
    const BYTE bits[8] = {0x80, 0, 0, 0, 0x40, 0, 0, 0};
    TestDib dst(4, 4);
    dst.Fill(RGB(0, 255, 0));
    // Image row 0 only (lower-left y = height - row - rows = 1), doubled.
    EXPECT_EQ(StretchDIBits(dst.dc(), 0, 0, 4, 2, 0, 1, 2, 1, bits, bi, DIB_RGB_COLORS, SRCCOPY),
              1);
    EXPECT_EQ(dst.At(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(dst.At(1, 1), RGB(0, 0, 0));
    EXPECT_EQ(dst.At(2, 0), RGB(255, 0, 0));
    EXPECT_EQ(dst.At(3, 1), RGB(255, 0, 0));
    EXPECT_EQ(dst.At(0, 2), RGB(0, 255, 0));
    StretchDIBits(dst.dc(), 0, 2, 2, 2, 0, 0, 2, 2, bits, bi, DIB_RGB_COLORS, SRCPAINT);
    EXPECT_EQ(dst.At(0, 3), RGB(255, 255, 0));
    EXPECT_EQ(dst.At(1, 3), RGB(0, 255, 0));
}
