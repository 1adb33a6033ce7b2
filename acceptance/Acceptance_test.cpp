// The memo round in the running program: a new memo written with every pen preset, a second
// page, turning back, zooming, closing, and the list showing the memo as a row and as a
// preview; the memo file read back with padtool and the screenshots checked.
#include "acceptance_support.h"

#include <gtest/gtest.h>

namespace acceptance {
namespace {

class MemoRound : public ::testing::TestWithParam<Screen> {};

struct Preset {
    int strokeType;
    COLORREF colour;
    std::int64_t width;
    int alpha;
};

// The pen bar's presets in their order, as the memo file must keep them.
const Preset kPresets[] = {
    {0, 0x000000, 16384, 255}, {0, 0x0000FF, 16384, 255},  {0, 0xFF0000, 16384, 255},
    {0, 0x006600, 16384, 255}, {0, 0xFF00FF, 16384, 255},  {0, 0x663300, 16384, 255},
    {4, 0x333333, 32768, 153}, {1, 0x00FFFF, 131072, 96},  {1, 0x00FF00, 131072, 96},
    {1, 0xFFFF00, 131072, 96}, {3, 0xFFFFFF, 196608, 255}, {2, 0x000000, 6553, 255},
};
constexpr int kEraser = 10;
constexpr int kStrokeDelete = 11;
constexpr COLORREF kTitleLine = RGB(255, 51, 51);
constexpr COLORREF kPaper = RGB(255, 255, 192);

// Page row of the stroke written with preset i: the pens in the title band, the pencil and
// the markers between the writing lines.
int RowOf(int i) {
    static const int rows[] = {12, 24, 36, 48, 60, 72, 94, 122, 150, 178};
    return rows[i];
}

std::string Colour(COLORREF c) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", unsigned(c));
    return text;
}

TEST_P(MemoRound, EveryPresetPagesZoomCloseAndTheListShowsIt) {
    const Screen& s = GetParam();
    Device device(s);
    device.Seed({"\"LockToolbar\"=hex:01,00,00,00"});
    Script script;
    script.Wait(200).Tap(s.newMemo).Wait(200).Shot(device.ShotPath("new"));
    script.Tap({s.cornerX, s.penY});
    for (int i = 0; i < kEraser; ++i)
        script.Tap(s.Preset(i)).Stroke(s.PageToScreen(20, RowOf(i)), s.PageToScreen(110, RowOf(i)));
    // The eraser through the first stroke, stroke delete through the second.
    script.Tap(s.Preset(kEraser)).Stroke(s.PageToScreen(60, 4), s.PageToScreen(60, 20));
    script.Tap(s.Preset(kStrokeDelete)).Stroke(s.PageToScreen(80, 18), s.PageToScreen(80, 30));
    script.Wait(100).Shot(device.ShotPath("page1"));
    // Pages: the page level, insert, write in blue, back to the first page.
    script.Tap(s.Top(2)).Tap(s.Top(0)).Tap(s.Preset(2));
    script.Stroke(s.PageToScreen(20, 100), s.PageToScreen(200, 100)).Shot(device.ShotPath("page2"));
    script.Tap(s.Top(2)).Wait(100).Shot(device.ShotPath("page1-again"));
    // Zoom in from the pen bar's own level, then close.
    script.Tap({s.cornerX, s.penY}).Tap(s.Pen(1)).Wait(100).Shot(device.ShotPath("zoomed"));
    script.Tap({s.closeX, s.topY}).Wait(300).Shot(device.ShotPath("rows"));
    script.Tap(s.viewMode).Wait(300).Shot(device.ShotPath("grid"));
    ASSERT_EQ(device.Run(script), 0);

    const std::vector<std::string> memos = device.Memos();
    ASSERT_EQ(memos.size(), 1u);
    EXPECT_NE(memos[0].find("/20240101_000000.pad"), std::string::npos) << memos[0];
    const padtool::Json memo = device.Dump(memos[0]);
    ASSERT_EQ(PageCount(memo), 2);
    // Every preset's stroke but the second, deleted, and the eraser's own object last.
    const auto& page1 = Objects(memo, 0);
    std::vector<int> kept;
    for (int i = 0; i <= kEraser; ++i)
        if (i != 1)
            kept.push_back(i);
    ASSERT_EQ(page1.size(), kept.size());
    for (size_t k = 0; k < kept.size(); ++k) {
        const Preset& p = kPresets[kept[k]];
        SCOPED_TRACE("preset " + std::to_string(kept[k]));
        EXPECT_EQ(Int(page1[k], "stroke_type"), p.strokeType);
        // The eraser keeps no colour of its own.
        if (kept[k] != kEraser) {
            EXPECT_EQ(Str(page1[k], "colour"), Colour(p.colour));
        }
        EXPECT_EQ(Int(page1[k], "width"), p.width);
        EXPECT_EQ(Int(page1[k], "alpha"), p.alpha);
    }
    const auto& page2 = Objects(memo, 1);
    ASSERT_EQ(page2.size(), 1u);
    EXPECT_EQ(Str(page2[0], "colour"), Colour(kPresets[2].colour));

    // The pens' ink in their colours on the first page, none left of the deleted stroke.
    const TestPicture page1Shot = device.Picture("page1");
    const auto band = [&](const TestPicture& p, int i, COLORREF c, double ratio = 0.45) {
        const Pt a = s.PageToScreen(70, RowOf(i) - 3), b = s.PageToScreen(110, RowOf(i) + 3);
        return CountInk(p, a.x, a.y, b.x, b.y, c, kPaper, ratio);
    };
    for (int i : {2, 3, 4, 5})
        EXPECT_GT(band(page1Shot, i, kPresets[i].colour), 30 * s.scale) << "pen " << i;
    EXPECT_EQ(band(page1Shot, 1, kPresets[1].colour), 0) << "the deleted stroke";
    for (int i : {7, 8, 9})
        EXPECT_GT(band(page1Shot, i, kPresets[i].colour, 0.7), 30 * 4 * s.scale) << "marker " << i;
    // The eraser cut the first stroke where it crossed it.
    const Pt cut = s.PageToScreen(60, RowOf(0));
    EXPECT_EQ(CountInk(page1Shot, cut.x - s.scale, cut.y - 2 * s.scale, cut.x + s.scale,
                       cut.y + 2 * s.scale, 0, kPaper, 0.45),
              0);
    EXPECT_GT(band(page1Shot, 0, 0), 30 * s.scale);
    // The second page shows its blue stroke and not the first page's ink; turning back
    // shows the first page again.
    const TestPicture page2Shot = device.Picture("page2");
    const Pt blueA = s.PageToScreen(30, 97), blueB = s.PageToScreen(190, 103);
    EXPECT_GT(CountInk(page2Shot, blueA.x, blueA.y, blueB.x, blueB.y, 0xFF0000, kPaper, 0.45),
              150 * s.scale);
    EXPECT_EQ(band(page2Shot, 3, kPresets[3].colour), 0);
    EXPECT_GT(band(device.Picture("page1-again"), 3, kPresets[3].colour), 20 * s.scale);
    // Zoomed in by a step of 25 %: the title line moves from 80 to 100 page pixels down.
    const auto titleLine = [&](const TestPicture& p, int pageY) {
        const int y = s.PageToScreen(0, pageY).y;
        return CountNear(p, 0, y - 1, s.width, y + 2, kTitleLine, 40);
    };
    EXPECT_GT(titleLine(page1Shot, 80), s.width / 2);
    const TestPicture zoomed = device.Picture("zoomed");
    EXPECT_GT(titleLine(zoomed, 100), s.width / 2);
    EXPECT_LT(titleLine(zoomed, 80), s.width / 8);

    // The list: a row in the memo's paper colour with its date, then a preview with ink.
    const TestPicture rows = device.Picture("rows");
    const Pt r = s.firstRow;
    EXPECT_GT(CountNear(rows, 8, r.y - 8, s.width - 8, r.y + 8, kPaper, 0), s.width * 8);
    EXPECT_GT(CountNear(rows, 8, r.y - 8, s.width - 8, r.y + 8, 0, 90), 30) << "the date";
    const TestPicture grid = device.Picture("grid");
    const Pt c = s.firstCell;
    const int half = 35 * s.scale;
    EXPECT_GT(CountNear(grid, c.x - half, c.y - half, c.x + half, c.y + half, kPaper, 0),
              half * half);
    EXPECT_GT(CountInk(grid, c.x - half, c.y - half, c.x + half, c.y + half, kPresets[4].colour,
                       kPaper, 0.65),
              4 * s.scale)
        << "the magenta stroke in the preview";
}

INSTANTIATE_TEST_SUITE_P(Screens, MemoRound, ::testing::ValuesIn(kScreens),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace acceptance
