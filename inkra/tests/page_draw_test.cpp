// Stroke drawing of a page: subdivision of straight segments, curved spans, whole objects
// (mask and bounds afterwards) and the page's union of drawn rectangles.
#include "ink_page_support.h"

#include <cmath>

using inktest::MakeStroke;
using inktest::PageFixture;
using inktest::Pt;
using inktest::SameRect;

namespace {

struct Call {
    GWPOINT p1, p2;
    BYTE alpha;
};
std::vector<Call> g_calls;

// Records each piece and returns a box around it, as a rasteriser would.
tagRECT Recorder(GDib*, GDib*, BYTE*, tagRECT, GWPOINT& p1, GWPOINT& p2, LONG, LONG, BYTE A, BYTE,
                 BYTE, BYTE, InkBlendProc) {
    g_calls.push_back(Call{p1, p2, A});
    LONG l = (p1.x < p2.x ? p1.x : p2.x) >> 16, r = (p1.x < p2.x ? p2.x : p1.x) >> 16;
    LONG t = (p1.y < p2.y ? p1.y : p2.y) >> 16, b = (p1.y < p2.y ? p2.y : p1.y) >> 16;
    return tagRECT{l - 1, t - 1, r + 2, b + 2};
}

class PageLine : public PageFixture {
protected:
    void SetUp() override {
        PageFixture::SetUp();
        g_calls.clear();
    }
};

TEST_F(PageLine, ExactlyOneUnitApartDrawsNothing) {
    GWPOINT a = Pt(5, 5), b = Pt(6, 5);
    int drawn = 7;
    tagRECT r = page.DrawLine(Recorder, BlendPen, a, b, drawn, 0, 0, 0);
    EXPECT_EQ(drawn, 0);
    EXPECT_TRUE(SameRect(r, tagRECT{0, 0, 0, 0}));
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(PageLine, JustOverOneUnitDrawsOnePiece) {
    GWPOINT a = Pt(5, 5), b = Pt(5, 5);
    b.y += FIXED_ONE + 1;
    int drawn = 0;
    page.DrawLine(Recorder, BlendPen, a, b, drawn, 0, 0, 0);
    EXPECT_EQ(drawn, 1);
    EXPECT_EQ(g_calls.size(), 1u);
}

TEST_F(PageLine, TwentyFiveApartDrawsFourPiecesWithLinearWidths) {
    GWPOINT a = Pt(2, 10, 1.0, 200), b = Pt(27, 10, 5.0, 100);
    int drawn = 0;
    tagRECT r = page.DrawLine(Recorder, BlendPen, a, b, drawn, 0, 0, 0);
    EXPECT_EQ(drawn, 1);
    ASSERT_EQ(g_calls.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(g_calls[i].p1.x, a.x + i * 409600) << i; // 6.25 units a piece
        EXPECT_EQ(g_calls[i].p2.x, a.x + (i + 1) * 409600) << i;
        EXPECT_EQ(g_calls[i].p1.width, FIXED_ONE + i * FIXED_ONE) << i;
        EXPECT_EQ(g_calls[i].alpha, g_calls[i].p1.alpha) << i;
    }
    // Each split point's alpha is halfway: 150 in the middle, 175 and 125 at the quarters.
    EXPECT_EQ(g_calls[0].alpha, 200);
    EXPECT_EQ(g_calls[1].alpha, 175);
    EXPECT_EQ(g_calls[2].alpha, 150);
    EXPECT_EQ(g_calls[3].alpha, 125);
    // The union of the four boxes.
    EXPECT_TRUE(SameRect(r, tagRECT{1, 9, 29, 12}));
}

TEST_F(PageLine, ShortSpanOfACurveIsOnePiece) {
    GWPOINT p0 = Pt(0, 0), p1 = Pt(4, 0), p2 = Pt(12, 3);
    int drawn = 0;
    page.DrawCurve(Recorder, BlendPen, p0, p1, p2, drawn, 0, 0, 0);
    EXPECT_EQ(drawn, 1);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].p1.x, p1.x);
    EXPECT_EQ(g_calls[0].p2.x, p2.x);
}

TEST_F(PageLine, CurveThroughCollinearSamplesStaysOnTheSegment) {
    // Equally spaced along a slanted line: every piece lies on p1-p2.
    GWPOINT p0 = Pt(2, 1), p1 = Pt(22, 16), p2 = Pt(42, 31);
    int drawn = 0;
    page.DrawCurve(Recorder, BlendPen, p0, p1, p2, drawn, 0, 0, 0);
    EXPECT_EQ(drawn, 1);
    // Control polygon 25 long: three curve pieces, each further cut below 10 units.
    ASSERT_GE(g_calls.size(), 3u);
    const double dx = 20.0, dy = 15.0, length = 25.0;
    double lastAlong = 0;
    for (const Call& c : g_calls) {
        for (const GWPOINT* p : {&c.p1, &c.p2}) {
            double x = p->x / 65536.0 - 22.0, y = p->y / 65536.0 - 16.0;
            EXPECT_NEAR((x * dy - y * dx) / length, 0.0, 0.01);
            double along = (x * dx + y * dy) / length;
            EXPECT_GE(along, -0.01);
            EXPECT_LE(along, length + 0.01);
        }
        double along = ((c.p2.x / 65536.0 - 22.0) * dx + (c.p2.y / 65536.0 - 16.0) * dy) / length;
        EXPECT_GT(along, lastAlong); // moving forward
        lastAlong = along;
    }
    EXPECT_NEAR(lastAlong, length, 0.01);
    EXPECT_EQ(g_calls.front().p1.x, p1.x);
}

TEST_F(PageLine, ZeroLengthCurveSpanDrawsNothing) {
    GWPOINT p0 = Pt(0, 0), p1 = Pt(4, 4), p2 = Pt(4.5, 4);
    int drawn = 1;
    tagRECT r = page.DrawCurve(Recorder, BlendPen, p0, p1, p2, drawn, 0, 0, 0);
    EXPECT_EQ(drawn, 0);
    EXPECT_TRUE(SameRect(r, tagRECT{0, 0, 0, 0}));
    EXPECT_TRUE(g_calls.empty());
}

using PageObjectDraw = PageFixture;

TEST_F(PageObjectDraw, PenDotLeavesInkAClearMaskAndDrawnBounds) {
    GDObject* dot = MakeStroke(eDOPen, {Pt(20, 20, 3.0)}, tagRECT{0, 0, 0, 0}, RGB(10, 20, 30));
    page.AddGDObject(dot);
    tagRECT r = page.DrawGDObject(nullptr, dot, &identity, &identity);
    // The disc's box: R = ceil(3 + 0.6) = 4 around (20, 20), pixels 16 to 24 inclusive,
    // as a RECT (right and bottom exclusive), left made even.
    EXPECT_TRUE(SameRect(r, tagRECT{16, 16, 25, 25}));
    const BYTE* centre = Pixel(buffer, 20, 20);
    EXPECT_EQ(centre[0], 30);
    EXPECT_EQ(centre[1], 20);
    EXPECT_EQ(centre[2], 10);
    const BYTE* outside = Pixel(buffer, 30, 20);
    EXPECT_EQ(outside[2], 200);
    EXPECT_TRUE(MaskClear());
    EXPECT_TRUE(SameRect(dot->bounds, r));
}

TEST_F(PageObjectDraw, StrokeOutsideTheClipIsSkippedAndKeepsItsBounds) {
    GDObject* far = MakeStroke(eDOPen, {Pt(300, 300), Pt(320, 300)}, tagRECT{298, 298, 322, 302});
    page.AddGDObject(far);
    tagRECT r = page.DrawGDObject(nullptr, far, &identity, &identity);
    EXPECT_TRUE(SameRect(r, tagRECT{0, 0, 0, 0}));
    EXPECT_TRUE(SameRect(far->bounds, tagRECT{298, 298, 322, 302}));
}

TEST_F(PageObjectDraw, StrokeStillBeingWrittenIsNotDrawn) {
    // The manager counts points before handing the array over.
    GDObject* growing = MakeStroke(eDOPen, {}, tagRECT{10, 10, 20, 20});
    growing->pointCount = 5;
    page.AddGDObject(growing);
    EXPECT_TRUE(
        SameRect(page.DrawGDObject(nullptr, growing, &identity, &identity), tagRECT{0, 0, 0, 0}));
}

TEST_F(PageObjectDraw, ViewMatrixMapsPointsAndBoundsComeBackThroughTheInverse) {
    GDObject* dot = MakeStroke(eDOPen, {Pt(10, 10, 2.0)}, tagRECT{0, 0, 0, 0});
    page.AddGDObject(dot);
    MATRIX view = identity, inverse;
    view.dx = 20 * FIXED_ONE;
    view.dy = 5 * FIXED_ONE;
    MatrixInvert(&view, &inverse);
    tagRECT r = page.DrawGDObject(nullptr, dot, &view, &inverse);
    // Disc at (30, 15) in the buffer, R = ceil(2 + 0.6) = 3: pixels 27 to 33 and 12 to 18,
    // left made even.
    EXPECT_TRUE(SameRect(r, tagRECT{26, 12, 34, 19}));
    EXPECT_EQ(Pixel(buffer, 30, 15)[0], 0);
    EXPECT_TRUE(SameRect(dot->bounds, tagRECT{6, 7, 14, 14}));
}

TEST_F(PageObjectDraw, PageUnionLeavesOutErasersAndEmptyPageIsZeros) {
    EXPECT_TRUE(SameRect(page.DrawPage(nullptr, &identity, &identity), tagRECT{0, 0, 0, 0}));
    page.AddGDObject(MakeStroke(eDOPen, {Pt(10, 10, 1.0)}, tagRECT{0, 0, 0, 0}));
    page.AddGDObject(MakeStroke(eDOEraser, {Pt(40, 30, 4.0)}, tagRECT{0, 0, 0, 0}));
    buffer.FillRect(30, 20, 20, 20, RGB(1, 2, 3), 255);
    tagRECT r = page.DrawPage(nullptr, &identity, &identity);
    // Only the pen dot: R = ceil(1 + 0.6) = 2 around (10, 10), pixels 8 to 12.
    EXPECT_TRUE(SameRect(r, tagRECT{8, 8, 13, 13}));
    // The eraser dot restored the back block under it.
    const BYTE* erased = Pixel(buffer, 40, 30);
    const BYTE* plain = Pixel(back, 40, 30);
    EXPECT_EQ(std::memcmp(erased, plain, 3), 0);
    EXPECT_TRUE(MaskClear());
}

TEST_F(PageObjectDraw, SecondStrokeIsNotHeldBackByTheFirstsCoverage) {
    // Two marker dots on the same pixel: each object starts from a clear mask, so the second
    // darkens what the first left.
    page.AddGDObject(MakeStroke(eDOMarker, {Pt(20, 20, 4.0)}, tagRECT{0, 0, 0, 0}));
    page.AddGDObject(MakeStroke(eDOMarker, {Pt(20, 20, 4.0)}, tagRECT{0, 0, 0, 0}));
    page.GetGDObject(0)->alpha = 128;
    page.GetGDObject(0)->points[0].alpha = 128;
    page.GetGDObject(1)->points[0].alpha = 128;
    page.DrawPage(nullptr, &identity, &identity);
    // Inside, first coverage with q = 128 twice on red 200 toward 0:
    // 200 x 127 >> 8 = 99, then 99 x 127 >> 8 = 49.
    EXPECT_EQ(Pixel(buffer, 20, 20)[2], 49);
    EXPECT_TRUE(MaskClear());
}

} // namespace
