// Focus and activation: the messages on each change, and where the focus goes when its
// window goes.
#include "window_test_support.h"

namespace {

using FocusTest = WindowTest;

TEST_F(FocusTest, MovingTheFocusTellsBothWindows) {
    HWND top = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND a = Make(WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, top);
    HWND b = Make(WS_CHILD | WS_VISIBLE, 20, 0, 10, 10, top);
    SetFocus(a);
    log.clear();
    EXPECT_EQ(SetFocus(b), a);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].hwnd, a);
    EXPECT_EQ(log[0].msg, static_cast<UINT>(WM_KILLFOCUS));
    EXPECT_EQ(log[0].wParam, reinterpret_cast<WPARAM>(b));
    EXPECT_EQ(log[1].hwnd, b);
    EXPECT_EQ(log[1].msg, static_cast<UINT>(WM_SETFOCUS));
    EXPECT_EQ(log[1].wParam, reinterpret_cast<WPARAM>(a));
    log.clear();
    SetFocus(b);
    EXPECT_TRUE(log.empty()) << "no messages when nothing changes";
}

TEST_F(FocusTest, FocusOnAnotherTopLevelWindowActivatesIt) {
    HWND one = Make(WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
    HWND two = Make(WS_POPUP | WS_VISIBLE, 60, 0, 50, 50);
    HWND child = Make(WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, one);
    EXPECT_EQ(GetActiveWindow(), two);
    log.clear();
    SetFocus(child);
    EXPECT_EQ(GetActiveWindow(), one);
    EXPECT_EQ(GetFocus(), child);
    const LoggedMsg* deact = nullptr;
    for (const LoggedMsg& m : log)
        if (m.hwnd == two && m.msg == WM_ACTIVATE)
            deact = &m;
    ASSERT_TRUE(deact);
    EXPECT_EQ(LOWORD(deact->wParam), WA_INACTIVE);
    EXPECT_EQ(Count(one, WM_SETFOCUS), 0) << "the window on the way does not take the focus";
    EXPECT_EQ(Count(child, WM_SETFOCUS), 1);
}

TEST_F(FocusTest, DestroyingTheFocusHandsItToTheParent) {
    HWND top = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND child = Make(WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, top);
    SetFocus(child);
    DestroyWindow(child);
    EXPECT_EQ(GetFocus(), top);
}

TEST_F(FocusTest, HidingTheActiveWindowActivatesTheNext) {
    HWND one = Make(WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
    HWND two = Make(WS_POPUP | WS_VISIBLE, 60, 0, 50, 50);
    EXPECT_EQ(GetActiveWindow(), two);
    ShowWindow(two, SW_HIDE);
    EXPECT_EQ(GetActiveWindow(), one);
    EXPECT_EQ(GetFocus(), one);
    DestroyWindow(one);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(FocusTest, TappingAWindowActivatesIt) {
    HWND one = Make(WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
    HWND two = Make(WS_POPUP | WS_VISIBLE, 60, 0, 50, 50);
    Pump();
    EXPECT_EQ(GetForegroundWindow(), two);
    plat::InputStylusDown(10, 10);
    plat::InputStylusUp(10, 10);
    Pump();
    EXPECT_EQ(GetForegroundWindow(), one);
    HWND bar = Make(WS_POPUP | WS_VISIBLE, 0, 100, 50, 50, nullptr, WS_EX_NOACTIVATE);
    Pump();
    plat::InputStylusDown(10, 110);
    Pump();
    EXPECT_EQ(GetForegroundWindow(), one) << "a no-activate window leaves activation alone";
    EXPECT_EQ(Count(bar, WM_LBUTTONDOWN), 1);
    plat::InputStylusUp(10, 110);
    Pump();
}

TEST_F(FocusTest, ShowWithoutActivation) {
    HWND one = Make(WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
    HWND two = Make(WS_POPUP, 60, 0, 50, 50);
    ShowWindow(two, SW_SHOWNA);
    EXPECT_EQ(GetActiveWindow(), one);
    EXPECT_TRUE(IsWindowVisible(two));
    SetForegroundWindow(two);
    EXPECT_EQ(GetForegroundWindow(), two);
}

} // namespace
