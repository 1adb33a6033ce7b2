#include "winza/GListCtrl.h"

#include "winza/DrawHelpers.h"
#include "winza/GItem.h"
#include "winza/GLib.h"
#include "winza/GListItem.h"

#include <algorithm>
#include <vector>

namespace {

POINT PointOf(LPARAM lParam) {
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

void* ColumnValue(int width) {
    return reinterpret_cast<void*>(static_cast<intptr_t>(width));
}

} // namespace

GListCtrl::GListCtrl() {
    SetAnimate(0);
    SetDoubleBuffer(1);
}

GListCtrl::~GListCtrl() {
    SetItemList(nullptr, 0);
}

LPCWSTR GListCtrl::GetClassNameW() {
    return u"GListCtrl";
}

int GListCtrl::RegisterClassW() {
    return Winza::RegisterClassW(
        CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, nullptr, ::LoadCursorW(nullptr, IDC_ARROW),
        reinterpret_cast<HBRUSH>(static_cast<LONG_PTR>(COLOR_WINDOW + 1)), nullptr);
}

int GListCtrl::Create(HWND parent, Winza* owner, DWORD style, RECT* rect, int id) {
    if (m_hWnd)
        return 0;
    m_pOwner = owner;
    m_nID = id;
    const RECT r = rect ? *rect : RECT{0, 0, 0, 0};
    return GAnimateWnd::Create(parent, u"GListCtrl", style, r.left, r.top, r.right - r.left,
                               r.bottom - r.top);
}

// ---- Items ------------------------------------------------------------------------------------

GItem* GListCtrl::CreateItem(LPCWSTR label) {
    auto* item = new GListItem(label, &m_aColumns);
    item->SetImageList(m_pImageList);
    return item;
}

GList* GListCtrl::CreateItemList() {
    return new GList(10);
}

void GListCtrl::DeleteItemList() {
    if (!m_pItems)
        return;
    for (POSITION pos = m_pItems->GetHeadPosition(); pos;)
        DeleteItem(static_cast<GItem*>(m_pItems->GetNext(pos)));
    m_pItems->RemoveAll();
    if (m_bOwnItems)
        delete m_pItems;
    m_pItems = nullptr;
    m_bOwnItems = 0;
    m_posSel = nullptr;
}

void GListCtrl::DeleteItem(GItem* item) {
    delete item;
}

GItem* GListCtrl::GetGItem(POSITION pos) {
    if (!m_pItems || !pos)
        return nullptr;
    if (pos == SpecialHeadPosition())
        pos = m_pItems->GetHeadPosition();
    return static_cast<GItem*>(m_pItems->GetAt(pos));
}

void GListCtrl::SetItemList(GList* list, int redraw) {
    if (list != m_pItems || !m_bOwnItems) {
        if (m_bOwnItems)
            DeleteItemList();
        m_pItems = list;
        m_bOwnItems = 0;
    }
    m_posSel = nullptr;
    UpdateScroll(0, redraw);
}

POSITION GListCtrl::InsertItem(GItem* item, int atTail) {
    if (!item)
        return nullptr;
    if (!m_pItems) {
        m_pItems = CreateItemList();
        m_bOwnItems = m_pItems ? 1 : 0;
        if (!m_pItems)
            return nullptr;
    }
    if (m_eSortType == eSortNone)
        return atTail ? m_pItems->AddTail(item) : m_pItems->AddHead(item);
    if (!m_pfnCompare)
        return m_pItems->AddHead(item);
    for (POSITION pos = m_pItems->GetHeadPosition(); pos;) {
        POSITION at = pos;
        auto* existing = static_cast<GItem*>(m_pItems->GetNext(pos));
        const int c = m_pfnCompare(existing, item);
        if ((m_eSortType == eSortAscending && c > 0) || (m_eSortType == eSortDescending && c <= 0))
            return m_pItems->InsertBefore(at, item);
    }
    return m_pItems->AddTail(item);
}

POSITION GListCtrl::AddItem(LPCWSTR label, int redraw, int atTail) {
    GItem* item = CreateItem(label);
    if (!item)
        return nullptr;
    POSITION pos = InsertItem(item, atTail);
    if (!pos) {
        DeleteItem(item);
        return nullptr;
    }
    if (redraw)
        Invalidate(0);
    return pos;
}

void GListCtrl::SortList(int redraw) {
    if (!m_pItems)
        return;
    GItem* selected = m_posSel ? static_cast<GItem*>(m_pItems->GetAt(m_posSel)) : nullptr;
    std::vector<GItem*> items;
    for (POSITION pos = m_pItems->GetHeadPosition(); pos;)
        items.push_back(static_cast<GItem*>(m_pItems->GetNext(pos)));
    m_pItems->RemoveAll();
    m_posSel = nullptr;
    // The selection follows its item to wherever it lands.
    for (GItem* item : items) {
        POSITION pos = InsertItem(item, 1);
        if (item == selected)
            m_posSel = pos;
    }
    if (redraw)
        Invalidate(0);
}

void GListCtrl::DeleteItem(POSITION pos, int redraw) {
    if (!m_pItems)
        return;
    if (pos == SpecialHeadPosition())
        pos = m_pItems->GetHeadPosition();
    if (!pos)
        return;
    auto* item = static_cast<GItem*>(m_pItems->GetAt(pos));
    if (pos == m_posSel)
        m_posSel = nullptr;
    m_pItems->RemoveAt(pos);
    DeleteItem(item);
    if (redraw)
        Invalidate(0);
}

void GListCtrl::RemoveAllItem(int redraw) {
    if (m_pItems) {
        for (POSITION pos = m_pItems->GetHeadPosition(); pos;)
            DeleteItem(static_cast<GItem*>(m_pItems->GetNext(pos)));
        m_pItems->RemoveAll();
    }
    m_posSel = nullptr;
    HideScrollBars();
    if (redraw)
        Invalidate(0);
}

int GListCtrl::GetCount() const {
    return m_pItems ? m_pItems->GetCount() : -1;
}

LPCWSTR GListCtrl::GetItemText() const {
    if (!m_pItems || !m_posSel)
        return nullptr;
    auto* item = static_cast<GItem*>(m_pItems->GetAt(m_posSel));
    return item ? item->GetLabel() : nullptr;
}

POSITION GListCtrl::FindItem(POSITION start, LPCWSTR label) {
    if (!m_pItems || !label)
        return nullptr;
    POSITION pos = start && start != SpecialHeadPosition() ? start : m_pItems->GetHeadPosition();
    while (pos) {
        POSITION at = pos;
        if (ItemLabelIs(static_cast<GItem*>(m_pItems->GetNext(pos)), label))
            return at;
    }
    return nullptr;
}

void GListCtrl::SelectItem(POSITION pos, int redraw) {
    if (pos == SpecialHeadPosition())
        pos = m_pItems ? m_pItems->GetHeadPosition() : nullptr;
    m_posSel = pos;
    UpdateScroll(1, 0);
    if (redraw)
        Invalidate(0);
}

int GListCtrl::IndexOf(POSITION target) const {
    if (!m_pItems || !target)
        return -1;
    int index = 0;
    for (POSITION pos = m_pItems->GetHeadPosition(); pos; ++index) {
        if (pos == target)
            return index;
        m_pItems->GetNext(pos);
    }
    return -1;
}

// ---- Columns ----------------------------------------------------------------------------------

int GListCtrl::AddColumn(int width) {
    m_aColumns.Add(ColumnValue(width));
    return m_aColumns.GetSize();
}

void GListCtrl::DeleteColumn(int index) {
    if (index >= 0 && index < m_aColumns.GetSize())
        m_aColumns.RemoveAt(index);
}

int GListCtrl::GetColumnWidth(int index) const {
    if (index < 0 || index >= m_aColumns.GetSize())
        return -1;
    return static_cast<int>(reinterpret_cast<intptr_t>(m_aColumns.GetAt(index)));
}

// ---- Look -------------------------------------------------------------------------------------

void GListCtrl::SetDefBackColor(COLORREF color, int redraw) {
    m_crBack = color;
    if (redraw)
        Invalidate(0);
}

void GListCtrl::SetSelBackColor(COLORREF color, int redraw) {
    m_crSelBack = color;
    if (redraw)
        Invalidate(0);
}

void GListCtrl::SetDefTextColor(COLORREF color, int redraw) {
    m_crText = color;
    if (redraw)
        Invalidate(0);
}

void GListCtrl::SetSelTextColor(COLORREF color, int redraw) {
    m_crSelText = color;
    if (redraw)
        Invalidate(0);
}

void GListCtrl::DrawRowLine(int on, COLORREF color, int redraw) {
    m_bRowLine = on;
    m_crRowLine = color;
    if (redraw)
        Invalidate(0);
}

// ---- Scrolling --------------------------------------------------------------------------------

void GListCtrl::UpdateScroll(int keepSelectionVisible, int redraw) {
    if (!m_hWnd || !m_sbVert.GetSafeHwnd() || !m_sbHorz.GetSafeHwnd())
        return;
    const int thick = ScrollThickness();
    const int count = std::max(0, GetCount());
    const int content = count * m_nItemHeight;
    int h = Height();
    int w = Width();
    const bool needV = content > h;
    if (needV)
        w -= thick;
    // The horizontal bar only comes when the vertical one took width from the rows.
    const bool needH = m_bShowHScroll && needV;
    if (needH)
        h -= thick;

    PlaceScrollBar(1, needV, needH, needH ? content + 2 : content - 1, h, m_nItemHeight);
    if (needV && keepSelectionVisible) {
        const int index = IndexOf(m_posSel);
        const int top = index * m_nItemHeight - m_sbVert.GetScrollPos();
        if (index >= 0)
            KeepInView(top, top + m_nItemHeight, h);
    }
    PlaceScrollBar(0, needH, needV, Width() + 2, w, 10);
    ShowScrollBars(needV, needH);
    if (redraw)
        Invalidate(0);
}

// ---- Hit testing and drawing ------------------------------------------------------------------

POSITION GListCtrl::HitTest(const POINT& point) {
    m_nHitColumn = -1;
    if (!m_pItems || point.x < 0 || point.y < 0 || point.x >= Width() || point.y >= Height())
        return nullptr;
    const int x = point.x + m_sbHorz.GetScrollPos();
    int left = 0;
    for (int i = 0; i < GetColumnCount(); ++i) {
        const int width = GetColumnWidth(i);
        // A negative width takes the rest of the row.
        if (width < 0 || x < left + width) {
            m_nHitColumn = i;
            break;
        }
        left += width;
    }
    // Rows are laid out from the top at equal height, as Draw stores them in their items.
    const int index = (point.y + m_sbVert.GetScrollPos()) / std::max(1, m_nItemHeight);
    return m_pItems->FindIndex(index);
}

void GListCtrl::Draw(HDC hdc, RECT clip) {
    ::SetBkMode(hdc, TRANSPARENT);
    FillSolidRect(hdc, &clip, m_crBack);
    if (!m_pItems)
        return;
    const int x = -m_sbHorz.GetScrollPos();
    const int width = Width() + 2;
    int y = -m_sbVert.GetScrollPos();
    for (POSITION pos = m_pItems->GetHeadPosition(); pos; y += m_nItemHeight) {
        POSITION at = pos;
        auto* item = static_cast<GItem*>(m_pItems->GetNext(pos));
        if (!item)
            continue;
        const RECT row{x, y, x + width, y + m_nItemHeight};
        item->SetItemRect(row);
        if (row.bottom <= clip.top || row.top >= clip.bottom)
            continue;
        const int selected = at == m_posSel;
        const COLORREF back = selected ? m_crSelBack : m_crBack;
        const COLORREF text = selected ? m_crSelText : m_crText;
        if (auto* listItem = dynamic_cast<GListItem*>(item))
            listItem->DrawItem(hdc, back, text, m_nTextFormat, 10, selected);
        else
            item->DrawItem(hdc, text, back, selected);
        if (m_bRowLine)
            FillSolidRect(hdc, row.left, row.bottom - 1, width, 1, m_crRowLine);
    }
}

// ---- Messages ---------------------------------------------------------------------------------

void GListCtrl::NotifyOwner(UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND target = m_pOwner ? m_pOwner->GetSafeHwnd() : GetParent();
    if (target)
        ::SendMessageW(target, msg, wParam, lParam);
}

LRESULT GListCtrl::OnCreate(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const LRESULT r = GAnimateWnd::WndProc(hwnd, msg, wParam, lParam);
    // Rows read in the text size dialogs and menus use on this screen.
    if (!m_hFont)
        m_hFont = GetGlobalFontDef();
    m_crBack = GetGLibColor(eColorListBack);
    m_crSelBack = GetGLibColor(eColorListSelBack);
    m_crText = GetGLibColor(eColorListText);
    m_crSelText = GetGLibColor(eColorListSelText);
    CreateScrollBars();
    return r;
}

LRESULT GListCtrl::OnDestroy(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    DestroyScrollBars();
    return GAnimateWnd::WndProc(hwnd, msg, wParam, lParam);
}

LRESULT GListCtrl::OnLbuttonDown(HWND hwnd, UINT, WPARAM, LPARAM lParam) {
    ::SetFocus(hwnd);
    if (HWND parent = GetParent())
        ::SendMessageW(parent, kMsgCtrlPenDown, 0, m_nID);
    const POINT pt = PointOf(lParam);
    POSITION pos = HitTest(pt);
    m_ptLast = pt;
    if (pos != m_posSel) {
        m_posSel = pos;
        Invalidate(0);
    }
    NotifyOwner(kMsgListTouched, reinterpret_cast<WPARAM>(pos), m_nID);
    return 0;
}

LRESULT GListCtrl::OnLbuttonDblClk(HWND, UINT, WPARAM, LPARAM lParam) {
    const POINT pt = PointOf(lParam);
    POSITION pos = HitTest(pt);
    m_ptLast = pt;
    NotifyOwner(kMsgListDoubleTap, reinterpret_cast<WPARAM>(pos), m_nID);
    return 0;
}

LRESULT GListCtrl::OnMouseWhell(HWND, UINT, WPARAM wParam, LPARAM) {
    const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
    OffsetScroll(-(m_nItemHeight * 3 * delta / 120), 1);
    return 0;
}

LRESULT GListCtrl::OnScroll(HWND, UINT msg, WPARAM wParam, LPARAM) {
    Invalidate(0);
    const GScrollBar& bar = msg == WM_VSCROLL ? m_sbVert : m_sbHorz;
    NotifyOwner(kMsgListScrolled, LOWORD(wParam), bar.GetScrollPos());
    return 0;
}

LRESULT GListCtrl::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE:
            return OnCreate(hwnd, msg, wParam, lParam);
        case WM_DESTROY:
            return OnDestroy(hwnd, msg, wParam, lParam);
        case WM_SIZE: {
            const LRESULT r = GAnimateWnd::WndProc(hwnd, msg, wParam, lParam);
            UpdateScroll(0, 0);
            return r;
        }
        case WM_LBUTTONDOWN:
            return OnLbuttonDown(hwnd, msg, wParam, lParam);
        case WM_LBUTTONDBLCLK:
            return OnLbuttonDblClk(hwnd, msg, wParam, lParam);
        case WM_MOUSEWHEEL:
            return OnMouseWhell(hwnd, msg, wParam, lParam);
        case WM_VSCROLL:
        case WM_HSCROLL:
            return OnScroll(hwnd, msg, wParam, lParam);
        default:
            return GAnimateWnd::WndProc(hwnd, msg, wParam, lParam);
    }
}
