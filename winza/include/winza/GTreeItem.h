// A row of the tree control: an item with an open flag that places and draws itself at the
// position the tree gives it.
#pragma once

#include "winza/GItem.h"

class GTreeItem : public GItem {
public:
    GTreeItem() = default;
    explicit GTreeItem(LPCWSTR label);
    ~GTreeItem() override;

    // The item rectangle of a row at (x, y), height pixels high: as wide as the label plus
    // room for the icon.
    void CalcItem(HDC hdc, int x, int y, int height) override;
    using GItem::DrawItem;
    // Places the row, then draws its image, the label box in back and the label in text.
    // textHeight gets the label's height plus one pixel (two in high resolution).
    void DrawItem(HDC hdc, int x, int y, int height, int& textHeight, const COLORREF& back,
                  const COLORREF& text);

    int IsOpen() const { return m_bOpen; }
    void SetOpen(int open) { m_bOpen = open ? 1 : 0; }

protected:
    // Width and height of the label on one line.
    SIZE MeasureLabel(HDC hdc) const;

    int m_bOpen = 0;
};
