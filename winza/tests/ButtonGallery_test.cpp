// Draws a tool bar and buttons in each of their states on both screen sizes and writes the
// screens as PNG files under the build's test output, to be looked at.
#include "winza/GFontManager.h"
#include "winza/GImageList.h"
#include "winza/GToolBar.h"
#include "winza/GVSpinButton.h"
#include "vbutton_test_support.h"

#include <platform/wingdi.h>

#include <filesystem>
#include <memory>
#include <string>

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);

std::string OutputDir() {
    const std::string dir = SCRIBBO_TEST_OUTPUT;
    std::filesystem::create_directories(dir);
    return dir;
}

// A frame picture of 4 x 2 cells: a tinted face with a darker edge and magenta corners.
void MakeFramePicture(GDib& dib) {
    const int s = ApplyHires(1);
    const int cw = 16 * s, ch = 16 * s;
    dib.Create(4 * cw, 2 * ch, 24);
    const COLORREF face[4] = {RGB(214, 226, 246), RGB(255, 226, 150), RGB(210, 210, 210),
                              RGB(190, 236, 200)};
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 4; ++col) {
            const int x = col * cw, y = row * ch;
            COLORREF c = face[col];
            if (row == 1)
                c = RGB(GetRValue(c) * 3 / 4, GetGValue(c) * 3 / 4, GetBValue(c) * 3 / 4);
            dib.FillRect(x, y, cw, ch, RGB(60, 80, 120));
            dib.FillRect(x + s, y + s, cw - 2 * s, ch - 2 * s, c);
            dib.FillRect(x, y, s, s, kMagenta);
            dib.FillRect(x + cw - s, y, s, s, kMagenta);
            dib.FillRect(x, y + ch - s, s, s, kMagenta);
            dib.FillRect(x + cw - s, y + ch - s, s, s, kMagenta);
        }
    dib.SetTransColor(kMagenta);
}

class ButtonGallery : public ToolkitTest, public ::testing::WithParamInterface<SIZE> {
protected:
    ButtonGallery() {
        screenW = GetParam().cx;
        screenH = GetParam().cy;
    }
    GVButton* Add(std::unique_ptr<GVButton> b) {
        host.buttons.push_back(b.get());
        owned.push_back(std::move(b));
        return owned.back().get();
    }
    // A labelled button at column col, row row of the gallery grid.
    GVButton* Labelled(int col, int row, LPCWSTR label, DWORD flags) {
        auto b = std::make_unique<GVButton>(100 + row * 2 + col);
        const int x = ApplyHires(8 + col * 116), y = ApplyHires(36 + row * 28);
        b->Create(RECT{x, y, x + ApplyHires(108), y + ApplyHires(24)}, 100 + row * 2 + col);
        b->SetLabel(label, DT_CENTER | DT_SINGLELINE, ApplyHires(4));
        b->SetFlag(1, eVBVisible | eVBEnabled, nullptr, 0);
        b->SetFlag(1, flags, nullptr, 0);
        return Add(std::move(b));
    }
    ButtonHost host;
    std::vector<std::unique_ptr<GVButton>> owned;
    GFontManager fonts;
};

TEST_P(ButtonGallery, ToolBarAndButtonStatesAreWrittenAsPng) {
    const int s = ApplyHires(1);
    ASSERT_EQ(IsHires(), screenW > 320 ? 1 : 0);
    MakeHost(host, RECT{0, 0, screenW, screenH});
    host.SetFont(fonts.GetFont(eFontNormal14));

    // The tool bar: the standard icons, a separator, a checked, a disabled and a pushed
    // button, and a drop-down.
    GToolBar bar;
    ASSERT_TRUE(bar.CreateBar(host, &host, RECT{0, 0, screenW, 26 * s}, eGBarHorizontal));
    GImageList* icons = GetGLibImageList();
    ASSERT_NE(icons, nullptr);
    ASSERT_EQ(bar.SetButtonImage(icons, 1), 1);
    for (int i = 0; i < 5; ++i)
        bar.AddButton(1 + i, i);
    bar.AddButton(kSeparatorId, -1);
    bar.AddButton(7, 3, 1, 1, 1);
    bar.AddButton(8, 4, 1, 0, 0);
    bar.AddButton(9, 7)->SetFlag(1, eVBPushed, nullptr, 0);
    bar.GetButton(9)->SetFlag(1, eVBRadio, nullptr, 0);
    bar.AddButton(10, 5)->SetFlag(1, eVBDropDown, nullptr, 0);
    bar.UpdateAllButton(1);

    Labelled(0, 0, u"Normal", 0);
    Labelled(1, 0, u"Hover", eVBHover);
    Labelled(0, 1, u"Focus", eVBFocus);
    Labelled(1, 1, u"Pushed", eVBPushed | eVBTracking);
    Labelled(0, 2, u"Checked", eVBChecked);
    Labelled(1, 2, u"Checked hover", eVBChecked | eVBHover);
    Labelled(0, 3, u"Disabled", 0)->SetFlag(0, eVBEnabled, nullptr, 0);
    Labelled(1, 3, u"Drop-down", eVBDropDown);
    Labelled(0, 4, u"Radio", eVBRadio)->SetAlignType(DT_LEFT | DT_SINGLELINE);
    Labelled(1, 4, u"Chosen", eVBRadio | eVBChecked)->SetAlignType(DT_LEFT | DT_SINGLELINE);
    Labelled(0, 5, u"Check box", eVBCheckBox)->SetAlignType(DT_LEFT | DT_SINGLELINE);
    Labelled(1, 5, u"Ticked", eVBCheckBox | eVBChecked)->SetAlignType(DT_LEFT | DT_SINGLELINE);
    GVButton* dimRadio = Labelled(0, 6, u"Radio off", eVBRadio | eVBChecked);
    dimRadio->SetAlignType(DT_LEFT | DT_SINGLELINE);
    dimRadio->SetFlag(0, eVBEnabled, nullptr, 0);
    GVButton* iconLabel = Labelled(1, 6, u"With icon", 0);
    iconLabel->SetIconDefault(icons);
    iconLabel->SetImageIndex(1);
    iconLabel->SetAlignType(DT_LEFT | DT_SINGLELINE);

    // Frame-picture buttons: normal, focus, hover, pushed, disabled.
    GDib frame;
    MakeFramePicture(frame);
    const LPCWSTR frameLabels[5] = {u"Pic", u"Focus", u"Hover", u"Push", u"Off"};
    const DWORD frameFlags[5] = {0, eVBFocus, eVBHover, eVBPushed, 0};
    for (int i = 0; i < 5; ++i) {
        auto b = std::make_unique<GVButton>(200 + i);
        const int x = ApplyHires(8 + i * 46), y = ApplyHires(36 + 7 * 28);
        b->Create(RECT{x, y, x + ApplyHires(42), y + ApplyHires(24)}, 200 + i);
        b->SetLabel(frameLabels[i], DT_CENTER | DT_SINGLELINE, 0);
        b->SetFrameImage(&frame);
        b->SetFlag(1, eVBVisible | (i == 4 ? 0u : static_cast<DWORD>(eVBEnabled)) | frameFlags[i],
                   nullptr, 0);
        Add(std::move(b));
    }

    // Spin buttons: vertical idle and with its upper half held, horizontal with its right
    // half held, and a disabled one.
    auto spin = [&](int x, int y, int w, int h, int type, int pressAt, int enabled) {
        auto b = std::make_unique<GVSpinButton>(300 + x);
        b->SetSpinType(type);
        b->Create(RECT{ApplyHires(x), ApplyHires(y), ApplyHires(x + w), ApplyHires(y + h)},
                  300 + x);
        b->SetFlag(1, eVBVisible | eVBEnabled, nullptr, 0);
        GVSpinButton* raw = b.get();
        Add(std::move(b));
        if (pressAt >= 0) {
            const RECT half = pressAt == 0 ? raw->GetFirstRect() : raw->GetSecondRect();
            raw->OnLbuttonDown(nullptr, nullptr,
                               POINT{(half.left + half.right) / 2, (half.top + half.bottom) / 2});
        }
        if (!enabled)
            raw->SetFlag(0, eVBEnabled, nullptr, 0);
    };
    spin(8, 266, 16, 30, eSpinVertical, -1, 1);
    spin(32, 266, 16, 30, eSpinVertical, 0, 1);
    spin(56, 272, 40, 16, eSpinHorizontal, 1, 1);
    spin(104, 272, 40, 16, eSpinHorizontal, -1, 0);

    host.Invalidate(0);
    bar.Invalidate(0);
    Pump();

    // The icons landed: the OK tick of cell 3 is on the fourth tool bar button.
    const RECT ok = bar.GetButton(4)->GetRect();
    int green = 0;
    for (int y = ok.top; y < ok.bottom; ++y)
        for (int x = ok.left; x < ok.right; ++x)
            green += ScreenPixel(x, y) == RGB(32, 152, 48);
    EXPECT_GT(green, 10 * s * s);

    // Nothing is cut: the tool bar's last button ends inside the bar, and every label fits
    // the area its button gives it.
    EXPECT_LE(bar.GetButton(10)->GetRect().right, screenW);
    HDC dc = host.GetDC();
    HGDIOBJ oldFont = ::SelectObject(dc, fonts.GetFont(eFontNormal14));
    for (GVButton* b : host.buttons) {
        if (!b->GetLabel())
            continue;
        const RECT area = b->GetTextRect(dc);
        RECT need{0, 0, 100000, 100000};
        ::DrawTextW(dc, b->GetLabel(), -1, &need, DT_SINGLELINE | DT_CALCRECT);
        EXPECT_LE(need.right - need.left, area.right - area.left) << "label cut";
        EXPECT_LE(need.bottom - need.top, b->GetRect().bottom - b->GetRect().top);
    }
    ::SelectObject(dc, oldFont);

    const std::string name = std::to_string(screenW) + "x" + std::to_string(screenH);
    const std::string path = OutputDir() + "/buttons_" + name + ".png";
    HDC screen = ::GetDC(nullptr);
    EXPECT_TRUE(plat::SaveSurfacePng(screen, path));
    ::ReleaseDC(nullptr, screen);
    EXPECT_TRUE(std::filesystem::exists(path));
    host.SetFont(nullptr);
}

INSTANTIATE_TEST_SUITE_P(Screens, ButtonGallery, ::testing::Values(SIZE{240, 320}, SIZE{480, 640}),
                         [](const ::testing::TestParamInfo<SIZE>& info) {
                             return std::to_string(info.param.cx) + "x" +
                                    std::to_string(info.param.cy);
                         });

} // namespace
