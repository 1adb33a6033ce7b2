#include "winza_test_support.h"

namespace {

using WinzaWindow = WinzaTest;

TEST_F(WinzaWindow, MessagesBeforeCreateGoToTheDefaultProcedure) {
    LoggingWinza w;
    ASSERT_EQ(w.Create(nullptr, u"t", WS_POPUP | WS_VISIBLE, 10, 20, 100, 50), 1);
    // WM_NCCREATE comes first and must not reach the object.
    ASSERT_FALSE(w.messages.empty());
    EXPECT_EQ(w.messages.front(), static_cast<UINT>(WM_CREATE));
    EXPECT_EQ(w.Count(WM_NCCREATE), 0);
    // The default procedure took the title from WM_NCCREATE.
    WCHAR title[8] = {};
    EXPECT_EQ(::GetWindowTextW(w.GetSafeHwnd(), title, 8), 1);
    EXPECT_EQ(title[0], u't');
    EXPECT_EQ(Winza::FromHandle(w.GetSafeHwnd()), &w);
}

TEST_F(WinzaWindow, CreateSetsHandleContextAndClientBeforeItReturns) {
    LoggingWinza w;
    ASSERT_EQ(w.Create(nullptr, u"t", WS_POPUP, 10, 20, 100, 50), 1);
    EXPECT_EQ(w.handleAtCreate, w.GetSafeHwnd());
    EXPECT_NE(w.dcAtCreate, nullptr);
    EXPECT_EQ(w.GetDC(), w.dcAtCreate);
    EXPECT_EQ(w.clientAtCreate.right, 100);
    EXPECT_EQ(w.Width(), 100);
    EXPECT_EQ(w.Height(), 50);
    // A second Create on a live object changes nothing.
    HWND first = w.GetSafeHwnd();
    EXPECT_EQ(w.Create(nullptr, u"t", WS_POPUP, 0, 0, 10, 10), 0);
    EXPECT_EQ(w.GetSafeHwnd(), first);
}

TEST_F(WinzaWindow, DestroyedWindowCannotBeFoundAndObjectForgetsIt) {
    LoggingWinza w;
    ASSERT_EQ(w.Create(nullptr, u"t", WS_POPUP, 0, 0, 50, 50), 1);
    HWND h = w.GetSafeHwnd();
    ::DestroyWindow(h);
    EXPECT_EQ(w.GetSafeHwnd(), nullptr);
    EXPECT_EQ(w.GetDC(), nullptr);
    EXPECT_EQ(Winza::FromHandle(h), nullptr);
    EXPECT_EQ(w.Count(WM_DESTROY), 1);
    // What comes after WM_DESTROY no longer finds the object.
    EXPECT_EQ(w.Count(WM_NCDESTROY), 0);
    // The object can make a new window afterwards.
    EXPECT_EQ(w.Create(nullptr, u"t", WS_POPUP, 0, 0, 50, 50), 1);
}

TEST_F(WinzaWindow, ObjectWithoutWindowIgnoresCalls) {
    LoggingWinza w;
    w.Invalidate(0);
    w.ShowWindow(SW_SHOW);
    w.Close();
    POINT p{1, 2};
    EXPECT_EQ(w.ClientToScreen(&p), 0);
    EXPECT_EQ(w.GetParent(), nullptr);
    EXPECT_EQ(w.IsWindowVisible(), 0);
    EXPECT_TRUE(w.messages.empty());
    EXPECT_EQ(w.GetGDC(), nullptr);
}

TEST_F(WinzaWindow, FailingRegistrationFailsCreate) {
    class Nameless : public Winza {
    public:
        int RegisterClassW() override { return 0; }
        LPCWSTR GetClassNameW() override { return u"NeverRegistered"; }
    } w;
    EXPECT_EQ(w.Create(nullptr, u"t", WS_POPUP, 0, 0, 10, 10), 0);
    EXPECT_EQ(w.GetSafeHwnd(), nullptr);
}

TEST_F(WinzaWindow, DirectPaintingDrawsIntoThePaintContext) {
    LoggingWinza w;
    ASSERT_EQ(w.Create(nullptr, u"t", WS_POPUP | WS_VISIBLE, 10, 20, 30, 40), 1);
    w.Invalidate(0); // paints before returning
    EXPECT_GE(w.draws, 1);
    EXPECT_EQ(w.GetGDC(), nullptr);
    EXPECT_EQ(ScreenPixel(10, 20), RGB(255, 0, 0));
    EXPECT_EQ(ScreenPixel(39, 59), RGB(255, 0, 0));
    EXPECT_EQ(ScreenPixel(40, 60), RGB(0, 0, 0));
}

TEST_F(WinzaWindow, DoubleBufferedPaintingGoesThroughTheBackBuffer) {
    LoggingWinza w;
    w.SetDoubleBuffer(1);
    w.color = RGB(0, 255, 0);
    ASSERT_EQ(w.Create(nullptr, u"t", WS_POPUP | WS_VISIBLE, 10, 20, 30, 40), 1);
    ASSERT_NE(w.GetGDC(), nullptr);
    EXPECT_EQ(w.GetGDC()->Width(), 30);
    EXPECT_EQ(w.GetGDC()->Height(), 40);
    Pump();
    w.draws = 0;
    RECT part{5, 6, 15, 16};
    w.InvalidateRect(&part, 0);
    EXPECT_EQ(w.draws, 1);
    EXPECT_EQ(w.lastDC, w.GetGDC()->GetSafeHdc());
    EXPECT_EQ(w.lastClip.left, 5);
    EXPECT_EQ(w.lastClip.bottom, 16);
    EXPECT_EQ(w.GetGDC()->GetGDib()->GetPixelColor(5, 6), RGB(0, 255, 0));
    // The first full paint filled the rest; the partial one left it as it was.
    w.color = RGB(0, 0, 255);
    w.InvalidateRect(&part, 0);
    EXPECT_EQ(w.GetGDC()->GetGDib()->GetPixelColor(4, 6), RGB(0, 255, 0));
    EXPECT_EQ(ScreenPixel(15, 26), RGB(0, 0, 255));
    EXPECT_EQ(ScreenPixel(14, 26), RGB(0, 255, 0));
}

TEST_F(WinzaWindow, MoveAndSizeRefreshClientAndBackBuffer) {
    LoggingWinza w;
    w.SetDoubleBuffer(1);
    ASSERT_EQ(w.Create(nullptr, u"t", WS_POPUP | WS_VISIBLE, 0, 0, 30, 40), 1);
    GDib* before = w.GetGDC()->GetGDib();
    ::MoveWindow(w.GetSafeHwnd(), 50, 60, 30, 40, TRUE);
    EXPECT_EQ(w.GetGDC()->GetGDib(), before); // same size keeps the bitmap
    ::MoveWindow(w.GetSafeHwnd(), 50, 60, 70, 20, TRUE);
    EXPECT_EQ(w.Width(), 70);
    EXPECT_EQ(w.Height(), 20);
    EXPECT_EQ(w.GetGDC()->Width(), 70);
    EXPECT_EQ(w.GetGDC()->Height(), 20);
    EXPECT_GE(w.Count(WM_MOVE), 2);
}

TEST_F(WinzaWindow, CoordinateConversionsCoverPointsPairsAndRects) {
    LoggingWinza w;
    ASSERT_EQ(w.Create(nullptr, u"t", WS_POPUP, 10, 20, 30, 40), 1);
    int x = 1, y = 2;
    EXPECT_EQ(w.ClientToScreen(&x, &y), 1);
    EXPECT_EQ(x, 11);
    EXPECT_EQ(y, 22);
    RECT rc{0, 0, 5, 5};
    EXPECT_EQ(w.ClientToScreen(&rc), 1);
    EXPECT_EQ(rc.left, 10);
    EXPECT_EQ(rc.bottom, 25);
    EXPECT_EQ(w.ScreenToClient(&rc), 1);
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.right, 5);
}

TEST_F(WinzaWindow, CloseSendsCloseAndDestructorDestroysLiveWindow) {
    HWND h = nullptr;
    {
        LoggingWinza w;
        ASSERT_EQ(w.Create(nullptr, u"t", WS_POPUP, 0, 0, 10, 10), 1);
        h = w.GetSafeHwnd();
        w.Close(); // default handling destroys the window
        EXPECT_EQ(w.Count(WM_CLOSE), 1);
        EXPECT_FALSE(::IsWindow(h));
        ASSERT_EQ(w.Create(nullptr, u"t", WS_POPUP, 0, 0, 10, 10), 1);
        h = w.GetSafeHwnd();
    }
    EXPECT_FALSE(::IsWindow(h));
}

} // namespace
