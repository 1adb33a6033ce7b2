// Hit tests against a trail's mask: a pixel hits when the trail covered it and the ink's
// disc or capsule gives it some coverage there, the antialiased edge included.
#include "ink_page_support.h"

using inktest::MakeStroke;
using inktest::PageFixture;
using inktest::Pt;
using inktest::SameRect;

namespace {

using PageHit = PageFixture;

TEST_F(PageHit, CapsuleEdgeCountsOnlyWithinTheBand) {
    GWPOINT a = Pt(10, 20, 2.0), b = Pt(50, 20, 2.0);
    // Two pixels from the centre line: d = 2 (2 - 2) = 0, the middle of the band.
    MaskAt(30, 22) = 1;
    EXPECT_EQ(page.HitTestLine(mask.data(), a, b), 1);
    MaskAt(30, 22) = 0;
    // Three pixels: d = -2, past -lf = -1.6.
    MaskAt(30, 23) = 255;
    EXPECT_EQ(page.HitTestLine(mask.data(), a, b), 0);
    // Beyond the round end: distance to (50, 20) is 2.
    MaskAt(52, 20) = 9;
    EXPECT_EQ(page.HitTestLine(mask.data(), a, b), 1);
}

TEST_F(PageHit, BandEdgeWithZeroCoverageDoesNotHit) {
    // Pixel (22, 20) is 2 from the centre. With d = -104790, just above -lf = -104857, the
    // ramp is round(((67 << 16) / 41942) x 51 / 65536) = 0: no coverage, no hit.
    GWPOINT p = Pt(20, 20);
    p.width = 2 * FIXED_ONE - 52395;
    MaskAt(22, 20) = 200;
    EXPECT_EQ(page.HitTestPoint(mask.data(), p), 0);
    // d = -102000: the ramp gives 3.
    p.width = 2 * FIXED_ONE - 51000;
    EXPECT_EQ(page.HitTestPoint(mask.data(), p), 1);
}

TEST_F(PageHit, UntouchedMaskNeverHits) {
    GWPOINT a = Pt(10, 20, 6.0), b = Pt(50, 30, 6.0);
    EXPECT_EQ(page.HitTestLine(mask.data(), a, b), 0);
    GWPOINT p = Pt(30, 30, 5.0);
    EXPECT_EQ(page.HitTestPoint(mask.data(), p), 0);
}

TEST_F(PageHit, ObjectTestNeedsBoundsContactAndPoints) {
    GDObject* stroke =
        MakeStroke(eDOPen, {Pt(10, 20, 2.0), Pt(50, 20, 2.0)}, tagRECT{7, 17, 53, 23});
    page.AddGDObject(stroke);
    MaskAt(30, 21) = 255;
    EXPECT_EQ(page.HitTest(stroke, &identity, tagRECT{25, 18, 35, 24}, mask.data()), 1);
    // The trail's rectangle misses the bounds: no finer test.
    EXPECT_EQ(page.HitTest(stroke, &identity, tagRECT{0, 30, 60, 40}, mask.data()), 0);
    EXPECT_EQ(page.HitTest(stroke, &identity, tagRECT{25, 18, 35, 24}, nullptr), 0);
    EXPECT_EQ(page.HitTest(stroke, nullptr, tagRECT{25, 18, 35, 24}, mask.data()), 0);
    GDObject* text = AllocGDObject();
    text->kind = DO_TEXT;
    text->bounds = tagRECT{0, 0, 60, 40};
    page.AddGDObject(text);
    EXPECT_EQ(page.HitTest(text, &identity, tagRECT{25, 18, 35, 24}, mask.data()), 0);
}

TEST_F(PageHit, DeleteByTrailTakesOnlyTheGrazedStroke) {
    GDObject* upper =
        MakeStroke(eDOPen, {Pt(10, 20, 2.0), Pt(50, 20, 2.0)}, tagRECT{7, 17, 53, 23});
    GDObject* lower =
        MakeStroke(eDOPen, {Pt(10, 35, 2.0), Pt(50, 35, 2.0)}, tagRECT{7, 32, 53, 38});
    GDObject* eraser = MakeStroke(eDOEraser, {Pt(30, 21, 3.0)}, tagRECT{26, 17, 34, 25});
    page.AddGDObject(upper);
    page.AddGDObject(lower);
    page.AddGDObject(eraser);
    // The trail grazes the upper stroke's antialiased edge only.
    MaskAt(30, 22) = 255;
    MaskAt(31, 22) = 255;
    tagRECT r = page.DeleteGDObject(&identity, tagRECT{20, 10, 40, 40}, mask.data(), 1);
    EXPECT_TRUE(SameRect(r, tagRECT{7, 17, 53, 23}));
    ASSERT_EQ(page.GetTotalGDObjectNum(), 2);
    EXPECT_EQ(page.GetGDObject(0), lower);
    EXPECT_EQ(page.GetGDObject(1), eraser);
}

TEST_F(PageHit, SelectionByTrailLeavesThePageAlone) {
    GDObject* dot = MakeStroke(eDOPen, {Pt(30, 30, 3.0)}, tagRECT{26, 26, 34, 34});
    page.AddGDObject(dot);
    MaskAt(32, 31) = 40;
    GArray out;
    EXPECT_TRUE(SameRect(page.SelectGDObject(&identity, tagRECT{0, 0, 64, 48}, mask.data(), &out),
                         tagRECT{26, 26, 34, 34}));
    ASSERT_EQ(out.GetSize(), 1);
    EXPECT_EQ(page.GetTotalGDObjectNum(), 1);
    EXPECT_TRUE(SameRect(page.SelectGDObject(&identity, tagRECT{0, 0, 64, 48}, nullptr, &out),
                         tagRECT{0, 0, 0, 0}));
    EXPECT_EQ(out.GetSize(), 0);
}

} // namespace
