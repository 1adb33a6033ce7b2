// Pictures of a list and a tree in both resolutions, written as PNG files into the build's
// test output for a person to look at.
#include "winza/GFontManager.h"
#include "winza/GItem.h"
#include "winza/GLib.h"
#include "winza/GListCtrl.h"
#include "winza/GTreeCtrl.h"
#include "winza_test_support.h"

#include <platform/wingdi.h>

#include <filesystem>
#include <memory>
#include <string>

namespace {

class ListTreePicture : public WinzaTest {
protected:
    void Build(int width, int height) {
        plat::StartHeadless(width, height);
        ResetDisplayMode();
        InitGLibControl();
        // The font the application gives dialogs and menus; lists and trees take it too.
        SetGlobalFontDef(fonts.GetFont(eFontNormal14));
        const int u = ApplyHires(1);
        parent.color = RGB(255, 255, 255);
        ASSERT_EQ(parent.Create(nullptr, u"p", WS_POPUP | WS_VISIBLE, 0, 0, width, height), 1);
        list = std::make_unique<GListCtrl>();
        RECT lr{5 * u, 5 * u, 115 * u, 155 * u};
        ASSERT_EQ(list->Create(parent.GetSafeHwnd(), &parent, WS_CHILD | WS_VISIBLE, &lr, 1), 1);
        list->SetItemHeight(20 * u);
        for (const char16_t* l : {u"pear", u"apple", u"fig", u"kiwi", u"lime", u"plum", u"date",
                                  u"melon", u"grape", u"lemon"})
            list->AddItem(l, 0, 1);
        list->SelectItem(list->FindItem(SpecialHeadPosition(), u"kiwi"), 0);
        list->UpdateScroll(1, 1);

        tree = std::make_unique<GTreeCtrl>();
        RECT tr{120 * u, 5 * u, 235 * u, 155 * u};
        ASSERT_EQ(tree->Create(parent.GetSafeHwnd(), &parent, WS_CHILD | WS_VISIBLE, tr, 2), 1);
        tree->SetRoot(u"Memos");
        POSITION work = tree->InsertChild(SpecialHeadPosition(), u"Work", false, true);
        tree->InsertChild(SpecialHeadPosition(), u"Home", false, true);
        POSITION trips = tree->InsertChild(SpecialHeadPosition(), u"Trips", false, true);
        tree->InsertChild(work, u"Plans", false, true);
        POSITION notes = tree->InsertChild(work, u"Notes", false, true);
        tree->InsertChild(notes, u"Old", false, true);
        tree->InsertChild(trips, u"Jeju", false, true);
        tree->SelectItem(notes, false);
        tree->UpdateScroll(1, 1);

        // A second tree that needs both scroll bars.
        big = std::make_unique<GTreeCtrl>();
        RECT br{5 * u, 165 * u, 235 * u, 315 * u};
        ASSERT_EQ(big->Create(parent.GetSafeHwnd(), &parent, WS_CHILD | WS_VISIBLE, br, 3), 1);
        big->SetRoot(u"Root folder with a long name");
        for (int i = 0; i < 8; ++i) {
            POSITION p = big->InsertChild(SpecialHeadPosition(), u"A folder whose name is long",
                                          false, true);
            big->InsertChild(p, u"inner", false, true);
        }
        big->OpenItem(big->GetTopItem(), true, false);
        big->OpenItem(big->GetChildItem(big->GetTopItem()), true, false);
        big->UpdateScroll(0, 1);
        Pump();
    }
    void TearDown() override {
        list.reset();
        tree.reset();
        big.reset();
        SetGlobalFontDef(nullptr);
        WinzaTest::TearDown();
        FreeGLibControl();
        ResetDisplayMode();
    }
    static bool Save(const std::string& name) {
        std::filesystem::create_directories(SCRIBBO_TEST_OUTPUT);
        HDC screen = ::GetDC(nullptr);
        const bool ok =
            plat::SaveSurfacePng(screen, std::string(SCRIBBO_TEST_OUTPUT) + "/" + name + ".png");
        ::ReleaseDC(nullptr, screen);
        return ok;
    }
    // Rows of the rectangle on screen that hold at least one dark pixel of the (black) text;
    // smoothed edges are lighter, so the test is for darkness rather than one colour.
    static int InkRows(const RECT& r) {
        auto dark = [](COLORREF c) {
            return GetRValue(c) < 96 && GetGValue(c) < 96 && GetBValue(c) < 96;
        };
        int rows = 0;
        for (int y = r.top; y < r.bottom; ++y) {
            int x = r.left;
            while (x < r.right && !dark(ScreenPixel(x, y)))
                ++x;
            rows += x < r.right;
        }
        return rows;
    }
    // The selected list row and tree row stand at the same place on either screen; their
    // labels must be as tall as the rows make room for, not left at the small screen's size.
    void ExpectLabelsFillTheirRows() {
        const int u = ApplyHires(1);
        EXPECT_EQ(list->GetFont(), GetGlobalFontDef());
        EXPECT_EQ(tree->GetFont(), GetGlobalFontDef());
        RECT row = list->GetGItem(list->GetSelItem())->GetItemRect();
        ::OffsetRect(&row, 5 * u, 5 * u);
        EXPECT_GE(InkRows(row), 9 * u) << "list label";
        RECT node = tree->GetGItem(tree->GetSelItem())->GetItemRect();
        ::OffsetRect(&node, 120 * u, 5 * u);
        EXPECT_GE(InkRows(node), 9 * u) << "tree label";
    }
    GFontManager fonts;
    LoggingWinza parent;
    std::unique_ptr<GListCtrl> list;
    std::unique_ptr<GTreeCtrl> tree;
    std::unique_ptr<GTreeCtrl> big;
};

TEST_F(ListTreePicture, NormalResolution) {
    Build(240, 320);
    EXPECT_TRUE(list->IsShowScrollBarV());
    EXPECT_TRUE(big->IsShowScrollBarV());
    EXPECT_TRUE(big->IsShowScrollBarH());
    EXPECT_FALSE(tree->IsShowScrollBarV());
    ExpectLabelsFillTheirRows();
    EXPECT_TRUE(Save("listtree_240x320"));
}

TEST_F(ListTreePicture, HighResolution) {
    Build(480, 640);
    EXPECT_TRUE(list->IsShowScrollBarV());
    EXPECT_TRUE(big->IsShowScrollBarV());
    ExpectLabelsFillTheirRows();
    EXPECT_TRUE(Save("listtree_480x640"));
}

} // namespace
