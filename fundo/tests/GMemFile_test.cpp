#include "fundo/GMemFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <type_traits>
#include <vector>

static_assert(!std::is_copy_constructible_v<GMemFile> && !std::is_copy_assignable_v<GMemFile>);

TEST(GMemFileGrowth, GrowsInWhole4096ByteSteps) {
    GMemFile f(nullptr, 0);
    ASSERT_NE(f.GetBuffer(), nullptr);
    EXPECT_EQ(f.Size(), 0);
    EXPECT_EQ(f.GetCapacity(), 0u);
    BYTE one = 7;
    EXPECT_EQ(f.Write(&one, 1), 1u);
    EXPECT_EQ(f.GetCapacity(), 4096u);
    std::vector<BYTE> big(5000, 0xAB);
    EXPECT_EQ(f.Write(big.data(), 5000), 5000u);
    EXPECT_EQ(f.GetCapacity(), 8192u);
    EXPECT_EQ(f.Size(), 5001);
    EXPECT_EQ(f.Tell(), 5001);
    EXPECT_EQ(f.GetBuffer()[0], 7);
    EXPECT_EQ(f.GetBuffer()[5000], 0xAB);
    // Exactly at the capacity: no growth.
    std::vector<BYTE> rest(8192 - 5001, 1);
    f.Write(rest.data(), static_cast<DWORD>(rest.size()));
    EXPECT_EQ(f.GetCapacity(), 8192u);
    f.PutC(2);
    EXPECT_EQ(f.GetCapacity(), 12288u);
    EXPECT_EQ(f.Size(), 8193);
}

TEST(GMemFileGrowth, CallersBufferIsUsedThenCopiedWhenOutgrown) {
    BYTE mine[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    GMemFile f(mine, 8);
    EXPECT_EQ(f.OwnsBuffer(), 0);
    BYTE x[2] = {9, 9};
    EXPECT_EQ(f.Write(x, 2), 2u); // within the caller's buffer
    EXPECT_EQ(mine[0], 9);
    EXPECT_EQ(f.GetBuffer(), mine);
    f.Seek(0, 2);
    EXPECT_EQ(f.PutC(10), 1);
    EXPECT_NE(f.GetBuffer(), mine);
    EXPECT_EQ(f.OwnsBuffer(), 1);
    EXPECT_EQ(f.Size(), 9);
    EXPECT_EQ(std::memcmp(f.GetBuffer(), "\x09\x09\x03\x04\x05\x06\x07\x08\x0A", 9), 0);
    EXPECT_EQ(mine[8 - 1], 8); // the caller's bytes are left as they were
}

TEST(GMemFileGrowth, WritingPastTheEndFillsTheGapWithZeros) {
    GMemFile f;
    BYTE a = 0x11;
    f.Write(&a, 1);
    ASSERT_EQ(f.Seek(100, 0), 1);
    f.Write(&a, 1);
    EXPECT_EQ(f.Size(), 101);
    f.Seek(0, 0);
    std::vector<BYTE> back(101);
    EXPECT_EQ(f.Read(back.data(), 101), 101u);
    EXPECT_EQ(back[0], 0x11);
    for (int i = 1; i < 100; ++i)
        ASSERT_EQ(back[i], 0) << i;
    EXPECT_EQ(back[100], 0x11);
}

TEST(GMemFileSeek, PastTheEndIsAllowedNegativeIsRefused) {
    BYTE five[5] = {1, 2, 3, 4, 5};
    GMemFile f(five, 5);
    EXPECT_EQ(f.Seek(10, 2), 1);
    EXPECT_EQ(f.Tell(), 15);
    EXPECT_EQ(f.Eof(), 1);
    EXPECT_EQ(f.Error(), 1);
    BYTE out[4];
    EXPECT_EQ(f.Read(out, 4), 0u);
    EXPECT_EQ(f.GetC(), -1);
    EXPECT_EQ(f.Seek(-6, 2), 0);
    EXPECT_EQ(f.Tell(), 15); // unchanged
    EXPECT_EQ(f.Seek(1, 3), 0);
    EXPECT_EQ(f.Seek(-2, 1), 1);
    EXPECT_EQ(f.Tell(), 13);
    EXPECT_EQ(f.Seek(0x7FFFFFFF, 1), 0); // beyond what Tell can report
    EXPECT_EQ(f.Seek(5, 0), 1);
    EXPECT_EQ(f.Eof(), 1);
    EXPECT_EQ(f.Error(), 0);
}

TEST(GMemFileRead, ReadsWhatIsLeftAndAdvances) {
    BYTE five[5] = {1, 2, 3, 4, 5};
    GMemFile f(five, 5);
    BYTE out[8] = {};
    EXPECT_EQ(f.Read(out, 3), 3u);
    EXPECT_EQ(f.Read(out, 8), 2u);
    EXPECT_EQ(out[0], 4);
    EXPECT_EQ(out[1], 5);
    EXPECT_EQ(f.Eof(), 1);
    EXPECT_EQ(f.Error(), 0);
    f.Seek(0, 0);
    EXPECT_EQ(f.Read(nullptr, 3), 0u);
    EXPECT_EQ(f.Read(out, 0), 0u);
    EXPECT_EQ(f.GetC(), 1);
    EXPECT_EQ(f.GetC(), 2);
    EXPECT_EQ(f.Tell(), 2);
}

TEST(GMemFileState, ClosedFileRefusesEverything) {
    GMemFile f;
    EXPECT_EQ(f.Close(), 1);
    EXPECT_EQ(f.GetBuffer(), nullptr);
    BYTE b = 1;
    EXPECT_EQ(f.Write(&b, 1), 0u);
    EXPECT_EQ(f.Read(&b, 1), 0u);
    EXPECT_EQ(f.PutC(1), 0);
    EXPECT_EQ(f.GetC(), -1);
    EXPECT_EQ(f.Tell(), -1);
    EXPECT_EQ(f.Size(), -1);
    EXPECT_EQ(f.Flush(), 0);
    EXPECT_EQ(f.Eof(), 1);
    EXPECT_EQ(f.Error(), -1);
    EXPECT_EQ(f.Seek(0, 0), 0);
    EXPECT_EQ(f.Compress(&b, 1, -1), 0u);
    BYTE* out = nullptr;
    DWORD size = 0;
    EXPECT_EQ(f.UnCompress(out, size), 0u);
}

TEST(GMemFileState, OpenAndSetBufferReplaceTheBuffer) {
    GMemFile f;
    f.Write("abc", 3);
    BYTE* owned = static_cast<BYTE*>(std::malloc(4));
    std::memcpy(owned, "wxyz", 4);
    EXPECT_EQ(f.SetBuffer(owned, 4, 1), 1);
    EXPECT_EQ(f.OwnsBuffer(), 1);
    EXPECT_EQ(f.Tell(), 0);
    EXPECT_EQ(f.Size(), 4);
    EXPECT_EQ(f.GetC(), 'w');
    EXPECT_EQ(f.Open(nullptr, 16), 1); // frees owned (ASan would see a leak otherwise)
    EXPECT_EQ(f.Size(), 16);
    EXPECT_EQ(f.GetC(), 0);
    EXPECT_EQ(f.SetBuffer(nullptr, 5, 1), 0);
    EXPECT_EQ(f.Size(), -1);
}
