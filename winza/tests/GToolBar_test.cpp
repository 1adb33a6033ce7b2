#include "winza/GImageList.h"
#include "winza/GToolBar.h"
#include "winza/GVButton.h"
#include "vbutton_test_support.h"

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);

// A window that records the commands it receives.
class CommandWinza : public Winza {
public:
    explicit CommandWinza(LPCWSTR name) : m_name(name) {}
    LPCWSTR GetClassNameW() override { return m_name; }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_COMMAND)
            commands.push_back(Command{LOWORD(wParam), HIWORD(wParam), lParam});
        return Winza::WndProc(hwnd, msg, wParam, lParam);
    }
    struct Command {
        int id;
        int code;
        LPARAM from;
    };
    std::vector<Command> commands;

private:
    LPCWSTR m_name;
};

// A list of n 20 x 20 cells, cell i filled with Colour(i).
void MakeCells(GImageList& list, int n) {
    GDib strip;
    strip.Create(20 * n, 20, 24);
    for (int i = 0; i < n; ++i)
        strip.FillRect(20 * i, 0, 20, 20, RGB(10 * i + 5, 200, 30));
    list.CreateImageList(20, 20, &strip, kMagenta);
}

class GToolBarTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        ASSERT_TRUE(frame.Create(nullptr, u"frame", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320));
        ASSERT_TRUE(view.Create(frame, u"view", WS_CHILD | WS_VISIBLE, 0, 0, 240, 320));
        ASSERT_TRUE(bar.CreateBar(view, &view, RECT{0, 280, 240, 312}, eGBarHorizontal));
        MakeCells(cells, 4);
    }
    CommandWinza frame{u"CmdFrame"};
    CommandWinza view{u"CmdView"};
    GToolBar bar;
    GImageList cells;
};

TEST_F(GToolBarTest, TwentyPixelCellsGiveTwentyEightByTwentySevenButtons) {
    EXPECT_EQ(bar.SetButtonImage(&cells, 0), 1);
    EXPECT_EQ(bar.GetButtonWidth(), 28);
    EXPECT_EQ(bar.GetButtonHeight(), 27);
    GVButton* a = bar.AddButton(101, 0);
    GVButton* b = bar.AddButton(102, 1);
    GVButton* sep = bar.AddButton(kSeparatorId, -1);
    GVButton* c = bar.AddButton(103, 2);
    // Bar 32 high: buttons centred at y 2..29, from the first offset 2.
    EXPECT_EQ(a->GetRect().left, 2);
    EXPECT_EQ(a->GetRect().right, 30);
    EXPECT_EQ(a->GetRect().top, 2);
    EXPECT_EQ(a->GetRect().bottom, 29);
    EXPECT_EQ(b->GetRect().left, 30);
    EXPECT_EQ(sep->GetRect().left, 58);
    EXPECT_EQ(sep->GetRect().right, 59);
    EXPECT_EQ(sep->GetRect().top, 2);
    EXPECT_EQ(sep->GetRect().bottom, 30);
    EXPECT_TRUE(sep->GetFlag(eVBSeparator));
    EXPECT_EQ(c->GetRect().left, 59);
    EXPECT_EQ(c->GetIconDefault(), &cells);
    EXPECT_EQ(bar.GetButton(103), c);
    EXPECT_EQ(bar.GetButton(999), nullptr);
}

TEST_F(GToolBarTest, SpacingHiddenButtonsAndDropDownsShapeTheRow) {
    bar.SetButtonImage(&cells, 0);
    bar.SetSpacing(3);
    bar.AddButton(1, 0);
    bar.AddButton(2, 1, 0); // hidden
    GVButton* drop = bar.AddButton(3, 2);
    drop->SetFlag(1, eVBDropDown, nullptr, 0);
    GVButton* last = bar.AddButton(4, 3);
    bar.UpdateAllButton(0);
    EXPECT_EQ(bar.GetButton(1)->GetRect().left, 2);
    EXPECT_EQ(drop->GetRect().left, 2 + 28 + 3);
    EXPECT_EQ(drop->GetRect().right, 33 + 28 + 11);
    EXPECT_EQ(last->GetRect().left, 72 + 3);
    // Showing the hidden one moves those after it.
    bar.ShowButton(2, 1);
    EXPECT_EQ(bar.IsButtonVisible(2), 1);
    EXPECT_EQ(bar.GetButton(2)->GetRect().left, 33);
    EXPECT_EQ(drop->GetRect().left, 33 + 31);
}

TEST_F(GToolBarTest, AButtonSizeLargerThanTheBarIsRefused) {
    bar.SetButtonImage(&cells, 0);
    GVButton* a = bar.AddButton(1, 0);
    const RECT before = a->GetRect();
    EXPECT_EQ(bar.SetButtonSize(20, 33, 0), 0);
    EXPECT_EQ(bar.SetButtonSize(241, 20, 0), 0);
    EXPECT_EQ(bar.GetButtonHeight(), 27);
    EXPECT_EQ(a->GetRect().left, before.left);
    EXPECT_EQ(a->GetRect().bottom, before.bottom);
    EXPECT_EQ(bar.SetButtonSize(30, 32, 0), 1);
    EXPECT_EQ(a->GetRect().top, 0);
    EXPECT_EQ(a->GetRect().right, 32);
}

TEST_F(GToolBarTest, VerticalBarsStackButtonsAndLaySeparatorsAcross) {
    GToolBar side;
    ASSERT_TRUE(side.CreateBar(view, &view, RECT{200, 0, 240, 200}, eGBarVertical));
    side.SetButtonImage(&cells, 0);
    GVButton* a = side.AddButton(1, 0);
    GVButton* sep = side.AddButton(kSeparatorId, -1);
    GVButton* b = side.AddButton(2, 1);
    EXPECT_EQ(a->GetRect().top, 2);
    EXPECT_EQ(a->GetRect().bottom, 29);
    EXPECT_EQ(a->GetRect().left, (40 - 28) / 2);
    EXPECT_EQ(sep->GetRect().top, 29);
    EXPECT_EQ(sep->GetRect().bottom, 30);
    EXPECT_EQ(sep->GetRect().left, 2);
    EXPECT_EQ(sep->GetRect().right, 38);
    EXPECT_FALSE(sep->GetFlag(eVBSeparator));
    EXPECT_TRUE(sep->IsSeparator());
    EXPECT_EQ(b->GetRect().top, 30);
}

TEST_F(GToolBarTest, ACopiedListOutlivesItsSource) {
    auto* source = new GImageList;
    MakeCells(*source, 2);
    EXPECT_EQ(bar.SetButtonImage(source, 1), 1);
    GVButton* a = bar.AddButton(1, 1);
    delete source;
    ASSERT_NE(bar.GetButtonImage(), nullptr);
    EXPECT_EQ(a->GetIconDefault(), bar.GetButtonImage());
    bar.Invalidate(0);
    Pump();
    // Cell 1 centred in the 28 x 27 button at (2, 2): offset min(4, 3) = 3.
    EXPECT_EQ(ScreenPixel(2 + 3 + 5, 280 + 2 + 3 + 5), RGB(15, 200, 30));
    // A list without a bitmap is refused.
    GImageList empty;
    EXPECT_EQ(bar.SetButtonImage(&empty, 1), 0);
    EXPECT_EQ(bar.SetButtonImage(nullptr, 0), 0);
    EXPECT_EQ(a->GetIconDefault(), nullptr);
}

TEST_F(GToolBarTest, EnableCheckAndShowByIdIgnoreUnknownIds) {
    bar.SetButtonImage(&cells, 0);
    bar.AddButton(1, 0, 1, 0, 1);
    EXPECT_EQ(bar.GetEnable(1), 0);
    EXPECT_EQ(bar.GetCheck(1), 1);
    bar.SetEnable(1, 1);
    bar.SetCheck(1, 0);
    EXPECT_EQ(bar.GetEnable(1), 1);
    EXPECT_EQ(bar.GetCheck(1), 0);
    bar.SetEnable(77, 1);
    bar.SetCheck(77, 1);
    bar.ShowButton(77, 1);
    EXPECT_EQ(bar.GetEnable(77), 0);
    EXPECT_EQ(bar.GetCheck(77), 0);
    EXPECT_EQ(bar.IsButtonVisible(77), 0);
}

TEST_F(GToolBarTest, CheckingRepaintsAtOnceAndHidingClearsThePicture) {
    SetGLibColor(3, RGB(1, 1, 3));
    SetGLibColor(16, RGB(1, 1, 16));
    bar.SetButtonImage(&cells, 0);
    bar.AddButton(1, -1);
    bar.AddButton(2, -1);
    bar.Invalidate(0);
    Pump();
    EXPECT_EQ(ScreenPixel(40, 295), RGB(1, 1, 3));
    bar.SetCheck(2, 1);
    EXPECT_EQ(ScreenPixel(40, 295), RGB(1, 1, 16));
    // Hiding the first moves the checked one into its place and leaves bare bar behind it.
    bar.ShowButton(1, 0);
    Pump();
    EXPECT_EQ(ScreenPixel(10, 295), RGB(1, 1, 16));
    EXPECT_EQ(ScreenPixel(40, 295), RGB(1, 1, 3));
}

TEST_F(GToolBarTest, AClickGoesToTheOwnerAndUpThePreTranslateChain) {
    bar.SetButtonImage(&cells, 0);
    bar.AddButton(101, 0);
    bar.AddButton(102, 1);
    Down(40, 295);
    // The press (code 2) stays in the bar.
    EXPECT_TRUE(view.commands.empty());
    EXPECT_TRUE(frame.commands.empty());
    Up(40, 295);
    ASSERT_EQ(view.commands.size(), 1u);
    EXPECT_EQ(view.commands[0].id, 102);
    EXPECT_EQ(view.commands[0].code, 0);
    EXPECT_EQ(view.commands[0].from, reinterpret_cast<LPARAM>(bar.GetSafeHwnd()));
    ASSERT_EQ(frame.commands.size(), 1u);
    EXPECT_EQ(frame.commands[0].id, 102);
}

TEST_F(GToolBarTest, AnOwnerThatIsTopLevelGetsTheClickOnce) {
    GToolBar top;
    ASSERT_TRUE(top.CreateBar(frame, &frame, RECT{0, 0, 240, 30}, eGBarHorizontal));
    top.SetButtonImage(&cells, 0);
    top.AddButton(5, 0);
    Down(10, 10);
    Up(10, 10);
    ASSERT_EQ(frame.commands.size(), 1u);
    EXPECT_EQ(frame.commands[0].id, 5);
    EXPECT_TRUE(view.commands.empty());
}

// An owner that deletes itself when a command comes.
class SelfDeletingOwner : public Winza {
public:
    explicit SelfDeletingOwner(int* gone) : m_gone(gone) {}
    LPCWSTR GetClassNameW() override { return u"SelfDeletingOwner"; }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_COMMAND) {
            ++*m_gone;
            delete this;
            return 0;
        }
        return Winza::WndProc(hwnd, msg, wParam, lParam);
    }

private:
    int* m_gone;
};

TEST_F(GToolBarTest, AnOwnerDeletedByTheClickEndsTheForwarding) {
    int gone = 0;
    auto* owner = new SelfDeletingOwner(&gone);
    ASSERT_TRUE(owner->Create(nullptr, u"o", WS_POPUP, 0, 0, 10, 10));
    GToolBar top;
    ASSERT_TRUE(top.CreateBar(frame, owner, RECT{0, 0, 240, 30}, eGBarHorizontal));
    top.SetButtonImage(&cells, 0);
    top.AddButton(5, 0);
    Down(10, 10);
    Up(10, 10);
    EXPECT_EQ(gone, 1);
    EXPECT_TRUE(frame.commands.empty());
    EXPECT_NE(top.GetSafeHwnd(), nullptr);
}

// An owner that deletes the bar when its command comes.
class BarDeletingOwner : public Winza {
public:
    LPCWSTR GetClassNameW() override { return u"BarDeletingOwner"; }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_COMMAND) {
            ids.push_back(LOWORD(wParam));
            delete bar;
            bar = nullptr;
            return 0;
        }
        return Winza::WndProc(hwnd, msg, wParam, lParam);
    }
    GToolBar* bar = nullptr;
    std::vector<int> ids;
};

TEST_F(GToolBarTest, AClickThatDeletesTheBarIsSafe) {
    BarDeletingOwner owner;
    ASSERT_TRUE(owner.Create(nullptr, u"o", WS_POPUP, 0, 0, 10, 10));
    owner.bar = new GToolBar;
    ASSERT_TRUE(owner.bar->CreateBar(frame, &owner, RECT{0, 0, 240, 30}, eGBarHorizontal));
    owner.bar->SetButtonImage(&cells, 0);
    owner.bar->AddButton(5, 0);
    owner.bar->AddButton(6, 1);
    Down(10, 10);
    Up(10, 10);
    EXPECT_EQ(owner.bar, nullptr);
    EXPECT_EQ(owner.ids, (std::vector<int>{5}));
}

TEST_F(GToolBarTest, SlidingOffTheBarAndReleasingOutsideClicksNothing) {
    bar.SetButtonImage(&cells, 0);
    GVButton* a = bar.AddButton(101, 0);
    Down(10, 295);
    EXPECT_TRUE(a->GetFlag(eVBPushed));
    Move(10, 100);
    EXPECT_FALSE(a->GetFlag(eVBPushed));
    Up(10, 100);
    EXPECT_TRUE(view.commands.empty());
    EXPECT_FALSE(a->GetFlag(eVBPressState));
    // Sliding back on before the release clicks.
    Down(10, 295);
    Move(10, 100);
    Move(12, 290);
    Up(12, 290);
    ASSERT_EQ(view.commands.size(), 1u);
    EXPECT_EQ(view.commands[0].id, 101);
}

TEST_F(GToolBarTest, DisabledButtonsOnTheBarDoNotClick) {
    bar.SetButtonImage(&cells, 0);
    bar.AddButton(101, 0, 1, 0);
    Down(10, 295);
    Up(10, 295);
    EXPECT_TRUE(view.commands.empty());
}

TEST_F(GToolBarTest, HoverIsClearedWhenThePenLeavesTheBar) {
    bar.SetButtonImage(&cells, 0);
    GVButton* a = bar.AddButton(101, 0);
    plat::InputHover(10, 295);
    Pump();
    EXPECT_TRUE(a->GetFlag(eVBHover));
    plat::InputHover(10, 100);
    Pump();
    // The move outside reaches the bar only while the pen is over it, so the bar is told
    // directly here, as a host tracking the pen would.
    ::SendMessageW(bar, WM_MOUSEMOVE, 0, MAKELPARAM(10, static_cast<WORD>(-20)));
    EXPECT_FALSE(a->GetFlag(eVBHover));
}

class GToolBarHiresTest : public GToolBarTest {
protected:
    GToolBarHiresTest() {
        screenW = 480;
        screenH = 640;
    }
};

TEST_F(GToolBarHiresTest, SeparatorsAreTwoPixelsWide) {
    ASSERT_EQ(IsHires(), 1);
    bar.SetButtonImage(&cells, 0);
    bar.AddButton(1, 0);
    GVButton* sep = bar.AddButton(kSeparatorId, -1);
    EXPECT_EQ(sep->GetRect().left, 30);
    EXPECT_EQ(sep->GetRect().right, 32);
}

} // namespace
