#include "file_test_support.h"

#include <TestDevice.h>

#include <filesystem>

#include <fcntl.h>

using namespace filetest;
using Names = std::vector<std::string>;

namespace {

constexpr DWORD RO = FILE_ATTRIBUTE_READONLY, HID = FILE_ATTRIBUTE_HIDDEN,
                SYS = FILE_ATTRIBUTE_SYSTEM, DIR_ = FILE_ATTRIBUTE_DIRECTORY,
                ARC = FILE_ATTRIBUTE_ARCHIVE, TMP = FILE_ATTRIBUTE_TEMPORARY;

class FileOps : public ::testing::Test {
protected:
    void SetUp() override {
        MakeHostDir(root + "/My Documents");
        WriteHost(root + "/My Documents/Memo.pad", "memo bytes");
        // Something outside the device that no call may reach.
        outside = root + "-outside";
        std::filesystem::create_directories(outside);
        WriteHost(outside + "/victim", "keep");
    }
    void TearDown() override { std::filesystem::remove_all(outside); }
    static std::int64_t WriteTime(const std::string& host) {
        struct stat st;
        return stat(host.c_str(), &st) == 0 ? st.st_mtim.tv_sec : -1;
    }
    TestDevice device;
    std::string root = device.Root();
    std::string outside;
};

BOOL Fails(BOOL result, DWORD expected) {
    EXPECT_FALSE(result);
    EXPECT_EQ(GetLastError(), expected);
    return result;
}

} // namespace

TEST_F(FileOps, CreateDirectory) {
    EXPECT_TRUE(CreateDirectoryW(u"\\My Documents\\Pad", nullptr));
    EXPECT_EQ(GetFileAttributesW(u"\\my documents\\pad"), DIR_);
    Fails(CreateDirectoryW(u"\\My Documents\\Pad", nullptr), ERROR_ALREADY_EXISTS);
    // Another spelling names the same folder, and no second one appears.
    Fails(CreateDirectoryW(u"\\MY DOCUMENTS\\PAD", nullptr), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(HostNames(root + "/My Documents"), (Names{"Memo.pad", "Pad"}));
    Fails(CreateDirectoryW(u"\\my documents\\memo.pad", nullptr), ERROR_ALREADY_EXISTS);
    Fails(CreateDirectoryW(u"\\Nowhere\\Pad", nullptr), ERROR_PATH_NOT_FOUND);
    Fails(CreateDirectoryW(u"\\", nullptr), ERROR_ALREADY_EXISTS);
    Fails(CreateDirectoryW(u"\\bad:name", nullptr), ERROR_INVALID_NAME);
}

TEST_F(FileOps, RemoveDirectory) {
    MakeHostDir(root + "/Empty");
    Fails(RemoveDirectoryW(u"\\My Documents"), ERROR_DIR_NOT_EMPTY);
    Fails(RemoveDirectoryW(u"\\My Documents\\Memo.pad"), ERROR_DIRECTORY);
    Fails(RemoveDirectoryW(u"\\Gone"), ERROR_FILE_NOT_FOUND);
    Fails(RemoveDirectoryW(u"\\"), ERROR_ACCESS_DENIED);
    ASSERT_TRUE(SetFileAttributesW(u"\\Empty", RO));
    if (GetFileAttributesW(u"\\Empty") & RO) {
        Fails(RemoveDirectoryW(u"\\empty"), ERROR_ACCESS_DENIED);
        ASSERT_TRUE(SetFileAttributesW(u"\\Empty", 0));
    }
    EXPECT_TRUE(RemoveDirectoryW(u"\\EMPTY"));
    EXPECT_FALSE(HostExists(root + "/Empty"));
    // A link to a folder goes; what it points at stays.
    ASSERT_EQ(symlink(outside.c_str(), (root + "/Card").c_str()), 0);
    EXPECT_TRUE(RemoveDirectoryW(u"\\card"));
    EXPECT_FALSE(HostExists(root + "/Card"));
    EXPECT_EQ(ReadHost(outside + "/victim"), "keep");
}

TEST_F(FileOps, DeleteFile) {
    Fails(DeleteFileW(u"\\My Documents"), ERROR_ACCESS_DENIED);
    Fails(DeleteFileW(u"\\My Documents\\none.pad"), ERROR_FILE_NOT_FOUND);
    Fails(DeleteFileW(u"\\None\\none.pad"), ERROR_PATH_NOT_FOUND);
    ASSERT_TRUE(SetFileAttributesW(u"\\My Documents\\Memo.pad", RO | ARC));
    Fails(DeleteFileW(u"\\My Documents\\Memo.pad"), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(HostExists(root + "/My Documents/Memo.pad"));
    ASSERT_TRUE(SetFileAttributesW(u"\\My Documents\\Memo.pad", ARC));
    EXPECT_TRUE(DeleteFileW(u"\\MY DOCUMENTS\\MEMO.PAD"));
    EXPECT_FALSE(HostExists(root + "/My Documents/Memo.pad"));
}

TEST_F(FileOps, MoveKeepsContentAndAttributes) {
    ASSERT_TRUE(SetFileAttributesW(u"\\My Documents\\Memo.pad", RO | HID | ARC));
    ASSERT_TRUE(CreateDirectoryW(u"\\Archive", nullptr));
    ASSERT_TRUE(MoveFileW(u"\\my documents\\memo.pad", u"\\archive\\Moved.pad"));
    EXPECT_FALSE(HostExists(root + "/My Documents/Memo.pad"));
    EXPECT_EQ(ReadHost(root + "/Archive/Moved.pad"), "memo bytes");
    EXPECT_EQ(GetFileAttributesW(u"\\Archive\\Moved.pad"), RO | HID | ARC);

    // Folders move whole, with their attributes.
    ASSERT_TRUE(SetFileAttributesW(u"\\Archive", HID));
    ASSERT_TRUE(MoveFileW(u"\\Archive", u"\\My Documents\\Old"));
    EXPECT_EQ(GetFileAttributesW(u"\\My Documents\\Old"), DIR_ | HID);
    EXPECT_EQ(GetFileAttributesW(u"\\My Documents\\Old\\moved.pad"), RO | HID | ARC);
}

TEST_F(FileOps, MoveNeverReplaces) {
    WriteHost(root + "/My Documents/Other.pad", "other");
    Fails(MoveFileW(u"\\My Documents\\Memo.pad", u"\\My Documents\\OTHER.PAD"),
          ERROR_ALREADY_EXISTS);
    EXPECT_EQ(ReadHost(root + "/My Documents/Memo.pad"), "memo bytes");
    EXPECT_EQ(ReadHost(root + "/My Documents/Other.pad"), "other");
    Fails(MoveFileW(u"\\My Documents\\Gone.pad", u"\\x.pad"), ERROR_FILE_NOT_FOUND);
    Fails(MoveFileW(u"\\My Documents\\Memo.pad", u"\\No\\x.pad"), ERROR_PATH_NOT_FOUND);
    Fails(MoveFileW(u"\\My Documents", u"\\My Documents\\Inner"), ERROR_ACCESS_DENIED);
    Fails(MoveFileW(u"\\", u"\\x"), ERROR_ACCESS_DENIED);
}

TEST_F(FileOps, MoveCanChangeCaseOnly) {
    ASSERT_TRUE(MoveFileW(u"\\My Documents\\Memo.pad", u"\\my documents\\MEMO.PAD"));
    EXPECT_EQ(HostNames(root + "/My Documents"), Names{"MEMO.PAD"});
    ASSERT_TRUE(MoveFileW(u"\\My Documents", u"\\MY DOCUMENTS"));
    EXPECT_EQ(HostNames(root), Names{"MY DOCUMENTS"});
    EXPECT_TRUE(MoveFileW(u"\\MY DOCUMENTS", u"\\MY DOCUMENTS")); // the same name
}

TEST_F(FileOps, MoveToAnotherFileSystemCopiesFiles) {
    char shm[] = "/dev/shm/scribbo-card-XXXXXX";
    struct stat a, b;
    if (stat("/dev/shm", &b) != 0 || stat(root.c_str(), &a) != 0 || a.st_dev == b.st_dev ||
        !mkdtemp(shm))
        GTEST_SKIP() << "no second file system to move to";
    ASSERT_EQ(symlink(shm, (root + "/Storage Card").c_str()), 0);
    ASSERT_TRUE(SetFileAttributesW(u"\\My Documents\\Memo.pad", HID | ARC));
    const timespec times[2] = {{1173951000, 0}, {1173951000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, (root + "/My Documents/Memo.pad").c_str(), times, 0), 0);
    EXPECT_TRUE(MoveFileW(u"\\My Documents\\Memo.pad", u"\\storage card\\Memo.pad"));
    EXPECT_FALSE(HostExists(root + "/My Documents/Memo.pad"));
    EXPECT_EQ(ReadHost(std::string(shm) + "/Memo.pad"), "memo bytes");
    EXPECT_EQ(WriteTime(std::string(shm) + "/Memo.pad"), 1173951000);
    EXPECT_EQ(GetFileAttributesW(u"\\Storage Card\\Memo.pad"),
              XattrSupported(shm) ? (HID | ARC) : ARC);
    // A folder cannot be moved there, as with MoveFile between volumes.
    Fails(MoveFileW(u"\\My Documents", u"\\Storage Card\\Docs"), ERROR_NOT_SAME_DEVICE);
    EXPECT_TRUE(HostExists(root + "/My Documents"));
    EXPECT_EQ(HostNames(shm), Names{"Memo.pad"});
    std::filesystem::remove_all(shm);
}

TEST_F(FileOps, CopyKeepsContentAttributesAndWriteTime) {
    const std::string src = root + "/My Documents/Memo.pad";
    ASSERT_TRUE(SetFileAttributesW(u"\\My Documents\\Memo.pad", RO | SYS | HID | ARC));
    const timespec times[2] = {{1173951000, 0}, {1173951000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, src.c_str(), times, 0), 0);
    ASSERT_TRUE(CopyFileW(u"\\my documents\\MEMO.pad", u"\\Copy.pad", TRUE));
    EXPECT_EQ(ReadHost(root + "/Copy.pad"), "memo bytes");
    EXPECT_EQ(GetFileAttributesW(u"\\Copy.pad"), RO | SYS | HID | ARC);
    EXPECT_EQ(WriteTime(root + "/Copy.pad"), 1173951000);
    EXPECT_EQ(HostMode(root + "/Copy.pad") & 0222, 0u);
    // The source is untouched, and no temporary file is left behind.
    EXPECT_EQ(ReadHost(src), "memo bytes");
    EXPECT_EQ(HostNames(root), (Names{"Copy.pad", "My Documents"}));
    // Attributes the source only has by its name travel too.
    WriteHost(root + "/.dotted", "d");
    ASSERT_TRUE(CopyFileW(u"\\.dotted", u"\\plain", FALSE));
    EXPECT_EQ(GetFileAttributesW(u"\\plain"), HID | ARC);
}

TEST_F(FileOps, CopyOverExistingFiles) {
    WriteHost(root + "/target.pad", "old target");
    Fails(CopyFileW(u"\\My Documents\\Memo.pad", u"\\TARGET.pad", TRUE), ERROR_FILE_EXISTS);
    EXPECT_EQ(ReadHost(root + "/target.pad"), "old target");
    ASSERT_TRUE(CopyFileW(u"\\My Documents\\Memo.pad", u"\\TARGET.pad", FALSE));
    // The existing file is replaced under its own spelling.
    EXPECT_EQ(ReadHost(root + "/target.pad"), "memo bytes");
    EXPECT_EQ(HostNames(root), (Names{"My Documents", "target.pad"}));
    // Read-only and hidden targets are refused, as CopyFile does.
    for (DWORD guard : {RO | ARC, HID | ARC}) {
        WriteHost(root + "/guarded", "guarded");
        ASSERT_TRUE(SetFileAttributesW(u"\\guarded", guard));
        if (GetFileAttributesW(u"\\guarded") != guard)
            continue; // hidden cannot be stored here
        Fails(CopyFileW(u"\\My Documents\\Memo.pad", u"\\guarded", FALSE), ERROR_ACCESS_DENIED);
        EXPECT_EQ(ReadHost(root + "/guarded"), "guarded");
        ASSERT_TRUE(SetFileAttributesW(u"\\guarded", ARC));
    }
    Fails(CopyFileW(u"\\My Documents\\Memo.pad", u"\\My Documents\\memo.PAD", FALSE),
          ERROR_SHARING_VIOLATION);
    EXPECT_EQ(ReadHost(root + "/My Documents/Memo.pad"), "memo bytes");
    Fails(CopyFileW(u"\\My Documents\\Memo.pad", u"\\My Documents", FALSE), ERROR_ACCESS_DENIED);
    Fails(CopyFileW(u"\\My Documents", u"\\Docs", FALSE), ERROR_ACCESS_DENIED);
    Fails(CopyFileW(u"\\none", u"\\x", FALSE), ERROR_FILE_NOT_FOUND);
    Fails(CopyFileW(u"\\My Documents\\Memo.pad", u"\\No\\x", FALSE), ERROR_PATH_NOT_FOUND);
}

TEST_F(FileOps, NothingReachesOutsideTheRoot) {
    const std::u16string up = u"\\..\\" + plat::FromUtf8(outside.substr(outside.rfind('/') + 1));
    Fails(DeleteFileW((up + u"\\victim").c_str()), ERROR_PATH_NOT_FOUND);
    Fails(CreateDirectoryW((up + u"\\made").c_str(), nullptr), ERROR_PATH_NOT_FOUND);
    Fails(CopyFileW(u"\\My Documents\\Memo.pad", (up + u"\\victim").c_str(), FALSE),
          ERROR_PATH_NOT_FOUND);
    Fails(MoveFileW(u"\\My Documents\\Memo.pad", (up + u"\\moved").c_str()), ERROR_PATH_NOT_FOUND);
    Fails(MoveFileW((up + u"\\victim").c_str(), u"\\stolen"), ERROR_PATH_NOT_FOUND);
    Fails(SetFileAttributesW((up + u"\\victim").c_str(), RO), ERROR_PATH_NOT_FOUND);
    Fails(RemoveDirectoryW(up.c_str()), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(HostNames(outside), Names{"victim"});
    EXPECT_EQ(ReadHost(outside + "/victim"), "keep");
    EXPECT_NE(HostMode(outside + "/victim") & 0200, 0u);
}

TEST_F(FileOps, AttributesSurviveAStoreStyleFolderMove) {
    // Moving a folder the way the memo store does: create, copy, restore attributes, delete.
    ASSERT_TRUE(SetFileAttributesW(u"\\My Documents\\Memo.pad", RO | ARC | TMP));
    ASSERT_TRUE(CreateDirectoryW(u"\\Target", nullptr));
    const DWORD old = GetFileAttributesW(u"\\My Documents\\Memo.pad");
    ASSERT_TRUE(SetFileAttributesW(u"\\My Documents\\Memo.pad", old & ~RO));
    ASSERT_TRUE(CopyFileW(u"\\My Documents\\Memo.pad", u"\\Target\\Memo.pad", FALSE));
    ASSERT_TRUE(DeleteFileW(u"\\My Documents\\Memo.pad"));
    ASSERT_TRUE(SetFileAttributesW(u"\\Target\\Memo.pad", old));
    ASSERT_TRUE(RemoveDirectoryW(u"\\My Documents"));
    EXPECT_EQ(GetFileAttributesW(u"\\target\\memo.pad"), RO | ARC | TMP);
}
