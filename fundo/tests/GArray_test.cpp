#include "fundo/GArray.h"

#include <gtest/gtest.h>

#include <type_traits>

namespace {

void* P(long v) {
    return reinterpret_cast<void*>(v);
}

GArray Filled(int n) {
    GArray a;
    for (int i = 0; i < n; ++i)
        a.Add(P(100 + i));
    return a;
}

} // namespace

TEST(GArrayGrowth, CapacityFollows32SlotSteps) {
    GArray a;
    EXPECT_EQ(a.GetSize(), 0);
    EXPECT_EQ(a.GetCapacity(), 0);
    EXPECT_EQ(a.GetData(), nullptr);
    a.SetSize(1);
    EXPECT_EQ(a.GetCapacity(), 32);
    EXPECT_EQ(a.GetAt(0), nullptr); // fresh slots are zero
    a.SetAt(0, P(7));
    a.SetSize(33);
    EXPECT_EQ(a.GetCapacity(), 64);
    EXPECT_EQ(a.GetAt(0), P(7));
    EXPECT_EQ(a.GetAt(32), nullptr);
    a.SetSize(10);
    EXPECT_EQ(a.GetCapacity(), 32);
    EXPECT_EQ(a.GetSize(), 10);
    EXPECT_EQ(a.GetAt(0), P(7));
    a.SetSize(0);
    EXPECT_EQ(a.GetCapacity(), 0);
    EXPECT_EQ(a.GetData(), nullptr);
}

TEST(GArrayGrowth, ReallocatesOnlyAcrossABoundary) {
    GArray a;
    a.Add(P(1));
    void** first = a.GetData();
    for (int i = 1; i < 32; ++i)
        EXPECT_EQ(a.Add(P(1 + i)), i);
    EXPECT_EQ(a.GetData(), first);
    a.Add(P(33));
    EXPECT_EQ(a.GetCapacity(), 64);
    for (int i = 0; i < 33; ++i)
        EXPECT_EQ(a.GetAt(i), P(1 + i));
}

TEST(GArrayGrowth, ShrinkWithinTheBufferKeepsOldSlots) {
    GArray a;
    a.SetSize(5);
    a.SetAt(3, P(42));
    a.SetSize(2);
    EXPECT_EQ(a.GetAt(3), nullptr); // outside the size
    a.SetSize(5);
    EXPECT_EQ(a.GetAt(3), P(42));
}

TEST(GArrayGrowth, RefusedSizesChangeNothing) {
    GArray a = Filled(3);
    a.SetSize(-1);
    EXPECT_EQ(a.GetSize(), 3);
    a.SetSize(1 << 30);
    EXPECT_EQ(a.GetSize(), 3);
    EXPECT_EQ(a.GetCapacity(), 32);
    a.SetSize((1 << 30) - 31); // rounds up to 2^30 slots
    EXPECT_EQ(a.GetSize(), 3);
    a.InsertAt(1, P(1), (1 << 30) - 2);
    EXPECT_EQ(a.GetSize(), 3);
    EXPECT_EQ(a.GetAt(2), P(102));
}

TEST(GArrayAccess, BoundsAreChecked) {
    GArray a = Filled(3);
    EXPECT_EQ(a.GetAt(-1), nullptr);
    EXPECT_EQ(a.GetAt(3), nullptr);
    EXPECT_EQ(a[1], P(101));
    a.SetAt(3, P(9));
    EXPECT_EQ(a.GetSize(), 3);
    a.SetAt(-1, P(9));
    a.SetAtGrow(3, P(9));
    EXPECT_EQ(a.GetSize(), 4);
    EXPECT_EQ(a.GetAt(3), P(9));
    a.SetAtGrow(-2, P(9));
    EXPECT_EQ(a.GetSize(), 4);
    a.SetAtGrow(40, P(8));
    EXPECT_EQ(a.GetSize(), 41);
    EXPECT_EQ(a.GetAt(39), nullptr);
    EXPECT_EQ(a.GetAt(40), P(8));
    GArray empty;
    EXPECT_EQ(empty.GetAt(0), nullptr);
    empty.SetAt(0, P(1));
    EXPECT_EQ(empty.GetSize(), 0);
}

TEST(GArrayEdit, InsertMovesOrFillsAGap) {
    GArray a = Filled(3);
    a.InsertAt(7, P(5), 2);
    EXPECT_EQ(a.GetSize(), 9);
    for (int i = 3; i <= 6; ++i)
        EXPECT_EQ(a.GetAt(i), nullptr) << i;
    EXPECT_EQ(a.GetAt(7), P(5));
    EXPECT_EQ(a.GetAt(8), P(5));

    GArray b = Filled(4);
    b.InsertAt(1, P(9), 3);
    const long want[] = {100, 9, 9, 9, 101, 102, 103};
    ASSERT_EQ(b.GetSize(), 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(b.GetAt(i), P(want[i])) << i;
    b.InsertAt(0, P(1), 0);
    b.InsertAt(-1, P(1), 1);
    EXPECT_EQ(b.GetSize(), 7);
    b.InsertAt(7, P(2)); // at the end: one element by default
    EXPECT_EQ(b.GetSize(), 8);
    EXPECT_EQ(b.GetAt(7), P(2));
}

TEST(GArrayEdit, InsertAnotherArray) {
    GArray a = Filled(3);
    GArray other;
    other.Add(P(1));
    other.Add(P(2));
    a.InsertAt(1, &other);
    const long want[] = {100, 1, 2, 101, 102};
    ASSERT_EQ(a.GetSize(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(a.GetAt(i), P(want[i]));
    GArray empty;
    a.InsertAt(0, &empty);
    a.InsertAt(0, static_cast<const GArray*>(nullptr));
    a.InsertAt(-1, &other);
    EXPECT_EQ(a.GetSize(), 5);
    // Into itself: the elements as they were before the insertion.
    GArray self = Filled(2);
    self.InsertAt(1, &self);
    const long selfWant[] = {100, 100, 101, 101};
    ASSERT_EQ(self.GetSize(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(self.GetAt(i), P(selfWant[i]));
}

TEST(GArrayEdit, RemoveChecksTheWholeRange) {
    GArray a = Filled(4);
    a.RemoveAt(1, 0);
    EXPECT_EQ(a.GetSize(), 4);
    a.RemoveAt(2, 5);
    EXPECT_EQ(a.GetSize(), 4);
    a.RemoveAt(-1, 1);
    a.RemoveAt(1, -1);
    EXPECT_EQ(a.GetSize(), 4);
    a.RemoveAt(1, 2);
    ASSERT_EQ(a.GetSize(), 2);
    EXPECT_EQ(a.GetAt(0), P(100));
    EXPECT_EQ(a.GetAt(1), P(103));
    a.RemoveAt(1);
    EXPECT_EQ(a.GetSize(), 1);
    GArray big = Filled(40);
    big.RemoveAt(0, 39);
    EXPECT_EQ(big.GetCapacity(), 64); // never shrunk here
    EXPECT_EQ(big.GetAt(0), P(139));
    big.RemoveAll();
    EXPECT_EQ(big.GetCapacity(), 0);
}

TEST(GArrayEdit, AppendAndCopy) {
    GArray a = Filled(3);
    EXPECT_EQ(a.Append(a), 3);
    EXPECT_EQ(a.GetSize(), 3);
    GArray b;
    b.Add(P(1));
    b.Add(P(2));
    EXPECT_EQ(a.Append(b), 3);
    ASSERT_EQ(a.GetSize(), 5);
    EXPECT_EQ(a.GetAt(3), P(1));
    EXPECT_EQ(a.GetAt(4), P(2));
    GArray empty;
    EXPECT_EQ(a.Append(empty), 5);
    EXPECT_EQ(a.GetSize(), 5);

    GArray c = Filled(40);
    c.Copy(b);
    ASSERT_EQ(c.GetSize(), 2);
    EXPECT_EQ(c.GetCapacity(), 32);
    EXPECT_EQ(c.GetAt(1), P(2));
    c.Copy(c);
    EXPECT_EQ(c.GetSize(), 2);
}

TEST(GArrayCopying, CopiesShareElementsNotBuffers) {
    static_assert(std::has_virtual_destructor_v<GArray>);
    GArray a = Filled(3);
    GArray b(a);
    EXPECT_NE(b.GetData(), a.GetData());
    ASSERT_EQ(b.GetSize(), 3);
    EXPECT_EQ(b.GetAt(2), P(102));
    b.SetAt(0, P(1));
    EXPECT_EQ(a.GetAt(0), P(100));
    GArray c;
    c = a;
    EXPECT_EQ(c.GetSize(), 3);
    c = c;
    EXPECT_EQ(c.GetSize(), 3);
    GArray moved(std::move(c));
    EXPECT_EQ(moved.GetSize(), 3);
    EXPECT_EQ(c.GetSize(), 0);
    EXPECT_EQ(c.GetData(), nullptr);
    a = std::move(moved);
    EXPECT_EQ(a.GetAt(1), P(101));
}
