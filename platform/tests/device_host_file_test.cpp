// A memo file outside the device root, opened from the desktop: the device reaches that one
// file on its storage card and nothing else beside it, and the command line names it by its
// device path.
#include "TestDevice.h"

#include <platform/device.h>
#include <platform/entry.h>
#include <platform/safefile.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

class HostFileTest : public ::testing::Test {
public:
    TestDevice device;
    fs::path outside;

    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "scribbo-host-XXXXXX").string();
        outside = mkdtemp(pattern.data());
        Write(outside / "note.pad", "memo");
        Write(outside / "other.pad", "not for the device");
        fs::create_directories(device.Host("My Documents"));
        Write(device.Host("My Documents/inside.pad"), "inside");
    }
    void TearDown() override {
        plat::UnmapHostFile();
        fs::remove_all(outside);
    }
    static void Write(const fs::path& p, const std::string& text) {
        std::ofstream(p, std::ios::binary) << text;
    }
    static std::string ReadDevice(const char16_t* path) {
        FILE* f = _wfopen(path, u"rb");
        if (!f)
            return "<none>";
        char buf[64];
        size_t n = fread(buf, 1, sizeof(buf), f);
        fclose(f);
        return std::string(buf, n);
    }
};

TEST_F(HostFileTest, OnlyTheMappedFileIsReachableAndSavesReplaceIt) {
    std::u16string path;
    ASSERT_TRUE(plat::MapHostFile((outside / "note.pad").string(), &path));
    EXPECT_EQ(path, u"\\Storage Card\\note.pad");
    EXPECT_EQ(ReadDevice(u"\\Storage Card\\note.pad"), "memo");
    EXPECT_EQ(ReadDevice(u"\\storage card\\NOTE.PAD"), "memo");
    // Its neighbours, the folder and climbing out stay inside the root.
    for (const char16_t* confined : {u"\\Storage Card\\other.pad", u"\\Storage Card\\note.pad\\x",
                                     u"\\Storage Card\\..\\..\\note.pad"})
        EXPECT_EQ(ReadDevice(confined), "<none>");
    std::string host;
    ASSERT_TRUE(plat::DeviceToHostPath(u"\\Storage Card", &host));
    EXPECT_EQ(host, device.Root() + "/Storage Card");
    WIN32_FIND_DATAW found;
    EXPECT_EQ(FindFirstFileW(u"\\Storage Card\\*", &found), INVALID_HANDLE_VALUE);

    plat::SafeReplace save;
    ASSERT_TRUE(save.OpenDevice(u"\\Storage Card\\note.pad"));
    ASSERT_EQ(save.Write("saved", 5), 0);
    ASSERT_EQ(save.Commit(), 0);
    std::ifstream in(outside / "note.pad");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "saved");
    EXPECT_EQ(std::distance(fs::directory_iterator(outside), {}), 2);

    plat::UnmapHostFile();
    EXPECT_EQ(ReadDevice(u"\\Storage Card\\note.pad"), "<none>");
}

// A running program gets more files from later starts: each keeps a card of its own, so a memo
// still open from the first saves to the first.
TEST_F(HostFileTest, EachFileGetsACardOfItsOwnAndKeepsIt) {
    fs::create_directories(outside / "b");
    Write(outside / "b" / "note.pad", "second");
    std::u16string first, second, again;
    ASSERT_TRUE(plat::MapHostFile((outside / "note.pad").string(), &first));
    ASSERT_TRUE(plat::MapHostFile((outside / "b" / "note.pad").string(), &second));
    ASSERT_TRUE(plat::MapHostFile((outside / "b" / ".." / "note.pad").string(), &again));
    EXPECT_EQ(first, u"\\Storage Card\\note.pad");
    EXPECT_EQ(second, u"\\Storage Card2\\note.pad");
    EXPECT_EQ(again, first);
    EXPECT_EQ(ReadDevice(first.c_str()), "memo");
    EXPECT_EQ(ReadDevice(second.c_str()), "second");
    EXPECT_EQ(ReadDevice(u"\\Storage Card2\\other.pad"), "<none>");
    std::string host;
    ASSERT_TRUE(plat::MappedHostFile(u"\\storage card2\\NOTE.pad", &host));
    EXPECT_EQ(host, fs::canonical(outside / "b" / "note.pad").string());
    EXPECT_FALSE(plat::MappedHostFile(u"\\My Documents\\inside.pad", &host));
}

TEST_F(HostFileTest, MemoFilesOnTheCommandLineBecomeDevicePaths) {
    const std::string note = (outside / "note.pad").string();
    const std::string inside = device.Host("My Documents/inside.pad");
    Write(outside / "text.txt", "text");
    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> expected;
    } cases[] = {
        {{note}, {"/f", "\\Storage Card\\note.pad"}},
        {{"-f", note}, {"-f", "\\Storage Card\\note.pad"}},
        {{inside}, {"/f", "\\My Documents\\inside.pad"}},
        {{"/n", (outside / "missing.pad").string(), (outside / "text.txt").string()},
         {"/n", (outside / "missing.pad").string(), (outside / "text.txt").string()}},
        {{outside.string()}, {outside.string()}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(plat::MemoFileArguments(c.args), c.expected) << c.args[0];
}

} // namespace
