#include "scribbo/App.h"
#include "scribbo/GDateListBar.h"
#include "scribbo/LanguageText.h"

#include "winza/DrawHelpers.h"
#include "winza/GLib.h"
#include "winza/Hires.h"

#include <platform/gdiguard.h>

namespace {

COLORREF Lighter(COLORREF c, int by) {
    auto up = [by](int v) { return v + by > 255 ? 255 : v + by; };
    return RGB(up(GetRValue(c)), up(GetGValue(c)), up(GetBValue(c)));
}

// A white box framed in black, width pixels thick: a pressed button.
void PressedBox(HDC hdc, RECT r, int width) {
    FillSolidRect(hdc, &r, 0x000000);
    FillSolidRect(hdc, r.left + width, r.top + width, r.right - r.left - 2 * width,
                  r.bottom - r.top - 2 * width, 0xFFFFFF);
}

} // namespace

void GDateListBar::Draw(HDC hdc, RECT) {
    const int b = IsHires() ? 2 : 1;
    FillSolidRect(hdc, &m_rcClient, GetGLibColor(3));
    FillSolidRect(hdc, m_rcClient.left, m_rcClient.bottom - b, Width(), b, GetGLibColor(5));
    ::SetBkMode(hdc, TRANSPARENT);
    DrawDateButton(hdc);
    DrawDays(hdc);
    DrawWeekBox(hdc, m_rcPrev, m_bPrevPressed, eArrowLeft);
    DrawWeekBox(hdc, m_rcNext, m_bNextPressed, eArrowRight);
}

void GDateListBar::DrawTextIn(HDC hdc, LPCWSTR text, RECT rect, HFONT font, COLORREF color) {
    gdi::Select sel(hdc, font);
    ::SetTextColor(hdc, color);
    ::DrawTextW(hdc, text, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void GDateListBar::DrawDateButton(HDC hdc) {
    const int b = IsHires() ? 2 : 1;
    if (m_bDatePressed)
        PressedBox(hdc, m_rcDate, b);
    else
        FillSolidRect(hdc, &m_rcDate, GetGLibColor(3));
    HFONT font = AppFonts() ? AppFonts()->GetUserFont(m_nDayFont) : nullptr;
    // Too wide: leading words go until the rest fits.
    const WCHAR* text = m_szDate;
    {
        gdi::Select sel(hdc, font);
        const int room = m_rcDate.right - m_rcDate.left;
        SIZE size{0, 0};
        while (text[0] && ::GetTextExtentPoint32W(hdc, text, int(wcslen(text)), &size) &&
               size.cx > room) {
            const WCHAR* space = text;
            while (*space && *space != u' ')
                ++space;
            if (!*space)
                break;
            text = space + 1;
        }
    }
    DrawTextIn(hdc, text, m_rcDate, font, 0x000000);
}

void GDateListBar::DrawDays(HDC hdc) {
    if (m_nCellWidth <= 0)
        return;
    const int hires = IsHires();
    const int b = hires ? 2 : 1;
    GFontManager* fonts = AppFonts();
    HFONT dayFont = fonts ? fonts->GetUserFont(m_nDayFont) : nullptr;
    HFONT memoFont = fonts ? fonts->GetUserFont(m_nMemoDayFont) : nullptr;
    const LONG sunday = WeekStart();
    for (int i = 0; i < 7; ++i) {
        RECT cell{m_rcCells.left + i * m_nCellWidth, m_rcCells.top,
                  m_rcCells.left + (i + 1) * m_nCellWidth, m_rcCells.bottom};
        if (i + 1 == m_nWeekday) {
            const COLORREF fill = GetWeekdayColor();
            FrameRect(hdc, &cell, GetGLibColor(5), GetGLibColor(5), fill, b, eFrameAll);
            // A light band along the top, fading down into the fill.
            const int rows = hires ? 6 : 3;
            const int step = hires ? 6 : 12;
            for (int r = 0; r < rows; ++r)
                FillSolidRect(hdc, cell.left + b, cell.top + b + r, cell.right - cell.left - 2 * b,
                              1, Lighter(fill, step * (rows - r)));
        }
        const COLORREF color = i == 0 ? 0x0000FF : (i == 6 ? 0xFF0000 : 0x000000);
        DrawTextIn(hdc, GetLangText(2 + i), cell, HasMemos(sunday + i) ? memoFont : dayFont, color);
    }
}

void GDateListBar::DrawWeekBox(HDC hdc, RECT box, int pressed, int direction) {
    const int hires = IsHires();
    const int b = hires ? 2 : 1;
    if (pressed) {
        PressedBox(hdc, box, b);
    } else {
        FrameRect(hdc, &box, GetGLibColor(5), GetGLibColor(5), GetGLibColor(3), b,
                  eFrameTop | eFrameBottom | eFrameFill);
    }
    const int w = hires ? 10 : 5;
    const int cx = (box.left + box.right) / 2;
    const int cy = (box.top + box.bottom) / 2;
    const RECT arrow{cx - w / 2, cy - w + 1, cx - w / 2 + w, cy + w};
    DrawArrow(hdc, direction, &arrow, 0x000000);
    // The line between the box and the days.
    const int x = direction == eArrowLeft ? box.right - b : box.left;
    FillSolidRect(hdc, x, box.top, b, box.bottom - box.top, GetGLibColor(5));
}
