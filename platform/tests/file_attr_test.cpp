#include "file_test_support.h"
#include "../src/file_internal.h"

#include <TestDevice.h>
#include <platform/device.h>

using namespace filetest;

namespace {

constexpr DWORD RO = FILE_ATTRIBUTE_READONLY, HID = FILE_ATTRIBUTE_HIDDEN,
                SYS = FILE_ATTRIBUTE_SYSTEM, DIR_ = FILE_ATTRIBUTE_DIRECTORY,
                ARC = FILE_ATTRIBUTE_ARCHIVE, NORM = FILE_ATTRIBUTE_NORMAL,
                TMP = FILE_ATTRIBUTE_TEMPORARY;

class FileAttr : public ::testing::Test {
protected:
    void SetUp() override {
        WriteHost(root + "/memo.pad", "x");
        WriteHost(root + "/.profile", "x");
        MakeHostDir(root + "/Folder");
        MakeHostDir(root + "/.cache");
        if (!XattrSupported(root))
            xattrs = false;
    }
    void RequireXattrs() {
        if (!xattrs)
            GTEST_SKIP() << "the file system under " << root
                         << " refuses user extended attributes; only the fallbacks can be checked";
    }
    TestDevice device;
    std::string root = device.Root();
    bool xattrs = true;
};

// Acts as a file system without extended attributes for one test.
struct NoXattrs {
    NoXattrs() { plat::SetXattrRefusedForTesting(true); }
    ~NoXattrs() { plat::SetXattrRefusedForTesting(false); }
};

} // namespace

TEST_F(FileAttr, WithoutStoredValueFallbacksApply) {
    EXPECT_EQ(GetFileAttributesW(u"\\memo.pad"), ARC);
    EXPECT_EQ(GetFileAttributesW(u"\\.profile"), ARC | HID);
    EXPECT_EQ(GetFileAttributesW(u"\\Folder"), DIR_);
    EXPECT_EQ(GetFileAttributesW(u"\\.cache"), DIR_ | HID);
    EXPECT_EQ(GetFileAttributesW(u"\\"), DIR_);
    // A file its owner may not write reads as read-only.
    ASSERT_EQ(chmod((root + "/memo.pad").c_str(), 0444), 0);
    EXPECT_EQ(GetFileAttributesW(u"\\MEMO.PAD"), ARC | RO);
}

TEST_F(FileAttr, MissingPathsGiveInvalidAttributes) {
    SetLastError(0);
    EXPECT_EQ(GetFileAttributesW(u"\\nothing.pad"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(GetFileAttributesW(u"\\No Folder\\nothing.pad"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(GetFileAttributesW(u"\\memo.pad\\x"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(GetFileAttributesW(u"\\..\\etc"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(nullptr), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(SetFileAttributesW(u"\\nothing.pad", ARC));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
}

TEST_F(FileAttr, ReadsTheTextFormOthersWrite) {
    RequireXattrs();
    ASSERT_TRUE(SetDosAttrib(root + "/memo.pad", "0x22"));
    EXPECT_EQ(GetFileAttributesW(u"\\memo.pad"), HID | ARC);
    ASSERT_TRUE(SetDosAttrib(root + "/memo.pad", std::string("0x21\0", 5)));
    EXPECT_EQ(GetFileAttributesW(u"\\memo.pad"), RO | ARC);
    ASSERT_TRUE(SetDosAttrib(root + "/memo.pad", "0X104"));
    EXPECT_EQ(GetFileAttributesW(u"\\memo.pad"), SYS | TMP);
    // A stored value overrides the dot-name rule, and a directory stays a directory.
    ASSERT_TRUE(SetDosAttrib(root + "/.profile", "0x0"));
    EXPECT_EQ(GetFileAttributesW(u"\\.profile"), NORM);
    ASSERT_TRUE(SetDosAttrib(root + "/Folder", "0x0"));
    EXPECT_EQ(GetFileAttributesW(u"\\Folder"), DIR_);
    // Values not in the text form read as if nothing were stored.
    for (const std::string& bad : std::vector<std::string>{"garbage", "0x", "0xZZ", "0x123456789",
                                                           std::string("\x01\0\0", 3)}) {
        ASSERT_TRUE(SetDosAttrib(root + "/.profile", bad));
        EXPECT_EQ(GetFileAttributesW(u"\\.profile"), HID | ARC) << bad;
    }
}

TEST_F(FileAttr, SetStoresTheTextForm) {
    RequireXattrs();
    ASSERT_TRUE(SetFileAttributesW(u"\\Memo.PAD", HID | ARC));
    EXPECT_EQ(DosAttrib(root + "/memo.pad"), "0x22");
    EXPECT_EQ(GetFileAttributesW(u"\\memo.pad"), HID | ARC);
    // NORMAL alone clears everything; DIRECTORY cannot be set on a file.
    ASSERT_TRUE(SetFileAttributesW(u"\\memo.pad", NORM | DIR_));
    EXPECT_EQ(DosAttrib(root + "/memo.pad"), "0x0");
    EXPECT_EQ(GetFileAttributesW(u"\\memo.pad"), NORM);
    // A storage card is a folder with the temporary attribute.
    ASSERT_TRUE(SetFileAttributesW(u"\\folder", TMP));
    EXPECT_EQ(DosAttrib(root + "/Folder"), "0x110");
    EXPECT_EQ(GetFileAttributesW(u"\\Folder"), DIR_ | TMP);
    ASSERT_TRUE(SetFileAttributesW(u"\\.cache", 0));
    EXPECT_EQ(GetFileAttributesW(u"\\.cache"), DIR_);
}

TEST_F(FileAttr, ReadOnlyIsMirroredIntoPermissions) {
    ASSERT_TRUE(SetFileAttributesW(u"\\memo.pad", RO | ARC));
    EXPECT_EQ(HostMode(root + "/memo.pad") & 0222, 0u);
    EXPECT_EQ(GetFileAttributesW(u"\\memo.pad"), RO | ARC);
    ASSERT_TRUE(SetFileAttributesW(u"\\memo.pad", ARC));
    EXPECT_NE(HostMode(root + "/memo.pad") & 0200, 0u);
    EXPECT_EQ(GetFileAttributesW(u"\\memo.pad"), ARC);
}

TEST_F(FileAttr, ReadOnlyFilesAndFoldersCanStillBeChanged) {
    RequireXattrs();
    ASSERT_TRUE(SetFileAttributesW(u"\\memo.pad", RO | ARC));
    ASSERT_TRUE(SetFileAttributesW(u"\\memo.pad", RO | HID));
    EXPECT_EQ(GetFileAttributesW(u"\\memo.pad"), RO | HID);
    EXPECT_EQ(HostMode(root + "/memo.pad") & 0222, 0u);
    // A read-only folder keeps its permissions: files can still be made in it.
    const mode_t before = HostMode(root + "/Folder");
    ASSERT_TRUE(SetFileAttributesW(u"\\Folder", RO));
    EXPECT_EQ(HostMode(root + "/Folder"), before);
    EXPECT_EQ(GetFileAttributesW(u"\\Folder"), DIR_ | RO);
    ASSERT_TRUE(SetFileAttributesW(u"\\Folder", 0));
    EXPECT_EQ(GetFileAttributesW(u"\\Folder"), DIR_);
}

TEST_F(FileAttr, WithoutExtendedAttributesOnlyRepresentableRequestsSucceed) {
    NoXattrs refuse;
    // Read-only still works through the permission bits.
    ASSERT_TRUE(SetFileAttributesW(u"\\memo.pad", RO | ARC));
    EXPECT_EQ(GetFileAttributesW(u"\\memo.pad"), RO | ARC);
    ASSERT_TRUE(SetFileAttributesW(u"\\memo.pad", ARC));
    EXPECT_EQ(GetFileAttributesW(u"\\memo.pad"), ARC);
    // Hidden follows the name, so asking for it on a dot name is honoured, elsewhere not.
    EXPECT_TRUE(SetFileAttributesW(u"\\.profile", HID | ARC));
    EXPECT_FALSE(SetFileAttributesW(u"\\memo.pad", HID | ARC));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_SUPPORTED));
    EXPECT_FALSE(SetFileAttributesW(u"\\memo.pad", NORM)); // archive cannot be cleared
    EXPECT_EQ(GetFileAttributesW(u"\\memo.pad"), ARC);
    // What could be applied was: the file is read-only although the rest failed.
    EXPECT_FALSE(SetFileAttributesW(u"\\memo.pad", RO | SYS | ARC));
    EXPECT_EQ(GetFileAttributesW(u"\\memo.pad"), RO | ARC);
    EXPECT_TRUE(SetFileAttributesW(u"\\Folder", 0));
    EXPECT_FALSE(SetFileAttributesW(u"\\Folder", TMP));
}

TEST_F(FileAttr, StoredAttributesPersistOnThisMachine) {
    // Run where user extended attributes work, this must not be skipped.
    RequireXattrs();
    ASSERT_TRUE(SetFileAttributesW(u"\\memo.pad", SYS | HID | ARC));
    plat::SetDeviceRoot(root); // reopening the device changes nothing
    EXPECT_EQ(GetFileAttributesW(u"\\memo.pad"), SYS | HID | ARC);
    EXPECT_EQ(DosAttrib(root + "/memo.pad"), "0x26");
}
