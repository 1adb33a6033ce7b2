// Owners for what drawing code borrows: device contexts, selected objects and drawing objects.
// Each gives back what it took when it goes out of scope, on every way out, so no caller pairs
// a release by hand. Declare them in the order taken; they let go in the reverse order (the
// selection is undone before its object is deleted and before its context goes).
#pragma once

#include <platform/wingdi.h>
#include <platform/winuser.h>

#include <utility>

namespace gdi {

// GetDC / ReleaseDC. A null window is the screen.
class WindowDC {
public:
    explicit WindowDC(HWND hwnd) : m_hwnd(hwnd), m_dc(GetDC(hwnd)) {}
    // A context taken another way (GetWindowDC) that ReleaseDC gives back.
    WindowDC(HWND hwnd, HDC dc) : m_hwnd(hwnd), m_dc(dc) {}
    ~WindowDC() {
        if (m_dc)
            ReleaseDC(m_hwnd, m_dc);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return m_dc; }
    operator HDC() const { return m_dc; }

private:
    HWND m_hwnd;
    HDC m_dc;
};

// BeginPaint / EndPaint. EndPaint runs even when BeginPaint gave no context, as it must.
class PaintDC {
public:
    explicit PaintDC(HWND hwnd) : m_hwnd(hwnd), m_dc(BeginPaint(hwnd, &m_ps)) {}
    ~PaintDC() { EndPaint(m_hwnd, &m_ps); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    HDC get() const { return m_dc; }
    operator HDC() const { return m_dc; }
    const PAINTSTRUCT& ps() const { return m_ps; }

private:
    HWND m_hwnd;
    PAINTSTRUCT m_ps{};
    HDC m_dc;
};

// CreateCompatibleDC / DeleteDC, or any memory context handed over to be deleted.
class MemoryDC {
public:
    MemoryDC() = default;
    explicit MemoryDC(HDC like) : m_dc(CreateCompatibleDC(like)) {}
    static MemoryDC Adopt(HDC dc) {
        MemoryDC m;
        m.m_dc = dc;
        return m;
    }
    ~MemoryDC() { reset(); }
    MemoryDC(MemoryDC&& o) noexcept : m_dc(std::exchange(o.m_dc, nullptr)) {}
    MemoryDC& operator=(MemoryDC&&) = delete;
    MemoryDC(const MemoryDC&) = delete;
    HDC get() const { return m_dc; }
    // Deletes the context now.
    void reset() {
        if (m_dc)
            DeleteDC(std::exchange(m_dc, nullptr));
    }
    operator HDC() const { return m_dc; }

private:
    HDC m_dc = nullptr;
};

// SelectObject now, and the object it replaced selected again on leaving. Nothing is selected
// into a null context or for a null object.
class Select {
public:
    Select(HDC dc, HGDIOBJ obj) : m_dc(dc), m_old(dc && obj ? SelectObject(dc, obj) : nullptr) {}
    ~Select() {
        if (m_old)
            SelectObject(m_dc, m_old);
    }
    Select(const Select&) = delete;
    Select& operator=(const Select&) = delete;
    // What was selected before.
    HGDIOBJ old() const { return m_old; }

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// A pen, brush, font, bitmap or region deleted on leaving unless released to a new owner.
template <class H> class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(H h) : m_h(h) {}
    ~GdiObject() { reset(); }
    GdiObject(GdiObject&& o) noexcept : m_h(std::exchange(o.m_h, nullptr)) {}
    GdiObject& operator=(GdiObject&& o) noexcept {
        if (this != &o) {
            reset();
            m_h = std::exchange(o.m_h, nullptr);
        }
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    H get() const { return m_h; }
    operator H() const { return m_h; }
    explicit operator bool() const { return m_h != nullptr; }
    H release() { return std::exchange(m_h, nullptr); }
    void reset(H h = nullptr) {
        if (m_h)
            DeleteObject(m_h);
        m_h = h;
    }

private:
    H m_h = nullptr;
};

using Pen = GdiObject<HPEN>;
using Brush = GdiObject<HBRUSH>;
using Bitmap = GdiObject<HBITMAP>;
using Font = GdiObject<HFONT>;

} // namespace gdi
