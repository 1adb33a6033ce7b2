// The strip above the memo list that browses memos by date: the selected date as text, the
// seven days of its week (days with memos in a heavier font), arrows for the previous and next
// week and a drop-down month calendar. It keeps the index of memo files by day.
#pragma once

#include "fundo/GArray.h"
#include "fundo/GList.h"
#include "scribbo/MemoStore.h"
#include "winza/GBar.h"
#include "winza/GDateSelCtrl.h"
#include "winza/GFontManager.h"

// One indexed memo: its path and its time (days since 30 December 1899).
struct DateEntry {
    WCHAR path[260];
    double time;
};

// The memos of one day, owned by the bucket.
struct DayBucket {
    LONG day = 0;
    GList entries{10};
};

enum eDateEntryOrder { eDateAppend = 0, eDateAscending = 1, eDateDescending = 2 };

// The memo store's scan and memo moves fill the index through MemoIndex.
class GDateListBar : public GBar, public MemoIndex {
public:
    // Hides the calendar a moment after it lost the focus.
    static constexpr UINT_PTR kHideTimer = 10;
    static constexpr UINT kHideMs = 100;
    static constexpr int kDateTextChars = 20;

    GDateListBar();
    ~GDateListBar() override;
    LPCWSTR GetClassNameW() override { return u"GDateListBar"; }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Draw(HDC hdc, RECT clip) override;
    int CreateBar(HWND parent, Winza* owner, RECT rect, eGBarType type) override;
    void MoveBar(RECT rect, int redraw) override;

    // 1 when added; 0 when the path is not an existing file or memory runs out.
    int AddDateEntry(LPCWSTR path, double time, int order);
    // 1 when the entry of that day with exactly this path was removed.
    int RemoveDateEntry(LPCWSTR path, double time);
    void ClearDateEntries();
    // The store's memos: same-day memos kept in ascending time.
    int AddMemo(LPCWSTR path, double time) override {
        return AddDateEntry(path, time, eDateAscending);
    }
    int RemoveMemo(LPCWSTR path, double time) override { return RemoveDateEntry(path, time); }
    void ClearMemos() override { ClearDateEntries(); }

    void SetDate(double date);
    double GetDate() const { return m_dDate; }
    COLORREF GetWeekdayColor() const;

    // The index, for the owner and tests.
    int GetDayCount() const { return m_days.GetSize(); }
    // The bucket of that day number, or null.
    const DayBucket* FindDay(LONG day) const;
    int HasMemos(LONG day) const { return FindDay(day) != nullptr; }

    // State and layout.
    int GetWeekday() const { return m_nWeekday; }
    LPCWSTR GetDateText() const { return m_szDate; }
    RECT GetDateRect() const { return m_rcDate; }
    RECT GetPrevRect() const { return m_rcPrev; }
    RECT GetNextRect() const { return m_rcNext; }
    RECT GetCellsRect() const { return m_rcCells; }
    int GetCellWidth() const { return m_nCellWidth; }
    int IsCalendarShown() const { return m_bCalendarShown; }
    int IsDatePressed() const { return m_bDatePressed; }
    GDateSelCtrl* GetCalendar() { return &m_calendar; }

protected:
    LRESULT OnLbuttonDown(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnLbuttonUp(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnTimer(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnCalendarMonth();

    void Layout();
    void MakeFonts();
    // Index of the first bucket whose day is not below day.
    int LowerBound(LONG day) const;
    // The Sunday of the selected date's week.
    LONG WeekStart() const;
    void ShowCalendar();
    void HideCalendar();
    void Repaint();

    // Painting steps.
    void DrawDateButton(HDC hdc);
    void DrawDays(HDC hdc);
    void DrawWeekBox(HDC hdc, RECT box, int pressed, int direction);
    void DrawTextIn(HDC hdc, LPCWSTR text, RECT rect, HFONT font, COLORREF color);

    RECT m_rcDate{0, 0, 0, 0};
    GArray m_days;
    GDateSelCtrl m_calendar;
    WCHAR m_szDate[kDateTextChars + 1] = {};
    RECT m_rcPrev{0, 0, 0, 0};
    int m_bPrevPressed = 0;
    RECT m_rcNext{0, 0, 0, 0};
    int m_bNextPressed = 0;
    int m_bCalendarShown = 0;
    double m_dDate = 949998.0;
    int m_nWeekday = -1;
    RECT m_rcCells{0, 0, 0, 0};
    int m_nCellWidth = 0;
    eUserFontType m_nDayFont = eUserFontNone;
    eUserFontType m_nMemoDayFont = eUserFontNone;
    eUserFontType m_nCalendarBoldFont = eUserFontNone;
    // The date button is drawn pressed (the calendar is shown or the pen is on it).
    int m_bDatePressed = 0;
};
