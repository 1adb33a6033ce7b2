// The picture chooser's preview: which tap shows, moves or hides it, where it goes inside the
// file list, and the worker thread that decodes the picture and stops when the preview goes.
#include "scribbo/GImageFileDlg.h"

#include "dialog_script_support.h"
#include "scribbo_test_support.h"
#include "toolbar_test_support.h"

#include "picta/GImage.h"
#include "winza/GFileItem.h"

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

// A w x h 24-bit BMP of one colour, built byte by byte.
std::string Bmp(int w, int h) {
    const int stride = (w * 3 + 3) & ~3;
    apptest::Bytes b{'B', 'M'};
    apptest::Put32(b, DWORD(54 + stride * h));
    apptest::Put32(b, 0);
    apptest::Put32(b, 54);
    apptest::Put32(b, 40);
    apptest::Put32(b, DWORD(w));
    apptest::Put32(b, DWORD(h));
    apptest::Put32(b, 1 | (24 << 16));
    for (int i = 0; i < 6; ++i)
        apptest::Put32(b, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < stride; ++x)
            b.push_back(BYTE(x < w * 3 ? 0x30 + (x % 3) * 0x40 : 0));
    return std::string(b.begin(), b.end());
}

// Waits (real time: the worker is a real thread) until the preview has its picture.
bool WaitLoaded(GThumbnailWnd& thumb) {
    for (int i = 0; i < 500 && !thumb.IsLoaded(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return thumb.IsLoaded() != 0;
}

class ImageFileDlgTest : public DialogScriptTest {
protected:
    void TearDown() override {
        if (dlg.GetSafeHwnd())
            dlg.Destroy();
        DialogScriptTest::TearDown();
        apptest::RestoreDefaultScreen();
    }
    // The dialog's window as its modal loop would make it, without the loop.
    void Open() {
        ASSERT_TRUE(dlg.Create(nullptr, u"GDialog", WS_POPUP, 0, 0, 0, 0));
        dlg.RecalcDialog(nullptr);
        ::ShowWindow(dlg.GetSafeHwnd(), SW_SHOWNA);
        Pump();
        list = dlg.GetFileList();
        ::GetWindowRect(list->GetSafeHwnd(), &listRect);
    }
    // A press and release on row i of the file list, x pixels from its left.
    void TapRow(int i, int x = 20) {
        const int y = i * list->GetItemHeight() + list->GetItemHeight() / 2;
        ::SendMessageW(list->GetSafeHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        ::SendMessageW(list->GetSafeHwnd(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        Pump();
    }
    RECT ThumbRect() {
        RECT rc{};
        ::GetWindowRect(dlg.GetThumbnail()->GetSafeHwnd(), &rc);
        return rc;
    }
    int Shown() { return ::IsWindowVisible(dlg.GetThumbnail()->GetSafeHwnd()); }
    std::u16string ShownName() {
        const std::u16string path = dlg.GetThumbnail()->GetPath();
        return path.substr(path.rfind(u'\\') + 1);
    }

    GImageFileDlg dlg{1, u"\\Pictures", kImageFileFilter};
    GFileListCtrl* list = nullptr;
    RECT listRect{};
};

TEST_F(ImageFileDlgTest, ASecondTapHidesThePreviewAndAnotherRowMovesAndReloadsIt) {
    MakeFile("Pictures/a.bmp", Bmp(40, 30));
    MakeFile("Pictures/b.bmp", Bmp(30, 60));
    MakeFile("Pictures/c.jpg", "no picture in here");
    Open();
    ASSERT_EQ(list->GetCount(), 3);

    TapRow(0);
    ASSERT_TRUE(Shown());
    EXPECT_EQ(ShownName(), u"a.bmp");
    EXPECT_EQ(dlg.GetShownRow(), list->GetSelItem());
    const RECT first = ThumbRect();
    EXPECT_EQ(first.right - first.left, 100);
    EXPECT_EQ(first.bottom - first.top, 75);
    ASSERT_TRUE(WaitLoaded(*dlg.GetThumbnail()));
    EXPECT_EQ(dlg.GetThumbnail()->GetImage()->Width(), 100); // decoded at the preview's width
    // The name box took the name up to its dot.
    WCHAR name[32];
    ::GetWindowTextW(dlg.GetNameEdit()->GetSafeHwnd(), name, 32);
    EXPECT_EQ(std::u16string(name), u"a");

    TapRow(0);
    EXPECT_FALSE(Shown());
    EXPECT_EQ(dlg.GetShownRow(), nullptr);

    TapRow(1);
    ASSERT_TRUE(Shown());
    EXPECT_EQ(ShownName(), u"b.bmp");
    const RECT second = ThumbRect();
    EXPECT_EQ(second.bottom - second.top, 200);
    EXPECT_NE(second.top, first.top);
    ASSERT_TRUE(WaitLoaded(*dlg.GetThumbnail()));

    // A file whose header cannot be read shows nothing.
    TapRow(2);
    EXPECT_FALSE(Shown());
    EXPECT_FALSE(dlg.GetThumbnail()->IsLoading());

    // Scrolling, a reload, and a tap below the last row each put the preview away.
    const struct {
        const char* what;
        std::function<void()> act;
    } hides[] = {
        {"scroll", [&] { ::SendMessageW(dlg.GetSafeHwnd(), kMsgListScrolled, 0, kFileDlgList); }},
        {"reload", [&] { dlg.ReloadFolder(); }},
        {"below", [&] { TapRow(5); }},
    };
    for (const auto& h : hides) {
        SCOPED_TRACE(h.what);
        TapRow(0);
        ASSERT_TRUE(Shown());
        h.act();
        Pump();
        EXPECT_FALSE(Shown());
        EXPECT_EQ(dlg.GetShownRow(), nullptr);
    }
}

// Records whether the preview showed before and after each touch of the list.
class RecordingImageDlg : public GImageFileDlg {
public:
    using GImageFileDlg::GImageFileDlg;
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg != kMsgListTouched)
            return GImageFileDlg::WndProc(hwnd, msg, wParam, lParam);
        const int before = ::IsWindowVisible(GetThumbnail()->GetSafeHwnd());
        const LRESULT r = GImageFileDlg::WndProc(hwnd, msg, wParam, lParam);
        shown.push_back({before, ::IsWindowVisible(GetThumbnail()->GetSafeHwnd())});
        return r;
    }
    std::vector<std::pair<int, int>> shown;
};

TEST_F(ImageFileDlgTest, InTheModalLoopAPressOnThePreviewPutsItAway) {
    MakeFile("Pictures/a.bmp", Bmp(40, 30));
    // Where row 0 lies on the screen, from a dialog laid out as the modal one will be.
    Open();
    const int x = listRect.left + 20;
    const int y = listRect.top + list->GetItemHeight() / 2;
    dlg.Destroy();
    // Row 0 is in the list's upper half: its preview opens below and right of the touch.
    // Its corner is at the touch, so the row is tapped again left of it.
    const std::string row = std::to_string(x) + " " + std::to_string(y);
    const std::string rowLeft = std::to_string(x - 10) + " " + std::to_string(y);
    const std::string preview = std::to_string(x + 50) + " " + std::to_string(y + 30);
    Script("wait 50\ntap " + row + "\nwait 700\ntap " + preview + "\nwait 700\ntap " + row +
           "\nwait 700\ntap " + rowLeft + "\nwait 700\nkey Escape\n");
    RecordingImageDlg modal(1, u"\\Pictures", kImageFileFilter);
    EXPECT_EQ(modal.DoModal(nullptr, 0), 2);
    // Shown; put away by the press on it; shown again by the next tap; hidden by the one after.
    const std::vector<std::pair<int, int>> expected{{0, 1}, {0, 1}, {1, 0}};
    EXPECT_EQ(modal.shown, expected);
}

TEST_F(ImageFileDlgTest, APictureNearTheBottomOpensAboveTheTouchAndStaysInTheList) {
    // Enough rows to reach the list's lower half; the tall picture is on one of them.
    for (int i = 0; i < 9; ++i)
        MakeFile("Pictures/p0" + std::to_string(i) + ".bmp", i == 8 ? Bmp(50, 80) : Bmp(8, 8));
    Open();
    const int rowH = list->GetItemHeight();
    const int listH = listRect.bottom - listRect.top;
    ASSERT_GT(8 * rowH + rowH / 2, listH / 2) << "row 8 must lie in the list's lower half";

    TapRow(8, 30);
    ASSERT_TRUE(Shown());
    const RECT at = ThumbRect();
    const int touchY = listRect.top + 8 * rowH + rowH / 2;
    EXPECT_EQ(at.bottom, touchY);
    EXPECT_EQ(at.top, touchY - 160);
    EXPECT_EQ(at.left, listRect.left + 30);

    // Wherever the touch, the preview stays inside the list window.
    struct Case {
        int x, y; // list client point
        int w, h; // picture
        const char* what;
    };
    const int listW = listRect.right - listRect.left;
    const Case cases[] = {
        {listW - 3, listH - 3, 50, 80, "bottom right corner"},
        {0, 2, 100, 50, "top left corner"},
        {10, listH / 2 - rowH, 20, 100 * listH, "taller than the list, upper half"},
        {10, listH - 5, 100, 300, "tall, lower half"},
        {10, rowH / 2, 100, 180, "tall, upper half"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const RECT rc = dlg.PlaceThumbnail(POINT{c.x, c.y}, c.w, c.h);
        EXPECT_GT(rc.left, listRect.left);
        EXPECT_LE(rc.right, listRect.right);
        EXPECT_GT(rc.top, listRect.top);
        EXPECT_LE(rc.bottom, listRect.bottom);
    }
    // One taller than the list keeps its shape, narrowed to the list's height.
    const RECT tall = dlg.PlaceThumbnail(POINT{10, listH - 5}, 60, 200);
    EXPECT_EQ(tall.bottom - tall.top, listH - 1);
    EXPECT_EQ(tall.right - tall.left, (listH - 1) * 60 / 200);
}

TEST_F(ImageFileDlgTest, HidingDuringADecodeEndsTheWorkerAndANewStartStillLoads) {
    // A JPEG big enough that its decode is still running when the preview is hidden.
    GImage big;
    ASSERT_TRUE(big.Create(1600, 1200));
    big.FillRect(0, 0, 1600, 1200, RGB(200, 120, 40), 255);
    big.FillRect(100, 100, 800, 600, RGB(20, 60, 200), 255);
    MakeFolder("Pictures");
    ASSERT_GT(big.Save(u"\\Pictures\\big.jpg", eImageJPEG), 0u);
    Open();
    GThumbnailWnd* thumb = dlg.GetThumbnail();
    ::MoveWindow(thumb->GetSafeHwnd(), 10, 10, 100, 75, FALSE);
    for (int round = 0; round < 5; ++round) {
        // A new start while a decode runs stops that one before it frees the picture.
        thumb->Start(u"\\Pictures\\big.jpg");
        thumb->Start(u"\\Pictures\\big.jpg");
        thumb->ShowWindow(SW_SHOWNOACTIVATE);
        thumb->ShowWindow(SW_HIDE);
        EXPECT_FALSE(thumb->IsLoading());
    }
    thumb->Start(u"\\Pictures\\big.jpg");
    thumb->ShowWindow(SW_SHOWNOACTIVATE);
    ASSERT_TRUE(WaitLoaded(*thumb));
    Pump();
    EXPECT_EQ(thumb->GetImage()->Width(), 100);
    // Painted: the picture inside the grey frame.
    const COLORREF inside = ScreenPixel(10 + 50, 10 + 37);
    EXPECT_NE(inside, RGB(255, 255, 255));
    thumb->ShowWindow(SW_HIDE);
}

} // namespace
