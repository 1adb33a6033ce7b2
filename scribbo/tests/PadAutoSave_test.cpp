// The autosave as a user relies on it: a real program started with "/n" takes strokes, the
// pen stays up, and the process is killed with SIGKILL. The strokes must already be in the
// memo file once the autosave's delay has passed, and not before.
#include "scribbo/GPadDrawMan.h"
#include "scribbo/Settings.h"

#include "fundo/GIOFile.h"

#include <TestDevice.h>
#include <platform/utf.h>

#include <gtest/gtest.h>

#include "process_test_support.h"
#include "scribbo_test_support.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <poll.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Three strokes on the 480 x 640 screen; each starts at its "down".
constexpr char kStrokes[] = "down 100 200\nmove 200 250 10\nmove 300 200 10\nup 300 200\n"
                            "down 100 300\nmove 300 350 10\nup 300 350\n"
                            "down 60 450\nmove 400 460 20\nup 400 460\n";
constexpr POINT kStarts[] = {{100, 200}, {100, 300}, {60, 450}};

class PadAutoSave : public ::testing::Test {
protected:
    void SetUp() override {
        runtime = fs::path(device.Root()) / "run";
        fs::create_directories(runtime);
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        // Made before the start so it can be watched from the start.
        fs::create_directories(MemoFolder());
    }
    void TearDown() override {
        if (pid > 0 && kill(pid, SIGKILL) == 0)
            waitpid(pid, nullptr, 0);
    }
    fs::path MemoFolder() const { return device.Host("My Documents/Pad"); }

    // Runs the program on the script until its screenshot and (when wanted) a memo file have
    // been moved into place, then kills it. False when that did not happen in time.
    bool RunAndKill(const std::string& script, bool waitForMemo) {
        const fs::path shot = fs::path(device.Root()) / "shot.png";
        const fs::path path = fs::path(device.Root()) / "script.txt";
        std::ofstream(path) << script << "shot " << shot.string() << "\nstay\n";
        const int watch = inotify_init1(IN_CLOEXEC);
        inotify_add_watch(watch, device.Root().c_str(), IN_MOVED_TO | IN_CLOSE_WRITE);
        inotify_add_watch(watch, MemoFolder().c_str(), IN_MOVED_TO);
        pid = apptest::Spawn({apptest::ProgramPath(), "--device", device.Root(), "--screen",
                              "480x640", "--script", path.string(), "/n"});
        bool shotSeen = false, memoSeen = false;
        char buffer[4096] __attribute__((aligned(alignof(inotify_event))));
        pollfd p{watch, POLLIN, 0};
        while (pid > 0 && !(shotSeen && (memoSeen || !waitForMemo)) && poll(&p, 1, 30000) > 0) {
            const ssize_t n = read(watch, buffer, sizeof buffer);
            for (ssize_t i = 0; i < n;) {
                auto* e = reinterpret_cast<inotify_event*>(buffer + i);
                const std::string name = e->len ? e->name : "";
                shotSeen |= name == "shot.png";
                memoSeen |= name.size() > 4 && name.ends_with(".pad");
                i += ssize_t(sizeof(inotify_event) + e->len);
            }
        }
        close(watch);
        int status = 0;
        if (pid <= 0 || kill(pid, SIGKILL) != 0 || waitpid(pid, &status, 0) != pid)
            return false;
        pid = 0;
        // Killed, not ended on its own: no closing save can have written the memo.
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        return shotSeen && (memoSeen || !waitForMemo);
    }
    std::vector<fs::path> Memos() const {
        std::vector<fs::path> found;
        for (const auto& e : fs::directory_iterator(MemoFolder()))
            if (e.path().extension() == ".pad")
                found.push_back(e.path());
        return found;
    }

    TestDevice device;
    fs::path runtime;
    pid_t pid = 0;
};

TEST_F(PadAutoSave, StrokesSurviveAKillOnceThePenWasUpForTheDelay) {
    ASSERT_TRUE(RunAndKill(std::string(kStrokes) + "wait 3000\n", true));
    const std::vector<fs::path> memos = Memos();
    ASSERT_EQ(memos.size(), 1u);

    InitTemplateHeader(&g_Settings.DefaultTemplate, 0);
    HDC dc = ::CreateCompatibleDC(nullptr);
    GPadDrawMan memo;
    ASSERT_EQ(memo.InitBuffer(dc, 480, 640), 1);
    GIOFile file;
    const std::u16string name = plat::FromUtf8(memos[0].filename().string());
    ASSERT_TRUE(file.Open((u"\\My Documents\\Pad\\" + name).c_str(), u"rb"));
    ASSERT_EQ(memo.Load(&file), 1);
    file.Close();
    ASSERT_EQ(memo.GetPageNum(), 1);
    InkraPage* page = memo.GetPage(0);
    ASSERT_EQ(page->GetTotalGDObjectNum(), 3);
    for (int i = 0; i < 3; ++i) {
        const GDObject* stroke = page->GetGDObject(i);
        ASSERT_GT(stroke->pointCount, 1);
        EXPECT_NEAR(stroke->points[0].x / 65536.0, kStarts[i].x, 1.0) << "stroke " << i;
        EXPECT_NEAR(stroke->points[0].y / 65536.0, kStarts[i].y, 1.0) << "stroke " << i;
    }
    memo.ReleaseBuffer();
    ::DeleteDC(dc);
}

TEST_F(PadAutoSave, AKillBeforeTheDelayLeavesNoMemo) {
    // The same run killed after one second of pen-up: nothing was written yet, which shows
    // the file above came from the autosave and not from some other save.
    ASSERT_TRUE(RunAndKill(std::string(kStrokes) + "wait 1000\n", false));
    EXPECT_TRUE(Memos().empty());
}

} // namespace
