// The page's object list: attachment, insertion order, unions of bounds, selection by
// rectangle, copy, cut and delete.
#include "ink_page_support.h"

using inktest::MakeStroke;
using inktest::PageFixture;
using inktest::SameRect;

namespace {

using PageAttach = PageFixture;

TEST_F(PageAttach, SecondDetachmentReleasesTheObjects) {
    page.AttachDrawMan(&buffer, &back, mask.data(), tagRECT{0, 0, 10, 10}, 1, 2, 1);
    page.AddGDObject(MakeStroke(eDOPen, tagRECT{1, 1, 5, 5}));
    EXPECT_EQ(page.DetachDrawMan(), 1);
    EXPECT_EQ(page.GetTotalGDObjectNum(), 1);
    EXPECT_EQ(page.DetachDrawMan(), 0);
    EXPECT_EQ(page.GetTotalGDObjectNum(), 0);
    // Detaching an unattached page stays at 0.
    EXPECT_EQ(page.DetachDrawMan(), 0);
}

TEST_F(PageAttach, SetDrawManActsOnlyWhileAttached) {
    page.SetDrawMan(&buffer, &back, mask.data(), tagRECT{2, 3, 4, 5}, 7, 8, 1);
    EXPECT_TRUE(SameRect(page.GetValidRect(), tagRECT{2, 3, 4, 5}));
    EXPECT_EQ(page.GetLineFactor(), 7);
    page.DetachDrawMan();
    page.SetDrawMan(&buffer, &back, mask.data(), tagRECT{9, 9, 9, 9}, 1, 1, 0);
    EXPECT_TRUE(SameRect(page.GetValidRect(), tagRECT{2, 3, 4, 5}));
    EXPECT_EQ(page.GetLineFactor(), 7);
}

using PageList = PageFixture;

TEST_F(PageList, AddAndInsertKeepDrawingOrder) {
    GDObject* a = MakeStroke(eDOPen, tagRECT{10, 10, 20, 20});
    GDObject* b = MakeStroke(eDOPen, tagRECT{5, 30, 8, 40});
    GDObject* c = MakeStroke(eDOMarker, tagRECT{1, 1, 2, 2});
    EXPECT_TRUE(SameRect(page.AddGDObject(a), tagRECT{10, 10, 20, 20}));
    page.InsertGDObjectT(b);
    page.InsertGDObjectH(c);
    ASSERT_EQ(page.GetTotalGDObjectNum(), 3);
    EXPECT_EQ(page.GetGDObject(0), c);
    EXPECT_EQ(page.GetGDObject(1), a);
    EXPECT_EQ(page.GetGDObject(2), b);
    EXPECT_TRUE(SameRect(page.AddGDObject(static_cast<GDObject*>(nullptr)), tagRECT{0, 0, 0, 0}));
}

TEST_F(PageList, ArrayInsertAtTheBottomKeepsArrayOrderAndUnitesBounds) {
    page.AddGDObject(MakeStroke(eDOPen, tagRECT{0, 0, 1, 1}));
    GArray list;
    GDObject* a = MakeStroke(eDOPen, tagRECT{10, 12, 20, 22});
    GDObject* b = MakeStroke(eDOPen, tagRECT{4, 30, 8, 40});
    list.Add(a);
    list.Add(nullptr);
    list.Add(b);
    EXPECT_TRUE(SameRect(page.InsertGDObjectH(&list), tagRECT{4, 12, 20, 40}));
    EXPECT_EQ(page.GetGDObject(0), a);
    EXPECT_EQ(page.GetGDObject(1), b);
    EXPECT_EQ(page.GetTotalGDObjectNum(), 3);
    GArray empty;
    EXPECT_TRUE(SameRect(page.AddGDObject(&empty), tagRECT{0, 0, 0, 0}));
    EXPECT_TRUE(SameRect(page.AddGDObject(static_cast<GArray*>(nullptr)), tagRECT{0, 0, 0, 0}));
}

TEST_F(PageList, VisibleCountLeavesOutErasersAndTrails) {
    page.AddGDObject(MakeStroke(eDOEraser, tagRECT{0, 0, 5, 5}));
    page.AddGDObject(MakeStroke(eDOEraser, tagRECT{0, 0, 5, 5}));
    EXPECT_EQ(page.GetVisibleGDObjectNum(), 0);
    for (eDOStrokeType t : {eDOPen, eDOMarker, eDOPencel, eDOColorPen, eDOBrush, eDOAirBrush})
        page.AddGDObject(MakeStroke(t, tagRECT{0, 0, 5, 5}));
    page.AddGDObject(MakeStroke(eDODelStroke, tagRECT{0, 0, 5, 5}));
    GDObject* text = AllocGDObject();
    text->kind = DO_TEXT;
    page.AddGDObject(text);
    EXPECT_EQ(page.GetVisibleGDObjectNum(), 6);
    EXPECT_EQ(page.GetTotalGDObjectNum(), 10);
}

using PageDelete = PageFixture;

TEST_F(PageDelete, SingleObjectReturnsItsBoundsOrZeros) {
    GDObject* a = MakeStroke(eDOPen, tagRECT{3, 4, 9, 10});
    page.AddGDObject(a);
    GDObject* stranger = MakeStroke(eDOPen, tagRECT{1, 1, 2, 2});
    EXPECT_TRUE(SameRect(page.DeleteGDObject(stranger, 1), tagRECT{0, 0, 0, 0}));
    EXPECT_EQ(stranger->kind, DO_STROKE); // not on the page: not released
    FreeGDObject(stranger);
    EXPECT_TRUE(SameRect(page.DeleteGDObject(a, 0), tagRECT{3, 4, 9, 10}));
    EXPECT_EQ(page.GetTotalGDObjectNum(), 0);
    EXPECT_EQ(a->pointCount, 2); // kept: not released
    FreeGDObject(a);
}

TEST_F(PageDelete, ListKeepsEraserStrokesAndEmptiesTheArray) {
    GDObject* pen = MakeStroke(eDOPen, tagRECT{10, 10, 20, 20});
    GDObject* eraser = MakeStroke(eDOEraser, tagRECT{0, 0, 30, 30});
    GDObject* marker = MakeStroke(eDOMarker, tagRECT{15, 5, 40, 12});
    page.AddGDObject(pen);
    page.AddGDObject(eraser);
    page.AddGDObject(marker);
    GArray list;
    list.Add(pen);
    list.Add(eraser);
    list.Add(marker);
    EXPECT_TRUE(SameRect(page.DeleteGDObject(&list, 1), tagRECT{10, 5, 40, 20}));
    EXPECT_EQ(list.GetSize(), 0);
    ASSERT_EQ(page.GetTotalGDObjectNum(), 1);
    EXPECT_EQ(page.GetGDObject(0), eraser);
}

TEST_F(PageDelete, NothingRemovedReturnsTheUnionStart) {
    GArray list;
    EXPECT_TRUE(SameRect(page.DeleteGDObject(&list, 1), tagRECT{100000, 100000, 0, 0}));
}

using PageSelect = PageFixture;

TEST_F(PageSelect, RectangleTakesOnlyObjectsWhollyInside) {
    GDObject* inside = MakeStroke(eDOPen, tagRECT{10, 10, 20, 20});
    GDObject* partly = MakeStroke(eDOPen, tagRECT{25, 10, 45, 20});
    page.AddGDObject(inside);
    page.AddGDObject(partly);
    GArray out;
    out.Add(partly); // emptied first
    EXPECT_TRUE(SameRect(page.SelectGDObject(&identity, tagRECT{5, 5, 30, 30}, &out),
                         tagRECT{10, 10, 20, 20}));
    ASSERT_EQ(out.GetSize(), 1);
    EXPECT_EQ(out.GetAt(0), inside);
    // Exactly the bounds still selects.
    page.SelectGDObject(&identity, tagRECT{25, 10, 45, 20}, &out);
    ASSERT_EQ(out.GetSize(), 1);
    EXPECT_EQ(out.GetAt(0), partly);
}

TEST_F(PageSelect, ZeroWidthOrHeightSelectsNothing) {
    page.AddGDObject(MakeStroke(eDOPen, tagRECT{10, 10, 10, 20}));
    GArray out;
    EXPECT_TRUE(
        SameRect(page.SelectGDObject(&identity, tagRECT{5, 5, 5, 30}, &out), tagRECT{0, 0, 0, 0}));
    EXPECT_TRUE(
        SameRect(page.SelectGDObject(&identity, tagRECT{5, 5, 30, 5}, &out), tagRECT{0, 0, 0, 0}));
    EXPECT_EQ(out.GetSize(), 0);
}

TEST_F(PageSelect, ThroughTheMatrix) {
    GDObject* a = MakeStroke(eDOPen, tagRECT{10, 10, 20, 20});
    page.AddGDObject(a);
    MATRIX shift = identity;
    shift.dx = 100 * FIXED_ONE;
    GArray out;
    page.SelectGDObject(&shift, tagRECT{5, 5, 30, 30}, &out);
    EXPECT_EQ(out.GetSize(), 0);
    page.SelectGDObject(&shift, tagRECT{105, 5, 130, 30}, &out);
    EXPECT_EQ(out.GetSize(), 1);
}

using PageCopy = PageFixture;

TEST_F(PageCopy, CopiesAreIndependentAndReplaceTheTarget) {
    GDObject* a = MakeStroke(eDOPen, {inktest::Pt(11, 11), inktest::Pt(19, 19)},
                             tagRECT{10, 10, 20, 20}, RGB(1, 2, 3));
    page.AddGDObject(a);
    GArray from;
    from.Add(a);
    GArray to;
    to.Add(MakeStroke(eDOMarker, tagRECT{0, 0, 1, 1})); // released by the copy
    EXPECT_TRUE(SameRect(page.CopyGDObject(&from, &to), tagRECT{10, 10, 20, 20}));
    ASSERT_EQ(to.GetSize(), 1);
    auto* copy = static_cast<GDObject*>(to.GetAt(0));
    EXPECT_NE(copy, a);
    EXPECT_NE(copy->points, a->points);
    EXPECT_EQ(copy->points[1].x, a->points[1].x);
    EXPECT_EQ(copy->red, 1);
    // The page keeps its object; changing the copy leaves it alone.
    copy->points[1].x = 0;
    EXPECT_EQ(a->points[1].x, 19 * FIXED_ONE);
    EXPECT_EQ(page.GetTotalGDObjectNum(), 1);
    // Copying a list onto itself gives fresh copies, not released records.
    page.CopyGDObject(&to, &to);
    ASSERT_EQ(to.GetSize(), 1);
    EXPECT_EQ(static_cast<GDObject*>(to.GetAt(0))->kind, DO_STROKE);
    for (int i = 0; i < to.GetSize(); ++i)
        FreeGDObject(static_cast<GDObject*>(to.GetAt(i)));
}

TEST_F(PageCopy, BySelectionRectangle) {
    page.AddGDObject(MakeStroke(eDOPen, tagRECT{10, 10, 20, 20}));
    page.AddGDObject(MakeStroke(eDOPen, tagRECT{30, 10, 40, 20}));
    GArray to;
    EXPECT_TRUE(SameRect(page.CopyGDObject(&identity, tagRECT{25, 0, 50, 30}, &to),
                         tagRECT{30, 10, 40, 20}));
    EXPECT_EQ(to.GetSize(), 1);
    EXPECT_EQ(page.GetTotalGDObjectNum(), 2);
    for (int i = 0; i < to.GetSize(); ++i)
        FreeGDObject(static_cast<GDObject*>(to.GetAt(i)));
}

using PageCut = PageFixture;

TEST_F(PageCut, CutThenAddRestoresTheSameRecordsOnTop) {
    GDObject* a = MakeStroke(eDOPen, tagRECT{10, 10, 20, 20});
    GDObject* b = MakeStroke(eDOPen, tagRECT{30, 10, 40, 20});
    GDObject* c = MakeStroke(eDOPen, tagRECT{1, 1, 3, 3});
    page.AddGDObject(a);
    page.AddGDObject(b);
    page.AddGDObject(c);
    GArray from;
    from.Add(a);
    from.Add(b);
    GArray to;
    EXPECT_TRUE(SameRect(page.CutGDObject(&from, &to), tagRECT{10, 10, 40, 20}));
    ASSERT_EQ(page.GetTotalGDObjectNum(), 1);
    EXPECT_EQ(to.GetSize(), 2);
    page.AddGDObject(&to);
    ASSERT_EQ(page.GetTotalGDObjectNum(), 3);
    EXPECT_EQ(page.GetGDObject(0), c);
    EXPECT_EQ(page.GetGDObject(1), a);
    EXPECT_EQ(page.GetGDObject(2), b);
}

TEST_F(PageCut, ObjectNotOnThePageGivesTheUnionStart) {
    GDObject* stranger = MakeStroke(eDOPen, tagRECT{1, 1, 2, 2});
    GArray to;
    EXPECT_TRUE(SameRect(page.CutGDObject(stranger, &to), tagRECT{100000, 100000, 0, 0}));
    EXPECT_EQ(to.GetSize(), 0);
    FreeGDObject(stranger);
}

TEST_F(PageCut, ListOntoItselfMovesWithoutReleasing) {
    GDObject* a = MakeStroke(eDOPen, tagRECT{10, 10, 20, 20});
    page.AddGDObject(a);
    GArray list;
    list.Add(a);
    page.CutGDObject(&list, &list);
    ASSERT_EQ(list.GetSize(), 1);
    EXPECT_EQ(a->kind, DO_STROKE);
    EXPECT_EQ(page.GetTotalGDObjectNum(), 0);
    FreeGDObject(a);
}

} // namespace
