// The pop-up month calendar: six weeks of day cells under a header with the year, the month
// and the month buttons, a row of weekday letters and a today strip, optionally with lunar
// dates. It reports to its owner with three private messages.
#pragma once

#include "fundo/GDib.h"
#include "winza/GAnimateWnd.h"
#include "winza/GDateCell.h"

// A day was chosen (tap, Return, the today strip); lParam is its day number.
constexpr UINT kDateSelChosen = 0x17F5;
// The first shown date changed; lParam is the new selected day number. The owner reads
// GetFirstDate and marks bold days.
constexpr UINT kDateSelFirstChanged = 0x17F6;
// The calendar lost the focus.
constexpr UINT kDateSelLostFocus = 0x17F7;

// Neither blended nor double-buffered: it paints through its own bitmap.
class GDateSelCtrl : public GAnimateWnd {
public:
    static constexpr int kCellCount = 42;
    // Month buttons: timer 11 waits before the repeat, timer 12 repeats.
    static constexpr UINT_PTR kRepeatDelayTimer = 11;
    static constexpr UINT_PTR kRepeatTimer = 12;
    static constexpr UINT kRepeatDelayMs = 500;
    static constexpr UINT kRepeatMs = 200;
    // Ids of the year (30000 ...) and month (30010 ... 30021) pop-up menus.
    static constexpr UINT kYearMenuId = 30000;
    static constexpr UINT kMonthMenuId = 30010;

    GDateSelCtrl();
    ~GDateSelCtrl() override;

    LPCWSTR GetClassNameW() override;
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Draw(HDC hdc, RECT clip) override;

    // A hidden pop-up owned by owner, laid out as MoveWindow describes, showing date.
    int Create(HWND owner, int x, int y, int cx, int cy, double date);
    // Cell width cx / 7, cell height from cy; the window gets the size the cells need.
    void MoveWindow(int x, int y, int cx, int cy);

    void SetSelDate(double date);
    double GetSelDate() const { return m_dSelDate; }
    // The date of the first cell.
    double GetFirstDate() const { return m_dFirstDate; }
    void Today();
    // Same day of the next or previous month, clamped to that month's length.
    void Next();
    void Prev();
    void SetJulianMode(int lunar);
    int GetJulianMode() const { return m_bJulian; }
    // Day is the cell index (days from the first shown date); outside the cells it is ignored.
    void SetBoldDay(int day, int on);
    void SetBoldDay(int year, int month, int day, int on);
    int GetBoldDay(int day) const;
    void ResetBoldDay();
    void SetFontDefault(HFONT font) { m_hFontDefault = font; }
    void SetFontBold(HFONT font) { m_hFontBold = font; }
    void SetFontDefaultDate(HFONT font) { m_hFontDefaultDate = font; }
    void SetFontBoldDate(HFONT font) { m_hFontBoldDate = font; }
    // The today strip is shown unless switched off before the layout.
    void SetShowToday(int on) { m_bShowToday = on; }

    // Layout and state, for the owner and for tests.
    const GDateCell& GetCell(int index) const { return m_cells[index]; }
    int GetCellWidth() const { return m_nCellWidth; }
    int GetCellHeight() const { return m_nCellHeight; }
    int GetTodayCell() const { return m_nTodayCell; }
    int GetSelCell() const { return m_nSelCell; }
    RECT GetHeaderRect() const { return m_rcHeader; }
    RECT GetPrevRect() const { return m_rcPrev; }
    RECT GetNextRect() const { return m_rcNext; }
    RECT GetYearRect() const { return m_rcYear; }
    RECT GetMonthRect() const { return m_rcMonth; }
    RECT GetWeekRect() const { return m_rcWeek; }
    RECT GetTodayRect() const { return m_rcToday; }
    LPCWSTR GetYearText() const { return m_szYear; }
    LPCWSTR GetMonthText() const { return m_szMonth; }
    RECT GetYearTextRect() const { return m_rcYearText; }
    RECT GetMonthTextRect() const { return m_rcMonthText; }
    int IsPrevHeld() const { return m_bPrevHeld; }
    int IsNextHeld() const { return m_bNextHeld; }

protected:
    LRESULT OnLbuttonDown(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnLbuttonUp(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnTimer(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyDown(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBkgnd(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    // Year and month pop-up menus; they return the chosen date or -1 for none.
    void TrackYearMenu();
    void TrackMonthMenu();
    // The shown year and month: lunar in lunar mode (0 without a lunar date).
    void ShownYearMonth(int& year, int& month) const;
    // Moves the selection to the given lunar or solar year and month, keeping the day.
    void SetShownYearMonth(int year, int month);

    // The cell under a client point, or -1.
    int CellAt(POINT point) const;
    // The rectangle the selection frame covers: the cell widened one pixel to the left.
    RECT FrameRectOf(int cell) const;
    // Moves the frame straight on the window: the old place comes back from the bitmap.
    void MoveFrame(int cell);
    void DrawFrame(HDC hdc, int cell);
    void RestoreFromBitmap(HDC hdc, RECT rect);
    // Draws the header text in its pressed or normal colour on the window and the bitmap.
    void RedrawHeaderText();
    void StopRepeat();
    void Notify(UINT msg, LPARAM lParam);

    // Painting steps into the bitmap's context.
    void DrawHeader(HDC hdc);
    void DrawWeekRow(HDC hdc);
    void DrawCells(HDC hdc);
    void DrawTodayStrip(HDC hdc);
    // Text drawn at (x, y) with the given font and colour.
    void DrawTextAt(HDC hdc, HFONT font, LPCWSTR text, int x, int y, COLORREF color);
    SIZE TextSize(HDC hdc, HFONT font, LPCWSTR text);

    GDateCell m_cells[kCellCount];
    GDib m_dib;
    double m_dSelDate = 949998.0;
    double m_dFirstDate = 949998.0;
    int m_nCellWidth = 0;
    int m_nCellHeight = 0;
    int m_bJulian = 0;
    int m_bBold[kCellCount] = {};
    RECT m_rcHeader{0, 0, 0, 0};
    RECT m_rcPrev{0, 0, 0, 0};
    RECT m_rcNext{0, 0, 0, 0};
    RECT m_rcToday{0, 0, 0, 0};
    RECT m_rcWeek{0, 0, 0, 0};
    int m_bPrevHeld = 0;
    int m_bNextHeld = 0;
    HWND m_hOwner = nullptr;
    HFONT m_hFontDefault = nullptr;
    HFONT m_hFontBold = nullptr;
    HFONT m_hFontDefaultDate = nullptr;
    HFONT m_hFontBoldDate = nullptr;

    // Header texts and where they are drawn; the year and month spans are their pen areas.
    WCHAR m_szYear[32] = {};
    WCHAR m_szMonth[32] = {};
    RECT m_rcYear{0, 0, 0, 0};
    RECT m_rcMonth{0, 0, 0, 0};
    RECT m_rcYearText{0, 0, 0, 0};
    RECT m_rcMonthText{0, 0, 0, 0};
    int m_nCellTop = 0;
    int m_bShowToday = 1;
    int m_nTodayCell = -1;
    int m_nSelCell = -1;
    // The cell the frame is drawn on (it follows the pen before the choice is made).
    int m_nFrameCell = -1;
    // Pen state: down here, where, and which header text is pressed (0 none, 1 year, 2 month).
    int m_bPenDown = 0;
    POINT m_ptPen{0, 0};
    int m_nPressedText = 0;
    int m_bOverPrev = 0;
    int m_bOverNext = 0;
};
