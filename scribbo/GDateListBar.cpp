#include "scribbo/GDateListBar.h"

#include "scribbo/App.h"
#include "scribbo/AppStart.h"
#include "scribbo/LanguageText.h"
#include "scribbo/Settings.h"

#include "winza/GTime.h"
#include "winza/Hires.h"

#include <cmath>
#include <new>

namespace {

// Day numbers past this are no dates a memo can carry.
constexpr double kDayLimit = 2147483647.0;

int DayNumberOf(double time, LONG* day) {
    if (!(time > -kDayLimit && time < kDayLimit))
        return 0;
    *day = static_cast<LONG>(time);
    return 1;
}

double Today() {
    const GTime now;
    return double(GTime(now.GetYear(), now.GetMonth(), now.GetDay()));
}

POINT PointOf(LPARAM lParam) {
    return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

} // namespace

GDateListBar::GDateListBar() {
    m_bDoubleBuffer = 1;
}

GDateListBar::~GDateListBar() {
    ClearDateEntries();
}

int GDateListBar::CreateBar(HWND parent, Winza* owner, RECT rect, eGBarType type) {
    MakeFonts();
    if (!GBar::CreateBar(parent, owner, rect, type))
        return 0;
    Layout();
    return 1;
}

void GDateListBar::MoveBar(RECT rect, int redraw) {
    GBar::MoveBar(rect, 0);
    Layout();
    if (redraw)
        Repaint();
}

void GDateListBar::MakeFonts() {
    GFontManager* fonts = AppFonts();
    if (!fonts)
        return;
    const int k = IsHires() ? 2 : 1;
    m_nDayFont = fonts->FindUserFont(14 * k, 5 * k, 400, u"Tahoma");
    m_nMemoDayFont = fonts->FindUserFont(14 * k, 0, 900, u"Tahoma");
    m_nCalendarBoldFont = fonts->FindUserFont(14 * k, 6 * k, 700, u"Tahoma");
}

void GDateListBar::Layout() {
    if (!m_hWnd)
        return;
    RefreshClientRect();
    const int hires = IsHires();
    const int b = hires ? 2 : 1;
    const int s = ScaleToButton(hires ? 26 : 13);
    const RECT area{m_rcClient.left + b, m_rcClient.top + b, m_rcClient.right,
                    m_rcClient.bottom - b};
    m_rcPrev = RECT{area.left, area.top, area.left + s, area.bottom};
    m_rcNext = RECT{area.right - s, area.top, area.right, area.bottom};
    const int dateLeft = m_rcPrev.right + (hires ? 4 : 2);
    m_rcDate = RECT{dateLeft, area.top, dateLeft + (hires ? 196 : 98), area.bottom};
    const int minCell = hires ? 32 : 16;
    const int space = m_rcNext.left - m_rcDate.right;
    m_nCellWidth = space / 7 > minCell ? space / 7 : minCell;
    m_rcCells = RECT{m_rcNext.left - 7 * m_nCellWidth, area.top, m_rcNext.left, area.bottom};
}

// The index

int GDateListBar::LowerBound(LONG day) const {
    int lo = 0;
    int hi = m_days.GetSize();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (static_cast<DayBucket*>(m_days[mid])->day < day)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

const DayBucket* GDateListBar::FindDay(LONG day) const {
    const int at = LowerBound(day);
    if (at >= m_days.GetSize())
        return nullptr;
    auto* bucket = static_cast<DayBucket*>(m_days[at]);
    return bucket->day == day ? bucket : nullptr;
}

int GDateListBar::AddDateEntry(LPCWSTR path, double time, int order) {
    LONG day = 0;
    if (!path || !path[0] || wcslen(path) >= 260 || !DayNumberOf(time, &day))
        return 0;
    const DWORD attributes = ::GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return 0;
    auto* entry = new (std::nothrow) DateEntry{};
    if (!entry)
        return 0;
    wcscpy(entry->path, path);
    entry->time = time;

    const int at = LowerBound(day);
    auto* bucket = at < m_days.GetSize() ? static_cast<DayBucket*>(m_days[at]) : nullptr;
    if (!bucket || bucket->day != day) {
        bucket = new (std::nothrow) DayBucket;
        const int before = m_days.GetSize();
        if (bucket)
            m_days.InsertAt(at, bucket);
        if (!bucket || m_days.GetSize() == before) {
            delete bucket;
            delete entry;
            return 0;
        }
        bucket->day = day;
    }
    GList& list = bucket->entries;
    POSITION pos = list.GetHeadPosition();
    if (order == eDateAscending || order == eDateDescending) {
        while (pos) {
            const auto* e = static_cast<DateEntry*>(list.GetAt(pos));
            if (order == eDateAscending ? e->time >= time : e->time <= time)
                break;
            list.GetNext(pos);
        }
    } else {
        pos = nullptr;
    }
    if (!(pos ? list.InsertBefore(pos, entry) : list.AddTail(entry))) {
        delete entry;
        if (list.IsEmpty()) {
            m_days.RemoveAt(LowerBound(day));
            delete bucket;
        }
        return 0;
    }
    Repaint();
    return 1;
}

int GDateListBar::RemoveDateEntry(LPCWSTR path, double time) {
    LONG day = 0;
    if (!path || !DayNumberOf(time, &day))
        return 0;
    const int at = LowerBound(day);
    if (at >= m_days.GetSize())
        return 0;
    auto* bucket = static_cast<DayBucket*>(m_days[at]);
    if (bucket->day != day)
        return 0;
    GList& list = bucket->entries;
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        const POSITION here = pos;
        auto* entry = static_cast<DateEntry*>(list.GetNext(pos));
        if (wcscmp(entry->path, path) != 0)
            continue;
        list.RemoveAt(here);
        delete entry;
        if (list.IsEmpty()) {
            m_days.RemoveAt(at);
            delete bucket;
        }
        Repaint();
        return 1;
    }
    return 0;
}

void GDateListBar::ClearDateEntries() {
    for (int i = 0; i < m_days.GetSize(); ++i) {
        auto* bucket = static_cast<DayBucket*>(m_days[i]);
        while (!bucket->entries.IsEmpty())
            delete static_cast<DateEntry*>(bucket->entries.RemoveHead());
        delete bucket;
    }
    m_days.RemoveAll();
    Repaint();
}

// The selected date

void GDateListBar::SetDate(double date) {
    LONG day = 0;
    LONG old = 0;
    if (!DayNumberOf(date, &day) || (DayNumberOf(m_dDate, &old) && old == day))
        return;
    m_dDate = date;
    const GTime t(date);
    m_nWeekday = t.IsValidTime() ? t.GetDayOfWeek() : -1;
    WCHAR text[WSPRINTF_MAX_CHARS];
    if (t.IsValidTime())
        wsprintfW(text, GetLangText(1), t.GetYear(), t.GetMonth(), t.GetDay());
    else
        text[0] = 0;
    wcsncpy(m_szDate, text, kDateTextChars);
    m_szDate[kDateTextChars] = 0;
    Repaint();
    if (m_pOwner && m_pOwner->GetSafeHwnd())
        ::SendMessageW(*m_pOwner, UM_DATELISTCHANGED, 0, 0);
}

COLORREF GDateListBar::GetWeekdayColor() const {
    if (m_nWeekday < 1 || m_nWeekday > 7)
        return g_Settings.WeekdayColor[1];
    return g_Settings.WeekdayColor[m_nWeekday - 1];
}

LONG GDateListBar::WeekStart() const {
    LONG day = 0;
    DayNumberOf(m_dDate, &day);
    return m_nWeekday >= 1 ? day - (m_nWeekday - 1) : day;
}

void GDateListBar::Repaint() {
    if (m_hWnd && ::IsWindow(m_hWnd))
        Invalidate(0);
}

// Pen input

LRESULT GDateListBar::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_LBUTTONDOWN:
            return OnLbuttonDown(hwnd, msg, wParam, lParam);
        case WM_LBUTTONUP:
            return OnLbuttonUp(hwnd, msg, wParam, lParam);
        case WM_MOUSEMOVE:
        case WM_LBUTTONDBLCLK:
            return 0;
        case WM_TIMER:
            return OnTimer(hwnd, msg, wParam, lParam);
        case kDateSelChosen:
            HideCalendar();
            SetDate(double(lParam));
            return 0;
        case kDateSelFirstChanged:
            return OnCalendarMonth();
        case kDateSelLostFocus:
            // Later, so that a tap on the date button that took the focus can still toggle it.
            if (m_bCalendarShown)
                ::SetTimer(hwnd, kHideTimer, kHideMs, nullptr);
            return 0;
        case WM_DESTROY: {
            ::KillTimer(hwnd, kHideTimer);
            const LRESULT r = GBar::WndProc(hwnd, msg, wParam, lParam);
            m_calendar.Destroy();
            m_bCalendarShown = 0;
            m_bDatePressed = 0;
            return r;
        }
        default:
            return GBar::WndProc(hwnd, msg, wParam, lParam);
    }
}

LRESULT GDateListBar::OnLbuttonDown(HWND hwnd, UINT, WPARAM, LPARAM lParam) {
    const POINT pt = PointOf(lParam);
    if (::PtInRect(&m_rcDate, pt)) {
        ::KillTimer(hwnd, kHideTimer);
        if (m_bCalendarShown) {
            HideCalendar();
        } else {
            m_bDatePressed = 1;
            Repaint();
        }
        ::SetCapture(hwnd);
        return 0;
    }
    if (m_bCalendarShown)
        HideCalendar();
    if (::PtInRect(&m_rcPrev, pt) || ::PtInRect(&m_rcNext, pt)) {
        (::PtInRect(&m_rcPrev, pt) ? m_bPrevPressed : m_bNextPressed) = 1;
        Repaint();
        ::SetCapture(hwnd);
        return 0;
    }
    const int b = IsHires() ? 2 : 1;
    const RECT days{m_rcCells.left - b, m_rcCells.top - b, m_rcCells.right + b, m_rcCells.bottom};
    if (!::PtInRect(&days, pt) || m_nCellWidth <= 0)
        return 0;
    if (RecognizeGesture(pt, 4)) {
        SetDate(Today());
        return 0;
    }
    int index = (pt.x - m_rcCells.left) / m_nCellWidth;
    index = index < 0 ? 0 : (index > 6 ? 6 : index);
    SetDate(double(WeekStart() + index));
    return 0;
}

LRESULT GDateListBar::OnLbuttonUp(HWND hwnd, UINT, WPARAM, LPARAM lParam) {
    if (::GetCapture() == hwnd)
        ::ReleaseCapture();
    const POINT pt = PointOf(lParam);
    if (m_bPrevPressed || m_bNextPressed) {
        const int week = m_bPrevPressed ? -7 : 7;
        const RECT box = m_bPrevPressed ? m_rcPrev : m_rcNext;
        m_bPrevPressed = m_bNextPressed = 0;
        Repaint();
        LONG day = 0;
        if (::PtInRect(&box, pt) && DayNumberOf(m_dDate, &day))
            SetDate(double(day + week));
        return 0;
    }
    if (!::PtInRect(&m_rcDate, pt)) {
        // Lifted elsewhere: the button comes back up unless the calendar holds it down.
        if (m_bDatePressed && !m_bCalendarShown) {
            m_bDatePressed = 0;
            Repaint();
        }
        return 0;
    }
    if (m_bDatePressed && !m_bCalendarShown)
        ShowCalendar();
    else if (!m_bDatePressed && m_bCalendarShown)
        HideCalendar();
    return 0;
}

LRESULT GDateListBar::OnTimer(HWND hwnd, UINT, WPARAM wParam, LPARAM) {
    if (wParam != kHideTimer)
        return 0;
    ::KillTimer(hwnd, kHideTimer);
    HideCalendar();
    return 0;
}

// The calendar

void GDateListBar::ShowCalendar() {
    m_bDatePressed = 1;
    m_bCalendarShown = 1;
    const int hires = IsHires();
    const int cell = hires ? 32 : 16;
    const int s = hires ? 2 : 1;
    const int width = 7 * cell;
    const int height = 6 * cell + 35 * s + 18 * s;
    POINT at{(m_rcDate.left + m_rcDate.right - width) / 2, m_rcClient.bottom - (hires ? 2 : 1)};
    ClientToScreen(&at);
    if (!m_calendar.GetSafeHwnd()) {
        GFontManager* fonts = AppFonts();
        if (fonts) {
            m_calendar.SetFontDefault(fonts->GetFont(eFontNormal14));
            m_calendar.SetFontBold(fonts->GetUserFont(m_nCalendarBoldFont));
            m_calendar.SetFontDefaultDate(fonts->GetFont(eFontNormal13));
            m_calendar.SetFontBoldDate(fonts->GetFont(eFontBold13));
        }
        if (!m_calendar.Create(m_hWnd, at.x, at.y, width, height, m_dDate)) {
            m_bCalendarShown = 0;
            m_bDatePressed = 0;
            Repaint();
            return;
        }
    }
    if (!m_calendar.IsWindowVisible()) {
        m_calendar.MoveWindow(at.x, at.y, width, height);
        m_calendar.SetSelDate(m_dDate);
        // A month already shown sends no notice: mark its days here.
        OnCalendarMonth();
        ::ShowWindow(m_calendar, SW_SHOW);
        ::SetFocus(m_calendar);
    }
    Repaint();
}

void GDateListBar::HideCalendar() {
    const int wasShown = m_bCalendarShown;
    m_bCalendarShown = 0;
    m_bDatePressed = 0;
    if (wasShown && m_calendar.GetSafeHwnd()) {
        ::ShowWindow(m_calendar, SW_HIDE);
        if (m_pOwner && m_pOwner->GetSafeHwnd())
            ::SetFocus(*m_pOwner);
    }
    Repaint();
}

LRESULT GDateListBar::OnCalendarMonth() {
    if (!m_calendar.GetSafeHwnd())
        return 0;
    m_calendar.ResetBoldDay();
    const double firstDate = m_calendar.GetFirstDate();
    LONG first = 0;
    if (!DayNumberOf(firstDate, &first))
        return 0;
    for (int i = LowerBound(first); i < m_days.GetSize(); ++i) {
        const LONG day = static_cast<DayBucket*>(m_days[i])->day;
        if (day >= first + GDateSelCtrl::kCellCount)
            break;
        m_calendar.SetBoldDay(int(day - first), 1);
    }
    m_calendar.Invalidate(0);
    return 0;
}
