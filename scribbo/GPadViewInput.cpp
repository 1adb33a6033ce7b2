// The pad view's input: strokes from the stylus, keys, zoom, scrolling and the magnifier
// frame that marks the magnify strip's line on the page.
#include "scribbo/GPadView.h"

#include "scribbo/AppStart.h"
#include "scribbo/Settings.h"

#include "fundo/GeoRect.h"
#include "fundo/Matrix.h"
#include "winza/DrawHelpers.h"
#include "winza/Hires.h"
#include "winza/WinzaUtil.h"

#include <algorithm>
#include <cmath>

namespace {

POINT PointOf(LPARAM lParam) {
    return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

int Round(double v) {
    return int(std::lround(v));
}

} // namespace

LRESULT GPadView::OnPenDown(LPARAM lParam) {
    const POINT pt = PointOf(lParam);
    m_ptLast = pt;
    ::KillTimer(m_hWnd, kAutoSaveTimer);
    // The bars that are not locked make way for the pen.
    m_scrollTab.ShowControlled(0, SW_HIDE);
    m_toolTab.ShowControlled(0, SW_HIDE);
    ::SetCapture(m_hWnd);
    if (m_bMagnifier && ::PtInRect(&m_rcMagnifier, pt)) {
        m_bMagnifierDrag = 1;
        m_ptMagnifierOffset = POINT{pt.x - m_rcMagnifier.left, pt.y - m_rcMagnifier.top};
        return 0;
    }
    if (!m_bDrawing && HasMemo()) {
        const tagRECT rc = m_memo.LButtonDown(pt.x - m_nOffsetX, pt.y - m_nOffsetY, 255);
        ShowInk(rc);
        RefreshTabsOver(rc);
        m_bDrawing = 1;
    }
    return 0;
}

LRESULT GPadView::OnPenMove(LPARAM lParam) {
    const POINT pt = PointOf(lParam);
    if (m_bMagnifierDrag) {
        MoveMagnifierTo(POINT{pt.x - m_ptMagnifierOffset.x, pt.y - m_ptMagnifierOffset.y});
        return 0;
    }
    if (!m_bDrawing)
        return 0;
    POINT samples[kMovePoints];
    UINT count = 0;
    // Every sample since the last move becomes ink, not only where the message ended.
    if (!::GetMouseMovePoints(samples, kMovePoints, &count) || count == 0) {
        samples[0] = pt;
        ::ClientToScreen(m_hWnd, &samples[0]);
        samples[0].x *= 4;
        samples[0].y *= 4;
        count = 1;
    }
    tagRECT changed;
    RectSetEmpty(&changed);
    POINT origin{0, 0};
    ::ClientToScreen(m_hWnd, &origin);
    for (UINT i = 0; i < count; ++i) {
        const int x = samples[i].x / 4 - origin.x;
        const int y = samples[i].y / 4 - origin.y;
        const tagRECT rc = m_memo.MouseMove(x - m_nOffsetX, y - m_nOffsetY, 255);
        RectUnion(&changed, &rc, &changed);
    }
    m_ptLast = pt;
    ShowInk(changed);
    RefreshTabsOver(changed);
    return 0;
}

LRESULT GPadView::OnPenUp(LPARAM lParam) {
    const POINT pt = PointOf(lParam);
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    if (m_bMagnifierDrag) {
        m_bMagnifierDrag = 0;
        return 0;
    }
    if (!m_bDrawing)
        return 0;
    const tagRECT rc = m_memo.LButtonUp(pt.x - m_nOffsetX, pt.y - m_nOffsetY, 255);
    ShowInk(rc);
    RefreshTabsOver(rc);
    m_bDrawing = 0;
    MarkChanged();
    ::SetTimer(m_hWnd, kAutoSaveTimer, kAutoSaveMs, nullptr);
    return 0;
}

void GPadView::CancelStroke() {
    if (!m_bDrawing)
        return;
    // The stroke so far is kept, as if the pen had lifted where it last was.
    ShowInk(m_memo.LButtonUp(m_ptLast.x - m_nOffsetX, m_ptLast.y - m_nOffsetY, 255));
    m_bDrawing = 0;
    MarkChanged();
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
}

LRESULT GPadView::OnKeyDown(WPARAM key) {
    if (!m_bKeyGuard || (key != VK_LEFT && key != VK_RIGHT))
        return 0;
    // Holding an arrow turns the page.
    const RECT ink = GetInkRect();
    const POINT centre{(ink.left + ink.right) / 2, (ink.top + ink.bottom) / 2};
    if (RecognizeGesture(centre, 4)) {
        GoToPage(m_memo.GetCurPageIndex() + (key == VK_LEFT ? -1 : 1));
        m_bKeyTurned = 1;
    }
    return 0;
}

LRESULT GPadView::OnKeyUp(WPARAM key) {
    if (!m_bKeyGuard) {
        // A key held when the view took the focus ends here; the next ones count.
        m_bKeyGuard = 1;
        return 0;
    }
    if (m_bKeyTurned) {
        m_bKeyTurned = 0;
        return 0;
    }
    const RECT ink = GetInkRect();
    const int halfW = (ink.right - ink.left) / 2;
    const int halfH = (ink.bottom - ink.top) / 2;
    switch (key) {
        case VK_RETURN:
            CloseMemo();
            break;
        case VK_LEFT:
            ScrollBy(-halfW, 0);
            break;
        case VK_RIGHT:
            ScrollBy(halfW, 0);
            break;
        case VK_UP:
            ScrollBy(0, -halfH);
            break;
        case VK_DOWN:
            ScrollBy(0, halfH);
            break;
        default:
            break;
    }
    return 0;
}

LRESULT GPadView::OnScroll(UINT msg, WPARAM wParam) {
    const int code = LOWORD(wParam);
    const int pos = short(HIWORD(wParam));
    if (code == eScrollEnded)
        return 0;
    const POINT now = GetScrollPos();
    if (msg == WM_HSCROLL)
        ScrollTo(pos, now.y);
    else
        ScrollTo(now.x, pos);
    return 0;
}

SIZE GPadView::PageExtent() const {
    const tagRECT view = m_memo.GetViewRect();
    return SIZE{LONG((std::int64_t{view.right} - view.left + 0x8000) >> 16),
                LONG((std::int64_t{view.bottom} - view.top + 0x8000) >> 16)};
}

POINT GPadView::GetScrollPos() const {
    const tagRECT view = m_memo.GetViewRect();
    return POINT{LONG((-std::int64_t{view.left} + 0x8000) >> 16),
                 LONG((-std::int64_t{view.top} + 0x8000) >> 16)};
}

void GPadView::ScrollTo(int x, int y) {
    const RECT ink = GetInkRect();
    const SIZE page = PageExtent();
    // A direction scrolls only when the page is larger than the ink area that way.
    x = page.cx > ink.right - ink.left ? std::clamp(x, 0, int(page.cx - (ink.right - ink.left)))
                                       : 0;
    y = page.cy > ink.bottom - ink.top ? std::clamp(y, 0, int(page.cy - (ink.bottom - ink.top)))
                                       : 0;
    const POINT now = GetScrollPos();
    if (x == now.x && y == now.y)
        return;
    m_memo.ScrollTo(x, y, 1);
    m_hScroll.SetScrollPos(x);
    m_vScroll.SetScrollPos(y);
    if (m_bMagnifier)
        PlaceMagnifierFrame();
    RefreshTabsOver(tagRECT{0, 0, m_memo.Width(), m_memo.Height()});
    if (m_hWnd)
        ::InvalidateRect(m_hWnd, &ink, FALSE);
}

void GPadView::ScrollBy(int dx, int dy) {
    const POINT now = GetScrollPos();
    ScrollTo(now.x + dx, now.y + dy);
}

void GPadView::ZoomTo(int percent) {
    percent = std::clamp(percent, kMinZoom, kMaxZoom);
    if (percent == m_nZoom)
        return;
    m_nZoom = percent;
    m_memo.ZoomTo(percent, 0);
    // The zoom keeps the page's top-left point; it may now lie past the page's end.
    const POINT now = GetScrollPos();
    m_memo.ScrollTo(now.x, now.y, 0);
    Redraw();
    UpdateScrollBars();
    const POINT pos = GetScrollPos();
    ScrollTo(pos.x, pos.y);
    if (m_bMagnifier)
        PlaceMagnifierFrame();
}

void GPadView::FitWidth() {
    const TemplateHeader* paper = m_memo.GetTemplate();
    if (!paper->PageWidth)
        return;
    const RECT ink = GetInkRect();
    const int bar = ScaleToButton(IsHires() ? 30 : 15);
    int width = ink.right - ink.left;
    int percent = Round(width * 100.0 / paper->PageWidth);
    // Scrolling down then takes a bar's width from the view.
    if (paper->PageHeight * percent / 100 > ink.bottom - ink.top && g_Settings.LockScrollbar) {
        width -= bar;
        percent = Round(width * 100.0 / paper->PageWidth);
    }
    ZoomTo(percent);
}

void GPadView::FitHeight() {
    const TemplateHeader* paper = m_memo.GetTemplate();
    if (!paper->PageHeight)
        return;
    const RECT ink = GetInkRect();
    const int bar = ScaleToButton(IsHires() ? 30 : 15);
    int height = ink.bottom - ink.top;
    int percent = Round(height * 100.0 / paper->PageHeight);
    if (paper->PageWidth * percent / 100 > ink.right - ink.left && g_Settings.LockScrollbar) {
        height -= bar;
        percent = Round(height * 100.0 / paper->PageHeight);
    }
    ZoomTo(percent);
}

void GPadView::UpdatePageIndicator() {
    if (m_toolTab.GetSafeHwnd())
        m_toolTab.SetPage(m_memo.GetCurPageIndex() + 1, m_memo.GetPageNum());
}

// ---- Magnifier frame ----------------------------------------------------------------------

void GPadView::ShowMagnifier(int on) {
    on = on ? 1 : 0;
    if (on == m_bMagnifier || (on && !HasMemo()))
        return;
    CancelStroke();
    m_bMagnifier = on;
    m_topBar.SetCheck(ID_PAD_MAGNIFY, on);
    if (on && !m_magnify.GetSafeHwnd() &&
        !m_magnify.CreatePad(m_hWnd, RECT{0, 0, 1, 1}, WS_CHILD)) {
        m_bMagnifier = 0;
        m_topBar.SetCheck(ID_PAD_MAGNIFY, 0);
        return;
    }
    if (on) {
        AttachMagnifyPage();
    } else {
        // The memo's page is the memo's alone again.
        m_magnify.AttachPage(nullptr, nullptr);
        ::ShowWindow(m_magnify, SW_HIDE);
        m_rcMagnifier = RECT{0, 0, 0, 0};
    }
    Layout();
    // The strip starts on the first writing line in view.
    if (on) {
        const RECT ink = GetInkRect();
        MoveMagnifierTo(POINT{ink.left, ink.top});
    }
}

void GPadView::AttachMagnifyPage() {
    if (!m_magnify.GetSafeHwnd())
        return;
    m_magnify.AttachPage(m_bMagnifier && HasMemo() ? m_memo.GetCurPage() : nullptr,
                         m_bMagnifier && HasMemo() ? &m_memo : nullptr);
    if (m_bMagnifier)
        FollowMagnifyPad(0);
}

void GPadView::OnMagnifyStroke(const tagRECT* pageRect) {
    MarkChanged();
    tagRECT view{0, 0, 0, 0};
    if (pageRect && !RectIsEmpty(pageRect))
        MatrixTransformRect(m_memo.GetMatrix(), pageRect, &view);
    if (RectIsEmpty(&view)) {
        Redraw();
    } else {
        // Antialiased edges reach a pixel past the stroke's bounds.
        view.left -= 2;
        view.top -= 2;
        view.right += 2;
        view.bottom += 2;
        m_memo.UpdateBuffer(view);
        ShowInk(view);
        RefreshTabsOver(view);
        // The frame was drawn over those pixels.
        RECT frame = m_rcMagnifier;
        ::InflateRect(&frame, 2, 2);
        ::InvalidateRect(m_hWnd, &frame, FALSE);
    }
    ::SetTimer(m_hWnd, kAutoSaveTimer, kAutoSaveMs, nullptr);
}

void GPadView::PlaceMagnifierFrame() {
    // The frame is where the strip shows.
    if (m_magnify.GetSafeHwnd())
        FollowMagnifyPad(0);
}

void GPadView::MoveMagnifierTo(POINT pt) {
    if (!m_magnify.GetSafeHwnd())
        return;
    const RECT ink = GetInkRect();
    const SIZE page = PageExtent();
    const POINT scroll = GetScrollPos();
    const TemplateHeader* paper = m_memo.GetTemplate();
    const int width = std::max<int>(0, m_rcMagnifier.right - m_rcMagnifier.left);
    const int step = std::max(1, Round(m_nZoom * paper->LineSpace / 100.0));
    const int title = Round(m_nZoom * paper->TitleBandHeight / 100.0);
    // In page pixels: x within the page, y on a writing line.
    const int x = std::clamp(int(pt.x - ink.left + scroll.x), 0, std::max(0, int(page.cx) - width));
    int y = pt.y - ink.top + scroll.y;
    const int line = std::max(0, Round(double(y - title) / step));
    y = std::min(title + line * step, std::max(title, int(page.cy) - step));
    // The strip takes page units (16.16) at 100 %.
    m_magnify.SetPosition(LONG(std::int64_t{IntToFixed(x)} * 100 / m_nZoom),
                          LONG(std::int64_t{IntToFixed(y)} * 100 / m_nZoom));
    FollowMagnifyPad(0);
}

void GPadView::FollowMagnifyPad(int scrollIntoView) {
    if (!m_bMagnifier || !m_magnify.GetSafeHwnd())
        return;
    const RECT ink = GetInkRect();
    const POINT scroll = GetScrollPos();
    const tagRECT view = m_magnify.GetViewRect();
    auto px = [this](LONG v) { return int((std::int64_t{v} * m_nZoom / 100 + 0x8000) >> 16); };
    const RECT frame{ink.left + px(view.left) - scroll.x, ink.top + px(view.top) - scroll.y,
                     ink.left + px(view.right) - scroll.x, ink.top + px(view.bottom) - scroll.y};
    if (scrollIntoView) {
        // The strip went to a line out of view: the page follows it.
        int dx = 0;
        int dy = 0;
        if (frame.bottom > ink.bottom)
            dy = frame.bottom - ink.bottom;
        if (frame.top - dy < ink.top)
            dy = frame.top - ink.top;
        if (frame.right > ink.right)
            dx = std::min<int>(frame.right - ink.right, frame.left - ink.left);
        if (frame.left - dx < ink.left)
            dx = frame.left - ink.left;
        if (dx || dy) {
            const POINT before = GetScrollPos();
            ScrollBy(dx, dy);
            const POINT after = GetScrollPos();
            if (before.x != after.x || before.y != after.y)
                return; // the scroll placed the frame
        }
    }
    m_rcMagnifierOld = m_rcMagnifier;
    m_rcMagnifier = frame;
    if (m_hWnd && ::IsWindowVisible(m_hWnd)) {
        RECT both{};
        ::UnionRect(&both, &m_rcMagnifierOld, &m_rcMagnifier);
        ::InflateRect(&both, 2, 2);
        ::InvalidateRect(m_hWnd, &both, FALSE);
    }
}

void GPadView::DrawMagnifier(HDC hdc) {
    const RECT& r = m_rcMagnifier;
    if (r.right <= r.left)
        return;
    const int t = IsHires() ? 2 : 1;
    FillSolidRect(hdc, r.left, r.top, r.right - r.left, t, 0x6666FF);
    FillSolidRect(hdc, r.left, r.bottom - t, r.right - r.left, t, 0x6666FF);
    FillSolidRect(hdc, r.left, r.top, t, r.bottom - r.top, 0x6666FF);
    FillSolidRect(hdc, r.right - t, r.top, t, r.bottom - r.top, 0x6666FF);
}
