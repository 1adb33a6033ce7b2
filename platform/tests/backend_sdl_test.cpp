// The SDL2 backend on a real (virtual) X display: the desktop window appears at the screen's
// size, a click and typed text pushed as SDL events arrive as stylus and WM_CHAR messages,
// and the clipboard goes through the desktop; a pointer pushed into the desktop's queue comes in
// at its screen pixel, and frames handed to the desktop are reported. Without a display and
// without Xvfb the test is
// skipped. It starts its own Xvfb when DISPLAY is not set, and its name keeps it out of the
// sanitizer pass (the X libraries keep memory until the process ends).
#include <platform/display.h>
#include <platform/entry.h>
#include <windows.h>

#include <SDL.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <mutex>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

bool OnPath(const char* program) {
    const char* path = std::getenv("PATH");
    std::string all = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= all.size()) {
        size_t end = all.find(':', start);
        std::string dir = all.substr(start, end == std::string::npos ? end : end - start);
        if (!dir.empty() && access((dir + "/" + program).c_str(), X_OK) == 0)
            return true;
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return false;
}

// An Xvfb of our own; it tells its display number through a pipe once it is ready.
class VirtualDisplay {
public:
    bool Start() {
        int fds[2];
        if (pipe(fds) != 0)
            return false;
        std::string fd = std::to_string(fds[1]);
        std::vector<std::string> args{"Xvfb", "-displayfd", fd,  "-nolisten",
                                      "tcp",  "-screen",    "0", "640x480x24"};
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        // A test that ran the program before may have left SIGTERM blocked in this thread;
        // Xvfb must not inherit that, or it would never end when told to.
        posix_spawnattr_t attr;
        posix_spawnattr_init(&attr);
        sigset_t none, terms;
        sigemptyset(&none);
        sigemptyset(&terms);
        sigaddset(&terms, SIGTERM);
        sigaddset(&terms, SIGINT);
        posix_spawnattr_setsigmask(&attr, &none);
        posix_spawnattr_setsigdefault(&attr, &terms);
        posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
        int rc = posix_spawnp(&m_pid, "Xvfb", nullptr, &attr, argv.data(), environ);
        posix_spawnattr_destroy(&attr);
        close(fds[1]);
        if (rc != 0) {
            close(fds[0]);
            m_pid = 0;
            return false;
        }
        std::string number;
        char c;
        while (read(fds[0], &c, 1) == 1 && c != '\n')
            number.push_back(c);
        close(fds[0]);
        if (number.empty())
            return false;
        setenv("DISPLAY", (":" + number).c_str(), 1);
        return true;
    }
    ~VirtualDisplay() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            int status;
            waitpid(m_pid, &status, 0);
            unsetenv("DISPLAY");
        }
    }

private:
    pid_t m_pid = 0;
};

// A display to open windows on: the one given, else a virtual one started by xvfb.
bool HaveDisplay(VirtualDisplay& xvfb) {
    const char* display = std::getenv("DISPLAY");
    return (display && *display) || (OnPath("Xvfb") && xvfb.Start());
}

struct Seen {
    bool down = false, up = false;
    POINT downAt{};
    std::u16string chars;
    bool timedOut = false;
};
Seen* g_seen = nullptr;

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_LBUTTONDOWN:
            g_seen->down = true;
            g_seen->downAt = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            return 0;
        case WM_LBUTTONUP:
            g_seen->up = true;
            return 0;
        case WM_CHAR:
            g_seen->chars.push_back(static_cast<char16_t>(wParam));
            return 0;
        case WM_TIMER:
            g_seen->timedOut = true;
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

void Push(const SDL_Event& e) {
    SDL_Event copy = e;
    ASSERT_EQ(SDL_PushEvent(&copy), 1);
}

TEST(SdlBackendSlowTest, WindowAppearsAndInputArrives) {
    VirtualDisplay xvfb;
    if (!HaveDisplay(xvfb))
        GTEST_SKIP() << "skipped: no display";
    plat::StartOptions o;
    o.screenWidth = 240;
    o.screenHeight = 320;
    o.scale = 1;
    plat::SetStartOptions(o);
    std::string error;
    if (!plat::StartDisplay(&error))
        GTEST_SKIP() << "skipped: no display (" << error << ")";
    ASSERT_STREQ(plat::CurrentBackend()->Name(), "sdl2");

    // The desktop window: made by the backend's thread, the first SDL window of the process.
    SDL_Window* desktop = SDL_GetWindowFromID(1);
    ASSERT_NE(desktop, nullptr);
    int w = 0, h = 0;
    SDL_GetWindowSize(desktop, &w, &h);
    EXPECT_EQ(w, 240);
    EXPECT_EQ(h, 320);

    Seen seen;
    g_seen = &seen;
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = u"SdlSmoke";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, u"SdlSmoke", u"smoke", WS_POPUP | WS_VISIBLE, 0, 40, 240, 280,
                                nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(hwnd);
    SetFocus(hwnd);

    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.windowID = SDL_GetWindowID(desktop);
    e.button.button = SDL_BUTTON_LEFT;
    e.button.state = SDL_PRESSED;
    e.button.x = 50;
    e.button.y = 100;
    Push(e);
    e.type = SDL_MOUSEBUTTONUP;
    e.button.state = SDL_RELEASED;
    Push(e);
    // A typed "h" comes as its key and as desktop text; then text with no key of its own.
    SDL_Event k{};
    k.type = SDL_KEYDOWN;
    k.key.windowID = e.button.windowID;
    k.key.state = SDL_PRESSED;
    k.key.keysym.sym = SDLK_h;
    k.key.keysym.scancode = SDL_SCANCODE_H;
    Push(k);
    SDL_Event t{};
    t.type = SDL_TEXTINPUT;
    t.text.windowID = e.button.windowID;
    SDL_strlcpy(t.text.text, "h\xc3\xa9", sizeof(t.text.text)); // "hé"
    Push(t);
    k.type = SDL_KEYUP;
    k.key.state = SDL_RELEASED;
    Push(k);

    // Wait for the messages as the program would; a real-time timer ends a wait that fails.
    SetTimer(hwnd, 1, 5000, nullptr);
    MSG msg;
    while (!(seen.up && seen.chars.size() >= 2) && !seen.timedOut &&
           GetMessageW(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    KillTimer(hwnd, 1);
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    EXPECT_FALSE(seen.timedOut);
    EXPECT_TRUE(seen.down);
    EXPECT_TRUE(seen.up);
    EXPECT_EQ(seen.downAt.x, 50);
    EXPECT_EQ(seen.downAt.y, 60); // the window starts 40 pixels down
    // Typed text comes once, as characters, not again from the keys.
    EXPECT_EQ(seen.chars, u"h\u00e9");

    EXPECT_TRUE(plat::SetClipboardText(u"메모 smoke"));
    std::u16string clip;
    EXPECT_TRUE(plat::GetClipboardText(&clip));
    EXPECT_EQ(clip, u"메모 smoke");

    DestroyWindow(hwnd);
    DestroyWindow(FindWindowW(u"HHTaskbar", nullptr));
    UnregisterClassW(u"SdlSmoke", nullptr);
    g_seen = nullptr;
    plat::StopDisplay();
    plat::SetStartOptions(plat::StartOptions());
}

struct Frames {
    std::mutex mutex;
    std::condition_variable cv;
    int count = 0;
    bool ordered = true;
};
Frames g_frames;

void CountFrame(std::chrono::steady_clock::time_point handed,
                std::chrono::steady_clock::time_point done) {
    std::lock_guard lock(g_frames.mutex);
    ++g_frames.count;
    g_frames.ordered &= handed <= done;
    g_frames.cv.notify_all();
}

TEST(DesktopPointer, AHeadlessDisplayHasNoDesktopQueue) {
    plat::StartHeadless(240, 320);
    EXPECT_FALSE(plat::PushDesktopPointer(plat::DesktopPointer::Down, 10, 10));
    plat::StopDisplay();
}

TEST(SdlBackendSlowTest, PushedPointerArrivesAtItsScreenPixelAndFramesAreReported) {
    VirtualDisplay xvfb;
    if (!HaveDisplay(xvfb))
        GTEST_SKIP() << "skipped: no display";
    plat::StartOptions o;
    o.screenWidth = 160;
    o.screenHeight = 200;
    o.scale = 2; // the pushed screen pixel must still arrive as that pixel
    plat::SetStartOptions(o);
    plat::SetFrameObserver(CountFrame);
    std::string error;
    if (!plat::StartDisplay(&error)) {
        plat::SetFrameObserver(nullptr);
        GTEST_SKIP() << "skipped: no display (" << error << ")";
    }
    Seen seen;
    g_seen = &seen;
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = u"SdlPointer";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, u"SdlPointer", u"pointer", WS_POPUP | WS_VISIBLE, 0, 40, 160,
                                160, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(hwnd);
    EXPECT_TRUE(plat::PushDesktopPointer(plat::DesktopPointer::Down, 50, 100));
    EXPECT_TRUE(plat::PushDesktopPointer(plat::DesktopPointer::Move, 70, 110));
    EXPECT_TRUE(plat::PushDesktopPointer(plat::DesktopPointer::Up, 70, 110));
    SetTimer(hwnd, 1, 5000, nullptr);
    MSG msg;
    while (!seen.up && !seen.timedOut && GetMessageW(&msg, nullptr, 0, 0))
        DispatchMessageW(&msg);
    KillTimer(hwnd, 1);
    EXPECT_TRUE(seen.down);
    EXPECT_TRUE(seen.up);
    EXPECT_EQ(seen.downAt.x, 50);
    EXPECT_EQ(seen.downAt.y, 60); // the window starts 40 pixels down
    // The window's first painting was presented while the loop waited.
    {
        std::unique_lock lock(g_frames.mutex);
        EXPECT_TRUE(
            g_frames.cv.wait_for(lock, std::chrono::seconds(5), [] { return g_frames.count > 0; }));
        EXPECT_TRUE(g_frames.ordered);
    }
    plat::SetFrameObserver(nullptr);
    DestroyWindow(hwnd);
    DestroyWindow(FindWindowW(u"HHTaskbar", nullptr));
    UnregisterClassW(u"SdlPointer", nullptr);
    g_seen = nullptr;
    plat::StopDisplay();
    plat::SetStartOptions(plat::StartOptions());
}

} // namespace
