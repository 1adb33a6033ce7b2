#include "winza/GImageList.h"
#include "winza/GLib.h"
#include "winza/GLibState.h"
#include "winza/GlobalDC.h"

#include <platform/gdiguard.h>

#include <climits>

namespace {

bool SizesFit(int cx, int cy, int columns, int rows) {
    return cx > 0 && cy > 0 && columns > 0 && rows > 0 && cx <= INT_MAX / columns &&
           cy <= INT_MAX / rows;
}

} // namespace

void GImageList::Free() {
    GDib::Free();
    Clear();
}

void GImageList::Clear() {
    m_nRow = m_nColumn = m_nCount = m_nItemWidth = m_nItemHeight = 0;
}

int GImageList::CreateImageList(int cx, int cy, int columns, int rows, COLORREF key) {
    Free();
    if (!SizesFit(cx, cy, columns, rows) || !Create(cx * columns, cy * rows, 24))
        return 0;
    SetBackColor(key);
    SetTransColor(key);
    m_nItemWidth = cx;
    m_nItemHeight = cy;
    m_nColumn = columns;
    m_nRow = rows;
    m_nCount = 0;
    return 1;
}

int GImageList::CreateImageList(int cx, int cy, const GDib* strip, COLORREF key) {
    if (strip == this || !strip || cx <= 0 || cy <= 0)
        return 0;
    const int columns = strip->Width() / cx;
    const int rows = strip->Height() / cy;
    Free();
    if (columns <= 0 || rows <= 0 || !CopyDib(strip))
        return 0;
    if (GetBitCount() != 24 && !ConvertBitCount(24)) {
        Free();
        return 0;
    }
    SetTransColor(key);
    m_nItemWidth = cx;
    m_nItemHeight = cy;
    m_nColumn = columns;
    m_nRow = rows;
    m_nCount = rows * columns;
    return 1;
}

int GImageList::CopyImageList(const GImageList* source) {
    if (!source || source == this)
        return 0;
    if (source->m_nRow <= 0 || source->m_nColumn <= 0 || source->m_nItemWidth <= 0 ||
        source->m_nItemHeight <= 0 || source->m_nCount < 0)
        return 0;
    Free();
    if (!CopyDib(source))
        return 0;
    m_nRow = source->m_nRow;
    m_nColumn = source->m_nColumn;
    m_nCount = source->m_nCount;
    m_nItemWidth = source->m_nItemWidth;
    m_nItemHeight = source->m_nItemHeight;
    return 1;
}

void GImageList::CellOrigin(int index, int* x, int* y) const {
    *x = (index % m_nColumn) * m_nItemWidth;
    *y = (index / m_nColumn) * m_nItemHeight;
}

int GImageList::MakeRoom() {
    if (m_nColumn <= 0 || m_nItemWidth <= 0 || m_nItemHeight <= 0 || !GetSafeHandle())
        return 0;
    if (m_nCount < m_nRow * m_nColumn)
        return 1;
    // Create empties the fields through Free, so they are kept aside.
    const COLORREF key = QuadToColor(GetTransColor());
    const int cx = m_nItemWidth, cy = m_nItemHeight, columns = m_nColumn, count = m_nCount;
    const int rows = m_nRow + 1;
    GDib old;
    if (!SizesFit(cx, cy, columns, rows) || !SwapDib(&old) ||
        !Create(cx * columns, cy * rows, 24)) {
        Free();
        return 0;
    }
    SetBackColor(key);
    SetTransColor(key);
    old.DrawDib(this, 0, 0, old.Width(), old.Height(), 0, 0, old.Width(), old.Height(), 1, 255, 0);
    m_nItemWidth = cx;
    m_nItemHeight = cy;
    m_nColumn = columns;
    m_nRow = rows;
    m_nCount = count;
    return 1;
}

int GImageList::AddImageItem(HICON icon) {
    if (!icon)
        return -1;
    HDC mem = GetGlobalMemDC();
    if (!mem || !MakeRoom())
        return -1;
    int x = 0, y = 0;
    CellOrigin(m_nCount, &x, &y);
    gdi::Select sel(mem, GetSafeHandle());
    ::DrawIconEx(mem, x, y, icon, m_nItemWidth, m_nItemHeight, 0, nullptr, DI_NORMAL);
    return m_nCount++;
}

int GImageList::AddImageItem(const GImageList* source, int index) {
    if (!source || index < 0 || index >= source->m_nCount || source->m_nItemWidth != m_nItemWidth ||
        source->m_nItemHeight != m_nItemHeight)
        return -1;
    if (source == this)
        return -1;
    if (!MakeRoom())
        return -1;
    int x = 0, y = 0, sx = 0, sy = 0;
    CellOrigin(m_nCount, &x, &y);
    source->CellOrigin(index, &sx, &sy);
    source->DrawDib(this, x, y, m_nItemWidth, m_nItemHeight, sx, sy, m_nItemWidth, m_nItemHeight, 1,
                    255, 1);
    return m_nCount++;
}

void GImageList::Draw(HDC hdc, int x, int y, int index, int opacity, int transparent) const {
    if (index < 0 || index >= m_nCount || m_nColumn <= 0)
        return;
    Draw(hdc, x, y, index / m_nColumn, index % m_nColumn, opacity, transparent);
}

void GImageList::Draw(HDC hdc, int x, int y, int row, int column, int opacity,
                      int transparent) const {
    if (!hdc || row < 0 || row >= m_nRow || column < 0 || column >= m_nColumn)
        return;
    DrawDib(hdc, x, y, m_nItemWidth, m_nItemHeight, column * m_nItemWidth, row * m_nItemHeight,
            m_nItemWidth, m_nItemHeight, 1, opacity, transparent, SRCCOPY);
}

GImageList* GetGLibImageList() {
    // The pin shares the strip's section, so a strip rebuilt by a later start-up can never
    // come back under the handle the list was made from.
    GLibState& s = GetGLibState();
    if (!s.iconList)
        s.iconList = new GImageList;
    GImageList* list = s.iconList;
    GDib*& pin = s.iconPin;
    GDib* strip = GetGLibIconStrip();
    if (!strip || !strip->GetSafeHandle()) {
        list->Free();
        delete pin;
        pin = nullptr;
        return nullptr;
    }
    if (!pin || pin->GetSafeHandle() != strip->GetSafeHandle() || !list->GetSafeHandle()) {
        delete pin;
        pin = nullptr;
        const int cell = GetGLibIconSize();
        if (!list->CreateImageList(cell, cell, strip, RGB(255, 0, 255)))
            return nullptr;
        pin = new GDib(*strip);
    }
    return list;
}
