#include "file_test_support.h"

#include <TestDevice.h>

#include <fcntl.h>
#include <unistd.h>

using namespace filetest;
using Names = std::vector<std::string>;

namespace {

DWORD FindError(const std::u16string& pattern) {
    WIN32_FIND_DATAW data;
    SetLastError(0);
    EXPECT_EQ(FindFirstFileW(pattern.c_str(), &data), INVALID_HANDLE_VALUE)
        << plat::ToUtf8(pattern);
    return GetLastError();
}

class FileFind : public ::testing::Test {
protected:
    void SetUp() override {
        WriteHost(root + "/Memo.PAD", "12345");
        WriteHost(root + "/notes.txt", "");
        WriteHost(root + "/README", "");
        WriteHost(root + "/archive.tar.gz", "");
        WriteHost(root + "/.hidden", "");
        MakeHostDir(root + "/Sub");
    }
    TestDevice device;
    std::string root = device.Root();
};

} // namespace

TEST_F(FileFind, StarAndStarDotStarTakeEveryNameButDots) {
    const Names all = {".hidden", "archive.tar.gz", "Memo.PAD", "notes.txt", "README", "Sub"};
    EXPECT_EQ(FindNames(u"\\*"), all);
    EXPECT_EQ(FindNames(u"\\*.*"), all);
    EXPECT_EQ(FindNames(u"*"), all);
    EXPECT_EQ(FindNames(u"/*.*"), all);
}

TEST_F(FileFind, ExtensionPatternsIgnoreCase) {
    EXPECT_EQ(FindNames(u"\\*.pad"), Names{"Memo.PAD"});
    EXPECT_EQ(FindNames(u"\\*.Pad"), Names{"Memo.PAD"});
    EXPECT_EQ(FindNames(u"\\*.TXT"), Names{"notes.txt"});
    EXPECT_EQ(FindNames(u"\\*.gz"), Names{"archive.tar.gz"});
    EXPECT_EQ(FindNames(u"\\*.tar"), Names{});
    EXPECT_EQ(FindError(u"\\*.pa"), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(FindError(u"\\*.padx"), DWORD(ERROR_FILE_NOT_FOUND));
}

TEST_F(FileFind, QuestionMarksAndInnerStars) {
    EXPECT_EQ(FindNames(u"\\?????.txt"), Names{"notes.txt"});
    EXPECT_EQ(FindError(u"\\????.txt"), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(FindNames(u"\\n*s.t?t"), Names{"notes.txt"});
    EXPECT_EQ(FindNames(u"\\*e*"),
              (Names{".hidden", "archive.tar.gz", "Memo.PAD", "notes.txt", "README"}));
    EXPECT_EQ(FindNames(u"\\m*"), Names{"Memo.PAD"});
    EXPECT_EQ(FindNames(u"\\**a**"), (Names{"archive.tar.gz", "Memo.PAD", "README"}));
    // A trailing ".*" also takes the bare name.
    EXPECT_EQ(FindNames(u"\\readme.*"), Names{"README"});
    EXPECT_EQ(FindNames(u"\\memo.*"), Names{"Memo.PAD"});
}

TEST_F(FileFind, AnExactNameIsFoundAsSpeltOnDisk) {
    EXPECT_EQ(FindNames(u"\\memo.pad"), Names{"Memo.PAD"});
    EXPECT_EQ(FindNames(u"\\SUB"), Names{"Sub"});
}

TEST_F(FileFind, FolderPartMatchesCaseInsensitively) {
    WriteHost(root + "/Sub/20070315_093000.pad", "");
    WriteHost(root + "/Sub/20070316_100000.PAD", "");
    EXPECT_EQ(FindNames(u"\\sub\\*.pad"), (Names{"20070315_093000.pad", "20070316_100000.PAD"}));
    EXPECT_EQ(FindNames(u"\\SUB/*"), (Names{"20070315_093000.pad", "20070316_100000.PAD"}));
}

TEST_F(FileFind, FailuresReportTheDocumentedErrors) {
    EXPECT_EQ(FindError(u"\\Missing\\*"), DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(FindError(u"\\notes.txt\\*"), DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(FindError(u"\\nothing*"), DWORD(ERROR_FILE_NOT_FOUND));
    // An empty folder has no "." and ".." to report.
    EXPECT_EQ(FindError(u"\\Sub\\*"), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(FindError(u"\\Sub\\"), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(FindError(u"\\Sub\\."), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(FindError(u"\\Nope\\"), DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(FindError(u"\\S*\\*"), DWORD(ERROR_INVALID_NAME));
    EXPECT_EQ(FindError(u"\\a|*"), DWORD(ERROR_INVALID_NAME));
    EXPECT_EQ(FindError(u"\\..\\*"), DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(FindError(u""), DWORD(ERROR_PATH_NOT_FOUND));
    WIN32_FIND_DATAW data;
    SetLastError(0);
    EXPECT_EQ(FindFirstFileW(nullptr, &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST_F(FileFind, HandlesEndAndAreCheckedOnUse) {
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(u"\\*.txt", &data);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(FindNextFileW(h, &data));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_MORE_FILES));
    EXPECT_FALSE(FindNextFileW(h, &data)); // stays at the end
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_MORE_FILES));
    EXPECT_TRUE(FindClose(h));
    // A closed or foreign handle is refused, not followed.
    EXPECT_FALSE(FindClose(h));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    int dummy = 0;
    EXPECT_FALSE(FindNextFileW(&dummy, &data));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(FindClose(INVALID_HANDLE_VALUE));
}

TEST_F(FileFind, ReportsAttributesSizesAndTimes) {
    // 2007-03-15 09:30:00.5 UTC as the write time.
    const timespec times[2] = {{1173951000, 0}, {1173951000, 500000000}};
    ASSERT_EQ(utimensat(AT_FDCWD, (root + "/Memo.PAD").c_str(), times, 0), 0);
    // Past 4 GiB, without writing it: a sparse file.
    const int fd = open((root + "/big.bin").c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, (5LL << 30) + 7), 0);
    close(fd);

    std::vector<WIN32_FIND_DATAW> found;
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(u"\\*", &data);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    do
        found.push_back(data);
    while (FindNextFileW(h, &data));
    FindClose(h);
    auto entry = [&](const std::u16string& name) {
        for (const auto& d : found)
            if (name == d.cFileName)
                return d;
        ADD_FAILURE() << plat::ToUtf8(name);
        return WIN32_FIND_DATAW{};
    };
    const WIN32_FIND_DATAW memo = entry(u"Memo.PAD");
    EXPECT_EQ(memo.dwFileAttributes, DWORD(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(memo.nFileSizeLow, 5u);
    EXPECT_EQ(memo.nFileSizeHigh, 0u);
    EXPECT_EQ(plat::FileTimeToTicks(memo.ftLastWriteTime), 128184246005000000ull);
    const WIN32_FIND_DATAW big = entry(u"big.bin");
    EXPECT_EQ(big.nFileSizeHigh, 1u);
    EXPECT_EQ(big.nFileSizeLow, (1u << 30) + 7);
    const WIN32_FIND_DATAW sub = entry(u"Sub");
    EXPECT_EQ(sub.dwFileAttributes, DWORD(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(sub.nFileSizeLow, 0u);
    EXPECT_EQ(entry(u".hidden").dwFileAttributes,
              DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    // A fresh file was made just now: its creation time is recent, in 100 ns since 1601.
    const std::int64_t created = plat::UnixFromFileTime(entry(u"notes.txt").ftCreationTime);
    EXPECT_NEAR(double(created), double(time(nullptr)), 60.0);
}

TEST_F(FileFind, EntriesGoneBeforeTheyAreReportedAreSkipped) {
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(u"\\*", &data);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(plat::ToUtf8(data.cFileName), ".hidden");
    ASSERT_EQ(unlink((root + "/archive.tar.gz").c_str()), 0);
    ASSERT_TRUE(FindNextFileW(h, &data));
    EXPECT_EQ(plat::ToUtf8(data.cFileName), "Memo.PAD");
    FindClose(h);
}

TEST_F(FileFind, NamesTheDeviceCannotSpellAreLeftOut) {
    MakeHostDir(root + "/odd");
    WriteHost(root + "/odd/a:b", "");
    WriteHost(root + "/odd/back\\slash", "");
    WriteHost(root + "/odd/bad\xFF", "");
    WriteHost(root + "/odd/fine", "");
    EXPECT_EQ(FindNames(u"\\odd\\*"), Names{"fine"});
}

TEST_F(FileFind, DanglingLinksAreStillListed) {
    ASSERT_EQ(symlink("nowhere", (root + "/Sub/stale").c_str()), 0);
    EXPECT_EQ(FindNames(u"\\Sub\\*"), Names{"stale"});
    // so that they can be deleted through the same interface
    EXPECT_TRUE(DeleteFileW(u"\\Sub\\stale"));
    EXPECT_FALSE(HostExists(root + "/Sub/stale"));
}
