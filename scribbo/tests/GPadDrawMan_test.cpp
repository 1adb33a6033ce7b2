// The memo object's pages, positions, texts and zoom.
#include "scribbo/GPadDrawMan.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

class PadDoc : public ::testing::Test {
protected:
    void SetUp() override {
        dc = CreateCompatibleDC(nullptr);
        ASSERT_EQ(man.InitBuffer(dc, 240, 320), 1);
        ASSERT_GE(man.SetCurPage(0, 0), 0);
    }
    void TearDown() override { DeleteDC(dc); }
    void AddPages(int total) {
        while (man.GetPageNum() < total)
            ASSERT_GE(man.AddPage(man.CreatePage(), 0), 0);
    }
    HDC dc = nullptr;
    GPadDrawMan man;
};

} // namespace

TEST_F(PadDoc, ConstructionHasTheLowResolutionPaperAndPenDefaults) {
    EXPECT_EQ(man.GetTemplate()->TitleBandHeight, 80);
    EXPECT_EQ(man.GetTemplate()->LineSpace, 28);
    EXPECT_EQ(man.GetPencelColor(), COLORREF(0x333333));
    EXPECT_EQ(man.GetMarkerColor(), COLORREF(0xFFFF));
    EXPECT_EQ(man.GetPenWidth(), FIXED_ONE / 4);
    EXPECT_EQ(man.GetPencelWidth(), FIXED_ONE / 2);
    EXPECT_EQ(man.GetEraserWidth(), 3 * FIXED_ONE);
    EXPECT_EQ(man.GetMarkerWidth(), 2 * FIXED_ONE);
    EXPECT_EQ(man.GetTextSize(), 16);
    EXPECT_EQ(man.GetAlarm()->AlarmTime, 949998.0);
}

TEST_F(PadDoc, HundredthPageIsRefusedAndTheLastCannotBeDeleted) {
    EXPECT_EQ(man.DeletePage(man.GetPage(0), 0), -2);
    EXPECT_EQ(man.GetPageNum(), 1);
    AddPages(99);
    InkraPage* extra = AllocInkraPage();
    EXPECT_EQ(man.InsertPage(extra, 0, 0), -1);
    EXPECT_EQ(man.AddPage(extra, 0), -1);
    FreeInkraPage(extra);
    EXPECT_EQ(man.GetPageNum(), 99);
}

TEST_F(PadDoc, PositionsTravelWithTheirPagesOnInsertAndDelete) {
    AddPages(3);
    for (int i = 0; i < 3; ++i)
        man.SetPagePosition(i, POINT{10 * (i + 1), 100 * (i + 1)});
    InkraPage* fresh = man.CreatePage();
    ASSERT_EQ(man.InsertPage(fresh, 1, 0), 1);
    EXPECT_EQ(man.GetPagePosition(0).x, 10);
    EXPECT_EQ(man.GetPagePosition(1).x, 0);
    EXPECT_EQ(man.GetPagePosition(2).x, 20);
    EXPECT_EQ(man.GetPagePosition(3).y, 300);
    ASSERT_EQ(man.DeletePage(man.GetPage(0), 0), 0);
    EXPECT_EQ(man.GetPagePosition(1).x, 20);
    EXPECT_EQ(man.GetPagePosition(2).x, 30);
    EXPECT_EQ(man.GetPagePosition(3).x, 0); // freed tail entry
}

TEST_F(PadDoc, DeletingTheLastPageShowsThePreviousAtItsClampedPosition) {
    TemplateHeader* t = man.GetTemplate();
    t->PageWidth = 480;
    t->PageHeight = 640;
    man.ZoomTo(100, 0);
    AddPages(2);
    man.SetPagePosition(0, POINT{1000, 50});
    EXPECT_EQ(man.DeletePage(man.GetPage(1), 0), 0);
    // 480-wide page in a 240-wide view scrolls at most 240.
    EXPECT_EQ(man.GetMatrix()->dx, IntToFixed(-240));
    EXPECT_EQ(man.GetMatrix()->dy, IntToFixed(-50));
    EXPECT_EQ(man.GetPagePosition(0).x, 240);
}

TEST_F(PadDoc, TitleIsCutTo31AndEmptyClearsIt) {
    WCHAR out[32];
    EXPECT_EQ(man.GetTitle(out), 0);
    man.SetHeaderChanged(0);
    man.SetTitle(u"0123456789012345678901234567890123456789");
    EXPECT_EQ(man.GetTitle(out), 31);
    EXPECT_EQ(std::u16string(out), u"0123456789012345678901234567890");
    EXPECT_EQ(man.GetState()->HasTitle, 1);
    EXPECT_EQ(man.IsHeaderChanged(), 1);
    man.SetTitle(u"");
    EXPECT_EQ(man.GetTitle(out), 0);
    EXPECT_EQ(man.GetState()->HasTitle, 0);
}

TEST_F(PadDoc, ZoomKeepsThePagePointAtTheTopLeft) {
    TemplateHeader* t = man.GetTemplate();
    t->PageWidth = 800;
    t->PageHeight = 600;
    man.ZoomTo(100, 0);
    man.ScrollTo(100, 40, 0);
    man.ZoomTo(200, 0);
    EXPECT_EQ(man.GetZoom(), 200);
    EXPECT_EQ(man.GetMatrix()->dx, IntToFixed(-200));
    EXPECT_EQ(man.GetMatrix()->dy, IntToFixed(-80));
    EXPECT_EQ(man.GetViewRect().right - man.GetViewRect().left, IntToFixed(1600));
}

TEST_F(PadDoc, PagesBeyondTheFixedPointRangeScrollAsTheLargestPage) {
    // A memo header may store any 16-bit size; 32768 and up do not fit 16.16 coordinates.
    TemplateHeader* t = man.GetTemplate();
    t->PageWidth = 65535;
    t->PageHeight = 32768;
    man.ZoomTo(100, 0);
    EXPECT_EQ(man.GetViewRect().bottom - man.GetViewRect().top, IntToFixed(32767));
    man.ScrollTo(INT_MAX, INT_MAX, 0);
    EXPECT_EQ(man.GetPagePosition(0).x, 32767 - 240);
    EXPECT_EQ(man.GetPagePosition(0).y, 32767 - 320);
    // Zoomed in, the view spans more than 16.16 holds; the scroll stays on the page.
    man.ZoomTo(200, 0);
    man.ScrollTo(INT_MAX, INT_MAX, 0);
    EXPECT_GE(man.GetPagePosition(0).y, 0);
    EXPECT_LE(man.GetPagePosition(0).y, 2 * 32767 - 320);
}

TEST(PadDocRules, VersionOnePageWidthRoundsUpToAScreenWidth) {
    EXPECT_EQ(GPadDrawMan::RoundPageWidthV1(240), 240);
    EXPECT_EQ(GPadDrawMan::RoundPageWidthV1(241), 320);
    EXPECT_EQ(GPadDrawMan::RoundPageWidthV1(500), 640);
    EXPECT_EQ(GPadDrawMan::RoundPageWidthV1(641), 800);
    EXPECT_EQ(GPadDrawMan::RoundPageWidthV1(5000), 800);
}
