// The toolkit's own scroll bar: a child window with an arrow button at each end and a
// proportional thumb between them, double-buffered and not blended unless the application
// makes it translucent. It reports to its parent with WM_HSCROLL or WM_VSCROLL,
// wParam = MAKEWPARAM(code, position), lParam 0.
#pragma once

#include "winza/GAnimateWnd.h"

#include <windows.h>

// The codes a GScrollBar sends in the low word of wParam.
enum eScrollCode {
    eScrollLineBack = 0,
    eScrollLineForward = 1,
    eScrollPageBack = 2,
    eScrollPageForward = 3,
    eScrollThumbReleased = 4,
    eScrollThumbMoving = 5,
    eScrollEnded = 8,
};

class GScrollBar : public GAnimateWnd {
public:
    // Timer ids: the first delay after a press, then the repeat.
    static constexpr UINT_PTR kTimerDelay = 10;
    static constexpr UINT_PTR kTimerRepeat = 11;
    static constexpr UINT kDelayMs = 500;
    static constexpr UINT kRepeatMs = 100;

    GScrollBar();

    LPCWSTR GetClassNameW() override;
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Draw(HDC hdc, RECT clip) override;

    // Orientation 0 lies along the parent's bottom, 1 along its right edge, thickness pixels
    // deep, unless a rectangle is given. Flags 1 and 2 (horizontal) or 4 and 8 (vertical)
    // keep the bar flush with the parent's near and far edges; without them the bar reaches
    // one pixel (two in high resolution) beyond, so its border overlaps the parent's.
    int Create(Winza* parent, int orientation, int thickness, RECT* rect, int flags);
    // The same layout after the parent changed size, less shorten pixels at the far end.
    int MoveWindow(Winza* parent, int thickness, RECT* rect, int shorten);

    void SetArrowWidth(int size, int redraw);
    int GetArrowWidth() const { return m_nArrowSize; }
    // A range below the page becomes the page; the maximum position is range - page.
    void SetScrollInfo(int range, int page, int lineStep, int position);
    // Clamps to 0 ... maximum position and moves the thumb; repaints a live bar.
    void SetScrollPos(int position);
    int GetScrollPos() const { return m_nPos; }
    // The last step of an owner's scroll layout: a needed bar is shown unless it already is
    // (shown), a bar no longer needed loses its range and is hidden if it was shown.
    void ShowIfNeeded(bool needed, bool shown);
    int GetScrollPage() const { return m_nPage; }
    int GetScrollMax() const { return m_nMax; }
    int GetLineStep() const { return m_nLineStep; }
    int GetOrientation() const { return m_nOrientation; }
    UINT GetMessage() const { return m_nMessage; }

    // Geometry in client coordinates, for the owner and for tests.
    RECT GetThumbRect() const { return m_rcThumb; }
    RECT GetFirstArrowRect() const { return m_rcArrow1; }
    RECT GetSecondArrowRect() const { return m_rcArrow2; }
    int GetTrackLength() const { return m_nTrackLen; }
    int GetThumbLength() const { return m_nThumbLen; }
    double GetUnitsPerPixel() const { return m_dUnitsPerPixel; }
    int IsDragging() const { return m_bThumbDrag; }
    int IsPagingBack() const { return m_bPageBack; }
    int IsPagingForward() const { return m_bPageForward; }
    int IsFirstArrowPressed() const { return m_bArrow1Pressed; }
    int IsSecondArrowPressed() const { return m_bArrow2Pressed; }

protected:
    LRESULT OnLbuttonDown(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnLbuttonUp(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnTimer(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    // The rectangle the bar takes in its parent's client area.
    RECT LayoutRect(Winza* parent, int thickness, const RECT* rect, int shorten) const;
    // Places arrows, track and thumb for the current client size and scroll values.
    void Recalc();
    void PlaceThumb();
    // Along-the-bar coordinate of a point, and of the track's start.
    int Along(POINT p) const { return m_nOrientation ? p.y : p.x; }
    int TrackStart() const;
    // A rectangle from along-the-bar and across-the-bar extents.
    RECT MakeRect(int alongStart, int alongEnd, int acrossStart, int acrossEnd) const;
    int PositionFromThumb() const;
    void Notify(int code);
    // One step of the held action; paging stops with code 8 at its target.
    void RepeatStep();
    // Stops the repeat and clears the press; a drag reports where it ended.
    void EndPress();
    void StopTimers();
    void Repaint();

    int m_nMax = 0;
    int m_nPage = 0;
    int m_nPos = 0;
    int m_nLineStep = 0;
    int m_nOrientation = 1;
    UINT m_nMessage = WM_VSCROLL;
    int m_nArrowSize;
    int m_nFlags = 31;
    RECT m_rcArrow1{0, 0, 0, 0};
    int m_bArrow1Pressed = 0;
    RECT m_rcArrow2{0, 0, 0, 0};
    int m_bArrow2Pressed = 0;
    RECT m_rcThumb{0, 0, 0, 0};
    int m_bThumbDrag = 0;
    RECT m_rcThumbAtPress{0, 0, 0, 0};
    POINT m_ptPress{0, 0};
    int m_bPageBack = 0;
    int m_bPageForward = 0;
    double m_dUnitsPerPixel = 1.0;
    int m_nTrackLen = 0;
    int m_nThumbLen = 0;
    int m_nTargetPos = 0;
    HWND m_hPrevCapture = nullptr;

    int m_nPosAtPress = 0;
    int m_bReleasing = 0;
};
