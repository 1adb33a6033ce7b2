#include "dialog_test_support.h"

#include "winza/GVButton.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

class GDialogTest : public ToolkitTest {
protected:
    // OK and Cancel side by side near the bottom of a dialog placed at (20, 40)-(220, 240).
    void AddOkCancel(GDialog& d) {
        GVButton* ok = d.AddVButton(1, -1, 0);
        ok->Create(RECT{20, 150, 90, 178}, 1);
        ok->SetFlag(1, eVBVisible | eVBEnabled, nullptr, 0);
        ok->SetLabel(u"OK", DT_CENTER | DT_SINGLELINE, 4);
        GVButton* cancel = d.AddVButton(2, -1, 0);
        cancel->Create(RECT{110, 150, 180, 178}, 2);
        cancel->SetFlag(1, eVBVisible | eVBEnabled, nullptr, 0);
        cancel->SetLabel(u"Cancel", DT_CENTER | DT_SINGLELINE, 4);
    }
    void SetUp() override {
        ToolkitTest::SetUp();
        dialog.place = RECT{20, 40, 220, 240};
        AddOkCancel(dialog);
    }
    TestDialog dialog;
    Watchdog watchdog;
};

TEST_F(GDialogTest, EscapeReleasedCancels) {
    dialog.onStart = [&] { dialog.Key(VK_ESCAPE); };
    EXPECT_EQ(dialog.DoModal(nullptr, 0), 2);
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
}

TEST_F(GDialogTest, ReturnReleasedOverAFocusedOkAnswersOne) {
    dialog.onStart = [&] {
        dialog.SetFocusIndex(0, 0);
        dialog.Key(VK_RETURN);
    };
    EXPECT_EQ(dialog.DoModal(nullptr, 0), 1);
}

TEST_F(GDialogTest, ArrowKeysMoveTheFocusAndWrap) {
    dialog.onStart = [&] {
        dialog.SetFocusIndex(0, 0);
        dialog.Key(VK_RIGHT); // to Cancel
        dialog.Key(VK_RIGHT); // wraps to OK
        dialog.Key(VK_LEFT);  // back to Cancel
        dialog.Key(VK_RETURN);
    };
    EXPECT_EQ(dialog.DoModal(nullptr, 0), 2);
}

TEST_F(GDialogTest, DisabledButtonsArePassedOverByTheKeys) {
    GVButton* middle = dialog.AddVButton(30, -1, 0);
    middle->Create(RECT{95, 150, 105, 178}, 30);
    middle->SetFlag(1, eVBVisible, nullptr, 0);
    dialog.onStart = [&] {
        dialog.SetFocusIndex(0, 0);
        dialog.Key(VK_LEFT); // wraps to the disabled last one, passes it, lands on Cancel
        dialog.Key(VK_RETURN);
    };
    EXPECT_EQ(dialog.DoModal(nullptr, 0), 2);
    EXPECT_EQ(dialog.GetFocusIndex(), 1);
}

TEST_F(GDialogTest, AKeyDownWhenTheDialogOpensDoesNothingUntilReleased) {
    dialog.SetFocusIndex(0, 0);
    plat::InputKey(VK_RETURN, true); // held as the dialog opens
    dialog.onStart = [&] {
        plat::InputKey(VK_RETURN, false); // its release only makes keys count again
        dialog.Key(VK_ESCAPE);
    };
    EXPECT_EQ(dialog.DoModal(nullptr, 0), 2);
}

// A menu the dialog opened closes on the press of Escape; its release must not cancel too.
TEST_F(GDialogTest, AnEscapeReleaseWhosePressWentElsewhereDoesNotCancel) {
    dialog.onStart = [&] {
        dialog.SetFocusIndex(0, 0);
        plat::InputKey(VK_ESCAPE, false);
        dialog.Key(VK_RETURN);
    };
    EXPECT_EQ(dialog.DoModal(nullptr, 0), 1);
}

TEST_F(GDialogTest, ATapOnOkEndsTheDialogDuringItsRelease) {
    LoggingWinza outside;
    ASSERT_TRUE(outside.Create(nullptr, u"out", WS_POPUP | WS_VISIBLE, 0, 260, 240, 60));
    dialog.onStart = [&] {
        plat::InputStylusDown(60, 200); // OK at (40, 190)-(110, 218) on the screen
        plat::InputStylusUp(60, 200);
        // A tap after the release is not for the dialog any more.
        plat::InputStylusDown(100, 300);
        plat::InputStylusUp(100, 300);
    };
    EXPECT_EQ(dialog.DoModal(nullptr, 0), 1);
    EXPECT_EQ(outside.Count(WM_LBUTTONDOWN), 0);
    Pump();
    EXPECT_EQ(outside.Count(WM_LBUTTONDOWN), 1);
    EXPECT_EQ(outside.Count(WM_LBUTTONUP), 1);
}

TEST_F(GDialogTest, SlidingOffOkBeforeTheReleaseKeepsTheDialogOpen) {
    dialog.onStart = [&] {
        plat::InputStylusDown(60, 200);
        plat::InputStylusMove(60, 100);
        plat::InputStylusUp(60, 100);
        dialog.Key(VK_ESCAPE);
    };
    EXPECT_EQ(dialog.DoModal(nullptr, 0), 2);
    // The press gave OK the focus.
    EXPECT_EQ(dialog.GetFocusIndex(), 0);
}

// A window that may act when it paints.
class PaintingWinza : public LoggingWinza {
public:
    void Draw(HDC hdc, RECT clip) override {
        LoggingWinza::Draw(hdc, clip);
        if (onDraw)
            onDraw();
    }
    std::function<void()> onDraw;
};

TEST_F(GDialogTest, WindowsOutsideGetNoInputButRepaint) {
    PaintingWinza outside;
    ASSERT_TRUE(outside.Create(nullptr, u"out", WS_POPUP | WS_VISIBLE, 0, 260, 240, 60));
    Pump();
    outside.messages.clear();
    const int drawsBefore = outside.draws;
    dialog.onStart = [&] {
        plat::InputStylusDown(100, 300);
        plat::InputStylusUp(100, 300);
        plat::InputKey('A', true);
        ::InvalidateRect(outside, nullptr, FALSE);
        // The dialog ends only once the outside window has painted inside its loop.
        outside.onDraw = [&] {
            outside.onDraw = nullptr;
            dialog.Key(VK_ESCAPE);
        };
    };
    EXPECT_EQ(dialog.DoModal(nullptr, 0), 2);
    EXPECT_GT(outside.draws, drawsBefore);
    EXPECT_EQ(outside.Count(WM_LBUTTONDOWN), 0);
    EXPECT_EQ(outside.Count(WM_LBUTTONUP), 0);
    EXPECT_EQ(outside.Count(WM_KEYDOWN), 0);
    plat::InputKey('A', false);
    Pump();
}

TEST_F(GDialogTest, ChildWindowsOfTheDialogStillGetTheirInput) {
    LoggingWinza child;
    dialog.onStart = [&] {
        ASSERT_TRUE(child.Create(dialog, u"child", WS_CHILD | WS_VISIBLE, 10, 10, 50, 50));
        plat::InputStylusDown(40, 60); // screen (40, 60) is the child's (10, 10)
        plat::InputStylusUp(40, 60);
        dialog.Key(VK_ESCAPE);
    };
    EXPECT_EQ(dialog.DoModal(nullptr, 0), 2);
    EXPECT_EQ(child.Count(WM_LBUTTONDOWN), 1);
}

TEST_F(GDialogTest, PopUpsTheDialogOwnsGetTheirInput) {
    LoggingWinza owned;
    dialog.onStart = [&] {
        // A preview or drop-down of the dialog: a pop-up over it, owned by it.
        ASSERT_TRUE(owned.Create(dialog, u"owned", WS_POPUP | WS_VISIBLE, 60, 80, 50, 50));
        plat::InputStylusDown(70, 90);
        plat::InputStylusUp(70, 90);
        dialog.Key(VK_ESCAPE);
    };
    EXPECT_EQ(dialog.DoModal(nullptr, 0), 2);
    EXPECT_EQ(owned.Count(WM_LBUTTONDOWN), 1);
}

TEST_F(GDialogTest, KeysComeBackWhenTheFocusWentElsewhere) {
    LoggingWinza outside;
    ASSERT_TRUE(outside.Create(nullptr, u"out", WS_POPUP | WS_VISIBLE, 0, 260, 240, 60));
    Pump();
    LoggingWinza child;
    dialog.onStart = [&] {
        // The focus leaves from a child (an edit field, say): the dialog itself hears nothing.
        ASSERT_TRUE(child.Create(dialog, u"child", WS_CHILD | WS_VISIBLE, 10, 10, 50, 50));
        ::SetFocus(child);
        ::SetActiveWindow(outside);
        ::SetFocus(outside);
        dialog.Key(VK_ESCAPE);
    };
    EXPECT_EQ(dialog.DoModal(nullptr, 0), 2);
    EXPECT_EQ(outside.Count(WM_KEYDOWN), 0);
}

TEST_F(GDialogTest, TheSameObjectRunsAgain) {
    dialog.SetTitle(1, u"Again", ApplyHires(26));
    dialog.onStart = [&] { dialog.Key(VK_ESCAPE); };
    EXPECT_EQ(dialog.DoModal(nullptr, 0), 2);
    dialog.onStart = [&] {
        dialog.SetFocusIndex(0, 0);
        dialog.Key(VK_RETURN);
    };
    EXPECT_EQ(dialog.DoModal(nullptr, 0), 1);
    EXPECT_EQ(std::u16string(dialog.GetTitle()), u"Again");
}

TEST_F(GDialogTest, AQuitMessageEndsTheLoopAndIsPassedOn) {
    dialog.onStart = [&] { ::PostQuitMessage(3); };
    EXPECT_EQ(dialog.DoModal(nullptr, 0), 2);
    MSG m;
    ASSERT_TRUE(::PeekMessageW(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(m.wParam, 3u);
}

TEST_F(GDialogTest, LayoutTakesTheScreenBelowTheTaskBar) {
    GDialog d;
    d.RecalcDialog(nullptr);
    EXPECT_EQ(d.GetDialogRect().left, 0);
    EXPECT_EQ(d.GetDialogRect().right, 240);
    if (!::FindWindowW(u"HHTaskbar", nullptr)) {
        EXPECT_EQ(d.GetDialogRect().top, 0);
        EXPECT_EQ(d.GetDialogRect().bottom, 321);
        plat::CreateTaskbar();
    }
    const HWND bar = ::FindWindowW(u"HHTaskbar", nullptr);
    ASSERT_NE(bar, nullptr);
    d.RecalcDialog(nullptr);
    EXPECT_EQ(d.GetDialogRect().top, 25);
    EXPECT_EQ(d.GetDialogRect().bottom, 321 - 26);
    // A task bar put away for a full-screen window leaves the whole screen.
    ::ShowWindow(bar, SW_HIDE);
    d.RecalcDialog(nullptr);
    ::ShowWindow(bar, SW_SHOWNA);
    EXPECT_EQ(d.GetDialogRect().top, 0);
    EXPECT_EQ(d.GetDialogRect().bottom, 321);
}

TEST_F(GDialogTest, RadioRunsAreBrokenByOtherButtons) {
    GDialog d;
    for (int id = 10; id <= 15; ++id) {
        GVButton* b = d.AddVButton(id, -1, 0);
        if (id != 13)
            b->SetFlag(1, eVBRadio, nullptr, 0);
    }
    // Runs: 10-12 and 14-15.
    EXPECT_EQ(d.GetRadioSelect(11), -1);
    EXPECT_EQ(d.SetRadioSelect(12, 0), 1);
    EXPECT_EQ(d.GetRadioSelect(10), 12);
    EXPECT_EQ(d.GetRadioSelect(11), 12);
    EXPECT_EQ(d.GetRadioSelect(14), -1);
    EXPECT_EQ(d.SetRadioSelect(14, 0), 1);
    EXPECT_EQ(d.GetRadioSelect(12), 12);
    EXPECT_EQ(d.GetRadioSelect(15), 14);
    EXPECT_EQ(d.SetRadioSelect(10, 0), 1);
    EXPECT_EQ(d.FindVButton(12)->GetFlag(eVBChecked), 0);
    EXPECT_EQ(d.FindVButton(14)->GetFlag(eVBChecked), 1);
    // The button itself wins, then those before it.
    d.FindVButton(11)->SetFlag(1, eVBChecked, nullptr, 0);
    EXPECT_EQ(d.GetRadioSelect(11), 11);
    EXPECT_EQ(d.GetRadioSelect(12), 11);
    // Not radio buttons, or no such id.
    EXPECT_EQ(d.SetRadioSelect(13, 0), 0);
    EXPECT_EQ(d.GetRadioSelect(13), -1);
    EXPECT_EQ(d.SetRadioSelect(99, 0), 0);
    EXPECT_EQ(d.GetRadioSelect(99), -1);
}

TEST_F(GDialogTest, TapsChooseRadiosAndToggleCheckBoxes) {
    GVButton* a = dialog.AddVButton(20, -1, 0);
    a->Create(RECT{10, 30, 90, 50}, 20);
    a->SetFlag(1, eVBVisible | eVBEnabled | eVBRadio | eVBChecked, nullptr, 0);
    GVButton* b = dialog.AddVButton(21, -1, 0);
    b->Create(RECT{10, 55, 90, 75}, 21);
    b->SetFlag(1, eVBVisible | eVBEnabled | eVBRadio, nullptr, 0);
    GVButton* box = dialog.AddVButton(22, -1, 0);
    box->Create(RECT{10, 80, 90, 100}, 22);
    box->SetFlag(1, eVBVisible | eVBEnabled | eVBCheckBox, nullptr, 0);
    dialog.onStart = [&] {
        plat::InputStylusDown(40, 105); // b at screen (30, 95)
        plat::InputStylusUp(40, 105);
        plat::InputStylusDown(40, 130); // box at screen (30, 120)
        plat::InputStylusUp(40, 130);
        dialog.Key(VK_ESCAPE);
    };
    EXPECT_EQ(dialog.DoModal(nullptr, 0), 2);
    EXPECT_EQ(dialog.GetRadioSelect(20), 21);
    EXPECT_EQ(a->GetFlag(eVBChecked), 0);
    EXPECT_EQ(box->GetFlag(eVBChecked), 1);
}

TEST_F(GDialogTest, AddFindAndRemoveButtons) {
    GDialog d;
    GVButton* a = d.AddVButton(5, 2, 0);
    EXPECT_EQ(d.AddVButton(5, 9, 0), a);
    EXPECT_EQ(a->GetImageIndex(), 2);
    GVButton* spin = d.AddVButton(6, -1, kDialogSpinButton);
    EXPECT_TRUE(spin->GetFlag(eVBSpin));
    EXPECT_EQ(d.FindVButton(6), spin);
    d.SetFocusIndex(1, 0);
    EXPECT_EQ(d.GetReturnValue(), 6);
    d.RemoveVButton(spin);
    EXPECT_EQ(d.FindVButton(6), nullptr);
    EXPECT_EQ(d.GetReturnValue(), 0);
    EXPECT_EQ(d.GetButtonCount(), 1);
    EXPECT_EQ(d.OnOK(), 1);
    EXPECT_EQ(d.OnCancel(), 2);
}

TEST_F(GDialogTest, PlainFrameAndTitleArePainted) {
    dialog.SetTitle(1, u"Title", 26);
    COLORREF border = 0, body = 0, strip = 0, below = 0;
    dialog.onStart = [&] {
        border = ScreenPixel(20, 200);
        body = ScreenPixel(40, 100);
        strip = ScreenPixel(200, 50);
        below = ScreenPixel(200, 67);
        dialog.Key(VK_ESCAPE);
    };
    EXPECT_EQ(dialog.DoModal(nullptr, 0), 2);
    EXPECT_EQ(border, kBlack);
    EXPECT_EQ(body, kWhite);
    EXPECT_EQ(strip, static_cast<COLORREF>(0x993333));
    EXPECT_EQ(below, kWhite);
}

TEST_F(GDialogTest, WithoutATitleALineRunsAcrossTheTop) {
    COLORREF top = 0, next = 0;
    dialog.onStart = [&] {
        top = ScreenPixel(100, 40);
        next = ScreenPixel(100, 41);
        dialog.Key(VK_ESCAPE);
    };
    dialog.DoModal(nullptr, 0);
    EXPECT_EQ(top, kBlack);
    EXPECT_EQ(next, kWhite);
}

TEST_F(GDialogTest, AFrameBitmapGivesTheTitleStripEdgesAndBody) {
    // 40 x 60: title rows 0..25 red, left edge blue, right edge green, body yellow, bottom
    // edge cyan.
    GDib frame;
    frame.Create(40, 60, 24);
    frame.FillRect(0, 0, 40, 26, RGB(200, 0, 0));
    frame.FillRect(0, 26, 10, 34, RGB(0, 0, 200));
    frame.FillRect(30, 26, 10, 34, RGB(0, 200, 0));
    frame.FillRect(10, 26, 20, 24, RGB(200, 200, 0));
    frame.FillRect(10, 50, 20, 10, RGB(0, 200, 200));
    dialog.SetDibDlgFrame(&frame, 0);
    dialog.SetTitle(1, u"T", 26);
    COLORREF title = 0, left = 0, right = 0, body = 0, bottom = 0;
    dialog.onStart = [&] {
        title = ScreenPixel(120, 45);
        left = ScreenPixel(24, 120);
        right = ScreenPixel(216, 120);
        body = ScreenPixel(120, 100);
        bottom = ScreenPixel(120, 235);
        dialog.Key(VK_ESCAPE);
    };
    dialog.DoModal(nullptr, 0);
    EXPECT_EQ(title, RGB(200, 0, 0));
    EXPECT_EQ(left, RGB(0, 0, 200));
    EXPECT_EQ(right, RGB(0, 200, 0));
    EXPECT_EQ(body, RGB(200, 200, 0));
    EXPECT_EQ(bottom, RGB(0, 200, 200));
}

} // namespace
