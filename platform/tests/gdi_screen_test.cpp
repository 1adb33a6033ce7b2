// The screen surface, its context and the changed-area accumulator the display reads.
#include "gdi_test_support.h"

#include "../src/gdi_internal.h"

#include <gtest/gtest.h>

namespace {

// Puts the default screen back for the tests that follow.
struct ScreenScope {
    ~ScreenScope() {
        plat::CreateScreenSurface(480, 640);
        plat::SetScreenDirtyListener(nullptr);
        plat::TakeScreenDirtyRect(nullptr);
    }
};

} // namespace

TEST(Screen, SurfaceOfTheDeviceSizeAndItsContext) {
    ScreenScope scope;
    ASSERT_TRUE(plat::CreateScreenSurface(240, 320));
    EXPECT_FALSE(plat::CreateScreenSurface(0, 320));
    SIZE size = plat::ScreenSize();
    EXPECT_EQ(size.cx, 240);
    EXPECT_EQ(size.cy, 320);
    plat::Surface* s = plat::ScreenSurface();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->bpp, 24);
    EXPECT_FALSE(s->bottomUp);
    HDC dc = plat::GetScreenDC();
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_DC));
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 240);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 96);
    RECT box;
    GetClipBox(dc, &box);
    EXPECT_EQ(box.right, 240);
    EXPECT_EQ(box.bottom, 320);
    SetPixel(dc, 5, 7, RGB(1, 2, 3));
    EXPECT_EQ(s->Row(7)[15], 3);
    // Screen snapshots: a memory context copies what the screen shows.
    TestDib snap(4, 4);
    BitBlt(snap.dc(), 0, 0, 4, 4, dc, 3, 5, SRCCOPY);
    EXPECT_EQ(snap.At(2, 2), RGB(1, 2, 3));
    EXPECT_EQ(SelectObject(dc, snap.bitmap()), nullptr);
    EXPECT_EQ(plat::ReleaseScreenDC(snap.dc()), 0);
    EXPECT_EQ(plat::ReleaseScreenDC(dc), 1);
    ASSERT_TRUE(plat::CreateScreenSurface(640, 480));
    dc = plat::GetScreenDC();
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 192);
    plat::ReleaseScreenDC(dc);
}

TEST(Screen, ChangedAreaIsAccumulatedUntilTaken) {
    ScreenScope scope;
    // A change on the old, larger screen does not carry over to the new one.
    HDC old = plat::GetScreenDC();
    SetPixel(old, 400, 600, 0);
    plat::ReleaseScreenDC(old);
    ASSERT_TRUE(plat::CreateScreenSurface(100, 100));
    RECT rc;
    ASSERT_TRUE(plat::TakeScreenDirtyRect(&rc)); // a new screen is all changed
    EXPECT_EQ(rc.right, 100);
    EXPECT_EQ(rc.bottom, 100);
    EXPECT_FALSE(plat::TakeScreenDirtyRect(&rc));
    int wakes = 0;
    plat::SetScreenDirtyListener([&] { ++wakes; });
    HDC dc = plat::GetScreenDC();
    SetPixel(dc, 10, 20, 0);
    RECT fill{50, 5, 60, 8};
    FillRect(dc, &fill, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    IntersectClipRect(dc, 0, 0, 30, 30);
    PatBlt(dc, 25, 25, 50, 50, BLACKNESS); // only 25..29 reaches the screen
    EXPECT_EQ(wakes, 1);
    ASSERT_TRUE(plat::TakeScreenDirtyRect(&rc));
    EXPECT_EQ(rc.left, 10);
    EXPECT_EQ(rc.top, 5);
    EXPECT_EQ(rc.right, 60);
    EXPECT_EQ(rc.bottom, 30);
    // Drawing into memory bitmaps is not the screen's business.
    TestDib dib(4, 4);
    PatBlt(dib.dc(), 0, 0, 4, 4, WHITENESS);
    EXPECT_FALSE(plat::TakeScreenDirtyRect(&rc));
    // Fully clipped drawing changes nothing.
    PatBlt(dc, 40, 40, 5, 5, WHITENESS);
    EXPECT_FALSE(plat::TakeScreenDirtyRect(&rc));
    BitBlt(dc, 0, 0, 3, 3, dib.dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(wakes, 2);
    EXPECT_TRUE(plat::TakeScreenDirtyRect(&rc));
    EXPECT_EQ(rc.right, 3);
    plat::ReleaseScreenDC(dc);
}

TEST(TextLayerHelpers, FillSolidAndCoverageBlendHonourTheClip) {
    TestDib dib(4, 2);
    dib.Fill(RGB(0, 0, 0));
    std::shared_ptr<plat::DCObj> dc = plat::LookupDC(dib.dc());
    ExcludeClipRect(dib.dc(), 3, 0, 4, 2);
    plat::FillSolid(*dc, RECT{0, 1, 4, 2}, RGB(100, 100, 100));
    EXPECT_EQ(dib.At(2, 1), RGB(100, 100, 100));
    EXPECT_EQ(dib.At(3, 1), RGB(0, 0, 0));
    const BYTE coverage[4] = {0, 51, 255, 255};
    plat::BlendCoverage(*dc, 0, 0, 4, 1, coverage, 4, RGB(255, 0, 0));
    EXPECT_EQ(dib.At(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(dib.At(1, 0), RGB(51, 0, 0));
    EXPECT_EQ(dib.At(2, 0), RGB(255, 0, 0));
    EXPECT_EQ(dib.At(3, 0), RGB(0, 0, 0)); // excluded
    TestDib pal(2, 1, 8, {{0, 0, 0, 0}, {0, 0, 255, 0}});
    std::shared_ptr<plat::DCObj> pdc = plat::LookupDC(pal.dc());
    const BYTE half[2] = {127, 128};
    plat::BlendCoverage(*pdc, 0, 0, 2, 1, half, 2, RGB(255, 0, 0));
    EXPECT_EQ(pal.Row(0)[0], 0);
    EXPECT_EQ(pal.Row(0)[1], 1);
}
