// Helpers shared by the GDib sources; not part of the library's interface.
#pragma once

#include "fundo/GDib.h"

namespace gdib {

// The calling thread's staging line of GDib::kScratchSize bytes. One per thread rather
// than one per process, so the preview thread's fills never meet the interface thread's.
BYTE* Scratch();

// (source × a + target × (255 − a)) >> 8: the system's blend, deliberately over 256.
inline BYTE Blend(int source, int target, int alpha) {
    return static_cast<BYTE>((source * alpha + target * (255 - alpha)) >> 8);
}

// 5-5-5 word from 8-bit channels (top five bits of each).
inline WORD Pack555(int red, int green, int blue) {
    return static_cast<WORD>(((red >> 3) << 10) | ((green >> 3) << 5) | (blue >> 3));
}

// The screen's device context for the lifetime of the object.
class ScreenDC {
public:
    ScreenDC() : m_dc(plat::GetScreenDC()) {}
    ~ScreenDC() {
        if (m_dc)
            plat::ReleaseScreenDC(m_dc);
    }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    HDC Get() const { return m_dc; }

private:
    HDC m_dc;
};

// A memory context with a bitmap selected; both undone on destruction.
class MemoryDC {
public:
    explicit MemoryDC(HBITMAP bitmap, HDC compatible = nullptr)
        : m_dc(CreateCompatibleDC(compatible)), m_old(nullptr) {
        if (m_dc)
            m_old = SelectObject(m_dc, bitmap);
    }
    ~MemoryDC() { Release(); }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC Get() const { return m_dc; }
    void Release() {
        if (m_dc) {
            SelectObject(m_dc, m_old);
            DeleteDC(m_dc);
        }
        m_dc = nullptr;
        m_old = nullptr;
    }

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// The colour table of the DIB section selected into dc: entries read, 0 when it has none.
inline UINT ReadColorTable(HDC dc, RGBQUAD* table, UINT count) {
    return GetDIBColorTable(dc, 0, count, table);
}

} // namespace gdib
