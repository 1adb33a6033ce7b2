// A bitmap cut into equal cells, the icons that buttons, menus and lists draw. Cell i lies at
// row i / columns, column i % columns; the bitmap's transparent colour is the key of all cells.
#pragma once

#include "fundo/GDib.h"

#include <windows.h>

class GImageList : public GDib {
public:
    GImageList() = default;
    GImageList(const GImageList&) = delete;
    GImageList& operator=(const GImageList&) = delete;
    ~GImageList() override = default;
    void Free() override;

    // An empty list with room for rows x columns cells, filled with the key; count 0.
    int CreateImageList(int cx, int cy, int columns, int rows, COLORREF key);
    // A copy of the strip cut into cells; every cell counts.
    int CreateImageList(int cx, int cy, const GDib* strip, COLORREF key);
    // 0 when any size of the source is not positive.
    int CopyImageList(const GImageList* source);

    // Appends one cell; its index, or -1.
    int AddImageItem(HICON icon);
    int AddImageItem(const GImageList* source, int index);

    // Nothing outside 0 .. count - 1 (or outside the cells).
    void Draw(HDC hdc, int x, int y, int index, int opacity, int transparent) const;
    void Draw(HDC hdc, int x, int y, int row, int column, int opacity, int transparent) const;

    int GetItemSize() const { return m_nCount; }
    void SetItemSize(int count) { m_nCount = count; }
    int GetItemWidth() const { return m_nItemWidth; }
    int GetItemHeight() const { return m_nItemHeight; }
    int GetRow() const { return m_nRow; }
    int GetColumn() const { return m_nColumn; }

private:
    void Clear();
    // One row more when the list is full; 0 (the list emptied) when that fails.
    int MakeRoom();
    void CellOrigin(int index, int* x, int* y) const;

    int m_nRow = 0;
    int m_nColumn = 0;
    int m_nCount = 0;
    int m_nItemWidth = 0;
    int m_nItemHeight = 0;
};

// The toolkit's standard icons as an image list (square cells of GetGLibIconSize()); null
// before InitGLibControl or without the icon resource. Indices 6-9 are the radio and
// check-box looks.
GImageList* GetGLibImageList();
