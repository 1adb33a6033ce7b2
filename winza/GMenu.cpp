#include "winza/GMenu.h"

#include "winza/DrawHelpers.h"
#include "winza/GImageList.h"
#include "winza/GLib.h"

#include <platform/gdiguard.h>

#include <algorithm>

namespace {

int Contains(const RECT& rc, POINT pt) {
    return pt.x >= rc.left && pt.x < rc.right && pt.y >= rc.top && pt.y < rc.bottom;
}

} // namespace

GMenu::GMenu()
    : m_nBorder(ApplyHires(1)), m_nBottomMargin(ApplyHires(2)), m_nItemHeight(ApplyHires(20)),
      m_nMinWidth(ApplyHires(60)), m_nMaxWidth(ApplyHires(240)), m_nIconWidth(ApplyHires(16)),
      m_nLabelMargin(ApplyHires(5)) {
    // Painted through the back buffer, without blending over what lies beneath.
    SetAnimate(0);
}

GMenu::~GMenu() {
    // A submenu that goes before its parent leaves the parent's item without it.
    if (m_pParentMenu) {
        for (int i = 0; i < m_pParentMenu->m_items.GetSize(); ++i)
            if (m_pParentMenu->ItemAt(i)->GetSubMenu() == this)
                m_pParentMenu->ItemAt(i)->SetSubMenu(nullptr);
        if (m_pParentMenu->m_pOpenSubMenu == this)
            m_pParentMenu->m_pOpenSubMenu = nullptr;
    }
    // The window goes first, while this is still a GMenu that can answer its messages.
    DestroyMenu();
    RemoveAllItem();
}

LPCWSTR GMenu::GetClassNameW() {
    return u"GMenu";
}

int GMenu::CreateMenu(HWND parent, Winza* owner) {
    if (m_hWnd)
        return 0;
    if (!Create(parent, GetClassNameW(), WS_POPUP, 0, 0, m_nMinWidth, m_nItemHeight, nullptr,
                WS_EX_TOPMOST | WS_EX_NOACTIVATE, nullptr))
        return 0;
    m_pOwner = owner;
    if (!m_hFont)
        m_hFont = GetGlobalFontDef();
    return 1;
}

void GMenu::DestroyMenu() {
    if (m_bOwnImageList) {
        delete m_pImageList;
        m_pImageList = nullptr;
        m_bOwnImageList = 0;
        for (int i = 0; i < m_items.GetSize(); ++i) {
            ItemAt(i)->SetIconDefault(nullptr);
            ItemAt(i)->SetIconHover(nullptr);
        }
    }
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        ::ShowWindow(m_hWnd, SW_HIDE);
        Destroy();
    }
    m_pOwner = nullptr;
}

LRESULT GMenu::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case kGMenuHideMessage:
            HideMenu();
            return 0;
        case WM_TIMER:
            // Timers that fire after the tracking ended still end their own business.
            if (wParam == kGMenuOpenTimer || wParam == kGMenuHideTimer) {
                ::KillTimer(hwnd, wParam);
                if (wParam == kGMenuHideTimer)
                    HideMenu();
                return 0;
            }
            break;
        case WM_DESTROY: {
            // Destroying the window deletes the items and the windows of their submenus.
            const LRESULT r = GAnimateWnd::WndProc(hwnd, msg, wParam, lParam);
            RemoveAllItem();
            if (m_pParentMenu && m_pParentMenu->m_pOpenSubMenu == this)
                m_pParentMenu->m_pOpenSubMenu = nullptr;
            return r;
        }
        default:
            break;
    }
    return GAnimateWnd::WndProc(hwnd, msg, wParam, lParam);
}

void GMenu::HideMenu() {
    if (m_pOpenSubMenu && m_pOpenSubMenu != this && m_pOpenSubMenu->IsWindowVisible())
        m_pOpenSubMenu->HideMenu();
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        ::KillTimer(m_hWnd, kGMenuOpenTimer);
        ::KillTimer(m_hWnd, kGMenuHideTimer);
        if (::IsWindowVisible(m_hWnd)) {
            RECT rc;
            ::GetWindowRect(m_hWnd, &rc);
            ::ShowWindow(m_hWnd, SW_HIDE);
            if (m_pOwner && m_pOwner->GetSafeHwnd() && ::IsWindow(m_pOwner->GetSafeHwnd())) {
                m_pOwner->ScreenToClient(&rc);
                m_pOwner->InvalidateRect(&rc, 0);
            }
        }
    }
    for (int i = 0; i < m_items.GetSize(); ++i)
        ItemAt(i)->SetFlag(0, kMenuItemHighlight, nullptr, 0);
    m_nCurIndex = -1;
    m_nOpenSubIndex = -1;
}

// ---- Items -----------------------------------------------------------------------------------

int GMenu::FindById(int id) const {
    for (int i = 0; i < m_items.GetSize(); ++i)
        if (ItemAt(i)->GetID() == id)
            return i;
    return -1;
}

GMenuItem* GMenu::MakeItem(int id, LPCWSTR text, int indent, int format) {
    GMenuItem* item = new GMenuItem(id);
    item->Create(RECT{0, 0, 0, 0}, id);
    item->SetLabel(text, format, m_nLabelMargin);
    item->SetIndent(indent);
    item->SetIconWidth(m_nIconWidth);
    item->SetIconDefault(m_pImageList);
    item->SetIconHover(m_pImageList);
    return item;
}

GMenuItem* GMenu::MakeSubMenuItem(GMenu* submenu, LPCWSTR text, int indent) {
    if (!submenu || submenu == this || !submenu->m_hWnd)
        return nullptr;
    for (GMenu* m = this; m; m = m->m_pParentMenu)
        if (m == submenu)
            return nullptr; // a menu cannot open one of its own ancestors
    GMenuItem* item = MakeItem(kSubMenuItemId, text, indent, m_nTextFormat);
    item->SetSubMenu(submenu);
    submenu->SetParentMenu(this);
    return item;
}

void GMenu::Insert(int position, GMenuItem* item) {
    if (position < 0)
        position = 0;
    if (position >= m_items.GetSize()) {
        m_items.Add(item);
        return;
    }
    m_items.InsertAt(position, item);
    if (m_nCurIndex >= position)
        ++m_nCurIndex;
    if (m_nOpenSubIndex >= position)
        ++m_nOpenSubIndex;
}

GMenuItem* GMenu::AppendMenuW(int id, LPCWSTR text, int indent) {
    if (id != kMenuSeparatorId) {
        const int found = FindById(id);
        if (found >= 0)
            return ItemAt(found);
    }
    GMenuItem* item = MakeItem(id, text, indent, DT_LEFT);
    m_items.Add(item);
    return item;
}

GMenuItem* GMenu::AppendMenuW(GMenu* submenu, LPCWSTR text, int indent) {
    GMenuItem* item = MakeSubMenuItem(submenu, text, indent);
    if (item)
        m_items.Add(item);
    return item;
}

GMenuItem* GMenu::InsertMenuW(int position, int id, LPCWSTR text, int indent) {
    GMenuItem* item = MakeItem(id, text, indent, m_nTextFormat);
    Insert(position, item);
    return item;
}

GMenuItem* GMenu::InsertMenuW(int position, GMenu* submenu, LPCWSTR text, int indent) {
    GMenuItem* item = MakeSubMenuItem(submenu, text, indent);
    if (item)
        Insert(position, item);
    return item;
}

void GMenu::DeleteItem(GMenuItem* item) {
    if (GMenu* sub = item->GetSubMenu()) {
        if (m_pOpenSubMenu == sub)
            m_pOpenSubMenu = nullptr;
        if (sub->m_pParentMenu == this)
            sub->SetParentMenu(nullptr);
        sub->DestroyMenu();
    }
    delete item;
}

// After item `position` left the array: indices that pointed at it or past it follow.
static void Forget(int position, int* index) {
    if (*index == position)
        *index = -1;
    else if (*index > position)
        --*index;
}

int GMenu::DeleteMenu(int position) {
    GMenuItem* item = ItemAt(position);
    if (!item)
        return 0;
    m_items.RemoveAt(position);
    Forget(position, &m_nCurIndex);
    Forget(position, &m_nOpenSubIndex);
    DeleteItem(item);
    return 1;
}

GMenu* GMenu::RemoveMenu(int position) {
    GMenuItem* item = ItemAt(position);
    if (!item)
        return nullptr;
    m_items.RemoveAt(position);
    Forget(position, &m_nCurIndex);
    Forget(position, &m_nOpenSubIndex);
    GMenu* sub = item->GetSubMenu();
    if (sub) {
        if (m_pOpenSubMenu == sub)
            m_pOpenSubMenu = nullptr;
        if (sub->m_pParentMenu == this)
            sub->SetParentMenu(nullptr);
    }
    delete item;
    return sub;
}

void GMenu::RemoveAllItem() {
    // Take the items out first: destroying a submenu window may come back here.
    GArray items(m_items);
    m_items.RemoveAll();
    m_nCurIndex = -1;
    m_nOpenSubIndex = -1;
    m_pOpenSubMenu = nullptr;
    for (int i = 0; i < items.GetSize(); ++i)
        DeleteItem(static_cast<GMenuItem*>(items.GetAt(i)));
}

GMenuItem* GMenu::GetMenuItem(int idOrPosition, int byPosition) const {
    return ItemAt(byPosition ? idOrPosition : FindById(idOrPosition));
}

GMenu* GMenu::GetSubMenu(int position) const {
    GMenuItem* item = ItemAt(position);
    return item ? item->GetSubMenu() : nullptr;
}

int GMenu::GetMenuItemID(int position) const {
    GMenuItem* item = ItemAt(position);
    return item ? item->GetID() : -1;
}

int GMenu::GetMenuString(int id, WCHAR* buffer, int count) const {
    if (buffer && count > 0)
        buffer[0] = 0;
    if (id == kMenuSeparatorId)
        return -1;
    GMenuItem* item = GetMenuItem(id, 0);
    if (!item)
        return -1;
    if (!buffer || count <= 0)
        return 0;
    LPCWSTR label = item->GetLabel();
    int n = 0;
    // Room is kept for the terminating zero.
    for (; label && label[n] && n < count - 1; ++n)
        buffer[n] = label[n];
    buffer[n] = 0;
    return n;
}

int GMenu::CheckMenuItem(int idOrPosition, int on, int byPosition) {
    GMenuItem* item = GetMenuItem(idOrPosition, byPosition);
    if (!item)
        return 0;
    item->SetFlag(on, eVBChecked, nullptr, 0);
    if (IsWindowVisible()) {
        RECT rc = item->GetRect();
        InvalidateRect(&rc, 0);
    }
    return 1;
}

int GMenu::EnableMenuItem(int idOrPosition, int on, int byPosition) {
    GMenuItem* item = GetMenuItem(idOrPosition, byPosition);
    if (!item)
        return 0;
    item->SetFlag(on, eVBEnabled, nullptr, 0);
    if (!on && ItemAt(m_nCurIndex) == item)
        Highlight(-1);
    if (IsWindowVisible()) {
        RECT rc = item->GetRect();
        InvalidateRect(&rc, 0);
    }
    return 1;
}

int GMenu::IsCheckMenuItem(int idOrPosition, int byPosition) const {
    GMenuItem* item = GetMenuItem(idOrPosition, byPosition);
    return item ? item->GetFlag(eVBChecked) : 0;
}

int GMenu::IsEnableMenuItem(int idOrPosition, int byPosition) const {
    GMenuItem* item = GetMenuItem(idOrPosition, byPosition);
    return item ? item->GetFlag(eVBEnabled) : 0;
}

int GMenu::CheckMenuRadioItem(int first, int last, int checked, int byPosition) {
    int touched = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        GMenuItem* item = ItemAt(i);
        const int key = byPosition ? i : item->GetID();
        if (key < first || key > last)
            continue;
        item->SetFlag(key == checked, eVBChecked, nullptr, 0);
        ++touched;
    }
    if (touched)
        Repaint();
    return touched ? 1 : 0;
}

// ---- Highlight and hit tests -------------------------------------------------------------------

int GMenu::IsSelectable(int index) const {
    GMenuItem* item = ItemAt(index);
    return item && !item->IsSeparator() && item->GetFlag(eVBVisible) && item->GetFlag(eVBEnabled);
}

void GMenu::Highlight(int index) {
    if (!ItemAt(index))
        index = -1;
    for (int i = 0; i < m_items.GetSize(); ++i)
        ItemAt(i)->SetFlag(i == index, kMenuItemHighlight, nullptr, 0);
    m_nCurIndex = index;
}

void GMenu::Repaint() {
    if (IsWindowVisible())
        Invalidate(0);
}

void GMenu::SetCurIndex(int index) {
    Highlight(index);
    Repaint();
}

int GMenu::ItemFromPoint(POINT pt) const {
    RECT inner = m_rcClient;
    ::InflateRect(&inner, -m_nBorder, -m_nBorder);
    if (!Contains(inner, pt))
        return -1;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        GMenuItem* item = ItemAt(i);
        const RECT rc = item->GetRect();
        if (item->IsSeparator()) {
            if (pt.y >= rc.top && pt.y < rc.bottom)
                return kMenuSeparatorId;
        } else if (Contains(rc, pt)) {
            return i;
        }
    }
    return -1;
}

int GMenu::HitItem(POINT pt) {
    m_nHitIndex = -1;
    RECT inner = m_rcClient;
    ::InflateRect(&inner, -m_nBorder, -m_nBorder);
    if (!Contains(inner, pt))
        return -1;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        GMenuItem* item = ItemAt(i);
        const RECT rc = item->GetRect();
        if (item->IsSeparator()) {
            if (pt.y >= rc.top && pt.y < rc.bottom)
                m_nHitIndex = kMenuSeparatorId;
            continue;
        }
        const int inside = Contains(rc, pt);
        // A disabled item takes no highlight; it answers like a separator.
        const int take = inside && IsSelectable(i);
        item->SetFlag(take, kMenuItemHighlight, nullptr, 0);
        if (inside)
            m_nHitIndex = take ? i : kMenuSeparatorId;
    }
    return m_nHitIndex;
}

int GMenu::HitTest(POINT screen) {
    if (!IsWindowVisible()) {
        m_nHitIndex = -1;
        return 0;
    }
    POINT pt = screen;
    ScreenToClient(&pt);
    if (!Contains(m_rcClient, pt)) {
        m_nHitIndex = -1;
        return 0;
    }
    int hit = ItemFromPoint(pt);
    if (hit >= 0 && hit != kMenuSeparatorId && !IsSelectable(hit))
        hit = kMenuSeparatorId;
    m_nHitIndex = hit;
    return hit != m_nCurIndex ? 1 : 0;
}

// ---- Measuring, placing, drawing ----------------------------------------------------------

void GMenu::MeasureAllItem(HDC hdc, RECT& rect) {
    int y = m_nBorder + m_nBottomMargin;
    int width = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        GMenuItem* item = ItemAt(i);
        int need = 0;
        int height = 0;
        if (item->IsSeparator()) {
            need = m_nBorder + m_nMinWidth;
            height = m_nItemHeight / 2 - 2 + (IsHires() ? 1 : 0);
        } else {
            RECT rc{m_nBorder, 0, m_nBorder + m_nMaxWidth, m_nItemHeight};
            LPCWSTR label = item->GetLabel();
            if (label && label[0] && hdc)
                ::DrawTextW(hdc, label, -1, &rc, item->GetAlignType() | DT_CALCRECT);
            else
                rc.right = m_nBorder;
            need = rc.right + item->GetIndent() + 2 * (m_nLabelMargin + m_nIconWidth);
            if (item->GetSubMenu())
                need += ApplyHires(10);
            item->SetIconWidth(m_nIconWidth);
            height = m_nItemHeight;
        }
        width = std::max(width, need);
        item->SetRect(RECT{m_nBorder, y, need, y + height});
        y += height;
    }
    width = std::max(std::min(width, m_nMaxWidth), m_nMinWidth);
    for (int i = 0; i < m_items.GetSize(); ++i) {
        GMenuItem* item = ItemAt(i);
        RECT rc = item->GetRect();
        rc.right = width - m_nBorder;
        item->SetRect(rc);
    }
    rect = RECT{0, 0, width + m_nBorder, y + m_nBottomMargin + m_nBorder};
}

RECT GMenu::PlaceMenu(int flags, int x, int y, SIZE size) const {
    int left = x;
    int top = y;
    if (flags & eGMenuCenterX)
        left = x - size.cx / 2;
    else if (flags & eGMenuRightX)
        left = x - size.cx;
    if (flags & eGMenuCenterY)
        top = y - size.cy / 2;
    else if (flags & eGMenuBottomY)
        top = y - size.cy;
    const int screenW = ::GetSystemMetrics(SM_CXSCREEN);
    const int screenH = ::GetSystemMetrics(SM_CYSCREEN);
    left = std::max(left, 0);
    top = std::max(top, 0);
    const int movedBack = left + size.cx > screenW;
    if (movedBack)
        left = screenW - size.cx;
    if (top + size.cy > screenH)
        top = screenH - size.cy;
    if (movedBack && m_pParentMenu && m_pParentMenu->GetSafeHwnd()) {
        RECT parent;
        ::GetWindowRect(m_pParentMenu->GetSafeHwnd(), &parent);
        // A submenu of a menu in the right half opens on the parent's left instead.
        if ((parent.left + parent.right) / 2 > screenW / 2)
            left = parent.left + ApplyHires(3) - size.cx;
    }
    left = std::max(left, 0);
    top = std::max(top, 0);
    return RECT{left, top, left + size.cx, top + size.cy};
}

void GMenu::Show(int flags, int x, int y) {
    RECT size{0, 0, 0, 0};
    {
        gdi::Select font(m_hDC, m_hFont);
        MeasureAllItem(m_hDC, size);
    }
    const RECT place = PlaceMenu(flags, x, y, SIZE{size.right, size.bottom});
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, place.left, place.top, place.right - place.left,
                   place.bottom - place.top, SWP_NOACTIVATE);
    ShowWindow(SW_SHOWNOACTIVATE);
}

void GMenu::Draw(HDC hdc, RECT clip) {
    RECT rc = m_rcClient;
    const COLORREF light = m_bCustomFrame ? m_crFrameLight : GetGLibColor(eColorEdge);
    const COLORREF dark = m_bCustomFrame ? m_crFrameDark : GetGLibColor(eColorEdge);
    const COLORREF fill = m_bCustomFrame ? m_crFrameFill : GetGLibColor(eColorRaised);
    FrameRect(hdc, &rc, light, dark, fill, m_nBorder, eFrameAll);
    ::SetBkMode(hdc, TRANSPARENT);
    for (int i = 0; i < m_items.GetSize(); ++i)
        ItemAt(i)->Draw(hdc, clip);
}

int GMenu::SetMenuImage(GImageList* list, int copy) {
    if (m_bOwnImageList)
        delete m_pImageList;
    m_pImageList = nullptr;
    m_bOwnImageList = 0;
    if (list && copy) {
        GImageList* own = new GImageList;
        if (own->CopyImageList(list)) {
            m_pImageList = own;
            m_bOwnImageList = 1;
        } else {
            delete own;
        }
    } else {
        m_pImageList = list;
    }
    for (int i = 0; i < m_items.GetSize(); ++i) {
        ItemAt(i)->SetIconDefault(m_pImageList);
        ItemAt(i)->SetIconHover(m_pImageList);
    }
    return 1;
}

void GMenu::SetFrameColor(int on, COLORREF fill, COLORREF light, COLORREF dark) {
    m_bCustomFrame = on;
    m_crFrameFill = fill;
    m_crFrameLight = light;
    m_crFrameDark = dark;
}

GMenu* GMenu::RootMenu() {
    GMenu* m = this;
    while (m->m_pParentMenu)
        m = m->m_pParentMenu;
    return m;
}
