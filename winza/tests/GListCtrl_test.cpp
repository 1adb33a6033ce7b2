#include "winza/GListCtrl.h"

#include "winza/GLib.h"
#include "winza/GListItem.h"
#include "winza_test_support.h"
#include "list_labels.h"

#include <memory>
#include <string>
#include <vector>

namespace {

// Records the control notifications that reach a window.
class NoteWinza : public LoggingWinza {
public:
    LPCWSTR GetClassNameW() override { return u"NoteWinza"; }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg >= 0x17E9 && msg <= 0x17F8) {
            notes.push_back(Note{msg, wParam, lParam});
            return 0;
        }
        return LoggingWinza::WndProc(hwnd, msg, wParam, lParam);
    }
    struct Note {
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<Note> notes;
};

// Counts the item objects the control deletes.
class CountingList : public GListCtrl {
public:
    void DeleteItem(GItem* item) override {
        ++deleted;
        GListCtrl::DeleteItem(item);
    }
    using GListCtrl::DeleteItem;
    int deleted = 0;
};

class ListCtrlTest : public WinzaTest {
protected:
    void SetUp() override {
        WinzaTest::SetUp();
        ResetDisplayMode();
        InitGLibControl();
        parent.color = RGB(0, 0, 0);
        ASSERT_EQ(parent.Create(nullptr, u"p", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320), 1);
        ASSERT_EQ(owner.Create(nullptr, u"o", WS_POPUP, 0, 0, 10, 10), 1);
        list = std::make_unique<CountingList>();
    }
    void TearDown() override {
        list.reset();
        WinzaTest::TearDown();
        FreeGLibControl();
        ResetDisplayMode();
    }
    // A list of 200 x 100 at (10, 10) in the parent, id 77.
    void MakeList() {
        RECT r{10, 10, 210, 110};
        ASSERT_EQ(list->Create(parent.GetSafeHwnd(), &owner, WS_CHILD | WS_VISIBLE, &r, 77), 1);
    }
    void AddAll(std::initializer_list<const char16_t*> labels, int atTail = 1) {
        for (const char16_t* l : labels)
            ASSERT_NE(list->AddItem(l, 0, atTail), nullptr);
    }
    POSITION At(int index) { return list->GetItemList()->FindIndex(index); }
    void Tap(int x, int y) {
        plat::InputStylusDown(x, y);
        plat::InputStylusUp(x, y);
        Pump();
    }
    NoteWinza parent;
    NoteWinza owner;
    std::unique_ptr<CountingList> list;
};

TEST_F(ListCtrlTest, SortOrdersAndInsertionPositions) {
    AddAll({u"b", u"a", u"c"});
    EXPECT_EQ(Labels(*list, u""), u"abc");
    list->RemoveAllItem(0);
    list->SetSortType(eSortDescending);
    AddAll({u"b", u"a", u"c"});
    EXPECT_EQ(Labels(*list, u""), u"cba");
    list->RemoveAllItem(0);
    list->SetSortType(eSortNone);
    AddAll({u"b", u"a", u"c"}, 1);
    EXPECT_EQ(Labels(*list, u""), u"bac");
    list->RemoveAllItem(0);
    AddAll({u"b", u"a", u"c"}, 0);
    EXPECT_EQ(Labels(*list, u""), u"cab");
    // Without a compare function every item goes before the head.
    list->RemoveAllItem(0);
    list->SetSortType(eSortAscending);
    list->SetCompareProc(nullptr);
    AddAll({u"b", u"a", u"c"});
    EXPECT_EQ(Labels(*list, u""), u"cab");
    // The returned position holds the new item.
    POSITION p = list->AddItem(u"z", 0, 1);
    EXPECT_EQ(list->GetGItem(p)->GetLabel(), std::u16string(u"z"));
}

TEST_F(ListCtrlTest, EqualLabelsGoAfterAscendingAndBeforeDescending) {
    auto add = [&](const char16_t* label, int tag) {
        GItem* item = list->CreateItem(label);
        item->SetImageIndex(tag);
        return list->InsertItem(item, 1);
    };
    add(u"a", 1);
    add(u"b", 2);
    add(u"a", 3);
    GList* items = list->GetItemList();
    EXPECT_EQ(static_cast<GItem*>(items->GetAt(items->FindIndex(1)))->GetImageIndex(), 3);
    list->RemoveAllItem(0);
    list->SetSortType(eSortDescending);
    add(u"a", 1);
    add(u"b", 2);
    add(u"a", 3);
    // b, then the later a before the earlier one.
    items = list->GetItemList();
    EXPECT_EQ(static_cast<GItem*>(items->GetAt(items->FindIndex(0)))->GetImageIndex(), 2);
    EXPECT_EQ(static_cast<GItem*>(items->GetAt(items->FindIndex(1)))->GetImageIndex(), 3);
    EXPECT_EQ(list->InsertItem(nullptr, 1), nullptr);
}

TEST_F(ListCtrlTest, SortListReordersAndTheSelectionFollowsItsItem) {
    list->SetSortType(eSortNone);
    AddAll({u"d", u"b", u"a", u"c"});
    list->SelectItem(list->FindItem(SpecialHeadPosition(), u"b"), 0);
    list->SetSortType(eSortAscending);
    list->SortList(0);
    EXPECT_EQ(Labels(*list, u""), u"abcd");
    EXPECT_EQ(list->GetItemText(), std::u16string(u"b"));
    EXPECT_EQ(list->GetSelItem(), At(1));
    list->SetSortType(eSortDescending);
    list->SortList(0);
    EXPECT_EQ(Labels(*list, u""), u"dcba");
    EXPECT_EQ(list->GetSelItem(), At(2));
    EXPECT_EQ(list->deleted, 0);
}

TEST_F(ListCtrlTest, FindDeleteAndCounts) {
    EXPECT_EQ(list->GetCount(), -1);
    EXPECT_EQ(list->FindItem(SpecialHeadPosition(), u"a"), nullptr);
    EXPECT_EQ(list->GetItemText(), nullptr);
    list->SetSortType(eSortNone);
    AddAll({u"a", u"b", u"c", u"b"});
    EXPECT_EQ(list->GetCount(), 4);
    POSITION first = list->FindItem(SpecialHeadPosition(), u"b");
    EXPECT_EQ(first, At(1));
    // From a start position, the start itself is searched first.
    EXPECT_EQ(list->FindItem(first, u"b"), first);
    POSITION after = At(2);
    EXPECT_EQ(list->FindItem(after, u"b"), At(3));
    EXPECT_EQ(list->FindItem(after, u"a"), nullptr);
    EXPECT_EQ(list->FindItem(SpecialHeadPosition(), nullptr), nullptr);

    list->SelectItem(At(0), 0);
    list->DeleteItem(SpecialHeadPosition(), 0); // the head
    EXPECT_EQ(Labels(*list, u""), u"bcb");
    EXPECT_EQ(list->GetSelItem(), nullptr); // the selected row went with it
    EXPECT_EQ(list->deleted, 1);
    list->DeleteItem(static_cast<POSITION>(nullptr), 0);
    EXPECT_EQ(list->GetCount(), 3);
}

TEST_F(ListCtrlTest, ColumnsAndTheHitColumn) {
    EXPECT_EQ(list->AddColumn(50), 1);
    EXPECT_EQ(list->AddColumn(20), 2);
    EXPECT_EQ(list->AddColumn(-1), 3);
    EXPECT_EQ(list->GetColumnWidth(1), 20);
    EXPECT_EQ(list->GetColumnWidth(3), -1);
    EXPECT_EQ(list->GetColumnWidth(-1), -1);
    MakeList();
    AddAll({u"a", u"b"});
    EXPECT_EQ(list->HitTest(POINT{10, 5}), At(0));
    EXPECT_EQ(list->GetHitColumn(), 0);
    list->HitTest(POINT{60, 5});
    EXPECT_EQ(list->GetHitColumn(), 1);
    list->HitTest(POINT{150, 30});
    EXPECT_EQ(list->GetHitColumn(), 2);
    list->DeleteColumn(0);
    EXPECT_EQ(list->GetColumnCount(), 2);
    EXPECT_EQ(list->GetColumnWidth(0), 20);
    list->RemoveAllColumn();
    list->HitTest(POINT{10, 5});
    EXPECT_EQ(list->GetHitColumn(), -1);
    // The items hold the control's columns.
    auto* item = dynamic_cast<GListItem*>(list->GetGItem(At(0)));
    ASSERT_NE(item, nullptr);
    EXPECT_NE(item->GetColumns(), nullptr);
}

TEST_F(ListCtrlTest, ScrollBarsComeWhenNeededAndGoWithTheItems) {
    MakeList();
    AddAll({u"a", u"b", u"c"});
    list->UpdateScroll(0, 0);
    EXPECT_FALSE(list->IsShowScrollBarV());
    for (int i = 0; i < 10; ++i)
        list->AddItem(u"x", 0, 1);
    list->UpdateScroll(0, 0);
    ASSERT_TRUE(list->IsShowScrollBarV());
    EXPECT_FALSE(list->IsShowScrollBarH());
    GScrollBar* v = list->GetScrollBarV();
    EXPECT_TRUE(::IsWindowVisible(v->GetSafeHwnd()));
    // 13 rows of 24: the range is the content less one without a horizontal bar.
    EXPECT_EQ(v->GetScrollPage(), 100);
    EXPECT_EQ(v->GetScrollMax(), 13 * 24 - 1 - 100);
    EXPECT_EQ(v->GetLineStep(), 24);
    RECT r;
    ::GetWindowRect(v->GetSafeHwnd(), &r);
    EXPECT_EQ(r.left, 210 - 14);
    EXPECT_EQ(r.bottom, 110);

    // With the horizontal flag both bars show and shorten each other.
    list->ShowHorizontalScrollBar(1);
    list->UpdateScroll(0, 0);
    ASSERT_TRUE(list->IsShowScrollBarH());
    ::GetWindowRect(v->GetSafeHwnd(), &r);
    EXPECT_EQ(r.bottom, 110 - 14);
    EXPECT_EQ(v->GetScrollMax(), 13 * 24 + 2 - 86);
    GScrollBar* h = list->GetScrollBarH();
    ::GetWindowRect(h->GetSafeHwnd(), &r);
    EXPECT_EQ(r.right, 210 - 14);
    EXPECT_EQ(r.top, 110 - 14);
    EXPECT_EQ(h->GetScrollPage(), 186);

    v->SetScrollPos(50);
    list->RemoveAllItem(0);
    EXPECT_FALSE(list->IsShowScrollBarV());
    EXPECT_FALSE(list->IsShowScrollBarH());
    EXPECT_FALSE(::IsWindowVisible(v->GetSafeHwnd()));
    EXPECT_FALSE(::IsWindowVisible(h->GetSafeHwnd()));
    EXPECT_EQ(list->GetScrollPosV(), 0);
    EXPECT_EQ(list->GetCount(), 0);
    EXPECT_EQ(list->deleted, 13);
}

TEST_F(ListCtrlTest, SelectingKeepsTheRowVisible) {
    MakeList();
    for (int i = 0; i < 20; ++i)
        list->AddItem(u"r", 0, 1);
    list->UpdateScroll(0, 0);
    list->SelectItem(At(10), 1);
    // Row 10 ends at 264; the visible height is 100.
    EXPECT_EQ(list->GetScrollPosV(), 264 - 100);
    list->SelectItem(At(12), 0);
    EXPECT_EQ(list->GetScrollPosV(), 13 * 24 - 100);
    list->SelectItem(At(2), 0);
    EXPECT_EQ(list->GetScrollPosV(), 48);
    // A row already in view does not move the list.
    list->SelectItem(At(3), 0);
    EXPECT_EQ(list->GetScrollPosV(), 48);
    // The last row, at the bottom of the range.
    list->SelectItem(At(19), 0);
    EXPECT_EQ(list->GetScrollPosV(), list->GetScrollBarV()->GetScrollMax());
}

TEST_F(ListCtrlTest, PenDownSelectsAndNotifiesParentThenOwner) {
    MakeList();
    AddAll({u"a", u"b", u"c"});
    Pump();
    Tap(20, 10 + 24 + 5); // row 1
    ASSERT_EQ(parent.notes.size(), 1u);
    EXPECT_EQ(parent.notes[0].msg, kMsgCtrlPenDown);
    EXPECT_EQ(parent.notes[0].wParam, 0u);
    EXPECT_EQ(parent.notes[0].lParam, 77);
    ASSERT_EQ(owner.notes.size(), 1u);
    EXPECT_EQ(owner.notes[0].msg, kMsgListTouched);
    EXPECT_EQ(owner.notes[0].wParam, reinterpret_cast<WPARAM>(At(1)));
    EXPECT_EQ(owner.notes[0].lParam, 77);
    EXPECT_EQ(list->GetSelItem(), At(1));
    EXPECT_EQ(::GetFocus(), list->GetSafeHwnd());
    POINT p = list->GetCurPoint();
    EXPECT_EQ(p.x, 10);
    EXPECT_EQ(p.y, 29);
    // The selected row is drawn in the selection colour.
    EXPECT_EQ(ScreenPixel(15, 10 + 24 + 2), GetGLibColor(70));
    EXPECT_EQ(ScreenPixel(15, 10 + 2), GetGLibColor(69));
    // Each row is closed by a line.
    EXPECT_EQ(ScreenPixel(15, 10 + 23), static_cast<COLORREF>(0x989898));

    // Below the last row: a null position and no selection.
    clock.Advance(1000);
    Tap(20, 100);
    ASSERT_EQ(owner.notes.size(), 2u);
    EXPECT_EQ(owner.notes[1].wParam, 0u);
    EXPECT_EQ(list->GetSelItem(), nullptr);
    EXPECT_EQ(ScreenPixel(15, 10 + 24 + 2), GetGLibColor(69));

    // A double tap reports the row under the pen.
    clock.Advance(1000);
    Tap(20, 12);
    clock.Advance(50);
    Tap(20, 12);
    ASSERT_EQ(owner.notes.size(), 4u);
    EXPECT_EQ(owner.notes[3].msg, kMsgListDoubleTap);
    EXPECT_EQ(owner.notes[3].wParam, reinterpret_cast<WPARAM>(At(0)));
}

TEST_F(ListCtrlTest, ScrollingIsPassedOnAndTheWheelMovesThreeRows) {
    MakeList();
    for (int i = 0; i < 20; ++i)
        list->AddItem(u"r", 0, 1);
    list->UpdateScroll(0, 0);
    Pump();
    // The down arrow of the vertical bar, at the list's bottom right.
    Tap(205, 105);
    ASSERT_FALSE(owner.notes.empty());
    EXPECT_EQ(owner.notes.back().msg, kMsgListScrolled);
    EXPECT_EQ(owner.notes.back().wParam, 1u);
    EXPECT_EQ(owner.notes.back().lParam, 24);
    EXPECT_EQ(list->GetScrollPosV(), 24);
    // Rows follow the bar: row 1 is now at the top.
    EXPECT_EQ(list->HitTest(POINT{5, 5}), At(1));

    ::SetFocus(list->GetSafeHwnd());
    plat::InputWheel(-120, 50, 50);
    Pump();
    EXPECT_EQ(list->GetScrollPosV(), 24 + 72);
    plat::InputWheel(240, 50, 50);
    Pump();
    EXPECT_EQ(list->GetScrollPosV(), 0);
    // Without a vertical bar the wheel does nothing.
    list->RemoveAllItem(0);
    plat::InputWheel(-120, 50, 50);
    Pump();
    EXPECT_EQ(list->GetScrollPosV(), 0);
}

TEST_F(ListCtrlTest, OwnedAndOutsideLists) {
    AddAll({u"a", u"b"});
    GList outside;
    auto* x = new GListItem(u"x");
    outside.AddTail(x);
    // Taking an outside list deletes the owned one with its items.
    list->SetItemList(&outside, 0);
    EXPECT_EQ(list->deleted, 2);
    EXPECT_EQ(Labels(*list, u""), u"x");
    // Adding goes into the outside list; letting go of it deletes nothing.
    list->AddItem(u"a", 0, 1);
    EXPECT_EQ(outside.GetCount(), 2);
    list->SetItemList(nullptr, 0);
    EXPECT_EQ(list->deleted, 2);
    EXPECT_EQ(outside.GetCount(), 2);
    for (POSITION pos = outside.GetHeadPosition(); pos;)
        delete static_cast<GItem*>(outside.GetNext(pos));
    // Letting go of an owned list (as the destructor does) deletes its items.
    auto other = std::make_unique<CountingList>();
    other->AddItem(u"q", 0, 1);
    other->SetItemList(nullptr, 0);
    EXPECT_EQ(other->deleted, 1);
    EXPECT_EQ(other->GetCount(), -1);
}

TEST_F(ListCtrlTest, ColoursComeFromTheTableOnCreation) {
    EXPECT_EQ(list->GetDefBackColor(), RGB(255, 255, 255));
    EXPECT_EQ(list->GetSelBackColor(), RGB(0, 0, 255));
    SetGLibColor(69, RGB(1, 2, 3));
    MakeList();
    EXPECT_EQ(list->GetDefBackColor(), RGB(1, 2, 3));
    EXPECT_EQ(list->GetSelTextColor(), GetGLibColor(72));
    Pump();
    EXPECT_EQ(ScreenPixel(50, 50), RGB(1, 2, 3));
    EXPECT_EQ(list->Create(parent.GetSafeHwnd(), &owner, WS_CHILD, nullptr, 1), 0);
}

} // namespace
