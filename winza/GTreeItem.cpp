#include "winza/GTreeItem.h"

#include "winza/DrawHelpers.h"
#include "winza/GImageList.h"
#include "winza/Hires.h"

GTreeItem::GTreeItem(LPCWSTR label) : GItem(label) {}

GTreeItem::~GTreeItem() = default;

SIZE GTreeItem::MeasureLabel(HDC hdc) const {
    SIZE size{0, 0};
    if (!hdc)
        return size;
    if (m_pLabel && ::GetTextExtentPoint32W(hdc, m_pLabel, lstrlenW(m_pLabel), &size))
        return size;
    // An empty label still has the font's height.
    TEXTMETRICW tm{};
    if (::GetTextMetricsW(hdc, &tm))
        size.cy = tm.tmHeight;
    size.cx = 0;
    return size;
}

void GTreeItem::CalcItem(HDC hdc, int x, int y, int height) {
    const SIZE label = MeasureLabel(hdc);
    m_rcItem = RECT{x, y, x + label.cx + ApplyHires(22), y + height};
}

void GTreeItem::DrawItem(HDC hdc, int x, int y, int height, int& textHeight, const COLORREF& back,
                         const COLORREF& text) {
    const SIZE label = MeasureLabel(hdc);
    m_rcItem = RECT{x, y, x + label.cx + ApplyHires(22), y + height};
    textHeight = label.cy + ApplyHires(1);
    if (!hdc)
        return;
    if (m_pImageList && m_nImage >= 0)
        m_pImageList->Draw(hdc, x + ApplyHires(2), y + ApplyHires(3), m_nImage, 255, 1);
    const RECT box{x + ApplyHires(18), y + ApplyHires(2), m_rcItem.right + ApplyHires(1),
                   y + height - ApplyHires(2)};
    FillSolidRect(hdc, &box, back);
    if (!m_pLabel)
        return;
    const int oldMode = ::SetBkMode(hdc, TRANSPARENT);
    const COLORREF oldColor = ::SetTextColor(hdc, text);
    RECT rc{box.left + (IsHires() ? 6 : 2), box.top + ApplyHires(2), box.right + ApplyHires(4),
            box.bottom + ApplyHires(4)};
    ::DrawTextW(hdc, m_pLabel, -1, &rc, DT_SINGLELINE | DT_NOCLIP);
    ::SetTextColor(hdc, oldColor);
    ::SetBkMode(hdc, oldMode);
}
