// The application's tool bars and its message box on both screen sizes, written as PNG
// screens under the build's test output and checked for what they must show.
#include "scribbo/GCustomMessageBox.h"
#include "scribbo/GToolBarEx.h"

#include "dialog_test_support.h"
#include "fundo/FixedPoint.h"
#include "inkra/GDObject.h"
#include "winza/GFontManager.h"
#include "winza/GLib.h"
#include "toolbar_test_support.h"

#include <platform/wingdi.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using apptest::CellColour;

std::string ShotPath(const std::string& name) {
    const std::string dir = SCRIBBO_TEST_OUTPUT;
    std::filesystem::create_directories(dir);
    return dir + "/" + name + ".png";
}

bool SaveScreen(const std::string& path) {
    HDC screen = ::GetDC(nullptr);
    const bool ok = plat::SaveSurfacePng(screen, path);
    ::ReleaseDC(nullptr, screen);
    return ok;
}

bool Near(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

class AppBarGallery : public ToolkitTest, public ::testing::WithParamInterface<SIZE> {
protected:
    AppBarGallery() {
        screenW = GetParam().cx;
        screenH = GetParam().cy;
    }
    void SetUp() override {
        ToolkitTest::SetUp();
        // The application's fonts are made for the screen they first meet.
        AppFonts()->RemoveAllFont();
    }
    void TearDown() override {
        plat::UnloadInputScript();
        ToolkitTest::TearDown();
        AppFonts()->RemoveAllFont();
        apptest::RestoreDefaultScreen();
    }
    std::string Size() const { return std::to_string(screenW) + "x" + std::to_string(screenH); }
    // Centre of the picture of a plain item (centred in its button) on the screen.
    static POINT IconCentre(const GToolBarEx& bar, const GVButton* b, int barTop) {
        const RECT rc = b->GetRect();
        const int cell = bar.GetButtonImage()->GetItemWidth();
        const int offset =
            std::min((rc.right - rc.left - cell) / 2, (rc.bottom - rc.top - cell) / 2);
        return POINT{rc.left + offset + cell / 2, barTop + rc.top + offset + cell / 2};
    }
    Watchdog watchdog;
};

TEST_P(AppBarGallery, ToolBars) {
    const int s = ApplyHires(1);
    const int cell = 16 * s;
    const int barH = 26 * s;
    GImageList images;
    ASSERT_TRUE(apptest::MakeToolbarImages(images, cell));
    apptest::BarRecorder view(u"GalleryView");
    ASSERT_TRUE(view.Create(nullptr, u"view", WS_POPUP | WS_VISIBLE, 0, 0, screenW, screenH));

    // The main window's bar: navigation by date, preview view, options; exit in the corner.
    GToolBarEx mainBar;
    const int mainTop = screenH - barH;
    ASSERT_TRUE(
        mainBar.CreateBar(view, &view, RECT{0, mainTop, screenW, screenH}, eGBarHorizontal));
    mainBar.SetButtonImage(&images, 0);
    ASSERT_TRUE(mainBar.SetButtonSize(cell + 7 * s, cell + 6 * s, 1));
    for (int id : {1000, 1001, 1002, 1003, 1004, 1006})
        mainBar.AddItem(nullptr, id, 0, id != 1002 && id != 1004);
    mainBar.SetCornerButton(1007);
    mainBar.LayoutItems(1);

    // The pad's pen bar, its presets shown, the red pen chosen.
    GToolBarEx penBar;
    const int penTop = mainTop - barH - 8 * s;
    ASSERT_TRUE(
        penBar.CreateBar(view, &view, RECT{0, penTop, screenW, penTop + barH}, eGBarHorizontal));
    penBar.SetButtonImage(&images, 0);
    ASSERT_TRUE(penBar.SetButtonSize(cell + 7 * s, cell + 6 * s, 1));
    GToolButton* group = penBar.AddItem(nullptr, 1040, 0, 1);
    const POSITION at = group->GetPosition();
    struct Preset {
        int id, kind;
        COLORREF colour;
        double width;
        int alpha;
    };
    const Preset presets[] = {
        {1050, eDOPen, 0x000000, 0.5, 255},       {1050, eDOPen, 0x0000FF, 1.0, 255},
        {1050, eDOPen, 0xFF0000, 1.5, 255},       {1054, eDOPencel, 0x333333, 1.0, 153},
        {1051, eDOMarker, 0x00FFFF, 6.0, 96},     {1052, eDOEraser, 0xFFFFFF, 8.0, 255},
        {1053, eDODelStroke, 0x000000, 0.1, 255},
    };
    std::vector<GToolButton*> items;
    for (const Preset& p : presets)
        items.push_back(penBar.AddToolItem(at, p.id, 0, 1, p.kind, p.colour,
                                           static_cast<LONG>(p.width * FIXED_ONE), p.alpha));
    penBar.SetCornerButton(1019);
    penBar.ShowLevel(at);
    penBar.SetSelectedItem(items[1], 1);
    ::UpdateWindow(view);

    EXPECT_TRUE(SaveScreen(ShotPath("toolbarex_" + Size())));

    // Each shown item's picture is the image of its command, drawn at its place.
    for (int id : {1000, 1001, 1003, 1006, 1007}) {
        SCOPED_TRACE(id);
        const POINT c = IconCentre(mainBar, mainBar.GetButton(id), mainTop);
        EXPECT_EQ(ScreenPixel(c.x, c.y), CellColour(id - 1000));
    }
    // The hidden ones left no gap: 1003 follows 1001.
    EXPECT_EQ(mainBar.GetButton(1003)->GetRect().left,
              mainBar.GetButton(1001)->GetRect().right + 2);
    // The corner button ends the bar, right of everything else.
    const RECT corner = mainBar.GetButton(1007)->GetRect();
    EXPECT_EQ(corner.right, screenW - 2);
    EXPECT_GT(corner.left, mainBar.GetButton(1006)->GetRect().right);
    const RECT penCorner = penBar.GetCornerButton()->GetRect();
    EXPECT_EQ(penCorner.right, screenW - 2);
    EXPECT_GT(penCorner.left, items.back()->GetRect().right);

    // Presets: the pen picture at the top, the stroke sample in the preset's colour below it.
    for (size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(i);
        const RECT rc = items[i]->GetRect();
        const int mid = (rc.left + rc.right) / 2;
        EXPECT_EQ(ScreenPixel(mid, penTop + rc.top + s + cell / 2),
                  CellColour(presets[i].id - 1000));
        const COLORREF face = GetGLibColor(3);
        const int a = presets[i].alpha;
        auto mix = [a](int top, int under) { return (top * a + under * (255 - a)) / 255; };
        const COLORREF c = presets[i].colour;
        const COLORREF sample =
            RGB(mix(GetRValue(c), GetRValue(face)), mix(GetGValue(c), GetGValue(face)),
                mix(GetBValue(c), GetBValue(face)));
        EXPECT_EQ(ScreenPixel(mid, penTop + rc.bottom - 2 * s - 1), sample);
    }
    // Thicker pens show thicker samples.
    auto sampleHeight = [&](const GToolButton* b) {
        const RECT rc = b->GetRect();
        const int mid = (rc.left + rc.right) / 2;
        const COLORREF ink = ScreenPixel(mid, penTop + rc.bottom - 2 * s - 1);
        int h = 0;
        while (h < rc.bottom - rc.top &&
               ScreenPixel(mid, penTop + rc.bottom - 2 * s - 1 - h) == ink)
            ++h;
        return h;
    };
    EXPECT_EQ(sampleHeight(items[0]), 1 * s);
    EXPECT_EQ(sampleHeight(items[2]), 3 * s);
    // The chosen preset has the checked frame; its neighbours the bar's face.
    const RECT chosen = items[1]->GetRect();
    const RECT other = items[0]->GetRect();
    EXPECT_EQ(ScreenPixel(chosen.left, penTop + chosen.top + 2 * s), GetGLibColor(17));
    EXPECT_EQ(ScreenPixel(other.left, penTop + other.top + 2 * s), GetGLibColor(3));
}

TEST_P(AppBarGallery, MessageBox) {
    // A striped desk for the translucent box to stand on.
    const COLORREF stripes[2] = {RGB(40, 90, 160), RGB(200, 120, 40)};
    HDC dc = ::GetDC(nullptr);
    for (int x = 0; x < screenW; x += 8)
        FillSolidRect(dc, x, 0, 8, screenH, stripes[(x / 8) % 2]);
    ::ReleaseDC(nullptr, dc);
    const int s = ApplyHires(1);
    // The box is drawn at 224 over the desk.
    auto over = [](COLORREF top, COLORREF under) {
        auto mix = [](int t, int u) { return (t * 224 + u * 31) / 255; };
        return RGB(mix(GetRValue(top), GetRValue(under)), mix(GetGValue(top), GetGValue(under)),
                   mix(GetBValue(top), GetBValue(under)));
    };
    auto deskAt = [&](int x) { return stripes[(x / 8) % 2]; };
    Scripted<GCustomMessageBox> box;
    RECT at{};
    int inkInMessage = 0;
    box.onStart = [&] {
        at = box.GetDialogRect();
        EXPECT_TRUE(SaveScreen(ShotPath("appmessagebox_" + Size())));
        // Centred on the screen.
        EXPECT_LE(std::abs((at.left + at.right) / 2 - screenW / 2), 1);
        EXPECT_LE(std::abs((at.top + at.bottom) / 2 - screenH / 2), 1);
        // The stripes show a little through the white body and the blue title strip.
        const int bx = at.left + 3 * s;
        const int by = at.top + box.GetTitleHeight() + 3 * s;
        EXPECT_TRUE(Near(ScreenPixel(bx, by), over(RGB(255, 255, 255), deskAt(bx)), 2));
        EXPECT_TRUE(Near(ScreenPixel(bx, at.top + 2 * s), over(0x993333, deskAt(bx)), 2));
        // Outside the box the desk is untouched.
        EXPECT_EQ(ScreenPixel(at.left - 1, at.top - 1), deskAt(at.left - 1));
        // The message is written in dark ink inside its rectangle.
        const RECT m = box.GetMessageRect();
        for (int y = at.top + m.top; y < at.top + m.bottom; ++y)
            for (int x = at.left + m.left; x < at.left + m.right; ++x)
                inkInMessage += GetRValue(ScreenPixel(x, y)) < 100;
        // Two buttons, OK first.
        ASSERT_EQ(box.GetButtonCount(), 2);
        EXPECT_EQ(box.GetButtonAt(0)->GetID(), 1);
        EXPECT_EQ(box.GetButtonAt(1)->GetID(), 2);
        box.Key(VK_RETURN);
    };
    EXPECT_EQ(box.DoMessageBox(nullptr, u"선택한 메모를 삭제할까요?\nDelete the marked memos?",
                               u"확인", 1, -1, 0, 224, 0),
              1);
    EXPECT_GT(inkInMessage, 40 * s * s);
}

INSTANTIATE_TEST_SUITE_P(Sizes, AppBarGallery, ::testing::Values(SIZE{240, 320}, SIZE{480, 640}),
                         [](const ::testing::TestParamInfo<SIZE>& info) {
                             return std::to_string(info.param.cx) + "x" +
                                    std::to_string(info.param.cy);
                         });

} // namespace
