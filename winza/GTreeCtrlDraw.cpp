// The tree control's layout, scroll bars and painting.
#include "winza/DrawHelpers.h"
#include "winza/GItem.h"
#include "winza/GTreeCtrl.h"
#include "winza/GTreeItem.h"

#include <platform/gdiguard.h>

#include <algorithm>

POSITION GTreeCtrl::GetFirstDrawPos() {
    if (!m_pTree || !m_pTree->GetTop())
        return nullptr;
    return m_pTree->GetTopPosition();
}

int GTreeCtrl::CalcItemsRecursive(HDC hdc, POSITION pos, int x, int y) {
    const int h = m_nItemHeight;
    int total = 0;
    for (; pos; pos = GetNextItem(pos)) {
        GItem* item = GetGItem(pos);
        int below = 0;
        if (item) {
            item->CalcItem(hdc, x, y, h);
            m_nContentWidth = std::max<int>(m_nContentWidth, item->GetItemRect().right);
            if (pos == m_posSel)
                m_bSelPlaced = 1;
            POSITION child = GetChildItem(pos);
            if (child && IsOpenAt(pos))
                below = CalcItemsRecursive(hdc, child, x + m_nIndent, y + h);
        }
        total += h + below;
        y += h + below;
    }
    return total;
}

int GTreeCtrl::DrawItemsRecursive(HDC hdc, POSITION pos, int x, int y) {
    const int s = ApplyHires(1);
    const int h = m_nItemHeight;
    const int g = m_nIndent - ApplyHires(6);
    int total = 0;
    for (; pos; pos = GetNextItem(pos)) {
        GItem* item = GetGItem(pos);
        GTreeItem* treeItem = dynamic_cast<GTreeItem*>(item);
        const int root = IsRoot(pos);
        const int selected = pos == m_posSel;
        const COLORREF back = selected ? m_crSelBack : m_crBack;
        const COLORREF text = selected ? m_crSelText : m_crText;
        int t = 0;
        if (treeItem) {
            treeItem->DrawItem(hdc, x, y, h, t, back, text);
        } else if (item) {
            item->CalcItem(hdc, x, y, h);
            item->DrawItem(hdc, text, back, selected);
        }
        if (item)
            m_nContentWidth = std::max<int>(m_nContentWidth, item->GetItemRect().right);
        const int m = (h - t) / 2;
        const int ym = y + 2 * s + h / 2 - m;
        RECT icon{x, y + 2 * s, x + 16 * s, y + h};

        if (m_bDrawLines) {
            if (!root)
                DrawDotVLine(hdc, x - g, y + 2 * s - h / 2 - m, s, h, m_crLine, 1);
            if (!root || m_bDrawRootLine)
                DrawDotHLine(hdc, x - g, ym, g + s, s, m_crLine, 1);
        }
        POSITION child = GetChildItem(pos);
        const int open = treeItem && treeItem->IsOpen();
        if (child) {
            RECT box{x - g - 4 * s, ym - 4 * s, x - g + 5 * s, ym + 5 * s};
            if (!root || m_bDrawRootLine)
                DrawPlusMinus(hdc, &box, 0xC0C0C0, 0x000000, !open);
            // Later connector lines must not cross the box.
            ::ExcludeClipRect(hdc, box.left, box.top, box.right, box.bottom);
        }
        DrawItemIcon(hdc, &icon, item, open && child ? 1 : 0);
        ::ExcludeClipRect(hdc, icon.left, icon.top, icon.right, icon.bottom);

        int below = 0;
        if (open && child)
            below = DrawItemsRecursive(hdc, child, x + m_nIndent, y + h);
        if (m_bDrawLines && below > 0 && !root && GetNextItem(pos))
            DrawDotVLine(hdc, x - g, ym, s, below, m_crLine, 1);
        total += h + below;
        y += h + below;
    }
    return total;
}

void GTreeCtrl::DrawItemIcon(HDC, RECT*, GItem*, int) {}

void GTreeCtrl::DrawPlusMinus(HDC hdc, RECT* box, COLORREF frame, COLORREF sign, int plus) {
    if (!hdc || !box)
        return;
    const int s = ApplyHires(1);
    const RECT& b = *box;
    FillSolidRect(hdc, box, m_crBack);
    FrameRect(hdc, box, frame, frame, 0, s, eFrameLeft | eFrameTop | eFrameRight | eFrameBottom);
    const int w = b.right - b.left;
    const int hgt = b.bottom - b.top;
    // The bars sit one pixel higher (and further left) in high resolution, on the middle of
    // an even-sized box.
    const int lift = IsHires() ? 1 : 0;
    FillSolidRect(hdc, b.left + 2 * s, b.top + hgt / 2 - lift, w - 4 * s, s, sign);
    if (plus)
        FillSolidRect(hdc, b.left + w / 2 - lift, b.top + 2 * s, s, hgt - 4 * s, sign);
}

void GTreeCtrl::Draw(HDC hdc, RECT clip) {
    ::SetBkMode(hdc, TRANSPARENT);
    FillSolidRect(hdc, &clip, m_crBack);
    POSITION first = GetFirstDrawPos();
    if (first) {
        gdi::Select font(hdc, m_hFont);
        const int x = m_rcClient.left + m_nFirstIndentX - m_sbHorz.GetScrollPos();
        const int y = m_nFirstIndentY - m_sbVert.GetScrollPos();
        m_nContentHeight = DrawItemsRecursive(hdc, first, x, y);
    }
    ::SelectClipRgn(hdc, nullptr);
}

void GTreeCtrl::UpdateScroll(int keepSelectionVisible, int redraw) {
    if (!m_hWnd || !m_sbVert.GetSafeHwnd() || !m_sbHorz.GetSafeHwnd())
        return;
    POSITION first = GetFirstDrawPos();
    if (!first) {
        // Nothing to show: no bars either.
        HideScrollBars();
        if (redraw)
            Invalidate(0);
        return;
    }
    const int s = ApplyHires(1);
    const int thick = ScrollThickness();
    const int scrollX = m_sbHorz.GetScrollPos();
    const int scrollY = m_sbVert.GetScrollPos();
    m_nContentWidth = 0;
    m_bSelPlaced = 0;
    {
        gdi::Select font(m_hDC, m_hFont);
        const int x = m_rcClient.left + m_nFirstIndentX - scrollX;
        const int y = m_nFirstIndentY - scrollY;
        m_nContentHeight = CalcItemsRecursive(m_hDC, first, x, y);
    }
    // Rows were placed where they show; the width counts from the unscrolled origin.
    m_nContentWidth += scrollX;

    int h = Height();
    int w = Width();
    bool needV = m_nContentHeight > h;
    if (needV)
        w -= thick;
    const bool needH = m_nContentWidth > w;
    if (needH)
        h -= thick;
    if (!needV && m_nContentHeight > h) {
        needV = true;
        w -= thick;
    }

    PlaceScrollBar(1, needV, needH, m_nContentHeight + 2 * s, h, m_nItemHeight);
    if (needV && keepSelectionVisible && m_posSel && m_bSelPlaced) {
        const RECT r = GetGItem(m_posSel) ? GetGItem(m_posSel)->GetItemRect() : RECT{};
        KeepInView(r.top, r.bottom, h);
    }
    PlaceScrollBar(0, needH, needV, m_nContentWidth + 2 * s, w, 10 * s);
    ShowScrollBars(needV, needH);
    if (redraw)
        Invalidate(0);
}
