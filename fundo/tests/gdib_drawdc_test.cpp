// DrawDib onto a device context and its eight wrappers, drawn into a memory context.
#include "fundo/GDib.h"

#include <gtest/gtest.h>

namespace {

const COLORREF kBack = RGB(11, 22, 33);

COLORREF Mark(int x, int y) {
    return RGB(10 + x, 100 + y, 7 * x + 3 * y);
}

COLORREF Mix(COLORREF s, COLORREF d, int a) {
    return RGB((GetRValue(s) * a + GetRValue(d) * (255 - a)) >> 8,
               (GetGValue(s) * a + GetGValue(d) * (255 - a)) >> 8,
               (GetBValue(s) * a + GetBValue(d) * (255 - a)) >> 8);
}

void MakeMarked(GDib& d, int w, int h) {
    ASSERT_EQ(d.Create(w, h, 24), 1);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            BYTE* p = d.GetBits() + (h - 1 - y) * d.GetLineSize() + 3 * x;
            p[0] = GetBValue(Mark(x, y));
            p[1] = GetGValue(Mark(x, y));
            p[2] = GetRValue(Mark(x, y));
        }
}

// A 24-bit GDib selected into a memory context: the device under test.
class Device {
public:
    Device(int w, int h) {
        EXPECT_EQ(m_bitmap.Create(w, h, 24), 1);
        m_bitmap.SetBackColor(kBack);
        m_dc = CreateCompatibleDC(nullptr);
        m_old = SelectObject(m_dc, m_bitmap.GetSafeHandle());
    }
    ~Device() {
        SelectObject(m_dc, m_old);
        DeleteDC(m_dc);
    }
    HDC dc() const { return m_dc; }
    COLORREF At(int x, int y) const {
        GdiFlush();
        return m_bitmap.GetPixelColor(x, y);
    }
    bool Untouched() const {
        for (int y = 0; y < m_bitmap.Height(); ++y)
            for (int x = 0; x < m_bitmap.Width(); ++x)
                if (At(x, y) != kBack)
                    return false;
        return true;
    }

private:
    GDib m_bitmap;
    HDC m_dc = nullptr;
    HGDIOBJ m_old = nullptr;
};

TEST(GDibDrawDC, BitBltCopiesStraightAndCountsRowsFromTheTop) {
    GDib src;
    MakeMarked(src, 4, 3);
    Device dev(6, 5);
    EXPECT_EQ(src.BitBlt(dev.dc(), 1, 1, 0, 0, 0, 0), 1);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
            bool inside = x >= 1 && x < 5 && y >= 1 && y < 4;
            EXPECT_EQ(dev.At(x, y), inside ? Mark(x - 1, y - 1) : kBack) << x << "," << y;
        }
    Device part(3, 2);
    EXPECT_EQ(src.DrawDib(part.dc(), 0, 0, 2, 1, 1, 1, 2, 1, 1, 255, 0, SRCCOPY), 1);
    EXPECT_EQ(part.At(0, 0), Mark(1, 1));
    EXPECT_EQ(part.At(1, 0), Mark(2, 1));
    EXPECT_EQ(part.At(2, 0), kBack);
    EXPECT_EQ(part.At(0, 1), kBack);
}

TEST(GDibDrawDC, SourceCornersClampOrRefuse) {
    GDib src;
    MakeMarked(src, 4, 3);
    Device dev(4, 3);
    EXPECT_EQ(src.BitBlt(dev.dc(), 0, 0, 0, 0, 5, 0), 0);
    EXPECT_EQ(src.BitBlt(dev.dc(), 0, 0, 0, 0, 0, 4), 0);
    EXPECT_EQ(src.BitBlt(dev.dc(), 0, 0, 0, 0, 4, 0), 0); // nothing left to draw
    EXPECT_TRUE(dev.Untouched());
    EXPECT_EQ(src.BitBlt(dev.dc(), 0, 0, 0, 0, -7, -2), 1);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(dev.At(x, y), Mark(x, y));
}

TEST(GDibDrawDC, WrappersTakeTheWholeRestOfTheSource) {
    // The wrappers pass a source size of 0: a smaller area shows the rest of the bitmap
    // from the source corner on, scaled to fit.
    GDib src;
    MakeMarked(src, 4, 2);
    Device dev(2, 1);
    EXPECT_EQ(src.BitBlt(dev.dc(), 0, 0, 2, 1, 0, 0), 1);
    EXPECT_EQ(dev.At(0, 0), Mark(0, 0));
    EXPECT_EQ(dev.At(1, 0), Mark(2, 0));
    GDib invalid;
    EXPECT_EQ(invalid.BitBlt(dev.dc(), 0, 0, 0, 0, 0, 0), 0);
}

TEST(GDibDrawDC, PalettedSourcesDrawThroughTheirTable) {
    GDib src;
    ASSERT_EQ(src.Create(3, 1, 8), 1);
    src.SetPaletteColor(7, 1, 2, 3);
    src.SetPixelIndex(1, 0, 7);
    Device dev(3, 1);
    EXPECT_EQ(src.BitBlt(dev.dc(), 0, 0, 0, 0, 0, 0), 1);
    EXPECT_EQ(dev.At(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(dev.At(1, 0), RGB(1, 2, 3));
}

TEST(GDibDrawDC, AlphaBlendsWithWhatTheDeviceShows) {
    GDib src;
    MakeMarked(src, 3, 2);
    Device dev(4, 2);
    EXPECT_EQ(src.AlphaBlt(dev.dc(), 0, 0, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(src.AlphaBlt(dev.dc(), 0, 0, 0, 0, 0, 0, -1), 0);
    EXPECT_TRUE(dev.Untouched());
    EXPECT_EQ(src.AlphaBlt(dev.dc(), 1, 0, 2, 2, 1, 0, 96), 1);
    for (int y = 0; y < 2; ++y) {
        EXPECT_EQ(dev.At(0, y), kBack);
        EXPECT_EQ(dev.At(1, y), Mix(Mark(1, y), kBack, 96));
        EXPECT_EQ(dev.At(2, y), Mix(Mark(2, y), kBack, 96));
        EXPECT_EQ(dev.At(3, y), kBack);
    }
}

TEST(GDibDrawDC, TransparentPixelsLeaveTheDeviceAlone) {
    GDib src;
    ASSERT_EQ(src.Create(3, 2, 24), 1);
    src.SetBackColor(RGB(255, 0, 255));
    Device dev(3, 2);
    EXPECT_EQ(src.TransBlt(dev.dc(), 0, 0, 0, 0, 0, 0, RGB(255, 0, 255)), 1);
    EXPECT_TRUE(dev.Untouched());
    EXPECT_EQ(QuadToColor(src.GetTransColor()), RGB(255, 0, 255));

    src.SetPixelColor(1, 1, RGB(5, 6, 7)); // stored row 1: picture row 0
    EXPECT_EQ(src.TransBlt(dev.dc(), 0, 0, 0, 0, 0, 0, RGB(255, 0, 255)), 1);
    EXPECT_EQ(dev.At(1, 0), RGB(5, 6, 7));
    EXPECT_EQ(dev.At(0, 0), kBack);
    EXPECT_EQ(src.AlphaTransBlt(dev.dc(), 0, 0, 0, 0, 0, 0, 128, RGB(255, 0, 255)), 1);
    EXPECT_EQ(dev.At(1, 0), Mix(RGB(5, 6, 7), RGB(5, 6, 7), 128));
    EXPECT_EQ(dev.At(2, 1), kBack);
}

TEST(GDibDrawDC, StretchModesScaleSmoothOrTile) {
    GDib src;
    MakeMarked(src, 4, 2);
    Device nearest(8, 2);
    EXPECT_EQ(src.StretchBlt(nearest.dc(), 0, 0, 8, 2, 0, 0, 0, 0, 1), 1);
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(nearest.At(x, 1), Mark(x / 2, 1)) << x;

    Device rows(2, 2); // the source rectangle counted from the top
    EXPECT_EQ(src.StretchBlt(rows.dc(), 0, 0, 2, 2, 2, 1, 1, 1, 1), 1);
    EXPECT_EQ(rows.At(0, 0), Mark(2, 1));
    EXPECT_EQ(rows.At(1, 1), Mark(2, 1));

    Device tiled(10, 3);
    EXPECT_EQ(src.StretchBlt(tiled.dc(), 0, 0, 10, 3, 0, 0, 0, 0, 3), 1);
    const int cols[10] = {0, 1, 2, 3, 0, 1, 2, 3, 0, 1};
    for (int x = 0; x < 10; ++x) {
        EXPECT_EQ(tiled.At(x, 0), Mark(cols[x], 0)) << x;
        EXPECT_EQ(tiled.At(x, 2), Mark(cols[x], 0)) << x;
    }
    Device other(6, 1); // unknown modes tile
    EXPECT_EQ(src.StretchBlt(other.dc(), 0, 0, 6, 1, 0, 0, 0, 1, 0), 1);
    EXPECT_EQ(other.At(4, 0), Mark(0, 0));

    GDib flat;
    ASSERT_EQ(flat.Create(2, 2, 24), 1);
    flat.SetBackColor(RGB(40, 80, 120));
    Device smooth(5, 5);
    EXPECT_EQ(flat.StretchBlt(smooth.dc(), 0, 0, 5, 5, 0, 0, 0, 0, 2), 1);
    EXPECT_EQ(smooth.At(0, 0), RGB(40, 80, 120));
    EXPECT_EQ(smooth.At(4, 4), RGB(40, 80, 120));
}

TEST(GDibDrawDC, StretchWrappersCombineKeyAndAlpha) {
    GDib src;
    MakeMarked(src, 2, 1);
    src.SetPixelColor(1, 0, RGB(0, 0, 0));
    Device keyed(4, 1);
    EXPECT_EQ(src.TransStretchBlt(keyed.dc(), 0, 0, 4, 1, 0, 0, 0, 0, RGB(0, 0, 0), 3), 1);
    EXPECT_EQ(keyed.At(0, 0), Mark(0, 0));
    EXPECT_EQ(keyed.At(1, 0), kBack);
    EXPECT_EQ(keyed.At(2, 0), Mark(0, 0));

    Device faded(4, 1);
    EXPECT_EQ(src.AlphaStretchBlt(faded.dc(), 0, 0, 4, 1, 0, 0, 0, 0, 64, 1), 1);
    EXPECT_EQ(faded.At(1, 0), Mix(Mark(0, 0), kBack, 64));
    EXPECT_EQ(faded.At(2, 0), Mix(RGB(0, 0, 0), kBack, 64));

    Device both(4, 1);
    EXPECT_EQ(src.AlphaTransStretchBlt(both.dc(), 0, 0, 4, 1, 0, 0, 0, 0, 64, RGB(0, 0, 0), 1), 1);
    EXPECT_EQ(both.At(0, 0), Mix(Mark(0, 0), kBack, 64));
    EXPECT_EQ(both.At(3, 0), kBack);
}

TEST(GDibDrawDC, TheRasterOperationAppliesToTheFinalTransfer) {
    GDib src;
    ASSERT_EQ(src.Create(2, 1, 24), 1);
    src.SetBackColor(RGB(0xF0, 0x0F, 0xFF));
    Device same(2, 1);
    EXPECT_EQ(src.DrawDib(same.dc(), 0, 0, 0, 0, 0, 0, 0, 0, 1, 255, 0, SRCINVERT), 1);
    EXPECT_EQ(same.At(0, 0), RGB(0xF0 ^ 11, 0x0F ^ 22, 0xFF ^ 33));
    Device faded(2, 1);
    EXPECT_EQ(src.DrawDib(faded.dc(), 0, 0, 0, 0, 0, 0, 0, 0, 1, 128, 0, SRCINVERT), 1);
    COLORREF m = Mix(RGB(0xF0, 0x0F, 0xFF), kBack, 128);
    EXPECT_EQ(faded.At(1, 0), RGB(GetRValue(m) ^ 11, GetGValue(m) ^ 22, GetBValue(m) ^ 33));
}

} // namespace
