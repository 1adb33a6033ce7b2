// The draw manager's pages, buffers and view matrix: navigation limits, insertion and
// deletion rules, redraws, and copies that share pages.
#include "ink_man_support.h"

using inktest::ManFixture;

namespace {

using ManPages = ManFixture;

TEST_F(ManPages, NextPageStaysOnAnEmptyLastPage) {
    EXPECT_EQ(man.NextPage(), 0);
    EXPECT_EQ(man.GetPageNum(), 1);
    // An eraser stroke alone is no visible object either.
    man.SetDOStrokeType(eDOEraser);
    Stroke({{20, 20}, {60, 20}});
    EXPECT_EQ(man.NextPage(), 0);
    EXPECT_EQ(man.GetPageNum(), 1);
}

TEST_F(ManPages, NextPageAfterInkCreatesAndShowsANewPage) {
    Stroke({{20, 20}, {120, 20}});
    ASSERT_FALSE(BufferIsBack());
    EXPECT_EQ(man.NextPage(), 1);
    EXPECT_EQ(man.GetPageNum(), 2);
    EXPECT_EQ(man.GetCurPageIndex(), 1);
    EXPECT_TRUE(BufferIsBack());
    // Back to the first page: its ink is drawn again.
    EXPECT_EQ(man.PrevPage(), 0);
    EXPECT_FALSE(IsBack(70, 20));
    EXPECT_EQ(man.PrevPage(), 0);
    // Forward to the existing second page without creating another.
    EXPECT_EQ(man.NextPage(), 1);
    EXPECT_EQ(man.GetPageNum(), 2);
}

TEST_F(ManPages, NinetyNinePagesAreTheLimit) {
    for (int i = 1; i < INKRA_MAX_PAGES; ++i) {
        InkraPage* page = man.CreatePage();
        ASSERT_NE(page, nullptr);
        ASSERT_EQ(man.AddPage(page, 0), i);
    }
    EXPECT_EQ(man.GetPageNum(), 99);
    EXPECT_EQ(man.CreatePage(), nullptr); // 99 pages, the last current
    EXPECT_EQ(man.NextPage(), 99);
    man.SetCurPage(10, 0);
    InkraPage* extra = man.CreatePage();
    ASSERT_NE(extra, nullptr);
    EXPECT_EQ(man.AddPage(extra, 0), -1);
    EXPECT_EQ(man.InsertPage(extra, 0, 0), -1);
    man.DestroyPage(extra);
    EXPECT_EQ(man.GetPageNum(), 99);
}

TEST_F(ManPages, DeletingTheOnlyPageIsRefused) {
    InkraPage* only = man.GetCurPage();
    EXPECT_EQ(man.DeletePage(only, 1), -2);
    EXPECT_EQ(man.GetPageNum(), 1);
    EXPECT_EQ(man.GetCurPage(), only);
    EXPECT_EQ(man.DeletePage(nullptr, 1), -1);
}

TEST_F(ManPages, DeletionShowsThePageAfterOrTheOneBeforeTheLast) {
    InkraPage* first = man.GetCurPage();
    InkraPage* second = man.CreatePage();
    InkraPage* third = man.CreatePage();
    man.AddPage(second, 0);
    man.AddPage(third, 0);
    EXPECT_EQ(man.DeletePage(second, 0), 1);
    EXPECT_EQ(man.GetCurPage(), third);
    EXPECT_EQ(man.DeletePage(third, 0), 0);
    EXPECT_EQ(man.GetCurPage(), first);
    EXPECT_EQ(man.GetPageNum(), 1);
    InkraPage* stranger = AllocInkraPage();
    EXPECT_EQ(man.DeletePage(stranger, 0), -1);
    FreeInkraPage(stranger);
}

TEST_F(ManPages, InsertPutsNewPagesInPlaceAndMovesExistingOnes) {
    InkraPage* a = man.GetCurPage();
    InkraPage* b = man.CreatePage();
    InkraPage* c = man.CreatePage();
    EXPECT_EQ(man.InsertPage(b, 0, 0), 0); // b a
    EXPECT_EQ(man.GetCurPage(), b);
    EXPECT_EQ(man.InsertPage(c, 2, 0), 2); // b a c
    EXPECT_EQ(man.InsertPage(c, 4, 0), -1);
    EXPECT_EQ(man.InsertPage(c, -1, 0), -1);
    // Moving b (index 0) to index 2 lands it at 1, before c: a b c.
    EXPECT_EQ(man.InsertPage(b, 2, 0), 1);
    EXPECT_EQ(man.GetPage(0), a);
    EXPECT_EQ(man.GetPage(1), b);
    EXPECT_EQ(man.GetPage(2), c);
    EXPECT_EQ(man.GetCurPage(), b);
    // Moving c to the front: c a b.
    EXPECT_EQ(man.InsertPage(c, 0, 0), 0);
    EXPECT_EQ(man.GetPage(1), a);
    EXPECT_EQ(man.GetPage(2), b);
    EXPECT_EQ(man.GetPageNum(), 3);
}

TEST_F(ManPages, SetCurPageRejectsInvalidIndices) {
    EXPECT_EQ(man.SetCurPage(5, 1), -1);
    EXPECT_EQ(man.SetCurPage(-1, 1), 0);
    EXPECT_EQ(man.GetCurPageIndex(), 0);
}

TEST_F(ManPages, ClearCurPageRemovesInkAndMarksTheChange) {
    Stroke({{20, 20}, {120, 20}});
    man.SetObjectChanged(0);
    man.ClearCurPage();
    EXPECT_EQ(man.GetCurPage()->GetTotalGDObjectNum(), 0);
    EXPECT_TRUE(BufferIsBack());
    EXPECT_EQ(man.IsChangedObject(), 1);
}

TEST_F(ManPages, AttachedPagesDrawWithinTheWholeBuffer) {
    InkraPage* page = man.GetCurPage();
    EXPECT_EQ(page->GetAttachCount(), 1);
    tagRECT clip = page->GetValidRect();
    EXPECT_EQ(clip.right, kWidth);
    EXPECT_EQ(clip.bottom, kHeight);
    EXPECT_EQ(page->GetLineFactor(), 104857);
    EXPECT_EQ(page->GetDevideFactor(), 41942);
}

using ManBuffer = ManFixture;

TEST_F(ManBuffer, UpdateBufferRedrawsWhatThePenDrew) {
    man.SetPenWidth(2 * FIXED_ONE);
    Stroke({{20, 30}, {50, 34}, {90, 60}, {130, 58}});
    GDib* buffer = man.GetBufferBlock();
    const size_t size = static_cast<size_t>(buffer->GetLineSize()) * buffer->Height();
    std::vector<BYTE> drawn(buffer->GetBits(), buffer->GetBits() + size);
    buffer->FillRect(0, 0, kWidth, kHeight, RGB(0, 0, 0), 255);
    tagRECT all{-10, -10, 1000, 1000};
    man.UpdateBuffer(all);
    EXPECT_EQ(all.left, 0);
    EXPECT_EQ(all.right, kWidth);
    // The redraw lays the same capsules; only the pen-down dot is not repeated, so band
    // pixels near the first point may differ. Full ink and untouched paper agree exactly.
    int inked = 0, differ = 0;
    for (size_t i = 0; i + 2 < size; i += 3) {
        const BYTE* was = &drawn[i];
        const BYTE* now = buffer->GetBits() + i;
        const bool paper =
            was[0] == GetBValue(kBack) && was[1] == GetGValue(kBack) && was[2] == GetRValue(kBack);
        if (paper || (was[0] == 0 && was[1] == 0 && was[2] == 0)) {
            EXPECT_EQ(std::memcmp(was, now, 3), 0) << i;
        }
        if (!paper)
            ++inked;
        if (std::memcmp(was, now, 3) != 0)
            ++differ;
    }
    EXPECT_GT(inked, 300);
    EXPECT_LT(differ, inked / 20);
    EXPECT_TRUE(MaskClear());
}

TEST_F(ManBuffer, UpdateBufferTouchesOnlyItsRectangle) {
    Stroke({{20, 30}, {180, 30}});
    GDib* buffer = man.GetBufferBlock();
    buffer->FillRect(0, 0, kWidth, kHeight, RGB(1, 2, 3), 255);
    tagRECT part{50, 0, 60, kHeight};
    man.UpdateBuffer(part);
    EXPECT_FALSE(IsBack(55, 30));
    EXPECT_TRUE(IsBack(55, 100));
    EXPECT_EQ(Pixel(40, 100)[2], 1);
    EXPECT_EQ(Pixel(65, 30)[2], 1);
    // The page's clip is back to the whole buffer.
    EXPECT_EQ(man.GetCurPage()->GetValidRect().right, kWidth);
}

TEST_F(ManBuffer, ZeroSizeReleasesEverything) {
    EXPECT_EQ(man.InitBuffer(dc, 0, 10), 0);
    EXPECT_EQ(man.GetBufferBlock()->GetSafeHandle(), nullptr);
    EXPECT_EQ(man.GetMaskBlock(), nullptr);
    EXPECT_EQ(man.GetPageNum(), 0);
    EXPECT_EQ(man.LButtonDown(5, 5, 255).right, 0);
    EXPECT_EQ(man.InitBuffer(nullptr, 10, 10), 0);
}

TEST_F(ManBuffer, BackColourRebuildRefillsTheBuffer) {
    man.SetBackColor(dc, RGB(10, 20, 30), 1);
    EXPECT_EQ(Pixel(5, 5)[2], 10);
    EXPECT_EQ(Pixel(5, 5)[0], 30);
    EXPECT_EQ(man.GetBackColor(), RGB(10, 20, 30));
    EXPECT_EQ(man.GetPageNum(), 1);
}

TEST_F(ManBuffer, DrawBufferCopiesIntoAnotherBitmap) {
    Stroke({{20, 30}, {180, 30}});
    GDib target;
    ASSERT_EQ(target.Create(50, 50, 24), 1);
    target.SetBackColor(RGB(0, 0, 0), 255);
    man.DrawBuffer(&target, 0, 0, 50, 50, 40, 10);
    const BYTE* p = target.GetBits() + static_cast<size_t>(49 - 20) * target.GetLineSize() + 0;
    EXPECT_EQ(std::memcmp(p, Pixel(40, 30), 3), 0);
}

using ManMatrix = ManFixture;

TEST_F(ManMatrix, TranslateAndScaleReplaceAndKeepTheInverse) {
    man.TranslateMatrix(5 * FIXED_ONE, 7 * FIXED_ONE);
    MATRIX once = *man.GetMatrix();
    man.TranslateMatrix(5 * FIXED_ONE, 7 * FIXED_ONE);
    EXPECT_EQ(std::memcmp(&once, man.GetMatrix(), sizeof(MATRIX)), 0);
    man.ScaleMatrix(2 * FIXED_ONE, 3 * FIXED_ONE);
    man.ScaleMatrix(2 * FIXED_ONE, 3 * FIXED_ONE);
    EXPECT_EQ(man.GetMatrix()->m11, 2 * FIXED_ONE);
    EXPECT_EQ(man.GetMatrix()->m22, 3 * FIXED_ONE);
    MATRIX inverse;
    MatrixInvert(man.GetMatrix(), &inverse);
    EXPECT_EQ(std::memcmp(&inverse, man.GetIMatrix(), 6 * sizeof(LONG)), 0);
    // A pen-down maps back through the inverse: (25, 37) is page (10, 10).
    man.LButtonDown(25, 37, 255);
    GDObject* object = man.GetCurObject();
    man.LButtonUp(-1, -1, 255);
    // The inverse is exact to a few units of 1/65536.
    EXPECT_NEAR(object->points[0].x, 10 * FIXED_ONE, 16);
    EXPECT_NEAR(object->points[0].y, 10 * FIXED_ONE, 16);
}

TEST_F(ManMatrix, LineFactorSetsTheDivideFactorAndReachesThePages) {
    man.SetLineFactor(2.0);
    EXPECT_EQ(man.GetLineFactor(), 2 * FIXED_ONE);
    EXPECT_EQ(man.GetDevideFactor(), 52428); // 4.0 / 5 with the fraction cut
    EXPECT_EQ(man.GetCurPage()->GetLineFactor(), 2 * FIXED_ONE);
    EXPECT_EQ(man.GetMultiFactor(), 1);
    EXPECT_EQ(man.SetUseCurve(1), 0);
    EXPECT_EQ(man.GetCurPage()->GetUseCurve(), 1);
}

TEST(ManDefaults, AsConstructed) {
    InkraMan fresh;
    EXPECT_EQ(fresh.GetBackColor(), 0x00C0FFFFu);
    EXPECT_EQ(fresh.GetPenWidth(), 0x8000);
    EXPECT_EQ(fresh.GetMarkerWidth(), 6 * FIXED_ONE);
    EXPECT_EQ(fresh.GetEraserWidth(), 8 * FIXED_ONE);
    EXPECT_EQ(fresh.GetDelStrokeWidth(), 13107);
    EXPECT_EQ(fresh.GetPencelWidth(), FIXED_ONE);
    EXPECT_EQ(fresh.GetColorPenWidth(), 2 * FIXED_ONE);
    EXPECT_EQ(fresh.GetBrushWidth(), 5 * FIXED_ONE);
    EXPECT_EQ(fresh.GetAirBrushWidth(), 5 * FIXED_ONE);
    EXPECT_EQ(fresh.GetMaxAlpha(), 128);
    EXPECT_EQ(fresh.GetLineFactor(), 104857);
    EXPECT_EQ(fresh.GetDevideFactor(), 41942);
    EXPECT_EQ(fresh.IsChangedObject(), 1);
    EXPECT_EQ(fresh.GetCurPageIndex(), -1);
    EXPECT_EQ(fresh.GetDOStrokeType(), eDOPen);
    EXPECT_EQ(fresh.GetUseCurve(), 0);
    EXPECT_EQ(fresh.GetUseCompensate(), 1);
    EXPECT_TRUE(MatrixIsIdentity(fresh.GetMatrix()));
    // No page: pen events change nothing.
    EXPECT_EQ(fresh.LButtonDown(3, 3, 255).right, 0);
    EXPECT_EQ(fresh.MouseMove(9, 9, 255).right, 0);
    EXPECT_EQ(fresh.LButtonUp(9, 9, 255).right, 0);
}

using ManCopy = ManFixture;

TEST_F(ManCopy, CopySharesPagesThatOutliveIt) {
    Stroke({{20, 30}, {180, 30}});
    {
        InkraMan copy(man);
        EXPECT_EQ(copy.GetPageNum(), 1);
        EXPECT_EQ(copy.GetCurPage(), man.GetCurPage());
        EXPECT_EQ(man.GetCurPage()->GetAttachCount(), 2);
    }
    ASSERT_EQ(man.GetPageNum(), 1);
    EXPECT_EQ(man.GetCurPage()->GetAttachCount(), 1);
    EXPECT_EQ(man.GetCurPage()->GetTotalGDObjectNum(), 1);
    GDib* buffer = man.GetBufferBlock();
    buffer->FillRect(0, 0, kWidth, kHeight, RGB(1, 2, 3), 255);
    tagRECT all{0, 0, kWidth, kHeight};
    man.UpdateBuffer(all);
    EXPECT_FALSE(IsBack(100, 30));
    EXPECT_TRUE(IsBack(100, 100));
}

} // namespace
