#include "fundo/GTree.h"

#include <gtest/gtest.h>

#include <string>

namespace {

void* P(long v) {
    return reinterpret_cast<void*>(v);
}

long V(void* p) {
    return reinterpret_cast<long>(p);
}

// The tree as text: data, then children in brackets; e.g. "0[1 2[3]]".
std::string Dump(const GTree& tree, POSITION pos) {
    std::string out;
    while (pos != nullptr) {
        POSITION child = pos;
        std::string node = std::to_string(V(tree.GetAt(pos)));
        tree.GetChild(child);
        if (child != nullptr)
            node += "[" + Dump(tree, child) + "]";
        if (!out.empty())
            out += " ";
        out += node;
        tree.GetNext(pos);
    }
    return out;
}

std::string Dump(const GTree& tree) {
    return Dump(tree, tree.GetTopPosition());
}

} // namespace

TEST(GTreeBasics, FreshTreeHasAnEmptyRoot) {
    GTree tree;
    EXPECT_NE(tree.GetTopPosition(), nullptr);
    EXPECT_EQ(tree.GetTop(), nullptr);
    POSITION top = tree.SetTop(P(7));
    EXPECT_EQ(top, tree.GetTopPosition());
    EXPECT_EQ(tree.GetTop(), P(7));
}

TEST(GTreeBasics, ChildInsertionOrder) {
    GTree tree;
    tree.SetTop(P(0));
    POSITION only = tree.InsertChildTail(nullptr, P(1));
    ASSERT_NE(only, nullptr);
    EXPECT_EQ(Dump(tree), "0[1]");
    tree.InsertChild(nullptr, P(2));     // at the head
    tree.InsertChildHead(nullptr, P(3)); // the same
    tree.InsertChildTail(tree.GetTopPosition(), P(4));
    EXPECT_EQ(Dump(tree), "0[3 2 1 4]");
    tree.InsertChildTail(only, P(5));
    tree.InsertChildTail(only, P(6));
    EXPECT_EQ(Dump(tree), "0[3 2 1[5 6] 4]");
}

TEST(GTreeBasics, NavigationMovesThePosition) {
    GTree tree;
    tree.SetTop(P(0));
    POSITION a = tree.InsertChildTail(nullptr, P(1));
    POSITION b = tree.InsertChildTail(nullptr, P(2));
    POSITION c = tree.InsertChildTail(b, P(3));
    POSITION pos = tree.GetTopPosition();
    EXPECT_EQ(tree.GetChild(pos), P(0));
    EXPECT_EQ(pos, a);
    EXPECT_EQ(tree.GetNext(pos), P(1));
    EXPECT_EQ(pos, b);
    EXPECT_EQ(tree.GetChild(pos), P(2));
    EXPECT_EQ(pos, c);
    EXPECT_EQ(tree.GetParent(pos), P(3));
    EXPECT_EQ(pos, b);
    EXPECT_EQ(tree.GetPrev(pos), P(2));
    EXPECT_EQ(pos, a);
    EXPECT_EQ(tree.GetPrev(pos), P(1));
    EXPECT_EQ(pos, nullptr);
    EXPECT_EQ(tree.GetNext(pos), nullptr);
    EXPECT_EQ(tree.GetChild(pos), nullptr);
    EXPECT_EQ(tree.GetParent(pos), nullptr);
    EXPECT_EQ(pos, nullptr);
    POSITION top = tree.GetTopPosition();
    tree.GetParent(top);
    EXPECT_EQ(top, nullptr);
    EXPECT_EQ(tree.GetAt(nullptr), nullptr);
    tree.SetAt(nullptr, P(1));
    tree.SetAt(c, P(30));
    EXPECT_EQ(tree.GetAt(c), P(30));
}

TEST(GTreeBasics, SiblingInsertion) {
    GTree tree;
    tree.SetTop(P(0));
    POSITION b = tree.InsertChildTail(nullptr, P(2));
    EXPECT_EQ(tree.InsertBefore(nullptr, P(9)), nullptr);
    EXPECT_EQ(tree.InsertAfter(nullptr, P(9)), nullptr);
    POSITION a = tree.InsertBefore(b, P(1)); // before the first child: new first child
    POSITION first = tree.GetTopPosition();
    tree.GetChild(first);
    EXPECT_EQ(first, a);
    tree.InsertAfter(b, P(4));
    tree.InsertAfter(b, P(3));
    EXPECT_EQ(Dump(tree), "0[1 2 3 4]");
    POSITION parent = a;
    EXPECT_EQ(tree.GetParent(parent), P(1));
    EXPECT_EQ(parent, tree.GetTopPosition());
    // The root has no siblings.
    EXPECT_EQ(tree.InsertBefore(tree.GetTopPosition(), P(9)), nullptr);
    EXPECT_EQ(tree.InsertAfter(tree.GetTopPosition(), P(9)), nullptr);
    EXPECT_EQ(Dump(tree), "0[1 2 3 4]");
}

TEST(GTreeRemove, SubtreeGoesSiblingsStay) {
    GTree tree;
    tree.SetTop(P(0));
    POSITION a = tree.InsertChildTail(nullptr, P(1));
    POSITION b = tree.InsertChildTail(nullptr, P(2));
    tree.InsertChildTail(nullptr, P(3));
    POSITION b1 = tree.InsertChildTail(b, P(21));
    tree.InsertChildTail(b, P(22));
    tree.InsertChildTail(b1, P(211));
    EXPECT_EQ(Dump(tree), "0[1 2[21[211] 22] 3]");
    tree.RemoveAt(b);
    EXPECT_EQ(Dump(tree), "0[1 3]");
    tree.RemoveAt(a); // a first child: its next sibling takes its place
    EXPECT_EQ(Dump(tree), "0[3]");
    POSITION last = tree.GetTopPosition();
    tree.GetChild(last);
    EXPECT_EQ(tree.GetPrev(last), P(3));
    EXPECT_EQ(last, nullptr);
    tree.RemoveAt(nullptr);
    EXPECT_EQ(Dump(tree), "0[3]");
}

TEST(GTreeRemove, FreedNodesAreReusedWithDataCleared) {
    GTree tree(4);
    POSITION a = tree.InsertChildTail(nullptr, P(1));
    tree.InsertChildTail(a, P(2));
    tree.RemoveAt(a);
    // a was freed last, so it comes back first; its old child link is gone.
    POSITION again = tree.InsertChildTail(nullptr, P(5));
    EXPECT_EQ(again, a);
    POSITION child = again;
    tree.GetChild(child);
    EXPECT_EQ(child, nullptr);
    EXPECT_EQ(Dump(tree), "0[5]");
}

TEST(GTreeRemove, RemovingTheRootAndRemoveAll) {
    GTree tree;
    tree.SetTop(P(0));
    tree.InsertChildTail(nullptr, P(1));
    tree.RemoveAt(tree.GetTopPosition());
    EXPECT_EQ(tree.GetTopPosition(), nullptr);
    EXPECT_EQ(tree.GetTop(), nullptr);
    // A child insertion creates the root again, with null data.
    POSITION c = tree.InsertChild(nullptr, P(2));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(Dump(tree), "0[2]");
    tree.RemoveAll();
    EXPECT_EQ(tree.GetTopPosition(), nullptr);
    tree.SetTop(P(8));
    tree.InsertChildTail(nullptr, P(9));
    EXPECT_EQ(Dump(tree), "8[9]");
}

TEST(GTreeRemove, DeepAndWideTrees) {
    GTree tree(64);
    POSITION pos = tree.GetTopPosition();
    for (long i = 0; i < 200000; ++i)
        pos = tree.InsertChildTail(pos, P(i));
    POSITION wide = tree.InsertChildTail(nullptr, P(-1));
    for (long i = 0; i < 1000; ++i)
        tree.InsertChildTail(wide, P(i));
    POSITION deep = tree.GetTopPosition();
    tree.GetChild(deep);
    tree.RemoveAt(deep); // no recursion per level
    EXPECT_EQ(Dump(tree, tree.GetTopPosition()).substr(0, 6), "0[-1[0");
    tree.RemoveAt(wide);
    EXPECT_EQ(Dump(tree), "0");
}

TEST(GTreeNodes, BlockSizeBelowOneHoldsNothing) {
    GTree tree(0);
    EXPECT_EQ(tree.GetTopPosition(), nullptr);
    EXPECT_EQ(tree.SetTop(P(1)), nullptr);
    EXPECT_EQ(tree.InsertChild(nullptr, P(1)), nullptr);
    EXPECT_EQ(tree.InsertChildTail(nullptr, P(1)), nullptr);
}
