// The tap-and-hold gesture: timing, what cancels it, what it leaves on the screen, and how it
// shares the thread with other windows while it waits.
#include "gesture_test_support.h"

#include <algorithm>

namespace {

// A full-screen pattern window at the top left; client and screen coordinates agree.
class Hold : public GestureTest {
protected:
    void SetUp() override {
        GestureTest::SetUp();
        ASSERT_EQ(w.Create(nullptr, u"pad", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320), 1);
        ::SetFocus(w.GetSafeHwnd());
        Pump();
        w.messages.clear();
    }
    PatternWinza w;
    const RECT screen{0, 0, 240, 320};
};

TEST_F(Hold, LiftAfter100msCancelsAndTheLiftReachesTheWindow) {
    Script("wait 100\nup 50 60\nwait 5000\n");
    const std::vector<COLORREF> before = Grab(screen);
    const ULONGLONG t0 = clock.Now();
    EXPECT_EQ(w.RecognizeGesture(POINT{50, 60}, 4), 0);
    EXPECT_EQ(clock.Now() - t0, 100u);
    EXPECT_EQ(w.Count(WM_LBUTTONUP), 1);
    EXPECT_EQ(GetRecognizeCursor().IsEnableCursor(), 0);
    EXPECT_EQ(Grab(screen), before);
}

TEST_F(Hold, LiftDuringTheRingCancelsAndRestoresTheScreen) {
    Script("wait 420\nup 50 60\nwait 5000\n");
    const std::vector<COLORREF> before = Grab(screen);
    const ULONGLONG t0 = clock.Now();
    EXPECT_EQ(w.RecognizeGesture(POINT{50, 60}, 4), 0);
    EXPECT_EQ(clock.Now() - t0, 420u);
    EXPECT_EQ(w.Count(WM_LBUTTONUP), 1);
    EXPECT_EQ(Grab(screen), before);
}

TEST_F(Hold, CompletedHoldTakes650msAndLeavesTheScreenAsItWas) {
    Script("wait 5000\n");
    const std::vector<COLORREF> before = Grab(screen);
    const ULONGLONG t0 = clock.Now();
    EXPECT_EQ(w.RecognizeGesture(POINT{100, 150}, 4), 1);
    EXPECT_EQ(clock.Now() - t0, 650u);
    EXPECT_EQ(GetRecognizeCursor().IsEnableCursor(), 0);
    EXPECT_EQ(GetRecognizeCursor().GetCurPoint().x, kNoGesturePoint);
    EXPECT_EQ(Grab(screen), before);
}

// Moves relative to the press at (50, 60): which cancel with the given tolerance.
struct MoveCase {
    int dx, dy, tolerance, recognised;
};

class HoldMove : public Hold, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(HoldMove, MovesBeyondTheToleranceInXOrYCancel) {
    const MoveCase c = GetParam();
    Script("down 50 60\nwait 30\nmove " + std::to_string(50 + c.dx) + " " +
           std::to_string(60 + c.dy) + " 1\nwait 5000\n");
    const ULONGLONG t0 = clock.Now();
    EXPECT_EQ(w.RecognizeGesture(POINT{50, 60}, c.tolerance), c.recognised);
    EXPECT_EQ(clock.Now() - t0, c.recognised ? 650u : 30u);
    // Pen moves during the hold are the gesture's own, never the window's.
    EXPECT_EQ(w.Count(WM_MOUSEMOVE), 0);
}

INSTANTIATE_TEST_SUITE_P(Gesture, HoldMove,
                         ::testing::Values(MoveCase{5, 0, 4, 0}, MoveCase{4, 0, 4, 1},
                                           MoveCase{0, -5, 4, 0}, MoveCase{-4, 4, 4, 1},
                                           MoveCase{0, 1, 0, 1}, MoveCase{90, 120, 0, 1},
                                           MoveCase{-40, 0, -3, 1}, MoveCase{2, 0, 1, 0}));

TEST_F(Hold, MoveIsMeasuredInTheWindowsOwnCoordinates) {
    // A window away from the corner: the press point is in its client coordinates.
    PatternWinza off;
    ASSERT_EQ(off.Create(nullptr, u"off", WS_POPUP | WS_VISIBLE, 30, 40, 100, 100), 1);
    Pump();
    Script("down 80 100\nwait 30\nmove 84 100 1\nwait 30\nmove 85 100 1\nwait 5000\n");
    const ULONGLONG t0 = clock.Now();
    EXPECT_EQ(off.RecognizeGesture(POINT{50, 60}, 4), 0);
    EXPECT_EQ(clock.Now() - t0, 60u);
}

TEST_F(Hold, KeyDownIsSwallowedAndKeyUpCancels) {
    Script("wait 300\nkey A\nwait 5000\n");
    const ULONGLONG t0 = clock.Now();
    EXPECT_EQ(w.RecognizeGesture(POINT{50, 60}, 4), 0);
    EXPECT_EQ(clock.Now() - t0, 300u);
    EXPECT_EQ(w.Count(WM_KEYDOWN), 0);
    EXPECT_EQ(w.Count(WM_CHAR), 0);
    EXPECT_EQ(w.Count(WM_KEYUP), 1);
}

TEST_F(Hold, OtherMessagesAreDispatchedWhileHolding) {
    LoggingWinza other;
    ASSERT_EQ(other.Create(nullptr, u"other", WS_POPUP, 0, 0, 10, 10), 1);
    ::SetTimer(other.GetSafeHwnd(), 7, 300, nullptr);
    ::PostMessageW(w.GetSafeHwnd(), WM_USER + 5, 0, 0);
    int enabledAtUser = -1;
    w.onMessage = [&](UINT msg) {
        if (msg == WM_USER + 5)
            enabledAtUser = GetRecognizeCursor().IsEnableCursor();
    };
    Script("wait 5000\n");
    EXPECT_EQ(w.RecognizeGesture(POINT{50, 60}, 4), 1);
    EXPECT_EQ(enabledAtUser, 1) << "the posted message came during the hold";
    EXPECT_EQ(other.Count(WM_TIMER), 2) << "timers of other windows fire at 300 and 600 ms";
    ::KillTimer(other.GetSafeHwnd(), 7);
}

TEST_F(Hold, NineDotsAppearClockwiseAtFiftyMillisecondSteps) {
    GRecognizeCursor& cursor = GetRecognizeCursor();
    const int box = GRecognizeCursor::BoxSize();
    const POINT press{100, 150};
    const POINT corner{press.x - box / 2, press.y - box / 2};
    const int scale = ApplyHires(1);
    // The middle pixel of each dot is the ball's fourth shade.
    auto shown = [&]() {
        int mask = 0;
        HDC dc = ::GetDC(nullptr);
        for (int i = 0; i < 8; ++i) {
            const GRecognizeCursor::Dot& d = cursor.GetDot(i);
            if (::GetPixel(dc, corner.x + d.x + 3 * scale, corner.y + d.y + 3 * scale) == 0x7878FF)
                mask |= 1 << i;
        }
        ::ReleaseDC(nullptr, dc);
        return mask;
    };
    const ULONGLONG t0 = clock.Now();
    std::vector<std::pair<ULONGLONG, int>> seen;
    COLORREF outline = 0, keyed = 0;
    const int id = plat::OnClockAdvanced([&] {
        seen.emplace_back(clock.Now() - t0, shown());
        if (clock.Now() - t0 == 300) {
            const GRecognizeCursor::Dot& d = cursor.GetDot(0);
            outline = ScreenPixel(corner.x + d.x + 3 * scale, corner.y + d.y);
            keyed = ScreenPixel(corner.x + d.x, corner.y + d.y);
        }
    });
    Script("wait 5000\n");
    EXPECT_EQ(w.RecognizeGesture(press, 4), 1);
    plat::RemoveClockListener(id);
    // Each sample is taken as the clock moves, before the loop draws the step that is due.
    const std::vector<std::pair<ULONGLONG, int>> expected = {
        {200, 0x00}, {250, 0x01}, {300, 0x03}, {350, 0x07}, {400, 0x0F},
        {450, 0x1F}, {500, 0x3F}, {550, 0x7F}, {600, 0xFF}, {650, 0xFF}};
    EXPECT_EQ(seen, expected);
    // The ring starts at the top: the first dot's place, positions relative to the box.
    EXPECT_EQ(cursor.GetDot(0).x, 12 * scale);
    EXPECT_EQ(cursor.GetDot(0).y, 0);
    EXPECT_EQ(cursor.GetDot(2).x, 25 * scale);
    EXPECT_EQ(cursor.GetDot(8).x, cursor.GetDot(0).x);
    EXPECT_EQ(outline, RGB(0, 0, 0)) << "a black outline around the ball";
    EXPECT_EQ(keyed, PatternWinza::At(corner.x + cursor.GetDot(0).x, corner.y))
        << "the ball's corners let the screen show";
}

TEST_F(Hold, HoldAtTheTopLeftCornerSavesAndRestoresAClippedBox) {
    const int box = GRecognizeCursor::BoxSize();
    const POINT press{3, 2};
    const POINT corner{press.x - box / 2, press.y - box / 2};
    const int scale = ApplyHires(1);
    const std::vector<COLORREF> before = Grab(screen);
    // The third dot (right of the ring) lies partly on the screen.
    const GRecognizeCursor::Dot& d = GetRecognizeCursor().GetDot(2);
    COLORREF midHold = 0;
    const ULONGLONG t0 = clock.Now();
    const int id = plat::OnClockAdvanced([&] {
        if (clock.Now() - t0 == 400)
            midHold = ScreenPixel(corner.x + d.x + 3 * scale, corner.y + d.y + 3 * scale);
    });
    Script("wait 5000\n");
    EXPECT_EQ(w.RecognizeGesture(press, 4), 1);
    plat::RemoveClockListener(id);
    ASSERT_GE(corner.y + d.y + 3 * scale, 0) << "the sampled pixel is on the screen";
    EXPECT_EQ(midHold, 0x7878FFu);
    EXPECT_EQ(Grab(screen), before);
}

TEST_F(Hold, HoldThroughTheWindowOpensTheContextMenu) {
    PatternWinza pad;
    pad.SetGesture(1);
    ASSERT_EQ(pad.Create(nullptr, u"g", WS_POPUP | WS_VISIBLE, 10, 20, 200, 200), 1);
    Pump();
    const HWND hwnd = pad.GetSafeHwnd();
    Script("down 60 80\nwait 1000\nup 60 80\nwait 100\n");
    MSG m;
    while (::GetMessageW(&m, nullptr, 0, 0)) {
        ::TranslateMessage(&m);
        ::DispatchMessageW(&m);
    }
    ASSERT_NE(pad.TimeOf(WM_CONTEXTMENU), 0u);
    EXPECT_EQ(pad.TimeOf(WM_CONTEXTMENU) - pad.TimeOf(WM_LBUTTONDOWN), 650u);
    EXPECT_EQ(pad.menuWParam, reinterpret_cast<WPARAM>(hwnd));
    EXPECT_EQ(pad.menuLParam, MAKELPARAM(50, 60));
    // The lift after the hold is an ordinary one.
    EXPECT_GT(pad.TimeOf(WM_LBUTTONUP), pad.TimeOf(WM_CONTEXTMENU));
}

TEST_F(Hold, TapThroughTheWindowOpensNoMenu) {
    PatternWinza pad;
    pad.SetGesture(1);
    ASSERT_EQ(pad.Create(nullptr, u"g", WS_POPUP | WS_VISIBLE, 10, 20, 200, 200), 1);
    Pump();
    Script("down 60 80\nwait 100\nup 60 80\nwait 2000\n");
    MSG m;
    while (::GetMessageW(&m, nullptr, 0, 0)) {
        ::TranslateMessage(&m);
        ::DispatchMessageW(&m);
    }
    EXPECT_EQ(pad.Count(WM_CONTEXTMENU), 0);
    EXPECT_EQ(pad.TimeOf(WM_LBUTTONUP) - pad.TimeOf(WM_LBUTTONDOWN), 100u);
}

TEST_F(Hold, WindowWithoutTheGestureFlagGetsNoHold) {
    PatternWinza pad;
    ASSERT_EQ(pad.Create(nullptr, u"g", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100), 1);
    Pump();
    Script("down 50 50\nwait 1000\nup 50 50\nwait 100\n");
    MSG m;
    while (::GetMessageW(&m, nullptr, 0, 0))
        ::DispatchMessageW(&m);
    EXPECT_EQ(pad.Count(WM_CONTEXTMENU), 0);
    EXPECT_EQ(pad.TimeOf(WM_LBUTTONUP) - pad.TimeOf(WM_LBUTTONDOWN), 1000u);
}

TEST_F(Hold, QuitDuringTheHoldEndsItAndIsPostedAgain) {
    ::PostQuitMessage(7);
    Script("wait 5000\n");
    EXPECT_EQ(w.RecognizeGesture(POINT{50, 60}, 4), 0);
    MSG m;
    ASSERT_TRUE(::PeekMessageW(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(m.wParam, 7u);
}

TEST_F(Hold, WindowDestroyedDuringTheHoldEndsIt) {
    w.onMessage = [&](UINT msg) {
        if (msg == WM_USER + 1)
            ::DestroyWindow(w.GetSafeHwnd());
    };
    // The window goes while the ring is on screen.
    ::SetTimer(nullptr, 0, 320, [](HWND, UINT, UINT_PTR id, DWORD) {
        ::KillTimer(nullptr, id);
        if (HWND h = ::FindWindowW(u"LoggingWinza", u"pad"))
            ::PostMessageW(h, WM_USER + 1, 0, 0);
    });
    Script("wait 5000\n");
    const ULONGLONG t0 = clock.Now();
    EXPECT_EQ(w.RecognizeGesture(POINT{30, 30}, 4), 0);
    EXPECT_LT(clock.Now() - t0, 650u);
    EXPECT_EQ(GetRecognizeCursor().IsEnableCursor(), 0);
    EXPECT_FALSE(::IsWindow(w.GetSafeHwnd()));
}

TEST_F(Hold, AGestureStartedDuringAHoldIsRefused) {
    int inner = -1;
    w.onMessage = [&](UINT msg) {
        if (msg == WM_USER + 2)
            inner = w.RecognizeGesture(POINT{10, 10}, 4);
    };
    ::PostMessageW(w.GetSafeHwnd(), WM_USER + 2, 0, 0);
    Script("wait 5000\n");
    const ULONGLONG t0 = clock.Now();
    EXPECT_EQ(w.RecognizeGesture(POINT{50, 60}, 4), 1);
    EXPECT_EQ(inner, 0);
    EXPECT_EQ(clock.Now() - t0, 650u);
}

TEST_F(Hold, DeadOrMissingWindowIsNoGesture) {
    EXPECT_EQ(RecognizeGesture(nullptr, POINT{1, 1}, 4), 0);
    LoggingWinza none;
    EXPECT_EQ(none.RecognizeGesture(POINT{1, 1}, 4), 0);
    EXPECT_EQ(GetRecognizeCursor().IsEnableCursor(), 0);
}

using CursorSteps = GestureTest;

TEST_F(CursorSteps, TenthStepCompletesAndResetEndsTheGesture) {
    GRecognizeCursor& c = GetRecognizeCursor();
    EXPECT_EQ(c.DrawNext(), 0) << "no gesture, nothing to draw";
    c.ResetCursor(120, 160);
    EXPECT_EQ(c.IsEnableCursor(), 1);
    EXPECT_EQ(c.GetCurPoint().x, 120);
    EXPECT_EQ(c.GetStep(), -1);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(c.DrawNext(), 0);
        EXPECT_EQ(c.GetStep(), i);
        EXPECT_EQ(c.GetDot(i).alpha, 255);
    }
    EXPECT_EQ(c.DrawNext(), 1);
    EXPECT_EQ(c.IsEnableCursor(), 0);
    EXPECT_EQ(c.GetDot(0).alpha, 0);
    // A centre of -99999 is still a real point; only -100000 ends.
    c.ResetCursor(-99999, 5);
    EXPECT_EQ(c.IsEnableCursor(), 1);
    c.ResetCursor(5, kNoGesturePoint);
    EXPECT_EQ(c.IsEnableCursor(), 0);
}

TEST_F(CursorSteps, ResetPutsBackWhatTheRingCovered) {
    HDC dc = ::GetDC(nullptr);
    for (int y = 140; y < 180; ++y)
        for (int x = 100; x < 140; ++x)
            ::SetPixel(dc, x, y, RGB(x, y, 7));
    ::ReleaseDC(nullptr, dc);
    const RECT area{100, 140, 140, 180};
    const std::vector<COLORREF> before = Grab(area);
    GRecognizeCursor& c = GetRecognizeCursor();
    c.ResetCursor(120, 160);
    for (int i = 0; i < 5; ++i)
        c.DrawNext();
    EXPECT_NE(Grab(area), before);
    c.ResetCursor(kNoGesturePoint, kNoGesturePoint);
    EXPECT_EQ(Grab(area), before);
}

} // namespace

namespace {

// On a doubled screen the box, the dots and their places double too.
TEST_F(GestureTest, HighResolutionDoublesTheRing) {
    plat::StartHeadless(480, 640);
    ResetDisplayMode();
    GetRecognizeCursor().ReleaseCursor();
    FreeGlobalDC();
    {
        PatternWinza pad;
        ASSERT_EQ(pad.Create(nullptr, u"hi", WS_POPUP | WS_VISIBLE, 0, 0, 480, 640), 1);
        Pump();
        EXPECT_EQ(GRecognizeCursor::BoxSize(), 64);
        EXPECT_EQ(GRecognizeCursor::DotSize(), 14);
        const RECT around{168, 268, 232, 332};
        const std::vector<COLORREF> before = Grab(around);
        const POINT press{200, 300};
        COLORREF middle = 0, edge = 0;
        const ULONGLONG t0 = clock.Now();
        const int id = plat::OnClockAdvanced([&] {
            if (clock.Now() - t0 == 300) {
                // Dot 1 at (42, 6) of the box whose corner is (168, 268); its middle pixel.
                middle = ScreenPixel(168 + 42 + 6, 268 + 6 + 6);
                edge = ScreenPixel(168 + 42 + 6, 268 + 6);
            }
        });
        Script("wait 5000\n");
        EXPECT_EQ(pad.RecognizeGesture(press, 4), 1);
        plat::RemoveClockListener(id);
        EXPECT_EQ(GetRecognizeCursor().GetDot(1).x, 42);
        EXPECT_EQ(GetRecognizeCursor().GetDot(1).y, 6);
        EXPECT_EQ(middle, 0x7878FFu);
        EXPECT_EQ(edge, RGB(0, 0, 0)) << "the outline is two pixels thick";
        EXPECT_EQ(Grab(around), before);
    }
    plat::StartHeadless(240, 320);
    ResetDisplayMode();
    GetRecognizeCursor().ReleaseCursor();
    FreeGlobalDC();
}

} // namespace
