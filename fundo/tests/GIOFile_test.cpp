#include "fundo/GIOFile.h"

#include "TestDevice.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string HostBytes(const std::string& host) {
    std::ifstream in(host, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

TEST(GIOFile, WritesAndReadsBackThroughTheDevice) {
    TestDevice device;
    GIOFile f;
    ASSERT_EQ(f.Open(u"\\data.bin", u"wb"), 1);
    EXPECT_EQ(f.Write("hello", 5), 5u);
    EXPECT_EQ(f.PutC('!'), 1);
    EXPECT_EQ(f.Tell(), 6);
    EXPECT_EQ(f.Flush(), 1);
    EXPECT_EQ(f.Close(), 0);
    EXPECT_EQ(HostBytes(device.Host("data.bin")), "hello!");

    ASSERT_EQ(f.Open(u"\\DATA.BIN", u"rb"), 1); // names match without case
    EXPECT_EQ(f.Size(), 6);
    EXPECT_EQ(f.Seek(-2, 2), 1);
    EXPECT_EQ(f.Size(), 6);
    EXPECT_EQ(f.Tell(), 4); // Size leaves the position alone
    EXPECT_EQ(f.GetC(), 'o');
    EXPECT_EQ(f.GetC(), '!');
    EXPECT_EQ(f.Eof(), 0);
    EXPECT_EQ(f.GetC(), -1);
    EXPECT_EQ(f.Eof(), 1);
    EXPECT_EQ(f.Error(), 0);
    EXPECT_EQ(f.Seek(0, 0), 1);
    char out[8] = {};
    EXPECT_EQ(f.Read(out, 8), 6u);
    EXPECT_EQ(std::string(out, 6), "hello!");
    EXPECT_EQ(f.Seek(0, 7), 0);
}

TEST(GIOFile, WithoutAStreamEverythingFails) {
    TestDevice device;
    GIOFile f;
    EXPECT_EQ(f.Open(u"\\missing.bin", u"rb"), 0);
    EXPECT_EQ(f.GetStream(), nullptr);
    char b = 0;
    EXPECT_EQ(f.Read(&b, 1), 0u);
    EXPECT_EQ(f.Write(&b, 1), 0u);
    EXPECT_EQ(f.PutC(1), 0);
    EXPECT_EQ(f.GetC(), -1);
    EXPECT_EQ(f.Tell(), -1);
    EXPECT_EQ(f.Size(), -1);
    EXPECT_EQ(f.Seek(0, 0), 0);
    EXPECT_EQ(f.Flush(), 0);
    EXPECT_EQ(f.Eof(), 1);
    EXPECT_EQ(f.Error(), -1);
    EXPECT_EQ(f.Compress("abcdefghijklmnop", 16, -1), 0u);
    BYTE* out = nullptr;
    DWORD size = 0;
    EXPECT_EQ(f.UnCompress(out, size), 0u);
    EXPECT_EQ(out, nullptr);
}

TEST(GIOFile, AWrappedStreamIsNotClosed) {
    TestDevice device;
    FILE* stream = _wfopen(u"\\w.bin", u"wb");
    ASSERT_NE(stream, nullptr);
    {
        GIOFile f(stream);
        EXPECT_EQ(f.Write("ab", 2), 2u);
        f.Close();
    }
    // Still usable after the wrapper has gone.
    EXPECT_EQ(fputc('c', stream), 'c');
    EXPECT_EQ(fclose(stream), 0);
    EXPECT_EQ(HostBytes(device.Host("w.bin")), "abc");
}

TEST(GIOFile, OpenClosesThePreviousStream) {
    TestDevice device;
    GIOFile f;
    ASSERT_EQ(f.Open(u"\\a.bin", u"wb"), 1);
    f.Write("first", 5);
    ASSERT_EQ(f.Open(u"\\b.bin", u"wb"), 1); // a.bin is flushed and closed here
    EXPECT_EQ(HostBytes(device.Host("a.bin")), "first");
}
