#include "scribbo/GCustomMessageBox.h"

#include "dialog_test_support.h"
#include "toolbar_test_support.h"

#include <platform/display.h>

#include <fstream>
#include <string>

#include <unistd.h>

namespace {

using FadeBox = Scripted<GCustomMessageBox>;

// The box's own loop waits for messages; an input script is what moves time and gives input
// while it waits.
class AppMessageBoxTest : public ToolkitTest {
protected:
    void TearDown() override {
        plat::UnloadInputScript();
        ToolkitTest::TearDown();
        apptest::RestoreDefaultScreen();
    }
    void Script(const std::string& text) {
        // Tests of this suite run side by side in separate processes: one file each.
        const std::string path =
            ::testing::TempDir() + "/appbox_script_" + std::to_string(getpid()) + ".txt";
        std::ofstream(path) << text << "\nwait 100000\n";
        std::string error;
        ASSERT_TRUE(plat::LoadInputScript(path, &error)) << error;
    }
    static POINT ButtonCentre(GDialog& box, int index) {
        const RECT rc = box.GetButtonAt(index)->GetRect();
        const RECT at = box.GetDialogRect();
        return POINT{at.left + (rc.left + rc.right) / 2, at.top + (rc.top + rc.bottom) / 2};
    }
    Watchdog watchdog;
};

TEST_F(AppMessageBoxTest, ATimeOutAnswersWithTheDefaultAfterExactlyThatLong) {
    struct Case {
        int style;
        int expect;
    };
    for (const Case c : {Case{0, 1}, Case{4, 6}}) {
        SCOPED_TRACE(c.style);
        Script("wait 10000");
        const ULONGLONG start = plat::ClockNowMs();
        EXPECT_EQ(AppMessageBox(nullptr, u"저장했습니다.", u"알림", c.style, 3000, 0, 255, 0),
                  c.expect);
        EXPECT_EQ(plat::ClockNowMs() - start, 3000u);
        EXPECT_EQ(::FindWindowW(u"GCustomMessageBox", nullptr), nullptr);
    }
}

TEST_F(AppMessageBoxTest, AnEmptyTextShowsNothing) {
    const ULONGLONG start = plat::ClockNowMs();
    EXPECT_EQ(AppMessageBox(nullptr, u"", u"T", 0, 3000, 0, 255, 1), -1);
    EXPECT_EQ(AppMessageBox(nullptr, nullptr, u"T", 0, -1, 0, 255, 0), -1);
    EXPECT_EQ(plat::ClockNowMs(), start);
    EXPECT_EQ(::FindWindowW(u"GCustomMessageBox", nullptr), nullptr);
}

TEST_F(AppMessageBoxTest, EachStyleAnswersWithTheIdOfItsButton) {
    struct Case {
        int style;
        const char* keys;
        int expect;
    };
    const Case cases[] = {
        {0, "key RETURN", 1},           {1, "key RETURN", 1}, {1, "key RIGHT\nkey RETURN", 2},
        {1, "key ESCAPE", 2},           {4, "key RETURN", 6}, {4, "key RIGHT\nkey RETURN", 7},
        {4, "key LEFT\nkey RETURN", 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.style << ": " << c.keys);
        Script(c.keys);
        EXPECT_EQ(AppMessageBox(nullptr, u"페이지를 지울까요?", u"확인", c.style, -1, 0, 255, 0),
                  c.expect);
    }
}

TEST_F(AppMessageBoxTest, AFadeRisesToThePeakAndFallsToNothingBeforeTheAnswer) {
    FadeBox box;
    struct Tick {
        int alpha;
        ULONGLONG at;
    };
    std::vector<Tick> ticks;
    int startAlpha = -1;
    int pressedAfter = -1;
    box.onStart = [&] { startAlpha = box.GetAlpha(); };
    box.onMessage = [&](UINT msg, WPARAM wParam) {
        if (msg != WM_TIMER || wParam != kCustomBoxFadeTimer)
            return;
        ticks.push_back(Tick{box.GetAlpha(), plat::ClockNowMs()});
        if (box.GetAlpha() == box.GetPeakAlpha() && pressedAfter < 0) {
            pressedAfter = static_cast<int>(ticks.size());
            const POINT ok = ButtonCentre(box, 0);
            plat::InputStylusDown(ok.x, ok.y);
            plat::InputStylusUp(ok.x, ok.y);
        }
    };
    Script("wait 5000");
    EXPECT_EQ(box.DoMessageBox(nullptr, u"지웠습니다.", u"알림", 0, -1, 0, 224, 1), 1);
    EXPECT_EQ(startAlpha, 32);
    // Coming in the step grows by 2 from 5; going out it shrinks by 2 from 32.
    const std::vector<int> expect = {37,  44,  53,  64,  77,  92, 109, 128, 149, 172, 197,
                                     224, 192, 162, 134, 108, 84, 62,  42,  24,  8,   0};
    std::vector<int> seen;
    for (const Tick& t : ticks)
        seen.push_back(t.alpha);
    EXPECT_EQ(seen, expect);
    EXPECT_EQ(pressedAfter, 12);
    for (size_t i = 1; i < static_cast<size_t>(pressedAfter) && i < ticks.size(); ++i)
        EXPECT_EQ(ticks[i].at - ticks[i - 1].at, kCustomBoxFadeMs);
    // The answer comes with the last step, not before it.
    EXPECT_EQ(box.GetCurrentAlpha(), 0);
    EXPECT_EQ(box.GetSafeHwnd(), nullptr);
}

TEST_F(AppMessageBoxTest, ThePositionValuePutsTheBoxInTheMiddleAtTheTopOrAtTheBottom) {
    for (int position : {eBoxCentre, eBoxTop, eBoxBottom}) {
        SCOPED_TRACE(position);
        FadeBox box;
        RECT at{};
        box.onStart = [&] {
            at = box.GetDialogRect();
            box.Key(VK_ESCAPE);
        };
        EXPECT_EQ(box.DoMessageBox(nullptr, u"위치", u"T", 1, -1, position, 255, 0), 2);
        const int h = at.bottom - at.top;
        const int expectTop = position == eBoxTop      ? 0
                              : position == eBoxBottom ? 320 - h
                                                       : (320 - h) / 2;
        EXPECT_EQ(at.top, expectTop);
        EXPECT_EQ(box.GetBoxRect().top, expectTop);
    }
}

TEST_F(AppMessageBoxTest, OtherWindowsRepaintButTakeNoInputWhileTheBoxIsUp) {
    LoggingWinza under;
    ASSERT_TRUE(under.Create(nullptr, u"under", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320));
    Pump();
    FadeBox box;
    const size_t before = under.messages.size();
    box.onStart = [&] {
        plat::InputStylusDown(5, 5);
        plat::InputStylusUp(5, 5);
        ::InvalidateRect(under, nullptr, FALSE);
    };
    // Keys come once the loop has nothing left to do, so the paint has come by then.
    Script("wait 50\nkey ESCAPE");
    EXPECT_EQ(box.DoMessageBox(under, u"잠시만", u"T", 1, -1, 0, 255, 0), 2);
    int downs = 0, paints = 0;
    for (size_t i = before; i < under.messages.size(); ++i) {
        downs += under.messages[i] == WM_LBUTTONDOWN;
        paints += under.messages[i] == WM_PAINT;
    }
    EXPECT_EQ(downs, 0);
    EXPECT_GE(paints, 1);
}

} // namespace
