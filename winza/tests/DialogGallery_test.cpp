// Message boxes of every button set, and a dialog with radio buttons, a check box, OK and
// Cancel, on both screen sizes, written as PNG screens under the build's test output.
#include "dialog_test_support.h"

#include "winza/GFontManager.h"
#include "winza/GVButton.h"

#include <platform/wingdi.h>

#include <filesystem>
#include <string>

namespace {

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

class DialogGallery : public ToolkitTest, public ::testing::WithParamInterface<SIZE> {
protected:
    DialogGallery() {
        screenW = GetParam().cx;
        screenH = GetParam().cy;
    }
    void SetUp() override {
        ToolkitTest::SetUp();
        SetGlobalFontDef(fonts.GetFont(eFontNormal14));
        SetGlobalFontBold(fonts.GetFont(eFontBold14));
        Desk();
    }
    // A grey desk for the boxes to stand on; no window owns it, so it is painted afresh
    // before each box.
    void Desk() {
        HDC dc = ::GetDC(nullptr);
        FillSolidRect(dc, 0, 0, screenW, screenH, RGB(96, 112, 128));
        ::ReleaseDC(nullptr, dc);
    }
    void TearDown() override {
        SetGlobalFontDef(nullptr);
        SetGlobalFontBold(nullptr);
        ToolkitTest::TearDown();
    }
    std::string Size() const { return std::to_string(screenW) + "x" + std::to_string(screenH); }
    GFontManager fonts;
    Watchdog watchdog;
};

TEST_P(DialogGallery, MessageBoxOfEachButtonSet) {
    const LPCWSTR messages[6] = {u"메모를 저장했습니다.",     u"Save the memo\nbefore closing?",
                                 u"The card cannot be read.", u"변경 내용을 저장할까요?",
                                 u"Delete this page?",        u"The file is in use."};
    for (int set = 0; set < 6; ++set) {
        SCOPED_TRACE(set);
        Desk();
        TestMessageBox box;
        const std::string path = ShotPath("msgbox_set" + std::to_string(set) + "_" + Size());
        bool saved = false;
        RECT at{};
        box.onStart = [&] {
            at = box.GetDialogRect();
            saved = SaveScreen(path);
            box.Key(VK_ESCAPE);
        };
        EXPECT_EQ(box.PopupWindow(nullptr, messages[set], u"Scribbo", set, nullptr, nullptr, 0, 0),
                  2);
        EXPECT_TRUE(saved);
        // Every label fits its button, and the box lies on the screen.
        EXPECT_GE(at.left, 0);
        EXPECT_LE(at.right, screenW);
        for (int i = 0; i < box.GetButtonCount(); ++i) {
            EXPECT_GE(box.GetButtonAt(i)->GetRect().left, 0);
            EXPECT_LE(box.GetButtonAt(i)->GetRect().right, at.right - at.left);
        }
        HDC dc = ::GetDC(nullptr);
        HGDIOBJ old = ::SelectObject(dc, fonts.GetFont(eFontNormal14));
        for (int i = 0; i < box.GetButtonCount(); ++i) {
            GVButton* b = box.GetButtonAt(i);
            RECT need{0, 0, 100000, 100000};
            ::DrawTextW(dc, b->GetLabel(), -1, &need, DT_SINGLELINE | DT_CALCRECT);
            const RECT area = b->GetTextRect(dc);
            EXPECT_LE(need.right - need.left, area.right - area.left);
        }
        ::SelectObject(dc, old);
        ::ReleaseDC(nullptr, dc);
    }
}

TEST_P(DialogGallery, DialogWithRadiosCheckBoxAndButtons) {
    plat::CreateTaskbar();
    TestDialog d;
    d.SetTitle(1, u"Pen options", ApplyHires(26));
    const int s = ApplyHires(1);
    const LPCWSTR radios[3] = {u"Fine pen", u"Pencil", u"Marker"};
    for (int i = 0; i < 3; ++i) {
        GVButton* b = d.AddVButton(10 + i, -1, 0);
        b->Create(RECT{12 * s, (40 + 26 * i) * s, 200 * s, (64 + 26 * i) * s}, 10 + i);
        b->SetFlag(1, eVBVisible | eVBEnabled | eVBRadio, nullptr, 0);
        b->SetLabel(radios[i], DT_LEFT | DT_SINGLELINE, 4 * s);
    }
    GVButton* box = d.AddVButton(20, -1, 0);
    box->Create(RECT{12 * s, 124 * s, 200 * s, 148 * s}, 20);
    box->SetFlag(1, eVBVisible | eVBEnabled | eVBCheckBox | eVBChecked, nullptr, 0);
    box->SetLabel(u"Smooth the strokes", DT_LEFT | DT_SINGLELINE, 4 * s);
    GVButton* ok = d.AddVButton(1, -1, 0);
    ok->Create(RECT{40 * s, 200 * s, 110 * s, 228 * s}, 1);
    ok->SetFlag(1, eVBVisible | eVBEnabled, nullptr, 0);
    ok->SetLabel(GetGLibText(1), DT_CENTER | DT_SINGLELINE, 4 * s);
    GVButton* cancel = d.AddVButton(2, -1, 0);
    cancel->Create(RECT{130 * s, 200 * s, 200 * s, 228 * s}, 2);
    cancel->SetFlag(1, eVBVisible | eVBEnabled, nullptr, 0);
    cancel->SetLabel(GetGLibText(2), DT_CENTER | DT_SINGLELINE, 4 * s);
    d.SetRadioSelect(11, 0);
    d.SetFocusIndex(4, 0);
    bool saved = false;
    d.onStart = [&] {
        d.Invalidate(0);
        saved = SaveScreen(ShotPath("dialog_" + Size()));
        d.Key(VK_ESCAPE);
    };
    EXPECT_EQ(d.DoModal(nullptr, 0), 2);
    EXPECT_TRUE(saved);
}

INSTANTIATE_TEST_SUITE_P(Screens, DialogGallery, ::testing::Values(SIZE{240, 320}, SIZE{480, 640}),
                         [](const ::testing::TestParamInfo<SIZE>& info) {
                             return std::to_string(info.param.cx) + "x" +
                                    std::to_string(info.param.cy);
                         });

} // namespace
