// Tracking a pop-up menu: choices by the pen and the keys, taps outside, submenus opened by a
// tap, by a 500 ms hover and by Right, the key held at opening, and the loop's manners.
#include "GMenu_test_support.h"

namespace {

class GMenuTrackTest : public GMenuTest {
protected:
    // "One" 101, "More" opening sub ("Sub A" 201, "Sub B" 202), "Three" 103.
    void MakeWithSub(GMenu& menu, GMenu& sub) {
        ASSERT_TRUE(MakeMenu(menu));
        ASSERT_TRUE(MakeMenu(sub));
        sub.AppendMenuW(201, u"Sub A");
        sub.AppendMenuW(202, u"Sub B");
        menu.AppendMenuW(101, u"One");
        ASSERT_NE(menu.AppendMenuW(&sub, u"More"), nullptr);
        menu.AppendMenuW(103, u"Three");
    }
    // Where the submenu of item i stands when the parent's top-left is at (x, y) and nothing
    // has to move.
    POINT SubAnchor(GMenu& menu, int x, int y, int i) {
        Measure(menu);
        const RECT rc = menu.GetMenuItem(i, 1)->GetRect();
        return POINT{x + rc.right - ApplyHires(3), y + rc.top - ApplyHires(1)};
    }
};

TEST_F(GMenuTrackTest, TapOnAnItemChoosesItAndTheOwnerGetsNothing) {
    ProbeMenu menu(&clock);
    ASSERT_TRUE(MakeMenu(menu));
    AddFour(menu);
    Script(Tap(ItemAt(menu, 30, 40, 1)));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 30, 40, 0), 102);
    EXPECT_FALSE(menu.IsWindowVisible());
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(menu.GetCurIndex(), -1);
    EXPECT_FALSE(menu.GetMenuItem(1, 1)->IsHighlighted());
    EXPECT_TRUE(owner.pens.empty());
    EXPECT_EQ(owner.closeRequests, 0);
    // What the menu covered is the owner's page again.
    Pump();
    EXPECT_EQ(ScreenPixel(35, 45), RGB(0xE8, 0xF0, 0xF8));
}

TEST_F(GMenuTrackTest, TapOutsideClosesAndTheTapReachesTheOwnerInItsCoordinates) {
    ProbeMenu menu(&clock);
    ASSERT_TRUE(MakeMenu(menu));
    AddFour(menu);
    Script(Tap(POINT{200, 300}));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 30, 40, 0), -1);
    EXPECT_FALSE(menu.IsWindowVisible());
    ASSERT_EQ(owner.Count(WM_LBUTTONDOWN), 1);
    EXPECT_EQ(owner.pens[0].msg, static_cast<UINT>(WM_LBUTTONDOWN));
    EXPECT_EQ(owner.pens[0].pt.x, 200 - kOwnerX);
    EXPECT_EQ(owner.pens[0].pt.y, 300 - kOwnerY);
    EXPECT_EQ(owner.closeRequests, 0);
}

TEST_F(GMenuTrackTest, TapOnTheMenuFrameOutsideTheItemsKeepsItOpen) {
    ProbeMenu menu(&clock);
    ASSERT_TRUE(MakeMenu(menu));
    AddFour(menu);
    // The top margin above the first item belongs to the menu, not to the window beneath.
    Script(Tap(POINT{45, 41}) + Tap(ItemAt(menu, 30, 40, 3)));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 30, 40, 0), 103);
    EXPECT_TRUE(owner.pens.empty());
}

TEST_F(GMenuTrackTest, EscapeClosesWithoutAChoiceAndForwardsNothing) {
    ProbeMenu menu(&clock);
    ASSERT_TRUE(MakeMenu(menu));
    AddFour(menu);
    Script(Key("DOWN") + Key("ESCAPE"));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 30, 40, 0), -1);
    EXPECT_FALSE(menu.IsWindowVisible());
    EXPECT_TRUE(owner.pens.empty());
    EXPECT_EQ(owner.closeRequests, 0);
}

TEST_F(GMenuTrackTest, UpWrapsToTheLastItemAndDownSkipsSeparators) {
    ProbeMenu menu(&clock);
    ASSERT_TRUE(MakeMenu(menu));
    AddFour(menu); // 101, 102, separator, 103
    Script(Key("DOWN") + Key("UP") + Key("RETURN"));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 30, 40, 0), 103);
    Script(Key("DOWN") + Key("DOWN") + Key("DOWN") + Key("RETURN"));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 30, 40, 0), 103);
    Script(Key("DOWN") + Key("DOWN") + Key("DOWN") + Key("UP") + Key("RETURN"));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 30, 40, 0), 102);
    // Down from the last item wraps to the first; Up with nothing current takes the last.
    Script(Key("UP") + Key("DOWN") + Key("RETURN"));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 30, 40, 0), 101);
    // Return with nothing current closes without a choice.
    Script(Key("RETURN"));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 30, 40, 0), -1);
    EXPECT_EQ(owner.closeRequests, 0);
}

TEST_F(GMenuTrackTest, AKeyHeldWhenTheMenuOpensIsIgnoredUntilReleased) {
    ProbeMenu menu(&clock);
    ASSERT_TRUE(MakeMenu(menu));
    AddFour(menu);
    // Down is held as the menu opens (its key-down still waits in the queue). Its repeat
    // and the press are ignored until it comes up; only the next Down moves.
    plat::InputKey(VK_DOWN, true);
    Script(Key("DOWN") + Key("DOWN") + Key("RETURN"));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 30, 40, 0), 101);
    EXPECT_EQ(owner.closeRequests, 0);
}

TEST_F(GMenuTrackTest, DisabledItemsAreSkippedAndCannotBeChosen) {
    ProbeMenu menu(&clock);
    ASSERT_TRUE(MakeMenu(menu));
    AddFour(menu);
    ASSERT_TRUE(menu.EnableMenuItem(102, 0, 0));
    EXPECT_EQ(menu.IsEnableMenuItem(102, 0), 0);
    Script(Tap(ItemAt(menu, 30, 40, 1)) + Key("DOWN") + Key("DOWN") + Key("RETURN"));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 30, 40, 0), 103);
    EXPECT_TRUE(owner.pens.empty());
    ASSERT_TRUE(menu.EnableMenuItem(1, 1, 1));
    Script(Tap(ItemAt(menu, 30, 40, 1)));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 30, 40, 0), 102);
}

TEST_F(GMenuTrackTest, CheckedItemsStayCheckedAndAreChosenLikeOthers) {
    ProbeMenu menu(&clock);
    ASSERT_TRUE(MakeMenu(menu));
    AddFour(menu);
    ASSERT_TRUE(menu.CheckMenuItem(101, 1, 0));
    Script(Tap(ItemAt(menu, 30, 40, 0)));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 30, 40, 0), 101);
    EXPECT_EQ(menu.IsCheckMenuItem(0, 1), 1);
}

TEST_F(GMenuTrackTest, AnEmptyMenuShowsAFrameAndClosesWithMinusOne) {
    ProbeMenu menu(&clock);
    ASSERT_TRUE(MakeMenu(menu));
    Script(Key("DOWN") + Key("UP") + Tap(POINT{40, 42}) + Key("RETURN"));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 30, 40, 0), -1);
    const RECT rc = menu.WindowRect();
    EXPECT_EQ(rc.right - rc.left, 61);
    EXPECT_EQ(rc.bottom - rc.top, 6);
    EXPECT_TRUE(owner.pens.empty());
    Script(Tap(POINT{150, 150}));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 30, 40, 0), -1);
    EXPECT_EQ(owner.Count(WM_LBUTTONDOWN), 1);
    EXPECT_EQ(owner.closeRequests, 0);
}

TEST_F(GMenuTrackTest, WithoutAWindowOrAnOwnerTrackingEndsAtOnce) {
    GMenu lonely;
    lonely.AppendMenuW(1, u"x");
    EXPECT_EQ(lonely.TrackPopupGMenu(0, 10, 10, 0), -1);
    GMenu ownerless;
    ASSERT_TRUE(ownerless.CreateMenu(owner.GetSafeHwnd(), nullptr));
    ownerless.AppendMenuW(1, u"x");
    EXPECT_EQ(ownerless.TrackPopupGMenu(0, 10, 10, 0), -1);
    EXPECT_FALSE(ownerless.IsWindowVisible());
    EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(GMenuTrackTest, QuittingEndsTheMenuAndLeavesTheQuitForTheOuterLoop) {
    ProbeMenu menu(&clock);
    ASSERT_TRUE(MakeMenu(menu));
    AddFour(menu);
    Script("");
    ::PostQuitMessage(7);
    EXPECT_EQ(menu.TrackPopupGMenu(0, 30, 40, 0), -1);
    EXPECT_FALSE(menu.IsWindowVisible());
    MSG m{};
    ASSERT_TRUE(::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(m.wParam, 7u);
}

TEST_F(GMenuTrackTest, OtherWindowsKeepTheirTimersWhileTheMenuIsOpen) {
    ProbeMenu menu(&clock);
    ASSERT_TRUE(MakeMenu(menu));
    AddFour(menu);
    // Even ids the menu uses for itself belong to the window that set them.
    ::SetTimer(owner.GetSafeHwnd(), kGMenuOpenTimer, 100, nullptr);
    ::SetTimer(owner.GetSafeHwnd(), 77, 200, nullptr);
    const ULONGLONG start = clock.Now();
    Script(Wait(300) + Key("ESCAPE"));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 30, 40, 0), -1);
    EXPECT_EQ(clock.Now() - start, 300u);
    EXPECT_EQ(owner.timers, (std::vector<int>{static_cast<int>(kGMenuOpenTimer), 77}));
    EXPECT_EQ(owner.closeRequests, 0);
}

TEST_F(GMenuTrackTest, TheOwnerGoingAwayEndsTrackingInEveryMenu) {
    ProbeMenu menu(&clock), sub(&clock);
    MakeWithSub(menu, sub);
    owner.destroyOnTimer = 55;
    ::SetTimer(owner.GetSafeHwnd(), 55, 100, nullptr);
    Script(Key("DOWN") + Key("DOWN") + Key("RIGHT") + Wait(200) + Key("ESCAPE") + Key("ESCAPE"));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 20, 40, 0), -1);
    EXPECT_EQ(sub.shownAt.size(), 1u);
    // The menus were the owner's windows and went with it.
    EXPECT_EQ(menu.GetSafeHwnd(), nullptr);
    EXPECT_EQ(sub.GetSafeHwnd(), nullptr);
    EXPECT_EQ(menu.GetMenuItemCount(), 0);
    EXPECT_EQ(::GetCapture(), nullptr);
}

// ---- Submenus --------------------------------------------------------------------------------

TEST_F(GMenuTrackTest, TapOpensASubmenuBesideItsItemAndATapInsideChooses) {
    ProbeMenu menu(&clock), sub(&clock);
    MakeWithSub(menu, sub);
    const POINT anchor = SubAnchor(menu, 20, 40, 1);
    Script(Tap(ItemAt(menu, 20, 40, 1)) + Tap(ItemAt(sub, anchor.x, anchor.y, 1)));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 20, 40, 0), 202);
    ASSERT_EQ(sub.shownAt.size(), 1u);
    const RECT rc = sub.WindowRect();
    EXPECT_EQ(rc.left, anchor.x);
    EXPECT_EQ(rc.top, anchor.y);
    EXPECT_FALSE(sub.IsWindowVisible());
    EXPECT_FALSE(menu.IsWindowVisible());
    EXPECT_EQ(sub.GetParentMenu(), &menu);
    EXPECT_TRUE(owner.pens.empty());
}

TEST_F(GMenuTrackTest, TapOutsideBothMenusClosesThemAndReachesTheOwner) {
    ProbeMenu menu(&clock), sub(&clock);
    MakeWithSub(menu, sub);
    Script(Tap(ItemAt(menu, 20, 40, 1)) + Tap(POINT{120, 290}));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 20, 40, 0), -1);
    EXPECT_FALSE(sub.IsWindowVisible());
    EXPECT_FALSE(menu.IsWindowVisible());
    ASSERT_EQ(owner.Count(WM_LBUTTONDOWN), 1);
    EXPECT_EQ(owner.pens[0].pt.x, 120 - kOwnerX);
    EXPECT_EQ(owner.pens[0].pt.y, 290 - kOwnerY);
}

TEST_F(GMenuTrackTest, TapOnAnotherParentItemClosesTheSubmenuAndChoosesThatItem) {
    ProbeMenu menu(&clock), sub(&clock);
    MakeWithSub(menu, sub);
    Script(Tap(ItemAt(menu, 20, 40, 1)) + Tap(ItemAt(menu, 20, 40, 2)));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 20, 40, 0), 103);
    EXPECT_EQ(sub.shownAt.size(), 1u);
    EXPECT_EQ(sub.hiddenAt.size(), 1u);
    EXPECT_TRUE(owner.pens.empty());
}

TEST_F(GMenuTrackTest, TapOnTheOpeningItemLeavesTheSubmenuOpen) {
    ProbeMenu menu(&clock), sub(&clock);
    MakeWithSub(menu, sub);
    const POINT anchor = SubAnchor(menu, 20, 40, 1);
    POINT opener = ItemAt(menu, 20, 40, 1);
    opener.x = 25; // left of where the submenu begins
    Script(Tap(opener) + Tap(opener) + Tap(ItemAt(sub, anchor.x, anchor.y, 0)));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 20, 40, 0), 201);
    EXPECT_EQ(sub.hiddenAt.size(), 1u);
}

TEST_F(GMenuTrackTest, HoverOpensTheSubmenuAfter500msAndLeavingHidesIt500msLater) {
    ProbeMenu menu(&clock), sub(&clock);
    MakeWithSub(menu, sub);
    const POINT one = ItemAt(menu, 20, 40, 0);
    const POINT more = ItemAt(menu, 20, 40, 1);
    const ULONGLONG start = clock.Now();
    Script(Down(one) + Move(more) + Wait(499) + Wait(1) + Move(one) + Wait(499) + Wait(1) +
           Up(one));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 20, 40, 0), 101);
    ASSERT_EQ(sub.shownAt.size(), 1u);
    EXPECT_EQ(sub.shownAt[0] - start, 500u);
    ASSERT_EQ(sub.hiddenAt.size(), 1u);
    EXPECT_EQ(sub.hiddenAt[0] - start, 1000u);
    EXPECT_EQ(owner.closeRequests, 0);
}

TEST_F(GMenuTrackTest, ComingBackIntoTheSubmenuKeepsItOpen) {
    ProbeMenu menu(&clock), sub(&clock);
    MakeWithSub(menu, sub);
    const POINT one = ItemAt(menu, 20, 40, 0);
    const POINT more = ItemAt(menu, 20, 40, 1);
    const POINT anchor = SubAnchor(menu, 20, 40, 1);
    const POINT subB = ItemAt(sub, anchor.x, anchor.y, 1);
    Script(Down(more) + Move(POINT{more.x + 1, more.y}) + Wait(500) + Move(one) + Wait(200) +
           Move(subB) + Wait(600) + Up(subB));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 20, 40, 0), 202);
    EXPECT_EQ(sub.shownAt.size(), 1u);
    EXPECT_EQ(sub.hiddenAt.size(), 1u); // only when the choice closed it
}

TEST_F(GMenuTrackTest, ASubmenuWaitingToHideStillTakesATap) {
    ProbeMenu menu(&clock), sub(&clock);
    MakeWithSub(menu, sub);
    const POINT anchor = SubAnchor(menu, 20, 40, 1);
    Script(Tap(ItemAt(menu, 20, 40, 1)) + Move(ItemAt(menu, 20, 40, 0)) + Wait(300) +
           Tap(ItemAt(sub, anchor.x, anchor.y, 1)));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 20, 40, 0), 202);
    EXPECT_EQ(sub.shownAt.size(), 1u);
    EXPECT_TRUE(owner.pens.empty());
}

TEST_F(GMenuTrackTest, RightOpensTheSubmenuLeftClosesItAndReturnChoosesInIt) {
    ProbeMenu menu(&clock), sub(&clock);
    MakeWithSub(menu, sub);
    Script(Key("DOWN") + Key("DOWN") + Key("RIGHT") + Key("DOWN") + Key("DOWN") + Key("LEFT") +
           Key("DOWN") + Key("UP") + Key("RIGHT") + Key("DOWN") + Key("RETURN"));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 20, 40, 0), 201);
    EXPECT_EQ(sub.shownAt.size(), 2u);
    const RECT rc = sub.WindowRect();
    const POINT anchor = SubAnchor(menu, 20, 40, 1);
    EXPECT_EQ(rc.left, anchor.x);
    EXPECT_EQ(rc.top, anchor.y); // the Right key also lifts it by one pixel
    EXPECT_EQ(owner.closeRequests, 0);
}

TEST_F(GMenuTrackTest, EscapeInTheSubmenuReturnsToTheParent) {
    ProbeMenu menu(&clock), sub(&clock);
    MakeWithSub(menu, sub);
    Script(Key("DOWN") + Key("DOWN") + Key("RETURN") + Key("ESCAPE") + Key("UP") + Key("RETURN"));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 20, 40, 0), 101);
    EXPECT_EQ(sub.shownAt.size(), 1u);
    EXPECT_EQ(sub.GetCurIndex(), -1);
}

// A submenu that answers Space with "choose the item that opened me", as grids of cells do.
class ChoosingSubMenu : public ProbeMenu {
public:
    using ProbeMenu::ProbeMenu;
    int OnVKeyDown(HWND hwnd, int key, int data) override {
        if (key == VK_SPACE)
            return CloseWithResult(eGMenuChooseOpener);
        return ProbeMenu::OnVKeyDown(hwnd, key, data);
    }
};

// A menu laid out its own way: every point inside it counts as its last item.
class LastItemMenu : public ProbeMenu {
public:
    using ProbeMenu::ProbeMenu;
    int HitItem(POINT pt) override {
        if (!::PtInRect(&m_rcClient, pt))
            return -1;
        const int last = GetMenuItemCount() - 1;
        for (int i = 0; i <= last; ++i)
            GetMenuItem(i, 1)->SetFlag(i == last, kMenuItemHighlight, nullptr, 0);
        return last;
    }
};

TEST_F(GMenuTrackTest, ASubmenuChoosingItsOpenerGivesTheOpenersId) {
    ProbeMenu menu(&clock);
    ChoosingSubMenu sub(&clock);
    ASSERT_TRUE(MakeMenu(menu));
    ASSERT_TRUE(MakeMenu(sub));
    sub.AppendMenuW(201, u"Cell");
    menu.AppendMenuW(101, u"One");
    menu.AppendMenuW(&sub, u"Colours")->SetID(150);
    Script(Key("DOWN") + Key("DOWN") + Key("RIGHT") + Key("SPACE"));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 20, 40, 0), 150);
    EXPECT_FALSE(sub.IsWindowVisible());
    EXPECT_FALSE(menu.IsWindowVisible());
}

TEST_F(GMenuTrackTest, TrackingFindsItemsThroughTheMenusOwnHitTest) {
    LastItemMenu menu(&clock);
    ASSERT_TRUE(MakeMenu(menu));
    AddFour(menu);
    Script(Tap(ItemAt(menu, 30, 40, 0)));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 30, 40, 0), 103);
}

TEST_F(GMenuTrackTest, ASubmenuPastTheRightEdgeOpensLeftOfAParentInTheRightHalf) {
    ProbeMenu menu(&clock), sub(&clock);
    MakeWithSub(menu, sub);
    Script(Key("DOWN") + Key("DOWN") + Key("RIGHT") + Key("ESCAPE") + Key("ESCAPE"));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 150, 60, 0), -1);
    const RECT parent = menu.WindowRect();
    const RECT rc = sub.WindowRect();
    ASSERT_GT((parent.left + parent.right) / 2, 120);
    EXPECT_EQ(rc.right, parent.left + 3);
    EXPECT_EQ(rc.top, parent.top + menu.GetMenuItem(1, 1)->GetRect().top - 1);
}

TEST_F(GMenuTrackTest, ASubmenuPastTheRightEdgeOfAParentInTheLeftHalfOnlyShiftsBack) {
    ProbeMenu menu(&clock), sub(&clock);
    MakeWithSub(menu, sub);
    menu.SetMinWidth(200);
    Script(Key("DOWN") + Key("DOWN") + Key("RIGHT") + Key("ESCAPE") + Key("ESCAPE"));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 0, 60, 0), -1);
    const RECT parent = menu.WindowRect();
    const RECT rc = sub.WindowRect();
    ASSERT_LT((parent.left + parent.right) / 2, 120);
    EXPECT_EQ(rc.right, 240);
    EXPECT_GT(rc.left, parent.left + 3);
}

} // namespace

namespace {

class GMenuHiresTrackTest : public GMenuTrackTest {
protected:
    SIZE ScreenSize() const override { return SIZE{480, 640}; }
};

TEST_F(GMenuHiresTrackTest, SubmenuOffsetsDoubleButTheRightKeyLiftsByOnePixel) {
    ProbeMenu menu(&clock), sub(&clock);
    MakeWithSub(menu, sub);
    const RECT more = (Measure(menu), menu.GetMenuItem(1, 1)->GetRect());
    Script(Tap(ItemAt(menu, 40, 80, 1)) + Key("ESCAPE") + Key("RIGHT") + Key("ESCAPE") +
           Key("ESCAPE"));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 40, 80, 0), -1);
    ASSERT_EQ(sub.shownAt.size(), 2u);
    // Opened by the tap first (2 pixels up), then by Right (1 pixel up); 6 pixels in.
    const RECT rc = sub.WindowRect();
    EXPECT_EQ(rc.left, 40 + more.right - 6);
    EXPECT_EQ(rc.top, 80 + more.top - 1);
    Script(Tap(ItemAt(menu, 40, 80, 1)) + Key("ESCAPE") + Key("ESCAPE"));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 40, 80, 0), -1);
    EXPECT_EQ(sub.WindowRect().top, 80 + more.top - 2);
    // In the right half the submenu ends 6 pixels right of the parent's left edge.
    Script(Key("DOWN") + Key("DOWN") + Key("RIGHT") + Key("ESCAPE") + Key("ESCAPE"));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 400, 80, 0), -1);
    EXPECT_EQ(sub.WindowRect().right, menu.WindowRect().left + 6);
    EXPECT_EQ(owner.closeRequests, 0);
}

} // namespace
