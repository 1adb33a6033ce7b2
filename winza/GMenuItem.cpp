#include "winza/GMenuItem.h"

#include "winza/DrawHelpers.h"
#include "winza/GImageList.h"
#include "winza/GLib.h"

namespace {

// The check mark in a 16 x 16 box: per row from row 6, the runs (first column, length).
struct CheckRun {
    int row, column, length;
};
constexpr CheckRun kCheckRuns[] = {
    {6, 14, 1}, {7, 13, 2}, {8, 8, 1},  {8, 12, 3},  {9, 8, 2},
    {9, 11, 3}, {10, 8, 5}, {11, 9, 3}, {12, 10, 1},
};

} // namespace

GMenuItem::GMenuItem() : GMenuItem(-1) {}

GMenuItem::GMenuItem(int id) : GVButton(id) {
    m_dwFlag |= eVBVisible | eVBEnabled;
    m_nFormat = DT_LEFT;
}

GMenuItem::~GMenuItem() = default;

void GMenuItem::DrawFrame(HDC hdc) {
    m_rcContent = m_rcButton;
    if (IsSeparator()) {
        FillSolidRect(hdc, &m_rcButton, GetGLibColor(eColorMenuItem));
        const int mid = m_rcButton.top + (m_rcButton.bottom - m_rcButton.top) / 2 - 1;
        const int left = m_rcButton.left + 2;
        const int width = m_rcButton.right - 1 - left;
        FillSolidRect(hdc, left, mid, width, 1, GetGLibColor(eColorSunken));
        FillSolidRect(hdc, left, mid + 1, width, 1, GetGLibColor(eColorRaised));
        return;
    }
    RECT rc = m_rcButton;
    rc.left += 2;
    rc.right -= 1;
    const int highlighted = GetFlag(kMenuItemHighlight);
    const int focus = GetFlag(eVBFocus);
    const COLORREF fill = GetGLibColor(highlighted ? eColorMenuHighlight : eColorMenuItem);
    COLORREF edge = fill;
    int flags = eFrameAll;
    if (focus) {
        edge = GetGLibColor(eColorMenuFocus);
        flags |= eFrameDot2;
    }
    FrameRect(hdc, &rc, edge, edge, fill, 1, flags);
    if (m_pSubMenu) {
        const int right = m_rcButton.right - (IsHires() ? 10 : 6);
        RECT arrow{right - ApplyHires(4), m_rcButton.top, right, m_rcButton.bottom};
        DrawArrow(hdc, eArrowRight, &arrow,
                  GetGLibColor(highlighted ? eColorMenuHighlightText : eColorMenuText));
    }
}

void GMenuItem::DrawImage(HDC hdc) {
    if (IsSeparator())
        return;
    const int top = m_rcButton.top + (m_rcButton.bottom - m_rcButton.top - m_nIconWidth) / 2;
    if (m_nImage >= 0) {
        GImageList* list =
            GetFlag(kMenuItemHighlight) && m_pIconHover ? m_pIconHover : m_pIconDefault;
        if (list)
            list->Draw(hdc, m_rcButton.left + m_nIndent + 2, top, m_nImage,
                       GetFlag(eVBEnabled) ? 255 : 128, 1);
        return;
    }
    if (GetFlag(eVBChecked))
        DrawCheckMark(hdc);
}

void GMenuItem::DrawCheckMark(HDC hdc) {
    // Single pixels of the 16 x 16 design, each a square of the pixel scale.
    const int s = ApplyHires(1);
    const int x0 = m_rcButton.left + m_nIndent;
    const int y0 = m_rcButton.top + (m_rcButton.bottom - m_rcButton.top - 16 * s) / 2;
    const COLORREF color = GetFlag(eVBEnabled) ? RGB(0, 0, 0) : m_crDisableText;
    for (const CheckRun& run : kCheckRuns)
        FillSolidRect(hdc, x0 + run.column * s, y0 + run.row * s, run.length * s, s, color);
}

void GMenuItem::DrawLable(HDC hdc, int format) {
    if (IsSeparator() || !m_pLabel || !m_pLabel[0])
        return;
    RECT rc = m_rcButton;
    rc.left += m_nMargin + m_nIconWidth + m_nIndent;
    RECT measure = rc;
    ::DrawTextW(hdc, m_pLabel, -1, &measure, format | DT_CALCRECT);
    const int height = measure.bottom - measure.top;
    rc.top += (m_rcButton.bottom - m_rcButton.top - height) / 2;
    rc.bottom = rc.top + height;
    COLORREF color =
        GetGLibColor(GetFlag(kMenuItemHighlight) ? eColorMenuHighlightText : eColorMenuText);
    if (!GetFlag(eVBEnabled))
        color = m_crDisableText;
    const COLORREF old = ::SetTextColor(hdc, color);
    const int oldMode = ::SetBkMode(hdc, TRANSPARENT);
    ::DrawTextW(hdc, m_pLabel, -1, &rc, format);
    ::SetBkMode(hdc, oldMode);
    ::SetTextColor(hdc, old);
}
