#include "scribbo/TemplateFile.h"

#include "scribbo_test_support.h"

#include <TestDevice.h>

#include <gtest/gtest.h>

#include <cstring>

using namespace apptest;

namespace {

constexpr WCHAR kPbt[] = u"\\PBT\\paper.pbt";

Bytes HeaderBytes(const TemplateHeader& h) {
    Bytes b(72);
    TemplateHeaderToBytes(h, b.data());
    return b;
}

TemplateHeader PictureHeader(DWORD flags, DWORD size) {
    TemplateHeader h;
    InitTemplateHeader(&h, 0);
    h.HasBackImage = 1;
    h.Flags |= flags;
    h.BackImageFormat = 3;
    h.BackImageSize = size;
    return h;
}

class TemplateFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreateDirectoryW(u"\\PBT", nullptr));
        ASSERT_TRUE(CreateDirectoryW(u"\\Back", nullptr));
        InitTemplateHeader(&before, 1);
        before.PageWidth = 1234; // tells the untouched header apart from the defaults
    }
    // Reads kPbt into a header that starts as `before`.
    int Read(TemplateHeader* h, WCHAR* path, BYTE** picture = nullptr, DWORD* size = nullptr) {
        *h = before;
        std::memset(path, 0x55, 260 * sizeof(WCHAR));
        return ReadTemplateFile(kPbt, h, path, picture, size);
    }
    std::string Host() const { return device.Host("PBT/paper.pbt"); }
    TestDevice device;
    TemplateHeader before;
};

} // namespace

TEST_F(TemplateFile, HeaderOnlyFileIsTheHeaderBytes) {
    TemplateHeader h;
    InitTemplateHeader(&h, 0);
    ASSERT_EQ(WriteTemplateFile(kPbt, &h, u""), 1);
    EXPECT_EQ(ReadHost(Host()), HeaderBytes(h));
}

TEST_F(TemplateFile, EmbeddedPictureLoadSaveLoad) {
    const Bytes picture = Pattern(5000, 7); // not a whole number of 2048-byte chunks
    WriteHost(device.Host("Back/sky.jpg"), picture);
    // A stale size from when the picture was chosen is corrected to what is embedded.
    TemplateHeader h = PictureHeader(eTFPicture | eTFEmbedPicture, 10);
    ASSERT_EQ(WriteTemplateFile(kPbt, &h, u"\\Back\\sky.jpg"), 1);
    EXPECT_EQ(h.BackImageSize, 5000u);

    Bytes expected = HeaderBytes(h);
    Put32(expected, 13);
    PutText(expected, u"\\Back\\sky.jpg");
    expected.insert(expected.end(), picture.begin(), picture.end());
    const Bytes written = ReadHost(Host());
    ASSERT_EQ(written, expected);

    TemplateHeader got;
    WCHAR path[260];
    BYTE* bytes = nullptr;
    DWORD size = 0;
    ASSERT_EQ(Read(&got, path, &bytes, &size), 1);
    EXPECT_EQ(HeaderBytes(got), HeaderBytes(h));
    EXPECT_EQ(std::u16string(path), u"\\Back\\sky.jpg");
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(Bytes(bytes, bytes + size), picture);
    LocalFree(bytes);

    // Written again from what was read, the file comes out byte for byte the same.
    ASSERT_EQ(WriteTemplateFile(kPbt, &got, path), 1);
    EXPECT_EQ(ReadHost(Host()), written);
}

TEST_F(TemplateFile, PathWithoutEmbeddingWritesNoPictureBytes) {
    WriteHost(device.Host("Back/sky.jpg"), Pattern(100, 3));
    TemplateHeader h = PictureHeader(eTFPicture, 100);
    ASSERT_EQ(WriteTemplateFile(kPbt, &h, u"\\Back\\sky.jpg"), 1);
    EXPECT_EQ(ReadHost(Host()).size(), 72u + 4 + 2 * 13);
    TemplateHeader got;
    WCHAR path[260];
    BYTE* bytes = reinterpret_cast<BYTE*>(1);
    ASSERT_EQ(Read(&got, path, &bytes), 1);
    EXPECT_EQ(bytes, nullptr);
    EXPECT_EQ(std::u16string(path), u"\\Back\\sky.jpg");
}

TEST_F(TemplateFile, MissingPictureLeavesTheHeaderOnly) {
    TemplateHeader h = PictureHeader(eTFPicture | eTFEmbedPicture, 100);
    ASSERT_EQ(WriteTemplateFile(kPbt, &h, u"\\Back\\gone.jpg"), 1);
    EXPECT_EQ(h.Flags & eTFPicture, 0u);
    EXPECT_EQ(ReadHost(Host()), HeaderBytes(h));
}

TEST_F(TemplateFile, PictureFlagWithoutHasBackImageHasNoPathField) {
    TemplateHeader h = PictureHeader(eTFPicture, 0);
    h.HasBackImage = 0;
    WriteHost(device.Host("Back/sky.jpg"), Pattern(10, 1));
    ASSERT_EQ(WriteTemplateFile(kPbt, &h, u"\\Back\\sky.jpg"), 1);
    EXPECT_EQ(ReadHost(Host()), HeaderBytes(h));
    // Bytes after such a header are not taken as a path.
    Bytes file = HeaderBytes(h);
    Put32(file, 3);
    PutText(file, u"abc");
    WriteHost(Host(), file);
    TemplateHeader got;
    WCHAR path[260];
    ASSERT_EQ(Read(&got, path), 1);
    EXPECT_EQ(path[0], 0);
    EXPECT_NE(got.Flags & eTFPicture, 0u);
}

TEST_F(TemplateFile, EmbedFlagWithoutSizeIsClearedOnReading) {
    TemplateHeader h = PictureHeader(eTFPicture | eTFEmbedPicture, 0);
    Bytes file = HeaderBytes(h);
    Put32(file, 1);
    PutText(file, u"x");
    WriteHost(Host(), file);
    TemplateHeader got;
    WCHAR path[260];
    ASSERT_EQ(Read(&got, path), 1);
    EXPECT_EQ(got.Flags & eTFEmbedPicture, 0u);
    EXPECT_NE(got.Flags & eTFPicture, 0u);
    EXPECT_EQ(std::u16string(path), u"x");
}

TEST_F(TemplateFile, DamagedFilesChangeNothing) {
    TemplateHeader h = PictureHeader(eTFPicture, 0);
    const Bytes header = HeaderBytes(h);
    auto withCount = [&](DWORD n, size_t chars) {
        Bytes b = header;
        Put32(b, n);
        b.resize(b.size() + 2 * chars, 'a');
        return b;
    };
    const Bytes damaged[] = {
        Bytes(header.begin(), header.begin() + 71), // short header
        withCount(260, 260),                        // path longer than any buffer
        withCount(0xFFFFFFFFu, 4),                  // absurd count
        withCount(10, 9),                           // path cut short
    };
    for (const Bytes& file : damaged) {
        WriteHost(Host(), file);
        TemplateHeader got;
        WCHAR path[260];
        EXPECT_EQ(Read(&got, path), 0) << file.size();
        EXPECT_EQ(HeaderBytes(got), HeaderBytes(before));
        EXPECT_EQ(path[0], 0x5555);
    }
    EXPECT_EQ(ReadTemplateFile(u"\\PBT\\none.pbt", &h, nullptr, nullptr, nullptr), 0);
}

TEST_F(TemplateFile, TruncatedPictureKeepsHeaderAndPath) {
    TemplateHeader h = PictureHeader(eTFPicture | eTFEmbedPicture, 1000);
    Bytes file = HeaderBytes(h);
    Put32(file, 1);
    PutText(file, u"p");
    const Bytes part = Pattern(999, 5);
    file.insert(file.end(), part.begin(), part.end());
    WriteHost(Host(), file);
    TemplateHeader got;
    WCHAR path[260];
    BYTE* bytes = nullptr;
    ASSERT_EQ(Read(&got, path, &bytes), 1);
    EXPECT_EQ(bytes, nullptr);
    EXPECT_EQ(HeaderBytes(got), HeaderBytes(h));
    EXPECT_EQ(std::u16string(path), u"p");
}

TEST_F(TemplateFile, FailedWriteKeepsTheOldFile) {
    const Bytes old = Pattern(72, 9);
    WriteHost(Host(), old);
    ASSERT_TRUE(SetFileAttributesW(kPbt, FILE_ATTRIBUTE_READONLY));
    TemplateHeader h;
    InitTemplateHeader(&h, 0);
    EXPECT_EQ(WriteTemplateFile(kPbt, &h, u""), 0);
    EXPECT_EQ(ReadHost(Host()), old);
}
