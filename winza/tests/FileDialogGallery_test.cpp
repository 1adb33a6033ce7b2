// Pictures of the file dialog and the folder dialog on both screen sizes, written as PNG
// screens under the build's test output for a person to look at; the checks make sure each
// picture shows what its name says.
#include "winza/GFileDialog.h"
#include "winza/GFolderDialog.h"

#include "dialog_script_support.h"
#include "winza/GFontManager.h"
#include "winza/GVButton.h"

#include <platform/wingdi.h>

#include <functional>

namespace {

constexpr UINT kMsgShot = WM_APP + 0x51;

std::string ShotPath(const std::string& name) {
    const std::string dir = SCRIBBO_TEST_OUTPUT;
    std::filesystem::create_directories(dir);
    return dir + "/" + name + ".png";
}

// Runs its callback once the dialog is laid out and painted, then cancels.
template <class Base> class Shot : public Base {
public:
    using Base::Base;
    std::function<void()> onShown;
    void RecalcControl() override {
        Base::RecalcControl();
        ::PostMessageW(this->m_hWnd, kMsgShot, 0, 0);
    }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == kMsgShot) {
            if (onShown)
                onShown();
            return this->OnCancel();
        }
        return Base::WndProc(hwnd, msg, wParam, lParam);
    }
};

class DialogGalleryFiles : public DialogScriptTest, public ::testing::WithParamInterface<SIZE> {
protected:
    void SetUp() override {
        DialogScriptTest::SetUp();
        const SIZE s = GetParam();
        plat::StartHeadless(s.cx, s.cy);
        ResetDisplayMode();
        FreeGlobalDC();
        FreeGLibControl();
        InitGLibControl();
        SetGlobalFontDef(fonts.GetFont(eFontNormal14));
        SetGlobalFontBold(fonts.GetFont(eFontBold14));
        MakeFolder("My Documents/Pictures/Holiday 2026/Beach");
        MakeFolder("My Documents/Pictures/Holiday 2026/Mountains");
        MakeFolder("My Documents/Pictures/Family");
        MakeFolder("My Documents/Pictures/Scans");
        MakeFile("My Documents/Pictures/sunset.jpg", std::string(48000, 's'));
        MakeFile("My Documents/Pictures/harbour at night.jpeg", std::string(120000, 'h'));
        MakeFile("My Documents/Pictures/logo.gif", std::string(900, 'l'));
        MakeFile("My Documents/Pictures/scan0001.bmp", std::string(230000, 'b'));
        MakeFile("My Documents/Pictures/notes.txt", "n");
        MakeFile("My Documents/Pictures/memo.pad", "m");
        MakeFile("My Documents/Pictures/Thumbs", "no extension");
    }
    void TearDown() override {
        SetGlobalFontDef(nullptr);
        SetGlobalFontBold(nullptr);
        DialogScriptTest::TearDown();
    }
    std::string Size() const {
        return std::to_string(GetParam().cx) + "x" + std::to_string(GetParam().cy);
    }
    static bool SaveScreen(const std::string& path) {
        HDC screen = ::GetDC(nullptr);
        const bool ok = plat::SaveSurfacePng(screen, path);
        ::ReleaseDC(nullptr, screen);
        return ok;
    }
    GFontManager fonts;
};

TEST_P(DialogGalleryFiles, FileDialogWithAPictureFilter) {
    Shot<GFileDialog> dlg(
        1, nullptr, 1, u"\\My Documents\\Pictures",
        u"JPEG Files|*.jpg;*.jpeg|All Image Files|*.bmp;*.gif;*.jpg;*.jpeg|All Files|*.*||",
        u"*.bmp");
    bool saved = false;
    COLORREF selectedRow = 0;
    int rows = 0;
    dlg.onShown = [&] {
        GFileListCtrl* list = dlg.GetFileList();
        rows = list->GetCount();
        // The first file chosen, as a touch would leave it.
        POSITION pos = list->FindItem(SpecialHeadPosition(), u"logo.gif");
        list->SelectItem(pos, 1);
        RECT r{0, 0, 0, 0};
        ::GetWindowRect(list->GetSafeHwnd(), &r);
        const int h = list->GetItemHeight();
        // Rows: Family, Holiday 2026, Scans, harbour at night.jpeg, logo.gif, ...
        selectedRow = ScreenPixel(r.right - ApplyHires(4), r.top + 4 * h + h / 2);
        saved = SaveScreen(ShotPath("filedialog_" + Size()));
    };
    EXPECT_EQ(dlg.DoModal(nullptr, 0), 2);
    EXPECT_TRUE(saved);
    EXPECT_EQ(dlg.GetFilterIndex(), 1);
    EXPECT_EQ(rows, 3 + 4) << "three folders and the four pictures";
    EXPECT_EQ(selectedRow, GetGLibColor(70));
}

TEST_P(DialogGalleryFiles, FolderDialogOpenedDownToAFolder) {
    Shot<GFolderDialog> dlg(nullptr, nullptr, nullptr, u"\\My Documents\\Pictures\\Holiday 2026");
    bool saved = false;
    dlg.onShown = [&] { saved = SaveScreen(ShotPath("folderdialog_" + Size())); };
    EXPECT_EQ(dlg.DoModal(nullptr, 0), 2);
    EXPECT_TRUE(saved);
}

TEST_P(DialogGalleryFiles, FolderDialogAskingForANewFolder) {
    GFolderDialog dlg(nullptr, nullptr, nullptr, u"\\My Documents\\Pictures");
    // The shot is taken inside the name line's own loop, with the name typed; Escape ends
    // the line and Cancel the dialog.
    const std::string path = ShotPath("folderdialog_newname_" + Size());
    std::filesystem::remove(path);
    const SIZE s = GetParam();
    const int k = s.cx > 320 ? 2 : 1;
    Script("tap " + std::to_string(40 * k) + " " + std::to_string(s.cy - 18 * k) +
           "\ntype Summer\nshot " + path + "\nkey Escape\ntap " + std::to_string(s.cx - 34 * k) +
           " " + std::to_string(s.cy - 18 * k) + "\n");
    EXPECT_EQ(dlg.DoModal(nullptr, 0), 2);
    EXPECT_TRUE(std::filesystem::exists(path));
}

INSTANTIATE_TEST_SUITE_P(Screens, DialogGalleryFiles,
                         ::testing::Values(SIZE{240, 320}, SIZE{480, 640}),
                         [](const ::testing::TestParamInfo<SIZE>& info) {
                             return std::to_string(info.param.cx) + "x" +
                                    std::to_string(info.param.cy);
                         });

} // namespace
