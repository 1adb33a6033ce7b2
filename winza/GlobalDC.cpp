#include "winza/GlobalDC.h"

namespace {

HDC g_screenDC = nullptr;
HDC g_memDC = nullptr;

} // namespace

HDC GetGlobalScreenDC() {
    if (!g_screenDC)
        g_screenDC = ::GetDC(nullptr);
    return g_screenDC;
}

HDC GetGlobalMemDC() {
    if (!g_memDC) {
        HDC screen = GetGlobalScreenDC();
        if (screen)
            g_memDC = ::CreateCompatibleDC(screen);
    }
    return g_memDC;
}

void FreeGlobalDC() {
    if (g_memDC) {
        ::DeleteDC(g_memDC);
        g_memDC = nullptr;
    }
    if (g_screenDC) {
        ::ReleaseDC(nullptr, g_screenDC);
        g_screenDC = nullptr;
    }
}
