// The display: picks the backend, makes the screen, and presents what changed whenever the
// user-interface thread runs out of messages, so each present shows finished painting.
#include "backend.h"
#include "user_internal.h"

#include <platform/entry.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace plat {
namespace {

std::unique_ptr<DisplayBackend> g_backend;
std::mutex g_backendMutex;
std::atomic<bool> g_programDisplay{false};
std::atomic<bool> g_starting{false};

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
        backend = MakeSdlBackend(o.scale, error);
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
