// The registry file: values surviving a restart (a reload, or a separate process), the text
// written, reading a file written by hand, and damaged files kept aside.
#include "registry_test_support.h"

#include <platform/device.h>

#include <TestDevice.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

using namespace regtest;
namespace fs = std::filesystem;

namespace {

class RegistryFile : public ::testing::Test {
protected:
    std::string FilePath() const { return device.Root() + "/" + plat::kRegistryFileName; }
    std::vector<std::string> RootEntries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(device.Root()))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::vector<std::string> AsideFiles() const {
        std::vector<std::string> names;
        for (const std::string& n : RootEntries())
            if (n.rfind(std::string(plat::kRegistryFileName) + ".damaged-", 0) == 0)
                names.push_back(n);
        return names;
    }

    TestDevice device;
};

// Runs body in a forked child (which only calls the registry and then _exit) and returns its
// exit status: the child sees only what reached the file.
template <class F> int InChild(F body) {
    fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        plat::RegistryReload();
        _exit(body());
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

struct Sample {
    LPCWSTR name;
    DWORD type;
    std::vector<BYTE> data;
};

std::vector<Sample> Samples() {
    std::vector<BYTE> owner(556);
    for (size_t i = 0; i < owner.size(); ++i)
        owner[i] = static_cast<BYTE>(i * 7);
    std::vector<BYTE> junk = Utf16(u"ab");
    junk.insert(junk.end(), {0x11, 0x22, 0x00, 0x33});
    std::vector<BYTE> lone = Utf16(u"x?y");
    lone[2] = 0x00; // an unpaired high surrogate in place of the '?'
    lone[3] = 0xD8;
    return {
        {u"TVNaviMode", REG_DWORD, {0x02, 0x00, 0x00, 0x00}},
        {u"WeekdayColor0", REG_DWORD, {0xFF, 0xC0, 0xC0, 0x00}},
        {u"PenWidth", REG_BINARY, {0x00, 0x40, 0x00, 0x00}},
        {u"Owner", REG_BINARY, owner},
        {u"BaseDataFolder", REG_SZ, Utf16(u"\\My Documents\\Pad", 260)},
        {u"Exact", REG_SZ, Utf16(u"메모 \"quoted\" \U0001F58A")},
        {u"NoTerminator", REG_SZ, {'a', 0, 'b', 0}},
        {u"OddLength", REG_SZ, {'a', 0, 0}},
        {u"Junk", REG_SZ, junk},
        {u"Lone", REG_SZ, lone},
        {u"EmptyString", REG_SZ, {}},
        {u"Expand", REG_EXPAND_SZ, Utf16(u"%windir%\\x")},
        {u"Multi", REG_MULTI_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}},
        {u"Nothing", REG_NONE, {}},
        {u"Quad", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}},
        {u"ShortDword", REG_DWORD, {0x01, 0x02}},
        {u"Odd\\name \"with\" \t tab", 0x12345678, {0xFF}},
        {u"", REG_SZ, Utf16(u"default value")},
    };
}

void WriteSamples() {
    Key k(Create(HKEY_LOCAL_MACHINE, u"Software\\Velmora\\Scribbo"));
    ASSERT_NE(k.Get(), nullptr);
    for (const Sample& s : Samples())
        ASSERT_EQ(Set(k.Get(), s.name, s.type, s.data), ERROR_SUCCESS);
    Key empty(Create(HKEY_CURRENT_USER, u"Empty\\Key"));
    ASSERT_NE(empty.Get(), nullptr);
}

// 0 when every sample reads back exactly, else the 1-based index of the first that does not.
int CheckSamples() {
    Key k(Open(HKEY_LOCAL_MACHINE, u"SOFTWARE\\VELMORA\\SCRIBBO"));
    if (!k.Get())
        return 100;
    std::vector<Sample> samples = Samples();
    for (size_t i = 0; i < samples.size(); ++i) {
        Read r = Query(k.Get(), samples[i].name);
        if (r.result != ERROR_SUCCESS || r.type != samples[i].type || r.data != samples[i].data)
            return static_cast<int>(i + 1);
    }
    Key empty(Open(HKEY_CURRENT_USER, u"Empty\\Key"));
    return empty.Get() ? 0 : 101;
}

} // namespace

TEST_F(RegistryFile, EveryKindOfValueSurvivesAReload) {
    WriteSamples();
    plat::RegistryReload();
    EXPECT_EQ(CheckSamples(), 0);
    // And a second generation, written by what was read.
    Key k(Open(HKEY_LOCAL_MACHINE, u"Software\\Velmora\\Scribbo"));
    ASSERT_EQ(SetDword(k.Get(), u"TVViewMode", 4), ERROR_SUCCESS);
    RegCloseKey(k.Release());
    plat::RegistryReload();
    EXPECT_EQ(CheckSamples(), 0);
}

TEST_F(RegistryFile, EveryKindOfValueSurvivesIntoAnotherProcess) {
    WriteSamples();
    EXPECT_EQ(InChild([] { return CheckSamples(); }), 0);
}

TEST_F(RegistryFile, AnotherProcessesWritesAreSeenAfterAReload) {
    plat::RegistryReload(); // this process has its registry in memory before the child writes
    int status = InChild([] {
        Key k(Create(HKEY_CURRENT_USER, u"ControlPanel\\Owner"));
        std::vector<BYTE> owner(556, 0x5A);
        return Set(k.Get(), u"Owner", REG_BINARY, owner) == ERROR_SUCCESS ? 0 : 1;
    });
    ASSERT_EQ(status, 0);
    EXPECT_EQ(Open(HKEY_CURRENT_USER, u"ControlPanel\\Owner"), nullptr); // not re-read yet
    plat::RegistryReload();
    Key k(Open(HKEY_CURRENT_USER, u"controlpanel\\owner"));
    ASSERT_NE(k.Get(), nullptr);
    Read r = Query(k.Get(), u"Owner");
    EXPECT_EQ(r.type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(r.data, std::vector<BYTE>(556, 0x5A));
}

TEST_F(RegistryFile, ChangesReachTheFileWhenTheKeyIsClosedOrFlushed) {
    HKEY h = Create(HKEY_LOCAL_MACHINE, u"Software\\Velmora\\Scribbo");
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(SetDword(h, u"ButtonSize", 32), ERROR_SUCCESS);
    ASSERT_EQ(RegFlushKey(h), ERROR_SUCCESS);
    EXPECT_NE(ReadFile(FilePath()).find("\"ButtonSize\"=dword:00000020\n"), std::string::npos);
    ASSERT_EQ(SetDword(h, u"TitleHeight", 80), ERROR_SUCCESS);
    ASSERT_EQ(RegCloseKey(h), ERROR_SUCCESS);
    EXPECT_EQ(
        InChild([] {
            Key k(Open(HKEY_LOCAL_MACHINE, u"Software\\Velmora\\Scribbo"));
            return Query(k.Get(), u"TitleHeight").data == std::vector<BYTE>{80, 0, 0, 0} ? 0 : 1;
        }),
        0);
    // Through a predefined root nothing is closed afterwards, so the change is written at once.
    ASSERT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"Software\\Velmora"), ERROR_SUCCESS);
    EXPECT_EQ(InChild([] { return Open(HKEY_LOCAL_MACHINE, u"Software\\Velmora") ? 1 : 0; }), 0);
    // Only the registry file is left behind: no temporary files.
    EXPECT_EQ(RootEntries(), std::vector<std::string>{plat::kRegistryFileName});
}

TEST_F(RegistryFile, ReloadDropsUnwrittenChangesAndOpenHandles) {
    {
        Key k(Create(HKEY_LOCAL_MACHINE, u"Software\\Velmora\\Scribbo"));
        ASSERT_EQ(SetDword(k.Get(), u"Kept", 1), ERROR_SUCCESS);
    }
    HKEY h = Open(HKEY_LOCAL_MACHINE, u"Software\\Velmora\\Scribbo");
    ASSERT_EQ(SetDword(h, u"Lost", 2), ERROR_SUCCESS);
    plat::RegistryReload();
    EXPECT_EQ(SetDword(h, u"Lost", 2), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(h), ERROR_INVALID_HANDLE);
    Key k(Open(HKEY_LOCAL_MACHINE, u"Software\\Velmora\\Scribbo"));
    EXPECT_EQ(Query(k.Get(), u"Kept").result, ERROR_SUCCESS);
    EXPECT_EQ(Query(k.Get(), u"Lost").result, ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryFile, TheFileIsReadableText) {
    {
        Key k(Create(HKEY_LOCAL_MACHINE, u"Software\\Velmora\\Scribbo"));
        ASSERT_EQ(SetDword(k.Get(), u"TVNaviMode", 1), ERROR_SUCCESS);
        ASSERT_EQ(Set(k.Get(), u"PenWidth", REG_BINARY, {0x00, 0x40, 0x00, 0x00}), ERROR_SUCCESS);
        ASSERT_EQ(Set(k.Get(), u"BaseDataFolder", REG_SZ, Utf16(u"\\My Documents\\Pad", 260)),
                  ERROR_SUCCESS);
        ASSERT_EQ(Set(k.Get(), u"AdminPassword", REG_SZ, Utf16(u"5826", 32)), ERROR_SUCCESS);
        ASSERT_EQ(Set(k.Get(), u"Name", REG_SZ, Utf16(u"메모")), ERROR_SUCCESS);
        ASSERT_EQ(Set(k.Get(), u"Junk", REG_SZ, {'a', 0, 0, 0, 1}), ERROR_SUCCESS);
        ASSERT_EQ(Set(k.Get(), nullptr, REG_MULTI_SZ, {'a', 0, 0, 0, 0, 0}), ERROR_SUCCESS);
    }
    std::string text = ReadFile(FilePath());
    EXPECT_EQ(text.substr(0, text.find('\n')), "SCRIBBO REGISTRY 1");
    const std::string section = "\n[HKEY_LOCAL_MACHINE\\Software\\Velmora\\Scribbo]\n"
                                "\"TVNaviMode\"=dword:00000001\n"
                                "\"PenWidth\"=hex:00,40,00,00\n"
                                "\"BaseDataFolder\"=sz(260):\"\\\\My Documents\\\\Pad\"\n"
                                "\"AdminPassword\"=sz(32):\"5826\"\n"
                                "\"Name\"=sz:\"메모\"\n"
                                "\"Junk\"=hex(1):61,00,00,00,01\n"
                                "@=hex(7):61,00,00,00,00,00\n";
    EXPECT_NE(text.find(section), std::string::npos) << text;
}

TEST_F(RegistryFile, AFileWrittenByHandIsRead) {
    WriteFile(FilePath(), "SCRIBBO REGISTRY 1\r\n"
                          "; settings\r\n"
                          "\r\n"
                          "[hkey_local_machine\\Software\\Velmora\\Scribbo]\r\n"
                          "  \"SplitterWidth\" = dword:96\r\n"
                          "\"PenWidth\"=hex:00, 40,00,00\r\n"
                          "\"BaseDataFolder\"=sz(10):\"\\\\Pad\"\r\n"
                          "\"Text\"=sz:\"tab\there \\u0041\\\\ \\\"q\\\" \\uD83D\\uDD8A 메\"\r\n"
                          "\"Typed\"=hex(b):01,02\r\n"
                          "@=expand_sz:\"\"\r\n"
                          "[HKEY_CURRENT_USER\\ControlPanel\\Owner]\r\n"
                          "\"Owner\"=hex:\r\n");
    plat::RegistryReload();
    Key k(Open(HKEY_LOCAL_MACHINE, u"Software\\Velmora\\Scribbo"));
    ASSERT_NE(k.Get(), nullptr);
    Read r = Query(k.Get(), u"SplitterWidth");
    EXPECT_EQ(r.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(r.data, (std::vector<BYTE>{150, 0, 0, 0}));
    EXPECT_EQ(Query(k.Get(), u"PenWidth").data, (std::vector<BYTE>{0, 0x40, 0, 0}));
    EXPECT_EQ(Query(k.Get(), u"BaseDataFolder").data,
              (std::vector<BYTE>{'\\', 0, 'P', 0, 'a', 0, 'd', 0, 0, 0}));
    EXPECT_EQ(Query(k.Get(), u"Text").data, Utf16(u"tab\there A\\ \"q\" \U0001F58A 메"));
    r = Query(k.Get(), u"Typed");
    EXPECT_EQ(r.type, static_cast<DWORD>(REG_QWORD));
    EXPECT_EQ(r.data, (std::vector<BYTE>{1, 2}));
    r = Query(k.Get(), nullptr);
    EXPECT_EQ(r.type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(r.data, (std::vector<BYTE>{0, 0}));
    Key owner(Open(HKEY_CURRENT_USER, u"ControlPanel\\Owner"));
    r = Query(owner.Get(), u"Owner");
    EXPECT_EQ(r.result, ERROR_SUCCESS);
    EXPECT_EQ(r.type, static_cast<DWORD>(REG_BINARY));
    EXPECT_TRUE(r.data.empty());
    EXPECT_TRUE(AsideFiles().empty());
}

TEST_F(RegistryFile, ADamagedFileIsKeptAsideAndReported) {
    const std::string damaged = "SCRIBBO REGISTRY 1\n"
                                "[HKEY_LOCAL_MACHINE\\Software]\n"
                                "\"A\"=dword:00000001\n"
                                "\"B\"=dword:0000000g\n";
    WriteFile(FilePath(), damaged);
    testing::internal::CaptureStderr();
    plat::RegistryReload();
    std::string message = testing::internal::GetCapturedStderr();
    EXPECT_NE(message.find("line 4"), std::string::npos) << message;
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;

    // The registry starts empty, nothing of the damaged file half-read.
    EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, u"Software"), nullptr);
    std::vector<std::string> aside = AsideFiles();
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_NE(message.find(aside[0]), std::string::npos);
    EXPECT_EQ(ReadFile(device.Root() + "/" + aside[0]), damaged);
    EXPECT_FALSE(fs::exists(FilePath()));

    // Saving makes a new file and leaves the copy alone.
    ASSERT_EQ(SetDword(HKEY_LOCAL_MACHINE, u"New", 1), ERROR_SUCCESS);
    EXPECT_NE(ReadFile(FilePath()).find("\"New\"=dword:00000001"), std::string::npos);
    EXPECT_EQ(ReadFile(device.Root() + "/" + aside[0]), damaged);

    // A second damaged file within the same second gets a name of its own.
    WriteFile(FilePath(), "garbage\x01\xff");
    testing::internal::CaptureStderr();
    plat::RegistryReload();
    message = testing::internal::GetCapturedStderr();
    EXPECT_NE(message.find("line 1"), std::string::npos) << message;
    std::vector<std::string> both = AsideFiles();
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(ReadFile(device.Root() + "/" + aside[0]), damaged);
    std::string second = both[0] == aside[0] ? both[1] : both[0];
    EXPECT_EQ(ReadFile(device.Root() + "/" + second), "garbage\x01\xff");
    EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, u"New").result, ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryFile, EmptyAndUnreadableFilesAreKeptAsideToo) {
    WriteFile(FilePath(), "");
    testing::internal::CaptureStderr();
    plat::RegistryReload();
    EXPECT_FALSE(testing::internal::GetCapturedStderr().empty());
    EXPECT_EQ(AsideFiles().size(), 1u);

    // A directory where the file should be cannot be read.
    fs::create_directory(FilePath());
    testing::internal::CaptureStderr();
    plat::RegistryReload();
    EXPECT_NE(testing::internal::GetCapturedStderr().find("not a regular file"), std::string::npos);
    EXPECT_EQ(AsideFiles().size(), 2u);
    EXPECT_EQ(SetDword(HKEY_CURRENT_USER, u"X", 1), ERROR_SUCCESS);
    EXPECT_TRUE(fs::is_regular_file(FilePath()));
}

TEST_F(RegistryFile, ADamagedFileThatCannotBeMovedIsNeverOverwritten) {
    const std::string damaged = "not a registry\n";
    WriteFile(FilePath(), damaged);
    // A device root nobody may write to: the file can be read but not moved aside.
    fs::permissions(device.Root(), fs::perms::owner_read | fs::perms::owner_exec |
                                       fs::perms::group_read | fs::perms::group_exec |
                                       fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(FilePath(),
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    auto scenario = [] {
        plat::RegistryReload();
        if (Open(HKEY_LOCAL_MACHINE, u"Software"))
            return 1;
        if (SetDword(HKEY_LOCAL_MACHINE, u"X", 1) != ERROR_SUCCESS)
            return 2;
        return plat::RegistryFlush() ? 3 : 0;
    };
    int status;
    if (geteuid() == 0) {
        // Root ignores permissions: run the scenario as an unprivileged user.
        fflush(nullptr);
        pid_t pid = fork();
        if (pid == 0)
            _exit(setgid(65534) == 0 && setuid(65534) == 0 ? scenario() : 99);
        int raw = 0;
        status = pid > 0 && waitpid(pid, &raw, 0) == pid && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    } else {
        testing::internal::CaptureStderr();
        status = scenario();
        EXPECT_NE(testing::internal::GetCapturedStderr().find("could not be moved"),
                  std::string::npos);
    }
    EXPECT_EQ(status, 0);
    fs::permissions(device.Root(), fs::perms::owner_all);
    EXPECT_EQ(ReadFile(FilePath()), damaged);
    EXPECT_TRUE(AsideFiles().empty());
    if (geteuid() != 0) {
        // Still refused once writable again: the file was never understood.
        EXPECT_FALSE(plat::RegistryFlush());
        EXPECT_EQ(ReadFile(FilePath()), damaged);
    }
}

TEST_F(RegistryFile, ChangingTheDeviceRootSwitchesRegistries) {
    HKEY h = Create(HKEY_LOCAL_MACHINE, u"Software\\Velmora\\Scribbo");
    ASSERT_EQ(SetDword(h, u"TVNaviMode", 2), ERROR_SUCCESS);
    {
        TestDevice other;
        // The pending change went to the first root's file before the switch.
        EXPECT_NE(ReadFile(FilePath()).find("\"TVNaviMode\"=dword:00000002"), std::string::npos);
        EXPECT_EQ(SetDword(h, u"TVNaviMode", 1), ERROR_INVALID_HANDLE);
        EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, u"Software\\Velmora\\Scribbo"), nullptr);
        ASSERT_EQ(SetDword(HKEY_LOCAL_MACHINE, u"OtherRoot", 1), ERROR_SUCCESS);
        EXPECT_TRUE(fs::exists(other.Root() + "/" + plat::kRegistryFileName));
    }
    ASSERT_TRUE(plat::SetDeviceRoot(device.Root()));
    Key k(Open(HKEY_LOCAL_MACHINE, u"Software\\Velmora\\Scribbo"));
    EXPECT_EQ(Query(k.Get(), u"TVNaviMode").data, (std::vector<BYTE>{2, 0, 0, 0}));
    EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, u"OtherRoot").result, ERROR_FILE_NOT_FOUND);
}
