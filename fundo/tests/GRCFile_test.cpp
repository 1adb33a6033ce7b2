#include "fundo/GRCFile.h"

#include <platform/module.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <type_traits>
#include <vector>

#include "fundo/GIOFile.h"

static_assert(!std::is_copy_constructible_v<GRCFile> && !std::is_copy_assignable_v<GIOFile>);

// The resources come from the scribbo_resources() line of fundo/CMakeLists.txt.

namespace {

std::vector<BYTE> DataFile(const std::string& name) {
    std::ifstream in(std::string(SCRIBBO_TEST_DATA) + "/" + name, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

TEST(GRCFile, ReadsAndSeeksOverTheResourceBytes) {
    std::vector<BYTE> expected = DataFile("rc_bytes.bin");
    ASSERT_EQ(expected.size(), 300u);
    GRCFile f;
    // Only the identifier's low 16 bits name the resource.
    ASSERT_EQ(f.Open(0x30007, RT_RCDATA, plat::ThisModule()), 1);
    EXPECT_EQ(f.Size(), 300);
    std::vector<BYTE> got(400);
    EXPECT_EQ(f.Read(got.data(), 400), 300u);
    got.resize(300);
    EXPECT_EQ(got, expected);
    EXPECT_EQ(f.Eof(), 1);
    EXPECT_EQ(f.Error(), 0);
    EXPECT_EQ(f.GetC(), -1);
    EXPECT_EQ(f.Seek(-1, 2), 1);
    EXPECT_EQ(f.GetC(), expected[299]);
    EXPECT_EQ(f.Seek(10, 0), 1);
    EXPECT_EQ(f.Tell(), 10);
    EXPECT_EQ(f.GetC(), expected[10]);
    EXPECT_EQ(f.Seek(-20, 1), 0);
    EXPECT_EQ(f.Seek(5, 2), 1); // past the end
    EXPECT_EQ(f.Error(), 1);
    EXPECT_EQ(f.Read(got.data(), 1), 0u);
}

TEST(GRCFile, NeverWrites) {
    GRCFile f;
    ASSERT_EQ(f.Open(7, RT_RCDATA, plat::ThisModule()), 1);
    BYTE first = f.GetData()[0];
    f.Seek(0, 0);
    EXPECT_EQ(f.Write("x", 1), 0u);
    EXPECT_EQ(f.PutC('x'), 1);
    EXPECT_EQ(f.Compress("0123456789abcdef", 16, -1), 0u);
    EXPECT_EQ(f.GetData()[0], first);
    EXPECT_EQ(f.Tell(), 0);
    EXPECT_EQ(f.Flush(), 1);
}

TEST(GRCFile, BlocksReadStraightFromTheResource) {
    GRCFile f;
    ASSERT_EQ(f.Open(8, RT_RCDATA, plat::ThisModule()), 1);
    BYTE* buffer = nullptr;
    DWORD size = 0;
    EXPECT_EQ(f.UnCompress(buffer, size), 5u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), size), "hello");
    EXPECT_GT(f.UnCompress(buffer, size), 0u); // a zlib stream made outside
    ASSERT_EQ(size, 4000u);
    std::string text(reinterpret_cast<char*>(buffer), size);
    EXPECT_EQ(text.substr(0, 16), "scribbo scribbo ");
    EXPECT_EQ(text.substr(3992), "scribbo ");
    LocalFree(buffer);
    buffer = nullptr;
    EXPECT_EQ(f.UnCompress(buffer, size), 0u);
}

TEST(GRCFile, MissingResourcesAndClosedFiles) {
    GRCFile f;
    EXPECT_EQ(f.Open(7, RT_RCDATA, nullptr), 0);
    EXPECT_EQ(f.Open(99, RT_RCDATA, plat::ThisModule()), 0);
    EXPECT_EQ(f.Open(7, RT_BITMAP, plat::ThisModule()), 0);
    EXPECT_EQ(f.Size(), -1);
    EXPECT_EQ(f.Tell(), -1);
    EXPECT_EQ(f.Eof(), 1);
    EXPECT_EQ(f.Error(), -1);
    EXPECT_EQ(f.GetC(), -1);
    EXPECT_EQ(f.Seek(0, 0), 0);
    ASSERT_EQ(f.Open(7, RT_RCDATA, plat::ThisModule()), 1);
    EXPECT_EQ(f.Close(), 1);
    EXPECT_EQ(f.Size(), -1);
}
