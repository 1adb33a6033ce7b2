// Pop-up menus: choice by stylus and keys, dismissal, alignment on the screen, disabled
// items, submenus and what the menu draws. The test drives a running menu from the owner's
// WM_ENTERIDLE, which comes each time the menu has handled all input and painted.
#include "window_test_support.h"

#include <functional>

namespace {

class MenuTest : public WindowTest {
public:
    HWND owner = nullptr;
    HMENU menu = nullptr;
    std::vector<std::function<void(HWND)>> steps;
    size_t nextStep = 0;
    std::vector<RECT> shown; // each menu window's rectangle as the first step saw it

    void SetUp() override {
        WindowTest::SetUp();
        owner = Make(WS_POPUP | WS_VISIBLE, 0, 0, 240, 320);
        SetFocus(owner);
        handlers[owner] = [this](HWND, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT*) {
            if (msg == WM_ENTERIDLE && wParam == MSGF_MENU) {
                auto front = reinterpret_cast<HWND>(lParam);
                EXPECT_EQ(front, FindWindowW(u"#32768", nullptr));
                if (nextStep < steps.size()) {
                    RECT rc{};
                    GetWindowRect(front, &rc);
                    shown.push_back(rc);
                    steps[nextStep++](front);
                } else {
                    // Nothing planned is left: the test failed to end the menu; end it.
                    ADD_FAILURE() << "menu still open after the last step";
                    EndMenu();
                }
            }
            return false;
        };
        Pump();
        menu = CreatePopupMenu();
    }

    void TearDown() override {
        if (IsMenu(menu))
            DestroyMenu(menu);
        WindowTest::TearDown();
    }

    static void Tap(int x, int y) {
        plat::InputStylusDown(x, y);
        plat::InputStylusUp(x, y);
    }
    static void Press(int vk) {
        plat::InputKey(vk, true);
        plat::InputKey(vk, false);
    }
    // The centre of row i of a menu whose rows are all the same height.
    static POINT Row(HWND wnd, int i, int rows) {
        RECT rc;
        GetWindowRect(wnd, &rc);
        int h = (rc.bottom - rc.top - 2) / rows;
        return POINT{(rc.left + rc.right) / 2, rc.top + 1 + h * i + h / 2};
    }
    int Commands(WPARAM* last = nullptr) const {
        int n = 0;
        for (const LoggedMsg& m : log)
            if (m.hwnd == owner && m.msg == WM_COMMAND) {
                ++n;
                if (last)
                    *last = m.wParam;
            }
        return n;
    }
    void AddThree() {
        AppendMenuW(menu, MF_STRING, 101, u"One");
        AppendMenuW(menu, MF_STRING, 102, u"Two");
        AppendMenuW(menu, MF_STRING, 103, u"Three");
    }
};

TEST_F(MenuTest, StylusTapChoosesAndTheOwnerGetsTheCommand) {
    AddThree();
    steps.push_back([](HWND m) {
        POINT p = Row(m, 1, 3);
        Tap(p.x, p.y);
    });
    log.clear();
    EXPECT_TRUE(TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN, 20, 30, 0, owner, nullptr));
    EXPECT_EQ(FindWindowW(u"#32768", nullptr), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    Pump();
    WPARAM cmd = 0;
    EXPECT_EQ(Commands(&cmd), 1);
    EXPECT_EQ(LOWORD(cmd), 102);
    // The tap went to the menu, not to the window below it.
    EXPECT_EQ(Count(owner, WM_LBUTTONDOWN), 0);
}

TEST_F(MenuTest, ReturnCmdGivesTheIdWithoutNotifying) {
    AddThree();
    steps.push_back([](HWND m) {
        POINT p = Row(m, 2, 3);
        Tap(p.x, p.y);
    });
    log.clear();
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, 20, 30, 0, owner, nullptr), 103);
    Pump();
    EXPECT_EQ(Commands(), 0);
}

TEST_F(MenuTest, DragFromThePressChoosesWhereThePenIsLifted) {
    AddThree();
    // Tap-and-hold opens a menu under the pen: the lift where the pen went chooses.
    steps.push_back([](HWND m) {
        POINT p = Row(m, 2, 3);
        plat::InputStylusMove(p.x, p.y);
        plat::InputStylusUp(p.x, p.y);
    });
    plat::InputStylusDown(15, 25); // the press that opened the menu, outside it
    Pump();
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 20, 30, 0, owner, nullptr), 103);
    // A lift without a press in the menu and without a drag onto an item does nothing.
    nextStep = 0;
    steps = {[](HWND m) {
                 POINT p = Row(m, 0, 3);
                 plat::InputStylusUp(p.x, p.y);
             },
             [](HWND) { Press(VK_ESCAPE); }};
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 20, 30, 0, owner, nullptr), 0);
}

TEST_F(MenuTest, KeysMoveSkipDisabledAndSeparatorsAndChoose) {
    AppendMenuW(menu, MF_STRING, 1, u"First");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING | MF_GRAYED, 2, u"Grey");
    AppendMenuW(menu, MF_STRING, 3, u"Last");
    steps.push_back([](HWND) {
        Press(VK_DOWN);
        Press(VK_DOWN);
        Press(VK_RETURN);
    });
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 10, 10, 0, owner, nullptr), 3);
    // Down wraps round; Up from nothing starts at the last.
    nextStep = 0;
    steps = {[](HWND) {
        Press(VK_UP);
        Press(VK_DOWN);
        Press(VK_RETURN);
    }};
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 10, 10, 0, owner, nullptr), 1);
    nextStep = 0;
    steps = {[](HWND) { Press(VK_ESCAPE); }};
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 10, 10, 0, owner, nullptr), 0);
    // Return with nothing highlighted chooses nothing.
    nextStep = 0;
    steps = {[](HWND) { Press(VK_RETURN); }, [](HWND) { Press(VK_ESCAPE); }};
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 10, 10, 0, owner, nullptr), 0);
}

TEST_F(MenuTest, DisabledItemsCannotBeTapped) {
    AppendMenuW(menu, MF_STRING, 1, u"On");
    AppendMenuW(menu, MF_STRING | MF_GRAYED, 2, u"Off");
    steps.push_back([](HWND m) {
        POINT p = Row(m, 1, 2);
        Tap(p.x, p.y);
    });
    steps.push_back([](HWND m) {
        EXPECT_NE(m, nullptr); // still open
        Press(VK_ESCAPE);
    });
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 10, 10, 0, owner, nullptr), 0);
    EXPECT_EQ(EnableMenuItem(menu, 2, MF_ENABLED), MF_GRAYED);
    nextStep = 0;
    steps = {[](HWND m) {
        POINT p = Row(m, 1, 2);
        Tap(p.x, p.y);
    }};
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 10, 10, 0, owner, nullptr), 2);
}

TEST_F(MenuTest, TapOutsideClosesWithNothing) {
    AddThree();
    steps.push_back([](HWND) { Tap(230, 310); });
    log.clear();
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 10, 10, 0, owner, nullptr), 0);
    Pump();
    EXPECT_EQ(Count(owner, WM_LBUTTONDOWN), 0);
    EXPECT_EQ(Commands(), 0);
}

TEST_F(MenuTest, AlignmentFlagsPlaceTheMenuAndItStaysOnScreen) {
    AddThree();
    auto place = [&](UINT flags, int x, int y) {
        nextStep = 0;
        shown.clear();
        steps = {[](HWND) { Press(VK_ESCAPE); }};
        TrackPopupMenu(menu, flags | TPM_RETURNCMD, x, y, 0, owner, nullptr);
        return shown.empty() ? RECT{} : shown[0];
    };
    RECT lt = place(TPM_LEFTALIGN | TPM_TOPALIGN, 120, 160);
    int w = lt.right - lt.left, h = lt.bottom - lt.top;
    ASSERT_GT(w, 0);
    ASSERT_GT(h, 0);
    EXPECT_EQ(lt.left, 120);
    EXPECT_EQ(lt.top, 160);
    RECT rb = place(TPM_RIGHTALIGN | TPM_BOTTOMALIGN, 120, 160);
    EXPECT_EQ(rb.right, 120);
    EXPECT_EQ(rb.bottom, 160);
    RECT cc = place(TPM_CENTERALIGN | TPM_VCENTERALIGN, 120, 160);
    EXPECT_EQ(cc.left, 120 - w / 2);
    EXPECT_EQ(cc.top, 160 - h / 2);
    EXPECT_EQ(cc.right - cc.left, w);
    // Near the edges it moves back onto the screen, keeping its size.
    RECT edge = place(TPM_LEFTALIGN | TPM_TOPALIGN, 235, 315);
    EXPECT_EQ(edge.right, 240);
    EXPECT_EQ(edge.bottom, 320);
    EXPECT_EQ(edge.right - edge.left, w);
    RECT corner = place(TPM_RIGHTALIGN | TPM_BOTTOMALIGN, 3, 4);
    EXPECT_EQ(corner.left, 0);
    EXPECT_EQ(corner.top, 0);
}

TEST_F(MenuTest, SubmenusOpenByStylusAndByKeys) {
    HMENU sub = CreatePopupMenu();
    AppendMenuW(sub, MF_STRING, 201, u"Inner A");
    AppendMenuW(sub, MF_STRING, 202, u"Inner B");
    AppendMenuW(menu, MF_STRING, 101, u"Plain");
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), u"More");
    EXPECT_EQ(GetSubMenu(menu, 1), sub);
    HWND top = nullptr;
    steps.push_back([&](HWND m) {
        top = m;
        POINT p = Row(m, 1, 2);
        Tap(p.x, p.y); // opens the submenu, chooses nothing
    });
    steps.push_back([&](HWND m) {
        EXPECT_NE(m, top); // the submenu is in front
        RECT s, t;
        GetWindowRect(m, &s);
        GetWindowRect(top, &t);
        EXPECT_GE(s.left, t.right - 2); // to the right of its item
        POINT p = Row(m, 1, 2);
        Tap(p.x, p.y);
    });
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 10, 10, 0, owner, nullptr), 202);
    EXPECT_EQ(FindWindowW(u"#32768", nullptr), nullptr);
    nextStep = 0;
    steps = {[](HWND) {
        Press(VK_DOWN);
        Press(VK_DOWN);
        Press(VK_RIGHT);  // opens "More" with its first item lit
        Press(VK_LEFT);   // and closes it again
        Press(VK_RETURN); // opens it once more
        Press(VK_DOWN);
        Press(VK_RETURN);
    }};
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 10, 10, 0, owner, nullptr), 202);
    // Escape closes one level at a time.
    nextStep = 0;
    steps = {[](HWND) {
        Press(VK_DOWN);
        Press(VK_DOWN);
        Press(VK_RIGHT);
        Press(VK_ESCAPE);
        Press(VK_UP);
        Press(VK_RETURN);
    }};
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 10, 10, 0, owner, nullptr), 101);
    // A menu at the right edge opens its submenu to its left.
    nextStep = 0;
    steps = {[&](HWND m) {
                 top = m;
                 Press(VK_DOWN);
                 Press(VK_DOWN);
                 Press(VK_RIGHT);
             },
             [&](HWND m) {
                 RECT s, t;
                 GetWindowRect(m, &s);
                 GetWindowRect(top, &t);
                 EXPECT_LE(s.right, t.left + 2);
                 Press(VK_ESCAPE);
                 Press(VK_ESCAPE);
             }};
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTALIGN, 240, 10, 0, owner, nullptr), 0);
    // The submenu goes with its parent.
    DestroyMenu(menu);
    EXPECT_FALSE(IsMenu(sub));
}

TEST_F(MenuTest, ChecksRadioDotsAndEnabledStates) {
    AppendMenuW(menu, MF_STRING | MF_CHECKED, 1, u"Check");
    AppendMenuW(menu, MF_STRING, 11, u"Red");
    AppendMenuW(menu, MF_STRING, 12, u"Green");
    AppendMenuW(menu, MF_STRING, 13, u"Blue");
    EXPECT_EQ(CheckMenuItem(menu, 1, MF_UNCHECKED), static_cast<DWORD>(MF_CHECKED));
    EXPECT_EQ(CheckMenuItem(menu, 1, MF_CHECKED), static_cast<DWORD>(MF_UNCHECKED));
    EXPECT_EQ(CheckMenuItem(menu, 99, MF_CHECKED), 0xFFFFFFFFu);
    EXPECT_TRUE(CheckMenuRadioItem(menu, 11, 13, 12, MF_BYCOMMAND));
    EXPECT_EQ(GetMenuState(menu, 11, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_NE(GetMenuState(menu, 12, MF_BYCOMMAND) & MFT_RADIOCHECK, 0u);
    EXPECT_TRUE(CheckMenuRadioItem(menu, 1, 3, 3, MF_BYPOSITION));
    EXPECT_EQ(GetMenuState(menu, 12, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_NE(GetMenuState(menu, 3, MF_BYPOSITION) & MF_CHECKED, 0u);
    EXPECT_FALSE(CheckMenuRadioItem(menu, 11, 13, 14, MF_BYCOMMAND));
    EXPECT_EQ(EnableMenuItem(menu, 11, MF_GRAYED), MF_ENABLED);
    EXPECT_EQ(EnableMenuItem(menu, 11, MF_ENABLED), MF_GRAYED);
    EXPECT_EQ(EnableMenuItem(menu, 77, MF_GRAYED), -1);
    EXPECT_EQ(GetMenuItemCount(menu), 4);
    EXPECT_EQ(GetMenuItemID(menu, 2), 12u);
    EXPECT_TRUE(DeleteMenu(menu, 12, MF_BYCOMMAND));
    EXPECT_EQ(GetMenuItemCount(menu), 3);
    EXPECT_TRUE(InsertMenuW(menu, 13, MF_BYCOMMAND | MF_STRING, 12, u"Green"));
    EXPECT_EQ(GetMenuItemID(menu, 2), 12u);
}

TEST_F(MenuTest, DrawsAWhiteBoxWithMarksAndTheHighlight) {
    AppendMenuW(menu, MF_STRING | MF_CHECKED, 1, u"Checked");
    AppendMenuW(menu, MF_STRING, 2, u"Radio");
    AppendMenuW(menu, MF_STRING, 3, u"Plain");
    CheckMenuRadioItem(menu, 2, 2, 2, MF_BYCOMMAND);
    auto darkIn = [](int l, int t, int r, int b) {
        int n = 0;
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x)
                n += GetRValue(ScreenPixel(x, y)) < 128 ? 1 : 0;
        return n;
    };
    COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    steps.push_back([&](HWND m) {
        RECT rc;
        GetWindowRect(m, &rc);
        int h = (rc.bottom - rc.top - 2) / 3;
        EXPECT_EQ(ScreenPixel(rc.left, rc.top), RGB(0, 0, 0));
        EXPECT_EQ(ScreenPixel(rc.right - 1, rc.bottom - 1), RGB(0, 0, 0));
        EXPECT_EQ(ScreenPixel(rc.right - 4, rc.top + 3), RGB(255, 255, 255));
        // Marks in the left column of the first two rows, none in the third.
        EXPECT_GT(darkIn(rc.left + 2, rc.top + 2, rc.left + 15, rc.top + h), 2);
        EXPECT_GT(darkIn(rc.left + 2, rc.top + 1 + h, rc.left + 15, rc.top + 1 + 2 * h), 4);
        EXPECT_EQ(darkIn(rc.left + 2, rc.top + 1 + 2 * h, rc.left + 15, rc.top + 1 + 3 * h), 0);
        EXPECT_EQ(ScreenPixel(rc.right - 4, rc.top + 1 + 2 * h + 1), RGB(255, 255, 255));
        Press(VK_UP); // lights the last row
    });
    steps.push_back([&](HWND m) {
        RECT rc;
        GetWindowRect(m, &rc);
        int h = (rc.bottom - rc.top - 2) / 3;
        EXPECT_EQ(ScreenPixel(rc.right - 4, rc.top + 1 + 2 * h + 1), highlight);
        EXPECT_EQ(ScreenPixel(rc.right - 4, rc.top + 3), RGB(255, 255, 255));
        Press(VK_ESCAPE);
    });
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 20, 20, 0, owner, nullptr), 0);
    // What the menu covered is painted again by the window below.
    Pump();
    EXPECT_EQ(ScreenPixel(21, 21), RGB(255, 255, 255));
}

TEST_F(MenuTest, BadArgumentsFailAndQuitEndsTheMenu) {
    AddThree();
    EXPECT_FALSE(TrackPopupMenu(nullptr, 0, 0, 0, 0, owner, nullptr));
    EXPECT_FALSE(TrackPopupMenu(menu, 0, 0, 0, 0, nullptr, nullptr));
    EXPECT_FALSE(AppendMenuW(menu, MF_POPUP, 12345, u"no such submenu"));
    steps.push_back([](HWND) { PostQuitMessage(5); });
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 10, 10, 0, owner, nullptr), 0);
    // The quit is handed on to the outer loop.
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 5u);
}

} // namespace
