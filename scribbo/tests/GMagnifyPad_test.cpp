// The magnify pad: its zoom for a strip, the stroke that lands on the memo's shared page at
// normal size, the advance after the margin, the wrap to the next line, the buttons and what
// the strip shows on both screen sizes.
#include "scribbo/GMagnifyPad.h"

#include "scribbo/App.h"
#include "toolbar_test_support.h"
#include "vbutton_test_support.h"

#include <platform/wingdi.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// The pad view's part: records what the strip tells it.
class PadParent : public Winza {
public:
    struct Note {
        UINT msg;
        tagRECT area;
        LPARAM object;
    };
    LPCWSTR GetClassNameW() override { return u"MagnifyTestParent"; }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg >= UM_OBJECTCHANGED && msg <= UM_MAGNIFYSHORTER) {
            Note n{msg, tagRECT{0, 0, 0, 0}, lParam};
            if (msg == UM_OBJECTCHANGED && wParam)
                n.area = *reinterpret_cast<const tagRECT*>(wParam);
            notes.push_back(n);
            return 0;
        }
        return Winza::WndProc(hwnd, msg, wParam, lParam);
    }
    void Draw(HDC hdc, RECT clip) override { FillSolidRect(hdc, &clip, RGB(255, 255, 255)); }
    std::vector<UINT> Messages() const {
        std::vector<UINT> out;
        for (const Note& n : notes)
            out.push_back(n.msg);
        return out;
    }
    std::vector<Note> notes;
};

double Pixels(LONG fixed) {
    return fixed / 65536.0;
}

class MagnifyPad : public ToolkitTest {
protected:
    void TearDown() override {
        pad.AttachPage(nullptr, nullptr);
        ToolkitTest::TearDown();
        apptest::RestoreDefaultScreen();
    }
    // A memo with one page on the default low-resolution paper (800 x 600, lines every 28
    // below a title band of 80, title column 120) and the strip at the bottom of the screen,
    // one writing line high, showing the band below the title line.
    void Make(int stripHeight) {
        ASSERT_TRUE(parent.Create(nullptr, u"view", WS_POPUP | WS_VISIBLE, 0, 0, screenW, screenH));
        ASSERT_TRUE(memo.InitBuffer(parent.GetDC(), screenW, screenH - stripHeight));
        ASSERT_GE(memo.SetCurPage(0, 0), 0);
        memo.ApplyPageSize();
        memo.SetPenColor(RGB(0, 0, 0));
        memo.SetPenWidth(FIXED_ONE);
        memo.SetMaxAlpha(255);
        top = screenH - stripHeight;
        ASSERT_TRUE(pad.CreatePad(parent, RECT{0, top, screenW, screenH}, WS_CHILD | WS_VISIBLE));
        pad.AttachPage(memo.GetCurPage(), &memo);
        pad.SetZoom(GMagnifyPad::ZoomForStrip(stripHeight, memo.GetTemplate()->LineSpace));
        pad.SetPosition(0, IntToFixed(memo.GetTemplate()->TitleBandHeight));
        Pump();
        parent.notes.clear();
    }
    // Page pixel to strip pixel, rounded up, at the pad's zoom.
    int Strip(int page) const { return (page * pad.GetZoom() + 99) / 100; }
    void Stroke(std::vector<POINT> points) {
        Down(points[0].x, top + points[0].y);
        for (size_t i = 1; i + 1 < points.size(); ++i)
            Move(points[i].x, top + points[i].y);
        Up(points.back().x, top + points.back().y);
    }

    PadParent parent;
    GPadDrawMan memo;
    GMagnifyPad pad;
    int top = 0;
};

TEST_F(MagnifyPad, OneWritingLineFillsTheStrip) {
    struct Case {
        int strip, lineSpace, zoom;
    } cases[] = {{80, 28, 285}, {120, 56, 214}, {60, 28, 214}, {80, 0, 100}};
    for (const Case& c : cases)
        EXPECT_EQ(GMagnifyPad::ZoomForStrip(c.strip, c.lineSpace), c.zoom) << c.strip;

    Make(80);
    EXPECT_EQ(pad.GetZoom(), 285);
    // The view shows one line space from the title line, the writing width at 1 / 2.85.
    const tagRECT view = pad.GetViewRect();
    EXPECT_NEAR(Pixels(view.top), 80, 0.4);
    EXPECT_NEAR(Pixels(view.bottom - view.top), 28, 0.1);
    EXPECT_NEAR(Pixels(view.right - view.left), pad.GetWritingWidth() / 2.85, 0.1);
    // The geometry of a strip 80 high: a column of 22 with four buttons of 20.
    EXPECT_EQ(pad.GetButtonColumnWidth(), 22);
    EXPECT_EQ(pad.GetMarginX(), 240 - 22 - 44);
    EXPECT_EQ(pad.GetButtonRect(eMagAdvance).top, 40);
    EXPECT_EQ(pad.GetButtonRect(eMagNewLine).bottom, 80);
}

TEST_F(MagnifyPad, StrokeLandsOnTheSharedPageAtNormalSize) {
    Make(80);
    // Unsmoothed, so that every sample is a point where it was taken.
    memo.SetUseCompensate(0);
    InkraPage* page = memo.GetCurPage();
    EXPECT_EQ(page->GetAttachCount(), 2);
    // Three samples reach the strip with one move message: all of them become ink.
    Down(29, top + 40);
    plat::InputStylusMoveQ(4 * 50, 4 * (top + 40));
    plat::InputStylusMoveQ(4 * 70, 4 * (top + 30));
    plat::InputStylusMoveQ(4 * 90, 4 * (top + 40));
    Pump();
    Up(115, top + 40);

    ASSERT_EQ(page->GetTotalGDObjectNum(), 1);
    GDObject* object = page->GetGDObject(0);
    EXPECT_GE(object->pointCount, 5);
    // At once on the page, scaled back: strip x 29 is page x 29 / 2.85, strip y 40 is the
    // line's middle, 80 + 40 / 2.85.
    ASSERT_NE(object->points, nullptr);
    EXPECT_NEAR(Pixels(object->points[0].x), 29 / 2.85, 0.5);
    EXPECT_NEAR(Pixels(object->points[0].y), 80 + 40 / 2.85, 0.5);
    // The pen keeps its page width: one pixel from the centre line on each side.
    EXPECT_NEAR(Pixels(object->width), 1, 0.05);
    EXPECT_NEAR(object->bounds.right - object->bounds.left, (115 - 29) / 2.85 + 2, 2);
    // The parent hears of the object and its page rectangle, and the page draws through the
    // memo's buffers again.
    ASSERT_EQ(parent.Messages(), std::vector<UINT>{UM_OBJECTCHANGED});
    EXPECT_EQ(parent.notes[0].object, reinterpret_cast<LPARAM>(object));
    EXPECT_NEAR(parent.notes[0].area.left, object->bounds.left, 2);
    EXPECT_NEAR(parent.notes[0].area.right, object->bounds.right, 2);
    EXPECT_EQ(page->GetBufferBlock(), memo.GetBufferBlock());
    // The memo shows the stroke at its size: ink at page (12, 94), none at strip scale.
    memo.Render();
    EXPECT_LT(GetRValue(memo.GetBufferBlock()->GetPixelColor(12, 94)), 100);
    EXPECT_GT(GetRValue(memo.GetBufferBlock()->GetPixelColor(80, 94)), 200);

    // The memo lets the page go first; the strip still holds it and its ink until it lets go.
    memo.RemoveAllPage();
    EXPECT_EQ(page->GetAttachCount(), 1);
    EXPECT_EQ(page->GetTotalGDObjectNum(), 1);
    pad.AttachPage(nullptr, nullptr);
    EXPECT_EQ(pad.GetPage(), nullptr);
}

TEST_F(MagnifyPad, CrossingTheMarginAdvancesHalfASecondAfterTheLift) {
    Make(80);
    const int margin = pad.GetMarginX();
    // Short of the margin: the strip stays.
    Stroke({{20, 40}, {margin - 10, 40}, {margin - 5, 40}});
    Wait(600);
    EXPECT_EQ(pad.GetOffset().x, 0);

    parent.notes.clear();
    Stroke({{margin - 20, 40}, {margin + 8, 40}, {margin + 10, 42}});
    EXPECT_TRUE(pad.IsAdvancePending());
    Wait(499);
    EXPECT_EQ(pad.GetOffset().x, 0);
    Wait(1);
    EXPECT_EQ(pad.GetOffset().x, 240 - 22 - 30);
    EXPECT_EQ(pad.GetOffset().y, Strip(80));
    EXPECT_EQ(parent.Messages(), (std::vector<UINT>{UM_OBJECTCHANGED, UM_MAGNIFYMOVED}));
    // The frame follows: the view starts at the moved place.
    EXPECT_NEAR(Pixels(pad.GetViewRect().left), 188 / 2.85, 0.5);

    // A further stroke within the half second puts the advance off until half a second
    // after its own lift.
    parent.notes.clear();
    Stroke({{margin - 20, 40}, {margin + 10, 40}, {margin + 12, 40}});
    Wait(300);
    Stroke({{30, 40}, {35, 45}, {40, 40}});
    Wait(499);
    EXPECT_EQ(pad.GetOffset().x, 188);
    Wait(1);
    EXPECT_EQ(pad.GetOffset().x, 2 * 188);
    EXPECT_FALSE(pad.IsAdvancePending());
}

TEST_F(MagnifyPad, AdvanceReachesTheLineEndThenWraps) {
    // Paper flags, first line's top (page), where the next line starts (strip pixels).
    struct Case {
        DWORD flags;
        int lineTop;
        int nextX, nextY;
    } cases[] = {
        {7, 80, 342, 308}, // title column at 120 x 2.85, next band from 108
        {5, 80, 0, 308},   // no title column: from the left
        {4, 56, 0, 240},   // no title band: lines every 28 from the top
    };
    Make(80);
    const int writing = pad.GetWritingWidth();
    const int right = 800 * 285 / 100;
    for (const Case& c : cases) {
        memo.GetTemplate()->Flags = c.flags;
        pad.TakePaper(&memo);
        pad.SetPosition(0, IntToFixed(c.lineTop));
        parent.notes.clear();
        std::vector<int> xs;
        for (int i = 0; i < 20 && pad.GetOffset().y == Strip(c.lineTop); ++i) {
            xs.push_back(pad.GetOffset().x);
            pad.Advance();
        }
        // Steps of 188, the last one short so that the line's end is shown, then the wrap.
        ASSERT_GE(xs.size(), 3u);
        EXPECT_EQ(xs[1], 188);
        EXPECT_EQ(xs.back(), right - writing) << c.flags;
        EXPECT_EQ(xs[xs.size() - 2], 188 * int(xs.size() - 2));
        EXPECT_EQ(pad.GetOffset().x, c.nextX) << c.flags;
        EXPECT_EQ(pad.GetOffset().y, c.nextY) << c.flags;
        EXPECT_EQ(parent.notes.size(), xs.size()) << c.flags;
    }
}

TEST_F(MagnifyPad, NewLineStopsAtThePageBottom) {
    Make(80);
    // The last band of the 600-high page starts at 556; one line above it moves down.
    struct Case {
        int lineTop;
        bool moves;
    } cases[] = {{528, true}, {556, false}};
    for (const Case& c : cases) {
        pad.SetPosition(IntToFixed(200), IntToFixed(c.lineTop));
        const POINT before = pad.GetOffset();
        parent.notes.clear();
        pad.NewLine();
        if (c.moves) {
            EXPECT_EQ(pad.GetOffset().y, Strip(c.lineTop + 28));
            EXPECT_EQ(parent.Messages(), std::vector<UINT>{UM_MAGNIFYMOVED});
        } else {
            EXPECT_EQ(pad.GetOffset().x, before.x);
            EXPECT_EQ(pad.GetOffset().y, before.y);
            EXPECT_TRUE(parent.notes.empty());
        }
    }
    pad.MoveToPageBottom();
    EXPECT_EQ(pad.GetOffset().y, 600 * 285 / 100 - 80);
    pad.MoveToRightEnd();
    EXPECT_EQ(pad.GetOffset().x, 800 * 285 / 100 - pad.GetWritingWidth());
}

TEST_F(MagnifyPad, ButtonsActOnlyWhenReleasedOnThePressedOne) {
    Make(80);
    auto centre = [&](int b) {
        const RECT r = pad.GetButtonRect(b);
        return POINT{(r.left + r.right) / 2, top + (r.top + r.bottom) / 2};
    };
    struct Case {
        int pressed;
        POINT release;
        std::vector<UINT> sent;
    } cases[] = {
        {eMagTaller, centre(eMagTaller), {UM_MAGNIFYTALLER}},
        {eMagShorter, centre(eMagShorter), {UM_MAGNIFYSHORTER}},
        {eMagTaller, centre(eMagShorter), {}},
        {eMagShorter, POINT{40, top + 40}, {}},
        {eMagAdvance, centre(eMagAdvance), {UM_MAGNIFYMOVED}},
        {eMagNewLine, centre(eMagNewLine), {UM_MAGNIFYMOVED}},
    };
    for (const Case& c : cases) {
        parent.notes.clear();
        const POINT at = centre(c.pressed);
        Down(at.x, at.y);
        Move(c.release.x, c.release.y);
        Up(c.release.x, c.release.y);
        EXPECT_EQ(parent.Messages(), c.sent) << c.pressed;
    }
    // Taps on buttons write nothing.
    EXPECT_EQ(memo.GetCurPage()->GetTotalGDObjectNum(), 0);
}

class MagnifyPadShot : public MagnifyPad, public ::testing::WithParamInterface<SIZE> {
protected:
    MagnifyPadShot() {
        screenW = GetParam().cx;
        screenH = GetParam().cy;
    }
};

TEST_P(MagnifyPadShot, StripShowsPaperInkMarginAndButtons) {
    const int s = ApplyHires(1);
    Make(80 * s);
    Stroke({{20 * s, 20 * s}, {40 * s, 60 * s}, {60 * s, 20 * s}, {80 * s, 60 * s}});
    Pump();
    const std::string dir = SCRIBBO_TEST_OUTPUT;
    std::filesystem::create_directories(dir);
    HDC screen = ::GetDC(nullptr);
    EXPECT_TRUE(plat::SaveSurfacePng(screen, dir + "/magnify_" + std::to_string(screenW) + "x" +
                                                 std::to_string(screenH) + ".png"));
    auto at = [&](int x, int y) { return ::GetPixel(screen, x, top + y); };
    // The margin line is dotted in its colour; the paper shows between its dots.
    const int margin = pad.GetMarginX();
    int dots = 0, paper = 0;
    for (int y = 0; y < 40 * s; ++y) {
        dots += at(margin, y) == kMagnifyMarginColor;
        paper += at(margin, y) == memo.GetTemplate()->BackColor;
    }
    EXPECT_GT(dots, 10 * s);
    EXPECT_GT(paper, 5 * s);
    // The zigzag is black ink; the paper is around it.
    int ink = 0;
    for (int y = 10 * s; y < 70 * s; ++y)
        for (int x = 10 * s; x < 90 * s; ++x)
            ink += at(x, y) == RGB(0, 0, 0);
    EXPECT_GT(ink, 100 * s * s);
    EXPECT_EQ(at(150 * s, 40 * s), memo.GetTemplate()->BackColor);
    // Each button carries a dark glyph on the column's grey.
    for (int b = 0; b < eMagButtonCount; ++b) {
        const RECT r = pad.GetButtonRect(b);
        int glyph = 0, grey = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                glyph += at(x, y) == RGB(64, 64, 64);
                grey += at(x, y) == RGB(224, 224, 224);
            }
        EXPECT_GT(glyph, 8 * s * s) << b;
        EXPECT_GT(grey, glyph) << b;
    }
    ::ReleaseDC(nullptr, screen);
}

INSTANTIATE_TEST_SUITE_P(Screens, MagnifyPadShot, ::testing::Values(SIZE{240, 320}, SIZE{480, 640}),
                         [](const ::testing::TestParamInfo<SIZE>& info) {
                             return std::to_string(info.param.cx) + "x" +
                                    std::to_string(info.param.cy);
                         });

} // namespace
