#include "file_test_support.h"

#include <TestDevice.h>

#include <cerrno>
#include <memory>

using namespace filetest;

namespace {

struct Closer {
    void operator()(FILE* f) const { fclose(f); }
};
using File = std::unique_ptr<FILE, Closer>;

File Open(const std::u16string& path, const std::u16string& mode) {
    return File(_wfopen(path.c_str(), mode.c_str()));
}

int OpenErrno(const std::u16string& path, const std::u16string& mode) {
    errno = 0;
    File f = Open(path, mode);
    EXPECT_EQ(f, nullptr) << plat::ToUtf8(path) << " " << plat::ToUtf8(mode);
    return errno;
}

std::string ReadAll(FILE* f) {
    std::string s;
    char buf[256];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        s.append(buf, n);
    return s;
}

class FileCrt : public ::testing::Test {
protected:
    void SetUp() override {
        MakeHostDir(root + "/Pad");
        WriteHost(root + "/Pad/Memo.pad", "0123456789");
    }
    TestDevice device;
    std::string root = device.Root();
};

} // namespace

TEST_F(FileCrt, WriteThenReadBack) {
    {
        File f = Open(u"\\pad\\new.pad", u"wb");
        ASSERT_NE(f, nullptr);
        ASSERT_EQ(fwrite("abc\r\ndef", 1, 8, f.get()), 8u);
    }
    EXPECT_EQ(ReadHost(root + "/Pad/new.pad"), "abc\r\ndef");
    File f = Open(u"\\PAD\\NEW.PAD", u"rb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(ReadAll(f.get()), "abc\r\ndef");
}

TEST_F(FileCrt, UpdateInPlaceKeepsTheRest) {
    // The memo writer rewrites the header of an existing file and keeps the blocks after it.
    {
        File f = Open(u"\\Pad\\memo.pad", u"r+b");
        ASSERT_NE(f, nullptr);
        ASSERT_EQ(fwrite("AB", 1, 2, f.get()), 2u);
        ASSERT_EQ(fseek(f.get(), 5, SEEK_SET), 0);
        EXPECT_EQ(fgetc(f.get()), '5');
        ASSERT_EQ(fseek(f.get(), 0, SEEK_END), 0);
        EXPECT_EQ(ftell(f.get()), 10);
    }
    EXPECT_EQ(ReadHost(root + "/Pad/Memo.pad"), "AB23456789");
}

TEST_F(FileCrt, EveryModeFamilyBehavesAsStdio) {
    {
        File f = Open(u"\\Pad\\Memo.pad", u"a");
        ASSERT_NE(f, nullptr);
        fputs("+", f.get());
    }
    EXPECT_EQ(ReadHost(root + "/Pad/Memo.pad"), "0123456789+");
    {
        File f = Open(u"\\Pad\\Memo.pad", u"w+");
        ASSERT_NE(f, nullptr);
        fputs("new", f.get());
        rewind(f.get());
        EXPECT_EQ(ReadAll(f.get()), "new");
    }
    {
        File f = Open(u"\\Pad\\Memo.pad", u"rb+");
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(ReadAll(f.get()), "new");
    }
    for (const char16_t* mode : {u"r", u"rb", u"rt", u"r+", u"r+t", u"a+b", u"ab", u"wb+"}) {
        File f = Open(u"\\Pad\\Memo.pad", mode);
        EXPECT_NE(f, nullptr) << plat::ToUtf8(mode);
    }
    // Text mode leaves line ends alone: the readers handle CR LF themselves.
    {
        File f = Open(u"\\Pad\\text.txt", u"wt");
        ASSERT_NE(f, nullptr);
        fputs("a\nb\r\n", f.get());
    }
    EXPECT_EQ(ReadHost(root + "/Pad/text.txt"), "a\nb\r\n");
}

TEST_F(FileCrt, BadModesAndPathsFail) {
    for (const char16_t* mode :
         {u"", u"x", u"rw", u"r++", u"rbt", u"rbb", u"wx", u"R", u"b", u"r,ccs=UTF-8"})
        EXPECT_EQ(OpenErrno(u"\\Pad\\Memo.pad", mode), EINVAL) << plat::ToUtf8(mode);
    errno = 0;
    EXPECT_EQ(_wfopen(nullptr, u"rb"), nullptr);
    EXPECT_EQ(errno, EINVAL);
    EXPECT_EQ(_wfopen(u"\\Pad\\Memo.pad", nullptr), nullptr);
    EXPECT_EQ(OpenErrno(u"\\Pad\\none.pad", u"rb"), ENOENT);
    EXPECT_EQ(OpenErrno(u"\\None\\x.pad", u"wb"), ENOENT);
    EXPECT_EQ(OpenErrno(u"\\Pad\\a:b", u"wb"), EINVAL);
    // Folders never open, for reading or writing.
    EXPECT_EQ(OpenErrno(u"\\Pad", u"rb"), EACCES);
    EXPECT_EQ(OpenErrno(u"\\pad", u"r+b"), EACCES);
    // Nothing is created outside the device.
    EXPECT_NE(OpenErrno(u"\\..\\escaped.pad", u"wb"), 0);
    EXPECT_FALSE(HostExists(root + "/../escaped.pad"));
}

TEST_F(FileCrt, ReadOnlyFilesOpenOnlyForReading) {
    ASSERT_TRUE(SetFileAttributesW(u"\\Pad\\Memo.pad", FILE_ATTRIBUTE_READONLY));
    for (const char16_t* mode : {u"wb", u"r+b", u"ab", u"w+", u"a+"})
        EXPECT_EQ(OpenErrno(u"\\Pad\\Memo.pad", mode), EACCES) << plat::ToUtf8(mode);
    EXPECT_EQ(ReadHost(root + "/Pad/Memo.pad"), "0123456789");
    File f = Open(u"\\Pad\\Memo.pad", u"rb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(ReadAll(f.get()), "0123456789");
}

TEST_F(FileCrt, WritingMarksTheFileForArchiving) {
    ASSERT_TRUE(SetFileAttributesW(u"\\Pad\\Memo.pad", FILE_ATTRIBUTE_HIDDEN));
    if (GetFileAttributesW(u"\\Pad\\Memo.pad") != FILE_ATTRIBUTE_HIDDEN)
        GTEST_SKIP() << "the file system cannot store attributes, so archive is always set";
    ASSERT_NE(Open(u"\\Pad\\Memo.pad", u"rb"), nullptr);
    EXPECT_EQ(GetFileAttributesW(u"\\Pad\\Memo.pad"), DWORD(FILE_ATTRIBUTE_HIDDEN));
    ASSERT_NE(Open(u"\\Pad\\Memo.pad", u"r+b"), nullptr);
    EXPECT_EQ(GetFileAttributesW(u"\\Pad\\Memo.pad"),
              DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
}

TEST_F(FileCrt, RemoveRenameAndFolders) {
    EXPECT_EQ(_wmkdir(u"\\pad\\Sub"), 0);
    EXPECT_EQ(_wmkdir(u"\\Pad\\SUB"), -1);
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(_wrename(u"\\Pad\\Memo.pad", u"\\Pad\\sub\\Renamed.pad"), 0);
    EXPECT_EQ(ReadHost(root + "/Pad/Sub/Renamed.pad"), "0123456789");
    WriteHost(root + "/Pad/taken", "");
    EXPECT_EQ(_wrename(u"\\Pad\\Sub\\Renamed.pad", u"\\Pad\\Taken"), -1);
    EXPECT_EQ(errno, EACCES);
    EXPECT_EQ(_wrmdir(u"\\Pad\\Sub"), -1);
    EXPECT_EQ(errno, ENOTEMPTY);
    EXPECT_EQ(_wremove(u"\\Pad\\Sub"), -1);
    EXPECT_EQ(errno, EACCES);
    EXPECT_EQ(_wremove(u"\\Pad\\Sub\\renamed.PAD"), 0);
    EXPECT_EQ(_wremove(u"\\Pad\\Sub\\renamed.PAD"), -1);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(_wrmdir(u"\\Pad\\Sub"), 0);
    EXPECT_FALSE(HostExists(root + "/Pad/Sub"));
}
