// The menu bar holds nothing yet: it is a bar window of its own class whose operations all
// succeed and whose pen handlers and drawing do nothing.
#include "winza/GMenuBar.h"

#include "winza_test_support.h"

namespace {

using GMenuBarTest = WinzaTest;

TEST_F(GMenuBarTest, IsABarOfItsOwnClassWhoseOperationsSucceed) {
    LoggingWinza view;
    ASSERT_TRUE(view.Create(nullptr, u"view", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320));
    GMenuBar bar;
    EXPECT_EQ(bar.CreateMenuBar(), 1);
    EXPECT_EQ(bar.GetSafeHwnd(), nullptr); // it makes no window by itself
    EXPECT_EQ(bar.LoadMenuW(nullptr, 100u), 1);
    EXPECT_EQ(bar.LoadMenuW(nullptr, u"menu"), 1);
    bar.RemoveAllButton();
    EXPECT_EQ(bar.GetButtonCount(), 0);
    ASSERT_TRUE(bar.CreateBar(view.GetSafeHwnd(), &view, RECT{0, 290, 240, 320}, eGBarHorizontal));
    WCHAR name[32] = {};
    ::GetClassNameW(bar.GetSafeHwnd(), name, 32);
    EXPECT_EQ(std::u16string(name), u"GMenuBar");
    EXPECT_EQ(bar.GetOwner(), &view);
}

TEST_F(GMenuBarTest, PenMessagesAreNotTakenAndNothingIsDrawn) {
    LoggingWinza view;
    ASSERT_TRUE(view.Create(nullptr, u"view", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320));
    GBar plain;
    GMenuBar bar;
    ASSERT_TRUE(plain.CreateBar(view.GetSafeHwnd(), &view, RECT{0, 0, 240, 30}, eGBarHorizontal));
    ASSERT_TRUE(bar.CreateBar(view.GetSafeHwnd(), &view, RECT{0, 290, 240, 320}, eGBarHorizontal));
    const LPARAM inside = MAKELPARAM(10, 10);
    // A plain bar reports a pen point inside it; the menu bar takes none.
    EXPECT_EQ(::SendMessageW(plain.GetSafeHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, inside), 1);
    for (UINT msg : {WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP})
        EXPECT_EQ(::SendMessageW(bar.GetSafeHwnd(), msg, 0, inside), 0) << msg;
    // Drawing into a marked bitmap leaves every pixel as it was.
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 240, 30);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    RECT all{0, 0, 240, 30};
    HBRUSH mark = ::CreateSolidBrush(RGB(1, 2, 3));
    ::FillRect(dc, &all, mark);
    ::DeleteObject(mark);
    bar.Draw(dc, all);
    int changed = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 240; ++x)
            changed += ::GetPixel(dc, x, y) != RGB(1, 2, 3);
    EXPECT_EQ(changed, 0);
    plain.Draw(dc, all);
    EXPECT_NE(::GetPixel(dc, 120, 15), RGB(1, 2, 3)); // the plain bar does paint
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
}

} // namespace
