#include "winza/GDateCell.h"

#include "winza/DrawHelpers.h"
#include "winza/GLib.h"

void GDateCell::InitCell(RECT rect, int day, int dayOfWeek, int inMonth) {
    m_rc = rect;
    m_nDay = day;
    m_nDayOfWeek = dayOfWeek;
    m_bInMonth = inMonth ? 1 : 0;
}

int GDateCell::HitTest(POINT point) {
    return ::PtInRect(&m_rc, point) ? 1 : 0;
}

int GDateCell::BackColorIndex() const {
    if (m_nDayOfWeek == 1)
        return eColorSundayBack;
    return m_nDayOfWeek == 7 ? eColorSaturdayBack : eColorDayBack;
}

int GDateCell::TextColorIndex() const {
    // The colour after each one is its day outside the month.
    const int base = m_nDayOfWeek == 1   ? eColorSundayText
                     : m_nDayOfWeek == 7 ? eColorSaturdayText
                                         : eColorDayText;
    return m_bInMonth ? base : base + 1;
}

void GDateCell::DrawCell(HDC hdc) {
    FillSolidRect(hdc, &m_rc, GetGLibColor(BackColorIndex()));
    if (m_nDay < 0 || m_nDay >= kNoDay)
        return;
    WCHAR text[8];
    const int length = wsprintfW(text, u"%d", m_nDay);
    SIZE size{0, 0};
    ::GetTextExtentPoint32W(hdc, text, length, &size);
    const int x = m_rc.left + (m_rc.right - m_rc.left - size.cx) / 2;
    const int y = m_rc.top + (m_rc.bottom - m_rc.top - size.cy) / 2;
    ::SetBkMode(hdc, TRANSPARENT);
    ::SetTextColor(hdc, GetGLibColor(TextColorIndex()));
    ::ExtTextOutW(hdc, x, y, 0, nullptr, text, length, nullptr);
}
