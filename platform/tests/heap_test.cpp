#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>

namespace {

bool AllZero(const void* p, size_t n) {
    const auto* b = static_cast<const BYTE*>(p);
    for (size_t i = 0; i < n; ++i)
        if (b[i])
            return false;
    return true;
}

} // namespace

TEST(LocalHeap, ZeroInitFillsTheWholeBlock) {
    // A small block from the heap and a large one the allocator maps on its own; odd sizes
    // leave slack beyond the request, which must be zero too.
    for (size_t size : {size_t{4001}, (size_t{3} << 20) + 1}) {
        // Dirty the heap first so a zeroed block is not zero by luck.
        void* dirty = std::malloc(size);
        std::memset(dirty, 0xAB, size);
        std::free(dirty);
        HLOCAL p = LocalAlloc(LPTR, size);
        ASSERT_NE(p, nullptr) << size;
        ASSERT_GE(LocalSize(p), size);
        EXPECT_TRUE(AllZero(p, LocalSize(p))) << size;
        EXPECT_EQ(LocalFree(p), nullptr);
    }
}

TEST(LocalHeap, FixedBlocksAreWritableAndDistinctEvenAtSizeZero) {
    HLOCAL a = LocalAlloc(LMEM_FIXED, 0);
    HLOCAL b = LocalAlloc(LMEM_FIXED, 0);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    HLOCAL c = LocalAlloc(LMEM_FIXED, 64);
    ASSERT_NE(c, nullptr);
    std::memset(c, 0x5A, 64);
    EXPECT_EQ(static_cast<BYTE*>(c)[63], 0x5A);
    EXPECT_EQ(LocalFree(a), nullptr);
    EXPECT_EQ(LocalFree(b), nullptr);
    EXPECT_EQ(LocalFree(c), nullptr);
    EXPECT_EQ(LocalFree(nullptr), nullptr);
}

TEST(LocalHeap, HugeRequestsFailWithoutAborting) {
    for (SIZE_T size : {static_cast<SIZE_T>(SIZE_MAX), static_cast<SIZE_T>(SIZE_MAX / 2),
                        static_cast<SIZE_T>(0x80000000u)}) {
        SetLastError(0);
        EXPECT_EQ(LocalAlloc(LPTR, size), nullptr) << size;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    }
    HLOCAL p = LocalAlloc(LMEM_FIXED, 16);
    ASSERT_NE(p, nullptr);
    SetLastError(0);
    EXPECT_EQ(LocalReAlloc(p, SIZE_MAX, LMEM_MOVEABLE), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    LocalFree(p);
}

TEST(LocalHeap, UnknownFlagsAreRefused) {
    SetLastError(0);
    EXPECT_EQ(LocalAlloc(0x8000, 16), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(LocalHeap, MoveableReAllocKeepsContentsAndZeroesTheGrowth) {
    auto* p = static_cast<BYTE*>(LocalAlloc(LMEM_FIXED, 16));
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 16; ++i)
        p[i] = static_cast<BYTE>(i + 1);
    SIZE_T before = LocalSize(p);
    auto* q = static_cast<BYTE*>(LocalReAlloc(p, 8192, LMEM_MOVEABLE | LMEM_ZEROINIT));
    ASSERT_NE(q, nullptr);
    ASSERT_GE(LocalSize(q), 8192u);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(q[i], i + 1);
    EXPECT_TRUE(AllZero(q + before, LocalSize(q) - before));
    LocalFree(q);
}

TEST(LocalHeap, FixedReAllocNeverMovesTheBlock) {
    auto* p = static_cast<BYTE*>(LocalAlloc(LMEM_FIXED, 32));
    ASSERT_NE(p, nullptr);
    std::memset(p, 7, 32);
    // Shrinking stays in place.
    EXPECT_EQ(LocalReAlloc(p, 8, LMEM_FIXED), p);
    // Growing past the block fails and leaves it intact and owned by the caller.
    SetLastError(0);
    EXPECT_EQ(LocalReAlloc(p, 1 << 20, LMEM_FIXED), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(p[0], 7);
    EXPECT_EQ(p[7], 7);
    EXPECT_EQ(LocalReAlloc(nullptr, 8, LMEM_MOVEABLE), nullptr);
    LocalFree(p);
}

TEST(LocalHeap, BlocksMixWithTheCHeap) {
    // Callers that release a local block with free(), or a malloc block with LocalFree, work.
    void* a = LocalAlloc(LPTR, 100);
    ASSERT_NE(a, nullptr);
    std::free(a);
    void* b = std::malloc(100);
    ASSERT_NE(b, nullptr);
    EXPECT_GE(LocalSize(b), 100u);
    EXPECT_EQ(LocalFree(b), nullptr);
}
