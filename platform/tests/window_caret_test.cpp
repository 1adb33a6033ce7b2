// The caret: shown and hidden in nested pairs, blinking on the clock, off the screen while its
// window paints.
#include "window_test_support.h"

namespace {

using CaretTest = WindowTest;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

TEST_F(CaretTest, BlinksOnTheClock) {
    HWND w = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    Pump();
    ASSERT_TRUE(CreateCaret(w, nullptr, 2, 10));
    SetCaretPos(10, 10);
    EXPECT_EQ(ScreenPixel(10, 10), kWhite) << "made hidden";
    ShowCaret(w);
    EXPECT_EQ(ScreenPixel(10, 10), kBlack);
    EXPECT_EQ(ScreenPixel(11, 19), kBlack);
    EXPECT_EQ(ScreenPixel(12, 10), kWhite);
    clock.Advance(GetCaretBlinkTime() - 1);
    Pump();
    EXPECT_EQ(ScreenPixel(10, 10), kBlack);
    clock.Advance(1);
    Pump();
    EXPECT_EQ(ScreenPixel(10, 10), kWhite);
    clock.Advance(GetCaretBlinkTime());
    Pump();
    EXPECT_EQ(ScreenPixel(10, 10), kBlack);
    DestroyCaret();
    EXPECT_EQ(ScreenPixel(10, 10), kWhite) << "destroying takes it off the screen";
}

TEST_F(CaretTest, HideAndShowNest) {
    HWND w = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    Pump();
    CreateCaret(w, nullptr, 1, 5);
    ShowCaret(w);
    HideCaret(w);
    HideCaret(w);
    ShowCaret(w);
    EXPECT_EQ(ScreenPixel(0, 0), kWhite);
    ShowCaret(w);
    EXPECT_EQ(ScreenPixel(0, 0), kBlack);
    SetCaretPos(50, 50);
    EXPECT_EQ(ScreenPixel(0, 0), kWhite);
    EXPECT_EQ(ScreenPixel(50, 50), kBlack);
    POINT p;
    GetCaretPos(&p);
    EXPECT_EQ(p.x, 50);
}

TEST_F(CaretTest, PaintingDoesNotSmearTheCaret) {
    HWND w = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    handlers[w] = Painter(kWhite);
    Pump();
    CreateCaret(w, nullptr, 2, 10);
    ShowCaret(w);
    EXPECT_EQ(ScreenPixel(0, 0), kBlack);
    InvalidateRect(w, nullptr, TRUE);
    Pump();
    EXPECT_EQ(ScreenPixel(0, 0), kBlack) << "taken off for painting and put back after";
    clock.Advance(GetCaretBlinkTime());
    Pump();
    EXPECT_EQ(ScreenPixel(0, 0), kWhite);
}

TEST_F(CaretTest, GoesWithItsWindow) {
    HWND w = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    CreateCaret(w, nullptr, 2, 10);
    ShowCaret(w);
    DestroyWindow(w);
    EXPECT_FALSE(ShowCaret(nullptr));
    EXPECT_FALSE(DestroyCaret());
}

} // namespace
