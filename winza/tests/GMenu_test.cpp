// Pop-up menus without tracking: the item list, submenus attached and detached, measuring,
// placement on the screen and what the menu draws in each state of its items.
#include "GMenu_test_support.h"

#include "winza/DrawHelpers.h"
#include "winza/GImageList.h"

#include <algorithm>
#include <memory>
#include <string>

namespace {

using GMenuItemsTest = GMenuTest;

TEST_F(GMenuItemsTest, TheWindowIsAHiddenPopupOfItsOwnClassWithoutBlending) {
    GMenu menu;
    ASSERT_TRUE(MakeMenu(menu));
    WCHAR name[16] = {};
    ::GetClassNameW(menu.GetSafeHwnd(), name, 16);
    EXPECT_EQ(std::u16string(name), u"GMenu");
    const DWORD style = static_cast<DWORD>(::GetWindowLongW(menu.GetSafeHwnd(), GWL_STYLE));
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(menu.IsWindowVisible());
    EXPECT_EQ(menu.IsAnimate(), 0);
    EXPECT_EQ(menu.IsDoubleBuffer(), 1);
    EXPECT_EQ(menu.GetOwner(), &owner);
    EXPECT_EQ(menu.GetFont(), GetGlobalFontDef());
}

TEST_F(GMenuItemsTest, AppendingAnExistingIdGivesTheSameItem) {
    GMenu menu;
    GMenuItem* a = menu.AppendMenuW(5, u"Five");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(menu.AppendMenuW(5, u"Again"), a);
    EXPECT_EQ(menu.GetMenuItemCount(), 1);
    EXPECT_EQ(std::u16string(a->GetLabel()), u"Five");
    // Separators all share one id and may repeat.
    menu.AppendMenuW(kMenuSeparatorId, nullptr);
    menu.AppendMenuW(kMenuSeparatorId, nullptr);
    EXPECT_EQ(menu.GetMenuItemCount(), 3);
    EXPECT_TRUE(menu.GetMenuItem(2, 1)->IsSeparator());
    // New items are visible, enabled and left-aligned.
    EXPECT_TRUE(a->GetFlag(eVBVisible));
    EXPECT_TRUE(a->GetFlag(eVBEnabled));
    EXPECT_EQ(a->GetAlignType(), DT_LEFT);
}

TEST_F(GMenuItemsTest, InsertingClampsThePosition) {
    GMenu menu;
    menu.AppendMenuW(1, u"a");
    menu.AppendMenuW(2, u"b");
    menu.InsertMenuW(-3, 10, u"first");
    menu.InsertMenuW(99, 20, u"last");
    menu.InsertMenuW(2, 15, u"middle");
    ASSERT_EQ(menu.GetMenuItemCount(), 5);
    const int want[] = {10, 1, 15, 2, 20};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(menu.GetMenuItemID(i), want[i]) << i;
    EXPECT_EQ(menu.GetMenuItemID(-1), -1);
    EXPECT_EQ(menu.GetMenuItemID(5), -1);
    EXPECT_EQ(menu.GetMenuItem(5, 1), nullptr);
    EXPECT_EQ(menu.GetMenuItem(99, 0), nullptr);
    EXPECT_EQ(menu.DeleteMenu(5), 0);
    EXPECT_EQ(menu.DeleteMenu(0), 1);
    EXPECT_EQ(menu.GetMenuItemID(0), 1);
}

TEST_F(GMenuItemsTest, MenuStringsAreCutToTheBufferAndUnknownIdsGiveMinusOne) {
    GMenu menu;
    menu.AppendMenuW(1, u"Hello");
    menu.AppendMenuW(kMenuSeparatorId, nullptr);
    WCHAR buffer[8];
    EXPECT_EQ(menu.GetMenuString(1, buffer, 8), 5);
    EXPECT_EQ(std::u16string(buffer), u"Hello");
    EXPECT_EQ(menu.GetMenuString(1, buffer, 3), 2);
    EXPECT_EQ(std::u16string(buffer), u"He");
    buffer[0] = u'x';
    EXPECT_EQ(menu.GetMenuString(kMenuSeparatorId, buffer, 8), -1);
    EXPECT_EQ(buffer[0], 0);
    buffer[0] = u'x';
    EXPECT_EQ(menu.GetMenuString(42, buffer, 8), -1);
    EXPECT_EQ(buffer[0], 0);
}

TEST_F(GMenuItemsTest, ChecksAndRadioGroupsByIdAndByPosition) {
    GMenu menu;
    for (int id = 1; id <= 5; ++id)
        menu.AppendMenuW(id * 10, u"item");
    EXPECT_EQ(menu.CheckMenuItem(20, 1, 0), 1);
    EXPECT_EQ(menu.IsCheckMenuItem(1, 1), 1);
    EXPECT_EQ(menu.CheckMenuItem(7, 1, 0), 0);
    EXPECT_EQ(menu.IsCheckMenuItem(7, 0), 0);
    // By position: items 1-3, exactly position 3 checked; the rest untouched.
    menu.CheckMenuItem(0, 1, 1);
    EXPECT_EQ(menu.CheckMenuRadioItem(1, 3, 3, 1), 1);
    const int byPosition[] = {1, 0, 0, 1, 0};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(menu.IsCheckMenuItem(i, 1), byPosition[i]) << i;
    // By id: ids 30-50, exactly id 40 checked.
    EXPECT_EQ(menu.CheckMenuRadioItem(30, 50, 40, 0), 1);
    const int byId[] = {1, 0, 0, 1, 0};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(menu.IsCheckMenuItem(i, 1), byId[i]) << i;
    EXPECT_EQ(menu.CheckMenuRadioItem(100, 200, 150, 0), 0);
    EXPECT_EQ(menu.SetDefaultItem(3), 1);
    EXPECT_EQ(menu.GetDefaultItem(), 0);
}

TEST_F(GMenuItemsTest, SubmenusNeedAWindowAndFollowTheirItem) {
    GMenu menu, sub, other;
    ASSERT_TRUE(MakeMenu(menu));
    EXPECT_EQ(menu.AppendMenuW(&sub, u"no window"), nullptr);
    EXPECT_EQ(menu.GetMenuItemCount(), 0);
    ASSERT_TRUE(MakeMenu(sub));
    EXPECT_EQ(MakeMenu(sub), 0); // once only
    ASSERT_TRUE(MakeMenu(other));
    EXPECT_EQ(menu.AppendMenuW(&menu, u"itself"), nullptr);
    GMenuItem* item = menu.AppendMenuW(&sub, u"Sub");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->GetID(), kSubMenuItemId);
    EXPECT_EQ(menu.GetSubMenu(0), &sub);
    EXPECT_EQ(sub.GetParentMenu(), &menu);
    EXPECT_EQ(sub.AppendMenuW(&menu, u"loop"), nullptr); // a parent cannot become a child
    menu.InsertMenuW(0, &other, u"Other");
    EXPECT_EQ(menu.GetSubMenu(0), &other);
    // Removing hands the submenu back with its window; deleting destroys the window.
    EXPECT_EQ(menu.RemoveMenu(0), &other);
    EXPECT_EQ(other.GetParentMenu(), nullptr);
    EXPECT_NE(other.GetSafeHwnd(), nullptr);
    sub.AppendMenuW(1, u"inside");
    EXPECT_EQ(menu.DeleteMenu(0), 1);
    EXPECT_EQ(sub.GetSafeHwnd(), nullptr);
    EXPECT_EQ(sub.GetParentMenu(), nullptr);
    EXPECT_EQ(sub.GetMenuItemCount(), 0); // its window took its items with it
}

TEST_F(GMenuItemsTest, ASubmenuGoneBeforeItsParentLeavesAnItemThatOpensNothing) {
    GMenu menu;
    ASSERT_TRUE(MakeMenu(menu));
    {
        GMenu sub;
        ASSERT_TRUE(MakeMenu(sub));
        sub.AppendMenuW(1, u"inner");
        ASSERT_NE(menu.AppendMenuW(&sub, u"Sub"), nullptr);
    }
    EXPECT_EQ(menu.GetMenuItemCount(), 1);
    EXPECT_EQ(menu.GetSubMenu(0), nullptr);
    Script(Tap(ItemAt(menu, 30, 40, 0)) + Key("RIGHT") + Key("ESCAPE"));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 30, 40, 0), -1);
    EXPECT_EQ(owner.closeRequests, 0);
}

TEST_F(GMenuItemsTest, DestroyingTheWindowDeletesItemsAndSubmenuWindows) {
    GMenu menu, sub;
    ASSERT_TRUE(MakeMenu(menu));
    ASSERT_TRUE(MakeMenu(sub));
    menu.AppendMenuW(1, u"one");
    menu.AppendMenuW(&sub, u"sub");
    menu.DestroyMenu();
    EXPECT_EQ(menu.GetSafeHwnd(), nullptr);
    EXPECT_EQ(menu.GetOwner(), nullptr);
    EXPECT_EQ(menu.GetMenuItemCount(), 0);
    EXPECT_EQ(sub.GetSafeHwnd(), nullptr);
    // A destroyed menu can be made again.
    EXPECT_EQ(MakeMenu(menu), 1);
}

TEST_F(GMenuItemsTest, HitTestComparesTheItemUnderAScreenPointWithTheCurrentOne) {
    ProbeMenu menu(&clock);
    ASSERT_TRUE(MakeMenu(menu));
    AddFour(menu);
    EXPECT_EQ(menu.HitTest(POINT{40, 50}), 0); // hidden
    EXPECT_EQ(menu.GetHitIndex(), -1);
    Script(Key("ESCAPE"));
    menu.TrackPopupGMenu(0, 30, 40, 0);
    ::ShowWindow(menu.GetSafeHwnd(), SW_SHOWNOACTIVATE);
    menu.SetCurIndex(1);
    EXPECT_TRUE(menu.GetMenuItem(1, 1)->IsHighlighted());
    EXPECT_EQ(menu.HitTest(ItemAt(menu, 30, 40, 1)), 0);
    EXPECT_EQ(menu.GetHitIndex(), 1);
    EXPECT_EQ(menu.HitTest(ItemAt(menu, 30, 40, 0)), 1);
    EXPECT_EQ(menu.GetHitIndex(), 0);
    EXPECT_EQ(menu.HitTest(ItemAt(menu, 30, 40, 2)), 1);
    EXPECT_EQ(menu.GetHitIndex(), kMenuSeparatorId);
    EXPECT_EQ(menu.HitTest(POINT{5, 5}), 0);
    EXPECT_EQ(menu.GetHitIndex(), -1);
    // HitTest only looks; the highlight stays where it was.
    EXPECT_TRUE(menu.GetMenuItem(1, 1)->IsHighlighted());
    EXPECT_FALSE(menu.GetMenuItem(0, 1)->IsHighlighted());
    menu.HideMenu();
}

// ---- Measuring and placement ----------------------------------------------------------------

TEST_F(GMenuItemsTest, MeasuringStacksItemsBetweenTheMarginsAtOneWidth) {
    GMenu menu;
    ASSERT_TRUE(MakeMenu(menu));
    AddFour(menu);
    RECT rc{};
    HDC dc = menu.GetDC();
    ::SelectObject(dc, menu.GetFont());
    menu.MeasureAllItem(dc, rc);
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.top, 0);
    const int width = rc.right - 1;
    EXPECT_GE(width, 60);
    const RECT want[] = {{1, 3, width - 1, 23},
                         {1, 23, width - 1, 43},
                         {1, 43, width - 1, 51},
                         {1, 51, width - 1, 71}};
    for (int i = 0; i < 4; ++i) {
        const RECT got = menu.GetMenuItem(i, 1)->GetRect();
        EXPECT_EQ(got.left, want[i].left) << i;
        EXPECT_EQ(got.top, want[i].top) << i;
        EXPECT_EQ(got.right, want[i].right) << i;
        EXPECT_EQ(got.bottom, want[i].bottom) << i;
        EXPECT_EQ(menu.GetMenuItem(i, 1)->GetIconWidth(), 16);
    }
    EXPECT_EQ(rc.bottom, 71 + 2 + 1);
}

TEST_F(GMenuItemsTest, WidthFollowsTheLabelIndentAndSubmenuWithinItsLimits) {
    GMenu menu, sub;
    ASSERT_TRUE(MakeMenu(menu));
    ASSERT_TRUE(MakeMenu(sub));
    HDC dc = menu.GetDC();
    ::SelectObject(dc, menu.GetFont());
    RECT text{0, 0, 0, 0};
    const char16_t* label = u"A label that is long";
    ::DrawTextW(dc, label, -1, &text, DT_CALCRECT);
    menu.AppendMenuW(1, label);
    RECT rc{};
    menu.MeasureAllItem(dc, rc);
    // Border, label, and margin and icon on both sides.
    EXPECT_EQ(rc.right, 1 + text.right + 2 * (5 + 16) + 1);
    menu.AppendMenuW(2, label, 7);
    menu.MeasureAllItem(dc, rc);
    EXPECT_EQ(rc.right, 1 + text.right + 7 + 2 * (5 + 16) + 1);
    menu.AppendMenuW(&sub, label, 7);
    menu.MeasureAllItem(dc, rc);
    EXPECT_EQ(rc.right, 1 + text.right + 7 + 2 * (5 + 16) + 10 + 1);
    menu.SetItemWidth(100);
    menu.MeasureAllItem(dc, rc);
    EXPECT_EQ(rc.right, 101);
    EXPECT_EQ(menu.GetMenuItem(0, 1)->GetRect().right, 99);
    menu.SetMinWidth(180);
    menu.SetItemWidth(240);
    menu.MeasureAllItem(dc, rc);
    EXPECT_EQ(rc.right, std::max(181, static_cast<int>(1 + text.right + 7 + 42 + 10 + 1)));
}

class GMenuPlaceTest : public GMenuTest {
protected:
    // Where the menu of one item stands after tracking at (x, y) with the flags.
    RECT PlaceAt(int flags, int x, int y, const char16_t* label = u"Item") {
        ProbeMenu menu(&clock);
        EXPECT_TRUE(MakeMenu(menu));
        menu.AppendMenuW(1, label);
        size = MenuSize(menu);
        Script(Key("ESCAPE"));
        EXPECT_EQ(menu.TrackPopupGMenu(flags, x, y, 0), -1);
        return menu.WindowRect();
    }
    SIZE size{};
};

TEST_F(GMenuPlaceTest, AMenuNearTheRightEdgeShiftsLeftToFit) {
    const RECT rc = PlaceAt(0, 230, 50, u"A rather long label");
    EXPECT_EQ(rc.right, 240);
    EXPECT_EQ(rc.left, 240 - size.cx);
    EXPECT_EQ(rc.top, 50);
    EXPECT_EQ(rc.bottom - rc.top, size.cy);
}

TEST_F(GMenuPlaceTest, FlagsAlignOnThePointAndTheScreenEdgesHoldTheMenu) {
    RECT rc = PlaceAt(eGMenuCenterX | eGMenuCenterY, 120, 160);
    EXPECT_EQ(rc.left, 120 - size.cx / 2);
    EXPECT_EQ(rc.top, 160 - size.cy / 2);
    rc = PlaceAt(eGMenuRightX | eGMenuBottomY, 150, 200);
    EXPECT_EQ(rc.right, 150);
    EXPECT_EQ(rc.bottom, 200);
    rc = PlaceAt(0x40 | 0x1, 40, 50); // other bits mean nothing
    EXPECT_EQ(rc.left, 40);
    EXPECT_EQ(rc.top, 50);
    rc = PlaceAt(0, -30, -10);
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.top, 0);
    rc = PlaceAt(0, 10, 310);
    EXPECT_EQ(rc.bottom, 320);
    rc = PlaceAt(eGMenuRightX, 20, 50);
    EXPECT_EQ(rc.left, 0);
}

// ---- Drawing -----------------------------------------------------------------------------------

class GMenuDrawTest : public GMenuTest {
protected:
    // "One" highlighted, "Two" checked, a separator, "More" with a submenu, "Off" disabled,
    // drawn into a memory bitmap of the menu's size.
    void DrawMenu() {
        menu = std::make_unique<GMenu>();
        sub = std::make_unique<GMenu>();
        ASSERT_TRUE(MakeMenu(*menu));
        ASSERT_TRUE(MakeMenu(*sub));
        sub->AppendMenuW(1, u"x");
        menu->AppendMenuW(101, u"One");
        menu->AppendMenuW(102, u"Two");
        menu->AppendMenuW(kMenuSeparatorId, nullptr);
        menu->AppendMenuW(sub.get(), u"More");
        menu->AppendMenuW(105, u"Off");
        menu->CheckMenuItem(102, 1, 0);
        menu->EnableMenuItem(105, 0, 0);
        menu->SetCurIndex(0);
        Paint();
    }
    void Paint() {
        size = MenuSize(*menu);
        ::SetWindowPos(menu->GetSafeHwnd(), nullptr, 0, 0, size.cx, size.cy,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (!dc) {
            HDC screen = ::GetDC(nullptr);
            dc = ::CreateCompatibleDC(screen);
            bitmap = ::CreateCompatibleBitmap(screen, 240, 320);
            ::ReleaseDC(nullptr, screen);
            old = ::SelectObject(dc, bitmap);
        }
        RECT all{0, 0, 240, 320};
        FillSolidRect(dc, &all, RGB(0xFF, 0, 0xFF));
        ::SelectObject(dc, menu->GetFont());
        menu->Draw(dc, RECT{0, 0, size.cx, size.cy});
    }
    void TearDown() override {
        if (dc) {
            ::SelectObject(dc, old);
            ::DeleteObject(bitmap);
            ::DeleteDC(dc);
        }
        GMenuTest::TearDown();
    }
    COLORREF At(int x, int y) const { return ::GetPixel(dc, x, y); }
    RECT Item(int i) { return menu->GetMenuItem(i, 1)->GetRect(); }
    int CountColor(RECT rc, COLORREF c) const {
        int n = 0;
        for (int y = rc.top; y < rc.bottom; ++y)
            for (int x = rc.left; x < rc.right; ++x)
                n += At(x, y) == c;
        return n;
    }

    // The lowest channel value inside the rectangle, skipping the check mark's box.
    int Darkest(RECT rc) const {
        int low = 255;
        for (int y = rc.top; y < rc.bottom; ++y)
            for (int x = rc.left + 16; x < rc.right; ++x) {
                const COLORREF c = At(x, y);
                low = std::min({low, int(GetRValue(c)), int(GetGValue(c)), int(GetBValue(c))});
            }
        return low;
    }

    // Made once the screen is in place: a menu takes its sizes from the screen.
    std::unique_ptr<GMenu> menu, sub;
    SIZE size{};
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
};

TEST_F(GMenuDrawTest, FrameAndItemsInEachState) {
    DrawMenu();
    // The frame: edges colour 5, the inside colour 1.
    EXPECT_EQ(At(0, 0), GetGLibColor(5));
    EXPECT_EQ(At(size.cx - 1, size.cy - 1), GetGLibColor(5));
    EXPECT_EQ(At(size.cx / 2, 1), GetGLibColor(1));
    // The highlighted item is filled with colour 74 from two pixels in.
    const RECT one = Item(0);
    EXPECT_EQ(At(one.left + 2, one.top + 1), GetGLibColor(74));
    EXPECT_EQ(At(one.right - 2, one.bottom - 1), GetGLibColor(74));
    EXPECT_EQ(At(one.left + 1, one.top + 1), GetGLibColor(1));
    EXPECT_EQ(At(one.right - 1, one.top + 1), GetGLibColor(1));
    // A plain item is filled with colour 73.
    const RECT two = Item(1);
    EXPECT_EQ(At(two.left + 4, two.top + 1), GetGLibColor(73));
    EXPECT_GT(CountColor(two, GetGLibColor(76)), 10); // its label
    // The separator's groove: colour 2 over colour 1, from 2 inside the left to 1 inside the
    // right edge.
    const RECT sep = Item(2);
    EXPECT_EQ(sep.bottom - sep.top, 8);
    const int groove = sep.top + 3;
    EXPECT_EQ(At(sep.left + 2, groove), GetGLibColor(2));
    EXPECT_EQ(At(sep.right - 2, groove), GetGLibColor(2));
    EXPECT_EQ(At(sep.left + 2, groove + 1), GetGLibColor(1));
    EXPECT_EQ(At(sep.left + 1, groove), GetGLibColor(73));
    EXPECT_EQ(At(sep.right - 1, groove), GetGLibColor(73));
    EXPECT_EQ(At(sep.left + 5, groove - 1), GetGLibColor(73));
    EXPECT_EQ(At(sep.left + 5, groove + 2), GetGLibColor(73));
}

TEST_F(GMenuDrawTest, CheckMarkAndSubmenuArrow) {
    DrawMenu();
    const COLORREF black = RGB(0, 0, 0);
    const COLORREF back = GetGLibColor(73);
    // The check mark in the 16 x 16 box at the item's left, centred.
    const RECT two = Item(1);
    const int x0 = two.left;
    const int y0 = two.top + 2;
    EXPECT_EQ(At(x0 + 14, y0 + 6), black);
    EXPECT_EQ(At(x0 + 13, y0 + 6), back);
    EXPECT_EQ(At(x0 + 13, y0 + 7), black);
    EXPECT_EQ(At(x0 + 8, y0 + 8), black);
    EXPECT_EQ(At(x0 + 9, y0 + 8), back);
    for (int x = 8; x < 13; ++x)
        EXPECT_EQ(At(x0 + x, y0 + 10), black) << x;
    EXPECT_EQ(At(x0 + 13, y0 + 10), back);
    EXPECT_EQ(At(x0 + 10, y0 + 12), black);
    EXPECT_EQ(At(x0 + 10, y0 + 13), back);
    EXPECT_EQ(At(x0 + 10, y0 + 5), back);
    // The submenu arrow: 4 columns ending 6 pixels left of the item's right edge, apex at
    // the middle row.
    const RECT more = Item(3);
    const int right = more.right - 6;
    const int mid = more.top + 10;
    EXPECT_EQ(At(right - 1, mid), GetGLibColor(76));
    EXPECT_EQ(At(right - 1, mid - 1), back);
    EXPECT_EQ(At(right, mid), back);
    EXPECT_EQ(At(right - 4, mid - 3), GetGLibColor(76));
    EXPECT_EQ(At(right - 4, mid + 3), GetGLibColor(76));
    EXPECT_EQ(At(right - 4, mid - 4), back);
    EXPECT_EQ(At(right - 5, mid), back);
}

TEST_F(GMenuDrawTest, DisabledLabelsAreGreyAndFocusIsADashedFrame) {
    DrawMenu();
    // The disabled label is drawn in 0x808080: nothing darker, but plenty of grey; an
    // enabled label has its black.
    const RECT off = Item(4);
    EXPECT_EQ(Darkest(off), 0x80);
    EXPECT_LT(Darkest(Item(0)), 0x40);
    // Focus: dashed edges of colour 75, gap 2, around the item's fill.
    menu->GetMenuItem(1, 1)->SetFlag(1, eVBFocus, nullptr, 0);
    Paint();
    const RECT two = Item(1);
    EXPECT_EQ(At(two.left + 2, two.top), GetGLibColor(75));
    EXPECT_EQ(At(two.left + 2, two.top + 1), GetGLibColor(75)); // the left edge
    EXPECT_EQ(At(two.left + 4, two.top + 1), GetGLibColor(73));
    int dashes = 0;
    for (int x = two.left + 2; x < two.right - 1; ++x)
        dashes += At(x, two.top) == GetGLibColor(75);
    EXPECT_GT(dashes, 4);
    EXPECT_LT(dashes, two.right - two.left - 3);
    // Highlighted and focused: dashed 75 around a fill of 74.
    menu->SetCurIndex(1);
    Paint();
    EXPECT_EQ(At(two.left + 2, two.top), GetGLibColor(75));
    EXPECT_EQ(At(two.left + 4, two.top + 2), GetGLibColor(74));
}

TEST_F(GMenuDrawTest, IconsComeFromTheMenusImageListBesideTheIndent) {
    // Two 16 x 16 cells, green and blue, each with a magenta (transparent) corner.
    GDib strip;
    ASSERT_TRUE(strip.Create(32, 16, 24));
    strip.FillRect(0, 0, 16, 16, RGB(0, 255, 0));
    strip.FillRect(16, 0, 16, 16, RGB(0, 0, 255));
    strip.FillRect(0, 0, 1, 1, RGB(255, 0, 255));
    GImageList list;
    ASSERT_TRUE(list.CreateImageList(16, 16, &strip, RGB(255, 0, 255)));
    menu = std::make_unique<GMenu>();
    ASSERT_TRUE(MakeMenu(*menu));
    EXPECT_EQ(menu->SetMenuImage(&list, 1), 1);
    EXPECT_NE(menu->GetMenuImage(), &list); // a copy the menu owns
    menu->AppendMenuW(1, u"Green")->SetImageIndex(0);
    menu->AppendMenuW(2, u"Blue", 4)->SetImageIndex(1);
    menu->AppendMenuW(3, u"Dim")->SetImageIndex(0);
    menu->EnableMenuItem(3, 0, 0);
    menu->SetCurIndex(1);
    Paint();
    const RECT green = Item(0);
    const int top = green.top + 2;
    EXPECT_EQ(At(green.left + 2, top), GetGLibColor(73)); // the transparent corner
    EXPECT_EQ(At(green.left + 3, top), RGB(0, 255, 0));
    EXPECT_EQ(At(green.left + 2 + 15, top + 15), RGB(0, 255, 0));
    EXPECT_EQ(At(green.left + 2 + 16, top + 8), GetGLibColor(73));
    EXPECT_EQ(At(green.left + 2 + 8, top - 1), GetGLibColor(73));
    // Indented by 4 and highlighted: the icon moves right and sits on the highlight.
    const RECT blue = Item(1);
    EXPECT_EQ(At(blue.left + 2 + 4 + 8, blue.top + 2 + 8), RGB(0, 0, 255));
    EXPECT_EQ(At(blue.left + 2 + 4, blue.top + 2), RGB(0, 0, 255));
    EXPECT_EQ(At(blue.left + 2 + 3, blue.top + 2), GetGLibColor(74));
    // A disabled item's icon is drawn at half opacity.
    const RECT dim = Item(2);
    const COLORREF half = At(dim.left + 2 + 8, dim.top + 2 + 8);
    EXPECT_NE(half, RGB(0, 255, 0));
    EXPECT_NE(half, GetGLibColor(73));
    EXPECT_GT(GetGValue(half), 200);
    EXPECT_LT(GetRValue(half), 200);
    // Sharing instead of copying.
    EXPECT_EQ(menu->SetMenuImage(&list, 0), 1);
    EXPECT_EQ(menu->GetMenuImage(), &list);
}

TEST_F(GMenuDrawTest, CustomFrameColoursReplaceTheDefaults) {
    DrawMenu();
    menu->SetFrameColor(1, RGB(1, 2, 3), RGB(10, 20, 30), RGB(40, 50, 60));
    Paint();
    EXPECT_EQ(At(0, 0), RGB(10, 20, 30));
    EXPECT_EQ(At(size.cx - 1, size.cy - 1), RGB(40, 50, 60));
    EXPECT_EQ(At(size.cx / 2, 1), RGB(1, 2, 3));
}

class GMenuHiresTest : public GMenuTest {
protected:
    SIZE ScreenSize() const override { return SIZE{480, 640}; }
};

TEST_F(GMenuHiresTest, HighResolutionDoublesTheSizes) {
    ASSERT_EQ(IsHires(), 1);
    GMenu menu, sub;
    ASSERT_TRUE(MakeMenu(menu));
    ASSERT_TRUE(MakeMenu(sub));
    AddFour(menu);
    RECT rc{};
    HDC dc = menu.GetDC();
    ::SelectObject(dc, menu.GetFont());
    menu.MeasureAllItem(dc, rc);
    EXPECT_GE(rc.right, 122);
    EXPECT_EQ(menu.GetMenuItem(0, 1)->GetRect().top, 6);
    EXPECT_EQ(menu.GetMenuItem(0, 1)->GetRect().bottom, 46);
    EXPECT_EQ(menu.GetMenuItem(0, 1)->GetRect().left, 2);
    EXPECT_EQ(menu.GetMenuItem(0, 1)->GetRect().right, rc.right - 4);
    EXPECT_EQ(menu.GetMenuItem(2, 1)->GetRect().bottom - menu.GetMenuItem(2, 1)->GetRect().top, 19);
    EXPECT_EQ(menu.GetMenuItem(3, 1)->GetIconWidth(), 32);
    EXPECT_EQ(rc.bottom, menu.GetMenuItem(3, 1)->GetRect().bottom + 4 + 2);
}

} // namespace
