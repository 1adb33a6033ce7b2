// The item tree, layout and per-id switches of the application's tool bar; the pen and the
// gestures are in GToolBarExInput.cpp.
#include "scribbo/GToolBarEx.h"

#include "fundo/FixedPoint.h"
#include "winza/GLib.h"

#include <algorithm>
#include <cmath>

namespace {

// Pen widths the width gesture offers, in page units.
constexpr double kWidthLadder[] = {0.1, 0.25, 0.5, 0.75, 1, 1.5, 2, 2.5, 3,  3.5, 4,  4.5, 5,  5.5,
                                   6,   6.5,  7,   7.5,  8, 8.5, 9, 9.5, 10, 11,  12, 13,  14, 15};

} // namespace

template <class F> void GToolBarEx::ForEachItem(POSITION pos, F&& f) const {
    POSITION child = pos;
    if (!child)
        return;
    m_Tree.GetChild(child);
    while (child) {
        const POSITION here = child;
        if (auto* item = static_cast<GToolButton*>(m_Tree.GetNext(child)))
            f(item);
        ForEachItem(here, f);
    }
}

GToolBarEx::GToolBarEx() = default;

GToolBarEx::~GToolBarEx() {
    if (m_hWnd)
        ::KillTimer(m_hWnd, kToolBarPreviewTimer);
    // The items belong to the tree, not to the base class's array.
    m_arButtons.RemoveAll();
    ForEachItem(m_Tree.GetTopPosition(), [](GToolButton* item) { delete item; });
    delete static_cast<GToolButton*>(m_Tree.GetTop());
    m_Tree.RemoveAll();
}

int GToolBarEx::CreateBar(HWND parent, Winza* owner, RECT rect, eGBarType type) {
    if (!GToolBar::CreateBar(parent, owner, rect, type))
        return 0;
    TopLevel();
    m_nSpacing = 2;
    LayoutItems(0);
    return 1;
}

void GToolBarEx::MoveBar(RECT rect, int redraw) {
    GBar::MoveBar(rect, 0);
    LayoutItems(redraw);
}

POSITION GToolBarEx::TopLevel() {
    if (!m_Tree.GetTop())
        m_Tree.SetTop(new GToolButton(-1));
    return m_Tree.GetTopPosition();
}

POSITION GToolBarEx::LevelOrTop(POSITION level) const {
    return level ? level : m_Tree.GetTopPosition();
}

POSITION GToolBarEx::GetShownLevel() const {
    return m_posLevel;
}

int GToolBarEx::IsShown(const GToolButton* item) const {
    for (int i = 0; i < m_arButtons.GetSize(); ++i)
        if (m_arButtons.GetAt(i) == item)
            return 1;
    return 0;
}

int GToolBarEx::HasChildren(const GToolButton* item) const {
    POSITION child = item ? item->GetPosition() : nullptr;
    if (!child)
        return 0;
    m_Tree.GetChild(child);
    return child != nullptr;
}

GToolButton* GToolBarEx::AddItem(POSITION parent, int id, int groupWidth, int visibleFlags) {
    const POSITION under = parent ? parent : TopLevel();
    if (!under)
        return nullptr;
    auto* item = new GToolButton(id);
    const POSITION pos = m_Tree.InsertChildTail(under, item);
    if (!pos) {
        delete item;
        return nullptr;
    }
    item->SetPosition(pos);
    item->SetGroupWidth(std::max(0, groupWidth));
    item->SetFlag(visibleFlags != 0, eVBVisible, nullptr, 0);
    item->SetFlag(1, eVBEnabled, nullptr, 0);
    item->SetIconDefault(m_pImageList);
    if (under == LevelOrTop(m_posLevel))
        LayoutItems(0);
    return item;
}

GToolButton* GToolBarEx::AddToolItem(POSITION parent, int id, int groupWidth, int visibleFlags,
                                     int penKind, COLORREF color, LONG width16_16, int alpha) {
    GToolButton* item = AddItem(parent, id, groupWidth, visibleFlags);
    if (!item)
        return nullptr;
    item->SetPenKind(penKind);
    item->SetColor(color);
    item->SetPenWidth(width16_16);
    item->SetAlpha(std::clamp(alpha, 0, 255));
    return item;
}

GToolButton* GToolBarEx::AddButton(int id, int image, int visible, int enabled, int checked) {
    GToolButton* item = AddItem(nullptr, id, 0, visible);
    if (!item)
        return nullptr;
    item->SetImageIndex(image);
    item->SetFlag(enabled, eVBEnabled, nullptr, 0);
    item->SetFlag(checked, eVBChecked, nullptr, 0);
    return item;
}

GToolButton* GToolBarEx::SetCornerButton(int id, int minWidth) {
    m_Corner.SetID(id);
    m_Corner.SetImageIndex(id - 1000);
    m_Corner.SetFlag(1, eVBVisible | eVBEnabled, nullptr, 0);
    m_nCornerMinWidth = std::max(0, minWidth);
    LayoutItems(1);
    return &m_Corner;
}

GToolButton* GToolBarEx::FindItem(POSITION parent, int id) const {
    POSITION child = LevelOrTop(parent);
    if (!child)
        return nullptr;
    m_Tree.GetChild(child);
    while (child) {
        auto* item = static_cast<GToolButton*>(m_Tree.GetNext(child));
        if (item && item->GetID() == id)
            return item;
    }
    return nullptr;
}

void GToolBarEx::ShowLevel(POSITION level) {
    // Items that leave the bar must not come back pressed.
    for (int i = 0; i < m_arButtons.GetSize(); ++i)
        static_cast<GVButton*>(m_arButtons.GetAt(i))->SetFlag(0, eVBPressState, nullptr, 0);
    m_posLevel = level == m_Tree.GetTopPosition() ? nullptr : level;
    LayoutItems(1);
}

int GToolBarEx::LevelUp(int redraw) {
    if (!m_posLevel)
        return 0;
    POSITION parent = m_posLevel;
    m_Tree.GetParent(parent);
    for (int i = 0; i < m_arButtons.GetSize(); ++i)
        static_cast<GVButton*>(m_arButtons.GetAt(i))->SetFlag(0, eVBPressState, nullptr, 0);
    m_posLevel = parent == m_Tree.GetTopPosition() ? nullptr : parent;
    LayoutItems(redraw);
    return 1;
}

void GToolBarEx::PlaceItem(GToolButton* item) {
    const int own = item->GetGroupWidth();
    if (own <= 0 || item->IsSeparator()) {
        PlaceButton(item);
        return;
    }
    // A wider item: the base placement with its own length along the bar.
    int& length = m_eBarType == eGBarVertical ? m_nButtonHeight : m_nButtonWidth;
    const int saved = length;
    length = own;
    PlaceButton(item);
    length = saved;
}

void GToolBarEx::PlaceCorner() {
    if (m_Corner.GetID() < 0)
        return;
    m_arButtons.Add(&m_Corner);
    m_Corner.SetIconDefault(m_pImageList);
    if (!m_Corner.GetFlag(eVBVisible))
        return;
    const RECT& bar = m_rcClient;
    const int least = ApplyHires(m_nCornerMinWidth);
    RECT rc;
    if (m_eBarType == eGBarVertical) {
        const int h = std::max(least, m_nButtonHeight);
        const int x = bar.left + (bar.right - bar.left - m_nButtonWidth) / 2;
        rc = RECT{x, bar.bottom - m_nFirstOffset - h, x + m_nButtonWidth,
                  bar.bottom - m_nFirstOffset};
    } else {
        const int w = std::max(least, m_nButtonWidth);
        const int y = bar.top + (bar.bottom - bar.top - m_nButtonHeight) / 2;
        rc = RECT{bar.right - m_nFirstOffset - w, y, bar.right - m_nFirstOffset,
                  y + m_nButtonHeight};
    }
    m_Corner.SetRect(rc);
}

void GToolBarEx::LayoutItems(int redraw) {
    m_arButtons.RemoveAll();
    // Items off the bar get the list too, so none keeps one the bar has let go of.
    ForEachItem(m_Tree.GetTopPosition(),
                [this](GToolButton* item) { item->SetIconDefault(m_pImageList); });
    m_nNextPos = m_nFirstOffset;
    if (POSITION child = LevelOrTop(m_posLevel)) {
        m_Tree.GetChild(child);
        while (child) {
            auto* item = static_cast<GToolButton*>(m_Tree.GetNext(child));
            if (item && m_arButtons.Add(item) >= 0)
                PlaceItem(item);
        }
    }
    PlaceCorner();
    if (redraw)
        Invalidate(0);
}

void GToolBarEx::SetSelectedItem(GToolButton* item, int redraw) {
    if (m_pSelected)
        m_pSelected->SetFlag(0, eVBChecked, nullptr, 0);
    m_pSelected = item && item->IsToolItem() ? item : nullptr;
    if (m_pSelected)
        m_pSelected->SetFlag(1, eVBChecked, nullptr, 0);
    if (redraw)
        Invalidate(0);
}

// ---- By id ----------------------------------------------------------------------------------

GToolButton* GToolBarEx::GetButton(int id) const {
    GToolButton* found = nullptr;
    ForEachItem(m_Tree.GetTopPosition(), [&](GToolButton* item) {
        if (!found && item->GetID() == id)
            found = item;
    });
    if (!found && m_Corner.GetID() >= 0 && m_Corner.GetID() == id)
        found = const_cast<GToolButton*>(&m_Corner);
    return found;
}

void GToolBarEx::ShowButton(int id, int on) {
    int moved = 0;
    auto apply = [&](GToolButton* item) {
        if (item->GetID() != id || item->GetFlag(eVBVisible) == (on != 0))
            return;
        item->SetFlag(on, eVBVisible, nullptr, 0);
        moved |= IsShown(item);
    };
    ForEachItem(m_Tree.GetTopPosition(), apply);
    if (m_Corner.GetID() >= 0)
        apply(&m_Corner);
    // The items after it move, and a hidden one would leave its picture behind.
    if (moved)
        LayoutItems(1);
}

int GToolBarEx::IsButtonVisible(int id) const {
    const GToolButton* item = GetButton(id);
    return item ? item->GetFlag(eVBVisible) : 0;
}

void GToolBarEx::SetEnable(int id, int on) {
    auto apply = [&](GToolButton* item) {
        if (item->GetID() == id)
            item->SetFlag(on, eVBEnabled, IsShown(item) ? m_hDC : nullptr, 1);
    };
    ForEachItem(m_Tree.GetTopPosition(), apply);
    if (m_Corner.GetID() >= 0)
        apply(&m_Corner);
}

int GToolBarEx::GetEnable(int id) const {
    const GToolButton* item = GetButton(id);
    return item ? item->GetFlag(eVBEnabled) : 0;
}

void GToolBarEx::SetCheck(int id, int on) {
    auto apply = [&](GToolButton* item) {
        if (item->GetID() == id)
            item->SetFlag(on, eVBChecked, IsShown(item) ? m_hDC : nullptr, 1);
    };
    ForEachItem(m_Tree.GetTopPosition(), apply);
    if (m_Corner.GetID() >= 0)
        apply(&m_Corner);
}

int GToolBarEx::GetCheck(int id) const {
    const GToolButton* item = GetButton(id);
    return item ? item->GetFlag(eVBChecked) : 0;
}

// ---- Pen widths -----------------------------------------------------------------------------

double GToolBarEx::GetMinWidth(int penKind) const {
    constexpr int kinds = static_cast<int>(sizeof(m_fMinWidth) / sizeof(m_fMinWidth[0]));
    return penKind >= 0 && penKind < kinds ? m_fMinWidth[penKind] : m_fMinWidth[0];
}

LONG GToolBarEx::SnapWidth(double width, int penKind) const {
    // Half a 16.16 step: a stored width that stands for a ladder value counts as on it.
    constexpr double kOnStep = 0.5 / FIXED_ONE;
    double w = std::isnan(width) ? 0.0 : width;
    w = std::max(w, GetMinWidth(penKind));
    for (double step : kWidthLadder)
        if (w <= step + kOnStep)
            return static_cast<LONG>(step * FIXED_ONE);
    return 15 * FIXED_ONE;
}
