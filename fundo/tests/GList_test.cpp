#include "fundo/GList.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

void* P(long v) {
    return reinterpret_cast<void*>(v);
}

std::vector<long> Items(const GList& list) {
    std::vector<long> out;
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;)
        out.push_back(reinterpret_cast<long>(list.GetNext(pos)));
    return out;
}

std::vector<long> ItemsBackwards(const GList& list) {
    std::vector<long> out;
    for (POSITION pos = list.GetTailPosition(); pos != nullptr;)
        out.push_back(reinterpret_cast<long>(list.GetPrev(pos)));
    return out;
}

std::uintptr_t Addr(POSITION pos) {
    return reinterpret_cast<std::uintptr_t>(pos);
}

} // namespace

TEST(GListBasics, EmptyList) {
    GList list;
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.GetHead(), nullptr);
    EXPECT_EQ(list.GetTail(), nullptr);
    EXPECT_EQ(list.GetHeadPosition(), nullptr);
    EXPECT_EQ(list.RemoveHead(), nullptr);
    EXPECT_EQ(list.RemoveTail(), nullptr);
    EXPECT_EQ(list.FindIndex(0), nullptr);
    POSITION pos = nullptr;
    EXPECT_EQ(list.GetNext(pos), nullptr);
    EXPECT_EQ(pos, nullptr);
    EXPECT_EQ(list.GetPrev(pos), nullptr);
    EXPECT_EQ(list.GetAt(nullptr), nullptr);
    list.SetAt(nullptr, P(1));
    list.RemoveAt(nullptr);
    EXPECT_EQ(list.GetCount(), 0);
}

TEST(GListBasics, AddWalkAndRemoveAtBothEnds) {
    GList list;
    list.AddTail(P(2));
    list.AddHead(P(1));
    POSITION three = list.AddTail(P(3));
    EXPECT_EQ(list.GetAt(three), P(3));
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(Items(list), (std::vector<long>{1, 2, 3}));
    EXPECT_EQ(ItemsBackwards(list), (std::vector<long>{3, 2, 1}));
    EXPECT_EQ(list.GetHead(), P(1));
    EXPECT_EQ(list.GetTail(), P(3));
    list.SetAt(three, P(30));
    EXPECT_EQ(list.RemoveTail(), P(30));
    EXPECT_EQ(list.RemoveHead(), P(1));
    EXPECT_EQ(Items(list), (std::vector<long>{2}));
    EXPECT_EQ(list.GetHeadPosition(), list.GetTailPosition());
}

TEST(GListBasics, InsertAroundPositions) {
    GList list;
    POSITION b = list.AddTail(P(2));
    list.InsertBefore(b, P(1));
    list.InsertAfter(b, P(3));
    list.InsertBefore(nullptr, P(0)); // null: at the head
    list.InsertAfter(nullptr, P(4));  // null: at the tail
    POSITION last = list.InsertAfter(list.GetTailPosition(), P(5));
    EXPECT_EQ(list.GetTailPosition(), last);
    EXPECT_EQ(Items(list), (std::vector<long>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(ItemsBackwards(list), (std::vector<long>{5, 4, 3, 2, 1, 0}));
    list.InsertBefore(list.GetHeadPosition(), P(-1));
    EXPECT_EQ(list.GetHead(), P(-1));
}

TEST(GListBasics, RemoveAtAndFindIndex) {
    GList list;
    for (long i = 0; i < 5; ++i)
        list.AddTail(P(i));
    EXPECT_EQ(list.GetAt(list.FindIndex(3)), P(3));
    EXPECT_EQ(list.FindIndex(5), nullptr);
    EXPECT_EQ(list.FindIndex(-1), nullptr);
    list.RemoveAt(list.FindIndex(2));
    list.RemoveAt(list.GetHeadPosition());
    list.RemoveAt(list.GetTailPosition());
    EXPECT_EQ(Items(list), (std::vector<long>{1, 3}));
    EXPECT_EQ(ItemsBackwards(list), (std::vector<long>{3, 1}));
    EXPECT_EQ(list.GetCount(), 2);
}

TEST(GListBasics, AddWholeLists) {
    GList list;
    list.AddTail(P('x'));
    GList other;
    other.AddTail(P('a'));
    other.AddTail(P('b'));
    other.AddTail(P('c'));
    list.AddHead(&other);
    EXPECT_EQ(Items(list), (std::vector<long>{'a', 'b', 'c', 'x'}));
    list.AddTail(&other);
    EXPECT_EQ(Items(list), (std::vector<long>{'a', 'b', 'c', 'x', 'a', 'b', 'c'}));
    EXPECT_EQ(other.GetCount(), 3);
    list.AddHead(static_cast<GList*>(nullptr));
    list.AddTail(static_cast<GList*>(nullptr));
    EXPECT_EQ(list.GetCount(), 7);
    // A list added to itself doubles once.
    GList self;
    self.AddTail(P(1));
    self.AddTail(P(2));
    self.AddTail(&self);
    EXPECT_EQ(Items(self), (std::vector<long>{1, 2, 1, 2}));
    self.AddHead(&self);
    EXPECT_EQ(Items(self), (std::vector<long>{1, 2, 1, 2, 1, 2, 1, 2}));
}

// Positions are the nodes, so their addresses show how the blocks are used.
TEST(GListNodes, BlocksHandOutTheLowestNodeFirst) {
    GList list(3);
    POSITION a = list.AddTail(P(1));
    POSITION b = list.AddTail(P(2));
    POSITION c = list.AddTail(P(3));
    EXPECT_EQ(Addr(b) - Addr(a), sizeof(GList::GListNode));
    EXPECT_EQ(Addr(c) - Addr(b), sizeof(GList::GListNode));
    POSITION d = list.AddTail(P(4)); // a second block
    EXPECT_NE(Addr(d), Addr(c) + sizeof(GList::GListNode));
    EXPECT_EQ(list.GetCount(), 4);
}

TEST(GListNodes, FreedNodesAreReusedLastInFirstOut) {
    GList list(4);
    list.AddTail(P(1));
    POSITION b = list.AddTail(P(2));
    POSITION c = list.AddTail(P(3));
    list.AddTail(P(4));
    list.RemoveAt(b);
    list.RemoveAt(c);
    EXPECT_EQ(list.AddTail(P(5)), c);
    EXPECT_EQ(list.AddTail(P(6)), b);
    EXPECT_EQ(Items(list), (std::vector<long>{1, 4, 5, 6}));
}

TEST(GListNodes, EmptiedListReleasesItsBlocks) {
    GList list(3);
    POSITION a = list.AddTail(P(1));
    POSITION b = list.AddTail(P(2));
    ASSERT_LT(Addr(a), Addr(b));
    list.RemoveHead();
    list.RemoveHead(); // count 0: every block goes
    EXPECT_TRUE(list.IsEmpty());
    // Kept nodes would come back b first (last freed on top). A fresh block hands out
    // ascending addresses again.
    POSITION x = list.AddTail(P(3));
    POSITION y = list.AddTail(P(4));
    POSITION z = list.AddTail(P(5));
    EXPECT_EQ(Addr(y) - Addr(x), sizeof(GList::GListNode));
    EXPECT_EQ(Addr(z) - Addr(y), sizeof(GList::GListNode));
    EXPECT_EQ(Items(list), (std::vector<long>{3, 4, 5}));
    list.RemoveAll();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetHeadPosition(), nullptr);
    list.AddHead(P(9));
    EXPECT_EQ(Items(list), (std::vector<long>{9}));
}

TEST(GListNodes, BlockSizeBelowOneHoldsNothing) {
    GList list(0);
    EXPECT_EQ(list.AddTail(P(1)), nullptr);
    EXPECT_EQ(list.AddHead(P(1)), nullptr);
    EXPECT_EQ(list.InsertAfter(nullptr, P(1)), nullptr);
    EXPECT_EQ(list.GetCount(), 0);
}

TEST(GListNodes, ManyElements) {
    GList list;
    for (long i = 0; i < 10000; ++i)
        list.AddTail(P(i));
    EXPECT_EQ(list.GetCount(), 10000);
    EXPECT_EQ(list.GetAt(list.FindIndex(9999)), P(9999));
    long sum = 0;
    while (!list.IsEmpty())
        sum += reinterpret_cast<long>(list.RemoveHead());
    EXPECT_EQ(sum, 9999L * 10000 / 2);
}
