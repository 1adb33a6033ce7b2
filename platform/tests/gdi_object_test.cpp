// The handle table: types, stock objects, selection rules, stale handles and threads.
#include "gdi_test_support.h"

#include <gtest/gtest.h>

#include <thread>

TEST(GdiObjects, TypesAndStockObjects) {
    EXPECT_EQ(GetObjectType(GetStockObject(WHITE_BRUSH)), static_cast<DWORD>(OBJ_BRUSH));
    EXPECT_EQ(GetObjectType(GetStockObject(NULL_PEN)), static_cast<DWORD>(OBJ_PEN));
    EXPECT_EQ(GetObjectType(GetStockObject(SYSTEM_FONT)), static_cast<DWORD>(OBJ_FONT));
    EXPECT_EQ(GetObjectType(GetStockObject(DEFAULT_GUI_FONT)), static_cast<DWORD>(OBJ_FONT));
    EXPECT_EQ(GetStockObject(9), nullptr);
    EXPECT_EQ(GetStockObject(-1), nullptr);
    EXPECT_EQ(GetStockObject(1000), nullptr);
    // Deleting a stock object is harmless: it stays.
    HGDIOBJ black = GetStockObject(BLACK_BRUSH);
    EXPECT_TRUE(DeleteObject(black));
    EXPECT_EQ(GetObjectType(black), static_cast<DWORD>(OBJ_BRUSH));
    LOGBRUSH lb{};
    GetObject(black, sizeof(lb), &lb);
    EXPECT_EQ(lb.lbColor, RGB(0, 0, 0));
    EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_SOLID));
    GetObject(GetStockObject(LTGRAY_BRUSH), sizeof(lb), &lb);
    EXPECT_EQ(lb.lbColor, RGB(192, 192, 192));

    HPEN pen = CreatePen(PS_DASH, 0, RGB(1, 2, 3));
    LOGPEN lp{};
    EXPECT_EQ(GetObject(pen, sizeof(lp), &lp), static_cast<int>(sizeof(lp)));
    EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_DASH));
    EXPECT_EQ(lp.lopnWidth.x, 1);
    EXPECT_EQ(lp.lopnColor, RGB(1, 2, 3));
    DeleteObject(pen);
    EXPECT_EQ(CreatePen(42, 1, 0), nullptr);
    HPEN wideDash = CreatePen(PS_DASH, 3, 0);
    GetObject(wideDash, sizeof(lp), &lp);
    EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_SOLID));
    DeleteObject(wideDash);
}

TEST(GdiObjects, ABitmapLivesInOneContextAndCannotBeDeletedThere) {
    HBITMAP bm = CreateBitmap(4, 4, 1, 24, nullptr);
    HDC a = CreateCompatibleDC(nullptr), b = CreateCompatibleDC(nullptr);
    HGDIOBJ oldA = SelectObject(a, bm);
    EXPECT_NE(oldA, nullptr);
    EXPECT_EQ(SelectObject(b, bm), nullptr);
    EXPECT_FALSE(DeleteObject(bm));
    EXPECT_EQ(GetObjectType(bm), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_EQ(SelectObject(a, oldA), bm);
    EXPECT_NE(SelectObject(b, bm), nullptr);
    DeleteDC(b); // deleting the context lets the bitmap go
    EXPECT_TRUE(DeleteObject(bm));
    EXPECT_EQ(GetObjectType(bm), 0u);
    DeleteDC(a);
}

TEST(GdiObjects, DeletingASelectedBrushWaitsForTheContext) {
    TestDib dib(2, 1);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    HGDIOBJ old = SelectObject(dib.dc(), red);
    EXPECT_TRUE(DeleteObject(red));
    // Still usable where it is selected.
    EXPECT_EQ(GetObjectType(red), static_cast<DWORD>(OBJ_BRUSH));
    PatBlt(dib.dc(), 0, 0, 1, 1, PATCOPY);
    EXPECT_EQ(dib.At(0, 0), RGB(255, 0, 0));
    SelectObject(dib.dc(), old);
    EXPECT_EQ(GetObjectType(red), 0u);
    EXPECT_EQ(SelectObject(dib.dc(), red), nullptr);
}

TEST(GdiObjects, StaleHandlesStayDeadWhenTheirSlotIsReused) {
    HBRUSH a = CreateSolidBrush(RGB(1, 1, 1));
    ASSERT_TRUE(DeleteObject(a));
    HBRUSH b = CreateSolidBrush(RGB(2, 2, 2));
    EXPECT_NE(a, b);
    EXPECT_EQ(GetObjectType(a), 0u);
    EXPECT_FALSE(DeleteObject(a));
    EXPECT_EQ(GetObjectType(b), static_cast<DWORD>(OBJ_BRUSH));
    DeleteObject(b);
    // Handles of other kinds, or none of ours at all.
    EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(0xDEADBEEF)), 0u);
    EXPECT_EQ(GetObjectType(nullptr), 0u);
    int x = 0;
    EXPECT_EQ(GetObject(&x, sizeof(x), &x), 0);
    EXPECT_FALSE(DeleteObject(CreateCompatibleDC(nullptr))); // contexts go with DeleteDC
}

TEST(GdiObjects, ThreadsDrawIntoTheirOwnBitmapsConcurrently) {
    auto work = [](int seed, bool* ok) {
        *ok = true;
        for (int i = 0; i < 200 && *ok; ++i) {
            TestDib dib(16, 8);
            HBRUSH brush = CreateSolidBrush(RGB(seed, i & 255, 7));
            RECT rc{0, 0, 16, 8};
            FillRect(dib.dc(), &rc, brush);
            HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, seed));
            HGDIOBJ old = SelectObject(dib.dc(), pen);
            MoveToEx(dib.dc(), 0, 3, nullptr);
            LineTo(dib.dc(), 16, 3);
            SelectObject(dib.dc(), old);
            *ok = dib.At(5, 5) == RGB(seed, i & 255, 7) && dib.At(5, 3) == RGB(0, 0, seed);
            DeleteObject(pen);
            DeleteObject(brush);
        }
    };
    bool ok1 = false, ok2 = false;
    std::thread t1(work, 11, &ok1), t2(work, 22, &ok2);
    t1.join();
    t2.join();
    EXPECT_TRUE(ok1);
    EXPECT_TRUE(ok2);
}
