#include "winza/GTreeCtrl.h"

#include "winza/GItem.h"
#include "winza/GLib.h"
#include "winza/GTreeItem.h"

#include <vector>

GTreeCtrl::GTreeCtrl()
    : m_nItemHeight(ApplyHires(20)), m_nIndent(ApplyHires(16)), m_nFirstIndentX(ApplyHires(16)),
      m_nFirstIndentY(ApplyHires(2)) {
    SetAnimate(0);
    SetDoubleBuffer(1);
}

GTreeCtrl::~GTreeCtrl() {
    if (m_bOwnTree)
        DeleteItemTree();
}

LPCWSTR GTreeCtrl::GetClassNameW() {
    return u"GTreeCtrl";
}

int GTreeCtrl::RegisterClassW() {
    return Winza::RegisterClassW(
        CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, nullptr, ::LoadCursorW(nullptr, IDC_ARROW),
        reinterpret_cast<HBRUSH>(static_cast<LONG_PTR>(COLOR_WINDOW + 1)), nullptr);
}

int GTreeCtrl::Create(HWND parent, Winza* owner, DWORD style, RECT& rect, int id) {
    if (m_hWnd)
        return 0;
    m_pOwner = owner;
    m_nID = id;
    SetItemTree(nullptr, 0);
    m_pTree = CreateItemTree();
    m_bOwnTree = m_pTree ? 1 : 0;
    return GAnimateWnd::Create(parent, u"GTreeCtrl", style, rect.left, rect.top,
                               rect.right - rect.left, rect.bottom - rect.top);
}

// ---- The tree and its items -------------------------------------------------------------------

GTree* GTreeCtrl::CreateItemTree() {
    return new GTree(10);
}

GItem* GTreeCtrl::CreateItem(LPCWSTR label) {
    auto* item = new GTreeItem(label);
    item->SetImageList(m_pImageList);
    return item;
}

void GTreeCtrl::DeleteItem(GItem* item) {
    delete item;
}

void GTreeCtrl::DeleteSubtreeItems(POSITION pos) {
    if (!pos)
        return;
    POSITION child = pos;
    m_pTree->GetChild(child);
    while (child) {
        POSITION next = child;
        m_pTree->GetNext(next);
        DeleteSubtreeItems(child);
        child = next;
    }
    DeleteItem(static_cast<GItem*>(m_pTree->GetAt(pos)));
    m_pTree->SetAt(pos, nullptr);
}

void GTreeCtrl::DeleteItemTree() {
    if (!m_pTree)
        return;
    DeleteSubtreeItems(m_pTree->GetTopPosition());
    if (m_bOwnTree)
        delete m_pTree;
    m_pTree = nullptr;
    m_bOwnTree = 0;
    m_posSel = nullptr;
}

void GTreeCtrl::SetItemTree(GTree* tree, int redraw) {
    if (tree != m_pTree || !m_bOwnTree) {
        if (m_bOwnTree)
            DeleteItemTree();
        m_pTree = tree;
        m_bOwnTree = 0;
    }
    m_posSel = nullptr;
    UpdateScroll(0, redraw);
}

POSITION GTreeCtrl::Resolve(POSITION pos) const {
    if (pos == SpecialHeadPosition())
        return m_pTree ? m_pTree->GetTopPosition() : nullptr;
    return pos;
}

GItem* GTreeCtrl::GetGItem(POSITION pos) const {
    pos = Resolve(pos);
    if (!m_pTree || !pos)
        return nullptr;
    return static_cast<GItem*>(m_pTree->GetAt(pos));
}

GTreeItem* GTreeCtrl::TreeItemAt(POSITION pos) const {
    return dynamic_cast<GTreeItem*>(GetGItem(pos));
}

int GTreeCtrl::IsOpenAt(POSITION pos) const {
    GTreeItem* item = TreeItemAt(pos);
    return item && item->IsOpen();
}

int GTreeCtrl::IsRoot(POSITION pos) const {
    return m_pTree && pos && pos == m_pTree->GetTopPosition();
}

POSITION GTreeCtrl::SetRoot(LPCWSTR label) {
    if (!label || !label[0])
        return nullptr;
    if (!m_pTree) {
        m_pTree = CreateItemTree();
        m_bOwnTree = m_pTree ? 1 : 0;
        if (!m_pTree)
            return nullptr;
    }
    DeleteItem(static_cast<GItem*>(m_pTree->GetTop()));
    m_pTree->SetAt(m_pTree->GetTopPosition(), nullptr);
    return m_pTree->SetTop(CreateItem(label));
}

POSITION GTreeCtrl::InsertChild(POSITION parent, LPCWSTR label, bool redraw, bool atTail) {
    if (!m_pTree) {
        m_pTree = CreateItemTree();
        m_bOwnTree = m_pTree ? 1 : 0;
    }
    if (!m_pTree)
        return nullptr;
    GItem* item = CreateItem(label);
    if (!item)
        return nullptr;
    parent = Resolve(parent);
    if (!parent)
        parent = m_pTree->GetTopPosition();
    POSITION first = GetChildItem(parent);
    POSITION pos = nullptr;
    if (!first || !parent) {
        pos = m_pTree->InsertChildHead(parent, item);
    } else if (m_eSortType == eSortNone) {
        pos = atTail ? m_pTree->InsertChildTail(parent, item)
                     : m_pTree->InsertChildHead(parent, item);
    } else if (!m_pfnCompare) {
        pos = m_pTree->InsertChildHead(parent, item);
    } else {
        for (POSITION c = first; c && !pos;) {
            POSITION at = c;
            auto* existing = static_cast<GItem*>(m_pTree->GetNext(c));
            const int cmp = m_pfnCompare(existing, item);
            if ((m_eSortType == eSortAscending && cmp > 0) ||
                (m_eSortType == eSortDescending && cmp <= 0))
                pos = m_pTree->InsertBefore(at, item);
        }
        if (!pos)
            pos = m_pTree->InsertChildTail(parent, item);
    }
    if (!pos) {
        DeleteItem(item);
        return nullptr;
    }
    if (redraw)
        Invalidate(1);
    return pos;
}

POSITION GTreeCtrl::InsertSibling(POSITION pos, LPCWSTR label, bool redraw, bool atTail) {
    POSITION parent = GetParentItem(Resolve(pos));
    if (!parent)
        return nullptr;
    return InsertChild(parent, label, redraw, atTail);
}

int GTreeCtrl::IsInSubtree(POSITION pos, POSITION node) const {
    for (POSITION p = pos; p; m_pTree->GetParent(p))
        if (p == node)
            return 1;
    return 0;
}

void GTreeCtrl::DeleteItem(POSITION pos, bool redraw) {
    pos = Resolve(pos);
    if (!m_pTree || !pos) {
        if (redraw)
            Invalidate(1);
        return;
    }
    // The item and every sibling after it go, each with its subtree.
    std::vector<POSITION> doomed;
    for (POSITION p = pos; p; m_pTree->GetNext(p))
        doomed.push_back(p);
    for (POSITION p : doomed) {
        if (m_posSel && IsInSubtree(m_posSel, p))
            m_posSel = nullptr;
        DeleteSubtreeItems(p);
        m_pTree->RemoveAt(p);
    }
    if (redraw)
        Invalidate(1);
}

void GTreeCtrl::DeleteChildItem(POSITION pos, bool redraw) {
    POSITION child = GetChildItem(Resolve(pos));
    if (child)
        DeleteItem(child, redraw);
    else if (redraw)
        Invalidate(1);
}

// ---- Navigation and search --------------------------------------------------------------------

POSITION GTreeCtrl::GetTopItem() const {
    return m_pTree ? m_pTree->GetTopPosition() : nullptr;
}

POSITION GTreeCtrl::GetParentItem(POSITION pos) {
    pos = Resolve(pos);
    if (!m_pTree || !pos)
        return nullptr;
    m_pTree->GetParent(pos);
    return pos;
}

POSITION GTreeCtrl::GetChildItem(POSITION pos) {
    pos = Resolve(pos);
    if (!m_pTree || !pos)
        return nullptr;
    m_pTree->GetChild(pos);
    return pos;
}

POSITION GTreeCtrl::GetNextItem(POSITION pos) {
    pos = Resolve(pos);
    if (!m_pTree || !pos)
        return nullptr;
    m_pTree->GetNext(pos);
    return pos;
}

POSITION GTreeCtrl::GetPrevItem(POSITION pos) {
    pos = Resolve(pos);
    if (!m_pTree || !pos)
        return nullptr;
    m_pTree->GetPrev(pos);
    return pos;
}

namespace {

// The row itself, then its subtree.
POSITION SearchSubtree(GTree* tree, POSITION pos, LPCWSTR label);

// Each row of a sibling chain with its subtree, in order.
POSITION SearchChain(GTree* tree, POSITION pos, LPCWSTR label) {
    for (; pos; tree->GetNext(pos))
        if (POSITION hit = SearchSubtree(tree, pos, label))
            return hit;
    return nullptr;
}

POSITION SearchSubtree(GTree* tree, POSITION pos, LPCWSTR label) {
    if (ItemLabelIs(static_cast<GItem*>(tree->GetAt(pos)), label))
        return pos;
    POSITION child = pos;
    tree->GetChild(child);
    return SearchChain(tree, child, label);
}

} // namespace

POSITION GTreeCtrl::FindItem(POSITION start, LPCWSTR label) {
    start = Resolve(start);
    if (!m_pTree || !start || !label)
        return nullptr;
    if (ItemLabelIs(GetGItem(start), label))
        return start;
    if (POSITION hit = SearchChain(m_pTree, GetNextItem(start), label))
        return hit;
    return SearchChain(m_pTree, GetChildItem(start), label);
}

POSITION GTreeCtrl::FindChildItem(POSITION parent, LPCWSTR label) {
    if (!label)
        return nullptr;
    for (POSITION c = GetChildItem(Resolve(parent)); c; c = GetNextItem(c))
        if (ItemLabelIs(GetGItem(c), label))
            return c;
    return nullptr;
}

// ---- Selection and open state -----------------------------------------------------------------

void GTreeCtrl::OpenParentRecursive(POSITION pos) {
    for (POSITION p = GetParentItem(Resolve(pos)); p; p = GetParentItem(p))
        if (GTreeItem* item = TreeItemAt(p))
            item->SetOpen(1);
}

void GTreeCtrl::SelectItem(POSITION pos, bool redraw) {
    pos = Resolve(pos);
    OpenParentRecursive(pos);
    m_posSel = pos;
    UpdateScroll(1, 0);
    if (redraw)
        Invalidate(0);
}

void GTreeCtrl::OpenItem(POSITION pos, bool open, bool redraw) {
    if (GTreeItem* item = TreeItemAt(pos))
        item->SetOpen(open);
    UpdateScroll(1, 0);
    if (redraw)
        Invalidate(0);
}

void GTreeCtrl::ToggleItem(POSITION pos, bool redraw) {
    if (GTreeItem* item = TreeItemAt(pos))
        item->SetOpen(!item->IsOpen());
    if (redraw)
        Invalidate(0);
}

// ---- Look -------------------------------------------------------------------------------------

void GTreeCtrl::SetDefBackColor(COLORREF color, bool redraw) {
    m_crBack = color;
    if (redraw)
        Invalidate(0);
}

void GTreeCtrl::SetSelBackColor(COLORREF color, bool redraw) {
    m_crSelBack = color;
    if (redraw)
        Invalidate(0);
}

void GTreeCtrl::SetDefTextColor(COLORREF color, bool redraw) {
    m_crText = color;
    if (redraw)
        Invalidate(0);
}

void GTreeCtrl::SetSelTextColor(COLORREF color, bool redraw) {
    m_crSelText = color;
    if (redraw)
        Invalidate(0);
}

void GTreeCtrl::SetDrawLines(bool on, bool redraw) {
    m_bDrawLines = on;
    if (redraw)
        Invalidate(0);
}

void GTreeCtrl::SetDrawRootLine(bool on, bool redraw) {
    m_bDrawRootLine = on;
    if (redraw)
        Invalidate(0);
}

void GTreeCtrl::SetFirstIntendX(int x, bool redraw) {
    m_nFirstIndentX = x;
    if (redraw)
        Invalidate(0);
}

void GTreeCtrl::SetFirstIntendY(int y, bool redraw) {
    m_nFirstIndentY = y;
    if (redraw)
        Invalidate(0);
}

void GTreeCtrl::SetItemHeight(int height, bool redraw) {
    m_nItemHeight = height > 0 ? height : 1;
    UpdateScroll(0, redraw);
}
