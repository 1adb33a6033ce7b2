#include "winza/WinzaUtil.h"

#include "winza_test_support.h"

#include <platform/display.h>

namespace {

using PreTranslate = WinzaTest;

TEST_F(PreTranslate, TopLevelToolkitWindowIsItsOwnObject) {
    LoggingWinza top;
    ASSERT_EQ(top.Create(nullptr, u"t", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100), 1);
    EXPECT_EQ(GetPreTranslateWindow(top.GetSafeHwnd()), &top);
    EXPECT_EQ(GetPreTranslateWindow(&top), &top);
}

TEST_F(PreTranslate, ChildControlGivesItsNearestAncestorObject) {
    LoggingWinza top;
    ASSERT_EQ(top.Create(nullptr, u"t", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100), 1);
    LoggingWinza view;
    ASSERT_EQ(view.Create(top, u"v", WS_CHILD | WS_VISIBLE, 0, 0, 80, 80), 1);
    LoggingWinza control;
    ASSERT_EQ(control.Create(view, u"c", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20), 1);
    EXPECT_EQ(GetPreTranslateWindow(control.GetSafeHwnd()), &view);
    EXPECT_EQ(GetPreTranslateWindow(&control), &view);
    EXPECT_EQ(GetPreTranslateWindow(&view), &top);
}

TEST_F(PreTranslate, PlainWindowsBetweenAreSkippedUpToTheTopLevel) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = u"PlainForeign";
    ::RegisterClassW(&wc);
    LoggingWinza top;
    ASSERT_EQ(top.Create(nullptr, u"t", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100), 1);
    HWND plain = ::CreateWindowExW(0, u"PlainForeign", u"p", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50,
                                   top, nullptr, nullptr, nullptr);
    LoggingWinza control;
    ASSERT_EQ(control.Create(plain, u"c", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20), 1);
    EXPECT_EQ(GetPreTranslateWindow(&control), &top);

    // A foreign top level ends the search with nothing.
    HWND foreign = ::CreateWindowExW(0, u"PlainForeign", u"f", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                     nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(GetPreTranslateWindow(foreign), nullptr);
    LoggingWinza orphan;
    ASSERT_EQ(orphan.Create(foreign, u"o", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20), 1);
    EXPECT_EQ(GetPreTranslateWindow(&orphan), nullptr);
    ::DestroyWindow(foreign);
    ::DestroyWindow(plain);
    ::UnregisterClassW(u"PlainForeign", nullptr);
}

TEST_F(PreTranslate, NullAndDeadWindowsGiveNull) {
    EXPECT_EQ(GetPreTranslateWindow(static_cast<HWND>(nullptr)), nullptr);
    EXPECT_EQ(GetPreTranslateWindow(static_cast<Winza*>(nullptr)), nullptr);
    LoggingWinza w;
    EXPECT_EQ(GetPreTranslateWindow(&w), nullptr);
    ASSERT_EQ(w.Create(nullptr, u"t", WS_POPUP, 0, 0, 10, 10), 1);
    HWND h = w.GetSafeHwnd();
    w.Destroy();
    EXPECT_EQ(GetPreTranslateWindow(h), nullptr);
}

using KeyState = WinzaTest;

TEST_F(KeyState, AnyNavigationKeyHeldMakesItInvalid) {
    EXPECT_EQ(GetValidKeyState(), 1);
    const int keys[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_RETURN, VK_ESCAPE};
    for (int vk : keys) {
        plat::InputKey(vk, true);
        Pump();
        EXPECT_EQ(GetValidKeyState(), 0) << vk;
        plat::InputKey(vk, false);
        Pump();
        EXPECT_EQ(GetValidKeyState(), 1) << vk;
    }
    plat::InputKey(VK_SPACE, true);
    Pump();
    EXPECT_EQ(GetValidKeyState(), 1);
    plat::InputKey(VK_SPACE, false);
    Pump();
}

using SipButton = WinzaTest;

TEST_F(SipButton, ShowAndHideReachTheShell) {
    LoggingWinza w;
    ASSERT_EQ(w.Create(nullptr, u"t", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10), 1);
    ShowSIPButton(w, nullptr);
    EXPECT_TRUE(plat::IsSipButtonShown());
    HideSIPButton(w);
    EXPECT_FALSE(plat::IsSipButtonShown());
}

} // namespace
