#include "winza/GDateSelCtrl.h"

#include "winza/DrawHelpers.h"
#include "winza/GLib.h"
#include "winza/GTime.h"
#include "winza/Hires.h"

#include <cmath>

namespace {

constexpr double kNoDate = 949998.0;

// The integer day number of a valid time (its date at midnight).
double DayOf(const GTime& t) {
    return double(GTime(t.GetYear(), t.GetMonth(), t.GetDay()));
}

} // namespace

GDateSelCtrl::GDateSelCtrl() {
    m_bDoubleBuffer = 0;
}

GDateSelCtrl::~GDateSelCtrl() {
    if (m_hWnd)
        StopRepeat();
}

LPCWSTR GDateSelCtrl::GetClassNameW() {
    return u"GDateSelCtrl";
}

int GDateSelCtrl::Create(HWND owner, int x, int y, int cx, int cy, double date) {
    m_hOwner = owner;
    if (!m_hFontDefault)
        m_hFontDefault = GetGlobalFontDef();
    if (!m_hFontBold)
        m_hFontBold = GetGlobalFontBold();
    if (!GAnimateWnd::Create(owner, u"", WS_POPUP | WS_BORDER, x, y, cx, cy))
        return 0;
    m_dSelDate = date;
    MoveWindow(x, y, cx, cy);
    return 1;
}

void GDateSelCtrl::MoveWindow(int x, int y, int cx, int cy) {
    const int s = ApplyHires(1);
    const int strip = m_bShowToday ? 18 * s : 0;
    m_nCellWidth = cx / 7 > 0 ? cx / 7 : 1;
    const int rows = (cy - strip - 35 * s) / 6;
    m_nCellHeight = rows > 0 ? rows : 1;
    if (m_hWnd) {
        const int w = 7 * m_nCellWidth + (s == 2 ? 5 : 3);
        const int h = 6 * m_nCellHeight + strip + (s == 2 ? 74 : 37);
        ::MoveWindow(m_hWnd, x, y, w, h, TRUE);
        RefreshClientRect();
    }
    const int width = Width();
    const int height = Height();
    m_rcHeader = RECT{0, 0, width, 18 * s};
    m_rcWeek = RECT{0, 18 * s, width, 35 * s};
    m_nCellTop = 35 * s;
    m_rcToday = RECT{0, height - strip, width, height};
    m_rcPrev = RECT{3 * s, 2 * s, 19 * s, 15 * s};
    m_rcNext = RECT{width - 19 * s, 2 * s, width - 3 * s, 15 * s};
    const int middle = width / 2;
    m_rcYear = RECT{21 * s, 0, middle + 10 * s, 18 * s};
    m_rcMonth = RECT{middle + 10 * s, 0, width - 21 * s, 18 * s};
    if (width > 0 && height > 0 && (m_dib.Width() != width || m_dib.Height() != height))
        m_dib.Create(width, height, 24);
    SetSelDate(m_dSelDate);
}

void GDateSelCtrl::ShownYearMonth(int& year, int& month) const {
    const GTime t(m_dSelDate);
    if (m_bJulian && t.IsValidJulian()) {
        year = t.GetJYear();
        month = t.GetJMonth();
    } else {
        year = t.GetYear();
        month = t.GetMonth();
    }
}

void GDateSelCtrl::SetSelDate(double date) {
    GTime t(date);
    if (date == kNoDate || !t.IsValidTime()) {
        const GTime now;
        t = GTime(now.GetYear(), now.GetMonth(), now.GetDay());
    }
    if (m_bJulian) {
        wsprintfW(m_szYear, GetGLibText(16), t.IsValidJulian() ? t.GetJYear() : -1);
        wsprintfW(m_szMonth, GetGLibText(17), t.IsValidJulian() ? t.GetJMonth() : 255);
    } else {
        wsprintfW(m_szYear, GetGLibText(16), t.GetYear());
        wsprintfW(m_szMonth, GetGLibText(17), t.GetMonth());
    }
    const GTime firstOfMonth(t.GetYear(), t.GetMonth(), 1);
    const double first = double(firstOfMonth) - (firstOfMonth.GetDayOfWeek() - 1);
    for (int i = 0; i < kCellCount; ++i) {
        const GTime c(first + i);
        const int col = i % 7, row = i / 7;
        const RECT rc{col * m_nCellWidth + 1, m_nCellTop + row * m_nCellHeight,
                      (col + 1) * m_nCellWidth + 1, m_nCellTop + (row + 1) * m_nCellHeight};
        int day = GDateCell::kNoDay;
        if (c.IsValidTime())
            day = m_bJulian ? (c.IsValidJulian() ? c.GetJDay() : GDateCell::kNoDay) : c.GetDay();
        const int inMonth = c.GetYear() == t.GetYear() && c.GetMonth() == t.GetMonth();
        m_cells[i].InitCell(rc, day, c.IsValidTime() ? c.GetDayOfWeek() : col + 1, inMonth);
    }
    const GTime now;
    const double today = DayOf(now) - first;
    m_nTodayCell = today >= 0 && today < kCellCount ? static_cast<int>(today) : -1;
    const double selDay = DayOf(t);
    const double sel = selDay - first;
    m_nSelCell = sel >= 0 && sel < kCellCount ? static_cast<int>(sel) : -1;
    m_nFrameCell = m_nSelCell;
    const bool firstChanged = first != m_dFirstDate;
    m_dFirstDate = first;
    m_dSelDate = double(t);
    if (firstChanged) {
        // The marks belong to cells, which now show other days.
        ResetBoldDay();
        Notify(kDateSelFirstChanged, static_cast<LPARAM>(selDay));
    }
    if (m_hWnd)
        Invalidate(0);
}

void GDateSelCtrl::Today() {
    const GTime now;
    SetSelDate(DayOf(now));
}

void GDateSelCtrl::Next() {
    const GTime t(m_dSelDate);
    if (!t.IsValidTime())
        return;
    const int month = t.GetMonth() == 12 ? 1 : t.GetMonth() + 1;
    const int year = t.GetMonth() == 12 ? t.GetYear() + 1 : t.GetYear();
    GTime n(t);
    if (n.SetDate(year, month, t.GetDay()))
        SetSelDate(double(n));
}

void GDateSelCtrl::Prev() {
    const GTime t(m_dSelDate);
    if (!t.IsValidTime())
        return;
    const int month = t.GetMonth() == 1 ? 12 : t.GetMonth() - 1;
    const int year = t.GetMonth() == 1 ? t.GetYear() - 1 : t.GetYear();
    GTime n(t);
    if (n.SetDate(year, month, t.GetDay()))
        SetSelDate(double(n));
}

void GDateSelCtrl::SetJulianMode(int lunar) {
    m_bJulian = lunar ? 1 : 0;
    SetSelDate(m_dSelDate);
}

void GDateSelCtrl::SetBoldDay(int day, int on) {
    if (day < 0 || day >= kCellCount)
        return;
    m_bBold[day] = on ? 1 : 0;
    if (m_hWnd) {
        const RECT rc = m_cells[day].GetRect();
        ::InvalidateRect(m_hWnd, &rc, FALSE);
    }
}

void GDateSelCtrl::SetBoldDay(int year, int month, int day, int on) {
    const GTime t(year, month, day);
    if (!t.IsValidTime())
        return;
    const double index = double(t) - m_dFirstDate;
    if (index >= 0 && index < kCellCount)
        SetBoldDay(static_cast<int>(index), on);
}

int GDateSelCtrl::GetBoldDay(int day) const {
    return day >= 0 && day < kCellCount ? m_bBold[day] : 0;
}

void GDateSelCtrl::ResetBoldDay() {
    for (int& b : m_bBold)
        b = 0;
    if (m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void GDateSelCtrl::Notify(UINT msg, LPARAM lParam) {
    if (m_hOwner)
        ::SendMessageW(m_hOwner, msg, reinterpret_cast<WPARAM>(m_hWnd), lParam);
}

LRESULT GDateSelCtrl::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_LBUTTONDOWN:
            return OnLbuttonDown(hwnd, msg, wParam, lParam);
        case WM_MOUSEMOVE:
            return OnMouseMove(hwnd, msg, wParam, lParam);
        case WM_LBUTTONUP:
            return OnLbuttonUp(hwnd, msg, wParam, lParam);
        case WM_TIMER:
            return OnTimer(hwnd, msg, wParam, lParam);
        case WM_KEYDOWN:
            return OnKeyDown(hwnd, msg, wParam, lParam);
        case WM_ERASEBKGND:
            return OnEraseBkgnd(hwnd, msg, wParam, lParam);
        case WM_KILLFOCUS:
            Notify(kDateSelLostFocus, 0);
            return 0;
        case WM_DESTROY:
            StopRepeat();
            m_bPenDown = 0;
            return GAnimateWnd::WndProc(hwnd, msg, wParam, lParam);
        default:
            return GAnimateWnd::WndProc(hwnd, msg, wParam, lParam);
    }
}

int GDateSelCtrl::CellAt(POINT point) const {
    if (m_nCellWidth <= 0 || m_nCellHeight <= 0 || point.y < m_nCellTop ||
        point.y >= m_nCellTop + 6 * m_nCellHeight || point.x < 0 || point.x >= 7 * m_nCellWidth + 1)
        return -1;
    const int row = (point.y - m_nCellTop) / m_nCellHeight;
    int col = point.x / m_nCellWidth;
    if (col > 6)
        col = 6;
    return row * 7 + col;
}

RECT GDateSelCtrl::FrameRectOf(int cell) const {
    RECT rc = m_cells[cell].GetRect();
    rc.left -= 1;
    return rc;
}

void GDateSelCtrl::DrawFrame(HDC hdc, int cell) {
    if (cell < 0 || cell >= kCellCount)
        return;
    const RECT rc = FrameRectOf(cell);
    const COLORREF c = GetGLibColor(eColorDateSelection);
    FrameRect(hdc, &rc, c, c, 0, ApplyHires(1),
              eFrameLeft | eFrameRight | eFrameTop | eFrameBottom);
}

void GDateSelCtrl::RestoreFromBitmap(HDC hdc, RECT rect) {
    if (!m_dib.GetSafeHandle())
        return;
    m_dib.BitBlt(hdc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 rect.left, rect.top);
}

void GDateSelCtrl::MoveFrame(int cell) {
    if (cell == m_nFrameCell || !m_hDC)
        return;
    // The bitmap holds the cell as painted, today's blend included, without any frame.
    if (m_nFrameCell >= 0)
        RestoreFromBitmap(m_hDC, FrameRectOf(m_nFrameCell));
    m_nFrameCell = cell;
    DrawFrame(m_hDC, cell);
}

void GDateSelCtrl::RedrawHeaderText() {
    if (m_hWnd)
        InvalidateRect(&m_rcHeader, 0);
}

void GDateSelCtrl::StopRepeat() {
    if (!m_hWnd)
        return;
    ::KillTimer(m_hWnd, kRepeatDelayTimer);
    ::KillTimer(m_hWnd, kRepeatTimer);
}

LRESULT GDateSelCtrl::OnLbuttonDown(HWND hwnd, UINT, WPARAM, LPARAM lParam) {
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    m_bPenDown = 1;
    m_ptPen = pt;
    ::SetCapture(hwnd);
    m_bOverPrev = ::PtInRect(&m_rcPrev, pt) ? 1 : 0;
    m_bOverNext = ::PtInRect(&m_rcNext, pt) ? 1 : 0;
    if (m_bOverPrev || m_bOverNext) {
        m_bPrevHeld = m_bOverPrev;
        m_bNextHeld = m_bOverNext;
        InvalidateRect(m_bOverPrev ? &m_rcPrev : &m_rcNext, 0);
        ::SetTimer(hwnd, kRepeatDelayTimer, kRepeatDelayMs, nullptr);
        return 0;
    }
    if (::PtInRect(&m_rcYear, pt) || ::PtInRect(&m_rcMonth, pt)) {
        m_nPressedText = ::PtInRect(&m_rcYear, pt) ? 1 : 2;
        RedrawHeaderText();
        return 0;
    }
    const int cell = CellAt(pt);
    if (cell >= 0)
        MoveFrame(cell);
    return 0;
}

LRESULT GDateSelCtrl::OnMouseMove(HWND hwnd, UINT, WPARAM, LPARAM lParam) {
    if (!m_bPenDown)
        return 0;
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    m_ptPen = pt;
    const int overPrev = ::PtInRect(&m_rcPrev, pt) ? 1 : 0;
    const int overNext = ::PtInRect(&m_rcNext, pt) ? 1 : 0;
    if (overPrev != m_bOverPrev || overNext != m_bOverNext) {
        const int wasPrev = m_bPrevHeld, wasNext = m_bNextHeld;
        m_bOverPrev = overPrev;
        m_bOverNext = overNext;
        m_bPrevHeld = overPrev;
        m_bNextHeld = overNext;
        ::KillTimer(hwnd, kRepeatDelayTimer);
        if (overPrev || overNext)
            ::SetTimer(hwnd, kRepeatTimer, kRepeatMs, nullptr);
        else
            ::KillTimer(hwnd, kRepeatTimer);
        if (wasPrev != m_bPrevHeld)
            InvalidateRect(&m_rcPrev, 0);
        if (wasNext != m_bNextHeld)
            InvalidateRect(&m_rcNext, 0);
    }
    if (!m_nPressedText && !m_bPrevHeld && !m_bNextHeld) {
        const int cell = CellAt(pt);
        if (cell >= 0)
            MoveFrame(cell);
    }
    return 0;
}

LRESULT GDateSelCtrl::OnTimer(HWND hwnd, UINT, WPARAM wParam, LPARAM) {
    if (wParam == kRepeatDelayTimer) {
        ::KillTimer(hwnd, kRepeatDelayTimer);
        ::SetTimer(hwnd, kRepeatTimer, kRepeatMs, nullptr);
    } else if (wParam == kRepeatTimer) {
        if (m_bPrevHeld)
            Prev();
        else if (m_bNextHeld)
            Next();
        else
            ::KillTimer(hwnd, kRepeatTimer);
    }
    return 0;
}

LRESULT GDateSelCtrl::OnLbuttonUp(HWND hwnd, UINT, WPARAM, LPARAM lParam) {
    if (!m_bPenDown)
        return 0;
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    m_bPenDown = 0;
    if (::GetCapture() == hwnd)
        ::ReleaseCapture();
    StopRepeat();
    const int wasHeld = m_bPrevHeld || m_bNextHeld;
    m_bPrevHeld = m_bNextHeld = 0;
    m_bOverPrev = m_bOverNext = 0;
    const int pressed = m_nPressedText;
    m_nPressedText = 0;
    if (wasHeld) {
        InvalidateRect(&m_rcPrev, 0);
        InvalidateRect(&m_rcNext, 0);
    }
    if (pressed)
        RedrawHeaderText();

    if (::PtInRect(&m_rcPrev, pt)) {
        Prev();
    } else if (::PtInRect(&m_rcNext, pt)) {
        Next();
    } else if (::PtInRect(&m_rcYear, pt)) {
        TrackYearMenu();
    } else if (::PtInRect(&m_rcMonth, pt)) {
        TrackMonthMenu();
    } else if (::PtInRect(&m_rcWeek, pt)) {
        Today();
    } else if (CellAt(pt) >= 0) {
        const int cell = CellAt(pt);
        m_nSelCell = cell;
        m_dSelDate = m_dFirstDate + cell;
        MoveFrame(cell);
        Notify(kDateSelChosen, static_cast<LPARAM>(m_dSelDate));
    } else if (m_bShowToday && ::PtInRect(&m_rcToday, pt)) {
        Today();
        Notify(kDateSelChosen, static_cast<LPARAM>(std::floor(m_dSelDate)));
    } else {
        MoveFrame(m_nSelCell);
    }
    return 0;
}

LRESULT GDateSelCtrl::OnKeyDown(HWND, UINT, WPARAM wParam, LPARAM) {
    const double sel = std::trunc(m_dSelDate);
    switch (wParam) {
        case VK_RETURN:
            Notify(kDateSelChosen, static_cast<LPARAM>(sel));
            break;
        case VK_LEFT:
            SetSelDate(sel - 1);
            break;
        case VK_RIGHT:
            SetSelDate(sel + 1);
            break;
        case VK_UP:
            SetSelDate(sel - 7);
            break;
        case VK_DOWN:
            SetSelDate(sel + 7);
            break;
        default:
            break;
    }
    return 0;
}

LRESULT GDateSelCtrl::OnEraseBkgnd(HWND, UINT, WPARAM wParam, LPARAM) {
    HDC dc = reinterpret_cast<HDC>(wParam);
    RECT box{0, 0, 0, 0};
    ::GetClipBox(dc, &box);
    if (box.right <= box.left || box.bottom <= box.top)
        return 1;
    if (m_dib.GetSafeHandle())
        RestoreFromBitmap(dc, box);
    else
        Draw(dc, box);
    return 1;
}

void GDateSelCtrl::SetShownYearMonth(int year, int month) {
    const GTime t(m_dSelDate);
    if (!t.IsValidTime())
        return;
    GTime n(t);
    if (m_bJulian && t.IsValidJulian()) {
        // A lunar day 30 that the chosen month lacks becomes its 29th.
        if (n.FromJulian(year, month, t.GetJDay()) || n.FromJulian(year, month, 29))
            SetSelDate(double(n));
        return;
    }
    if (n.SetDate(year, month, t.GetDay()))
        SetSelDate(double(n));
}

void GDateSelCtrl::TrackYearMenu() {
    int year = 0, month = 0;
    ShownYearMonth(year, month);
    HMENU menu = ::CreatePopupMenu();
    if (!menu)
        return;
    const int first = year < 1881 ? year : year - 1;
    int count = 0;
    for (; count < 5 && first + count < 2200; ++count) {
        WCHAR label[32];
        wsprintfW(label, GetGLibText(16), first + count);
        ::AppendMenuW(menu, MF_STRING, kYearMenuId + count, label);
    }
    if (count > 0 && year >= first && year < first + count)
        ::CheckMenuRadioItem(menu, kYearMenuId, kYearMenuId + count - 1,
                             kYearMenuId + (year - first), MF_BYCOMMAND);
    POINT p{m_rcYearText.left + ApplyHires(28), m_rcYearText.top - (IsHires() ? 45 : 22)};
    ClientToScreen(&p);
    const UINT id = static_cast<UINT>(
        ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_CENTERALIGN, p.x, p.y, 0, m_hWnd, nullptr));
    ::DestroyMenu(menu);
    if (id >= kYearMenuId && id < kYearMenuId + static_cast<UINT>(count))
        SetShownYearMonth(first + static_cast<int>(id - kYearMenuId), month);
    Invalidate(0);
}

void GDateSelCtrl::TrackMonthMenu() {
    int year = 0, month = 0;
    ShownYearMonth(year, month);
    HMENU menu = ::CreatePopupMenu();
    if (!menu)
        return;
    for (int m = 1; m <= 12; ++m) {
        WCHAR label[32];
        wsprintfW(label, GetGLibText(17), m);
        ::AppendMenuW(menu, MF_STRING | (m == month ? MF_CHECKED : 0), kMonthMenuId + m - 1, label);
    }
    // Placed so that the checked entry lies over the month text.
    POINT p{m_rcMonthText.left + ApplyHires(18),
            m_rcMonthText.top + 4 - (month - 1) * ApplyHires(18) - 8};
    ClientToScreen(&p);
    const UINT id = static_cast<UINT>(
        ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_CENTERALIGN, p.x, p.y, 0, m_hWnd, nullptr));
    ::DestroyMenu(menu);
    if (id >= kMonthMenuId && id < kMonthMenuId + 12)
        SetShownYearMonth(year, static_cast<int>(id - kMonthMenuId) + 1);
    Invalidate(0);
}
