// Painting: update regions, WM_PAINT when nothing else waits, erasing with the class brush,
// contexts clipped to what can be seen, and repainting what a change uncovers.
#include "window_test_support.h"

namespace {

using PaintTest = WindowTest;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

TEST_F(PaintTest, ShownWindowIsErasedWithItsClassBrushAndPainted) {
    int paints = 0;
    HWND w = Make(WS_POPUP, 10, 10, 50, 40);
    handlers[w] = [&](HWND, UINT msg, WPARAM, LPARAM, LRESULT*) {
        paints += msg == WM_PAINT;
        return false; // DefWindowProc paints nothing but validates
    };
    ShowWindow(w, SW_SHOW);
    Pump();
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(ScreenPixel(10, 10), kWhite);
    EXPECT_EQ(ScreenPixel(59, 49), kWhite);
    EXPECT_EQ(ScreenPixel(60, 50), kBlack);
    EXPECT_EQ(ScreenPixel(9, 9), kBlack);
    Pump();
    EXPECT_EQ(paints, 1) << "a validated window is not painted again";
}

TEST_F(PaintTest, PaintComesOnlyWhenNothingElseWaits) {
    HWND w = Make(WS_POPUP | WS_VISIBLE, 0, 0, 20, 20);
    Pump();
    log.clear();
    InvalidateRect(w, nullptr, FALSE);
    PostMessageW(w, WM_USER, 0, 0);
    PostMessageW(w, WM_USER + 1, 0, 0);
    Pump();
    EXPECT_EQ(MessagesOf(w), (std::vector<UINT>{WM_USER, WM_USER + 1, WM_PAINT}));
}

TEST_F(PaintTest, OnlyTheInvalidPartIsPainted) {
    RECT painted{};
    HWND w = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    handlers[w] = Painter(kRed, nullptr, &painted);
    Pump();
    ClearScreen(kBlack);
    RECT part{10, 20, 30, 40};
    InvalidateRect(w, &part, FALSE);
    RECT upd;
    EXPECT_TRUE(GetUpdateRect(w, &upd, FALSE));
    EXPECT_TRUE(EqualRect(&upd, &part));
    Pump();
    EXPECT_TRUE(EqualRect(&painted, &part));
    EXPECT_EQ(ScreenPixel(10, 20), kRed);
    EXPECT_EQ(ScreenPixel(29, 39), kRed);
    EXPECT_EQ(ScreenPixel(30, 39), kBlack) << "the paint context is clipped to the update";
    EXPECT_EQ(ScreenPixel(9, 20), kBlack);
    EXPECT_FALSE(GetUpdateRect(w, &upd, FALSE));
}

TEST_F(PaintTest, ValidatedPartsAreNotPainted) {
    int paints = 0;
    HWND w = Make(WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
    handlers[w] = Painter(kRed, &paints);
    Pump();
    paints = 0;
    RECT a{0, 0, 10, 10};
    InvalidateRect(w, &a, TRUE);
    ValidateRect(w, &a);
    Pump();
    EXPECT_EQ(paints, 0);
    InvalidateRect(w, nullptr, TRUE);
    ValidateRect(w, nullptr);
    Pump();
    EXPECT_EQ(paints, 0);
}

TEST_F(PaintTest, ParentPaintingSkipsItsChildren) {
    HWND parent = Make(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 100, 100);
    HWND child = Make(WS_CHILD | WS_VISIBLE, 20, 20, 30, 30, parent);
    handlers[parent] = Painter(kRed);
    handlers[child] = Painter(kBlue);
    Pump();
    EXPECT_EQ(ScreenPixel(5, 5), kRed);
    EXPECT_EQ(ScreenPixel(20, 20), kBlue);
    EXPECT_EQ(ScreenPixel(49, 49), kBlue);
    // The parent's own context leaves the child alone too.
    HDC dc = GetDC(parent);
    RECT all{0, 0, 100, 100};
    HBRUSH g = CreateSolidBrush(kGreen);
    FillRect(dc, &all, g);
    DeleteObject(g);
    ReleaseDC(parent, dc);
    EXPECT_EQ(ScreenPixel(5, 5), kGreen);
    EXPECT_EQ(ScreenPixel(25, 25), kBlue);
}

TEST_F(PaintTest, WindowContextsAreClippedByPopupsAbove) {
    HWND below = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND above = Make(WS_POPUP | WS_VISIBLE, 50, 50, 100, 100);
    Pump();
    ClearScreen(kBlack);
    HDC dc = GetDC(below);
    HBRUSH r = CreateSolidBrush(kRed);
    RECT all{0, 0, 100, 100};
    FillRect(dc, &all, r);
    EXPECT_EQ(ScreenPixel(49, 49), kRed);
    EXPECT_EQ(ScreenPixel(60, 60), kBlack);
    EXPECT_EQ(ScreenPixel(99, 10), kRed);
    // The context follows the tree: once the popup is gone the whole window can be drawn.
    ShowWindow(above, SW_HIDE);
    FillRect(dc, &all, r);
    EXPECT_EQ(ScreenPixel(60, 60), kRed);
    DeleteObject(r);
    ReleaseDC(below, dc);
}

TEST_F(PaintTest, HidingAPopupRepaintsWhatItUncovers) {
    RECT painted{};
    int paints = 0;
    HWND below = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    handlers[below] = Painter(kRed, &paints, &painted);
    HWND above = Make(WS_POPUP | WS_VISIBLE, 40, 50, 30, 20);
    handlers[above] = Painter(kBlue);
    Pump();
    EXPECT_EQ(ScreenPixel(45, 55), kBlue);
    paints = 0;
    ShowWindow(above, SW_HIDE);
    Pump();
    EXPECT_EQ(paints, 1);
    RECT expect{40, 50, 70, 70};
    EXPECT_TRUE(EqualRect(&painted, &expect));
    EXPECT_EQ(ScreenPixel(45, 55), kRed);
}

TEST_F(PaintTest, UncoveredDesktopIsFilled) {
    HWND w = Make(WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
    handlers[w] = Painter(kRed);
    Pump();
    EXPECT_EQ(ScreenPixel(10, 10), kRed);
    ShowWindow(w, SW_HIDE);
    EXPECT_EQ(ScreenPixel(10, 10), GetSysColor(COLOR_BACKGROUND));
}

TEST_F(PaintTest, MovingAWindowRepaintsItAndWhatItLeft) {
    int belowPaints = 0;
    HWND below = Make(WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
    handlers[below] = Painter(kRed, &belowPaints);
    HWND mover = Make(WS_POPUP | WS_VISIBLE, 10, 10, 20, 20);
    handlers[mover] = Painter(kBlue);
    Pump();
    belowPaints = 0;
    MoveWindow(mover, 100, 100, 20, 20, TRUE);
    Pump();
    EXPECT_EQ(belowPaints, 1);
    EXPECT_EQ(ScreenPixel(15, 15), kRed);
    EXPECT_EQ(ScreenPixel(105, 105), kBlue);
}

TEST_F(PaintTest, RaisingAWindowPaintsItsHiddenPart) {
    HWND a = Make(WS_POPUP | WS_VISIBLE, 0, 0, 60, 60);
    handlers[a] = Painter(kRed);
    HWND b = Make(WS_POPUP | WS_VISIBLE, 30, 30, 60, 60);
    handlers[b] = Painter(kBlue);
    Pump();
    EXPECT_EQ(ScreenPixel(40, 40), kBlue);
    SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Pump();
    EXPECT_EQ(ScreenPixel(40, 40), kRed);
    EXPECT_EQ(ScreenPixel(80, 80), kBlue);
}

TEST_F(PaintTest, BorderIsDrawnAroundTheClientArea) {
    HWND w = Make(WS_POPUP | WS_VISIBLE | WS_BORDER, 10, 10, 30, 30);
    handlers[w] = Painter(kRed);
    Pump();
    EXPECT_EQ(ScreenPixel(10, 10), GetSysColor(COLOR_WINDOWFRAME));
    EXPECT_EQ(ScreenPixel(39, 39), GetSysColor(COLOR_WINDOWFRAME));
    EXPECT_EQ(ScreenPixel(11, 11), kRed);
    EXPECT_EQ(ScreenPixel(38, 38), kRed);
}

TEST_F(PaintTest, UpdateWindowPaintsAtOnce) {
    int paints = 0;
    HWND w = Make(WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
    handlers[w] = Painter(kRed, &paints);
    UpdateWindow(w);
    EXPECT_EQ(paints, 1);
    UpdateWindow(w);
    EXPECT_EQ(paints, 1);
}

TEST_F(PaintTest, HiddenWindowsAreNotPainted) {
    int paints = 0;
    HWND w = Make(WS_POPUP, 0, 0, 10, 10);
    handlers[w] = Painter(kRed, &paints);
    InvalidateRect(w, nullptr, TRUE);
    Pump();
    EXPECT_EQ(paints, 0);
}

TEST_F(PaintTest, ScreenContextDrawsEverywhere) {
    HWND w = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    Pump();
    HDC dc = GetDC(nullptr);
    SetPixel(dc, 50, 50, kGreen);
    EXPECT_EQ(GetPixel(dc, 50, 50), kGreen);
    EXPECT_EQ(WindowFromDC(dc), nullptr);
    ReleaseDC(nullptr, dc);
    HDC wdc = GetDC(w);
    EXPECT_EQ(WindowFromDC(wdc), w);
    EXPECT_EQ(ReleaseDC(w, wdc), 1);
    EXPECT_EQ(ReleaseDC(w, wdc), 0);
}

TEST_F(PaintTest, WindowContextIncludesTheFrame) {
    HWND w = Make(WS_POPUP | WS_VISIBLE | WS_BORDER, 20, 20, 30, 30);
    Pump();
    HDC dc = GetWindowDC(w);
    SetPixel(dc, 0, 0, kGreen);
    ReleaseDC(w, dc);
    EXPECT_EQ(ScreenPixel(20, 20), kGreen);
    HDC cdc = GetDC(w);
    SetPixel(cdc, 0, 0, kBlue);
    SetPixel(cdc, -1, -1, kBlue); // outside the client: clipped
    ReleaseDC(w, cdc);
    EXPECT_EQ(ScreenPixel(21, 21), kBlue);
    EXPECT_EQ(ScreenPixel(20, 20), kGreen);
}

} // namespace
