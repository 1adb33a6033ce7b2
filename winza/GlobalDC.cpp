#include "winza/GlobalDC.h"

#include "winza/GLibState.h"

HDC GetGlobalScreenDC() {
    GLibState& s = GetGLibState();
    if (!s.screenDC)
        s.screenDC = ::GetDC(nullptr);
    return s.screenDC;
}

HDC GetGlobalMemDC() {
    GLibState& s = GetGLibState();
    if (!s.memDC) {
        HDC screen = GetGlobalScreenDC();
        if (screen)
            s.memDC = ::CreateCompatibleDC(screen);
    }
    return s.memDC;
}

void FreeGlobalDC() {
    GLibState& s = GetGLibState();
    if (s.memDC) {
        ::DeleteDC(s.memDC);
        s.memDC = nullptr;
    }
    if (s.screenDC) {
        ::ReleaseDC(nullptr, s.screenDC);
        s.screenDC = nullptr;
    }
}
