#include "file_test_support.h"

#include <TestDevice.h>

using namespace filetest;

namespace {

class FileReplace : public ::testing::Test {
protected:
    void SetUp() override {
        MakeHostDir(root + "/Pad");
        WriteHost(root + "/Pad/memo.pad", "old memo");
        WriteHost(root + "/Pad/memo.pad.new", "new memo");
    }
    TestDevice device;
    std::string root = device.Root();
};

constexpr DWORD kReplace = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;

} // namespace

TEST_F(FileReplace, ReplacesAnExistingFileWhole) {
    EXPECT_TRUE(MoveFileExW(u"\\Pad\\memo.pad.new", u"\\PAD\\Memo.PAD", kReplace));
    EXPECT_EQ(ReadHost(root + "/Pad/memo.pad"), "new memo");
    EXPECT_FALSE(HostExists(root + "/Pad/memo.pad.new"));
    // The existing spelling is kept, no second file appears.
    EXPECT_FALSE(HostExists(root + "/Pad/Memo.PAD"));
}

TEST_F(FileReplace, WithoutTheFlagAnExistingTargetIsRefused) {
    EXPECT_FALSE(MoveFileExW(u"\\Pad\\memo.pad.new", u"\\Pad\\memo.pad", 0));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(ReadHost(root + "/Pad/memo.pad"), "old memo");
    EXPECT_TRUE(MoveFileExW(u"\\Pad\\memo.pad.new", u"\\Pad\\other.pad", MOVEFILE_WRITE_THROUGH));
    EXPECT_EQ(ReadHost(root + "/Pad/other.pad"), "new memo");
}

TEST_F(FileReplace, MissingTargetIsCreated) {
    EXPECT_TRUE(MoveFileExW(u"\\Pad\\memo.pad.new", u"\\Pad\\fresh.pad", kReplace));
    EXPECT_EQ(ReadHost(root + "/Pad/fresh.pad"), "new memo");
}

TEST_F(FileReplace, ReadOnlyTargetAndDirectoriesAreRefused) {
    ASSERT_TRUE(SetFileAttributesW(u"\\Pad\\memo.pad", FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(MoveFileExW(u"\\Pad\\memo.pad.new", u"\\Pad\\memo.pad", kReplace));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(ReadHost(root + "/Pad/memo.pad"), "old memo");
    EXPECT_EQ(ReadHost(root + "/Pad/memo.pad.new"), "new memo");

    MakeHostDir(root + "/Pad/Sub");
    EXPECT_FALSE(MoveFileExW(u"\\Pad\\memo.pad.new", u"\\Pad\\Sub", kReplace));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(HostExists(root + "/Pad/memo.pad.new"));
}

TEST_F(FileReplace, MissingSourceOrFolderFails) {
    EXPECT_FALSE(MoveFileExW(u"\\Pad\\none", u"\\Pad\\memo.pad", kReplace));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(MoveFileExW(u"\\Pad\\memo.pad.new", u"\\Nowhere\\memo.pad", kReplace));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(ReadHost(root + "/Pad/memo.pad"), "old memo");
}

TEST(FileCommit, FlushedStreamCommitsAndBadDescriptorsFail) {
    TestDevice device;
    FILE* f = _wfopen(u"\\c.bin", u"wb");
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(fwrite("abc", 1, 3, f), 3u);
    ASSERT_EQ(fflush(f), 0);
    EXPECT_EQ(_commit(_fileno(f)), 0);
    EXPECT_EQ(ReadHost(device.Root() + "/c.bin"), "abc");
    fclose(f);
    EXPECT_EQ(_fileno(nullptr), -1);
    EXPECT_EQ(_commit(-1), -1);
}
