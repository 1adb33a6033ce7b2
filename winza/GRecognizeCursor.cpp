#include "winza/GRecognizeCursor.h"

#include "winza/GLibState.h"
#include "winza/Hires.h"

#include <platform/gdiguard.h>

#include <cstdlib>

namespace {

constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr int kBox = 32;
constexpr int kDot = 7;

// Top-left corners of the dots before scaling: clockwise from the top, ending at the top.
constexpr POINT kRing[GRecognizeCursor::kDotCount] = {
    {12, 0}, {21, 3}, {25, 12}, {21, 21}, {12, 25}, {3, 21}, {0, 12}, {3, 3}, {12, 0}};

// The ball's interior, from the highlight at the upper left towards the lower right.
constexpr COLORREF kShade[7] = {0xAAAAFF, 0x9B9BFF, 0x8A8AFF, 0x7878FF,
                                0x6666FF, 0x5454FF, 0x4242FF};

// '.' key colour, '#' outline, 'o' interior shaded by x + y.
constexpr const char* kBall[kDot] = {
    "..###..", ".#ooo#.", "#ooooo#", "#ooooo#", "#ooooo#", ".#ooo#.", "..###..",
};

// A memory context holding one bitmap for the length of a copy.
class Selected {
public:
    Selected(HDC like, const GDib* dib)
        : m_dc(like), m_sel(m_dc, dib ? dib->GetSafeHandle() : nullptr) {}
    HDC Get() const { return m_sel.old() ? m_dc.get() : nullptr; }

private:
    gdi::MemoryDC m_dc;
    gdi::Select m_sel;
};

GDib* MakeDib(int size) {
    GDib* dib = new GDib;
    if (!dib->Create(size, size, 24)) {
        delete dib;
        return nullptr;
    }
    return dib;
}

} // namespace

GRecognizeCursor::GRecognizeCursor() {
    for (Dot& d : m_Dots)
        d = Dot{0, 0, 0};
}

GRecognizeCursor::~GRecognizeCursor() {
    ReleaseCursor();
}

int GRecognizeCursor::BoxSize() {
    return ApplyHires(kBox);
}

int GRecognizeCursor::DotSize() {
    return ApplyHires(kDot);
}

void GRecognizeCursor::FreeBitmaps() {
    delete m_pCompDib;
    delete m_pSaveDib;
    delete m_pDotDib;
    m_pCompDib = nullptr;
    m_pSaveDib = nullptr;
    m_pDotDib = nullptr;
}

void GRecognizeCursor::ReleaseCursor() {
    FreeBitmaps();
    if (m_hScreenDC)
        ::ReleaseDC(nullptr, m_hScreenDC);
    m_hScreenDC = nullptr;
    m_bSaved = 0;
}

void GRecognizeCursor::DrawDotBitmap() {
    const int scale = ApplyHires(1);
    m_pDotDib->SetBackColor(kKey);
    for (int y = 0; y < kDot; ++y) {
        for (int x = 0; x < kDot; ++x) {
            const char c = kBall[y][x];
            if (c == '.')
                continue;
            const COLORREF color = c == '#' ? RGB(0, 0, 0) : kShade[x + y - 3];
            m_pDotDib->FillRect(x * scale, y * scale, scale, scale, color);
        }
    }
    m_pDotDib->SetTransColor(kKey);
}

int GRecognizeCursor::MakeBitmaps() {
    if (!m_hScreenDC)
        m_hScreenDC = ::GetDC(nullptr);
    const int box = BoxSize();
    // A change of display mode (tests only) makes the bitmaps again at the new scale.
    if (m_pCompDib && m_pCompDib->Width() == box && m_pSaveDib && m_pDotDib)
        return 1;
    FreeBitmaps();
    m_pCompDib = MakeDib(box);
    m_pSaveDib = MakeDib(box);
    m_pDotDib = MakeDib(DotSize());
    if (!m_pCompDib || !m_pSaveDib || !m_pDotDib) {
        FreeBitmaps();
        return 0;
    }
    m_pSaveDib->SetBackColor(RGB(0, 0, 0));
    DrawDotBitmap();
    return 1;
}

bool GRecognizeCursor::VisibleBox(RECT* box) const {
    const int size = BoxSize();
    const RECT whole{m_ptBox.x, m_ptBox.y, m_ptBox.x + size, m_ptBox.y + size};
    const RECT screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    return ::IntersectRect(box, &whole, &screen) != FALSE;
}

void GRecognizeCursor::SaveBackground() {
    m_bSaved = 0;
    const int size = BoxSize();
    m_ptBox = POINT{m_ptCenter.x - size / 2, m_ptCenter.y - size / 2};
    RECT r;
    if (!m_hScreenDC || !m_pSaveDib || !VisibleBox(&r))
        return;
    Selected save(m_hScreenDC, m_pSaveDib);
    if (!save.Get())
        return;
    ::BitBlt(save.Get(), r.left - m_ptBox.x, r.top - m_ptBox.y, r.right - r.left, r.bottom - r.top,
             m_hScreenDC, r.left, r.top, SRCCOPY);
    m_rcSaved = r;
    m_bSaved = 1;
}

void GRecognizeCursor::RestoreBackground() {
    if (!m_bSaved || !m_hScreenDC || !m_pSaveDib)
        return;
    m_bSaved = 0;
    Selected save(m_hScreenDC, m_pSaveDib);
    if (!save.Get())
        return;
    const RECT& r = m_rcSaved;
    ::BitBlt(m_hScreenDC, r.left, r.top, r.right - r.left, r.bottom - r.top, save.Get(),
             r.left - m_ptBox.x, r.top - m_ptBox.y, SRCCOPY);
}

void GRecognizeCursor::ResetCursor(int x, int y) {
    if (m_ptCenter.x > kNoGesturePoint && m_ptCenter.y > kNoGesturePoint && m_nStep >= 0)
        RestoreBackground();
    m_bSaved = 0;
    for (Dot& d : m_Dots)
        d.alpha = 0;
    m_ptCenter = POINT{x, y};
    m_nStep = -1;
    m_bEnable = x > kNoGesturePoint && y > kNoGesturePoint ? 1 : 0;
    if (!m_bEnable)
        return;
    // Without bitmaps the gesture still keeps its timing; drawing then does nothing.
    MakeBitmaps();
    const int scale = ApplyHires(1);
    for (int i = 0; i < kDotCount; ++i)
        m_Dots[i] = Dot{kRing[i].x * scale, kRing[i].y * scale, 0};
}

int GRecognizeCursor::DrawNext() {
    if (!m_bEnable)
        return 0;
    if (m_nStep < kDotCount)
        ++m_nStep;
    if (m_nStep == 0)
        SaveBackground();
    if (m_nStep >= kDotCount) {
        ResetCursor(kNoGesturePoint, kNoGesturePoint);
        return 1;
    }
    m_Dots[m_nStep].alpha = 255;
    RECT r;
    if (!m_bSaved || !m_pCompDib || !m_pDotDib || !VisibleBox(&r))
        return 0;
    const int box = BoxSize();
    const int dot = DotSize();
    m_pSaveDib->DrawDib(m_pCompDib, 0, 0, box, box, 0, 0, box, box, 1, 255, 0);
    for (const Dot& d : m_Dots)
        if (d.alpha)
            m_pDotDib->DrawDib(m_pCompDib, d.x, d.y, dot, dot, 0, 0, dot, dot, 1, 255, 1);
    Selected comp(m_hScreenDC, m_pCompDib);
    if (comp.Get())
        ::BitBlt(m_hScreenDC, r.left, r.top, r.right - r.left, r.bottom - r.top, comp.Get(),
                 r.left - m_ptBox.x, r.top - m_ptBox.y, SRCCOPY);
    return 0;
}

GRecognizeCursor& GetRecognizeCursor() {
    // Its constructor touches nothing of the platform, so the screen and the display mode
    // are read only when the first gesture runs.
    return *GetGLibState().cursor;
}

namespace {

// A thread timer that ends a wait for messages at its deadline, so the loop sleeps in
// GetMessageW instead of polling.
class DeadlineTimer {
public:
    explicit DeadlineTimer(DWORD ms) : m_id(::SetTimer(nullptr, 0, ms, nullptr)) {}
    ~DeadlineTimer() {
        if (m_id)
            ::KillTimer(nullptr, m_id);
    }
    DeadlineTimer(const DeadlineTimer&) = delete;
    DeadlineTimer& operator=(const DeadlineTimer&) = delete;
    UINT_PTR Id() const { return m_id; }

private:
    UINT_PTR m_id;
};

struct Gesture {
    HWND hwnd;
    int tolerance;
    GRecognizeCursor& cursor;
    bool quit = false;
    int quitCode = 0;

    void End() { cursor.ResetCursor(kNoGesturePoint, kNoGesturePoint); }

    // The pen position against the centre, both in the message window's client coordinates.
    bool MovedTooFar(const MSG& m) const {
        POINT centre = cursor.GetCurPoint();
        POINT pen{GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)};
        if (m.hwnd && ::IsWindow(m.hwnd))
            ::ScreenToClient(m.hwnd, &centre);
        else
            pen = m.pt;
        return std::abs(pen.x - centre.x) > tolerance || std::abs(pen.y - centre.y) > tolerance;
    }

    void Handle(MSG& m) {
        switch (m.message) {
            case WM_MOUSEMOVE:
                if (tolerance >= 1 && MovedTooFar(m))
                    End();
                return;
            case WM_KEYDOWN:
                return;
            case WM_LBUTTONUP:
            case WM_KEYUP:
                End();
                break;
            default:
                break;
        }
        ::TranslateMessage(&m);
        ::DispatchMessageW(&m);
    }

    // Handles messages for ms milliseconds or until the gesture ends.
    void Wait(DWORD ms) {
        const DWORD start = ::GetTickCount();
        DeadlineTimer timer(ms);
        if (!timer.Id()) {
            End(); // without a deadline the wait could not end
            return;
        }
        while (cursor.IsEnableCursor()) {
            if (::GetTickCount() - start >= ms)
                return;
            if (!::IsWindow(hwnd)) {
                End();
                return;
            }
            MSG m;
            if (!::GetMessageW(&m, nullptr, 0, 0)) {
                quit = true;
                quitCode = static_cast<int>(m.wParam);
                End();
                return;
            }
            if (m.message == WM_TIMER && !m.hwnd && m.wParam == timer.Id())
                continue;
            Handle(m);
        }
    }

    int Run() {
        Wait(GRecognizeCursor::kWaitMs);
        while (cursor.IsEnableCursor()) {
            if (cursor.DrawNext())
                return 1;
            Wait(GRecognizeCursor::kStepMs);
        }
        return 0;
    }
};

} // namespace

int RecognizeGesture(HWND hwnd, POINT clientPoint, int tolerance) {
    GRecognizeCursor& cursor = GetRecognizeCursor();
    // One gesture at a time: a handler re-entered during a hold cannot start another.
    if (!hwnd || !::IsWindow(hwnd) || cursor.IsEnableCursor())
        return 0;
    POINT screen = clientPoint;
    ::ClientToScreen(hwnd, &screen);
    cursor.ResetCursor(screen.x, screen.y);
    Gesture gesture{hwnd, tolerance, cursor};
    const int result = gesture.Run();
    if (gesture.quit)
        ::PostQuitMessage(gesture.quitCode); // the outer loop ends too
    return result;
}
