// Stylus, buttons, wheel and keys: which window gets them, in what coordinates, capture,
// double clicks, key state and the stylus samples behind each move.
#include "window_test_support.h"

namespace {

using InputTest = WindowTest;

POINT Pt(LPARAM lp) {
    return POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
}

const LoggedMsg* Find(const std::vector<LoggedMsg>& log, HWND hwnd, UINT msg, int nth = 0) {
    for (const LoggedMsg& m : log)
        if (m.hwnd == hwnd && m.msg == msg && nth-- == 0)
            return &m;
    return nullptr;
}

TEST_F(InputTest, StylusGoesToTheWindowUnderItInClientCoordinates) {
    HWND top = Make(WS_POPUP | WS_VISIBLE, 10, 10, 100, 100);
    HWND child = Make(WS_CHILD | WS_VISIBLE, 20, 30, 40, 40, top);
    Pump();
    log.clear();
    plat::InputStylusDown(35, 45); // child client (5, 5)
    plat::InputStylusMove(36, 46);
    plat::InputStylusUp(36, 46);
    plat::InputStylusDown(12, 12); // top client (2, 2)
    plat::InputStylusUp(12, 12);
    Pump();
    EXPECT_EQ(MessagesOf(child), (std::vector<UINT>{WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP}));
    const LoggedMsg* down = Find(log, child, WM_LBUTTONDOWN);
    ASSERT_TRUE(down);
    EXPECT_EQ(Pt(down->lParam).x, 5);
    EXPECT_EQ(Pt(down->lParam).y, 5);
    EXPECT_EQ(down->wParam & MK_LBUTTON, static_cast<WPARAM>(MK_LBUTTON));
    EXPECT_EQ(Find(log, child, WM_LBUTTONUP)->wParam & MK_LBUTTON, 0u);
    const LoggedMsg* topDown = Find(log, top, WM_LBUTTONDOWN);
    ASSERT_TRUE(topDown);
    EXPECT_EQ(Pt(topDown->lParam).x, 2);
    POINT cur;
    GetCursorPos(&cur);
    EXPECT_EQ(cur.x, 12);
    EXPECT_EQ(cur.y, 12);
}

TEST_F(InputTest, TopmostPopupsGetTheStylusFirst) {
    HWND plain = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND topmost = Make(WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, WS_EX_TOPMOST);
    HWND later = Make(WS_POPUP | WS_VISIBLE, 0, 0, 80, 80);
    POINT p{10, 10};
    EXPECT_EQ(WindowFromPoint(p), topmost);
    p = POINT{60, 60};
    EXPECT_EQ(WindowFromPoint(p), later);
    p = POINT{90, 90};
    EXPECT_EQ(WindowFromPoint(p), plain);
    p = POINT{200, 200};
    EXPECT_EQ(WindowFromPoint(p), nullptr);
}

TEST_F(InputTest, CaptureTakesMovesOutsideTheWindow) {
    HWND a = Make(WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
    HWND b = Make(WS_POPUP | WS_VISIBLE, 100, 100, 50, 50);
    handlers[a] = [](HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT*) {
        if (msg == WM_LBUTTONDOWN)
            SetCapture(hwnd);
        if (msg == WM_LBUTTONUP)
            ReleaseCapture();
        return false;
    };
    Pump();
    log.clear();
    // All queued before anything runs: routing still follows the capture taken on the way.
    plat::InputStylusDown(10, 10);
    plat::InputStylusMove(120, 130);
    plat::InputStylusUp(120, 130);
    plat::InputStylusDown(110, 110);
    Pump();
    const LoggedMsg* move = Find(log, a, WM_MOUSEMOVE);
    ASSERT_TRUE(move);
    EXPECT_EQ(Pt(move->lParam).x, 120);
    EXPECT_EQ(Pt(move->lParam).y, 130);
    EXPECT_TRUE(Find(log, a, WM_LBUTTONUP));
    EXPECT_TRUE(Find(log, a, WM_CAPTURECHANGED));
    EXPECT_EQ(MessagesOf(b, {WM_ACTIVATE, WM_SETFOCUS, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED,
                             WM_PAINT, WM_ERASEBKGND, WM_KILLFOCUS}),
              (std::vector<UINT>{WM_LBUTTONDOWN}));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(InputTest, CaptureChangesAreAnnounced) {
    HWND a = Make(WS_POPUP, 0, 0, 10, 10);
    HWND b = Make(WS_POPUP, 0, 0, 10, 10);
    EXPECT_EQ(SetCapture(a), nullptr);
    EXPECT_EQ(SetCapture(b), a);
    const LoggedMsg* changed = Find(log, a, WM_CAPTURECHANGED);
    ASSERT_TRUE(changed);
    EXPECT_EQ(changed->lParam, reinterpret_cast<LPARAM>(b));
    DestroyWindow(b);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(InputTest, DoubleClicksOnlyForClassesThatAsk) {
    HWND plain = Make(WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
    HWND dbl = Make(WS_POPUP | WS_VISIBLE, 100, 0, 50, 50, nullptr, 0, kDblClass);
    Pump();
    log.clear();
    for (int x : {10, 110}) {
        plat::InputStylusDown(x, 10);
        plat::InputStylusUp(x, 10);
        clock.Advance(100);
        plat::InputStylusDown(x + 1, 11);
        plat::InputStylusUp(x + 1, 11);
        Pump();
    }
    EXPECT_EQ(Count(plain, WM_LBUTTONDOWN), 2);
    EXPECT_EQ(Count(plain, WM_LBUTTONDBLCLK), 0);
    EXPECT_EQ(Count(dbl, WM_LBUTTONDOWN), 1);
    EXPECT_EQ(Count(dbl, WM_LBUTTONDBLCLK), 1);
    // Too slow, or a third tap: plain downs again.
    log.clear();
    clock.Advance(1000);
    plat::InputStylusDown(110, 10);
    plat::InputStylusUp(110, 10);
    clock.Advance(600);
    plat::InputStylusDown(110, 10);
    plat::InputStylusUp(110, 10);
    Pump();
    EXPECT_EQ(Count(dbl, WM_LBUTTONDBLCLK), 0);
    EXPECT_EQ(Count(dbl, WM_LBUTTONDOWN), 2);
}

TEST_F(InputTest, MoveMessagesCarryTheirStylusSamples) {
    HWND w = Make(WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
    std::vector<std::vector<POINT>> seen;
    handlers[w] = [&](HWND, UINT msg, WPARAM, LPARAM, LRESULT*) {
        if (msg == WM_MOUSEMOVE) {
            POINT pts[64];
            UINT n = 0;
            EXPECT_TRUE(GetMouseMovePoints(pts, 64, &n));
            seen.emplace_back(pts, pts + n);
        }
        return false;
    };
    Pump();
    plat::InputStylusDown(10, 10);
    plat::InputStylusMoveQ(41, 42);
    plat::InputStylusMoveQ(45, 46);
    plat::InputStylusMoveQ(50, 51);
    Pump();
    plat::InputStylusMoveQ(60, 61);
    Pump();
    ASSERT_EQ(seen.size(), 2u) << "samples queued together make one move message";
    ASSERT_EQ(seen[0].size(), 3u);
    EXPECT_EQ(seen[0][0].x, 41);
    EXPECT_EQ(seen[0][0].y, 42);
    EXPECT_EQ(seen[0][2].x, 50);
    ASSERT_EQ(seen[1].size(), 1u);
    EXPECT_EQ(seen[1][0].x, 60);
    const LoggedMsg* first = Find(log, w, WM_MOUSEMOVE);
    EXPECT_EQ(Pt(first->lParam).x, 12) << "the message is at the last sample, in pixels";
}

TEST_F(InputTest, AtMostSixtyFourSamplesAreKept) {
    HWND w = Make(WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
    UINT got = 0;
    POINT last{};
    handlers[w] = [&](HWND, UINT msg, WPARAM, LPARAM, LRESULT*) {
        if (msg == WM_MOUSEMOVE) {
            POINT pts[100];
            GetMouseMovePoints(pts, 100, &got);
            if (got)
                last = pts[got - 1];
        }
        return false;
    };
    Pump();
    plat::InputStylusDown(0, 0);
    for (int i = 0; i < 100; ++i)
        plat::InputStylusMoveQ(i * 4, 0);
    Pump();
    EXPECT_EQ(got, 64u);
    EXPECT_EQ(last.x, 99 * 4);
    POINT small[4];
    UINT n = 0;
    GetMouseMovePoints(small, 4, &n);
    EXPECT_EQ(n, 4u);
    EXPECT_EQ(small[3].x, 99 * 4);
}

TEST_F(InputTest, RightButtonAndWheel) {
    HWND w = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    Pump();
    log.clear();
    plat::InputRightButton(true, 5, 6);
    plat::InputRightButton(false, 5, 6);
    plat::InputWheel(-120, 5, 6);
    Pump();
    EXPECT_EQ(MessagesOf(w), (std::vector<UINT>{WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MOUSEWHEEL}));
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(Find(log, w, WM_MOUSEWHEEL)->wParam), -120);
}

TEST_F(InputTest, DisabledWindowsGetNoStylus) {
    HWND top = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND child = Make(WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, top);
    EnableWindow(child, FALSE);
    Pump();
    log.clear();
    plat::InputStylusDown(10, 10);
    Pump();
    EXPECT_EQ(Count(child, WM_LBUTTONDOWN), 0);
    EXPECT_EQ(Count(top, WM_LBUTTONDOWN), 1);
}

TEST_F(InputTest, KeysGoToTheFocusAndKeepTheirState) {
    HWND top = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND edit = Make(WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, top);
    SetFocus(edit);
    Pump();
    log.clear();
    SHORT during = 0;
    handlers[edit] = [&](HWND, UINT msg, WPARAM, LPARAM, LRESULT*) {
        if (msg == WM_KEYDOWN)
            during = GetKeyState(VK_DOWN);
        return false;
    };
    plat::InputKey(VK_DOWN, true);
    EXPECT_LT(GetAsyncKeyState(VK_DOWN), 0);
    EXPECT_GE(GetKeyState(VK_DOWN), 0) << "the queue's state moves as messages are taken";
    plat::InputKey(VK_DOWN, false);
    Pump();
    EXPECT_LT(during, 0);
    EXPECT_GE(GetKeyState(VK_DOWN), 0);
    EXPECT_EQ(MessagesOf(edit), (std::vector<UINT>{WM_KEYDOWN, WM_KEYUP}));
    EXPECT_EQ(Count(top, WM_KEYDOWN), 0);
    const LoggedMsg* up = Find(log, edit, WM_KEYUP);
    EXPECT_EQ(static_cast<DWORD>(up->lParam) & 0xC0000000u, 0xC0000000u);
}

TEST_F(InputTest, CharactersWithoutKeys) {
    HWND w = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    Pump();
    log.clear();
    plat::InputChar(u'가');
    Pump();
    const LoggedMsg* ch = Find(log, w, WM_CHAR);
    ASSERT_TRUE(ch);
    EXPECT_EQ(ch->wParam, static_cast<WPARAM>(u'가'));
}

TEST_F(InputTest, CursorsAreState) {
    HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
    ASSERT_TRUE(wait);
    HCURSOR old = SetCursor(wait);
    EXPECT_EQ(GetCursor(), wait);
    EXPECT_EQ(plat::CurrentCursorId(), 32514);
    SetCursor(old);
    EXPECT_EQ(plat::CurrentCursorId(), 32512);
    EXPECT_EQ(LoadCursorW(nullptr, MAKEINTRESOURCEW(1)), nullptr);
}

} // namespace
