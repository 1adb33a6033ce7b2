// The palette grid: cells instead of items, its current cell in place of the current item.
#include "scribbo/GColorMenu.h"

#include "scribbo/Palette.h"
#include "winza/DrawHelpers.h"
#include "winza/GLib.h"
#include "winza/Hires.h"
#include "winza/WinzaUtil.h"

namespace {

constexpr int kCells = kPaletteRows * kPaletteColumns;

COLORREF CellColor(int cell) {
    return PaletteColors[cell / kPaletteColumns][cell % kPaletteColumns];
}

int IsCell(int cell) {
    return cell >= 0 && cell < kCells;
}

} // namespace

GCustomColorMenu::GCustomColorMenu()
    : m_nSpacing(ApplyHires(2)), m_nCellWidth(ApplyHires(13)), m_nCellHeight(ApplyHires(13)) {}

void GCustomColorMenu::SetCurCell(int cell) {
    m_nCurIndex = IsCell(cell) ? cell : -1;
    Repaint();
}

RECT GCustomColorMenu::GetCellRect(int cell) const {
    if (!IsCell(cell))
        return RECT{0, 0, 0, 0};
    const int left = m_nBorder + m_nSpacing + (cell % kPaletteColumns) * m_nCellWidth;
    const int top = m_nBorder + m_nSpacing + (cell / kPaletteColumns) * m_nCellHeight;
    return RECT{left, top, left + m_nCellWidth, top + m_nCellHeight};
}

void GCustomColorMenu::MeasureAllItem(HDC, RECT& rect) {
    rect = RECT{0, 0, (m_nBorder + m_nSpacing) * 2 + kPaletteColumns * m_nCellWidth,
                (m_nBorder + m_nSpacing) * 2 + kPaletteRows * m_nCellHeight};
}

int GCustomColorMenu::HitItem(POINT pt) {
    RECT inner = m_rcClient;
    ::InflateRect(&inner, -(m_nBorder + m_nSpacing), -(m_nBorder + m_nSpacing));
    int cell = -1;
    if (pt.x >= inner.left && pt.x < inner.right && pt.y >= inner.top && pt.y < inner.bottom) {
        const int column = (pt.x - m_nBorder - m_nSpacing) / m_nCellWidth;
        const int row = (pt.y - m_nBorder - m_nSpacing) / m_nCellHeight;
        if (column < kPaletteColumns && row < kPaletteRows)
            cell = row * kPaletteColumns + column;
    }
    m_nHitIndex = cell;
    return cell;
}

void GCustomColorMenu::Draw(HDC hdc, RECT) {
    RECT rc = m_rcClient;
    FrameRect(hdc, &rc, GetGLibColor(eColorEdge), GetGLibColor(eColorEdge),
              GetGLibColor(eColorRaised), m_nBorder, eFrameAll);
    // The current cell last, so its outline is not painted over by its neighbours.
    for (int pass = 0; pass < 2; ++pass) {
        for (int cell = 0; cell < kCells; ++cell) {
            const int current = cell == m_nCurIndex;
            if (current != pass)
                continue;
            RECT at = GetCellRect(cell);
            ::InflateRect(&at, -ApplyHires(1), -ApplyHires(1));
            const COLORREF colour = CellColor(cell);
            COLORREF edge = GetGLibColor(eColorEdge);
            if (current) {
                RECT outer = at;
                ::InflateRect(&outer, 1, 1);
                FillSolidRect(hdc, &outer, GetGLibColor(eColorMenuHighlight));
                edge = ComplementColor(colour);
            }
            FrameRect(hdc, &at, edge, edge, colour, 1, eFrameAll);
        }
    }
}

int GCustomColorMenu::TrackPopupGMenu(int flags, int x, int y, int alreadyShown) {
    m_nChosenCell = -1;
    if (!alreadyShown) {
        m_nCurIndex = -1;
        for (int cell = 0; cell < kCells; ++cell)
            if (CellColor(cell) == m_crCurrent) {
                m_nCurIndex = cell;
                break;
            }
    }
    const int result = GMenu::TrackPopupGMenu(flags, x, y, alreadyShown);
    if (result == eGMenuChooseOpener && IsCell(m_nChosenCell)) {
        m_crCurrent = CellColor(m_nChosenCell);
        if (m_pParentMenu && m_pParentMenu->GetSafeHwnd())
            ::SendMessageW(m_pParentMenu->GetSafeHwnd(), kColorMenuSetColor, 0,
                           static_cast<LPARAM>(m_crCurrent));
    }
    return result;
}

// Ends with "choose": the current cell is kept, since hiding forgets it.
int GCustomColorMenu::Choose() {
    m_nChosenCell = m_nCurIndex;
    return CloseWithResult(eGMenuChooseOpener);
}

int GCustomColorMenu::CloseToParent() {
    CloseWithResult(eGMenuClosed);
    if (m_pParentMenu)
        ReturnToParent();
    return eGMenuClosed;
}

int GCustomColorMenu::OnVLbuttonDown(HWND hwnd, POINT pt) {
    const int cell = HitItem(pt);
    if (IsCell(cell)) {
        if (cell != m_nCurIndex)
            SetCurCell(cell);
        m_ptLast = pt;
        return eGMenuKeepTracking;
    }
    if (pt.x >= m_rcClient.left && pt.x < m_rcClient.right && pt.y >= m_rcClient.top &&
        pt.y < m_rcClient.bottom) {
        m_ptLast = pt;
        return eGMenuKeepTracking; // the frame and the gaps belong to the grid
    }
    // Outside: closed, handed to the parent or forwarded as any menu does it.
    const int kept = m_nCurIndex;
    const int result = GMenu::OnVLbuttonDown(hwnd, pt);
    if (result == eGMenuKeepTracking)
        m_nCurIndex = kept;
    return result;
}

int GCustomColorMenu::OnVLbuttonUp(HWND, POINT pt) {
    if (!m_hWnd || !::IsWindowVisible(m_hWnd))
        return eGMenuClosed;
    const int cell = HitItem(pt);
    m_ptLast = pt;
    if (!IsCell(cell))
        return eGMenuKeepTracking;
    m_nCurIndex = cell;
    return Choose();
}

int GCustomColorMenu::OnVMouseMove(HWND hwnd, POINT pt) {
    const int cell = HitItem(pt);
    if (IsCell(cell)) {
        if (cell != m_nCurIndex)
            SetCurCell(cell);
        m_ptLast = pt;
        return eGMenuKeepTracking;
    }
    if (pt.x >= m_rcClient.left && pt.x < m_rcClient.right && pt.y >= m_rcClient.top &&
        pt.y < m_rcClient.bottom) {
        m_ptLast = pt;
        return eGMenuKeepTracking;
    }
    // Off the grid: back to the parent when the pen is over another of its entries.
    const int kept = m_nCurIndex;
    const int result = GMenu::OnVMouseMove(hwnd, pt);
    if (result == eGMenuKeepTracking)
        m_nCurIndex = kept;
    return result;
}

int GCustomColorMenu::OnVKeyDown(HWND, int key, int) {
    if (!m_bKeyStateValid)
        return eGMenuKeepTracking;
    const int cur = m_nCurIndex;
    const int column = IsCell(cur) ? cur % kPaletteColumns : 0;
    const int rowStart = IsCell(cur) ? cur - column : 0;
    switch (key) {
        case VK_RETURN:
            if (IsCell(cur))
                return Choose();
            return CloseToParent();
        case VK_ESCAPE:
            return CloseToParent();
        case VK_LEFT:
            if (cur <= 0) {
                // On the first cell: a submenu gives the pen back, a grid of its own stays.
                if (m_pParentMenu)
                    return CloseToParent();
                if (cur < 0)
                    SetCurCell(0);
                return eGMenuKeepTracking;
            }
            SetCurCell(rowStart + (column + kPaletteColumns - 1) % kPaletteColumns);
            return eGMenuKeepTracking;
        case VK_RIGHT:
            SetCurCell(IsCell(cur) ? rowStart + (column + 1) % kPaletteColumns : 0);
            return eGMenuKeepTracking;
        case VK_UP:
            SetCurCell(IsCell(cur) ? (cur + kCells - kPaletteColumns) % kCells : 0);
            return eGMenuKeepTracking;
        case VK_DOWN:
            SetCurCell(IsCell(cur) ? (cur + kPaletteColumns) % kCells : 0);
            return eGMenuKeepTracking;
        default:
            Repaint();
            return eGMenuKeepTracking;
    }
}
