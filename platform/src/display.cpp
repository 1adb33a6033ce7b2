// The display: picks the backend, makes the screen, and presents what changed whenever the
// user-interface thread runs out of messages, so each present shows finished painting.
#include "backend.h"
#include "user_internal.h"

#include <platform/entry.h>

#include <dlfcn.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace plat {
namespace {

std::unique_ptr<DisplayBackend> g_backend;
std::mutex g_backendMutex;
std::atomic<bool> g_programDisplay{false};
std::atomic<bool> g_starting{false};
std::atomic<FrameObserver> g_frameObserver{nullptr};

void PresentIfChanged() {
    RECT rc;
    if (!TakeScreenDirtyRect(&rc))
        return;
    std::lock_guard lock(g_backendMutex);
    if (g_backend)
        g_backend->Present(rc);
}

bool OnIdle() {
    PresentIfChanged();
    return RunScriptStep();
}

void Install(std::unique_ptr<DisplayBackend> backend) {
    {
        std::lock_guard lock(g_backendMutex);
        if (g_backend)
            g_backend->Stop();
        g_backend = std::move(backend);
    }
    SetIdleHook(OnIdle);
}

// SDL and the desktop libraries it pulls in (X11, Wayland, sound, D-Bus...) are loaded only
// when a desktop window is wanted: tools and headless runs start without them. The module
// lies beside this library and stays loaded.
std::unique_ptr<DisplayBackend> LoadSdlBackend(int scale, std::string* error) {
    std::string path = "libplatform_sdl.so";
    Dl_info self{};
    if (dladdr(reinterpret_cast<void*>(&LoadSdlBackend), &self) && self.dli_fname) {
        const std::string library = self.dli_fname;
        const size_t slash = library.rfind('/');
        if (slash != std::string::npos)
            path = library.substr(0, slash + 1) + path;
    }
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    using Make = DisplayBackend* (*)(int, std::string*);
    Make make = module ? reinterpret_cast<Make>(dlsym(module, "ScribboMakeSdlBackend")) : nullptr;
    if (!make) {
        const char* why = dlerror();
        if (error)
            *error = std::string("cannot load the desktop display: ") + (why ? why : path);
        return nullptr;
    }
    return std::unique_ptr<DisplayBackend>(make(scale, error));
}

} // namespace

DisplayBackend* CurrentBackend() {
    std::lock_guard lock(g_backendMutex);
    return g_backend.get();
}

void StartHeadless(int width, int height) {
    SIZE s = ScreenSize();
    if (s.cx != width || s.cy != height)
        CreateScreenSurface(width, height);
    Install(MakeHeadlessBackend());
}

bool StartDisplay(std::string* error) {
    const StartOptions& o = GetStartOptions();
    if (!CreateScreenSurface(o.screenWidth, o.screenHeight)) {
        if (error)
            *error = "cannot make a screen of that size";
        return false;
    }
    std::unique_ptr<DisplayBackend> backend;
    if (o.headless || !o.scriptPath.empty()) {
        backend = MakeHeadlessBackend();
    } else {
        backend = LoadSdlBackend(o.scale, error);
        if (!backend)
            return false;
    }
    Install(std::move(backend));
    CreateTaskbar();
    return true;
}

void UseProgramDisplay() {
    g_programDisplay = true;
}

void EnsureDisplay() {
    if (CurrentBackend() || g_starting.exchange(true))
        return;
    if (g_programDisplay) {
        std::string error;
        if (!StartDisplay(&error)) {
            // A program that cannot show its windows has nothing useful to do.
            std::fprintf(stderr, "cannot start the display: %s\n", error.c_str());
            std::_Exit(2);
        }
    } else {
        SIZE s = ScreenSize();
        StartHeadless(s.cx, s.cy);
    }
    g_starting = false;
}

bool SetClipboardText(const std::u16string& text) {
    std::lock_guard lock(g_backendMutex);
    return g_backend && g_backend->SetClipboardText(text);
}

bool GetClipboardText(std::u16string* text) {
    if (!text)
        return false;
    text->clear();
    std::lock_guard lock(g_backendMutex);
    return g_backend && g_backend->GetClipboardText(text);
}

bool PushDesktopPointer(DesktopPointer kind, int x, int y) {
    std::lock_guard lock(g_backendMutex);
    return g_backend && g_backend->PushPointer(kind, x, y);
}

void SetFrameObserver(FrameObserver observer) {
    g_frameObserver = observer;
}

void ReportFrame(std::chrono::steady_clock::time_point handed,
                 std::chrono::steady_clock::time_point done) {
    if (FrameObserver observer = g_frameObserver.load())
        observer(handed, done);
}

void RaiseDisplay() {
    std::lock_guard lock(g_backendMutex);
    if (g_backend)
        g_backend->Raise();
}

void StopDisplay() {
    SetIdleHook(nullptr);
    std::unique_ptr<DisplayBackend> old;
    {
        std::lock_guard lock(g_backendMutex);
        old = std::move(g_backend);
    }
    if (old)
        old->Stop();
}

} // namespace plat
