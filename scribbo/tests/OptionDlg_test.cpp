// The paper and program option dialogs: the opacity spin's limits, the page size menus, the
// picture probe on OK, colours chosen through the menus, and the password flow.
#include "scribbo/GColorButton.h"
#include "scribbo/GGlobalOptionDlg.h"
#include "scribbo/GPadDrawMan.h"
#include "scribbo/GPadOptionDlg.h"
#include "scribbo/LanguageText.h"
#include "scribbo/PageSizeMenu.h"
#include "scribbo/Palette.h"
#include "scribbo/Settings.h"

#include "dialog_script_support.h"
#include "dialog_test_support.h"
#include "scribbo_test_support.h"
#include "toolbar_test_support.h"

#include "picta/GImage.h"
#include "scribbo/App.h"
#include "winza/GFontManager.h"

#include <platform/entry.h>
#include <platform/module.h>

#include <filesystem>
#include <string>

namespace {

class OptionDlgTest : public DialogScriptTest {
protected:
    void SetUp() override {
        DialogScriptTest::SetUp();
        ASSERT_EQ(LoadLanguageFile(), 1);
        ASSERT_EQ(LoadPaletteColors(plat::ThisModule()), 1);
        AppFonts()->RemoveAllFont();
        InitDefaultSettings();
    }
    void TearDown() override {
        DialogScriptTest::TearDown();
        FreeLanguageTexts();
        AppFonts()->RemoveAllFont();
        apptest::RestoreDefaultScreen();
    }
    // A click of a dialog control, as the button itself reports it.
    static LRESULT Click(GDialog& dlg, int id, int code = eVBCodeClick) {
        return dlg.WndProc(nullptr, WM_COMMAND, MAKEWPARAM(id, code),
                           reinterpret_cast<LPARAM>(dlg.FindVButton(id)));
    }
    // Screen centre of a control once the dialog is laid out.
    static std::string TapOn(GDialog& dlg, int id) {
        dlg.RecalcDialog(nullptr);
        const RECT rc = dlg.FindVButton(id)->GetRect();
        const RECT at = dlg.GetDialogRect();
        return "tap " + std::to_string(at.left + (rc.left + rc.right) / 2) + " " +
               std::to_string(at.top + (rc.top + rc.bottom) / 2) + "\n";
    }
    // A 2 x 1 24-bit BMP, built byte by byte.
    static std::string SmallBmp() {
        apptest::Bytes b{'B', 'M'};
        apptest::Put32(b, 62);
        apptest::Put32(b, 0);
        apptest::Put32(b, 54);
        apptest::Put32(b, 40);
        apptest::Put32(b, 2);
        apptest::Put32(b, 1);
        apptest::Put32(b, 1 | (24 << 16));
        for (int i = 0; i < 6; ++i)
            apptest::Put32(b, 0);
        for (int i = 0; i < 8; ++i)
            b.push_back(BYTE(0x40 * (i % 3)));
        return std::string(b.begin(), b.end());
    }
    Watchdog watchdog;
};

TEST_F(OptionDlgTest, TheOpacitySpinStepsBy16AndStopsAt255And16) {
    struct Case {
        BYTE start;
        int up, presses;
        int expect;
    };
    const Case cases[] = {{128, 1, 7, 240}, {128, 1, 8, 255}, {128, 1, 30, 255},
                          {128, 0, 7, 16},  {128, 0, 30, 16}, {255, 0, 1, 239}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.start) << (c.up ? " up " : " down ") << c.presses);
        g_Settings.DefaultTemplate.BackImageAlpha = c.start;
        GPadOptionDlg dlg(nullptr);
        for (int i = 0; i < c.presses; ++i)
            Click(dlg, kPadOptAlpha, c.up ? eVBCodeSpinFirst : eVBCodeSpinSecond);
        EXPECT_EQ(dlg.GetTemplate().BackImageAlpha, c.expect);
    }
}

TEST_F(OptionDlgTest, ThePageSizeMenusMarkTheEntryOfTheSize) {
    struct Case {
        int width, height, pad, global;
    };
    const Case cases[] = {{240, 320, 0, 4},   {640, 480, 1, 0}, {800, 600, 2, 1},
                          {1280, 1024, 4, 3}, {700, 500, 5, 4}, {320, 240, 5, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        EXPECT_EQ(PadPageSizeIndex(c.width, c.height), c.pad);
        EXPECT_EQ(GlobalPageSizeIndex(c.width, c.height), c.global);
    }
}

TEST_F(OptionDlgTest, ReturnInThePageSizeMenuTakesTheCurrentEntry) {
    struct Case {
        int width, height;
        const char* keys;
        int expectW, expectH;
        int label;
    };
    // The screen is 240 x 320; any size not listed opens on the "other" entry.
    const Case cases[] = {{240, 320, "key RETURN\n", 240, 320, 64},
                          {800, 600, "key DOWN\nkey RETURN\n", 1024, 768, -1},
                          {700, 500, "key RETURN\n", 640, 480, 60}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        g_Settings.DefaultTemplate.PageWidth = WORD(c.width);
        g_Settings.DefaultTemplate.PageHeight = WORD(c.height);
        GPadOptionDlg dlg(nullptr);
        Script(TapOn(dlg, kPadOptPageSize) + c.keys + TapOn(dlg, 1));
        ASSERT_EQ(dlg.DoModal(nullptr, 0), 1);
        EXPECT_EQ(dlg.GetTemplate().PageWidth, c.expectW);
        EXPECT_EQ(dlg.GetTemplate().PageHeight, c.expectH);
        const std::u16string label = dlg.FindVButton(kPadOptPageSize)->GetLabel();
        EXPECT_EQ(label, c.label >= 0 ? std::u16string(GetLangText(c.label)) : u"1024 X 768");
        EXPECT_FALSE(dlg.FindVButton(kPadOptPageSize)->GetFlag(eVBChecked));
    }
}

TEST_F(OptionDlgTest, OkWithoutAMemoProbesThePictureAndDropsOneThatCannotBeRead) {
    const std::string bmp = SmallBmp();
    struct Case {
        const char* name;
        std::string bytes;
        int shown;
    };
    const Case cases[] = {
        {"paper.bmp", bmp, 1}, {"broken.jpg", "not a picture at all", 0}, {"missing.bmp", "", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string devicePath = std::string("My Documents/") + c.name;
        if (!c.bytes.empty())
            MakeFile(devicePath, c.bytes);
        InitDefaultSettings();
        g_Settings.DefaultTemplate.Flags |= eTFPicture;
        const std::u16string path =
            u"\\My Documents\\" + std::u16string(c.name, c.name + strlen(c.name));
        wcscpy(g_Settings.DefaultBackImagePath, path.c_str());
        GPadOptionDlg dlg(nullptr);
        EXPECT_EQ(Click(dlg, 1), 1);
        const TemplateHeader& h = dlg.GetTemplate();
        EXPECT_EQ((h.Flags & eTFPicture) != 0, c.shown != 0);
        EXPECT_EQ(h.HasBackImage, c.shown);
        if (c.shown) {
            EXPECT_EQ(h.BackImageSize, bmp.size());
            EXPECT_EQ(h.BackImageFormat, DWORD(GImage::FormatFromPath(path.c_str())));
        }
        // The other bits stay as they were.
        EXPECT_EQ(h.Flags & ~DWORD(eTFPicture),
                  g_Settings.DefaultTemplate.Flags & ~DWORD(eTFPicture));
    }
}

TEST_F(OptionDlgTest, OkWithAMemoTakesAChangedHeaderAndRemovesAPictureSwitchedOff) {
    GPadDrawMan memo;
    memo.NewMemo();
    const std::string bmp = SmallBmp();
    MakeFile("My Documents/paper.bmp", bmp);
    ASSERT_EQ(memo.SetBackImage(u"\\My Documents\\paper.bmp"), 1);
    memo.SetHeaderChanged(0);
    const DWORD before = memo.GetTemplate()->Flags;
    ASSERT_TRUE(before & eTFTitleLine);
    {
        // Nothing touched: nothing changes.
        GPadOptionDlg dlg(&memo);
        EXPECT_EQ(Click(dlg, 1), 1);
        EXPECT_FALSE(memo.IsHeaderChanged());
        EXPECT_NE(memo.GetBackImage(), nullptr);
    }
    GPadOptionDlg dlg(&memo);
    Click(dlg, kPadOptTitleLine);
    Click(dlg, kPadOptPicture);
    // Switching the picture off takes its dependants along.
    EXPECT_FALSE(dlg.FindVButton(kPadOptAlpha)->GetFlag(eVBEnabled));
    EXPECT_FALSE(dlg.FindVButton(kPadOptTitleLineColor)->GetFlag(eVBEnabled));
    EXPECT_EQ(Click(dlg, 1), 1);
    EXPECT_TRUE(memo.IsHeaderChanged());
    EXPECT_EQ(memo.GetTemplate()->Flags, before & ~DWORD(eTFTitleLine | eTFPicture));
    EXPECT_EQ(memo.GetBackImage(), nullptr);
    EXPECT_EQ(memo.GetTemplate()->HasBackImage, 0);
}

TEST_F(OptionDlgTest, AGridCellChosenForThePaperColourClosesBothMenusAndIsStored) {
    // A colour of another palette column: no swatch of the paper column is current, and Up
    // from there lands on the entry that opens the grid, which opens on the value's cell.
    g_Settings.DefaultTemplate.BackColor = PaletteColors[1][5];
    GPadOptionDlg dlg(nullptr);
    Script(TapOn(dlg, kPadOptBackColor) + "key UP\nkey RIGHT\nkey DOWN\nkey RETURN\n" +
           TapOn(dlg, 1));
    ASSERT_EQ(dlg.DoModal(nullptr, 0), 1);
    EXPECT_EQ(dlg.GetTemplate().BackColor, PaletteColors[2][5]);
    auto* button = static_cast<GColorButton*>(dlg.FindVButton(kPadOptBackColor));
    EXPECT_EQ(button->GetColor(), PaletteColors[2][5]);
    EXPECT_FALSE(button->GetFlag(eVBChecked));
    EXPECT_EQ(::FindWindowW(u"GColorMenu", nullptr), nullptr);
    EXPECT_EQ(::FindWindowW(u"GCustomColorMenu", nullptr), nullptr);
}

TEST_F(OptionDlgTest, ThePasswordChangesOnlyThroughTheWholeFlowAndOk) {
    struct Case {
        const char* name;
        std::string steps; // after the tap on the password button
        int control;
        int ok;
        const char16_t* expect;
    };
    const std::string wait = "wait 3100\n";
    const Case cases[] = {
        {"changed", "type 5826\nkey RETURN\ntype 1234\nkey RETURN\ntype 1234\nkey RETURN\n" + wait,
         kGlobalOptChangePassword, 1, u"1234"},
        {"wrong current", "type 1111\nkey RETURN\n" + wait + "key ESCAPE\n",
         kGlobalOptChangePassword, 1, u"5826"},
        {"mismatch", "type 5826\nkey RETURN\ntype 1234\nkey RETURN\ntype 9999\nkey RETURN\n" + wait,
         kGlobalOptChangePassword, 1, u"5826"},
        {"cancelled at the new one", "type 5826\nkey RETURN\nkey ESCAPE\n",
         kGlobalOptChangePassword, 1, u"5826"},
        {"dialog cancelled",
         "type 5826\nkey RETURN\ntype 77\nkey RETURN\ntype 77\nkey RETURN\n" + wait,
         kGlobalOptChangePassword, 0, u"5826"},
        {"cleared", "type 5826\nkey RETURN\n", kGlobalOptClearPassword, 1, u""},
        {"clear refused", "type 0000\nkey RETURN\n" + wait + "key ESCAPE\n",
         kGlobalOptClearPassword, 1, u"5826"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        InitDefaultSettings();
        GGlobalOptionDlg dlg;
        Script(TapOn(dlg, c.control) + c.steps + TapOn(dlg, c.ok ? 1 : 2));
        EXPECT_EQ(dlg.DoModal(nullptr, 0), c.ok ? 1 : 2);
        EXPECT_EQ(std::u16string(g_Settings.AdminPassword), c.expect);
    }
}

TEST_F(OptionDlgTest, OkWritesTheWorkingCopiesBack) {
    g_Settings.ButtonSize = 16;
    g_Settings.TitleHeight = 40;
    GGlobalOptionDlg dlg;
    Click(dlg, kGlobalOptButton32);
    Click(dlg, kGlobalOptTitleHeight, eVBCodeSpinFirst);
    EXPECT_EQ(g_Settings.ButtonSize, 16u); // nothing before OK
    EXPECT_EQ(Click(dlg, 1), 1);
    EXPECT_EQ(g_Settings.ButtonSize, 32u);
    EXPECT_EQ(g_Settings.TitleHeight, 42u);
    EXPECT_FALSE(dlg.IsFoldersChanged());
}

TEST_F(OptionDlgTest, EverySettingsLabelHasRoomForItsText) {
    struct Probe : GGlobalOptionDlg {
        using GGlobalOptionDlg::m_hFont;
        using GGlobalOptionDlg::m_labels;
    };
    // English labels are the longest.
    plat::DeviceSetup setup{"", u"scribbo", {SCRIBBO_DATA_DIR}};
    setup.language = "en";
    std::string error;
    ASSERT_TRUE(plat::PrepareDevice(setup, &error)) << error;
    ASSERT_EQ(LoadLanguageFile(), 1);
    for (const auto& [w, h] : {std::pair{240, 320}, std::pair{480, 640}}) {
        FreeGlobalDC();
        plat::StartHeadless(w, h);
        ResetDisplayMode();
        AppFonts()->RemoveAllFont();
        Probe dlg;
        dlg.RecalcDialog(nullptr);
        HDC dc = ::GetDC(nullptr);
        const HGDIOBJ old = ::SelectObject(dc, dlg.m_hFont);
        int checked = 0;
        for (const auto& label : dlg.m_labels) {
            if (label.text.empty() || (label.format & DT_END_ELLIPSIS))
                continue;
            SIZE size{};
            ::GetTextExtentPoint32W(dc, label.text.c_str(), int(label.text.size()), &size);
            EXPECT_LE(size.cx, label.rect.right - label.rect.left)
                << w << " " << plat::ToUtf8(label.text);
            ++checked;
        }
        ::SelectObject(dc, old);
        ::ReleaseDC(nullptr, dc);
        EXPECT_GE(checked, 5);
        // The three button sizes take the room their label leaves, each wide enough for its
        // box and number.
        const RECT size16 = dlg.FindVButton(kGlobalOptButton16)->GetRect();
        EXPECT_GE(size16.right - size16.left, w / 6) << w;
    }
}

} // namespace
