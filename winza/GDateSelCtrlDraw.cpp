// Painting of the month calendar: everything goes into the calendar's bitmap through the
// toolkit's shared memory context, then the clip area is copied to the window and the
// selection frame drawn straight on it.
#include "winza/DrawHelpers.h"
#include "winza/GDateSelCtrl.h"
#include "winza/GLib.h"
#include "winza/GlobalDC.h"
#include "winza/Hires.h"

#include <platform/gdiguard.h>

SIZE GDateSelCtrl::TextSize(HDC hdc, HFONT font, LPCWSTR text) {
    gdi::Select sel(hdc, font);
    SIZE size{0, 0};
    ::GetTextExtentPoint32W(hdc, text, lstrlenW(text), &size);
    return size;
}

void GDateSelCtrl::DrawTextAt(HDC hdc, HFONT font, LPCWSTR text, int x, int y, COLORREF color) {
    gdi::Select sel(hdc, font);
    ::SetTextColor(hdc, color);
    ::ExtTextOutW(hdc, x, y, 0, nullptr, text, lstrlenW(text), nullptr);
}

void GDateSelCtrl::DrawHeader(HDC hdc) {
    const int s = ApplyHires(1);
    FillSolidRect(hdc, &m_rcHeader,
                  GetGLibColor(m_bJulian ? eColorDateHeaderLunar : eColorDateHeader));
    for (int i = 0; i < 2; ++i) {
        const RECT& rc = i == 0 ? m_rcPrev : m_rcNext;
        const int held = i == 0 ? m_bPrevHeld : m_bNextHeld;
        const COLORREF edge = GetGLibColor(held ? eColorDateStepEdgeHeld : eColorDateStepEdge);
        FrameRect(hdc, &rc, edge, edge, GetGLibColor(held ? eColorDateStepHeld : eColorDateStep), s,
                  eFrameAll);
        const int aw = 5 * s, ah = 2 * aw - 1;
        const int ax = rc.left + (rc.right - rc.left - aw) / 2;
        const int ay = rc.top + (rc.bottom - rc.top - ah) / 2;
        const RECT arrow{ax, ay, ax + aw, ay + ah};
        DrawArrow(hdc, i == 0 ? eArrowLeft : eArrowRight, &arrow,
                  GetGLibColor(held ? eColorDateStepArrowHeld : eColorDateStepArrow));
    }
    const int headerHeight = m_rcHeader.bottom - m_rcHeader.top;
    const SIZE ys = TextSize(hdc, m_hFontBold, m_szYear);
    const SIZE ms = TextSize(hdc, m_hFontBold, m_szMonth);
    const int yy = m_rcHeader.top + (headerHeight - ys.cy) / 2 - s;
    const int my = m_rcHeader.top + (headerHeight - ms.cy) / 2 - s;
    const int yx = m_rcYear.right - ys.cx;
    const int mx = m_rcMonth.left + (m_rcMonth.right - m_rcMonth.left - ms.cx) / 2;
    m_rcYearText = RECT{yx, yy, yx + ys.cx, yy + ys.cy};
    m_rcMonthText = RECT{mx, my, mx + ms.cx, my + ms.cy};
    DrawTextAt(hdc, m_hFontBold, m_szYear, yx, yy,
               GetGLibColor(m_nPressedText == 1 ? eColorDateTitlePressed : eColorDateTitle));
    DrawTextAt(hdc, m_hFontBold, m_szMonth, mx, my,
               GetGLibColor(m_nPressedText == 2 ? eColorDateTitlePressed : eColorDateTitle));
}

void GDateSelCtrl::DrawWeekRow(HDC hdc) {
    const int s = ApplyHires(1);
    FillSolidRect(hdc, &m_rcWeek, GetGLibColor(eColorWeekRow));
    FillSolidRect(hdc, m_rcWeek.left, m_rcWeek.bottom - s, m_rcWeek.right - m_rcWeek.left, s,
                  GetGLibColor(eColorWeekLine));
    const int rowHeight = m_rcWeek.bottom - m_rcWeek.top - s;
    for (int d = 0; d < 7; ++d) {
        LPCWSTR letter = GetGLibText(8 + d);
        const SIZE size = TextSize(hdc, m_hFontBold, letter);
        const int x = 1 + d * m_nCellWidth + (m_nCellWidth - size.cx) / 2;
        const int y = m_rcWeek.top + (rowHeight - size.cy) / 2;
        const int color = d == 0 ? eColorSundayText : (d == 6 ? eColorSaturdayText : eColorDayText);
        DrawTextAt(hdc, m_hFontBold, letter, x, y, GetGLibColor(color));
    }
}

void GDateSelCtrl::DrawCells(HDC hdc) {
    HFONT normal = nullptr, bold = nullptr;
    if (m_hFontDefaultDate && m_hFontBoldDate) {
        normal = m_hFontDefaultDate;
        bold = m_hFontBoldDate;
    } else if (m_hFontDefault && m_hFontBold) {
        normal = m_hFontDefault;
        bold = m_hFontBold;
    }
    for (int i = 0; i < kCellCount; ++i) {
        gdi::Select sel(hdc, m_bBold[i] ? bold : normal);
        m_cells[i].DrawCell(hdc);
    }
    if (m_nTodayCell >= 0) {
        const RECT rc = FrameRectOf(m_nTodayCell);
        m_dib.FillRect(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                       GetGLibColor(eColorTodayCell), 128);
    }
}

void GDateSelCtrl::DrawTodayStrip(HDC hdc) {
    if (m_rcToday.bottom <= m_rcToday.top)
        return;
    const int s = ApplyHires(1);
    FillSolidRect(hdc, &m_rcToday, GetGLibColor(eColorTodayStrip));
    FillSolidRect(hdc, m_rcToday.left, m_rcToday.top, m_rcToday.right - m_rcToday.left, s,
                  RGB(0, 0, 0));
    LPCWSTR text = GetGLibText(15);
    const SIZE size = TextSize(hdc, m_hFontBold, text);
    const int x = m_rcToday.left + (m_rcToday.right - m_rcToday.left - size.cx) / 2;
    const int y = m_rcToday.top + s + (m_rcToday.bottom - m_rcToday.top - s - size.cy) / 2;
    DrawTextAt(hdc, m_hFontBold, text, x, y, GetGLibColor(eColorTodayText));
}

void GDateSelCtrl::Draw(HDC hdc, RECT clip) {
    if (clip.right <= clip.left || clip.bottom <= clip.top)
        return;
    const int width = Width(), height = Height();
    if (width <= 0 || height <= 0)
        return;
    if (m_dib.Width() != width || m_dib.Height() != height)
        m_dib.Create(width, height, 24);
    HDC mem = GetGlobalMemDC();
    if (!m_dib.GetSafeHandle() || !mem)
        return;
    {
        gdi::Select bitmap(mem, m_dib.GetSafeHandle());
        gdi::Select font(mem, m_hFontDefault);
        FillSolidRect(mem, &clip, GetGLibColor(eColorDayBack));
        ::SetBkMode(mem, TRANSPARENT);
        DrawHeader(mem);
        DrawWeekRow(mem);
        DrawCells(mem);
        DrawTodayStrip(mem);
        ::BitBlt(hdc, clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top, mem,
                 clip.left, clip.top, SRCCOPY);
    }
    if (m_nSelCell >= 0)
        m_dSelDate = m_dFirstDate + m_nSelCell;
    m_nFrameCell = m_nSelCell;
    DrawFrame(hdc, m_nSelCell);
}
