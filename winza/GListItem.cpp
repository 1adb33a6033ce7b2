#include "winza/GListItem.h"

#include "winza/DrawHelpers.h"

GListItem::GListItem(LPCWSTR label, GArray* columns) : GItem(label), m_pColumns(columns) {}

void GListItem::DrawItem(HDC hdc, COLORREF back, COLORREF text, UINT format, int indent, int) {
    if (!hdc)
        return;
    FillSolidRect(hdc, &m_rcItem, back);
    if (!m_pLabel)
        return;
    RECT rc = m_rcItem;
    rc.left += indent;
    // Vertical placement only works on a single line.
    UINT f = format;
    if (f & (DT_VCENTER | DT_BOTTOM))
        f |= DT_SINGLELINE;
    const COLORREF old = ::SetTextColor(hdc, text);
    const int oldMode = ::SetBkMode(hdc, TRANSPARENT);
    ::DrawTextW(hdc, m_pLabel, -1, &rc, f);
    ::SetBkMode(hdc, oldMode);
    ::SetTextColor(hdc, old);
}
