// One day of the month calendar: its rectangle, the number it shows (a solar or lunar day;
// 255 shows nothing), its day of week and whether it lies in the shown month.
#pragma once

#include <windows.h>

class GDateCell {
public:
    static constexpr int kNoDay = 255;

    GDateCell() = default;
    virtual ~GDateCell() = default;

    // dayOfWeek 1 = Sunday ... 7 = Saturday.
    virtual void InitCell(RECT rect, int day, int dayOfWeek, int inMonth);
    // 1 when the point lies in the cell.
    virtual int HitTest(POINT point);
    // Fills the cell in its weekday's colours and centres its number in the font selected into
    // hdc.
    virtual void DrawCell(HDC hdc);

    RECT GetRect() const { return m_rc; }
    int GetDay() const { return m_nDay; }
    int GetDayOfWeek() const { return m_nDayOfWeek; }
    int IsInMonth() const { return m_bInMonth; }
    // Background and text colour indices of the toolkit table for this cell.
    int BackColorIndex() const;
    int TextColorIndex() const;

protected:
    RECT m_rc{0, 0, 0, 0};
    int m_nDay = kNoDay;
    int m_nDayOfWeek = 1;
    int m_bInMonth = 0;
};
