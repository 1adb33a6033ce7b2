#include "winza/GDC.h"

#include "winza_test_support.h"

namespace {

using GDCTest = WinzaTest;

// GDib::SetPixelColor counts 24-bit rows from the bottom; a one-pixel fill does not.
void Put(GDib* dib, int x, int y, COLORREF c) {
    dib->FillRect(x, y, 1, 1, c);
}

void PaintScreen(int x, int y, int cx, int cy, COLORREF c) {
    HDC dc = ::GetDC(nullptr);
    RECT rc{x, y, x + cx, y + cy};
    HBRUSH b = ::CreateSolidBrush(c);
    ::FillRect(dc, &rc, b);
    ::DeleteObject(b);
    ::ReleaseDC(nullptr, dc);
}

TEST_F(GDCTest, NewSurfaceIsMagentaAndKeyedMagenta) {
    GDC gdc;
    ASSERT_EQ(gdc.CreateCompatibleGDC(nullptr, RECT{5, 6, 25, 16}), 1);
    EXPECT_EQ(gdc.Width(), 20);
    EXPECT_EQ(gdc.Height(), 10);
    EXPECT_EQ(gdc.GetGDib()->GetBitCount(), 24);
    EXPECT_EQ(gdc.GetGDib()->GetPixelColor(3, 3), RGB(255, 0, 255));
    EXPECT_EQ(QuadToColor(gdc.GetGDib()->GetTransColor()), RGB(255, 0, 255));
    EXPECT_EQ(gdc.GetOrigin().x, 5);
    EXPECT_EQ(gdc.GetOrigin().y, 6);
    EXPECT_NE(gdc.GetSafeHdc(), nullptr);
    EXPECT_EQ(gdc.DeleteGDC(), 1);
    EXPECT_EQ(gdc.Width(), 0);
    EXPECT_EQ(gdc.GetSafeHdc(), nullptr);
    EXPECT_EQ(gdc.CreateCompatibleGDC(nullptr, RECT{5, 5, 5, 10}), 0);
}

TEST_F(GDCTest, ScreenSurfaceSnapshotsWhatLiesUnder) {
    PaintScreen(40, 50, 10, 10, RGB(0, 0, 255));
    GDC gdc;
    ASSERT_EQ(gdc.CreateCompatibleGDC(nullptr, RECT{35, 45, 55, 65}), 1);
    ASSERT_EQ(gdc.ResizeGDC(RECT{35, 45, 55, 65}), 1);
    EXPECT_EQ(gdc.GetGDib()->GetPixelColor(5, 5), RGB(0, 0, 255));
    EXPECT_EQ(gdc.GetGDib()->GetPixelColor(4, 4), RGB(0, 0, 0));
    // Moving keeps the bitmap and takes a new snapshot at the new place.
    GDib* before = gdc.GetGDib();
    ASSERT_EQ(gdc.ResizeGDC(RECT{40, 50, 60, 70}), 1);
    EXPECT_EQ(gdc.GetGDib(), before);
    EXPECT_EQ(gdc.GetGDib()->GetPixelColor(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(gdc.GetGDib()->GetPixelColor(10, 10), RGB(0, 0, 0));
    EXPECT_EQ(gdc.ResizeGDC(RECT{0, 0, 0, 0}), 0);
    EXPECT_EQ(gdc.GetGDib(), nullptr);
}

TEST_F(GDCTest, WindowSurfacesLineUpThroughTheScreen) {
    LoggingWinza a;
    a.SetDoubleBuffer(1);
    ASSERT_EQ(a.Create(nullptr, u"a", WS_POPUP, 10, 20, 60, 60), 1);
    LoggingWinza b;
    b.SetDoubleBuffer(1);
    ASSERT_EQ(b.Create(nullptr, u"b", WS_POPUP, 30, 50, 60, 60), 1);
    GDC* ga = a.GetGDC();
    GDC* gb = b.GetGDC();
    ASSERT_TRUE(ga && gb && ga->GetGDib() && gb->GetGDib());
    // a's pixel (25, 35) lies on screen (35, 55), which is b's (5, 5).
    Put(ga->GetGDib(), 25, 35, RGB(1, 2, 3));
    ASSERT_EQ(gb->BitBlt(ga, 5, 5, 1, 1), 1);
    EXPECT_EQ(gb->GetGDib()->GetPixelColor(5, 5), RGB(1, 2, 3));
    // An explicit source point is taken in the source's own window coordinates.
    Put(ga->GetGDib(), 1, 1, RGB(7, 8, 9));
    ASSERT_EQ(gb->BitBlt(ga, 40, 40, 1, 1, 1, 1), 1);
    EXPECT_EQ(gb->GetGDib()->GetPixelColor(40, 40), RGB(7, 8, 9));

    // A screen-based target at (30, 40): a's (25, 35) is screen (35, 55), pixel (5, 15).
    GDC screen;
    ASSERT_EQ(screen.CreateCompatibleGDC(nullptr, RECT{30, 40, 90, 100}), 1);
    ASSERT_EQ(screen.BitBlt(ga, 35, 55, 1, 1), 1);
    EXPECT_EQ(screen.GetGDib()->GetPixelColor(5, 15), RGB(1, 2, 3));
    // And back: the screen surface's pixel under b's (0, 0) is screen (30, 50) = pixel (0, 10).
    Put(screen.GetGDib(), 0, 10, RGB(4, 5, 6));
    ASSERT_EQ(gb->BitBlt(&screen, 0, 0, 1, 1), 1);
    EXPECT_EQ(gb->GetGDib()->GetPixelColor(0, 0), RGB(4, 5, 6));
}

TEST_F(GDCTest, CopyOntoADeviceContextAndTransparency) {
    LoggingWinza a;
    a.SetDoubleBuffer(1);
    ASSERT_EQ(a.Create(nullptr, u"a", WS_POPUP, 0, 0, 20, 20), 1);
    GDC* g = a.GetGDC();
    g->GetGDib()->FillRect(0, 0, 20, 20, RGB(255, 0, 255));
    Put(g->GetGDib(), 3, 4, RGB(9, 9, 9));
    GDib target;
    target.Create(10, 10, 24);
    target.SetBackColor(RGB(255, 255, 255));
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, target.GetSafeHandle());
    // Source defaults to the same point; the magenta key is left out with transparency on.
    ASSERT_EQ(g->BitBlt(dc, 2, 2, 4, 4, 3, 4, 0, 0, 1, 255, 1), 1);
    EXPECT_EQ(target.GetPixelColor(2, 2), RGB(9, 9, 9));
    EXPECT_EQ(target.GetPixelColor(3, 3), RGB(255, 255, 255));
    ASSERT_EQ(g->BitBlt(dc, 3, 4, 1, 1), 1);
    EXPECT_EQ(target.GetPixelColor(3, 4), RGB(9, 9, 9));
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
}

} // namespace
