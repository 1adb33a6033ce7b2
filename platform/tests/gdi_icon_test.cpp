// Icons: AND mask then XOR image, monochrome icons, sizes and handles.
#include "gdi_test_support.h"

#include <gtest/gtest.h>

namespace {

// A 2 x 1 icon: pixel 0 opaque red, pixel 1 transparent.
HICON RedDot() {
    const BYTE maskRows[] = {0x40, 0x00}; // 0 = draw, 1 = keep
    HBITMAP mask = CreateBitmap(2, 1, 1, 1, maskRows);
    TestDib colour(2, 1);
    colour.Put(0, 0, RGB(255, 0, 0));
    colour.Put(1, 0, RGB(0, 0, 0));
    ICONINFO ii{TRUE, 0, 0, mask, colour.bitmap()};
    HICON icon = CreateIconIndirect(&ii);
    DeleteObject(mask); // the icon keeps copies
    return icon;
}

} // namespace

TEST(Icon, DrawIconExMasksThenInverts) {
    HICON icon = RedDot();
    ASSERT_NE(icon, nullptr);
    TestDib dib(4, 2);
    dib.Fill(RGB(0, 0, 200));
    SetTextColor(dib.dc(), RGB(0, 255, 0)); // must not tint the mask
    SetBkColor(dib.dc(), RGB(0, 255, 0));
    EXPECT_TRUE(DrawIconEx(dib.dc(), 1, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(dib.At(0, 0), RGB(0, 0, 200));
    EXPECT_EQ(dib.At(1, 0), RGB(255, 0, 0));
    EXPECT_EQ(dib.At(2, 0), RGB(0, 0, 200));
    EXPECT_EQ(dib.At(1, 1), RGB(0, 0, 200));
    // Stretched to 4 x 2.
    dib.Fill(RGB(0, 0, 200));
    DrawIconEx(dib.dc(), 0, 0, icon, 4, 2, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(dib.At(1, 1), RGB(255, 0, 0));
    EXPECT_EQ(dib.At(2, 1), RGB(0, 0, 200));
    // The mask alone, and a flicker-free background brush.
    DrawIconEx(dib.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_MASK);
    EXPECT_EQ(dib.At(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(dib.At(1, 0), RGB(255, 255, 255));
    DrawIconEx(dib.dc(), 2, 0, icon, 0, 0, 0, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)),
               DI_NORMAL);
    EXPECT_EQ(dib.At(3, 0), RGB(128, 128, 128));
    EXPECT_EQ(dib.At(2, 0), RGB(255, 0, 0));

    ICONINFO got{};
    ASSERT_TRUE(GetIconInfo(icon, &got));
    BITMAP b{};
    GetObject(got.hbmColor, sizeof(b), &b);
    EXPECT_EQ(b.bmWidth, 2);
    EXPECT_EQ(got.xHotspot, 1u);
    DeleteObject(got.hbmColor);
    DeleteObject(got.hbmMask);
    EXPECT_FALSE(DeleteObject(icon)); // icons go with DestroyIcon
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(DestroyIcon(icon));
    EXPECT_FALSE(DrawIcon(dib.dc(), 0, 0, icon));
}

TEST(Icon, MonochromeIconsStackBothMasks) {
    // 1 x 2 icon: AND rows {1, 0} then XOR rows {1, 1}: pixel 0 inverts, pixel 1 turns white.
    const BYTE rows[] = {0x80, 0, 0x00, 0, 0x80, 0, 0x80, 0};
    HBITMAP masks = CreateBitmap(1, 4, 1, 1, rows);
    ICONINFO ii{TRUE, 0, 0, masks, nullptr};
    HICON icon = CreateIconIndirect(&ii);
    DeleteObject(masks);
    ASSERT_NE(icon, nullptr);
    TestDib dib(1, 2);
    dib.Fill(RGB(0x10, 0x20, 0x30));
    EXPECT_TRUE(DrawIcon(dib.dc(), 0, 0, icon));
    EXPECT_EQ(dib.At(0, 0), RGB(0xEF, 0xDF, 0xCF));
    EXPECT_EQ(dib.At(0, 1), RGB(255, 255, 255));
    DestroyIcon(icon);
    ICONINFO none{TRUE, 0, 0, nullptr, nullptr};
    EXPECT_EQ(CreateIconIndirect(&none), nullptr);
}
