// The shell's pieces: the task bar window with its clock, SHFullScreen, and the beep.
#include "window_test_support.h"

namespace {

using ShellTest = WindowTest;

TEST_F(ShellTest, TaskBarSitsOnTopAndShowsTheTime) {
    HWND bar = plat::CreateTaskbar();
    ASSERT_TRUE(bar);
    EXPECT_EQ(plat::CreateTaskbar(), bar) << "there is only one";
    EXPECT_EQ(FindWindowW(u"HHTaskbar", nullptr), bar);
    RECT rc;
    GetWindowRect(bar, &rc);
    EXPECT_EQ(rc.top, 0);
    EXPECT_EQ(rc.right, 240);
    EXPECT_EQ(rc.bottom, 26);
    HWND app = Make(WS_POPUP | WS_VISIBLE, 0, 0, 240, 320);
    EXPECT_EQ(GetActiveWindow(), app) << "the bar never takes activation";
    EXPECT_EQ(WindowFromPoint(POINT{10, 10}), bar);
    Pump();
    // 00:00 on the virtual clock: the digits are white on the bar's blue.
    int white = 0;
    for (int y = 0; y < 26; ++y)
        for (int x = 180; x < 240; ++x)
            white += ScreenPixel(x, y) == RGB(255, 255, 255);
    EXPECT_GT(white, 20);
    EXPECT_EQ(ScreenPixel(2, 2), RGB(0, 40, 120));
    DestroyWindow(bar);
}

TEST_F(ShellTest, ClockRedrawsOnTheMinute) {
    HWND bar = plat::CreateTaskbar();
    Pump();
    auto digits = [] {
        std::vector<COLORREF> px;
        for (int y = 0; y < 26; ++y)
            for (int x = 180; x < 240; ++x)
                px.push_back(ScreenPixel(x, y));
        return px;
    };
    std::vector<COLORREF> before = digits();
    clock.Advance(59 * 1000);
    Pump();
    EXPECT_EQ(digits(), before);
    clock.Advance(1000);
    Pump();
    EXPECT_NE(digits(), before) << "00:00 became 00:01";
    DestroyWindow(bar);
}

TEST_F(ShellTest, FullScreenHidesAndShowsTheBar) {
    HWND bar = plat::CreateTaskbar();
    HWND app = Make(WS_POPUP | WS_VISIBLE, 0, 0, 240, 320);
    EXPECT_TRUE(SHFullScreen(app, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON));
    EXPECT_FALSE(IsWindowVisible(bar));
    EXPECT_FALSE(plat::IsSipButtonShown());
    EXPECT_EQ(WindowFromPoint(POINT{10, 10}), app);
    EXPECT_TRUE(SHFullScreen(app, SHFS_SHOWTASKBAR | SHFS_SHOWSIPBUTTON));
    EXPECT_TRUE(IsWindowVisible(bar));
    EXPECT_TRUE(plat::IsSipButtonShown());
    EXPECT_FALSE(SHFullScreen(nullptr, SHFS_HIDETASKBAR));
    DestroyWindow(bar);
}

TEST_F(ShellTest, BeepsAreCounted) {
    int before = plat::BeepCount();
    MessageBeep(MB_OK);
    EXPECT_EQ(plat::BeepCount(), before + 1);
}

} // namespace
