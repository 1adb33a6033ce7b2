#include "winza/GScrollBar.h"

#include "winza/DrawHelpers.h"
#include "winza/GLib.h"
#include "winza_test_support.h"

#include <memory>
#include <vector>

namespace {

// A full-screen parent that records the scroll messages its bars send.
class ScrollParent : public LoggingWinza {
public:
    LPCWSTR GetClassNameW() override { return u"ScrollParent"; }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_VSCROLL || msg == WM_HSCROLL) {
            scrolls.push_back(Scroll{msg, LOWORD(wParam), HIWORD(wParam), lParam});
            return 0;
        }
        return LoggingWinza::WndProc(hwnd, msg, wParam, lParam);
    }
    struct Scroll {
        UINT msg;
        int code;
        int pos;
        LPARAM lParam;
    };
    std::vector<int> Codes() const {
        std::vector<int> c;
        for (const Scroll& s : scrolls)
            c.push_back(s.code);
        return c;
    }
    std::vector<Scroll> scrolls;
};

class ScrollBarTest : public WinzaTest {
protected:
    void SetUp() override {
        WinzaTest::SetUp();
        ResetDisplayMode();
        InitGLibControl();
        bar = std::make_unique<GScrollBar>();
        parent.color = RGB(255, 255, 255);
        ASSERT_EQ(parent.Create(nullptr, u"p", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200), 1);
    }
    void TearDown() override {
        bar.reset();
        WinzaTest::TearDown();
        FreeGLibControl();
        ResetDisplayMode();
    }
    // A vertical bar along the parent's right edge, flush at both ends: 14 x 200 at x 186,
    // arrows of 20, a track of 160 from y 20.
    void MakeVertical(int range, int page, int step, int pos) {
        ASSERT_EQ(bar->Create(&parent, 1, 14, nullptr, 15), 1);
        bar->SetScrollInfo(range, page, step, pos);
        Pump();
        parent.scrolls.clear();
    }
    void Tap(int x, int y) {
        plat::InputStylusDown(x, y);
        Pump();
    }
    void Lift(int x, int y) {
        plat::InputStylusUp(x, y);
        Pump();
    }
    void Wait(DWORD ms) {
        clock.Advance(ms);
        Pump();
    }
    ScrollParent parent;
    // Made after the screen is in place: its arrow size depends on the resolution.
    std::unique_ptr<GScrollBar> bar;
};

TEST_F(ScrollBarTest, DefaultsBeforeCreation) {
    GScrollBar b;
    EXPECT_EQ(b.GetOrientation(), 1);
    EXPECT_EQ(b.GetMessage(), static_cast<UINT>(WM_VSCROLL));
    EXPECT_EQ(b.GetArrowWidth(), 20);
    EXPECT_EQ(b.GetScrollPos(), 0);
    EXPECT_EQ(b.GetScrollMax(), 0);
    // Calls on a bar without a window change values but draw nothing and do not crash.
    b.SetScrollInfo(100, 10, 1, 50);
    EXPECT_EQ(b.GetScrollPos(), 50);
    Winza noWindow;
    EXPECT_EQ(b.Create(&noWindow, 1, 14, nullptr, 15), 0);
    EXPECT_EQ(b.Create(nullptr, 1, 14, nullptr, 15), 0);
}

TEST_F(ScrollBarTest, LayoutAlongTheParentEdges) {
    MakeVertical(100, 10, 1, 0);
    RECT r;
    ::GetWindowRect(bar->GetSafeHwnd(), &r);
    EXPECT_EQ(r.left, 186);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 200);
    EXPECT_EQ(r.bottom, 200);
    EXPECT_EQ(bar->GetParent(), parent.GetSafeHwnd());
    // Shortened at the far end to leave room for the other bar->
    ASSERT_EQ(bar->MoveWindow(&parent, 14, nullptr, 14), 1);
    ::GetWindowRect(bar->GetSafeHwnd(), &r);
    EXPECT_EQ(r.bottom, 186);
    EXPECT_EQ(bar->GetTrackLength(), 186 - 40);

    // Without the edge switches the bar reaches one pixel past each end.
    GScrollBar h;
    ASSERT_EQ(h.Create(&parent, 0, 14, nullptr, 0), 1);
    EXPECT_EQ(h.GetMessage(), static_cast<UINT>(WM_HSCROLL));
    ::GetWindowRect(h.GetSafeHwnd(), &r);
    EXPECT_EQ(r.left, -1);
    EXPECT_EQ(r.right, 201);
    EXPECT_EQ(r.top, 186);
    EXPECT_EQ(r.bottom, 200);
    // Flush at the near end only.
    GScrollBar v;
    ASSERT_EQ(v.Create(&parent, 1, 10, nullptr, 4), 1);
    ::GetWindowRect(v.GetSafeHwnd(), &r);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.bottom, 201);
    EXPECT_EQ(r.left, 190);
    // A given rectangle is taken as it stands.
    GScrollBar g;
    RECT want{10, 20, 30, 120};
    ASSERT_EQ(g.Create(&parent, 1, 14, &want, 0), 1);
    ::GetWindowRect(g.GetSafeHwnd(), &r);
    EXPECT_TRUE(::EqualRect(&r, &want));
    EXPECT_EQ(g.Create(&parent, 1, 14, &want, 0), 0); // a live bar is not made twice
}

TEST_F(ScrollBarTest, RangePageAndThumbRules) {
    MakeVertical(1000, 100, 10, 50);
    EXPECT_EQ(bar->GetScrollMax(), 900);
    EXPECT_EQ(bar->GetScrollPage(), 100);
    EXPECT_EQ(bar->GetTrackLength(), 160);
    EXPECT_EQ(bar->GetThumbLength(), 16);
    EXPECT_DOUBLE_EQ(bar->GetUnitsPerPixel(), 900.0 / 144.0);
    EXPECT_EQ(bar->GetThumbRect().top, 20 + 8); // 50 / 6.25
    EXPECT_EQ(bar->GetThumbRect().bottom, 20 + 8 + 16);
    EXPECT_EQ(bar->GetThumbRect().left, 0);
    EXPECT_EQ(bar->GetThumbRect().right, 14);

    bar->SetScrollPos(-5);
    EXPECT_EQ(bar->GetScrollPos(), 0);
    EXPECT_EQ(bar->GetThumbRect().top, 20);
    bar->SetScrollPos(5000);
    EXPECT_EQ(bar->GetScrollPos(), 900);
    EXPECT_EQ(bar->GetThumbRect().bottom, 180); // the far end of the track
    // One short of the maximum is placed by the units per pixel, not at the end.
    bar->SetScrollPos(899);
    EXPECT_EQ(bar->GetThumbRect().top, 20 + 143);

    // A range below the page becomes the page: nothing to scroll, the thumb fills the track.
    bar->SetScrollInfo(100, 150, 1, 30);
    EXPECT_EQ(bar->GetScrollMax(), 0);
    EXPECT_EQ(bar->GetScrollPos(), 0);
    EXPECT_EQ(bar->GetThumbLength(), 160);
    EXPECT_DOUBLE_EQ(bar->GetUnitsPerPixel(), 1.0);
    EXPECT_EQ(bar->GetThumbRect().top, 20);
    EXPECT_EQ(bar->GetThumbRect().bottom, 180);
}

TEST_F(ScrollBarTest, ThumbIsNeverShorterThanFourteenPixels) {
    MakeVertical(10000, 100, 10, 0);
    EXPECT_EQ(bar->GetThumbLength(), 14); // 160 * 100 / 10000 = 1
    EXPECT_DOUBLE_EQ(bar->GetUnitsPerPixel(), 9900.0 / 146.0);
    bar->SetScrollPos(9900);
    EXPECT_EQ(bar->GetThumbRect().top, 180 - 14);
    // Dragging it all the way reaches the maximum through the same length.
    parent.scrolls.clear();
    Tap(190, 175);
    ASSERT_TRUE(bar->IsDragging());
    plat::InputStylusMove(190, 20);
    Pump();
    EXPECT_EQ(bar->GetScrollPos(), 0);
    EXPECT_EQ(bar->GetThumbRect().top, 20);
    Lift(190, 20);
}

TEST_F(ScrollBarTest, EmptyRangeAndZeroSizesNeitherCrashNorScroll) {
    MakeVertical(0, 0, 0, 0);
    EXPECT_EQ(bar->GetScrollMax(), 0);
    EXPECT_EQ(bar->GetThumbLength(), 160);
    Tap(190, 100); // the thumb covers the whole track
    EXPECT_TRUE(bar->IsDragging());
    plat::InputStylusMove(190, 150);
    Pump();
    Lift(190, 150);
    EXPECT_EQ(bar->GetScrollPos(), 0);
    EXPECT_EQ(parent.Codes(), (std::vector<int>{8}));
    // Arrows with no range still report, at position 0.
    parent.scrolls.clear();
    Tap(190, 195);
    Lift(190, 195);
    ASSERT_EQ(parent.scrolls.size(), 1u);
    EXPECT_EQ(parent.scrolls[0].code, 1);
    EXPECT_EQ(parent.scrolls[0].pos, 0);
    // A bar too short for its arrows has no track and no thumb.
    RECT tiny{0, 0, 14, 30};
    GScrollBar t;
    ASSERT_EQ(t.Create(&parent, 1, 14, &tiny, 15), 1);
    t.SetScrollInfo(500, 50, 5, 100);
    EXPECT_EQ(t.GetTrackLength(), 0);
    EXPECT_EQ(t.GetThumbLength(), 0);
    EXPECT_EQ(t.GetFirstArrowRect().bottom, 15);
    t.Invalidate(0);
}

TEST_F(ScrollBarTest, PagingRepeatsAndStopsUnderThePenWithCodeEight) {
    MakeVertical(1000, 100, 10, 0);
    // Track offset 130, less half a thumb and one pixel: 121 pixels, 756 units.
    Tap(190, 150);
    EXPECT_TRUE(bar->IsPagingForward());
    ASSERT_EQ(parent.scrolls.size(), 1u);
    EXPECT_EQ(parent.scrolls[0].msg, static_cast<UINT>(WM_VSCROLL));
    EXPECT_EQ(parent.scrolls[0].code, 3);
    EXPECT_EQ(parent.scrolls[0].pos, 100);
    EXPECT_EQ(parent.scrolls[0].lParam, 0);
    Wait(500); // the first delay
    Wait(99);
    EXPECT_EQ(parent.scrolls.size(), 1u);
    Wait(1); // then the first repeat period
    ASSERT_EQ(parent.scrolls.size(), 2u);
    EXPECT_EQ(parent.scrolls[1].pos, 200);
    for (int i = 0; i < 5; ++i)
        Wait(100);
    ASSERT_EQ(parent.scrolls.size(), 7u);
    EXPECT_EQ(parent.scrolls[6].pos, 700);
    Wait(100);
    EXPECT_EQ(parent.Codes(), (std::vector<int>{3, 3, 3, 3, 3, 3, 3, 3, 8}));
    EXPECT_EQ(parent.scrolls[7].pos, 756);
    EXPECT_EQ(parent.scrolls[8].pos, 756);
    // The thumb now lies under the pen, and the repeat has stopped.
    EXPECT_LE(bar->GetThumbRect().top, 150);
    EXPECT_GT(bar->GetThumbRect().bottom, 150);
    Wait(1000);
    EXPECT_EQ(parent.scrolls.size(), 9u);
    Lift(190, 150);
    EXPECT_EQ(parent.scrolls.size(), 9u);
    EXPECT_FALSE(bar->IsPagingForward());
    EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(ScrollBarTest, PagingBackAndTargetsPastTheEnd) {
    MakeVertical(1000, 100, 10, 900);
    // Above the thumb near the top: the target is 0 and paging runs down to it.
    Tap(190, 22);
    EXPECT_TRUE(bar->IsPagingBack());
    EXPECT_EQ(parent.scrolls[0].code, 2);
    EXPECT_EQ(parent.scrolls[0].pos, 800);
    for (int i = 0; i < 14; ++i)
        Wait(100);
    EXPECT_EQ(bar->GetScrollPos(), 0);
    EXPECT_EQ(parent.scrolls.back().code, 8);
    Lift(190, 22);

    // A press just below a thumb near the end aims past the maximum: the target is clamped, so
    // paging still ends with code 8 instead of repeating for ever.
    bar->SetScrollPos(850);
    parent.scrolls.clear();
    ASSERT_EQ(bar->GetThumbRect().bottom, 20 + 136 + 16);
    Tap(190, 178);
    EXPECT_EQ(parent.scrolls[0].pos, 900);
    Wait(500);
    Wait(100);
    EXPECT_EQ(parent.Codes(), (std::vector<int>{3, 8}));
    Lift(190, 178);
}

TEST_F(ScrollBarTest, ArrowsStepRepeatAndRepaintReleased) {
    MakeVertical(1000, 100, 10, 500);
    Tap(190, 195);
    EXPECT_TRUE(bar->IsSecondArrowPressed());
    ASSERT_EQ(parent.scrolls.size(), 1u);
    EXPECT_EQ(parent.scrolls[0].code, 1);
    EXPECT_EQ(parent.scrolls[0].pos, 510);
    Wait(500);
    EXPECT_EQ(parent.scrolls.size(), 1u);
    Wait(100);
    Wait(100);
    EXPECT_EQ(parent.Codes(), (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(bar->GetScrollPos(), 530);
    Lift(190, 195);
    EXPECT_FALSE(bar->IsSecondArrowPressed());
    Wait(1000);
    EXPECT_EQ(parent.scrolls.size(), 3u); // release sends nothing and stops the repeat

    // The first arrow clamps at 0 but still reports.
    bar->SetScrollPos(5);
    parent.scrolls.clear();
    Tap(190, 3);
    Lift(190, 3);
    ASSERT_EQ(parent.scrolls.size(), 1u);
    EXPECT_EQ(parent.scrolls[0].code, 0);
    EXPECT_EQ(parent.scrolls[0].pos, 0);
}

TEST_F(ScrollBarTest, DragMovesClampsAndReportsOnRelease) {
    MakeVertical(1000, 100, 10, 0);
    Tap(190, 25); // on the thumb at 20 ... 36
    EXPECT_TRUE(bar->IsDragging());
    EXPECT_TRUE(parent.scrolls.empty());
    plat::InputStylusMove(190, 41);
    Pump();
    ASSERT_EQ(parent.scrolls.size(), 1u);
    EXPECT_EQ(parent.scrolls[0].code, 5);
    EXPECT_EQ(parent.scrolls[0].pos, 100); // 16 pixels at 6.25
    EXPECT_EQ(bar->GetThumbRect().top, 36);
    // Past the end of the bar (the capture keeps the pen): clamped at the maximum.
    plat::InputStylusMove(190, 400);
    Pump();
    EXPECT_EQ(bar->GetScrollPos(), 900);
    EXPECT_EQ(bar->GetThumbRect().bottom, 180);
    // No change, no message.
    const size_t before = parent.scrolls.size();
    plat::InputStylusMove(190, 500);
    Pump();
    EXPECT_EQ(parent.scrolls.size(), before);
    Lift(190, 500);
    ASSERT_GE(parent.scrolls.size(), 2u);
    EXPECT_EQ(parent.scrolls[parent.scrolls.size() - 2].code, 4);
    EXPECT_EQ(parent.scrolls[parent.scrolls.size() - 2].pos, 900);
    EXPECT_EQ(parent.scrolls.back().code, 8);
    EXPECT_FALSE(bar->IsDragging());

    // A drag that comes back where it started ends with code 8 alone.
    parent.scrolls.clear();
    Tap(190, 170);
    plat::InputStylusMove(190, 100);
    Pump();
    plat::InputStylusMove(190, 170);
    Pump();
    Lift(190, 170);
    EXPECT_EQ(parent.Codes(), (std::vector<int>{5, 5, 8}));
    EXPECT_EQ(bar->GetScrollPos(), 900);
    // Past the start clamps at 0.
    parent.scrolls.clear();
    Tap(190, 170);
    plat::InputStylusMove(190, -300);
    Pump();
    Lift(190, -300);
    EXPECT_EQ(bar->GetScrollPos(), 0);
    EXPECT_EQ(bar->GetThumbRect().top, 20);
}

TEST_F(ScrollBarTest, ReleaseGivesTheCaptureBackAndLostCaptureEndsThePress) {
    MakeVertical(1000, 100, 10, 0);
    ::SetCapture(parent.GetSafeHwnd());
    // The parent holds the pen, so the press is handed to the bar directly.
    ::SendMessageW(bar->GetSafeHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 150));
    EXPECT_EQ(::GetCapture(), bar->GetSafeHwnd());
    ::SendMessageW(bar->GetSafeHwnd(), WM_LBUTTONUP, 0, MAKELPARAM(7, 150));
    EXPECT_EQ(::GetCapture(), parent.GetSafeHwnd());
    ::ReleaseCapture();

    // Another window taking the pen mid-drag ends the drag as a release would.
    bar->SetScrollPos(0);
    Tap(190, 25);
    plat::InputStylusMove(190, 41);
    Pump();
    parent.scrolls.clear();
    ::SetCapture(parent.GetSafeHwnd());
    EXPECT_FALSE(bar->IsDragging());
    EXPECT_EQ(parent.Codes(), (std::vector<int>{4, 8}));
    Wait(1000);
    EXPECT_EQ(parent.scrolls.size(), 2u);
    ::ReleaseCapture();
}

TEST_F(ScrollBarTest, HorizontalBarScrollsAlongX) {
    GScrollBar h;
    ASSERT_EQ(h.Create(&parent, 0, 14, nullptr, 15), 1);
    h.SetScrollInfo(1000, 100, 10, 0);
    EXPECT_EQ(h.GetTrackLength(), 160);
    EXPECT_EQ(h.GetThumbRect().left, 20);
    EXPECT_EQ(h.GetThumbRect().top, 0);
    EXPECT_EQ(h.GetThumbRect().bottom, 14);
    Pump();
    parent.scrolls.clear();
    Tap(25, 190);
    plat::InputStylusMove(41, 190);
    Pump();
    Lift(41, 190);
    EXPECT_EQ(parent.Codes(), (std::vector<int>{5, 4, 8}));
    EXPECT_EQ(parent.scrolls[0].msg, static_cast<UINT>(WM_HSCROLL));
    EXPECT_EQ(h.GetScrollPos(), 100);
    parent.scrolls.clear();
    Tap(3, 190);
    Lift(3, 190);
    EXPECT_EQ(parent.Codes(), (std::vector<int>{0}));
    EXPECT_EQ(h.GetScrollPos(), 90);
}

TEST_F(ScrollBarTest, ArrowSizeChangesTheTrack) {
    MakeVertical(1000, 100, 10, 900);
    bar->SetArrowWidth(30, 1);
    EXPECT_EQ(bar->GetArrowWidth(), 30);
    EXPECT_EQ(bar->GetTrackLength(), 140);
    EXPECT_EQ(bar->GetFirstArrowRect().bottom, 30);
    EXPECT_EQ(bar->GetSecondArrowRect().top, 170);
    EXPECT_EQ(bar->GetThumbRect().bottom, 170);
}

// Colours of the pieces, read from the screen after painting.
TEST_F(ScrollBarTest, DrawsPiecesInTheirTableColours) {
    MakeVertical(1000, 100, 10, 450);
    // Thumb at 20 + 72 = 92 ... 108.
    ASSERT_EQ(bar->GetThumbRect().top, 92);
    const int x = 186 + 7;
    EXPECT_EQ(ScreenPixel(x, 100), GetGLibColor(33)); // thumb body
    EXPECT_EQ(ScreenPixel(186, 100), GetGLibColor(35));
    EXPECT_EQ(ScreenPixel(199, 100), GetGLibColor(36));
    EXPECT_EQ(ScreenPixel(187, 100), GetGLibColor(1)); // inner frame
    EXPECT_EQ(ScreenPixel(198, 100), GetGLibColor(2));
    EXPECT_EQ(ScreenPixel(x, 60), GetGLibColor(24)); // track
    EXPECT_EQ(ScreenPixel(x, 150), GetGLibColor(24));
    EXPECT_EQ(ScreenPixel(186, 150), GetGLibColor(26));
    EXPECT_EQ(ScreenPixel(199, 150), GetGLibColor(27));
    EXPECT_EQ(ScreenPixel(188, 3), GetGLibColor(30)); // first arrow body
    EXPECT_EQ(ScreenPixel(199, 3), GetGLibColor(32));
    EXPECT_EQ(ScreenPixel(186, 3), GetGLibColor(31));
    // The up glyph: a box 5 long centred on the 20-pixel arrow (rows 7 ... 11), its apex on
    // the middle column.
    EXPECT_EQ(ScreenPixel(186 + 7, 7), GetGLibColor(28));
    EXPECT_EQ(ScreenPixel(186 + 6, 7), GetGLibColor(30));
    EXPECT_EQ(ScreenPixel(186 + 8, 7), GetGLibColor(30));
    EXPECT_EQ(ScreenPixel(186 + 3, 11), GetGLibColor(28));
    EXPECT_EQ(ScreenPixel(186 + 11, 11), GetGLibColor(28));
    EXPECT_EQ(ScreenPixel(186 + 2, 11), GetGLibColor(30));
    EXPECT_EQ(ScreenPixel(186 + 12, 11), GetGLibColor(30));
    EXPECT_EQ(ScreenPixel(186 + 7, 12), GetGLibColor(30));
    // The down glyph, mirrored from the far end.
    EXPECT_EQ(ScreenPixel(186 + 7, 192), GetGLibColor(28));
    EXPECT_EQ(ScreenPixel(186 + 7, 193), GetGLibColor(30));
    EXPECT_EQ(ScreenPixel(186 + 3, 188), GetGLibColor(28));

    // Pressed pieces change colour while the pen is down.
    Tap(190, 195);
    EXPECT_EQ(ScreenPixel(188, 197), GetGLibColor(25));
    EXPECT_EQ(ScreenPixel(186 + 7, 192), GetGLibColor(29));
    Lift(190, 195);
    EXPECT_EQ(ScreenPixel(188, 197), GetGLibColor(30));
    const int thumbTop = bar->GetThumbRect().top;
    Tap(190, thumbTop + 5);
    EXPECT_EQ(ScreenPixel(x, thumbTop + 8), GetGLibColor(34));
    Lift(190, thumbTop + 5);
    EXPECT_EQ(ScreenPixel(x, thumbTop + 8), GetGLibColor(33));
    Tap(190, 175);
    EXPECT_EQ(ScreenPixel(x, 178), GetGLibColor(25));
    EXPECT_EQ(ScreenPixel(x, 60), GetGLibColor(24));
    Lift(190, 175);
    EXPECT_EQ(ScreenPixel(x, 178), GetGLibColor(24));
}

TEST_F(ScrollBarTest, MissingRightEdgeWidensTheThumbFrame) {
    GScrollBar v;
    RECT r{100, 0, 114, 200};
    ASSERT_EQ(v.Create(&parent, 1, 14, &r, eFrameLeft | eFrameTop | eFrameBottom), 1);
    v.SetScrollInfo(1000, 100, 10, 450);
    Pump();
    // No dark outer edge at the right: the inner frame's dark edge takes the last column.
    EXPECT_EQ(ScreenPixel(113, 100), GetGLibColor(2));
    EXPECT_EQ(ScreenPixel(112, 100), GetGLibColor(33));
}

class HiresScrollBarTest : public ScrollBarTest {
protected:
    void SetUp() override {
        plat::StartHeadless(480, 640);
        ResetDisplayMode();
        InitGLibControl();
        bar = std::make_unique<GScrollBar>();
        ASSERT_EQ(parent.Create(nullptr, u"p", WS_POPUP | WS_VISIBLE, 0, 0, 400, 400), 1);
    }
};

TEST_F(HiresScrollBarTest, SizesDouble) {
    ASSERT_EQ(IsHires(), 1);
    ASSERT_EQ(bar->Create(&parent, 1, 28, nullptr, 0), 1);
    RECT r;
    ::GetWindowRect(bar->GetSafeHwnd(), &r);
    EXPECT_EQ(r.top, -2);
    EXPECT_EQ(r.bottom, 402);
    bar->SetScrollInfo(1000000, 10000, 10, 0);
    EXPECT_EQ(bar->GetArrowWidth(), 40);
    EXPECT_EQ(bar->GetTrackLength(), 404 - 80);
    EXPECT_EQ(bar->GetThumbLength(), 28);
    Pump();
    parent.scrolls.clear();
    // Paging aims at the pen less half a thumb and two pixels: client y 240 is 200 pixels
    // into the track.
    Tap(390, 238);
    const int expected = static_cast<int>((200 - 16) * bar->GetUnitsPerPixel());
    for (int i = 0; i < 200 && (parent.scrolls.empty() || parent.scrolls.back().code != 8); ++i)
        Wait(100);
    EXPECT_EQ(parent.scrolls.back().code, 8);
    EXPECT_EQ(bar->GetScrollPos(), expected);
    Lift(390, 238);
}

} // namespace
