// A row of the list control: an item that knows the control's column widths and draws its
// label over a filled rectangle.
#pragma once

#include "winza/GItem.h"

class GArray;

class GListItem : public GItem {
public:
    GListItem() = default;
    explicit GListItem(LPCWSTR label, GArray* columns = nullptr);

    void SetColumns(GArray* columns) { m_pColumns = columns; }
    GArray* GetColumns() const { return m_pColumns; }

    using GItem::DrawItem;
    // Fills the item rectangle with back and draws the label in text from indent pixels in.
    // Format bit 4 centres the label vertically, bit 8 puts it at the bottom.
    virtual void DrawItem(HDC hdc, COLORREF back, COLORREF text, UINT format, int indent,
                          int selected);

protected:
    GArray* m_pColumns = nullptr;
};
