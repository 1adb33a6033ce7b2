// A whole-page redraw split into row bands gives what one pass gives: pixels, mask, object
// bounds and the drawn rectangle, whatever the band count, clip and view.
#include "ink_page_support.h"

#include <cmath>
#include <thread>

namespace {

using namespace inktest;

constexpr int kW = 240;
constexpr int kH = 320;

struct Outcome {
    std::vector<BYTE> pixels;
    std::vector<BYTE> mask;
    std::vector<tagRECT> bounds;
    tagRECT drawn;
};

class PageBands : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(buffer.Create(kW, kH, 24), 1);
        ASSERT_EQ(back.Create(kW, kH, 24), 1);
        back.SetBackColor(RGB(250, 248, 230), 255);
        mask.assign(static_cast<size_t>(kW) * kH, 0);
        page.AttachDrawMan(&buffer, &back, mask.data(), tagRECT{0, 0, kW, kH}, INK_LINE_FACTOR,
                           INK_DIVIDE_FACTOR, 0);
        // Loops of handwriting on every line, some crossing the lines above and below, with
        // every tool that draws the same on any thread.
        const eDOStrokeType tools[] = {eDOPen,      eDOMarker, eDOColorPen, eDOBrush,
                                       eDOAirBrush, eDOPen,    eDOEraser,   eDODelStroke};
        unsigned seed = 7;
        auto next = [&seed] {
            seed = seed * 1664525u + 1013904223u;
            return (seed >> 8) / 16777216.0;
        };
        for (int s = 0; s < 120; ++s) {
            const double baseline = 12 + (s / 8) * 20.5, x0 = 4 + (s % 8) * 29.0;
            const double width = 0.5 + 4.0 * next(), tall = 8 + (s % 5 == 0 ? 30 : 10 * next());
            std::vector<GWPOINT> points;
            for (int i = 0; i < 24; ++i) {
                const double t = i / 23.0;
                points.push_back(Pt(x0 + 26 * t + 3 * std::sin(t * 19),
                                    baseline - tall * (0.5 - 0.5 * std::cos(t * 12)),
                                    width * (s % 8 == 3 ? 0.5 + t : 1.0)));
            }
            const eDOStrokeType tool = tools[s % 8];
            // Stored bounds too small on purpose for some: the redraw keeps them as they are
            // until it has drawn the stroke.
            const tagRECT bounds =
                s % 11 == 0 ? tagRECT{0, 0, 1, 1} : tagRECT{0, 0, kW * 2, kH * 2};
            page.AddGDObject(MakeStroke(tool, points, bounds, RGB(20 * (s % 9), 40, 200 - s)));
        }
        for (int i = 0; i < page.GetTotalGDObjectNum(); ++i)
            bounds.push_back(page.GetGDObject(i)->bounds);
    }
    void TearDown() override {
        InkraSetRedrawBands(0);
        while (page.GetAttachCount() > 0)
            page.DetachDrawMan();
        page.RemoveAllGDObject();
    }

    Outcome Redraw(int bands, const tagRECT& clip, const MATRIX& view, int useCurve) {
        buffer.CopyDib(&back);
        std::fill(mask.begin(), mask.end(), 0);
        // Coverage left by earlier drawing acts on the first stroke in each row alike.
        for (int y = 0; y < kH; y += 7)
            mask[static_cast<size_t>(y) * kW + (y * 13) % kW] = static_cast<BYTE>(40 + y % 200);
        for (int i = 0; i < page.GetTotalGDObjectNum(); ++i)
            page.GetGDObject(i)->bounds = bounds[static_cast<size_t>(i)];
        page.SetDrawMan(&buffer, &back, mask.data(), clip, INK_LINE_FACTOR, INK_DIVIDE_FACTOR,
                        useCurve);
        // The inverse keeps the centre it is given: the identity's.
        MATRIX inverse;
        MatrixIdentity(&inverse);
        MatrixInvert(&view, &inverse);
        InkraSetRedrawBands(bands);
        Outcome out;
        out.drawn = page.DrawPage(nullptr, &view, &inverse);
        out.pixels.assign(buffer.GetBits(),
                          buffer.GetBits() + static_cast<size_t>(buffer.GetLineSize()) * kH);
        out.mask = mask;
        for (int i = 0; i < page.GetTotalGDObjectNum(); ++i)
            out.bounds.push_back(page.GetGDObject(i)->bounds);
        return out;
    }

    GDib buffer;
    GDib back;
    std::vector<BYTE> mask;
    std::vector<tagRECT> bounds;
    InkraPage page;
};

TEST_F(PageBands, EveryBandCountGivesTheSinglePass) {
    MATRIX identity, zoom;
    MatrixIdentity(&identity);
    MatrixIdentity(&zoom);
    MatrixScale(FIXED_ONE * 3 / 2, FIXED_ONE * 3 / 2, &zoom);
    struct Case {
        tagRECT clip;
        const MATRIX* view;
        int useCurve;
    };
    const Case cases[] = {
        {{0, 0, kW, kH}, &identity, 0},
        {{0, 0, kW, kH}, &identity, 1},
        {{13, 41, 200, 301}, &zoom, 1}, // part of the page, zoomed: rows outside stay alone
    };
    for (const Case& c : cases) {
        const Outcome single = Redraw(1, c.clip, *c.view, c.useCurve);
        int inked = 0;
        for (size_t i = 0; i < single.pixels.size(); ++i)
            inked += single.pixels[i] != back.GetBits()[i];
        ASSERT_GT(inked, 20000);
        for (int bands : {2, 3, 4}) {
            SCOPED_TRACE(::testing::Message()
                         << bands << " bands, clip top " << c.clip.top << ", curve " << c.useCurve);
            const Outcome banded = Redraw(bands, c.clip, *c.view, c.useCurve);
            EXPECT_TRUE(banded.pixels == single.pixels);
            EXPECT_TRUE(banded.mask == single.mask);
            ASSERT_EQ(banded.bounds.size(), single.bounds.size());
            for (size_t i = 0; i < single.bounds.size(); ++i)
                EXPECT_TRUE(EqualRect(&banded.bounds[i], &single.bounds[i])) << "stroke " << i;
            EXPECT_TRUE(EqualRect(&banded.drawn, &single.drawn));
        }
    }
}

// Pencil grain differs from thread to thread, but the strokes lie where one pass lays them:
// the other ink is untouched, the mask ends clear and the grain covers as much.
TEST_F(PageBands, PencilStrokesInBandsLieAsInOnePass) {
    const tagRECT area{24, 10, 212, 282}; // where the pencil strokes reach
    for (int s = 0; s < 12; ++s) {
        std::vector<GWPOINT> points;
        for (int i = 0; i < 40; ++i)
            points.push_back(Pt(30 + 4.5 * i, 25 + 22 * s + 8 * std::sin(i * 0.7), 1 + s % 3));
        page.AddGDObject(MakeStroke(eDOPencel, points, tagRECT{0, 0, kW, kH}, RGB(60, 60, 60)));
        bounds.push_back(tagRECT{0, 0, kW, kH});
    }
    MATRIX identity;
    MatrixIdentity(&identity);
    const Outcome single = Redraw(1, tagRECT{0, 0, kW, kH}, identity, 1);
    const Outcome banded = Redraw(4, tagRECT{0, 0, kW, kH}, identity, 1);
    EXPECT_TRUE(banded.mask == single.mask);
    const size_t stride = static_cast<size_t>(buffer.GetLineSize());
    int inkedSingle = 0, inkedBanded = 0, strayDiffer = 0;
    for (size_t i = 0; i < single.pixels.size(); ++i) {
        const int y = kH - 1 - static_cast<int>(i / stride), x = static_cast<int>(i % stride) / 3;
        const bool pencil = x >= area.left && x < area.right && y >= area.top && y < area.bottom;
        if (!pencil)
            strayDiffer += banded.pixels[i] != single.pixels[i];
        inkedSingle += single.pixels[i] != back.GetBits()[i];
        inkedBanded += banded.pixels[i] != back.GetBits()[i];
    }
    EXPECT_EQ(strayDiffer, 0);
    EXPECT_NEAR(inkedBanded, inkedSingle, inkedSingle / 50);
}

} // namespace
