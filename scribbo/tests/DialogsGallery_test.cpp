// The option dialogs, their menus, the about box and the picture chooser with its preview on
// both screen sizes, written as PNG screens under the build's test output. Each screen is taken
// while the dialog (or menu) runs, from a timer the script's wait lets fire, and checked for
// what it must show.
#include "scribbo/GAboutDlg.h"
#include "scribbo/GGlobalOptionDlg.h"
#include "scribbo/GImageFileDlg.h"
#include "scribbo/GPadOptionDlg.h"
#include "scribbo/LanguageText.h"
#include "scribbo/Palette.h"
#include "scribbo/Settings.h"

#include "dialog_script_support.h"
#include "dialog_test_support.h"
#include "scribbo_test_support.h"
#include "toolbar_test_support.h"

#include "picta/GImage.h"
#include "scribbo/App.h"
#include "winza/GFontManager.h"

#include <platform/module.h>
#include <platform/wingdi.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <utility>

namespace {

std::function<void()> g_atTimer;

void CALLBACK TimerProc(HWND hwnd, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(hwnd, id);
    if (g_atTimer)
        g_atTimer();
}

// Some pixel of the rectangle (screen coordinates) is dark: text or an arrow was drawn there.
bool HasInk(RECT rc) {
    HDC dc = ::GetDC(nullptr);
    bool found = false;
    for (int y = rc.top; y < rc.bottom && !found; ++y)
        for (int x = rc.left; x < rc.right && !found; ++x) {
            const COLORREF c = ::GetPixel(dc, x, y);
            found = GetRValue(c) + GetGValue(c) + GetBValue(c) < 200;
        }
    ::ReleaseDC(nullptr, dc);
    return found;
}

bool Near(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// A dialog that runs a hook once, after its first paint.
template <class D> class Painted : public D {
public:
    using D::D;
    std::function<void()> onPainted;
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        const LRESULT r = D::WndProc(hwnd, msg, wParam, lParam);
        if (msg == WM_PAINT && onPainted)
            std::exchange(onPainted, nullptr)();
        return r;
    }
};

// The picture chooser with a hook that runs once its loop has started and laid it out.
class StartedImageDlg : public GImageFileDlg {
public:
    using GImageFileDlg::GImageFileDlg;
    std::function<void()> onStart;
    void RecalcControl() override {
        GImageFileDlg::RecalcControl();
        ::PostMessageW(m_hWnd, kMsgScriptStart, 0, 0);
    }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == kMsgScriptStart) {
            if (onStart)
                std::exchange(onStart, nullptr)();
            return 0;
        }
        return GImageFileDlg::WndProc(hwnd, msg, wParam, lParam);
    }
};

class DialogsGallery : public DialogScriptTest, public ::testing::WithParamInterface<SIZE> {
protected:
    void SetUp() override {
        DialogScriptTest::SetUp();
        FreeGlobalDC();
        plat::StartHeadless(GetParam().cx, GetParam().cy);
        ResetDisplayMode();
        // The toolkit's icons and sizes follow the screen they are made for.
        FreeGLibControl();
        InitGLibControl();
        ASSERT_EQ(LoadLanguageFile(), 1);
        ASSERT_EQ(LoadPaletteColors(plat::ThisModule()), 1);
        AppFonts()->RemoveAllFont();
        SetGlobalFontDef(AppFonts()->GetFont(eFontNormal14));
        SetGlobalFontBold(AppFonts()->GetFont(eFontBold14));
        InitDefaultSettings();
    }
    void TearDown() override {
        g_atTimer = nullptr;
        DialogScriptTest::TearDown();
        FreeLanguageTexts();
        SetGlobalFontDef(nullptr);
        SetGlobalFontBold(nullptr);
        AppFonts()->RemoveAllFont();
        apptest::RestoreDefaultScreen();
    }
    // Runs check (and writes the screen) 10 ms into the script, once its first steps ran.
    void AtTimer(const std::string& name, std::function<void()> check, HWND owner = nullptr) {
        Shot(name, std::move(check));
        // A menu's loop dispatches a thread timer; a dialog's loop only its own windows'.
        ::SetTimer(owner, 77, 10, TimerProc);
    }
    // Checks the screen and writes it when the dialog has painted itself, then closes it.
    template <class D>
    void AtPaint(Painted<D>& dlg, const std::string& name, std::function<void()> check) {
        Shot(name, std::move(check));
        dlg.onPainted = [] {
            g_atTimer();
            plat::InputKey(VK_ESCAPE, true);
            plat::InputKey(VK_ESCAPE, false);
        };
    }
    void Shot(const std::string& name, std::function<void()> check) {
        ran = false;
        const std::string dir = SCRIBBO_TEST_OUTPUT;
        std::filesystem::create_directories(dir);
        const std::string path = dir + "/" + name + "_" + std::to_string(GetParam().cx) + ".png";
        g_atTimer = [this, path, check] {
            if (check)
                check();
            HDC screen = ::GetDC(nullptr);
            EXPECT_TRUE(plat::SaveSurfacePng(screen, path));
            ::ReleaseDC(nullptr, screen);
            ran = true;
        };
    }
    static RECT OnScreen(GDialog& dlg, int id) {
        RECT rc = dlg.FindVButton(id)->GetRect();
        const RECT at = dlg.GetDialogRect();
        ::OffsetRect(&rc, at.left, at.top);
        return rc;
    }
    static std::string TapOn(GDialog& dlg, int id) {
        dlg.RecalcDialog(nullptr);
        const RECT rc = OnScreen(dlg, id);
        return "tap " + std::to_string((rc.left + rc.right) / 2) + " " +
               std::to_string((rc.top + rc.bottom) / 2) + "\n";
    }
    bool ran = false;
    Watchdog watchdog;
};

TEST_P(DialogsGallery, PaperOptions) {
    g_Settings.DefaultTemplate.BackColor = PaletteColors[2][0];
    g_Settings.DefaultTemplate.HorLineColor = PaletteColors[5][2];
    Painted<GPadOptionDlg> dlg(nullptr);
    AtPaint(dlg, "pad_options", [&] {
        // Each colour button shows its colour; every visible control has its label or arrow.
        for (auto [id, colour] : {std::pair{kPadOptBackColor, PaletteColors[2][0]},
                                  std::pair{kPadOptLinesColor, PaletteColors[5][2]}}) {
            const RECT rc = OnScreen(dlg, id);
            EXPECT_EQ(ScreenPixel(rc.left + ApplyHires(8), (rc.top + rc.bottom) / 2), colour);
        }
        for (int id :
             std::initializer_list<int>{kPadOptPageSize, kPadOptPicture, kPadOptTitleLine, 1, 2})
            EXPECT_TRUE(HasInk(OnScreen(dlg, id))) << id;
        // With the picture switched off, its opacity row is greyed, labels included.
        const RECT spin = OnScreen(dlg, kPadOptAlpha);
        EXPECT_FALSE(HasInk(RECT{ApplyHires(4), spin.top, spin.left, spin.bottom}));
        const RECT size = OnScreen(dlg, kPadOptPageSize);
        EXPECT_TRUE(HasInk(RECT{ApplyHires(4), size.top, size.left, size.bottom}));
    });
    Script("wait 20\nkey ESCAPE\n");
    EXPECT_EQ(dlg.DoModal(nullptr, 0), 2);
    EXPECT_TRUE(ran);
}

TEST_P(DialogsGallery, PaperColourMenu) {
    g_Settings.DefaultTemplate.BackColor = PaletteColors[3][0];
    GPadOptionDlg dlg(nullptr);
    AtTimer("pad_color_menu", [&] {
        HWND menu = ::FindWindowW(u"GColorMenu", nullptr);
        ASSERT_TRUE(menu && ::IsWindowVisible(menu));
        RECT rc;
        ::GetWindowRect(menu, &rc);
        // The menu hangs from the button's right edge; its first swatch shows row 0.
        EXPECT_EQ(rc.right, OnScreen(dlg, kPadOptBackColor).right);
        const int item = ApplyHires(20);
        const int top = rc.top + ApplyHires(1) + 2;
        EXPECT_EQ(ScreenPixel((rc.left + rc.right) / 2, top + item / 2), PaletteColors[0][0]);
        // The current swatch (row 3) is ringed in the highlight colour.
        EXPECT_EQ(ScreenPixel(rc.left + ApplyHires(1) + 2, top + 3 * item + item / 2),
                  GetGLibColor(74));
    });
    Script(TapOn(dlg, kPadOptBackColor) + "wait 20\nkey ESCAPE\nkey ESCAPE\n");
    EXPECT_EQ(dlg.DoModal(nullptr, 0), 2);
    EXPECT_TRUE(ran);
}

TEST_P(DialogsGallery, PaperSizeMenu) {
    GPadOptionDlg dlg(nullptr); // 800 x 600 by default: the third entry
    AtTimer("pad_size_menu", [&] {
        HWND menu = ::FindWindowW(u"GMenu", nullptr);
        ASSERT_TRUE(menu && ::IsWindowVisible(menu));
        RECT rc;
        ::GetWindowRect(menu, &rc);
        EXPECT_EQ(rc.right, OnScreen(dlg, kPadOptPageSize).right);
        const int item = ApplyHires(20);
        const int top = rc.top + ApplyHires(1) + ApplyHires(2);
        EXPECT_EQ(ScreenPixel(rc.left + ApplyHires(1) + 3, top + 2 * item + item / 2),
                  GetGLibColor(74));
        EXPECT_TRUE(HasInk(RECT{rc.left, top + 2 * item, rc.right, top + 3 * item}));
    });
    Script(TapOn(dlg, kPadOptPageSize) + "wait 20\nkey ESCAPE\nkey ESCAPE\n");
    EXPECT_EQ(dlg.DoModal(nullptr, 0), 2);
    EXPECT_TRUE(ran);
}

TEST_P(DialogsGallery, ProgramOptions) {
    Painted<GGlobalOptionDlg> dlg;
    dlg.SetTitle(1, u"프로그램 설정", ApplyHires(26));
    AtPaint(dlg, "global_options", [&] {
        for (int id :
             std::initializer_list<int>{kGlobalOptDataFolder, kGlobalOptSize, kGlobalOptButton16,
                                        kGlobalOptChangePassword, kGlobalOptClearPassword, 1, 2})
            EXPECT_TRUE(HasInk(OnScreen(dlg, id))) << id;
        const RECT title{0, dlg.GetDialogRect().top, ApplyHires(120),
                         dlg.GetDialogRect().top + ApplyHires(26)};
        EXPECT_TRUE(HasInk(title) || !Near(ScreenPixel(ApplyHires(60), title.top + 2),
                                           ScreenPixel(ApplyHires(60), title.bottom + 40), 8));
    });
    Script("wait 20\nkey ESCAPE\n");
    EXPECT_EQ(dlg.DoModal(nullptr, 0), 2);
    EXPECT_TRUE(ran);
}

TEST_P(DialogsGallery, AboutBox) {
    Painted<GAboutDlg> dlg;
    AtPaint(dlg, "about", [&] {
        const RECT box = dlg.GetDialogRect();
        EXPECT_EQ(box.left + box.right, ::GetSystemMetrics(SM_CXSCREEN));
        EXPECT_EQ(ScreenPixel(box.right - ApplyHires(4), box.top + ApplyHires(4)),
                  RGB(0x33, 0x33, 0x99));
        const int line = box.top + dlg.GetTitleHeight() + ApplyHires(12);
        EXPECT_TRUE(HasInk(RECT{box.left, line, box.right, line + ApplyHires(60)}));
        EXPECT_TRUE(HasInk(OnScreen(dlg, 1)));
    });
    Script("wait 20\nkey ESCAPE\n");
    EXPECT_EQ(dlg.DoModal(nullptr, 0), 2);
    EXPECT_TRUE(ran);
}

TEST_P(DialogsGallery, PictureChooserWithItsPreview) {
    // An orange picture under the first row.
    GImage picture;
    ASSERT_TRUE(picture.Create(120, 90));
    picture.FillRect(0, 0, 120, 90, RGB(255, 128, 0), 255);
    MakeFolder("Back");
    ASSERT_GT(picture.Save(u"\\Back\\orange.bmp", eImageBMP), 0u);
    MakeFile("Back/plain.gif", "not really");
    StartedImageDlg dlg(1, u"\\Back", kImageFileFilter);
    dlg.SetTitle(1, GetLangText(82), ApplyHires(26));
    dlg.onStart = [&] {
        GFileListCtrl* list = dlg.GetFileList();
        RECT rc;
        ::GetWindowRect(list->GetSafeHwnd(), &rc);
        const int y = rc.top + list->GetItemHeight() / 2;
        Script("tap " + std::to_string(rc.left + ApplyHires(20)) + " " + std::to_string(y) +
               "\nwait 20\nkey ESCAPE\n");
        AtTimer(
            "image_file_dialog",
            [&] {
                GThumbnailWnd* thumb = dlg.GetThumbnail();
                ASSERT_TRUE(thumb->IsWindowVisible());
                for (int i = 0; i < 500 && !thumb->IsLoaded(); ++i)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                ASSERT_TRUE(thumb->IsLoaded());
                thumb->Invalidate(0);
                ::UpdateWindow(thumb->GetSafeHwnd());
                RECT at;
                ::GetWindowRect(thumb->GetSafeHwnd(), &at);
                EXPECT_EQ(at.right - at.left, ApplyHires(100));
                EXPECT_EQ(at.bottom - at.top, ApplyHires(75));
                // Orange at three quarters over the list beneath; the frame in grey.
                const COLORREF mid =
                    ScreenPixel((at.left + at.right) / 2, (at.top + at.bottom) / 2);
                EXPECT_TRUE(Near(mid, RGB(255, 128 + 127 / 4, 255 / 4), 40)) << std::hex << mid;
                EXPECT_TRUE(Near(ScreenPixel(at.left, (at.top + at.bottom) / 2),
                                 RGB(0x66, 0x66, 0x66), 70));
            },
            list->GetSafeHwnd());
    };
    EXPECT_EQ(dlg.DoModal(nullptr, 0), 2);
    EXPECT_TRUE(ran);
}

INSTANTIATE_TEST_SUITE_P(Screens, DialogsGallery, ::testing::Values(SIZE{240, 320}, SIZE{480, 640}),
                         [](const auto& info) { return std::to_string(info.param.cx); });

} // namespace
