#include "file_test_support.h"

#include <TestDevice.h>
#include <platform/device.h>

#include <filesystem>

using namespace filetest;

namespace {

std::string Map(const std::u16string& device) {
    std::string host;
    EXPECT_TRUE(plat::DeviceToHostPath(device.c_str(), &host)) << plat::ToUtf8(device);
    return host;
}

// Refused, with the error left behind.
DWORD Refusal(const std::u16string& device) {
    SetLastError(0);
    std::string host = "unchanged";
    EXPECT_FALSE(plat::DeviceToHostPath(device.c_str(), &host)) << plat::ToUtf8(device);
    EXPECT_EQ(host, "unchanged");
    return GetLastError();
}

class DevicePath : public ::testing::Test {
protected:
    TestDevice device;
    std::string root = device.Root();
};

} // namespace

TEST_F(DevicePath, RootAndSeparators) {
    EXPECT_EQ(Map(u"\\"), root);
    EXPECT_EQ(Map(u"/"), root);
    EXPECT_EQ(Map(u"\\.\\"), root);
    // Both separators, doubled and trailing ones collapse; missing names stay as written.
    EXPECT_EQ(Map(u"\\My Documents//Pad\\\\x.pad\\"), root + "/My Documents/Pad/x.pad");
    EXPECT_EQ(Map(u"/My Documents\\Pad/x.pad"), root + "/My Documents/Pad/x.pad");
    // No current directory on the device: relative paths start at the root.
    EXPECT_EQ(Map(u"My Documents\\x.pad"), root + "/My Documents/x.pad");
}

TEST_F(DevicePath, ComponentsMatchCaseInsensitively) {
    MakeHostDir(root + "/My Documents");
    MakeHostDir(root + "/My Documents/Pad");
    WriteHost(root + "/My Documents/Pad/Memo.pad", "x");
    EXPECT_EQ(Map(u"\\MY DOCUMENTS\\pad\\MEMO.PAD"), root + "/My Documents/Pad/Memo.pad");
    EXPECT_EQ(Map(u"/my documents/PAD/memo.Pad"), root + "/My Documents/Pad/Memo.pad");
    // Existing folders are matched, the missing rest is kept as written.
    EXPECT_EQ(Map(u"\\my documents\\NEW Folder\\Note.PAD"),
              root + "/My Documents/NEW Folder/Note.PAD");
    // Beyond ASCII, as file names on the device fold.
    MakeHostDir(root + "/Ärger");
    WriteHost(root + "/Ärger/Übung Σ.txt", "");
    EXPECT_EQ(Map(u"\\äRGER\\üBUNG σ.TXT"), root + "/Ärger/Übung Σ.txt");
    MakeHostDir(root + "/메모");
    EXPECT_EQ(Map(u"\\메모\\a"), root + "/메모/a");
}

TEST_F(DevicePath, ExactSpellingWinsAndTiesAreDeterministic) {
    WriteHost(root + "/abc", "lower");
    WriteHost(root + "/ABC", "upper");
    EXPECT_EQ(Map(u"\\abc"), root + "/abc");
    EXPECT_EQ(Map(u"\\ABC"), root + "/ABC");
    // No exact spelling: the first in byte order, every time.
    EXPECT_EQ(Map(u"\\Abc"), root + "/ABC");
    EXPECT_EQ(Map(u"\\aBC"), root + "/ABC");
    // Inside a path a directory is preferred over a file of the same folded name.
    WriteHost(root + "/DATA", "file");
    MakeHostDir(root + "/data");
    EXPECT_EQ(Map(u"\\Data\\x"), root + "/data/x");
    EXPECT_EQ(Map(u"\\Data"), root + "/DATA");
}

TEST_F(DevicePath, DotsResolveOnTheTextAndNeverLeaveTheRoot) {
    EXPECT_EQ(Map(u"\\a\\.\\b\\..\\c"), root + "/a/c");
    EXPECT_EQ(Map(u"\\a\\..\\b"), root + "/b");
    EXPECT_EQ(Map(u"\\a\\.."), root);
    for (const char16_t* escape : {u"\\..", u"..", u"/../etc/passwd", u"\\a\\..\\..\\x", u"..\\x",
                                   u"\\a\\b\\..\\..\\..\\c", u"\\.\\..\\", u"/a/../../"})
        EXPECT_EQ(Refusal(escape), DWORD(ERROR_PATH_NOT_FOUND)) << plat::ToUtf8(escape);
    // Three dots are a name like any other, not a way up.
    EXPECT_EQ(Map(u"\\...\\x"), root + "/.../x");
}

TEST_F(DevicePath, LinksAreFollowedButDotsAreNotResolvedThroughThem) {
    const std::string outside = root + "-outside";
    struct Cleanup {
        std::string dir;
        ~Cleanup() { std::filesystem::remove_all(dir); }
    } cleanup{outside};
    std::filesystem::create_directories(outside);
    WriteHost(outside + "/real.exe", "binary");
    ASSERT_EQ(symlink(outside.c_str(), (root + "/Program").c_str()), 0);
    // A link into the program's real folder is fine to use...
    EXPECT_EQ(Map(u"\\program\\REAL.EXE"), root + "/Program/real.exe");
    // ...but ".." after it means the root's parent of the link, not the target's parent.
    EXPECT_EQ(Map(u"\\Program\\..\\x"), root + "/x");
    EXPECT_EQ(Refusal(u"\\Program\\..\\..\\x"), DWORD(ERROR_PATH_NOT_FOUND));
}

TEST_F(DevicePath, InvalidNamesAreRefused) {
    for (const char16_t* bad : {u"\\C:\\x", u"\\a:b", u"\\a*b", u"\\a?b", u"\\dir*\\x", u"\\a|b",
                                u"\\a<b", u"\\a>b", u"\\a\"b", u"\\a\x01z", u"\\tab\there"})
        EXPECT_EQ(Refusal(bad), DWORD(ERROR_INVALID_NAME)) << plat::ToUtf8(bad);
    const char16_t loneHigh[] = {u'\\', u'a', 0xD800, u'b', 0};
    const char16_t loneLow[] = {u'\\', 0xDC00, 0};
    EXPECT_EQ(Refusal(loneHigh), DWORD(ERROR_INVALID_NAME));
    EXPECT_EQ(Refusal(loneLow), DWORD(ERROR_INVALID_NAME));
    const char16_t pair[] = {u'\\', 0xD83D, 0xDD8A, 0};
    EXPECT_EQ(Map(pair), root + "/\U0001F58A");
    EXPECT_EQ(Refusal(u""), DWORD(ERROR_PATH_NOT_FOUND));
    std::string host;
    EXPECT_FALSE(plat::DeviceToHostPath(nullptr, &host));
}

TEST_F(DevicePath, HostPathsMapBackInsideTheRootOnly) {
    std::u16string dev;
    ASSERT_TRUE(plat::HostToDevicePath(root, &dev));
    EXPECT_EQ(dev, u"\\");
    ASSERT_TRUE(plat::HostToDevicePath(root + "/My Documents/메모.pad", &dev));
    EXPECT_EQ(dev, u"\\My Documents\\메모.pad");
    ASSERT_TRUE(plat::HostToDevicePath(root + "//a/./b/../c/", &dev));
    EXPECT_EQ(dev, u"\\a\\c");
    EXPECT_FALSE(plat::HostToDevicePath("/etc/passwd", &dev));
    EXPECT_FALSE(plat::HostToDevicePath(root + "/../x", &dev));
    EXPECT_FALSE(plat::HostToDevicePath(root + "sibling/x", &dev)); // shares the prefix only
    EXPECT_FALSE(plat::HostToDevicePath(root + "/back\\slash", &dev));
    EXPECT_FALSE(plat::HostToDevicePath(root + "/a:b", &dev));
    EXPECT_FALSE(plat::HostToDevicePath(root + "/bad\xFF", &dev));
    EXPECT_FALSE(plat::HostToDevicePath("", &dev));
    // A round trip lands on the same host file.
    MakeHostDir(root + "/Pad");
    ASSERT_TRUE(plat::HostToDevicePath(root + "/Pad", &dev));
    EXPECT_EQ(Map(dev), root + "/Pad");
}

TEST_F(DevicePath, FollowsTheCurrentRoot) {
    TestDevice other;
    EXPECT_EQ(Map(u"\\x"), other.Root() + "/x");
    std::u16string dev;
    EXPECT_FALSE(plat::HostToDevicePath(root + "/x", &dev));
}
