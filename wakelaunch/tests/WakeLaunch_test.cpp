// The launcher against a stand-in program: a shell script that writes the arguments it got to
// a pipe the test holds, so the test learns what was started by reading until the pipe closes.
#include "WakeLaunch.h"

#include "TestClock.h"
#include "TestDevice.h"

#include <platform/clock.h>
#include <platform/device.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr char16_t kProgram[] = u"\\Program Files\\Scribbo\\scribbo.exe";

class WakeLaunchTest : public ::testing::Test {
public:
    TestDevice device;
    TestClock clock;

    void SetUp() override {
        std::filesystem::create_directories(device.Host("Program Files/Scribbo"));
    }

    void MakeProgram() {
        std::string host = device.Host("Program Files/Scribbo/scribbo.exe");
        std::ofstream(host) << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done >&"
                               "$SCRIBBO_PROBE_FD\n";
        chmod(host.c_str(), 0755);
    }

    void SetProgramPath(const char16_t* path) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Velmora\\Scribbo", 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(key, u"ProgramPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(path),
                       DWORD((std::char_traits<char16_t>::length(path) + 1) * 2));
        RegCloseKey(key);
    }

    // Runs the launcher; true when it started the program, with the program's own arguments
    // (those after "--") in *args.
    bool Launch(const char16_t* commandLine, std::vector<std::string>* args) {
        int fds[2];
        if (pipe(fds) != 0)
            return false;
        fcntl(fds[0], F_SETFD, FD_CLOEXEC);
        setenv("SCRIBBO_PROBE_FD", std::to_string(fds[1]).c_str(), 1);
        EXPECT_EQ(RunWakeLaunch(commandLine), 0);
        close(fds[1]);
        std::string got;
        char buf[512];
        ssize_t n;
        while ((n = read(fds[0], buf, sizeof(buf))) > 0)
            got.append(buf, size_t(n));
        close(fds[0]);
        std::vector<std::string> all;
        for (size_t start = 0, nl; (nl = got.find('\n', start)) != std::string::npos;
             start = nl + 1)
            all.push_back(got.substr(start, nl - start));
        args->clear();
        for (size_t i = 0; i < all.size(); ++i)
            if (all[i] == "--")
                args->assign(all.begin() + long(i) + 1, all.end());
        return !all.empty();
    }
};

TEST_F(WakeLaunchTest, StartsTheProgramWithItsCommandLineOrANewMemo) {
    MakeProgram();
    SetProgramPath(kProgram);
    struct Case {
        const char16_t* commandLine;
        std::vector<std::string> expected;
    } cases[] = {
        {u"", {"/n"}},
        {u"AppRunAfterWakeupX", {"AppRunAfterWakeupX"}},
        {u"apprunafterwakeup", {"apprunafterwakeup"}},
        {u"/f \"\\My Documents\\Pad\\a b.pad\"", {"/f", "\\My Documents\\Pad\\a b.pad"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args;
        EXPECT_TRUE(Launch(c.commandLine, &args));
        EXPECT_EQ(args, c.expected);
    }
    // A program already there is started without waiting.
    EXPECT_EQ(clock.Now(), plat::kVirtualStartMs);
}

// The launcher's own card for a memo outside the root means nothing to the program it starts:
// that gets the host path and maps the file itself.
TEST_F(WakeLaunchTest, AMemoOutsideTheRootGoesOnByItsHostPath) {
    MakeProgram();
    SetProgramPath(kProgram);
    std::string pattern = (std::filesystem::temp_directory_path() / "wakelaunch-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const std::string memo = pattern + "/a memo.pad";
    std::ofstream(memo) << "memo";
    std::u16string devicePath;
    ASSERT_TRUE(plat::MapHostFile(memo, &devicePath));
    std::vector<std::string> args;
    EXPECT_TRUE(Launch((u"/f \"" + devicePath + u"\"").c_str(), &args));
    EXPECT_EQ(args, (std::vector<std::string>{"/f", memo}));
    plat::UnmapHostFile();
    std::filesystem::remove_all(pattern);
}

TEST_F(WakeLaunchTest, WakingAloneOrAMissingPathStartsNothing) {
    MakeProgram();
    std::vector<std::string> args;
    EXPECT_FALSE(Launch(u"", &args)); // no key
    SetProgramPath(u"");
    EXPECT_FALSE(Launch(u"", &args));
    SetProgramPath(kProgram);
    EXPECT_FALSE(Launch(u"AppRunAfterWakeup", &args));
    EXPECT_EQ(clock.Now(), plat::kVirtualStartMs);
}

TEST_F(WakeLaunchTest, WaitsForTheProgramFileFiftyTimesAHundredMillisecondsApart) {
    SetProgramPath(kProgram);
    // Never there: fifty looks, then the start is asked for anyway and fails quietly.
    std::vector<std::string> args;
    EXPECT_FALSE(Launch(u"", &args));
    EXPECT_EQ(clock.Now(), plat::kVirtualStartMs + 49 * 100);

    // The file turns up a second after the launcher began looking.
    const ULONGLONG start = clock.Now();
    int listener = plat::OnClockAdvanced([&] {
        if (clock.Now() >= start + 1000 &&
            !std::filesystem::exists(device.Host("Program Files/Scribbo/scribbo.exe")))
            MakeProgram();
    });
    EXPECT_TRUE(Launch(u"", &args));
    plat::RemoveClockListener(listener);
    EXPECT_EQ(args, std::vector<std::string>{"/n"});
    EXPECT_EQ(clock.Now(), start + 1000);
}

} // namespace
