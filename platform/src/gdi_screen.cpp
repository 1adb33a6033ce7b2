// The screen surface and the screen context (what GetDC(NULL) gives).
#include "gdi_internal.h"

#include <mutex>

namespace plat {
namespace {

constexpr int kDefaultWidth = 480;
constexpr int kDefaultHeight = 640;

struct Screen {
    std::mutex mutex;
    std::shared_ptr<Surface> surface;
    DirtyTracker dirty;
};

// Never destroyed: surfaces keep a pointer to the tracker.
Screen& TheScreen() {
    static Screen* s = new Screen;
    return *s;
}

std::shared_ptr<Surface> MakeScreen(int width, int height) {
    std::shared_ptr<Surface> s = MakeSurface(width, height, 24, false);
    if (s)
        s->dirty = &TheScreen().dirty;
    return s;
}

} // namespace

bool CreateScreenSurface(int width, int height) {
    std::shared_ptr<Surface> s = MakeScreen(width, height);
    if (!s)
        return false;
    Screen& screen = TheScreen();
    {
        std::lock_guard<std::mutex> lock(screen.mutex);
        screen.surface = s;
    }
    screen.dirty.Reset(s->Bounds());
    return true;
}

std::shared_ptr<Surface> ScreenSurfaceRef() {
    Screen& screen = TheScreen();
    std::lock_guard<std::mutex> lock(screen.mutex);
    if (!screen.surface)
        screen.surface = MakeScreen(kDefaultWidth, kDefaultHeight);
    return screen.surface;
}

Surface* ScreenSurface() {
    return ScreenSurfaceRef().get();
}

SIZE ScreenSize() {
    std::shared_ptr<Surface> s = ScreenSurfaceRef();
    return s ? SIZE{s->width, s->height} : SIZE{0, 0};
}

HDC GetScreenDC() {
    return CreateSurfaceDC(ScreenSurfaceRef(), DCKind::Screen, POINT{0, 0}, nullptr);
}

int ReleaseScreenDC(HDC h) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    if (!dc || dc->kind != DCKind::Screen)
        return 0;
    return DeleteDC(h) ? 1 : 0;
}

bool TakeScreenDirtyRect(RECT* rc) {
    return TheScreen().dirty.Take(rc);
}

void SetScreenDirtyListener(std::function<void()> listener) {
    TheScreen().dirty.SetListener(std::move(listener));
}

} // namespace plat
