// Geometry: rectangles with and without borders, coordinate mapping, SetWindowPos flags and
// the size and move messages they bring, screen metrics.
#include "window_test_support.h"

namespace {

using PosTest = WindowTest;

TEST_F(PosTest, RectanglesAndMapping) {
    HWND top = Make(WS_POPUP | WS_BORDER, 10, 20, 100, 80);
    HWND child = Make(WS_CHILD, 5, 6, 30, 30, top);
    RECT rc;
    GetWindowRect(top, &rc);
    EXPECT_EQ(rc.left, 10);
    EXPECT_EQ(rc.bottom, 100);
    GetClientRect(top, &rc);
    EXPECT_EQ(rc.right, 98) << "the border takes a pixel each side";
    EXPECT_EQ(rc.bottom, 78);
    GetWindowRect(child, &rc);
    EXPECT_EQ(rc.left, 16);
    EXPECT_EQ(rc.top, 27);
    POINT p{0, 0};
    ClientToScreen(child, &p);
    EXPECT_EQ(p.x, 16);
    ScreenToClient(top, &p);
    EXPECT_EQ(p.x, 5);
    EXPECT_EQ(p.y, 6);
    POINT pts[2] = {{0, 0}, {1, 1}};
    MapWindowPoints(child, top, pts, 2);
    EXPECT_EQ(pts[1].x, 6);
    EXPECT_EQ(pts[1].y, 7);
    MapWindowPoints(top, nullptr, pts, 1);
    EXPECT_EQ(pts[0].x, 16);
}

TEST_F(PosTest, MovingSendsMoveAndSizeOnlyForWhatChanged) {
    HWND w = Make(WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
    Pump();
    log.clear();
    SetWindowPos(w, nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(MessagesOf(w),
              (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE}));
    log.clear();
    SetWindowPos(w, nullptr, 0, 0, 20, 30, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(MessagesOf(w),
              (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_SIZE}));
    EXPECT_EQ(log.back().lParam, MAKELPARAM(20, 30));
    RECT rc;
    GetWindowRect(w, &rc);
    EXPECT_EQ(rc.left, 10);
    EXPECT_EQ(rc.right, 30);
}

TEST_F(PosTest, PositionChangesCanBeAlteredOnTheWay) {
    HWND w = Make(WS_POPUP, 0, 0, 50, 50);
    handlers[w] = [](HWND, UINT msg, WPARAM, LPARAM lp, LRESULT*) {
        if (msg == WM_WINDOWPOSCHANGING)
            reinterpret_cast<WINDOWPOS*>(lp)->cx = 77;
        return false;
    };
    MoveWindow(w, 0, 0, 10, 10, TRUE);
    RECT rc;
    GetWindowRect(w, &rc);
    EXPECT_EQ(rc.right, 77);
}

TEST_F(PosTest, ZOrderKeepsTheTopmostBand) {
    HWND a = Make(WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, WS_EX_TOPMOST);
    HWND b = Make(WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
    POINT p{5, 5};
    EXPECT_EQ(WindowFromPoint(p), a);
    SetWindowPos(b, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(WindowFromPoint(p), a) << "an ordinary window stays below the topmost ones";
    SetWindowPos(b, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(WindowFromPoint(p), b);
    EXPECT_TRUE(GetWindowLongW(b, GWL_EXSTYLE) & WS_EX_TOPMOST);
    SetWindowPos(b, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(WindowFromPoint(p), a);
    SetWindowPos(a, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(WindowFromPoint(p), a) << "a topmost window sent down stays in its band";
}

TEST_F(PosTest, SiblingOrderDecidesHits) {
    HWND top = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND first = Make(WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, top);
    HWND second = Make(WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, top);
    POINT p{5, 5};
    EXPECT_EQ(WindowFromPoint(p), second);
    SetWindowPos(second, first, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(WindowFromPoint(p), first);
    EXPECT_EQ(GetWindow(top, GW_CHILD), first);
    EXPECT_EQ(ChildWindowFromPoint(top, POINT{60, 60}), top);
    ShowWindow(first, SW_HIDE);
    EXPECT_EQ(WindowFromPoint(p), second);
}

TEST_F(PosTest, MetricsFollowTheScreen) {
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 240);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 320);
    plat::StartHeadless(640, 480);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 480);
    HWND w = CreateWindowExW(0, kClass, u"", WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    RECT rc;
    GetWindowRect(w, &rc);
    EXPECT_EQ(rc.right, 640);
    EXPECT_EQ(rc.bottom, 480);
    DestroyWindow(w);
    plat::StartHeadless(240, 320);
}

TEST_F(PosTest, ParentsClipWhatTheirChildrenShow) {
    HWND top = Make(WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
    HWND child = Make(WS_CHILD | WS_VISIBLE, 40, 40, 50, 50, top);
    Pump();
    ClearScreen(RGB(0, 0, 0));
    HDC dc = GetDC(child);
    RECT all{0, 0, 50, 50};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ReleaseDC(child, dc);
    EXPECT_EQ(ScreenPixel(45, 45), RGB(255, 255, 255));
    EXPECT_EQ(ScreenPixel(55, 55), RGB(0, 0, 0));
    POINT p{55, 55};
    EXPECT_EQ(WindowFromPoint(p), nullptr);
}

} // namespace
