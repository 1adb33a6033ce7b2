#include "winza/GTreeCtrl.h"

#include "winza/GLib.h"
#include "winza/GTreeItem.h"
#include "winza_test_support.h"

#include <memory>
#include <string>
#include <vector>

namespace {

class NoteWinza : public LoggingWinza {
public:
    LPCWSTR GetClassNameW() override { return u"TreeNoteWinza"; }
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
    std::vector<UINT> Messages() const {
        std::vector<UINT> m;
        for (const Note& n : notes)
            m.push_back(n.msg);
        return m;
    }
    std::vector<Note> notes;
};

class CountingTree : public GTreeCtrl {
public:
    void DeleteItem(GItem* item) override {
        if (item)
            ++deleted;
        GTreeCtrl::DeleteItem(item);
    }
    using GTreeCtrl::DeleteItem;
    void ToggleItem(POSITION pos, bool redraw) override {
        ++toggles;
        GTreeCtrl::ToggleItem(pos, redraw);
    }
    int deleted = 0;
    int toggles = 0;
};

class TreeCtrlTest : public WinzaTest {
protected:
    void SetUp() override {
        WinzaTest::SetUp();
        ResetDisplayMode();
        InitGLibControl();
        ASSERT_EQ(parent.Create(nullptr, u"p", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320), 1);
        ASSERT_EQ(owner.Create(nullptr, u"o", WS_POPUP, 0, 0, 10, 10), 1);
        tree = std::make_unique<CountingTree>();
        RECT r{10, 10, 210, 210};
        ASSERT_EQ(tree->Create(parent.GetSafeHwnd(), &owner, WS_CHILD | WS_VISIBLE, r, 55), 1);
    }
    void TearDown() override {
        tree.reset();
        WinzaTest::TearDown();
        FreeGLibControl();
        ResetDisplayMode();
    }
    POSITION Root() { return SpecialHeadPosition(); }
    std::u16string Label(POSITION pos) {
        GItem* item = tree->GetGItem(pos);
        return item && item->GetLabel() ? item->GetLabel() : u"";
    }
    // Labels of the direct children of pos, in order.
    std::u16string Children(POSITION pos) {
        std::u16string s;
        for (POSITION c = tree->GetChildItem(pos); c; c = tree->GetNextItem(c))
            s += Label(c);
        return s;
    }
    void AddChildren(POSITION parentPos, std::initializer_list<const char16_t*> labels,
                     bool atTail = true) {
        for (const char16_t* l : labels)
            ASSERT_NE(tree->InsertChild(parentPos, l, false, atTail), nullptr);
    }
    void Key(int vk) {
        plat::InputKey(vk, true);
        plat::InputKey(vk, false);
        Pump();
    }
    void Tap(int x, int y) {
        plat::InputStylusDown(x, y);
        plat::InputStylusUp(x, y);
        Pump();
        clock.Advance(1000); // the next tap is not a double tap
    }
    NoteWinza parent;
    NoteWinza owner;
    std::unique_ptr<CountingTree> tree;
};

TEST_F(TreeCtrlTest, InsertionFollowsTheSortType) {
    ASSERT_NE(tree->SetRoot(u"root"), nullptr);
    AddChildren(Root(), {u"b", u"a", u"c", u"b"});
    EXPECT_EQ(Children(Root()), u"abbc");
    tree->DeleteChildItem(Root(), false);
    tree->SetSortType(eSortDescending);
    AddChildren(Root(), {u"b", u"a", u"c"});
    EXPECT_EQ(Children(Root()), u"cba");
    tree->DeleteChildItem(Root(), false);
    tree->SetSortType(eSortNone);
    AddChildren(Root(), {u"b", u"a", u"c"}, true);
    EXPECT_EQ(Children(Root()), u"bac");
    tree->DeleteChildItem(Root(), false);
    AddChildren(Root(), {u"b", u"a", u"c"}, false);
    EXPECT_EQ(Children(Root()), u"cab");
    tree->DeleteChildItem(Root(), false);
    tree->SetSortType(eSortAscending);
    tree->SetCompareProc(nullptr);
    AddChildren(Root(), {u"b", u"a", u"c"});
    EXPECT_EQ(Children(Root()), u"cab");
    tree->SetCompareProc(CompareItemLabel);

    // Siblings go under the same parent by the same rules.
    POSITION a = tree->FindChildItem(Root(), u"a");
    POSITION d = tree->InsertSibling(a, u"d", false, true);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(tree->GetParentItem(d), tree->GetTopItem());
    EXPECT_EQ(tree->GetNextItem(d), nullptr); // after c
    EXPECT_EQ(tree->InsertSibling(tree->GetTopItem(), u"x", false, true), nullptr);
    EXPECT_EQ(tree->InsertSibling(nullptr, u"x", false, true), nullptr);
    // Items carry the control's image list and start closed.
    auto* item = dynamic_cast<GTreeItem*>(tree->GetGItem(d));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->IsOpen(), 0);
}

TEST_F(TreeCtrlTest, SetRootReplacesOnlyTheRootItem) {
    EXPECT_EQ(tree->SetRoot(u""), nullptr);
    EXPECT_EQ(tree->SetRoot(nullptr), nullptr);
    POSITION root = tree->SetRoot(u"one");
    AddChildren(Root(), {u"a", u"b"});
    EXPECT_EQ(tree->SetRoot(u""), nullptr);
    EXPECT_EQ(Label(root), u"one");
    EXPECT_EQ(tree->SetRoot(u"two"), root);
    EXPECT_EQ(tree->deleted, 1);
    EXPECT_EQ(Label(root), u"two");
    EXPECT_EQ(Children(Root()), u"ab");
}

// Deleting an item takes every sibling after it too, each with its subtree: this is how the
// children of a row are cleared through their first child.
TEST_F(TreeCtrlTest, DeleteTakesTheSubtreeAndTheFollowingSiblings) {
    tree->SetRoot(u"root");
    AddChildren(Root(), {u"a", u"b", u"c", u"d"});
    POSITION b = tree->FindChildItem(Root(), u"b");
    POSITION c = tree->FindChildItem(Root(), u"c");
    AddChildren(b, {u"b1", u"b2"});
    AddChildren(c, {u"c1"});
    AddChildren(tree->FindChildItem(Root(), u"a"), {u"a1"});
    POSITION c1 = tree->FindChildItem(c, u"c1");
    tree->SelectItem(c1, false);
    tree->DeleteItem(b, false);
    EXPECT_EQ(Children(Root()), u"a");
    EXPECT_EQ(tree->deleted, 6);            // b, b1, b2, c, c1, d
    EXPECT_EQ(tree->GetSelItem(), nullptr); // the selection was in the deleted part
    EXPECT_EQ(Children(tree->FindChildItem(Root(), u"a")), u"a1");

    // The first child clears all children; DeleteChildItem does the same.
    AddChildren(Root(), {u"b", u"c"});
    tree->DeleteItem(tree->GetChildItem(Root()), false);
    EXPECT_EQ(Children(Root()), u"");
    AddChildren(Root(), {u"x", u"y"});
    tree->SelectItem(tree->GetTopItem(), false);
    tree->DeleteChildItem(Root(), false);
    EXPECT_EQ(Children(Root()), u"");
    EXPECT_EQ(tree->GetSelItem(), tree->GetTopItem()); // the root itself stays
    EXPECT_EQ(Label(tree->GetTopItem()), u"root");
    const int before = tree->deleted;
    tree->DeleteChildItem(Root(), false); // nothing to delete
    EXPECT_EQ(tree->deleted, before);

    // The special position deletes the root item and everything under it.
    AddChildren(Root(), {u"p"});
    tree->DeleteItem(Root(), false);
    EXPECT_EQ(tree->GetFirstDrawPos(), nullptr);
    EXPECT_EQ(tree->FindItem(Root(), u"p"), nullptr);
}

TEST_F(TreeCtrlTest, FindSearchesStartSiblingsThenChildren) {
    tree->SetRoot(u"root");
    AddChildren(Root(), {u"a", u"b", u"c"});
    POSITION a = tree->FindChildItem(Root(), u"a");
    POSITION b = tree->FindChildItem(Root(), u"b");
    AddChildren(a, {u"x"});
    AddChildren(b, {u"x", u"y"});
    POSITION ax = tree->GetChildItem(a);
    POSITION bx = tree->GetChildItem(b);
    EXPECT_EQ(tree->FindItem(Root(), u"root"), tree->GetTopItem());
    EXPECT_EQ(tree->FindItem(Root(), u"x"), ax);
    // From b: b itself, then c, then b's children.
    EXPECT_EQ(tree->FindItem(b, u"x"), bx);
    EXPECT_EQ(tree->FindItem(a, u"c"), tree->FindChildItem(Root(), u"c"));
    // Earlier siblings are not searched.
    EXPECT_EQ(tree->FindItem(b, u"a"), nullptr);
    EXPECT_EQ(tree->FindItem(a, u"y"), tree->FindChildItem(b, u"y"));
    EXPECT_EQ(tree->FindItem(Root(), u"none"), nullptr);
    EXPECT_EQ(tree->FindItem(nullptr, u"x"), nullptr);
    EXPECT_EQ(tree->FindItem(Root(), nullptr), nullptr);
    EXPECT_EQ(tree->FindChildItem(Root(), u"x"), nullptr); // not a direct child
    EXPECT_EQ(tree->FindChildItem(b, u"y"), tree->GetNextItem(bx));
}

TEST_F(TreeCtrlTest, NavigationWithoutATreeGivesNull) {
    tree->SetItemTree(nullptr, 0);
    EXPECT_EQ(tree->GetTopItem(), nullptr);
    EXPECT_EQ(tree->GetChildItem(Root()), nullptr);
    EXPECT_EQ(tree->GetParentItem(Root()), nullptr);
    EXPECT_EQ(tree->GetGItem(Root()), nullptr);
    EXPECT_EQ(tree->FindItem(Root(), u"a"), nullptr);
    tree->DeleteItem(Root(), true);
    tree->UpdateScroll(1, 1);
    // Inserting makes a tree again.
    EXPECT_NE(tree->SetRoot(u"r"), nullptr);
    EXPECT_NE(tree->GetItemTree(), nullptr);
}

TEST_F(TreeCtrlTest, OutsideTreesAreNotDeleted) {
    GTree outside;
    auto* rootItem = new GTreeItem(u"outside");
    outside.SetTop(rootItem);
    auto* child = new GTreeItem(u"kid");
    outside.InsertChild(outside.GetTopPosition(), child);
    tree->SetRoot(u"own");
    AddChildren(Root(), {u"a"});
    tree->SetItemTree(&outside, 0);
    EXPECT_EQ(tree->deleted, 2); // the owned tree went with its items
    EXPECT_EQ(Label(tree->GetTopItem()), u"outside");
    tree->Destroy(); // the window's end lets go of the tree
    EXPECT_EQ(tree->GetItemTree(), nullptr);
    EXPECT_EQ(tree->deleted, 2);
    EXPECT_EQ(outside.GetTop(), rootItem);
    delete child;
    delete rootItem;
}

class TreeInputTest : public TreeCtrlTest {
protected:
    // root { a { a1, a2 { a21 } }, b, c }, root closed.
    void Build() {
        tree->SetRoot(u"root");
        AddChildren(Root(), {u"a", u"b", u"c"});
        a = tree->FindChildItem(Root(), u"a");
        AddChildren(a, {u"a1", u"a2"});
        a1 = tree->FindChildItem(a, u"a1");
        a2 = tree->FindChildItem(a, u"a2");
        AddChildren(a2, {u"a21"});
        a21 = tree->GetChildItem(a2);
        b = tree->FindChildItem(Root(), u"b");
        c = tree->FindChildItem(Root(), u"c");
        tree->UpdateScroll(0, 1);
        ::SetFocus(tree->GetSafeHwnd());
        Pump();
        owner.notes.clear();
    }
    int IsOpen(POSITION pos) { return dynamic_cast<GTreeItem*>(tree->GetGItem(pos))->IsOpen(); }
    POSITION a, a1, a2, a21, b, c;
};

TEST_F(TreeInputTest, KeysMoveOpenAndClose) {
    Build();
    tree->SelectItem(tree->GetTopItem(), true);
    Key(VK_DOWN); // the root passes to its first child even when closed
    EXPECT_EQ(tree->GetSelItem(), a);
    Key(VK_RIGHT); // closed with children: opens, stays
    EXPECT_EQ(tree->GetSelItem(), a);
    EXPECT_TRUE(IsOpen(a));
    ASSERT_EQ(owner.notes.size(), 1u);
    EXPECT_EQ(owner.notes[0].msg, kMsgTreeOpening);
    EXPECT_EQ(owner.notes[0].wParam, reinterpret_cast<WPARAM>(a));
    EXPECT_EQ(owner.notes[0].lParam, 55);
    Key(VK_RIGHT); // open: to the first child
    EXPECT_EQ(tree->GetSelItem(), a1);
    Key(VK_RIGHT); // a leaf: nothing
    EXPECT_EQ(tree->GetSelItem(), a1);
    Key(VK_DOWN);
    EXPECT_EQ(tree->GetSelItem(), a2);
    Key(VK_DOWN); // a2 is closed: on to the next sibling of an ancestor
    EXPECT_EQ(tree->GetSelItem(), b);
    Key(VK_UP);
    EXPECT_EQ(tree->GetSelItem(), a2);
    Key(VK_RIGHT);
    Key(VK_DOWN);
    EXPECT_EQ(tree->GetSelItem(), a21);
    Key(VK_DOWN); // the deepest row: the next sibling of the nearest ancestor that has one
    EXPECT_EQ(tree->GetSelItem(), b);
    Key(VK_UP); // the row drawn just above: a's last open descendant
    EXPECT_EQ(tree->GetSelItem(), a21);
    Key(VK_LEFT); // a closed row passes to its parent
    EXPECT_EQ(tree->GetSelItem(), a2);
    owner.notes.clear();
    Key(VK_LEFT); // an open row closes and stays
    EXPECT_EQ(tree->GetSelItem(), a2);
    EXPECT_FALSE(IsOpen(a2));
    ASSERT_EQ(owner.notes.size(), 1u);
    EXPECT_EQ(owner.notes[0].msg, kMsgTreeClosing);
    Key(VK_UP);
    EXPECT_EQ(tree->GetSelItem(), a1);
    Key(VK_UP); // no previous sibling: the parent
    EXPECT_EQ(tree->GetSelItem(), a);
    Key(VK_UP);
    EXPECT_EQ(tree->GetSelItem(), tree->GetTopItem());
    Key(VK_LEFT); // the root does not close by Left
    EXPECT_EQ(tree->GetSelItem(), tree->GetTopItem());
    // The very last row: Down does nothing.
    tree->SelectItem(c, true);
    Key(VK_DOWN);
    EXPECT_EQ(tree->GetSelItem(), c);

    owner.notes.clear();
    Key(VK_RETURN);
    Key(VK_ESCAPE);
    ASSERT_EQ(owner.notes.size(), 2u);
    EXPECT_EQ(owner.notes[0].msg, kMsgTreeChosen);
    EXPECT_EQ(owner.notes[0].wParam, reinterpret_cast<WPARAM>(c));
    EXPECT_EQ(owner.notes[1].msg, kMsgTreeChosen);
    EXPECT_EQ(owner.notes[1].wParam, 0u);
}

TEST_F(TreeInputTest, SelectingOpensTheAncestors) {
    Build();
    tree->SelectItem(a21, true);
    EXPECT_TRUE(IsOpen(a2));
    EXPECT_TRUE(IsOpen(a));
    EXPECT_TRUE(IsOpen(tree->GetTopItem()));
    EXPECT_EQ(tree->GetSelItem(), a21);
}

TEST_F(TreeInputTest, KeyHeldWhileTheFocusArrivesDoesNotAct) {
    Build();
    tree->SelectItem(a, true);
    ::SetFocus(parent.GetSafeHwnd());
    plat::InputKey(VK_DOWN, true);
    Pump();
    ::SetFocus(tree->GetSafeHwnd());
    EXPECT_EQ(tree->IsKeysEnabled(), 0);
    plat::InputKey(VK_DOWN, true); // repeat of the held key
    Pump();
    EXPECT_EQ(tree->GetSelItem(), a);
    plat::InputKey(VK_DOWN, false);
    Pump();
    EXPECT_EQ(tree->IsKeysEnabled(), 1);
    Key(VK_DOWN);
    EXPECT_NE(tree->GetSelItem(), a);
    // Losing the focus is reported.
    owner.notes.clear();
    ::SetFocus(parent.GetSafeHwnd());
    ASSERT_EQ(owner.notes.size(), 1u);
    EXPECT_EQ(owner.notes[0].msg, kMsgTreeLostFocus);
    EXPECT_EQ(owner.notes[0].wParam, 0u);
}

TEST_F(TreeInputTest, PenSelectsRowsAndWorksTheBoxes) {
    Build();
    // The root row lies at x 16, y 2 (client); its box zone is x 0 ... 15, y 4 ... 18.
    const RECT rootRect = tree->GetGItem(tree->GetTopItem())->GetItemRect();
    EXPECT_EQ(rootRect.left, 16);
    EXPECT_EQ(rootRect.top, 2);
    EXPECT_EQ(rootRect.bottom, 22);
    Tap(10 + 20, 10 + 10);
    EXPECT_EQ(parent.notes.size(), 1u);
    EXPECT_EQ(parent.notes[0].msg, kMsgCtrlPenDown);
    EXPECT_EQ(parent.notes[0].lParam, 55);
    ASSERT_EQ(owner.notes.size(), 1u);
    EXPECT_EQ(owner.notes[0].msg, kMsgTreeSelected);
    EXPECT_EQ(tree->GetSelItem(), tree->GetTopItem());

    // The root's box opens it and shows its children one row down.
    owner.notes.clear();
    Tap(10 + 8, 10 + 10);
    EXPECT_EQ(owner.Messages(), (std::vector<UINT>{kMsgTreeOpening}));
    EXPECT_TRUE(IsOpen(tree->GetTopItem()));
    EXPECT_EQ(tree->toggles, 1);
    EXPECT_EQ(tree->GetSelItem(), tree->GetTopItem()); // the box does not select
    EXPECT_EQ(tree->FindItemByPoint(POINT{40, 30}), a);
    EXPECT_EQ(tree->FindItemByPoint(POINT{40, 50}), b);
    Tap(10 + 8, 10 + 10);
    EXPECT_EQ(owner.notes.back().msg, kMsgTreeClosing);
    EXPECT_EQ(tree->FindItemByPoint(POINT{40, 30}), nullptr);
    Tap(10 + 8, 10 + 10);

    // A leaf's box zone flips its flag and reports, though it has nothing to show.
    owner.notes.clear();
    Tap(10 + 24, 10 + 50); // b at y 42, box zone x 16 ... 31
    EXPECT_EQ(owner.Messages(), (std::vector<UINT>{kMsgTreeOpening}));
    EXPECT_TRUE(IsOpen(b));
    EXPECT_EQ(tree->FindItemByPoint(POINT{40, 70}), c);
    Tap(10 + 24, 10 + 50);
    EXPECT_EQ(owner.notes.back().msg, kMsgTreeClosing);
    EXPECT_FALSE(IsOpen(b));

    // A double tap on a row chooses it.
    owner.notes.clear();
    plat::InputStylusDown(10 + 50, 10 + 70);
    plat::InputStylusUp(10 + 50, 10 + 70);
    clock.Advance(50);
    plat::InputStylusDown(10 + 50, 10 + 70);
    plat::InputStylusUp(10 + 50, 10 + 70);
    Pump();
    EXPECT_EQ(owner.Messages(), (std::vector<UINT>{kMsgTreeSelected, kMsgTreeChosen}));
    EXPECT_EQ(owner.notes[1].wParam, reinterpret_cast<WPARAM>(c));

    // Below the last row nothing is hit and nothing is sent to the owner.
    owner.notes.clear();
    clock.Advance(1000);
    Tap(10 + 50, 10 + 150);
    EXPECT_TRUE(owner.notes.empty());
    EXPECT_EQ(tree->GetSelItem(), c);
    // The right button selects without a word.
    plat::InputRightButton(true, 10 + 50, 10 + 30);
    plat::InputRightButton(false, 10 + 50, 10 + 30);
    Pump();
    EXPECT_EQ(tree->GetSelItem(), a);
    EXPECT_TRUE(owner.notes.empty());
}

TEST_F(TreeCtrlTest, TreeWithoutRootItemDrawsOnlyItsBackground) {
    AddChildren(Root(), {u"a", u"b"});
    tree->Invalidate(0);
    Pump();
    const COLORREF back = tree->GetDefBackColor();
    EXPECT_EQ(back, GetGLibColor(64));
    int other = 0;
    for (int y = 10; y < 210; y += 2)
        for (int x = 10; x < 210; x += 2)
            other += ScreenPixel(x, y) != back;
    EXPECT_EQ(other, 0);
    EXPECT_EQ(tree->GetFirstDrawPos(), nullptr);
}

// Finds the top of the root's plus/minus box: the first frame-coloured pixel in its left
// column (x 2 in the client).
int BoxTop(int screenX, int fromY) {
    HDC dc = ::GetDC(nullptr);
    int top = -1;
    for (int y = fromY; y < fromY + 30 && top < 0; ++y)
        if (::GetPixel(dc, screenX, y) == 0xC0C0C0)
            top = y;
    ::ReleaseDC(nullptr, dc);
    return top;
}

TEST_F(TreeCtrlTest, DrawsBoxesSignsAndTheSelectedRow) {
    tree->SetRoot(u"root");
    AddChildren(Root(), {u"a", u"b"});
    tree->UpdateScroll(0, 1);
    Pump();
    const int top = BoxTop(10 + 2, 10);
    ASSERT_GE(top, 10);
    // A 9-pixel box framed in 0xC0C0C0 with a plus: the vertical bar at its middle column.
    EXPECT_EQ(ScreenPixel(10 + 2, top + 8), 0xC0C0C0u);
    EXPECT_EQ(ScreenPixel(10 + 10, top + 4), 0xC0C0C0u);
    EXPECT_EQ(ScreenPixel(10 + 4, top + 4), 0x000000u);
    EXPECT_EQ(ScreenPixel(10 + 6, top + 2), 0x000000u);
    EXPECT_EQ(ScreenPixel(10 + 5, top + 2), tree->GetDefBackColor());
    tree->OpenItem(tree->GetTopItem(), true, true);
    Pump();
    EXPECT_EQ(ScreenPixel(10 + 4, top + 4), 0x000000u); // the minus stays
    EXPECT_EQ(ScreenPixel(10 + 6, top + 2), tree->GetDefBackColor());
    // Children draw one indent in with dotted connector lines in the line colour.
    const int g = 16 - 6;
    int dots = 0;
    for (int y = 10 + 22; y < 10 + 62; ++y)
        dots += ScreenPixel(10 + 32 - g, y) == tree->GetLineColor();
    EXPECT_GT(dots, 5);
    // The selected row's label box takes the selection colour.
    tree->SelectItem(tree->FindChildItem(Root(), u"b"), true);
    Pump();
    EXPECT_EQ(ScreenPixel(10 + 32 + 18, 10 + 42 + 3), tree->GetSelBackColor());
    EXPECT_EQ(ScreenPixel(10 + 32 + 18, 10 + 22 + 3), tree->GetDefBackColor());
    // Without root lines the root has neither box nor line.
    tree->SetDrawRootLine(false, true);
    Pump();
    EXPECT_EQ(ScreenPixel(10 + 2, top + 4), tree->GetDefBackColor());
}

TEST_F(TreeCtrlTest, ScrollBarsFollowTheContentAndKeepTheSelectionInView) {
    tree->SetRoot(u"root");
    for (int i = 0; i < 20; ++i)
        tree->InsertChild(Root(), u"row", false, true);
    tree->UpdateScroll(0, 0);
    EXPECT_FALSE(tree->IsShowScrollBarV()); // closed: one row
    tree->OpenItem(tree->GetTopItem(), true, false);
    ASSERT_TRUE(tree->IsShowScrollBarV());
    EXPECT_FALSE(tree->IsShowScrollBarH());
    EXPECT_EQ(tree->GetContentHeight(), 21 * 20);
    GScrollBar* v = tree->GetScrollBarV();
    EXPECT_EQ(v->GetScrollPage(), 200);
    EXPECT_EQ(v->GetScrollMax(), 21 * 20 + 2 - 200);
    EXPECT_EQ(v->GetLineStep(), 20);

    // The last child: its bottom (2 + 21 * 20) is brought up to the visible height.
    POSITION last = tree->GetChildItem(Root());
    while (tree->GetNextItem(last))
        last = tree->GetNextItem(last);
    tree->SelectItem(last, true);
    EXPECT_EQ(v->GetScrollPos(), 2 + 21 * 20 - 200);
    // The root row lies 2 pixels down: its top comes to the top edge.
    tree->SelectItem(tree->GetTopItem(), true);
    EXPECT_EQ(v->GetScrollPos(), 2);

    // A long label makes the content wider: both bars, each shortened by the other.
    tree->InsertChild(Root(), u"a rather long label that does not fit in the control", false, true);
    tree->UpdateScroll(0, 0);
    ASSERT_TRUE(tree->IsShowScrollBarH());
    RECT rv;
    RECT rh;
    ::GetWindowRect(v->GetSafeHwnd(), &rv);
    ::GetWindowRect(tree->GetScrollBarH()->GetSafeHwnd(), &rh);
    EXPECT_EQ(rv.bottom, 210 - 14);
    EXPECT_EQ(rh.right, 210 - 14);
    EXPECT_EQ(v->GetScrollPage(), 200 - 14);
    EXPECT_EQ(tree->GetScrollBarH()->GetScrollPage(), 200 - 14);

    // The wheel moves three rows a notch.
    v->SetScrollPos(0);
    ::SetFocus(tree->GetSafeHwnd());
    plat::InputWheel(-120, 50, 50);
    Pump();
    EXPECT_EQ(v->GetScrollPos(), 60);

    tree->OpenItem(tree->GetTopItem(), false, false);
    EXPECT_FALSE(tree->IsShowScrollBarV());
    EXPECT_FALSE(::IsWindowVisible(v->GetSafeHwnd()));
    EXPECT_EQ(v->GetScrollPos(), 0);
}

} // namespace

namespace {

TEST_F(TreeCtrlTest, ScrollBarArrowsMoveTheRows) {
    tree->SetRoot(u"root");
    for (int i = 0; i < 20; ++i)
        tree->InsertChild(Root(), u"row", false, true);
    tree->OpenItem(tree->GetTopItem(), true, true);
    Pump();
    ASSERT_TRUE(tree->IsShowScrollBarV());
    POSITION first = tree->GetChildItem(Root());
    EXPECT_EQ(tree->FindItemByPoint(POINT{50, 30}), first);
    // The down arrow at the bar's foot: one row further, and the rows are drawn again.
    Tap(10 + 200 - 7, 10 + 200 - 5);
    EXPECT_EQ(tree->GetScrollBarV()->GetScrollPos(), 20);
    EXPECT_EQ(tree->FindItemByPoint(POINT{50, 30}), tree->GetNextItem(first));
    tree->OffsetScroll(-20, 1);
    EXPECT_EQ(tree->GetScrollBarV()->GetScrollPos(), 0);
    EXPECT_EQ(tree->FindItemByPoint(POINT{50, 30}), first);
    tree->OffsetScroll(50, 0); // no horizontal bar: nothing moves
    EXPECT_EQ(tree->GetScrollBarH()->GetScrollPos(), 0);
}

class HiresTreeTest : public TreeCtrlTest {
protected:
    void SetUp() override {
        plat::StartHeadless(480, 640);
        ResetDisplayMode();
        InitGLibControl();
        ASSERT_EQ(parent.Create(nullptr, u"p", WS_POPUP | WS_VISIBLE, 0, 0, 480, 640), 1);
        ASSERT_EQ(owner.Create(nullptr, u"o", WS_POPUP, 0, 0, 10, 10), 1);
        tree = std::make_unique<CountingTree>();
        RECT r{0, 0, 400, 400};
        ASSERT_EQ(tree->Create(parent.GetSafeHwnd(), &owner, WS_CHILD | WS_VISIBLE, r, 55), 1);
    }
};

TEST_F(HiresTreeTest, SizesDouble) {
    ASSERT_EQ(IsHires(), 1);
    EXPECT_EQ(tree->GetItemHeight(), 40);
    EXPECT_EQ(tree->GetIndent(), 32);
    tree->SetRoot(u"root");
    AddChildren(Root(), {u"a"});
    tree->UpdateScroll(0, 1);
    Pump();
    const RECT root = tree->GetGItem(tree->GetTopItem())->GetItemRect();
    EXPECT_EQ(root.left, 32);
    EXPECT_EQ(root.top, 4);
    EXPECT_EQ(root.bottom, 44);
    // The box spans 4 ... 21 across (g = 32 - 12); its 2-pixel minus bar from x 8, 10 long,
    // one pixel above the middle of the 18-pixel box.
    int top = -1;
    for (int y = 0; y < 60 && top < 0; ++y)
        if (ScreenPixel(4, y) == 0xC0C0C0)
            top = y;
    ASSERT_GE(top, 0);
    EXPECT_EQ(ScreenPixel(5, top + 17), 0xC0C0C0u);
    EXPECT_EQ(ScreenPixel(21, top + 9), 0xC0C0C0u);
    EXPECT_EQ(ScreenPixel(8, top + 8), 0x000000u);
    EXPECT_EQ(ScreenPixel(17, top + 9), 0x000000u);
    EXPECT_EQ(ScreenPixel(18, top + 9), tree->GetDefBackColor());
    EXPECT_EQ(ScreenPixel(8, top + 7), tree->GetDefBackColor());
    EXPECT_EQ(ScreenPixel(8, top + 10), tree->GetDefBackColor());
    // The plus bar at the middle column, one pixel to the left likewise.
    EXPECT_EQ(ScreenPixel(12, top + 4), 0x000000u);
    EXPECT_EQ(ScreenPixel(13, top + 4), 0x000000u);
    EXPECT_EQ(ScreenPixel(14, top + 4), tree->GetDefBackColor());
    // The box zone of the root: x 0 ... 30, y 8 ... 36.
    Tap(2, 8);
    EXPECT_EQ(owner.notes.back().msg, kMsgTreeOpening);
    Tap(30, 36);
    EXPECT_EQ(owner.notes.back().msg, kMsgTreeClosing);
    Tap(31, 20); // the row itself
    EXPECT_EQ(owner.notes.back().msg, kMsgTreeSelected);
    // Scroll bars are 28 pixels thick.
    for (int i = 0; i < 20; ++i)
        tree->InsertChild(Root(), u"row", false, true);
    tree->OpenItem(tree->GetTopItem(), true, false);
    ASSERT_TRUE(tree->IsShowScrollBarV());
    RECT rv;
    ::GetWindowRect(tree->GetScrollBarV()->GetSafeHwnd(), &rv);
    EXPECT_EQ(rv.right - rv.left, 28);
    EXPECT_EQ(tree->GetScrollBarV()->GetScrollMax(), 22 * 40 + 4 - 400);
}

} // namespace
