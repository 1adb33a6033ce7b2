#include "TestDevice.h"

#include <platform/device.h>
#include <platform/entry.h>
#include <platform/module.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

struct TempDir {
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "scribbo-start-XXXXXX").string();
        if (char* made = mkdtemp(pattern.data()))
            path = made;
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    fs::path path;
};

void Write(const fs::path& p, const std::string& text, bool executable = false) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
    chmod(p.c_str(), executable ? 0755 : 0644);
}

std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

TEST(PrepareDevice, MakesTheProgramFolderLinkAndDocuments) {
    TestDevice device;
    TempDir build;
    Write(build.path / "myprog", "program", true);
    Write(build.path / "data" / "language.txt", "texts");
    Write(build.path / "data" / "winza.lng", "toolkit");
    Write(build.path / "data" / "bitmaps" / "toolbar-source.bmp", "build input");

    plat::DeviceSetup setup{(build.path / "myprog").string(),
                            u"myprog",
                            {(build.path / "nowhere").string(), (build.path / "data").string()}};
    std::string error;
    ASSERT_TRUE(plat::PrepareDevice(setup, &error)) << error;

    fs::path folder = fs::path(device.Root()) / "Program Files" / "Scribbo";
    ASSERT_TRUE(fs::is_symlink(folder / "myprog.exe"));
    EXPECT_EQ(fs::read_symlink(folder / "myprog.exe"), build.path / "myprog");
    EXPECT_EQ(Read(folder / "language.txt"), "texts");
    EXPECT_EQ(Read(folder / "winza.lng"), "toolkit");
    EXPECT_FALSE(fs::exists(folder / "bitmaps"));
    EXPECT_TRUE(fs::is_directory(fs::path(device.Root()) / "My Documents"));
    // Nothing half-copied is left behind.
    for (const auto& entry : fs::directory_iterator(folder))
        EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
}

TEST(PrepareDevice, KeepsWhatIsThereAndMatchesNamesWithoutCase) {
    TestDevice device;
    TempDir build;
    Write(build.path / "myprog", "program", true);
    Write(build.path / "data" / "language.txt", "shipped");
    Write(build.path / "data" / "toolbar.bmp", "shipped bitmap");
    fs::path folder = fs::path(device.Root()) / "program files" / "SCRIBBO";
    Write(folder / "Language.TXT", "edited by the user");
    fs::create_directories(fs::path(device.Root()) / "my documents");

    plat::DeviceSetup setup{
        (build.path / "myprog").string(), u"myprog", {(build.path / "data").string()}};
    std::string error;
    ASSERT_TRUE(plat::PrepareDevice(setup, &error)) << error;

    EXPECT_EQ(Read(folder / "Language.TXT"), "edited by the user");
    EXPECT_FALSE(fs::exists(folder / "language.txt"));
    EXPECT_EQ(Read(folder / "toolbar.bmp"), "shipped bitmap");
    EXPECT_TRUE(fs::is_symlink(folder / "myprog.exe"));
    // No second folder in another case.
    EXPECT_FALSE(fs::exists(fs::path(device.Root()) / "Program Files"));
    EXPECT_FALSE(fs::exists(fs::path(device.Root()) / "My Documents"));
}

// Switching languages: the texts the device holds change with the choice when they are a
// shipped version, a text the user edited stays, and files with no translation are shared.
TEST(PrepareDevice, TheChosenLanguageReplacesOnlyUntouchedShippedTexts) {
    TestDevice device;
    TempDir build;
    fs::path data = build.path / "data";
    Write(data / "language.txt", "korean texts");
    Write(data / "winza.lng", "korean toolkit");
    Write(data / "toolbar.bmp", "bitmap");
    Write(data / "en" / "language.txt", "english texts");
    Write(data / "en" / "winza.lng", "english toolkit");
    fs::path folder = fs::path(device.Root()) / "Program Files" / "Scribbo";
    auto prepare = [&](const char* language) {
        plat::DeviceSetup setup{"", u"scribbo", {data.string()}};
        setup.language = language;
        std::string error;
        EXPECT_TRUE(plat::PrepareDevice(setup, &error)) << error;
    };

    prepare("en");
    EXPECT_EQ(Read(folder / "language.txt"), "english texts");
    EXPECT_EQ(Read(folder / "winza.lng"), "english toolkit");
    EXPECT_EQ(Read(folder / "toolbar.bmp"), "bitmap");
    EXPECT_FALSE(fs::exists(folder / "en"));

    Write(folder / "winza.lng", "toolkit edited by the user");
    Write(folder / "toolbar.bmp", "bitmap edited by the user");
    prepare("ko");
    EXPECT_EQ(Read(folder / "language.txt"), "korean texts");
    EXPECT_EQ(Read(folder / "winza.lng"), "toolkit edited by the user");
    EXPECT_EQ(Read(folder / "toolbar.bmp"), "bitmap edited by the user");
    prepare("en");
    EXPECT_EQ(Read(folder / "language.txt"), "english texts");
    EXPECT_EQ(Read(folder / "winza.lng"), "toolkit edited by the user");
    for (const auto& entry : fs::directory_iterator(folder))
        EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
}

TEST(PrepareDevice, ReplacesAStaleLinkButNotARealFile) {
    TestDevice device;
    TempDir build;
    Write(build.path / "myprog", "program", true);
    Write(build.path / "wakelaunch", "launcher", true);
    Write(build.path / "scribbo", "not executable");
    fs::path folder = fs::path(device.Root()) / "Program Files" / "Scribbo";
    fs::create_directories(folder);
    fs::create_symlink("/old/build/myprog", folder / "myprog.exe");
    Write(folder / "wakelaunch.exe", "a copy the user put here");

    plat::DeviceSetup setup{(build.path / "myprog").string(), u"myprog", {}};
    std::string error;
    ASSERT_TRUE(plat::PrepareDevice(setup, &error)) << error;
    EXPECT_EQ(fs::read_symlink(folder / "myprog.exe"), build.path / "myprog");
    EXPECT_FALSE(fs::is_symlink(folder / "wakelaunch.exe"));
    EXPECT_EQ(Read(folder / "wakelaunch.exe"), "a copy the user put here");
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder / "scribbo.exe")));

    // With the user's copy gone, the shipped launcher beside the program is linked.
    fs::remove(folder / "wakelaunch.exe");
    ASSERT_TRUE(plat::PrepareDevice(setup, &error)) << error;
    EXPECT_EQ(fs::read_symlink(folder / "wakelaunch.exe"), build.path / "wakelaunch");
}

TEST(PrepareDevice, ReportsAFolderItCannotMake) {
    TestDevice device;
    Write(fs::path(device.Root()) / "Program Files", "a file where the folder should be");
    plat::DeviceSetup setup{"", u"myprog", {}};
    std::string error;
    EXPECT_FALSE(plat::PrepareDevice(setup, &error));
    EXPECT_NE(error.find("Program Files"), std::string::npos) << error;
}

namespace {

struct Call {
    int count = 0;
    HINSTANCE instance = nullptr;
    std::u16string commandLine;
    int show = 0;
};
Call g_call;

int FakeWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int show) {
    ++g_call.count;
    g_call.instance = instance;
    g_call.commandLine = commandLine;
    g_call.show = show;
    return 7;
}

int StartWith(std::vector<std::string> args) {
    args.insert(args.begin(), "scribbo");
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    g_call = Call();
    return plat::RunProgram(static_cast<int>(args.size()), argv.data(), FakeWinMain, {});
}

} // namespace

TEST(RunProgram, PreparesTheDeviceAndCallsWinMainWithTheRest) {
    TestDevice device;
    TempDir other;
    std::string root = (other.path / "dev").string();
    EXPECT_EQ(StartWith({"/f", "--device", root, "\\My Documents\\a b.pad", "--screen", "240x320"}),
              7);
    ASSERT_EQ(g_call.count, 1);
    EXPECT_EQ(g_call.instance, GetModuleHandleW(nullptr));
    EXPECT_EQ(g_call.commandLine, u"/f \"\\My Documents\\a b.pad\"");
    EXPECT_EQ(g_call.show, 5);
    EXPECT_EQ(std::u16string(GetCommandLineW()), g_call.commandLine);
    EXPECT_EQ(plat::GetStartOptions().screenWidth, 240);
    EXPECT_EQ(plat::GetStartOptions().screenHeight, 320);
    EXPECT_EQ(fs::path(plat::DeviceRoot()), fs::canonical(root));

    // The program links to this very executable under its own name.
    fs::path link = fs::path(root) / "Program Files" / "Scribbo" / "platform_tests.exe";
    ASSERT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::canonical(link), fs::canonical("/proc/self/exe"));
    EXPECT_TRUE(fs::is_directory(fs::path(root) / "My Documents"));
    WCHAR name[MAX_PATH];
    GetModuleFileNameW(nullptr, name, MAX_PATH);
    EXPECT_EQ(std::u16string(name), u"\\Program Files\\Scribbo\\platform_tests.exe");
}

TEST(RunProgram, HelpAndErrorsEndWithoutStartingTheProgram) {
    TestDevice device;
    testing::internal::CaptureStdout();
    EXPECT_EQ(StartWith({"--help"}), 0);
    std::string usage = testing::internal::GetCapturedStdout();
    EXPECT_NE(usage.find("--device"), std::string::npos);
    EXPECT_EQ(g_call.count, 0);

    testing::internal::CaptureStderr();
    EXPECT_EQ(StartWith({"--screen", "abc"}), 2);
    std::string message = testing::internal::GetCapturedStderr();
    EXPECT_NE(message.find("--screen"), std::string::npos);
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1);
    EXPECT_EQ(g_call.count, 0);

    Write(fs::path(device.Root()) / "a-file", "not a folder");
    testing::internal::CaptureStderr();
    EXPECT_EQ(StartWith({"--device", device.Root() + "/a-file"}), 2);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(g_call.count, 0);
}
