#include "dialog_test_support.h"

#include "winza/GVButton.h"

#include <memory>
#include <string>

namespace {

class GMessageBoxTest : public ToolkitTest {
protected:
    // Made once the screen is known: a dialog fixes its sizes when it is constructed.
    void SetUp() override {
        ToolkitTest::SetUp();
        box = std::make_unique<TestMessageBox>();
    }
    void TearDown() override {
        box.reset();
        ToolkitTest::TearDown();
    }
    std::unique_ptr<TestMessageBox> box;
    Watchdog watchdog;
};

// Screen position of the centre of a button of the box.
POINT Centre(GDialog& d, int index) {
    const RECT rc = d.GetButtonAt(index)->GetRect();
    const RECT at = d.GetDialogRect();
    return POINT{at.left + (rc.left + rc.right) / 2, at.top + (rc.top + rc.bottom) / 2};
}

TEST_F(GMessageBoxTest, EachSetHasItsButtonsLabelsAndPlaces) {
    struct Expect {
        int set;
        std::vector<int> ids;
        std::vector<std::u16string> labels;
        int first;
        int width;
        int step;
        int minWidth;
    };
    const std::vector<Expect> sets = {
        {0, {1}, {u"확인"}, 72, 72, 0, 120},
        {1, {1, 2}, {u"확인", u"취소"}, 148, 64, 84, 160},
        // Three buttons need 220 pixels and a margin of 6 on either side.
        {2, {3, 4, 5}, {u"중단", u"재시도", u"무시"}, 220, 60, 80, 232},
        {3, {6, 7, 2}, {u"예", u"아니오", u"취소"}, 220, 60, 80, 232},
        {4, {6, 7}, {u"예", u"아니오"}, 148, 64, 84, 160},
        {5, {4, 2}, {u"재시도", u"취소"}, 148, 64, 84, 160},
    };
    for (const Expect& e : sets) {
        SCOPED_TRACE(e.set);
        TestMessageBox b;
        b.onStart = [&] {
            const RECT at = b.GetDialogRect();
            const int w = at.right - at.left;
            const int h = at.bottom - at.top;
            EXPECT_EQ(w, e.minWidth);
            ASSERT_EQ(b.GetButtonCount(), static_cast<int>(e.ids.size()));
            for (size_t i = 0; i < e.ids.size(); ++i) {
                GVButton* btn = b.GetButtonAt(static_cast<int>(i));
                EXPECT_EQ(btn->GetID(), e.ids[i]);
                EXPECT_EQ(std::u16string(btn->GetLabel()), e.labels[i]);
                const RECT rc = btn->GetRect();
                EXPECT_EQ(rc.left, (w - e.first) / 2 + static_cast<int>(i) * e.step);
                EXPECT_EQ(rc.right - rc.left, e.width);
                EXPECT_EQ(rc.bottom, h - 16);
                EXPECT_GE(rc.left, 0);
                EXPECT_LE(rc.right, w);
                EXPECT_EQ(rc.top, h - 16 - b.GetButtonHeight());
            }
            // Centred on the screen.
            EXPECT_EQ(at.left, (240 - w) / 2);
            EXPECT_EQ(at.top, (320 - h) / 2);
            b.Key(VK_ESCAPE);
        };
        EXPECT_EQ(b.PopupWindow(nullptr, u"Hi", u"T", e.set, nullptr, nullptr, 0, 0), 2);
    }
}

TEST_F(GMessageBoxTest, HeightIsMessageTitleButtonsAndMargins) {
    HFONT font = ::CreateFontW(14, 0, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 5, 0, u"Tahoma");
    RECT measure{0, 0, 100000, 100000};
    HDC dc = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, font);
    ::DrawTextW(dc, u"one\ntwo", -1, &measure, DT_CENTER | DT_CALCRECT);
    ::SelectObject(dc, old);
    ::ReleaseDC(nullptr, dc);
    RECT at{}, message{};
    box->onStart = [&] {
        at = box->GetDialogRect();
        message = box->GetMessageRect();
        box->Key(VK_ESCAPE);
    };
    box->PopupWindow(nullptr, u"one\ntwo", u"T", 0, font, font, 0, 0);
    const int textH = measure.bottom - measure.top;
    EXPECT_EQ(at.bottom - at.top, textH + 26 + 28 + 48);
    // The message lies between the title strip and the buttons, centred.
    const int buttonTop = (at.bottom - at.top) - 28 - 16;
    EXPECT_EQ(message.top - 26, buttonTop - message.bottom);
    EXPECT_EQ(message.bottom - message.top, textH);
    ::DeleteObject(font);
}

TEST_F(GMessageBoxTest, AMessageWiderThanTheScreenMakesAScreenWideBox) {
    std::u16string wide;
    for (int i = 0; i < 30; ++i)
        wide += u"wide words ";
    RECT at{}, message{};
    box->onStart = [&] {
        at = box->GetDialogRect();
        message = box->GetMessageRect();
        box->Key(VK_ESCAPE);
    };
    box->PopupWindow(nullptr, wide.c_str(), u"Wide", eMBYesNo, nullptr, nullptr, 0, 0);
    EXPECT_EQ(at.left, 0);
    EXPECT_EQ(at.right, 240);
    // Broken into several lines that fit.
    EXPECT_GT(message.bottom - message.top, 3 * box->GetLineHeight());
    EXPECT_LE(at.bottom - at.top, 320);
}

TEST_F(GMessageBoxTest, TheTimeOutAnswersWithTheFocusedButton) {
    box->onStart = [&] { plat::AdvanceClock(3000); };
    EXPECT_EQ(box->PopupWindow(nullptr, u"Save?", u"T", eMBOkCancel, nullptr, nullptr, 3000, 0), 1);
    TestMessageBox second;
    int fired = 0;
    second.onStart = [&] {
        second.SetFocusIndex(1, 0);
        plat::AdvanceClock(2999);
        second.onMessage = [&](UINT msg, WPARAM wParam) {
            if (msg == WM_TIMER && wParam == kMessageBoxTimer)
                ++fired;
            if (msg == WM_NULL)
                plat::AdvanceClock(1);
        };
        ::PostMessageW(second, WM_NULL, 0, 0);
    };
    EXPECT_EQ(second.PopupWindow(nullptr, u"Keep?", u"T", eMBYesNo, nullptr, nullptr, 3000, 0),
              eMBIdNo);
    EXPECT_EQ(fired, 1);
}

TEST_F(GMessageBoxTest, AKeyDownStopsTheTimeOut) {
    box->onMessage = [&](UINT msg, WPARAM) {
        if (msg == WM_KEYDOWN) {
            box->onMessage = nullptr;
            plat::AdvanceClock(10000); // stopped: nothing fires
            box->Key(VK_ESCAPE);
        }
    };
    box->onStart = [&] { plat::InputKey(VK_RIGHT, true); };
    EXPECT_EQ(box->PopupWindow(nullptr, u"Wait", u"T", eMBOkCancel, nullptr, nullptr, 3000, 0), 2);
    plat::InputKey(VK_RIGHT, false);
    Pump();
}

TEST_F(GMessageBoxTest, AReleaseThatDoesNotEndTheBoxRestartsTheTimeOut) {
    int stage = 0;
    box->onStart = [&] {
        plat::AdvanceClock(2000);
        // A tap beside the buttons: the time-out starts again from its release.
        const RECT at = box->GetDialogRect();
        plat::InputStylusDown(at.left + 5, at.top + 40);
        plat::InputStylusUp(at.left + 5, at.top + 40);
    };
    box->onMessage = [&](UINT msg, WPARAM) {
        if (msg == WM_LBUTTONUP && stage == 0) {
            stage = 1;
            plat::AdvanceClock(2000); // 4000 since the start, 2000 since the release
            ::PostMessageW(*box, WM_NULL, 0, 0);
        } else if (msg == WM_NULL && stage == 1) {
            stage = 2;
            box->SetFocusIndex(1, 0);
            plat::AdvanceClock(1000); // now 3000 since the release
        }
    };
    EXPECT_EQ(box->PopupWindow(nullptr, u"Tap", u"T", eMBOkCancel, nullptr, nullptr, 3000, 0), 2);
    EXPECT_EQ(stage, 2);
}

TEST_F(GMessageBoxTest, YesAndNoAnswerTheBoxWithTheirIds) {
    box->onStart = [&] {
        const POINT yes = Centre(*box, 0);
        plat::InputStylusDown(yes.x, yes.y);
        plat::InputStylusUp(yes.x, yes.y);
    };
    EXPECT_EQ(box->PopupWindow(nullptr, u"Delete?", u"T", eMBYesNo, nullptr, nullptr, 0, 0),
              eMBIdYes);
    TestMessageBox no;
    no.onStart = [&] {
        no.Key(VK_RIGHT);
        no.Key(VK_RETURN);
    };
    EXPECT_EQ(no.PopupWindow(nullptr, u"Delete?", u"T", eMBYesNoCancel, nullptr, nullptr, 0, 0),
              eMBIdNo);
    TestMessageBox retry;
    retry.onStart = [&] {
        const POINT p = Centre(retry, 1);
        plat::InputStylusDown(p.x, p.y);
        plat::InputStylusUp(p.x, p.y);
    };
    EXPECT_EQ(
        retry.PopupWindow(nullptr, u"Again?", u"T", eMBAbortRetryIgnore, nullptr, nullptr, 0, 0),
        eMBIdRetry);
}

TEST_F(GMessageBoxTest, CentredOnTheParentWindow) {
    LoggingWinza parent;
    ASSERT_TRUE(parent.Create(nullptr, u"p", WS_POPUP | WS_VISIBLE, 0, 0, 120, 160));
    RECT at{};
    box->onStart = [&] {
        at = box->GetDialogRect();
        box->Key(VK_ESCAPE);
    };
    box->PopupWindow(parent, u"x", u"T", eMBOk, nullptr, nullptr, 0, 0);
    // 120 wide: centred on the parent's 120 columns; the height centred on its 160 rows.
    EXPECT_EQ(at.left, 0);
    EXPECT_EQ((at.top + at.bottom) / 2, 80);
}

TEST_F(GMessageBoxTest, ABoxWithoutButtonsGoesAwayAfterItsTimeOut) {
    box->onStart = [&] { plat::AdvanceClock(500); };
    EXPECT_EQ(box->PopupWindow(nullptr, u"Saved", nullptr, 99, nullptr, nullptr, 500, 0), 2);
    EXPECT_EQ(box->GetButtonCount(), 0);
}

} // namespace

namespace {

class GMessageBoxHiresTest : public GMessageBoxTest {
protected:
    GMessageBoxHiresTest() {
        screenW = 480;
        screenH = 640;
    }
};

TEST_F(GMessageBoxHiresTest, SizesDoubleOnALargeScreen) {
    ASSERT_EQ(IsHires(), 1);
    // Made once the screen is known: the sizes are fixed when a dialog is constructed.
    TestMessageBox box;
    RECT at{}, first{}, second{};
    box.onStart = [&] {
        at = box.GetDialogRect();
        first = box.GetButtonAt(0)->GetRect();
        second = box.GetButtonAt(1)->GetRect();
        box.Key(VK_ESCAPE);
    };
    box.PopupWindow(nullptr, u"x", u"T", eMBOkCancel, nullptr, nullptr, 0, 0);
    EXPECT_EQ(at.right - at.left, 320);
    EXPECT_EQ(first.left, (320 - 296) / 2);
    EXPECT_EQ(first.right - first.left, 128);
    EXPECT_EQ(second.left - first.left, 168);
    EXPECT_EQ(first.bottom - first.top, 56);
    EXPECT_EQ(first.bottom, (at.bottom - at.top) - 32);
}

TEST_F(GMessageBoxHiresTest, DialogLayoutLeavesTheDoubledTaskBar) {
    plat::CreateTaskbar();
    GDialog d;
    d.RecalcDialog(nullptr);
    EXPECT_EQ(d.GetDialogRect().top, 52 - 2);
    EXPECT_EQ(d.GetDialogRect().bottom, 642 - 52);
    EXPECT_EQ(d.GetDialogRect().right, 480);
}

} // namespace
