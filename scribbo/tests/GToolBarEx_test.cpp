#include "scribbo/GToolBarEx.h"

#include "fundo/FixedPoint.h"
#include "inkra/InkraMan.h"
#include "toolbar_test_support.h"
#include "vbutton_test_support.h"

#include <cmath>
#include <limits>

namespace {

using apptest::BarRecorder;

constexpr int kBarTop = 294;
constexpr LONG kHalf = FIXED_ONE / 2;

class GToolBarExTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        ASSERT_TRUE(owner.Create(nullptr, u"owner", WS_POPUP, 0, 0, 10, 10));
        ASSERT_TRUE(view.Create(nullptr, u"view", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320));
        ASSERT_TRUE(apptest::MakeToolbarImages(cells, 16));
        ASSERT_TRUE(bar.CreateBar(view, &owner, RECT{0, kBarTop, 240, 320}, eGBarHorizontal));
        bar.SetButtonImage(&cells, 0);
        ASSERT_TRUE(bar.SetButtonSize(23, 22, 1));
        view.Invalidate(0);
        Pump();
    }
    void TearDown() override {
        ToolkitTest::TearDown();
        apptest::RestoreDefaultScreen();
    }
    // A pen group 1040 on the top level between 1045 and 1046, with two pens and a marker.
    GToolButton* PenGroup() {
        bar.AddItem(nullptr, 1045, 0, 1);
        GToolButton* group = bar.AddItem(nullptr, 1040, 0, 1);
        bar.AddItem(nullptr, 1046, 0, 1);
        const POSITION at = group->GetPosition();
        pen = bar.AddToolItem(at, 1050, 0, 1, eDOPen, RGB(0, 0, 0), kHalf, 255);
        pen2 = bar.AddToolItem(at, 1050, 0, 1, eDOPen, RGB(255, 0, 0), kHalf, 255);
        marker = bar.AddToolItem(at, 1051, 0, 1, eDOMarker, RGB(255, 255, 0), 6 * FIXED_ONE, 96);
        return group;
    }
    static POINT Mid(const GVButton* b) {
        const RECT rc = b->GetRect();
        return POINT{(rc.left + rc.right) / 2, kBarTop + (rc.top + rc.bottom) / 2};
    }
    void Tap(const GVButton* b) {
        const POINT p = Mid(b);
        Down(p.x, p.y);
        Up(p.x, p.y);
    }
    std::vector<int> Shown() const {
        std::vector<int> ids;
        for (int i = 0; i < bar.GetButtonCount(); ++i)
            if (bar.GetButtonAt(i)->GetFlag(eVBVisible))
                ids.push_back(bar.GetButtonAt(i)->GetID());
        return ids;
    }
    BarRecorder owner{u"BarOwner"};
    BarRecorder view{u"BarView"};
    GImageList cells;
    GToolBarEx bar;
    GToolButton* pen = nullptr;
    GToolButton* pen2 = nullptr;
    GToolButton* marker = nullptr;
};

TEST_F(GToolBarExTest, ASecondPresetInGroup1040ComesAfterTheFirst) {
    GToolButton* group = bar.AddItem(nullptr, 1040, 0, 1);
    ASSERT_NE(group, nullptr);
    GToolButton* first = bar.AddToolItem(group->GetPosition(), 1050, 0, 1, eDOPen, 0, kHalf, 255);
    GToolButton* second =
        bar.AddToolItem(group->GetPosition(), 1050, 0, 1, eDOPen, RGB(0, 0, 255), kHalf, 255);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(bar.FindItem(nullptr, 1040), group);
    EXPECT_EQ(bar.FindItem(group->GetPosition(), 1050), first);
    EXPECT_EQ(second->GetColor(), RGB(0, 0, 255));
    EXPECT_EQ(second->GetImageIndex(), 50);
    bar.ShowLevel(group->GetPosition());
    ASSERT_EQ(bar.GetButtonCount(), 2);
    EXPECT_EQ(bar.GetButtonAt(0), first);
    EXPECT_EQ(bar.GetButtonAt(1), second);
    // One after another from the first offset, with the spacing of 2.
    EXPECT_EQ(first->GetRect().left, 2);
    EXPECT_EQ(second->GetRect().left, 2 + 23 + 2);
}

TEST_F(GToolBarExTest, LevelsShowTheirChildrenAndTheCornerStaysAtTheEnd) {
    GToolButton* group = PenGroup();
    GToolButton* corner = bar.SetCornerButton(1019);
    EXPECT_EQ(Shown(), (std::vector<int>{1045, 1040, 1046, 1019}));
    // 23 wide (more than the least 22), ending at the first offset from the bar's right.
    EXPECT_EQ(corner->GetRect().right, 238);
    EXPECT_EQ(corner->GetRect().left, 238 - 23);
    EXPECT_EQ(corner->GetImageIndex(), 19);
    // Tapping the group shows its items in its place; the corner stays.
    Tap(group);
    EXPECT_EQ(bar.GetShownLevel(), group->GetPosition());
    EXPECT_EQ(Shown(), (std::vector<int>{1050, 1050, 1051, 1019}));
    EXPECT_EQ(corner->GetRect().right, 238);
    EXPECT_EQ(pen->GetRect().left, 2);
    EXPECT_EQ(owner.Of(WM_COMMAND).back().wParam, MAKEWPARAM(1040, 0));
    EXPECT_EQ(bar.LevelUp(1), 1);
    EXPECT_EQ(bar.GetShownLevel(), nullptr);
    EXPECT_EQ(bar.LevelUp(1), 0);
    // A wider least width and a wider item.
    bar.SetCornerButton(1019, 30);
    EXPECT_EQ(corner->GetRect().left, 238 - 30);
    GToolButton* wide = bar.AddItem(nullptr, 1047, 40, 1);
    EXPECT_EQ(wide->GetRect().right - wide->GetRect().left, 40);
    bar.AddItem(nullptr, 1048, 0, 0);
    EXPECT_EQ(bar.IsButtonVisible(1048), 0);
    EXPECT_EQ(Shown(), (std::vector<int>{1045, 1040, 1046, 1047, 1019}));
}

TEST_F(GToolBarExTest, ATapTellsTheParentAboutThePenAndTheOwnerAboutTheItem) {
    GToolButton* a = bar.AddItem(nullptr, 1045, 0, 1);
    Tap(a);
    const auto pens = view.Of(UM_TOOLBARPEN);
    ASSERT_EQ(pens.size(), 2u);
    EXPECT_EQ(pens[0].wParam, reinterpret_cast<WPARAM>(bar.GetSafeHwnd()));
    EXPECT_EQ(pens[0].lParam, 0);
    EXPECT_EQ(pens[1].lParam, 1);
    const auto commands = owner.Of(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wParam, MAKEWPARAM(1045, 0));
    EXPECT_TRUE(view.Of(WM_COMMAND).empty());
    EXPECT_TRUE(owner.Of(UM_TOOLBARPEN).empty());
    // A press beside every item still reports the pen, but no command.
    Down(200, kBarTop + 10);
    Up(200, kBarTop + 10);
    EXPECT_EQ(view.Of(UM_TOOLBARPEN).size(), 4u);
    EXPECT_EQ(owner.Of(WM_COMMAND).size(), 1u);
}

TEST_F(GToolBarExTest, APresetTappedBecomesTheSelectedItem) {
    GToolButton* group = PenGroup();
    bar.ShowLevel(group->GetPosition());
    Tap(pen2);
    EXPECT_EQ(bar.GetSelectedItem(), pen2);
    EXPECT_TRUE(pen2->GetFlag(eVBChecked));
    Tap(marker);
    EXPECT_EQ(bar.GetSelectedItem(), marker);
    EXPECT_FALSE(pen2->GetFlag(eVBChecked));
    EXPECT_EQ(owner.Of(WM_COMMAND).back().wParam, MAKEWPARAM(1051, 0));
}

TEST_F(GToolBarExTest, WidthsSnapToTheLadder) {
    struct Case {
        double width;
        int kind;
        double expect;
    };
    const Case cases[] = {
        {0.0, eDOPen, 0.1},        {0.05, eDOPen, 0.1},     {0.1, eDOPen, 0.1},
        {0.11, eDOPen, 0.25},      {0.3, eDOPen, 0.5},      {0.75, eDOPen, 0.75},
        {0.76, eDOPen, 1.0},       {1.2, eDOPen, 1.5},      {2.5, eDOPen, 2.5},
        {9.7, eDOPen, 10.0},       {10.2, eDOPen, 11.0},    {14.5, eDOPen, 15.0},
        {15.0, eDOPen, 15.0},      {40.0, eDOPen, 15.0},    {0.1, eDOMarker, 1.5},
        {0.1, eDOEraser, 1.5},     {0.1, eDOAirBrush, 1.5}, {0.2, eDOPencel, 0.25},
        {0.2, eDODelStroke, 0.25}, {1.6, eDOMarker, 2.0},   {-3.0, eDOPen, 0.1},
        {0.2, 99, 0.25},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " kind " << c.kind);
        EXPECT_EQ(bar.SnapWidth(c.width, c.kind), static_cast<LONG>(c.expect * FIXED_ONE));
    }
    // A stored width standing for a ladder value stays on it, whichever way it was rounded.
    EXPECT_EQ(bar.SnapWidth(6553.0 / FIXED_ONE, eDOPen), 6553);
    EXPECT_EQ(bar.SnapWidth(6554.0 / FIXED_ONE, eDOPen), 6553);
    EXPECT_EQ(bar.SnapWidth(std::numeric_limits<double>::quiet_NaN(), eDOPencel), FIXED_ONE / 4);
    EXPECT_EQ(bar.SnapWidth(std::numeric_limits<double>::infinity(), eDOPen), 15 * FIXED_ONE);
}

TEST_F(GToolBarExTest, ASidewaysDragOnTheSelectedPresetSetsTheWidthOfItsKind) {
    GToolButton* group = PenGroup();
    bar.ShowLevel(group->GetPosition());
    Tap(pen);
    const size_t before = owner.Of(WM_COMMAND).size();
    const POINT p = Mid(pen);
    Down(p.x, p.y);
    Move(p.x + 3, p.y);
    EXPECT_EQ(bar.GetGesture(), eTBGestureNone);
    // 30 pixels to the right: three units wider, 0.5 + 3 = 3.5 on the ladder.
    Move(p.x + 30, p.y + 2);
    EXPECT_EQ(bar.GetGesture(), eTBGestureWidth);
    EXPECT_EQ(pen->GetPenWidth(), 7 * kHalf);
    EXPECT_EQ(pen2->GetPenWidth(), 7 * kHalf);
    EXPECT_EQ(marker->GetPenWidth(), 6 * FIXED_ONE);
    auto commands = owner.Of(WM_COMMAND);
    ASSERT_GT(commands.size(), before);
    EXPECT_EQ(commands.back().wParam, MAKEWPARAM(1050, 0));
    // 0.5 + 0.02 goes up to 0.75; far left stops at the pen's least width.
    Move(p.x + 1, p.y);
    EXPECT_EQ(pen->GetPenWidth(), 3 * FIXED_ONE / 4);
    Move(0, p.y);
    EXPECT_EQ(pen->GetPenWidth(), 6553);
    EXPECT_EQ(pen2->GetPenWidth(), 6553);
    const size_t during = owner.Of(WM_COMMAND).size();
    Up(0, p.y);
    // The release is no click; the level stays.
    EXPECT_EQ(owner.Of(WM_COMMAND).size(), during);
    EXPECT_EQ(bar.GetShownLevel(), group->GetPosition());
    EXPECT_FALSE(pen->GetFlag(eVBPushed));
}

TEST_F(GToolBarExTest, AStrokePreviewDrawsOnTheBarThenTheBarGoesUpALevel) {
    InkraMan preview;
    HDC screen = ::GetDC(nullptr);
    ASSERT_TRUE(preview.InitBuffer(screen, RGB(255, 255, 255), 200, 100));
    ::ReleaseDC(nullptr, screen);
    preview.SetCurPage(-1, 0);
    ASSERT_NE(preview.GetCurPage(), nullptr);
    preview.SetUseCompensate(0);
    preview.SetDOStrokeType(eDOPen);
    preview.SetPenColor(RGB(255, 0, 0));
    preview.SetPenWidth(2 * FIXED_ONE);
    preview.SetMaxAlpha(255);
    bar.SetPreviewDrawMan(&preview);
    GToolButton* group = PenGroup();
    bar.ShowLevel(group->GetPosition());
    const COLORREF face = ScreenPixel(170, kBarTop + 13);
    ASSERT_NE(face, RGB(255, 0, 0));

    const int y = kBarTop + 13;
    Down(120, y);
    Move(140, y);
    EXPECT_EQ(bar.GetGesture(), eTBGesturePreview);
    Move(160, y);
    Move(190, y);
    const COLORREF ink = ScreenPixel(170, y);
    EXPECT_GT(GetRValue(ink), 200);
    EXPECT_LT(GetGValue(ink), 60);
    EXPECT_LT(GetBValue(ink), 60);
    EXPECT_EQ(ScreenPixel(170, kBarTop + 2), face); // the rest of the bar shows through
    Up(190, y);
    // Shown a moment longer, then the bar is itself again, one level up.
    Wait(kToolBarPreviewMs - 1);
    EXPECT_EQ(ScreenPixel(170, y), ink);
    EXPECT_TRUE(owner.Of(UM_TOOLBARLEVELUP).empty());
    Wait(1);
    EXPECT_EQ(bar.GetShownLevel(), nullptr);
    const auto ups = owner.Of(UM_TOOLBARLEVELUP);
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_EQ(ups[0].wParam, reinterpret_cast<WPARAM>(bar.GetSafeHwnd()));
    EXPECT_EQ(ScreenPixel(170, y), face);
    EXPECT_EQ(preview.GetCurPage()->GetTotalGDObjectNum(), 0);
    // The drag clicked nothing.
    EXPECT_TRUE(owner.Of(WM_COMMAND).empty());
}

TEST_F(GToolBarExTest, AnUpwardDragOrADragWithoutPreviewGoesUpALevel) {
    GToolButton* group = PenGroup();
    struct Case {
        POINT from, to;
    };
    const Case cases[] = {
        {{150, kBarTop + 20}, {152, kBarTop - 30}}, // mostly upwards
        {{120, kBarTop + 12}, {190, kBarTop + 12}}, // sideways, but nothing to preview with
    };
    int ups = 0;
    for (const Case& c : cases) {
        bar.ShowLevel(group->GetPosition());
        Down(c.from.x, c.from.y);
        Move(c.to.x, c.to.y);
        EXPECT_EQ(bar.GetGesture(), eTBGestureLevelUp);
        Up(c.to.x, c.to.y);
        EXPECT_EQ(bar.GetShownLevel(), nullptr);
        EXPECT_EQ(owner.Of(UM_TOOLBARLEVELUP).size(), static_cast<size_t>(++ups));
    }
    // On the top level a drag is no gesture.
    Down(150, kBarTop + 12);
    Move(220, kBarTop + 12);
    EXPECT_EQ(bar.GetGesture(), eTBGestureNone);
    Up(220, kBarTop + 12);
    EXPECT_EQ(owner.Of(UM_TOOLBARLEVELUP).size(), 2u);
}

TEST_F(GToolBarExTest, ShowButtonFindsItemsOnEveryLevel) {
    for (int id : {1000, 1001, 1002, 1003, 1004, 1006, 1007})
        bar.AddItem(nullptr, id, 0, id != 1002 && id != 1004);
    EXPECT_EQ(Shown(), (std::vector<int>{1000, 1001, 1003, 1006, 1007}));
    const RECT place = bar.GetButton(1001)->GetRect();
    bar.ShowButton(1001, 0);
    bar.ShowButton(1002, 1);
    bar.LayoutItems(1);
    EXPECT_EQ(Shown(), (std::vector<int>{1000, 1002, 1003, 1006, 1007}));
    EXPECT_EQ(bar.GetButton(1002)->GetRect().left, place.left);
    EXPECT_EQ(bar.IsButtonVisible(1001), 0);
    EXPECT_EQ(bar.IsButtonVisible(1002), 1);
    // Items of a level not on show: every item with the id.
    GToolButton* group = bar.AddItem(nullptr, 1040, 0, 1);
    GToolButton* a = bar.AddToolItem(group->GetPosition(), 1050, 0, 1, eDOPen, 0, kHalf, 255);
    GToolButton* b = bar.AddToolItem(group->GetPosition(), 1050, 0, 1, eDOPen, 0, kHalf, 255);
    bar.ShowButton(1050, 0);
    EXPECT_FALSE(a->GetFlag(eVBVisible));
    EXPECT_FALSE(b->GetFlag(eVBVisible));
    bar.SetEnable(1050, 0);
    EXPECT_EQ(bar.GetEnable(1050), 0);
    bar.SetCheck(1003, 1);
    EXPECT_EQ(bar.GetCheck(1003), 1);
    EXPECT_EQ(bar.IsButtonVisible(4242), 0);
    // The base class's way of adding a button puts it on the top level too.
    GVButton* added = bar.AddButton(1008, 8);
    EXPECT_EQ(bar.FindItem(nullptr, 1008), added);
    EXPECT_EQ(Shown().back(), 1008);
}

} // namespace
