#include "scribbo/GColorMenu.h"

#include "scribbo/LanguageText.h"
#include "scribbo/Palette.h"
#include "winza/DrawHelpers.h"
#include "winza/GLib.h"
#include "winza/Hires.h"

namespace {

int HasLabel(const GVButton* item) {
    return item->GetLabel() && item->GetLabel()[0];
}

} // namespace

COLORREF ComplementColor(COLORREF colour) {
    return RGB(255 - GetRValue(colour), 255 - GetGValue(colour), 255 - GetBValue(colour));
}

// ---- Items -----------------------------------------------------------------------------------

GColorMenuItem::GColorMenuItem(int id) : GMenuItem(id) {}

void GColorMenuItem::DrawFrame(HDC hdc) {
    if (IsSeparator() || HasLabel(this)) {
        GMenuItem::DrawFrame(hdc);
        if (GetSubMenu() && !IsSeparator()) {
            // The entry that opens the grid shows the colour it stands for, left of the arrow.
            const int side = (m_rcButton.bottom - m_rcButton.top) - 2 * ApplyHires(4);
            const int right =
                m_rcButton.right - (IsHires() ? 10 : 6) - ApplyHires(4) - ApplyHires(4);
            RECT swatch{right - side, m_rcButton.top + ApplyHires(4), right,
                        m_rcButton.top + ApplyHires(4) + side};
            FrameRect(hdc, &swatch, GetGLibColor(eColorEdge), GetGLibColor(eColorEdge), m_crColor,
                      1, eFrameAll);
        }
        return;
    }
    m_rcContent = m_rcButton;
    RECT rc = m_rcButton;
    ::InflateRect(&rc, -3, -2);
    const int highlighted = GetFlag(kMenuItemHighlight);
    const int focus = GetFlag(eVBFocus);
    COLORREF edge = GetGLibColor(eColorEdge);
    if (highlighted && focus) {
        edge = GetGLibColor(eColorMenuFocus);
    } else if (highlighted) {
        RECT outer = rc;
        ::InflateRect(&outer, 1, 1);
        FillSolidRect(hdc, &outer, GetGLibColor(eColorMenuHighlight));
        edge = ComplementColor(m_crColor);
    } else if (focus) {
        edge = GetGLibColor(eColorMenuFocus);
    }
    FrameRect(hdc, &rc, edge, edge, m_crColor, 1, eFrameAll);
    if (GetSubMenu()) {
        const int right = m_rcButton.right - (IsHires() ? 10 : 6);
        RECT arrow{right - ApplyHires(4), m_rcButton.top, right, m_rcButton.bottom};
        DrawArrow(hdc, eArrowRight, &arrow,
                  GetGLibColor(highlighted ? eColorMenuHighlightText : eColorMenuText));
    }
}

void GColorMenuItem::DrawImage(HDC) {}

void GColorMenuItem::DrawLable(HDC hdc, int format) {
    if (HasLabel(this))
        GMenuItem::DrawLable(hdc, format);
}

// ---- Column menu ----------------------------------------------------------------------------

GColorMenu::GColorMenu() {
    SetTrans(0);
    m_nBottomMargin = 2;
}

LRESULT GColorMenu::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kColorMenuSetColor) {
        // From the grid: the entry that opened it takes the colour and becomes the choice.
        const int index = m_nOpenSubIndex >= 0 ? m_nOpenSubIndex : m_nCurIndex;
        if (GColorMenuItem* item = GetColorItem(index)) {
            item->SetColor(static_cast<COLORREF>(lParam));
            m_nChosen = index;
        }
        return 0;
    }
    return GMenu::WndProc(hwnd, msg, wParam, lParam);
}

void GColorMenu::Draw(HDC hdc, RECT clip) {
    if (GColorMenuItem* item = GetColorItem(m_nCurIndex))
        m_crCurrent = item->GetColor();
    GMenu::Draw(hdc, clip);
}

int GColorMenu::TrackPopupGMenu(int flags, int x, int y, int alreadyShown) {
    m_nChosen = -1;
    const int result = GMenu::TrackPopupGMenu(flags, x, y, alreadyShown);
    if (result >= 0)
        if (GColorMenuItem* item = GetColorItem(m_nChosen))
            m_crCurrent = item->GetColor();
    return result;
}

int GColorMenu::HitItem(POINT pt) {
    m_nHitIndex = -1;
    RECT inner = m_rcClient;
    ::InflateRect(&inner, -m_nBorder, -m_nBorder);
    if (pt.x < inner.left || pt.x >= inner.right || pt.y < inner.top || pt.y >= inner.bottom ||
        m_nItemHeight <= 0)
        return -1;
    const int index = (pt.y - m_nBorder) / m_nItemHeight;
    for (int i = 0; i < m_items.GetSize(); ++i)
        ItemAt(i)->SetFlag(i == index && IsSelectable(i), kMenuItemHighlight, nullptr, 0);
    if (index >= m_items.GetSize())
        return -1;
    m_nHitIndex = IsSelectable(index) ? index : kMenuSeparatorId;
    return m_nHitIndex;
}

int GColorMenu::OnVLbuttonUp(HWND hwnd, POINT pt) {
    const int hit = HitItem(pt);
    if (IsSelectable(hit))
        m_nChosen = hit;
    return GMenu::OnVLbuttonUp(hwnd, pt);
}

int GColorMenu::OnVKeyDown(HWND hwnd, int key, int data) {
    if (key == VK_RETURN || key == VK_RIGHT)
        m_nChosen = m_nCurIndex;
    return GMenu::OnVKeyDown(hwnd, key, data);
}

GColorMenuItem* GColorMenu::NewItem(int id, LPCWSTR text, int indent) {
    GColorMenuItem* item = new GColorMenuItem(id);
    item->Create(RECT{0, 0, 0, 0}, id);
    item->SetLabel(text, DT_LEFT, m_nLabelMargin);
    item->SetIndent(indent);
    item->SetIconWidth(m_nIconWidth);
    return item;
}

GColorMenuItem* GColorMenu::AppendColor(int id, COLORREF colour, LPCWSTR text, int indent) {
    for (int i = 0; i < m_items.GetSize(); ++i) {
        GColorMenuItem* item = GetColorItem(i);
        if (item && !item->IsSeparator() && item->GetColor() == colour)
            return item;
    }
    GColorMenuItem* item = NewItem(id, text, indent);
    item->SetColor(colour);
    m_items.Add(item);
    return item;
}

GColorMenuItem* GColorMenu::AppendColorMenu(GMenu* submenu, COLORREF colour, LPCWSTR text,
                                            int indent, int id) {
    if (!submenu || submenu == this || !submenu->GetSafeHwnd())
        return nullptr;
    for (GMenu* m = this; m; m = m->GetParentMenu())
        if (m == submenu)
            return nullptr;
    GColorMenuItem* item = NewItem(id, text, indent);
    item->SetColor(colour);
    item->SetSubMenu(submenu);
    submenu->SetParentMenu(this);
    m_items.Add(item);
    return item;
}

GColorMenuItem* GColorMenu::GetColorItem(int position) const {
    if (position < 0 || position >= m_items.GetSize())
        return nullptr;
    return dynamic_cast<GColorMenuItem*>(ItemAt(position));
}

int GColorMenu::SelectColor(COLORREF colour) {
    for (int i = 0; i < m_items.GetSize(); ++i) {
        GColorMenuItem* item = GetColorItem(i);
        if (item && !item->IsSeparator() && !HasLabel(item) && item->GetColor() == colour) {
            SetCurIndex(i);
            m_crCurrent = colour;
            return i;
        }
    }
    SetCurIndex(-1);
    return -1;
}

int BuildPaletteColorMenu(GColorMenu* menu, GCustomColorMenu* grid, int id, int column,
                          COLORREF value) {
    if (!menu || !grid || column < 0 || column >= kPaletteColumns)
        return 0;
    for (int row = 0; row < 12; ++row)
        menu->AppendColor(id, PaletteColors[row][column], nullptr, 0);
    grid->SetCurColor(value);
    menu->AppendColorMenu(grid, value, GetLangText(40), 0, id);
    menu->SelectColor(value);
    menu->SetCurColor(value);
    return menu->GetMenuItemCount();
}
