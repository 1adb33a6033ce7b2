// The splitter between the list side and the list colour: dragging it, and sliding it shut or
// open with a tap.
#include "scribbo/GScribboMain.h"

#include "scribbo/Settings.h"

#include <platform/gdiguard.h>

namespace {

constexpr int kSplitterWidth = 6;
constexpr int kSlideStart = 50;
constexpr int kSlideAccel = 2;
constexpr int kSlideMinStep = 5;
constexpr DWORD kPatInvert = 0x005A0049;

HBRUSH MakeCheckerBrush() {
    // Alternating pixels: the feedback shows the list through it.
    static const WORD rows[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
    gdi::Bitmap bitmap(::CreateBitmap(8, 8, 1, 1, rows));
    return bitmap ? ::CreatePatternBrush(bitmap) : nullptr;
}

bool Inside(const RECT& rc, POINT pt) {
    return pt.x >= rc.left && pt.x < rc.right && pt.y >= rc.top && pt.y < rc.bottom;
}

} // namespace

void GScribboMain::DrawDragFeedback() {
    if (!m_hSplitterBrush)
        m_hSplitterBrush = MakeCheckerBrush();
    if (!m_hSplitterBrush || !m_hDC)
        return;
    gdi::Select sel(m_hDC, m_hSplitterBrush);
    ::PatBlt(m_hDC, m_rcSplitter.left, m_rcSplitter.top, m_rcSplitter.right - m_rcSplitter.left,
             m_rcSplitter.bottom - m_rcSplitter.top, kPatInvert);
}

void GScribboMain::MoveSplitterBy(int dx) {
    m_rcSplitter.left += dx;
    m_rcSplitter.right += dx;
}

LRESULT GScribboMain::OnLbuttonDown(HWND hwnd, UINT, WPARAM, LPARAM lParam) {
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (!Inside(m_rcSplitter, pt) || IsSliding())
        return 0;
    ::SetCapture(hwnd);
    m_bPressing = 1;
    const int held = RecognizeGesture(pt, 4);
    if (!::IsWindow(hwnd))
        return 0;
    const int lifted = !m_bPressing;
    m_bPressing = 0;
    // A hold slides the splitter, and so does a tap: the pen lifted within the check.
    if (held || lifted) {
        if (::GetCapture() == hwnd)
            ::ReleaseCapture();
        StartSlide();
        return 0;
    }
    m_bDragging = 1;
    m_nLastX = pt.x;
    m_nLastY = pt.y;
    DrawDragFeedback();
    return 0;
}

LRESULT GScribboMain::OnMouseMove(HWND hwnd, UINT, WPARAM, LPARAM lParam) {
    if (!m_bDragging || ::GetCapture() != hwnd)
        return 0;
    const int x = GET_X_LPARAM(lParam);
    DrawDragFeedback();
    MoveSplitterBy(x - m_nLastX);
    DrawDragFeedback();
    m_nLastX = x;
    m_nLastY = GET_Y_LPARAM(lParam);
    return 0;
}

LRESULT GScribboMain::OnLbuttonUp(HWND hwnd, UINT, WPARAM, LPARAM lParam) {
    if (::GetCapture() == hwnd)
        ::ReleaseCapture();
    m_bPressing = 0;
    if (!m_bDragging)
        return 0;
    m_bDragging = 0;
    const int x = GET_X_LPARAM(lParam);
    DrawDragFeedback();
    MoveSplitterBy(x - m_nLastX);
    if (m_rcSplitter.left < LONG(kSplitterMin))
        m_rcSplitter = RECT{LONG(kSplitterMin), m_rcSplitter.top,
                            LONG(kSplitterMin) + kSplitterWidth, m_rcSplitter.bottom};
    g_Settings.SplitterWidth = DWORD(m_rcSplitter.left);
    RecalcLayout(1);
    if (m_titleView.GetSafeHwnd())
        m_titleView.SetViewMode(int(g_Settings.TVViewMode));
    return 0;
}

void GScribboMain::StartSlide() {
    if (m_rcSplitter.left >= 1) {
        m_rcSaved = m_rcSplitter;
        m_nStep = -kSlideStart;
        m_nAccel = kSlideAccel;
    } else {
        m_nStep = kSlideStart;
        m_nAccel = -kSlideAccel;
    }
    DrawDragFeedback();
    ::SetTimer(m_hWnd, kSlideTimer, kSlideMs, nullptr);
}

void GScribboMain::StepSlide() {
    DrawDragFeedback();
    bool done = false;
    if (m_nStep < 0) {
        m_nStep = m_nStep + m_nAccel > -kSlideMinStep ? -kSlideMinStep : m_nStep + m_nAccel;
        MoveSplitterBy(m_nStep);
        if (m_rcSplitter.left < 1) {
            m_rcSplitter.left = 0;
            m_rcSplitter.right = kSplitterWidth;
            done = true;
        }
    } else {
        m_nStep = m_nStep + m_nAccel < kSlideMinStep ? kSlideMinStep : m_nStep + m_nAccel;
        MoveSplitterBy(m_nStep);
        if (m_rcSplitter.left >= m_rcSaved.left) {
            m_rcSplitter.left = m_rcSaved.left;
            m_rcSplitter.right = m_rcSaved.left + kSplitterWidth;
            done = true;
        }
    }
    DrawDragFeedback();
    if (done) {
        DrawDragFeedback();
        ::KillTimer(m_hWnd, kSlideTimer);
        m_nStep = 0;
        RecalcLayout(1);
    }
}

LRESULT GScribboMain::OnTimer(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (wParam == kSlideTimer && m_nStep != 0) {
        StepSlide();
        return 0;
    }
    return Winza::OnTimer(hwnd, msg, wParam, lParam);
}
