// The whole program in this process, driven by an input script: start-up in its order, the
// messages of a failed start, and the settings written at the end.
#include "scribbo/App.h"
#include "scribbo/AppStart.h"
#include "scribbo/ScribboProgram.h"
#include "scribbo/Settings.h"

#include "winza/GImageList.h"
#include "winza/GlobalDC.h"
#include "winza/Hires.h"

#include <TestDevice.h>
#include <TestPng.h>
#include <platform/clock.h>
#include <platform/display.h>
#include <platform/entry.h>
#include <platform/module.h>
#include <platform/utf.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class ScribboProgram : public ::testing::Test {
protected:
    void SetUp() override {
        // The instance channel of this device lives in a folder of the test's own.
        runtime = fs::path(device.Root()) / "run";
        fs::create_directories(runtime);
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        plat::UseVirtualClock(true);
        plat::StartHeadless(240, 320);
        ResetDisplayMode();
        FreeGlobalDC();
        const plat::DeviceSetup setup{"", u"scribbo", {SCRIBBO_DATA_DIR}};
        std::string error;
        ASSERT_TRUE(plat::PrepareDevice(setup, &error)) << error;
    }
    void TearDown() override {
        plat::UnloadInputScript();
        // A finished script insists on the end with a quit message that the program, already
        // gone, never took: it must not end the next test's run.
        MSG m;
        while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE))
            ;
        plat::UseVirtualClock(false);
        ResetDisplayMode();
        // The run's start request ("/n", "/f") must not reach the next test's main window,
        // which would end its run as a direct start does.
        ParseCommandLine(nullptr);
    }
    // Runs the program on the script; its exit code.
    int Run(const std::string& script, LPCWSTR commandLine = u"",
            HINSTANCE instance = plat::ThisModule()) {
        const std::string path = (fs::path(device.Root()) / "script.txt").string();
        std::ofstream(path) << script;
        std::string error;
        EXPECT_TRUE(plat::LoadInputScript(path, &error)) << error;
        const int rc = RunScribbo(instance, commandLine);
        EXPECT_FALSE(plat::ScriptRunning()) << "the program ended before its script";
        EXPECT_EQ(plat::ScriptError(), "");
        return rc;
    }
    std::string Shot(const std::string& name) const {
        return (fs::path(device.Root()) / name).string();
    }
    std::string Registry() const {
        std::stringstream text;
        text << std::ifstream(device.Root() + "/" + plat::kRegistryFileName).rdbuf();
        return text.str();
    }
    std::string ProgramFile(const std::string& name) const {
        return device.Host("Program Files/Scribbo/" + name);
    }

    TestDevice device;
    fs::path runtime;
};

TEST_F(ScribboProgram, StartsWithTheMainWindowAndSavesAtTheEnd) {
    EXPECT_EQ(Run("shot " + Shot("main.png") + "\n"), 0);
    TestPicture shot;
    ASSERT_TRUE(ReadTestPng(Shot("main.png"), &shot));
    ASSERT_EQ(shot.width, 240);
    ASSERT_EQ(shot.height, 320);
    // The toolbar along the bottom, in the toolkit's bar colour, with icons on it.
    const COLORREF barColour = shot.At(2, 310);
    EXPECT_GT(shot.Count(0, 294, 240, 320, barColour), 240 * 26 / 3);
    EXPECT_GT(294 * 240 - shot.Count(0, 294, 240, 320, barColour), 0);
    // The list below the bar area is the window colour.
    EXPECT_GT(shot.Count(0, 100, 240, 250, ::GetSysColor(COLOR_WINDOW)), 240 * 150 * 9 / 10);
    // At the end the settings and the default paper are written.
    const std::string registry = Registry();
    EXPECT_NE(registry.find("ProgramPath"), std::string::npos);
    EXPECT_NE(registry.find("SplitterWidth"), std::string::npos);
    EXPECT_TRUE(fs::exists(ProgramFile("PBT/default.pbt")));
}

TEST_F(ScribboProgram, ABrokenLanguageFileIsReportedAndStartGoesOn) {
    std::ofstream(ProgramFile("language.txt"), std::ios::trunc) << "one\ntwo\nthree\n";
    EXPECT_EQ(Run("shot " + Shot("message.png") + "\nkey RETURN\nshot " + Shot("main.png") + "\n"),
              0);
    TestPicture message, main;
    ASSERT_TRUE(ReadTestPng(Shot("message.png"), &message));
    ASSERT_TRUE(ReadTestPng(Shot("main.png"), &main));
    // The box with its title strip and text stands over the middle of the screen, and once
    // answered the main window is all that is left.
    int differing = 0;
    for (int y = 60; y < 260; ++y)
        for (int x = 0; x < 240; ++x)
            differing += message.At(x, y) != main.At(x, y);
    EXPECT_GT(differing, 240 * 20);
    // The empty title view fills the list side up to the splitter.
    EXPECT_EQ(main.Count(0, 100, 240, 250, ::GetSysColor(COLOR_WINDOW)), 240 * 150);
    EXPECT_NE(Registry().find("ProgramPath"), std::string::npos);
}

TEST_F(ScribboProgram, WithoutAnyToolbarImageStartEndsWithZero) {
    std::ofstream(ProgramFile("toolbar.bmp"), std::ios::trunc) << "not a picture";
    // A module without the program's resources has no fall-back image either.
    const HINSTANCE bare = plat::ModuleFromAddress(reinterpret_cast<const void*>(&RegCloseKey));
    EXPECT_EQ(Run("shot " + Shot("message.png") + "\nkey RETURN\n", u"", bare), 0);
    TestPicture message;
    ASSERT_TRUE(ReadTestPng(Shot("message.png"), &message));
    // Only the message was shown; nothing was saved since no main window ran.
    EXPECT_EQ(Registry().find("ProgramPath"), std::string::npos);
}

TEST_F(ScribboProgram, ToolbarImagesFollowTheScreenAndTheButtonSize) {
    struct Case {
        int width, height;
        DWORD buttonSize;
        bool file;
        int cell;
    } cases[] = {
        {480, 640, 32, true, 32},  {240, 320, 16, true, 16},  {240, 320, 24, true, 24},
        {480, 640, 32, false, 32}, {240, 320, 16, false, 16},
    };
    for (const Case& c : cases) {
        plat::StartHeadless(c.width, c.height);
        ResetDisplayMode();
        InitDefaultSettings();
        g_Settings.ButtonSize = c.buttonSize;
        if (!c.file)
            fs::remove(ProgramFile("toolbar.bmp"));
        std::unique_ptr<GImageList> list(LoadToolbarImages(plat::ThisModule()));
        ASSERT_NE(list, nullptr) << c.width << " " << c.file;
        EXPECT_EQ(list->GetItemWidth(), c.cell) << c.width << " " << c.buttonSize;
        EXPECT_EQ(list->GetItemHeight(), c.cell);
        EXPECT_EQ(list->GetItemSize(), 100);
    }
    const HINSTANCE bare = plat::ModuleFromAddress(reinterpret_cast<const void*>(&RegCloseKey));
    EXPECT_EQ(LoadToolbarImages(bare), nullptr);
}

TEST_F(ScribboProgram, CommandLine) {
    struct Case {
        const char16_t* line;
        int mode;
        const char16_t* path;
        const char16_t* s;
    } cases[] = {
        {u"", eStartNormal, u"", u""},
        {u"/n", eStartNewMemo, u"", u""},
        {u"-N", eStartNewMemo, u"", u""},
        {u"/f \\My Documents\\a.pad", eStartOpenFile, u"\\My", u""},
        {u"/f \"\\My Documents\\메모 한 장.pad\" /s 7", eStartOpenFile,
         u"\\My Documents\\메모 한 장.pad", u"7"},
        {u"\t-f\t\"x y.pad\"", eStartOpenFile, u"x y.pad", u""},
        // Unknown options and their words, and "s" or "p" with a value, change nothing.
        {u"/x what ever /s 12 /p 3", eStartNormal, u"", u"12"},
        {u"/q /n", eStartNewMemo, u"", u""},
        // An option without its path opens nothing.
        {u"/f", eStartNormal, u"", u""},
        {u"/f /n", eStartNewMemo, u"", u""},
    };
    for (const Case& c : cases) {
        ParseCommandLine(c.line);
        EXPECT_EQ(g_App.StartMode, c.mode) << plat::ToUtf8(c.line);
        EXPECT_EQ(std::u16string(g_App.StartFilePath), c.path) << plat::ToUtf8(c.line);
        EXPECT_EQ(std::u16string(g_App.StartOptionS), c.s) << plat::ToUtf8(c.line);
    }
    const std::u16string tooLong = u"/f " + std::u16string(300, u'a');
    ParseCommandLine(tooLong.c_str());
    EXPECT_EQ(g_App.StartMode, eStartNormal);
    g_App = AppState{};
}

} // namespace

namespace {

// The memo files in the default folder for new memos.
std::vector<fs::path> NewMemos(const TestDevice& device) {
    std::vector<fs::path> found;
    for (const auto& e : fs::directory_iterator(device.Host("My Documents/Pad")))
        if (e.path().extension() == ".pad")
            found.push_back(e.path());
    return found;
}

} // namespace

TEST_F(ScribboProgram, ADirectNewMemoIsWrittenAndEnterEndsTheProgram) {
    EXPECT_EQ(Run("wait 100\ndown 30 60\nmove 120 70 8\nmove 200 64 8\nup 200 64\nshot " +
                      Shot("pad.png") + "\nkey RETURN\n",
                  u"/n"),
              0);
    const std::vector<fs::path> memos = NewMemos(device);
    ASSERT_EQ(memos.size(), 1u);
    // The pad filled the screen with its paper and the stroke.
    TestPicture shot;
    ASSERT_TRUE(ReadTestPng(Shot("pad.png"), &shot));
    int ink = 0;
    for (int x = 40; x < 190; ++x)
        for (int y = 55; y < 75; ++y)
            ink += GetRValue(shot.At(x, y)) + GetGValue(shot.At(x, y)) + GetBValue(shot.At(x, y)) <
                   400;
    // A pen line across most of the 150 columns (none without the stroke).
    EXPECT_GT(ink, 90);
    EXPECT_GT(fs::file_size(memos[0]), 100u);
}

TEST_F(ScribboProgram, ADirectOpenOfAnUnreadableMemoEndsAtOnceAndKeepsTheFile) {
    const std::string bad = device.Host("My Documents/broken.pad");
    std::ofstream(bad, std::ios::binary) << "not a memo at all, not at all";
    EXPECT_EQ(Run("", u"/f \"\\My Documents\\broken.pad\""), 0);
    std::stringstream text;
    text << std::ifstream(bad, std::ios::binary).rdbuf();
    EXPECT_EQ(text.str(), "not a memo at all, not at all");
}
