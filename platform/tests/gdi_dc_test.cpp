// Device context state: defaults, SaveDC/RestoreDC, application clipping, and contexts over a
// surface with an origin and a system region (what window contexts are).
#include "gdi_test_support.h"

#include "../src/gdi_internal.h"

#include <gtest/gtest.h>

TEST(DeviceContext, StartsWithTheDefaultObjectsAndAttributes) {
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), GetStockObject(SYSTEM_FONT));
    BITMAP b{};
    GetObject(GetCurrentObject(dc, OBJ_BITMAP), sizeof(b), &b);
    EXPECT_EQ(b.bmWidth, 1);
    EXPECT_EQ(b.bmBitsPixel, 1);
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
    EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_EQ(GetROP2(dc), R2_COPYPEN);
    EXPECT_EQ(SetBkMode(dc, 7), 0);
    EXPECT_EQ(SetROP2(dc, 0), 0);
    POINT p{5, 5};
    GetCurrentPositionEx(dc, &p);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 24);
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), plat::ScreenSize().cx);
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_EQ(GetTextColor(dc), CLR_INVALID);
}

TEST(DeviceContext, RestoreDCBringsBackAttributesObjectsAndClip) {
    TestDib dib(10, 10);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    int level = SaveDC(dib.dc());
    EXPECT_EQ(level, 1);
    SelectObject(dib.dc(), red);
    SetTextColor(dib.dc(), RGB(1, 2, 3));
    IntersectClipRect(dib.dc(), 2, 2, 4, 4);
    EXPECT_EQ(SaveDC(dib.dc()), 2);
    SetTextColor(dib.dc(), RGB(9, 9, 9));
    EXPECT_TRUE(RestoreDC(dib.dc(), -1));
    EXPECT_EQ(GetTextColor(dib.dc()), RGB(1, 2, 3));
    EXPECT_TRUE(RestoreDC(dib.dc(), 1));
    EXPECT_EQ(GetTextColor(dib.dc()), RGB(0, 0, 0));
    EXPECT_EQ(GetCurrentObject(dib.dc(), OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
    RECT box;
    EXPECT_EQ(GetClipBox(dib.dc(), &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 10);
    EXPECT_FALSE(RestoreDC(dib.dc(), 1));
    EXPECT_FALSE(RestoreDC(dib.dc(), 5));
    // The saved bitmap comes back too.
    HBITMAP other = CreateCompatibleBitmap(dib.dc(), 3, 3);
    SaveDC(dib.dc());
    SelectObject(dib.dc(), other);
    RestoreDC(dib.dc(), -1);
    EXPECT_EQ(GetCurrentObject(dib.dc(), OBJ_BITMAP), dib.bitmap());
    EXPECT_TRUE(DeleteObject(other));
    EXPECT_TRUE(DeleteObject(red));
}

TEST(Clip, IntersectExcludeAndSelectCombine) {
    TestDib dib(10, 10);
    RECT box;
    EXPECT_EQ(GetClipRgn(dib.dc(), nullptr), 0);
    EXPECT_EQ(IntersectClipRect(dib.dc(), 2, 3, 8, 9), SIMPLEREGION);
    GetClipBox(dib.dc(), &box);
    EXPECT_EQ(box.left, 2);
    EXPECT_EQ(box.bottom, 9);
    EXPECT_EQ(ExcludeClipRect(dib.dc(), 4, 4, 6, 6), COMPLEXREGION);
    dib.Fill(RGB(255, 255, 255));
    RECT all{0, 0, 10, 10};
    FillRect(dib.dc(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            bool inside =
                x >= 2 && x < 8 && y >= 3 && y < 9 && !(x >= 4 && x < 6 && y >= 4 && y < 6);
            ASSERT_EQ(dib.At(x, y), inside ? RGB(0, 0, 0) : RGB(255, 255, 255)) << x << "," << y;
            ASSERT_EQ(GetPixel(dib.dc(), x, y) == CLR_INVALID, !inside);
        }
    HRGN got = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(dib.dc(), got), 1);
    EXPECT_FALSE(PtInRegion(got, 4, 4));
    EXPECT_TRUE(PtInRegion(got, 3, 4));

    // SelectClipRgn copies: later changes to the region do not reach the context.
    HRGN rgn = CreateRectRgn(0, 0, 3, 3);
    EXPECT_EQ(SelectClipRgn(dib.dc(), rgn), SIMPLEREGION);
    SetRectRgn(rgn, 0, 0, 10, 10);
    GetClipBox(dib.dc(), &box);
    EXPECT_EQ(box.right, 3);
    EXPECT_EQ(ExtSelectClipRgn(dib.dc(), rgn, RGN_XOR), COMPLEXREGION);
    EXPECT_EQ(GetPixel(dib.dc(), 1, 1), CLR_INVALID);
    EXPECT_NE(GetPixel(dib.dc(), 5, 1), CLR_INVALID);
    EXPECT_EQ(ExtSelectClipRgn(dib.dc(), nullptr, RGN_AND), ERROR);
    EXPECT_EQ(SelectClipRgn(dib.dc(), nullptr), SIMPLEREGION);
    EXPECT_EQ(GetClipRgn(dib.dc(), got), 0);
    EXPECT_EQ(IntersectClipRect(dib.dc(), 20, 20, 30, 30), NULLREGION);
    EXPECT_EQ(GetClipBox(dib.dc(), &box), NULLREGION);
    EXPECT_TRUE(IsRectEmpty(&box));
    // Selecting a region through SelectObject answers its complexity.
    EXPECT_EQ(SelectObject(dib.dc(), rgn), reinterpret_cast<HGDIOBJ>(SIMPLEREGION));
    DeleteObject(rgn);
    DeleteObject(got);
}

TEST(Clip, ContextWithOriginAndSystemRegion) {
    // A "window" at (3, 2) on a 12 x 8 surface, partly covered on its right.
    std::shared_ptr<plat::Surface> surface = plat::MakeSurface(12, 8, 24, false);
    plat::Region visible(RECT{3, 2, 10, 7});
    visible.Subtract(RECT{8, 2, 10, 4});
    HDC dc = plat::CreateSurfaceDC(surface, plat::DCKind::Window, POINT{3, 2}, &visible);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_DC));
    RECT box;
    EXPECT_EQ(GetClipBox(dc, &box), COMPLEXREGION);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 7);
    EXPECT_EQ(box.bottom, 5);
    EXPECT_EQ(SetPixel(dc, 0, 0, RGB(9, 9, 9)), RGB(9, 9, 9));
    const BYTE* p = surface->Row(2) + 3 * 3;
    EXPECT_EQ(p[0], 9);
    EXPECT_EQ(SetPixel(dc, 5, 0, RGB(9, 9, 9)), CLR_INVALID); // covered
    EXPECT_EQ(SetPixel(dc, -1, 0, RGB(9, 9, 9)), CLR_INVALID);
    // The application clip is in client coordinates and meets the system region.
    IntersectClipRect(dc, 4, 0, 100, 100);
    GetClipBox(dc, &box);
    EXPECT_EQ(box.left, 4);
    EXPECT_EQ(box.right, 7);
    EXPECT_EQ(SetPixel(dc, 3, 3, RGB(9, 9, 9)), CLR_INVALID);
    EXPECT_EQ(SetPixel(dc, 4, 1, RGB(9, 9, 9)), RGB(9, 9, 9));
    // Bitmaps cannot go into a window context.
    HBITMAP bm = CreateBitmap(2, 2, 1, 24, nullptr);
    EXPECT_EQ(SelectObject(dc, bm), nullptr);
    DeleteObject(bm);
    // The window moves and its region grows: the application clip stays in client terms.
    plat::Region moved(RECT{0, 0, 12, 8});
    EXPECT_TRUE(plat::SetDCSystemRegion(dc, POINT{0, 0}, &moved));
    GetClipBox(dc, &box);
    EXPECT_EQ(box.left, 4);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 12);
    EXPECT_TRUE(plat::ResetDCAttributes(dc));
    GetClipBox(dc, &box);
    EXPECT_EQ(box.left, 0);
    EXPECT_TRUE(DeleteDC(dc));
}

TEST(DeviceContext, BadHandlesAreRefusedEverywhere) {
    HDC bad = reinterpret_cast<HDC>(0x5C);
    HDC wrongType = reinterpret_cast<HDC>(GetStockObject(WHITE_BRUSH));
    for (HDC dc : {bad, wrongType, static_cast<HDC>(nullptr)}) {
        RECT rc{0, 0, 1, 1};
        EXPECT_EQ(SelectObject(dc, GetStockObject(BLACK_PEN)), nullptr);
        EXPECT_FALSE(PatBlt(dc, 0, 0, 1, 1, BLACKNESS));
        EXPECT_EQ(FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 0);
        EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
        EXPECT_EQ(SetPixel(dc, 0, 0, 0), CLR_INVALID);
        EXPECT_EQ(IntersectClipRect(dc, 0, 0, 1, 1), ERROR);
        EXPECT_EQ(GetClipBox(dc, &rc), ERROR);
        EXPECT_FALSE(LineTo(dc, 1, 1));
        EXPECT_FALSE(Rectangle(dc, 0, 0, 1, 1));
        EXPECT_EQ(SaveDC(dc), 0);
        EXPECT_EQ(CreateCompatibleBitmap(dc, 1, 1), nullptr);
        EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 0);
    }
    EXPECT_EQ(CreateCompatibleDC(bad), nullptr);
}
