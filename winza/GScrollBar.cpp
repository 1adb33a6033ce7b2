#include "winza/GScrollBar.h"

#include "winza/DrawHelpers.h"
#include "winza/GLib.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

POINT PointOf(LPARAM lParam) {
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

} // namespace

GScrollBar::GScrollBar() : m_nArrowSize(ApplyHires(20)) {
    SetAnimate(0);
    SetDoubleBuffer(1);
}

LPCWSTR GScrollBar::GetClassNameW() {
    return u"GScrollBar";
}

RECT GScrollBar::LayoutRect(Winza* parent, int thickness, const RECT* rect, int shorten) const {
    RECT r{0, 0, 0, 0};
    if (rect) {
        r = *rect;
    } else if (parent) {
        const RECT pc = parent->GetClientRect();
        const int s = ApplyHires(1);
        if (m_nOrientation == 0) {
            r = RECT{pc.left, pc.bottom - thickness, pc.right, pc.bottom};
            if (!(m_nFlags & eFrameLeft))
                r.left -= s;
            if (!(m_nFlags & eFrameRight))
                r.right += s;
        } else {
            r = RECT{pc.right - thickness, pc.top, pc.right, pc.bottom};
            if (!(m_nFlags & eFrameTop))
                r.top -= s;
            if (!(m_nFlags & eFrameBottom))
                r.bottom += s;
        }
    }
    if (m_nOrientation == 0)
        r.right = std::max(r.left, r.right - shorten);
    else
        r.bottom = std::max(r.top, r.bottom - shorten);
    return r;
}

int GScrollBar::Create(Winza* parent, int orientation, int thickness, RECT* rect, int flags) {
    if (m_hWnd || !parent || !parent->GetSafeHwnd())
        return 0;
    m_nOrientation = orientation ? 1 : 0;
    m_nMessage = m_nOrientation ? WM_VSCROLL : WM_HSCROLL;
    m_nFlags = (flags & 0x0F) | eFrameFill;
    const RECT r = LayoutRect(parent, thickness, rect, 0);
    if (!GAnimateWnd::Create(parent->GetSafeHwnd(), u"GScrollBar", WS_CHILD | WS_VISIBLE, r.left,
                             r.top, r.right - r.left, r.bottom - r.top))
        return 0;
    RefreshClientRect();
    Recalc();
    return 1;
}

int GScrollBar::MoveWindow(Winza* parent, int thickness, RECT* rect, int shorten) {
    if (!m_hWnd || !::IsWindow(m_hWnd))
        return 0;
    const RECT r = LayoutRect(parent, thickness, rect, shorten);
    if (!::MoveWindow(m_hWnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE))
        return 0;
    RefreshClientRect();
    Recalc();
    Repaint();
    return 1;
}

void GScrollBar::SetArrowWidth(int size, int redraw) {
    m_nArrowSize = std::max(0, size);
    Recalc();
    if (redraw)
        Repaint();
}

void GScrollBar::SetScrollInfo(int range, int page, int lineStep, int position) {
    page = std::max(0, page);
    range = std::max(range, page);
    m_nMax = range - page;
    m_nPage = page;
    m_nLineStep = lineStep;
    Recalc();
    SetScrollPos(position);
}

void GScrollBar::SetScrollPos(int position) {
    m_nPos = std::clamp(position, 0, m_nMax);
    PlaceThumb();
    Repaint();
}

void GScrollBar::ShowIfNeeded(bool needed, bool shown) {
    if (needed) {
        if (!shown)
            ShowWindow(SW_SHOW);
        return;
    }
    SetScrollInfo(0, 0, 0, 0);
    if (shown)
        ShowWindow(SW_HIDE);
}

RECT GScrollBar::MakeRect(int alongStart, int alongEnd, int acrossStart, int acrossEnd) const {
    if (m_nOrientation)
        return RECT{acrossStart, alongStart, acrossEnd, alongEnd};
    return RECT{alongStart, acrossStart, alongEnd, acrossEnd};
}

int GScrollBar::TrackStart() const {
    return m_nOrientation ? m_rcArrow1.bottom : m_rcArrow1.right;
}

void GScrollBar::Recalc() {
    const int length = m_nOrientation ? Height() : Width();
    const int across = m_nOrientation ? Width() : Height();
    const int arrow = std::clamp(m_nArrowSize, 0, std::max(0, length / 2));
    m_rcArrow1 = MakeRect(0, arrow, 0, across);
    m_rcArrow2 = MakeRect(length - arrow, length, 0, across);
    m_nTrackLen = std::max(0, length - 2 * arrow);
    const int range = m_nMax + m_nPage;
    int thumb = m_nTrackLen;
    if (range > 0)
        thumb = static_cast<int>(static_cast<int64_t>(m_nTrackLen) * m_nPage / range);
    thumb = std::min(std::max(thumb, ApplyHires(14)), m_nTrackLen);
    m_nThumbLen = thumb;
    m_dUnitsPerPixel =
        thumb < m_nTrackLen ? static_cast<double>(m_nMax) / (m_nTrackLen - thumb) : 1.0;
    PlaceThumb();
}

void GScrollBar::PlaceThumb() {
    const int free = m_nTrackLen - m_nThumbLen;
    int offset = free;
    if (m_nPos < m_nMax)
        offset = static_cast<int>(m_nPos / m_dUnitsPerPixel);
    offset = std::clamp(offset, 0, std::max(0, free));
    const int start = TrackStart() + offset;
    const int across = m_nOrientation ? Width() : Height();
    m_rcThumb = MakeRect(start, start + m_nThumbLen, 0, across);
}

int GScrollBar::PositionFromThumb() const {
    const int free = m_nTrackLen - m_nThumbLen;
    const int start = m_nOrientation ? m_rcThumb.top : m_rcThumb.left;
    const int offset = start - TrackStart();
    // A thumb back where it was pressed keeps the position it had, so a tap on the thumb
    // never moves it by a rounding.
    if (start == (m_nOrientation ? m_rcThumbAtPress.top : m_rcThumbAtPress.left))
        return m_nPosAtPress;
    if (free <= 0)
        return 0;
    if (offset >= free)
        return m_nMax;
    const int pos = static_cast<int>(std::lround(offset * m_dUnitsPerPixel));
    return std::clamp(pos, 0, m_nMax);
}

void GScrollBar::Repaint() {
    Invalidate(0);
}

void GScrollBar::Notify(int code) {
    HWND parent = m_hWnd ? ::GetParent(m_hWnd) : nullptr;
    if (parent)
        ::SendMessageW(parent, m_nMessage, MAKEWPARAM(code, m_nPos), 0);
}

void GScrollBar::StopTimers() {
    if (!m_hWnd)
        return;
    ::KillTimer(m_hWnd, kTimerDelay);
    ::KillTimer(m_hWnd, kTimerRepeat);
}

LRESULT GScrollBar::OnLbuttonDown(HWND hwnd, UINT, WPARAM, LPARAM lParam) {
    const POINT pt = PointOf(lParam);
    HWND previous = ::GetCapture();
    m_hPrevCapture = previous == hwnd ? nullptr : previous;
    ::SetCapture(hwnd);
    m_ptPress = pt;
    m_nPosAtPress = m_nPos;

    const int s = ApplyHires(1);
    const int along = Along(pt);
    const double target = (along - TrackStart() - (m_nThumbLen / 2 + s)) * m_dUnitsPerPixel;
    // A target past the end could never be reached and would page for ever.
    m_nTargetPos = target < 1.0 ? 0 : std::min(static_cast<int>(target), m_nMax);

    const int trackStart = TrackStart();
    const int thumbStart = m_nOrientation ? m_rcThumb.top : m_rcThumb.left;
    const int thumbEnd = thumbStart + m_nThumbLen;
    const int secondStart = m_nOrientation ? m_rcArrow2.top : m_rcArrow2.left;
    // A page of 0 would never reach the target.
    const int step = std::max(m_nPage, 1);
    int code;
    int position;
    if (along < trackStart) {
        m_bArrow1Pressed = 1;
        position = m_nPos - m_nLineStep;
        code = eScrollLineBack;
    } else if (along >= secondStart) {
        m_bArrow2Pressed = 1;
        position = m_nPos + m_nLineStep;
        code = eScrollLineForward;
    } else if (m_nThumbLen > 0 && along >= thumbStart && along < thumbEnd) {
        m_bThumbDrag = 1;
        m_rcThumbAtPress = m_rcThumb;
        Repaint();
        return 0;
    } else if (along >= thumbEnd) {
        m_bPageForward = 1;
        position = std::max(m_nPos, std::min(m_nPos + step, m_nTargetPos));
        code = eScrollPageForward;
    } else {
        m_bPageBack = 1;
        position = std::min(m_nPos, std::max(m_nPos - step, m_nTargetPos));
        code = eScrollPageBack;
    }
    SetScrollPos(position);
    ::SetTimer(hwnd, kTimerDelay, kDelayMs, nullptr);
    Notify(code);
    return 0;
}

LRESULT GScrollBar::OnMouseMove(HWND hwnd, UINT, WPARAM, LPARAM lParam) {
    if (!m_bThumbDrag || ::GetCapture() != hwnd)
        return 0;
    const int shift = Along(PointOf(lParam)) - Along(m_ptPress);
    const int trackStart = TrackStart();
    const int startAtPress = m_nOrientation ? m_rcThumbAtPress.top : m_rcThumbAtPress.left;
    const int start = std::clamp(startAtPress + shift, trackStart,
                                 trackStart + std::max(0, m_nTrackLen - m_nThumbLen));
    const int across = m_nOrientation ? Width() : Height();
    m_rcThumb = MakeRect(start, start + m_nThumbLen, 0, across);
    const int position = PositionFromThumb();
    Repaint();
    if (position != m_nPos) {
        m_nPos = position;
        Notify(eScrollThumbMoving);
    }
    return 0;
}

LRESULT GScrollBar::OnLbuttonUp(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!m_bThumbDrag && !m_bArrow1Pressed && !m_bArrow2Pressed && !m_bPageBack &&
        !m_bPageForward && ::GetCapture() != hwnd)
        return 0;
    if (m_bThumbDrag)
        OnMouseMove(hwnd, msg, wParam, lParam);
    if (::GetCapture() == hwnd) {
        m_bReleasing = 1;
        ::ReleaseCapture();
        if (m_hPrevCapture && ::IsWindow(m_hPrevCapture))
            ::SetCapture(m_hPrevCapture);
        m_bReleasing = 0;
    }
    m_hPrevCapture = nullptr;
    EndPress();
    return 0;
}

void GScrollBar::EndPress() {
    StopTimers();
    const int dragged = m_bThumbDrag;
    m_bThumbDrag = 0;
    m_bArrow1Pressed = 0;
    m_bArrow2Pressed = 0;
    m_bPageBack = 0;
    m_bPageForward = 0;
    if (!dragged) {
        Repaint();
        return;
    }
    const int position = PositionFromThumb();
    SetScrollPos(position);
    if (m_nPos != m_nPosAtPress)
        Notify(eScrollThumbReleased);
    Notify(eScrollEnded);
}

LRESULT GScrollBar::OnTimer(HWND hwnd, UINT, WPARAM wParam, LPARAM) {
    if (wParam == kTimerDelay) {
        ::KillTimer(hwnd, kTimerDelay);
        ::SetTimer(hwnd, kTimerRepeat, kRepeatMs, nullptr);
    } else if (wParam == kTimerRepeat) {
        RepeatStep();
    }
    return 0;
}

void GScrollBar::RepeatStep() {
    const int step = std::max(m_nPage, 1);
    if (m_bArrow1Pressed) {
        SetScrollPos(m_nPos - m_nLineStep);
        Notify(eScrollLineBack);
    } else if (m_bArrow2Pressed) {
        SetScrollPos(m_nPos + m_nLineStep);
        Notify(eScrollLineForward);
    } else if (m_bPageForward || m_bPageBack) {
        if (m_nPos != m_nTargetPos) {
            if (m_bPageForward)
                SetScrollPos(std::min(m_nPos + step, m_nTargetPos));
            else
                SetScrollPos(std::max(m_nPos - step, m_nTargetPos));
            Notify(m_bPageForward ? eScrollPageForward : eScrollPageBack);
        }
        if (m_nPos == m_nTargetPos && m_hWnd) {
            ::KillTimer(m_hWnd, kTimerRepeat);
            Notify(eScrollEnded);
        }
    } else {
        StopTimers();
    }
}

LRESULT GScrollBar::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_SIZE: {
            const LRESULT r = GAnimateWnd::WndProc(hwnd, msg, wParam, lParam);
            Recalc();
            return r;
        }
        case WM_LBUTTONDOWN:
            return OnLbuttonDown(hwnd, msg, wParam, lParam);
        case WM_LBUTTONUP:
            return OnLbuttonUp(hwnd, msg, wParam, lParam);
        case WM_MOUSEMOVE:
            return OnMouseMove(hwnd, msg, wParam, lParam);
        case WM_TIMER:
            return OnTimer(hwnd, msg, wParam, lParam);
        case WM_CAPTURECHANGED:
            // Another window took the pen: the press ends as if it were lifted here.
            if (!m_bReleasing && reinterpret_cast<HWND>(lParam) != hwnd) {
                m_hPrevCapture = nullptr;
                if (m_bThumbDrag || m_bArrow1Pressed || m_bArrow2Pressed || m_bPageBack ||
                    m_bPageForward)
                    EndPress();
            }
            return 0;
        case WM_DESTROY:
            StopTimers();
            m_bThumbDrag = m_bArrow1Pressed = m_bArrow2Pressed = 0;
            m_bPageBack = m_bPageForward = 0;
            return GAnimateWnd::WndProc(hwnd, msg, wParam, lParam);
        default:
            return GAnimateWnd::WndProc(hwnd, msg, wParam, lParam);
    }
}

void GScrollBar::Draw(HDC hdc, RECT) {
    const int s = ApplyHires(1);
    const bool vertical = m_nOrientation != 0;
    const int alongNear = vertical ? eFrameTop : eFrameLeft;
    const int alongFar = vertical ? eFrameBottom : eFrameRight;
    const int acrossFar = vertical ? eFrameRight : eFrameBottom;
    const int length = vertical ? Height() : Width();
    const int across = vertical ? Width() : Height();
    auto start = [&](const RECT& r) { return vertical ? r.top : r.left; };
    auto end = [&](const RECT& r) { return vertical ? r.bottom : r.right; };

    if (m_nThumbLen > 0) {
        FrameRect(hdc, &m_rcThumb, GetGLibColor(eColorThumbLight), GetGLibColor(eColorThumbDark),
                  GetGLibColor(m_bThumbDrag ? eColorThumbDragged : eColorThumb), s,
                  alongNear | alongFar | m_nFlags);
        RECT inner = m_rcThumb;
        ::InflateRect(&inner, -s, -s);
        if (!(m_nFlags & acrossFar)) {
            if (vertical)
                inner.right += s;
            else
                inner.bottom += s;
        }
        FrameRect(hdc, &inner, GetGLibColor(eColorRaised), GetGLibColor(eColorSunken), 0, s,
                  eFrameAll & 0x0F);
        ::ExcludeClipRect(hdc, m_rcThumb.left, m_rcThumb.top, m_rcThumb.right, m_rcThumb.bottom);
    }

    const RECT before = MakeRect(end(m_rcArrow1) - s, start(m_rcThumb) + s, 0, across);
    FrameRect(hdc, &before, GetGLibColor(eColorTrackLight), GetGLibColor(eColorTrackDark),
              GetGLibColor(m_bPageBack ? eColorTrackPressed : eColorTrack), s, m_nFlags);
    const RECT after = MakeRect(end(m_rcThumb) - s, start(m_rcArrow2) + s, 0, across);
    FrameRect(hdc, &after, GetGLibColor(eColorTrackLight), GetGLibColor(eColorTrackDark),
              GetGLibColor(m_bPageForward ? eColorTrackPressed : eColorTrack), s, m_nFlags);

    const int glyph = ApplyHires(5);
    auto arrow = [&](const RECT& r, int pressed, int edge, int direction, bool first) {
        FrameRect(hdc, &r, GetGLibColor(eColorArrowBoxLight), GetGLibColor(eColorArrowBoxDark),
                  GetGLibColor(pressed ? eColorTrackPressed : eColorArrowBox), s, edge | m_nFlags);
        const int size = end(r) - start(r);
        const int boxStart =
            first ? start(r) + (size - glyph) / 2 : end(r) - (size - glyph) / 2 - glyph;
        // Centred across the bar: a further shift to the right would make the glyph touch
        // the right edge of a 14-pixel bar.
        const RECT box = MakeRect(boxStart, boxStart + glyph, 0, across);
        DrawArrow(hdc, direction, &box, GetGLibColor(pressed ? eColorArrowPressed : eColorArrow));
    };
    if (end(m_rcArrow1) > start(m_rcArrow1))
        arrow(m_rcArrow1, m_bArrow1Pressed, alongFar, vertical ? eArrowUp : eArrowLeft, true);
    if (end(m_rcArrow2) > start(m_rcArrow2))
        arrow(m_rcArrow2, m_bArrow2Pressed, alongNear, vertical ? eArrowDown : eArrowRight, false);

    if (end(m_rcArrow2) < length) {
        const RECT beyond = MakeRect(end(m_rcArrow2) - s, length + (vertical ? 0 : s), 0, across);
        FrameRect(hdc, &beyond, GetGLibColor(eColorTrackLight), GetGLibColor(eColorTrackDark),
                  GetGLibColor(eColorTrack), s, m_nFlags);
    }
    ::SelectClipRgn(hdc, nullptr);
}
