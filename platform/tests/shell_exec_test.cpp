// Starting device programs: the host process gets the device root and the parameters, a
// shortcut names the program and adds its own arguments, and failures come back as errors
// without anything shown. The probe program is a shell script that writes its arguments to
// a pipe the test holds, so the test waits for it by reading, not by looking again and again.
#include "TestDevice.h"

#include <platform/entry.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

class ShellExecTest : public ::testing::Test {
public:
    TestDevice device;

    void SetUp() override {
        CreateDirectoryW(u"\\Program Files", nullptr);
        CreateDirectoryW(u"\\Program Files\\Probe", nullptr);
        CreateDirectoryW(u"\\Windows", nullptr);
        std::string probe = device.Host("Program Files/Probe/probe.exe");
        std::ofstream(probe) << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done >&"
                                "$SCRIBBO_PROBE_FD\n";
        chmod(probe.c_str(), 0755);
    }

    void Write(const std::string& devicePath, const std::string& text) {
        std::ofstream(device.Host(devicePath), std::ios::binary) << text;
    }

    // Runs ShellExecuteExW and, when it succeeds, the arguments the program got.
    BOOL Run(const char16_t* file, const char16_t* params, std::vector<std::string>* args,
             SHELLEXECUTEINFOW* out = nullptr) {
        int fds[2];
        if (pipe(fds) != 0)
            return FALSE;
        fcntl(fds[0], F_SETFD, FD_CLOEXEC);
        setenv("SCRIBBO_PROBE_FD", std::to_string(fds[1]).c_str(), 1);
        SHELLEXECUTEINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = SEE_MASK_FLAG_NO_UI;
        info.lpFile = file;
        info.lpParameters = params;
        info.nShow = SW_SHOWNORMAL;
        BOOL ok = ShellExecuteExW(&info);
        DWORD error = GetLastError();
        close(fds[1]);
        // The read ends when the program has written all and closed its end.
        std::string got;
        char buf[512];
        ssize_t n;
        while ((n = read(fds[0], buf, sizeof(buf))) > 0)
            got.append(buf, static_cast<size_t>(n));
        close(fds[0]);
        args->clear();
        size_t start = 0;
        for (size_t nl; (nl = got.find('\n', start)) != std::string::npos; start = nl + 1)
            args->push_back(got.substr(start, nl - start));
        if (out)
            *out = info;
        SetLastError(error);
        return ok;
    }

    // The program's own arguments: what follows "--".
    static std::vector<std::string> After(const std::vector<std::string>& args) {
        for (size_t i = 0; i < args.size(); ++i)
            if (args[i] == "--")
                return std::vector<std::string>(args.begin() + static_cast<long>(i) + 1,
                                                args.end());
        return {};
    }
};

TEST_F(ShellExecTest, StartsTheProgramOnTheSameDeviceWithItsParameters) {
    std::vector<std::string> args;
    ASSERT_TRUE(Run(u"\\Program Files\\Probe\\probe.exe", u"/n", &args));
    ASSERT_GE(args.size(), 3u);
    EXPECT_EQ(args[0], "--device");
    EXPECT_EQ(args[1], device.Root());
    EXPECT_EQ(After(args), std::vector<std::string>{"/n"});
    // Components match in any case, as on the device; no parameters give none.
    ASSERT_TRUE(Run(u"\\program files\\PROBE\\Probe.EXE", nullptr, &args));
    EXPECT_TRUE(After(args).empty());
    // The parameters arrive as the program's parser reads them: a quoted path with spaces and
    // non-ASCII text is one word.
    ASSERT_TRUE(
        Run(u"\\Program Files\\Probe\\probe.exe", u"-f  \"\\My Documents\\메모.pad\"\t/x", &args));
    EXPECT_EQ(After(args), (std::vector<std::string>{"-f", "\\My Documents\\메모.pad", "/x"}));
}

TEST_F(ShellExecTest, ShortcutsNameTheProgramAndAddTheirArguments) {
    Write("Windows/probe.lnk", "38#\"\\Program Files\\Probe\\probe.exe\" -x\r\n");
    std::vector<std::string> args;
    ASSERT_TRUE(Run(u"\\Windows\\probe.lnk", u"/n", &args));
    EXPECT_EQ(After(args), (std::vector<std::string>{"-x", "/n"}));
    // A shortcut to a shortcut, without quotes; a bare name is looked for in \Windows.
    Write("Windows/again.lnk", "18#\\Windows\\probe.lnk\n");
    ASSERT_TRUE(Run(u"again.lnk", nullptr, &args));
    EXPECT_EQ(After(args), std::vector<std::string>{"-x"});
}

TEST_F(ShellExecTest, FailuresComeBackAsErrorsWithoutStartingAnything) {
    std::vector<std::string> args;
    SHELLEXECUTEINFOW info{};
    EXPECT_FALSE(Run(u"\\Program Files\\Probe\\none.exe", nullptr, &args, &info));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(info.hInstApp), SE_ERR_FNF);
    EXPECT_TRUE(args.empty());
    // Not executable.
    Write("Program Files/Probe/data.exe", "#!/bin/sh\n");
    EXPECT_FALSE(Run(u"\\Program Files\\Probe\\data.exe", nullptr, &args));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    // A folder, a path out of the device, a broken shortcut and shortcuts in a circle.
    EXPECT_FALSE(Run(u"\\Program Files\\Probe", nullptr, &args));
    EXPECT_FALSE(Run(u"\\..\\..\\bin\\sh", nullptr, &args));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    Write("Windows/broken.lnk", "no shortcut here");
    EXPECT_FALSE(Run(u"\\Windows\\broken.lnk", nullptr, &args));
    Write("Windows/a.lnk", "12#\\Windows\\b.lnk");
    Write("Windows/b.lnk", "12#\\Windows\\a.lnk");
    EXPECT_FALSE(Run(u"\\Windows\\a.lnk", nullptr, &args));
    EXPECT_TRUE(args.empty());
    // A record of the wrong size, and verbs other than opening.
    SHELLEXECUTEINFOW bad{};
    bad.cbSize = 12;
    bad.lpFile = u"\\Program Files\\Probe\\probe.exe";
    EXPECT_FALSE(ShellExecuteExW(&bad));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    bad.cbSize = sizeof(bad);
    bad.lpVerb = u"print";
    EXPECT_FALSE(ShellExecuteExW(&bad));
    EXPECT_FALSE(ShellExecuteExW(nullptr));
}

} // namespace
