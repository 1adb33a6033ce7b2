// SafeReplace, the one way files are replaced: fresh temporary names never written through a
// link, leftovers of killed saves removed and nothing else, concurrent saves, and readers that
// refuse anything but a regular file.
#include "file_test_support.h"
#include "gdi_test_support.h"
#include "registry_test_support.h"

#include <platform/device.h>
#include <platform/safefile.h>

#include <TestDevice.h>

#include <chrono>
#include <functional>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>

using namespace filetest;

namespace {

class SafeReplaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        MakeHostDir(dir);
        MakeHostDir(outside);
        WriteHost(dir + "/memo.pad", "old memo");
        WriteHost(outside + "/victim", "victim");
    }
    void TearDown() override { plat::SetSaveTempSuffixForTesting(nullptr); }
    // Every attempt gets the same suffix, or only the first one.
    static void FixSuffix(bool onlyFirst) {
        plat::SetSaveTempSuffixForTesting([onlyFirst](int attempt) {
            return attempt == 0 || !onlyFirst ? std::string("AAAAAA") : std::string("BBBBBB");
        });
    }
    // A leftover of a save that was killed: our name, nobody holding it.
    void Leftover(const std::string& name) { WriteHost(dir + "/" + name, "half a memo"); }

    TestDevice device;
    std::string dir = device.Root() + "/Pad";
    std::string outside = device.Root() + "/Outside";
};

struct Writer {
    const char* name;
    std::string target; // below the device root
    std::function<bool(const std::string& host)> save;
};

// The platform's writers, each saving over target.
std::vector<Writer> PlatformWriters() {
    return {
        {"registry", plat::kRegistryFileName,
         [](const std::string&) {
             regtest::Key key(regtest::Create(HKEY_CURRENT_USER, u"Software\\Test"));
             return key.Get() && regtest::SetDword(key.Get(), u"v", 7) == ERROR_SUCCESS &&
                    RegFlushKey(key.Get()) == ERROR_SUCCESS;
         }},
        {"png", "Pad/shot.png",
         [](const std::string& host) {
             TestDib dib(2, 2);
             return plat::SaveSurfacePng(dib.bitmap(), host);
         }},
        {"copy", "Pad/copy.pad",
         [](const std::string&) {
             return CopyFileW(u"\\Pad\\memo.pad", u"\\Pad\\copy.pad", FALSE);
         }},
    };
}

} // namespace

TEST_F(SafeReplaceTest, ReplacesWholeKeepingThePermissions) {
    ASSERT_EQ(chmod((dir + "/memo.pad").c_str(), 0640), 0);
    ASSERT_EQ(plat::ReplaceHostFile(dir + "/memo.pad", "new memo!", 9), 0);
    EXPECT_EQ(ReadHost(dir + "/memo.pad"), "new memo!");
    EXPECT_EQ(HostMode(dir + "/memo.pad"), 0640u);
    // A new file is made without execute or group-write bits; nothing else is left.
    ASSERT_EQ(plat::ReplaceHostFile(dir + "/fresh.pad", "", 0), 0);
    EXPECT_EQ(HostMode(dir + "/fresh.pad") & ~0644u, 0u);
    EXPECT_EQ(HostNames(dir), (std::vector<std::string>{"fresh.pad", "memo.pad"}));
    // Names too long to carry whole still get a temporary name beside them.
    const std::string longName(250, 'x');
    EXPECT_EQ(plat::ReplaceHostFile(dir + "/" + longName, "z", 1), 0);
    EXPECT_EQ(ReadHost(dir + "/" + longName), "z");
    EXPECT_EQ(plat::ReplaceHostFile(dir, "z", 1), EISDIR);
}

TEST_F(SafeReplaceTest, APlantedLinkIsNeverWrittenThrough) {
    struct Plant {
        const char* what;
        std::function<void(const std::string& at)> make;
    };
    const std::vector<Plant> plants = {
        {"link to a file",
         [&](const std::string& at) { symlink((outside + "/victim").c_str(), at.c_str()); }},
        {"dangling link",
         [&](const std::string& at) { symlink((outside + "/new").c_str(), at.c_str()); }},
        {"hard link",
         [&](const std::string& at) { link((outside + "/victim").c_str(), at.c_str()); }},
    };
    const std::string temp = dir + "/.memo.pad.~sv-AAAAAA";
    for (const Plant& p : plants) {
        // Every name taken: the save is refused and the old memo stays.
        FixSuffix(false);
        p.make(temp);
        EXPECT_EQ(plat::ReplaceHostFile(dir + "/memo.pad", "new", 3), EEXIST) << p.what;
        EXPECT_EQ(ReadHost(dir + "/memo.pad"), "old memo") << p.what;
        // Another name free: the save is done elsewhere.
        FixSuffix(true);
        EXPECT_EQ(plat::ReplaceHostFile(dir + "/memo.pad", "new", 3), 0) << p.what;
        EXPECT_EQ(ReadHost(dir + "/memo.pad"), "new") << p.what;
        EXPECT_EQ(ReadHost(outside + "/victim"), "victim") << p.what;
        EXPECT_FALSE(HostExists(outside + "/new")) << p.what;
        unlink(temp.c_str());
        WriteHost(dir + "/memo.pad", "old memo");
    }
    // A link at the target itself is replaced, its target untouched.
    ASSERT_EQ(symlink((outside + "/victim").c_str(), (dir + "/linked.pad").c_str()), 0);
    EXPECT_EQ(plat::ReplaceHostFile(dir + "/linked.pad", "new", 3), 0);
    EXPECT_EQ(ReadHost(dir + "/linked.pad"), "new");
    EXPECT_EQ(ReadHost(outside + "/victim"), "victim");
}

TEST_F(SafeReplaceTest, EveryPlatformWriterRefusesOrSavesPastALink) {
    for (const Writer& w : PlatformWriters()) {
        const std::string target = device.Root() + "/" + w.target;
        const size_t slash = target.rfind('/');
        const std::string temp =
            target.substr(0, slash + 1) + "." + target.substr(slash + 1) + ".~sv-AAAAAA";
        ASSERT_EQ(symlink((outside + "/victim").c_str(), temp.c_str()), 0) << w.name;
        FixSuffix(false);
        EXPECT_FALSE(w.save(target)) << w.name;
        FixSuffix(true);
        EXPECT_TRUE(w.save(target)) << w.name;
        EXPECT_TRUE(HostExists(target)) << w.name;
        EXPECT_EQ(ReadHost(outside + "/victim"), "victim") << w.name;
        unlink(temp.c_str());
    }
}

TEST_F(SafeReplaceTest, LeftoversOfAKilledSaveGoAndNothingElse) {
    const std::vector<std::string> others = {
        "memo.pad.~sv-Q1w2E3",      "memo.pad.~new",        ".memo.pad.~sv-Q1w2E",
        ".memo.pad.~sv-Q1w2E3.bak", ".memo.pad.~sv-Q1w2_3", ".other.pad.~sv-Q1w2E3",
        ".memo.pa.~sv-Q1w2E3",      "notes ~sv-Q1w2E3",
    };
    for (const std::string& name : others)
        WriteHost(dir + "/" + name, "user file");
    Leftover(".memo.pad.~sv-Q1w2E3");
    Leftover(".memo.pad.~sv-zzzzzz");
    ASSERT_EQ(plat::ReplaceHostFile(dir + "/memo.pad", "new", 3), 0);
    std::vector<std::string> expected = others;
    expected.push_back("memo.pad");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(HostNames(dir), expected);
}

TEST_F(SafeReplaceTest, ASaveStillRunningIsNotTakenForALeftover) {
    plat::SafeReplace running;
    ASSERT_EQ(running.Open(dir + "/memo.pad"), 0);
    ASSERT_EQ(running.Write("first", 5), 0);
    EXPECT_EQ(plat::ReplaceHostFile(dir + "/memo.pad", "second", 6), 0);
    EXPECT_EQ(plat::RemoveSaveLeftovers(dir), 0);
    EXPECT_TRUE(HostExists(running.TempPath()));
    EXPECT_EQ(running.Commit(), 0);
    EXPECT_EQ(ReadHost(dir + "/memo.pad"), "first");
    EXPECT_EQ(HostNames(dir), std::vector<std::string>{"memo.pad"});
}

TEST_F(SafeReplaceTest, ConcurrentSavesOfOneFileAllFinish) {
    const std::string a(20000, 'a'), b(30000, 'b');
    auto saver = [&](const std::string& content, int* failed) {
        for (int i = 0; i < 150; ++i)
            *failed +=
                plat::ReplaceHostFile(dir + "/memo.pad", content.data(), content.size()) != 0;
    };
    int failedA = 0, failedB = 0;
    std::thread ta(saver, a, &failedA), tb(saver, b, &failedB);
    ta.join();
    tb.join();
    EXPECT_EQ(failedA + failedB, 0);
    const std::string now = ReadHost(dir + "/memo.pad");
    EXPECT_TRUE(now == a || now == b);
    EXPECT_EQ(HostNames(dir), std::vector<std::string>{"memo.pad"});
}

TEST_F(SafeReplaceTest, FolderScanRemovesDeadLeftoversOnly) {
    Leftover(".memo.pad.~sv-abc123");
    Leftover(".other.pad.~sv-XYZ789");
    WriteHost(dir + "/memo.pad.~sv-abc123", "user file");
    ASSERT_EQ(symlink((outside + "/victim").c_str(), (dir + "/.link.pad.~sv-abc123").c_str()), 0);
    ASSERT_EQ(mkfifo((dir + "/.fifo.pad.~sv-abc123").c_str(), 0644), 0);
    plat::SafeReplace running;
    ASSERT_EQ(running.Open(dir + "/live.pad"), 0);
    EXPECT_EQ(plat::RemoveSaveLeftovers(u"\\Pad"), 2);
    const std::string live = running.TempPath().substr(dir.size() + 1);
    std::vector<std::string> expected = {".fifo.pad.~sv-abc123", ".link.pad.~sv-abc123", live,
                                         "memo.pad", "memo.pad.~sv-abc123"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(HostNames(dir), expected);
    EXPECT_EQ(ReadHost(outside + "/victim"), "victim");
    EXPECT_EQ(plat::RemoveSaveLeftovers(u"\\Nowhere"), -1);
    EXPECT_EQ(plat::RemoveSaveLeftovers(dir + "/memo.pad"), -1);
}

TEST_F(SafeReplaceTest, ReadersRefuseAnythingButARegularFileAtOnce) {
    ASSERT_EQ(mkfifo((dir + "/fifo.pad").c_str(), 0644), 0);
    ASSERT_EQ(symlink("/dev/zero", (dir + "/zero.pad").c_str()), 0);
    MakeHostDir(dir + "/folder.pad");
    const auto start = std::chrono::steady_clock::now();
    std::vector<unsigned char> bytes;
    EXPECT_EQ(plat::ReadHostFile(dir + "/fifo.pad", 1000, &bytes), plat::kNotRegularFile);
    EXPECT_EQ(plat::ReadHostFile(dir + "/zero.pad", 1000, &bytes), plat::kNotRegularFile);
    EXPECT_EQ(plat::ReadHostFile(dir + "/folder.pad", 1000, &bytes), EISDIR);
    EXPECT_EQ(plat::ReadHostFile(dir + "/memo.pad", 3, &bytes), EFBIG);
    EXPECT_EQ(plat::ReadHostFile(dir + "/none.pad", 1000, &bytes), ENOENT);
    for (const char16_t* path : {u"\\Pad\\fifo.pad", u"\\Pad\\zero.pad", u"\\Pad\\folder.pad"})
        for (const char16_t* mode : {u"rb", u"r+b", u"wb", u"ab"}) {
            FILE* f = _wfopen(path, mode);
            const int err = errno;
            EXPECT_EQ(f, nullptr) << plat::ToUtf8(path);
            EXPECT_EQ(err, EACCES) << plat::ToUtf8(path);
        }
    // Pictures loaded from a file too.
    EXPECT_EQ(LoadImageW(nullptr, u"\\Pad\\fifo.pad", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE),
              nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    ASSERT_EQ(plat::ReadHostFile(dir + "/memo.pad", 8, &bytes), 0);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "old memo");
    EXPECT_EQ(plat::FileErrorText(plat::kNotRegularFile), "not a regular file");
}
