// A whole-page redraw gives the pixels of drawing each stroke alone piece by piece with the
// plain rasterisers and a whole-mask clear after it, however the redraw saves mask work.
#include "ink_page_support.h"

#include <thread>

namespace {

using namespace inktest;

using PageRedraw = PageFixture;

// Pencil grain comes from a per-thread sequence: each drawing runs in a fresh thread, so
// both start from the same grain.
template <class F> void InFreshThread(F f) {
    std::thread t(f);
    t.join();
}

TEST_F(PageRedraw, MixedStrokesMatchDrawingEachStrokeAlone) {
    page.AddGDObject(MakeStroke(eDOPencel, {Pt(4, 4, 1.5), Pt(30, 10, 1.5), Pt(58, 40, 1.5)},
                                tagRECT{0, 0, 64, 48}, RGB(60, 60, 60)));
    page.AddGDObject(
        MakeStroke(eDOPen, {Pt(2, 40, 1.0), Pt(60, 6, 1.0)}, tagRECT{0, 0, 64, 48}, RGB(0, 0, 96)));
    page.AddGDObject(MakeStroke(
        eDOPencel,
        {Pt(10, 30, 2.0), Pt(25, 20, 2.0), Pt(25.5, 20, 2.0), Pt(40, 35, 2.0), Pt(12, 44, 2.0)},
        tagRECT{0, 0, 64, 48}, RGB(20, 90, 20)));
    // A loop that crosses its own first piece after the mask there was cleared.
    page.AddGDObject(MakeStroke(eDOPencel,
                                {Pt(8, 12, 2.5), Pt(50, 12, 2.5), Pt(54, 40, 2.5), Pt(30, 2, 2.5)},
                                tagRECT{0, 0, 64, 48}, RGB(90, 40, 140)));
    page.AddGDObject(MakeStroke(eDOMarker, {Pt(0, 22, 4.0), Pt(63, 26, 4.0)}, tagRECT{0, 0, 64, 48},
                                RGB(255, 220, 0)));
    page.AddGDObject(
        MakeStroke(eDOEraser, {Pt(30, 0, 3.0), Pt(34, 47, 3.0)}, tagRECT{0, 0, 64, 48}));
    page.AddGDObject(MakeStroke(eDOPencel, {Pt(50, 5, 1.0)}, tagRECT{0, 0, 64, 48}));
    page.AddGDObject(MakeStroke(eDOBrush, {Pt(5, 10, 1.0), Pt(40, 12, 3.0), Pt(60, 30, 2.0)},
                                tagRECT{0, 0, 64, 48}, RGB(128, 0, 0)));
    // Stale coverage left by earlier drawing must act the same in both.
    MaskAt(20, 20) = 200;
    MaskAt(5, 40) = 90;
    const std::vector<BYTE> startMask = mask;

    InFreshThread([&] { page.DrawPage(nullptr, &identity, &identity); });
    const size_t size = static_cast<size_t>(buffer.GetLineSize()) * kHeight;
    const std::vector<BYTE> redrawn(buffer.GetBits(), buffer.GetBits() + size);
    EXPECT_TRUE(MaskClear());

    buffer.CopyDib(&back);
    mask = startMask;
    InFreshThread([&] {
        for (int i = 0; i < page.GetTotalGDObjectNum(); ++i) {
            GDObject* o = page.GetGDObject(i);
            InkRasterProc raster = GetStrokeRaster(o->strokeType);
            InkBlendProc blend = GetStrokeBlend(o->strokeType);
            // Points through the view as the page maps them.
            GWPOINT previous;
            MatrixTransformPoint(&identity, &o->points[0], &previous);
            if (o->pointCount == 1)
                DrawPoint(&buffer, &back, mask.data(), tagRECT{0, 0, kWidth, kHeight}, previous,
                          INK_LINE_FACTOR, INK_DIVIDE_FACTOR, previous.alpha, o->red, o->green,
                          o->blue, blend);
            for (int k = 1; k < o->pointCount; ++k) {
                GWPOINT point;
                MatrixTransformPoint(&identity, &o->points[k], &point);
                int drawn = 0;
                tagRECT r =
                    page.DrawLine(raster, blend, previous, point, drawn, o->red, o->green, o->blue);
                if (drawn == 0 && (r.right <= r.left || r.bottom <= r.top))
                    continue;
                previous = point;
            }
            std::fill(mask.begin(), mask.end(), 0);
        }
    });
    int differ = 0, inked = 0;
    for (size_t i = 0; i < size; ++i) {
        differ += redrawn[i] != buffer.GetBits()[i];
        inked += buffer.GetBits()[i] != back.GetBits()[i];
    }
    EXPECT_EQ(differ, 0);
    EXPECT_GT(inked, 300);
}

} // namespace
