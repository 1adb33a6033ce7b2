#include "fundo/GChunkAlloc.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr UINT kWord = sizeof(void*);

std::uintptr_t Addr(void* p) {
    return reinterpret_cast<std::uintptr_t>(p);
}

} // namespace

TEST(GChunkAllocSlots, SlotSizeRoundsUpAndAddsTheBackPointer) {
    // The device's 4-byte words give 80 for a 76-byte object; host words are pointer sized.
    EXPECT_EQ(GChunkAlloc(76, 8, TRUE).GetSlotSize(), kWord == 8 ? 88u : 80u);
    EXPECT_EQ(GChunkAlloc(1, 8, TRUE).GetSlotSize(), 2 * kWord);
    EXPECT_EQ(GChunkAlloc(kWord, 8, TRUE).GetSlotSize(), 2 * kWord);
    EXPECT_EQ(GChunkAlloc(kWord + 1, 8, TRUE).GetSlotSize(), 3 * kWord);
    EXPECT_EQ(GChunkAlloc(0, 8, TRUE).GetSlotSize(), 2 * kWord);
}

TEST(GChunkAllocSlots, FirstChunkServesSlotsInAddressOrder) {
    GChunkAlloc pool(76, 4, TRUE);
    EXPECT_EQ(pool.GetChunkCount(), 0u); // nothing until the first Alloc
    void* objects[4];
    for (void*& p : objects) {
        p = pool.Alloc();
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(Addr(p) % alignof(void*), 0u);
        std::memset(p, 0xAB, 76); // the whole object is usable
    }
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(Addr(objects[i]) - Addr(objects[i - 1]), pool.GetSlotSize());
    EXPECT_EQ(pool.GetChunkCount(), 1u);
    void* fifth = pool.Alloc();
    EXPECT_EQ(pool.GetChunkCount(), 2u);
    pool.Free(fifth);
    for (void* p : objects)
        pool.Free(p);
}

TEST(GChunkAllocFree, LastInFirstOutWithinAChunk) {
    GChunkAlloc pool(16, 8, FALSE);
    void* a = pool.Alloc();
    void* b = pool.Alloc();
    void* c = pool.Alloc();
    pool.Free(a);
    pool.Free(c);
    EXPECT_EQ(pool.Alloc(), c);
    EXPECT_EQ(pool.Alloc(), a);
    pool.Free(b);
}

TEST(GChunkAllocFree, EmptyChunkIsReleasedWhenAsked) {
    GChunkAlloc pool(76, 2, TRUE);
    void* a = pool.Alloc();
    void* b = pool.Alloc();
    void* c = pool.Alloc(); // second chunk
    EXPECT_EQ(pool.GetChunkCount(), 2u);
    pool.Free(c);
    EXPECT_EQ(pool.GetChunkCount(), 1u);
    pool.Free(a);
    EXPECT_EQ(pool.GetChunkCount(), 1u);
    pool.Free(b);
    EXPECT_EQ(pool.GetChunkCount(), 0u);
    // Allocation starts over with a new chunk.
    void* d = pool.Alloc();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(pool.GetChunkCount(), 1u);
    pool.Free(d);
}

TEST(GChunkAllocFree, EmptyChunksStayUntilFreeEmpties) {
    GChunkAlloc pool(32, 2, FALSE);
    std::vector<void*> objects;
    for (int i = 0; i < 6; ++i)
        objects.push_back(pool.Alloc());
    EXPECT_EQ(pool.GetChunkCount(), 3u);
    pool.Free(objects[0]);
    pool.Free(objects[1]);
    pool.Free(objects[4]);
    pool.Free(objects[5]);
    EXPECT_EQ(pool.GetChunkCount(), 3u);
    pool.FreeEmpties();
    EXPECT_EQ(pool.GetChunkCount(), 1u);
    // The chunk left is the middle one, still in use; new objects get a new chunk.
    void* next = pool.Alloc();
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(pool.GetChunkCount(), 2u);
    pool.Free(next);
    pool.Free(objects[2]);
    pool.Free(objects[3]);
    pool.FreeEmpties();
    EXPECT_EQ(pool.GetChunkCount(), 0u);
}

TEST(GChunkAllocReuse, OldestChunkWithRoomFillsFirst) {
    GChunkAlloc pool(24, 2, FALSE);
    std::vector<void*> o;
    for (int i = 0; i < 6; ++i) // three full chunks
        o.push_back(pool.Alloc());
    pool.Free(o[5]); // newest chunk first ...
    pool.Free(o[1]); // ... then the oldest: it becomes current
    pool.Free(o[3]); // a middle chunk is younger than the current one: no change
    EXPECT_EQ(pool.Alloc(), o[1]);
    // The current chunk is full again: the search starts at the first chunk.
    EXPECT_EQ(pool.Alloc(), o[3]);
    EXPECT_EQ(pool.Alloc(), o[5]);
    EXPECT_EQ(pool.GetChunkCount(), 3u);
    void* fresh = pool.Alloc();
    EXPECT_EQ(pool.GetChunkCount(), 4u);
    pool.Free(fresh);
    for (void* p : o)
        pool.Free(p);
}

TEST(GChunkAllocReuse, ReleasingTheCurrentChunkFallsBackToTheFirst) {
    GChunkAlloc pool(8, 2, TRUE);
    void* a = pool.Alloc();
    void* b = pool.Alloc();
    void* c = pool.Alloc(); // current: the second chunk
    pool.Free(a);           // the first chunk has room and is older: current
    pool.Free(c);           // the second chunk empties and goes
    EXPECT_EQ(pool.GetChunkCount(), 1u);
    EXPECT_EQ(pool.Alloc(), a);
    pool.Free(a);
    pool.Free(b);
    EXPECT_EQ(pool.GetChunkCount(), 0u);
}

TEST(GChunkAllocFree, NullAndForeignObjectsAreIgnored) {
    GChunkAlloc pool(16, 4, TRUE);
    GChunkAlloc other(16, 4, TRUE);
    void* mine = pool.Alloc();
    void* theirs = other.Alloc();
    pool.Free(nullptr);
    pool.Free(theirs);
    EXPECT_EQ(other.GetChunkCount(), 1u);
    EXPECT_EQ(pool.GetChunkCount(), 1u);
    other.Free(theirs);
    EXPECT_EQ(other.GetChunkCount(), 0u);
    pool.Free(mine);
}

TEST(GChunkAllocSlots, NoSlotsMeansNoObjects) {
    GChunkAlloc pool(16, 0, TRUE);
    EXPECT_EQ(pool.Alloc(), nullptr);
    EXPECT_EQ(pool.GetChunkCount(), 0u);
}

TEST(GChunkAllocSlots, DestructorReleasesChunksInUse) {
    // Leak-checked under the sanitizer build.
    GChunkAlloc* pool = new GChunkAlloc(76, 64, TRUE);
    for (int i = 0; i < 200; ++i)
        ASSERT_NE(pool->Alloc(), nullptr);
    EXPECT_EQ(pool->GetChunkCount(), 4u);
    delete pool;
}
