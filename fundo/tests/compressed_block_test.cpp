#include "fundo/GIOFile.h"
#include "fundo/GMemFile.h"
#include "fundo/GZLib.h"

#include "TestDevice.h"
#include "stream_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

using streamtest::Block;
using streamtest::Deflate;
using streamtest::NoZlib;
using streamtest::RandomBytes;

namespace {

std::vector<BYTE> Contents(GMemFile& f) {
    return std::vector<BYTE>(f.GetBuffer(), f.GetBuffer() + f.Size());
}

DWORD Le32(const std::vector<BYTE>& v, size_t at) {
    return v[at] | v[at + 1] << 8 | v[at + 2] << 16 | static_cast<DWORD>(v[at + 3]) << 24;
}

// Reads one block back from bytes; the result owns the returned block.
struct Unpacked {
    BYTE* data = nullptr;
    DWORD size = 0;
    DWORD stored = 0;
    ~Unpacked() {
        if (data)
            LocalFree(data);
    }
    std::vector<BYTE> Bytes() const { return std::vector<BYTE>(data, data + size); }
};

void Unpack(std::vector<BYTE> bytes, Unpacked& out) {
    GMemFile f(bytes.data(), static_cast<DWORD>(bytes.size()));
    out.stored = f.UnCompress(out.data, out.size);
}

} // namespace

class CompressedBlockWrite : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        ReleaseGZLib(); // so that a tiny block can show it never binds zlib
        if (!GetParam())
            absent_ = std::make_unique<NoZlib>();
    }
    bool zlib() const { return GetParam(); }
    std::unique_ptr<NoZlib> absent_;
};

TEST_P(CompressedBlockWrite, ElevenBytesAreStoredRawWithoutZlib) {
    const std::vector<BYTE> plain(11, 'a'); // compressible, but under 12 bytes
    GMemFile f;
    EXPECT_EQ(f.Compress(plain.data(), 11, -1), 11u);
    std::vector<BYTE> out = Contents(f);
    ASSERT_EQ(out.size(), 19u);
    EXPECT_EQ(Le32(out, 0), 11u);
    EXPECT_EQ(Le32(out, 4), 11u);
    EXPECT_EQ(std::vector<BYTE>(out.begin() + 8, out.end()), plain);
    EXPECT_EQ(GZCompress2(), nullptr) << "zlib was bound for a tiny block";
}

TEST_P(CompressedBlockWrite, TenThousandZerosShrinkOnlyWithZlib) {
    const std::vector<BYTE> plain(10000, 0);
    GMemFile f;
    DWORD stored = f.Compress(plain.data(), 10000, -1);
    std::vector<BYTE> out = Contents(f);
    ASSERT_EQ(out.size(), 8u + stored);
    EXPECT_EQ(Le32(out, 0), 10000u);
    EXPECT_EQ(Le32(out, 4), stored);
    if (zlib()) {
        EXPECT_LT(stored, 100u);
        EXPECT_EQ(std::vector<BYTE>(out.begin() + 8, out.end()), Deflate(plain));
    } else {
        EXPECT_EQ(stored, 10000u);
        EXPECT_EQ(std::vector<BYTE>(out.begin() + 8, out.end()), plain);
    }
    Unpacked back;
    Unpack(out, back);
    EXPECT_EQ(back.stored, stored);
    EXPECT_EQ(back.Bytes(), plain);
}

TEST_P(CompressedBlockWrite, RandomBytesAreStoredRaw) {
    const std::vector<BYTE> plain = RandomBytes(100, 42);
    GMemFile f;
    EXPECT_EQ(f.Compress(plain.data(), 100, -1), 100u);
    std::vector<BYTE> out = Contents(f);
    ASSERT_EQ(out.size(), 108u);
    EXPECT_EQ(Le32(out, 4), 100u);
    EXPECT_EQ(std::vector<BYTE>(out.begin() + 8, out.end()), plain);
}

TEST_P(CompressedBlockWrite, NothingIsWrittenForNoData) {
    GMemFile f;
    BYTE b = 0;
    EXPECT_EQ(f.Compress(nullptr, 10, -1), 0u);
    EXPECT_EQ(f.Compress(&b, 0, -1), 0u);
    EXPECT_EQ(f.Size(), 0);
}

INSTANTIATE_TEST_SUITE_P(Zlib, CompressedBlockWrite, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Present" : "Absent"; });

TEST(CompressedBlockRead, RawBlockReadsBackWithoutZlib) {
    NoZlib absent;
    const std::vector<BYTE> plain = RandomBytes(100, 7);
    Unpacked back;
    Unpack(Block(100, plain), back);
    EXPECT_EQ(back.stored, 100u);
    EXPECT_EQ(back.Bytes(), plain);
}

TEST(CompressedBlockRead, PackedBlockFailsWithoutZlib) {
    const std::vector<BYTE> plain(10000, 0);
    std::vector<BYTE> packed = Deflate(plain);
    ASSERT_FALSE(packed.empty());
    NoZlib absent;
    Unpacked back;
    Unpack(Block(10000, packed), back);
    EXPECT_EQ(back.stored, 0u);
    EXPECT_EQ(back.data, nullptr);
}

TEST(CompressedBlockRead, PackedBlockBindsZlibOnItsOwn) {
    ReleaseGZLib();
    std::vector<BYTE> plain(3000);
    for (size_t i = 0; i < plain.size(); ++i)
        plain[i] = static_cast<BYTE>(i % 13);
    std::vector<BYTE> packed = Deflate(plain);
    Unpacked back;
    Unpack(Block(3000, packed), back);
    EXPECT_EQ(back.stored, packed.size());
    EXPECT_EQ(back.Bytes(), plain);
}

TEST(CompressedBlockRead, CallersBufferIsReusedWhenLargeEnough) {
    const std::vector<BYTE> plain = RandomBytes(40, 3);
    std::vector<BYTE> bytes = Block(40, plain);
    GMemFile f(bytes.data(), static_cast<DWORD>(bytes.size()));
    BYTE* mine = static_cast<BYTE*>(LocalAlloc(LPTR, 64));
    BYTE* buffer = mine;
    DWORD size = 64;
    EXPECT_EQ(f.UnCompress(buffer, size), 40u);
    EXPECT_EQ(buffer, mine);
    EXPECT_EQ(size, 40u);
    EXPECT_EQ(std::memcmp(buffer, plain.data(), 40), 0);
    LocalFree(buffer);
}

TEST(CompressedBlockRead, TooSmallCallersBufferIsReplaced) {
    const std::vector<BYTE> plain(5000, 9);
    std::vector<BYTE> bytes = Block(5000, Deflate(plain));
    GMemFile f(bytes.data(), static_cast<DWORD>(bytes.size()));
    BYTE* buffer = static_cast<BYTE*>(LocalAlloc(LPTR, 16)); // released by UnCompress
    DWORD size = 16;
    EXPECT_GT(f.UnCompress(buffer, size), 0u);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(size, 5000u);
    EXPECT_EQ(std::vector<BYTE>(buffer, buffer + size), plain);
    LocalFree(buffer);
}

TEST(CompressedBlockRead, ConsecutiveBlocksFollowEachOther) {
    GMemFile f;
    const std::vector<BYTE> a(2000, 1);
    const std::vector<BYTE> b = RandomBytes(30, 5);
    f.Compress(a.data(), 2000, -1);
    f.Compress(b.data(), 30, 9);
    f.Seek(0, 0);
    Unpacked first, second, third;
    EXPECT_GT(f.UnCompress(first.data, first.size), 0u);
    EXPECT_EQ(f.UnCompress(second.data, second.size), 30u);
    EXPECT_EQ(first.Bytes(), a);
    EXPECT_EQ(second.Bytes(), b);
    EXPECT_EQ(f.UnCompress(third.data, third.size), 0u); // at the end
}

TEST(CompressedBlockDamage, AbsurdHeadersAllocateNothing) {
    const std::vector<BYTE> payload = RandomBytes(20, 1);
    std::vector<std::vector<BYTE>> blocks;
    blocks.push_back(Block(0, payload));                  // no plain size
    blocks.push_back(Block(20, {}));                      // no stored size
    blocks.push_back(Block(10, payload));                 // stored larger than plain
    blocks.push_back(Block(0xFFFFFFF0u, payload));        // beyond the block limit
    blocks.push_back(Block(kGFileMaxBlockSize, payload)); // beyond what 20 bytes inflate to
    std::vector<BYTE> truncated = Block(100, RandomBytes(100, 2));
    truncated.resize(60); // stored size larger than the stream
    blocks.push_back(truncated);
    blocks.push_back({1, 0, 0}); // header cut short
    for (size_t i = 0; i < blocks.size(); ++i) {
        GMemFile f(blocks[i].data(), static_cast<DWORD>(blocks[i].size()));
        BYTE keep = 0;
        BYTE* buffer = &keep;
        DWORD size = 1;
        EXPECT_EQ(f.UnCompress(buffer, size), 0u) << i;
        EXPECT_EQ(buffer, &keep) << i; // refused before any allocation
        EXPECT_EQ(size, 1u) << i;
    }
}

TEST(CompressedBlockDamage, BadZlibStreamFailsAndReleasesTheBuffer) {
    const std::vector<BYTE> plain(1000, 4);
    std::vector<BYTE> packed = Deflate(plain);
    struct Variant {
        DWORD plain;
        std::vector<BYTE> payload;
    };
    std::vector<BYTE> garbage = packed;
    garbage[2] ^= 0xFF;
    std::vector<Variant> variants = {
        {1000, garbage},
        {999, packed},  // output larger than claimed
        {1001, packed}, // output shorter than claimed
        {1000, std::vector<BYTE>(packed.begin(), packed.end() - 4)},
    };
    for (size_t i = 0; i < variants.size(); ++i) {
        Unpacked back;
        Unpack(Block(variants[i].plain, variants[i].payload), back);
        EXPECT_EQ(back.stored, 0u) << i;
        EXPECT_EQ(back.data, nullptr) << i;
    }
}

TEST(CompressedBlockFile, RoundTripsThroughADeviceFile) {
    TestDevice device;
    const std::vector<BYTE> plain(20000, 'z');
    {
        GIOFile f;
        ASSERT_EQ(f.Open(u"\\block.bin", u"wb"), 1);
        EXPECT_GT(f.Compress(plain.data(), 20000, -1), 0u);
    }
    GIOFile f;
    ASSERT_EQ(f.Open(u"\\block.bin", u"rb"), 1);
    Unpacked back;
    EXPECT_GT(f.UnCompress(back.data, back.size), 0u);
    EXPECT_EQ(back.Bytes(), plain);
    EXPECT_EQ(f.UnCompress(back.data, back.size), 0u);
}
