// What the magnify pad shows: the enlarged page left of the button column, the dotted margin
// line, and the four buttons with their arrows drawn here.
#include "scribbo/GMagnifyPad.h"

#include "winza/DrawHelpers.h"
#include "winza/Hires.h"

#include <algorithm>

namespace {

constexpr COLORREF kColumnColor = RGB(224, 224, 224);
constexpr COLORREF kEdgeColor = RGB(150, 150, 150);
constexpr COLORREF kGlyphColor = RGB(64, 64, 64);
constexpr COLORREF kPressedColor = RGB(96, 96, 96);
constexpr COLORREF kPressedGlyph = RGB(255, 255, 255);

// An arrow with a shaft inside box (a square), pointing the way direction names.
void DrawShaftArrow(HDC hdc, const RECT& box, int direction, COLORREF colour) {
    const int g = box.right - box.left;
    const int head = std::max(2, g * 2 / 5);
    const int t = std::max(1, g / 6);
    const int cx = box.left + g / 2, cy = box.top + g / 2;
    RECT tip, shaft;
    switch (direction) {
        case eArrowUp:
            tip = RECT{box.left, box.top, box.right, box.top + head};
            shaft = RECT{cx - t / 2, box.top + head, cx - t / 2 + t, box.bottom};
            break;
        case eArrowDown:
            tip = RECT{box.left, box.bottom - head, box.right, box.bottom};
            shaft = RECT{cx - t / 2, box.top, cx - t / 2 + t, box.bottom - head};
            break;
        default:
            tip = RECT{box.right - head, box.top, box.right, box.bottom};
            shaft = RECT{box.left, cy - t / 2, box.right - head, cy - t / 2 + t};
            break;
    }
    FillSolidRect(hdc, &shaft, colour);
    DrawArrow(hdc, direction, &tip, colour);
}

// The return sign: down the right side, then left to an arrow head.
void DrawReturn(HDC hdc, const RECT& box, COLORREF colour) {
    const int g = box.right - box.left;
    const int head = std::max(2, g * 2 / 5);
    const int t = std::max(1, g / 6);
    const int y = box.top + g * 2 / 3;
    FillSolidRect(hdc, box.right - t, box.top, t, y - box.top + t - t / 2, colour);
    FillSolidRect(hdc, box.left + head, y - t / 2, box.right - box.left - head, t, colour);
    const RECT tip{box.left, y - head, box.left + head, y + head};
    DrawArrow(hdc, eArrowLeft, &tip, colour);
}

} // namespace

void GMagnifyPad::Draw(HDC hdc, RECT clip) {
    const int writing = std::min(GetWritingWidth(), Width());
    RECT area{0, 0, writing, Height()};
    RECT shown;
    if (::IntersectRect(&shown, &area, &clip)) {
        if (m_Man.GetMemDC() && m_Man.Width() >= writing && m_Man.Height() >= Height())
            m_Man.DrawBuffer(hdc, shown.left, shown.top, shown.right - shown.left,
                             shown.bottom - shown.top);
        else
            FillSolidRect(hdc, &shown, RGB(255, 255, 255));
    }
    DrawMargin(hdc);
    for (int i = 0; i < eMagButtonCount; ++i)
        DrawButton(hdc, i);
}

void GMagnifyPad::DrawMargin(HDC hdc) {
    if (m_nMargin >= 0)
        DrawDotVLine(hdc, m_nMargin, 0, ApplyHires(1), Height(), kMagnifyMarginColor, 2);
}

void GMagnifyPad::DrawButton(HDC hdc, int button) {
    const RECT r = m_rcButton[button];
    if (r.right <= r.left || r.bottom <= r.top)
        return;
    const bool down = m_bPressed[button] && m_bHighlight[button];
    FrameRect(hdc, &r, kEdgeColor, kEdgeColor, down ? kPressedColor : kColumnColor, 1,
              eFrameFill | eFrameLeft | eFrameBottom);
    const int size = std::min(r.right - r.left, r.bottom - r.top) * 3 / 5;
    if (size < 3)
        return;
    const int left = r.left + (r.right - r.left - size) / 2;
    const int top = r.top + (r.bottom - r.top - size) / 2;
    const RECT box{left, top, left + size, top + size};
    const COLORREF colour = down ? kPressedGlyph : kGlyphColor;
    switch (button) {
        case eMagTaller:
            DrawShaftArrow(hdc, box, eArrowUp, colour);
            break;
        case eMagShorter:
            DrawShaftArrow(hdc, box, eArrowDown, colour);
            break;
        case eMagAdvance:
            DrawShaftArrow(hdc, box, eArrowRight, colour);
            break;
        default:
            DrawReturn(hdc, box, colour);
            break;
    }
}

void GMagnifyPad::RepaintButton(int button) {
    if (m_hDC && button >= 0 && button < eMagButtonCount && IsWindowVisible())
        DrawButton(m_hDC, button);
}

void GMagnifyPad::Repaint() {
    if (m_hWnd && IsWindowVisible())
        Invalidate(0);
}

void GMagnifyPad::ShowRect(tagRECT rc) {
    if (!m_hDC || !m_Man.GetMemDC())
        return;
    rc.left = std::max<LONG>(rc.left, 0);
    rc.top = std::max<LONG>(rc.top, 0);
    rc.right = std::min<LONG>({rc.right, GetWritingWidth(), m_Man.Width()});
    rc.bottom = std::min<LONG>({rc.bottom, Height(), m_Man.Height()});
    if (rc.right <= rc.left || rc.bottom <= rc.top)
        return;
    m_Man.DrawBuffer(m_hDC, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
    // The margin line lies over the ink.
    if (rc.left < m_nMargin + ApplyHires(1) && m_nMargin < rc.right)
        DrawMargin(m_hDC);
}
