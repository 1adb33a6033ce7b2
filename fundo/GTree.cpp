#include "fundo/GTree.h"

GTree::GTree(int blockSize) : m_nodes(blockSize) {
    m_pTop = NewNode(nullptr, nullptr, nullptr);
}

GTree::~GTree() {
    RemoveAll();
}

GTree::CTreeNode* GTree::NewNode(CTreeNode* parent, CTreeNode* prev, CTreeNode* next) {
    CTreeNode* node = m_nodes.Take();
    if (node == nullptr)
        return nullptr;
    node->pParent = parent;
    node->pPrev = prev;
    node->pNext = next;
    node->pChild = nullptr;
    node->data = nullptr;
    return node;
}

void GTree::FreeNode(CTreeNode* node) {
    node->data = nullptr;
    m_nodes.Give(node);
}

void GTree::FreeChildren(CTreeNode* top) {
    // Post-order walk over the parent links: no recursion, whatever the depth.
    CTreeNode* node = top->pChild;
    while (node != nullptr) {
        if (node->pChild != nullptr) {
            node = node->pChild;
            continue;
        }
        CTreeNode* next = node->pNext;
        CTreeNode* parent = node->pParent;
        FreeNode(node);
        if (next != nullptr) {
            node = next;
        } else {
            parent->pChild = nullptr;
            node = parent == top ? nullptr : parent;
        }
    }
    top->pChild = nullptr;
}

POSITION GTree::SetTop(void* data) {
    if (m_pTop == nullptr)
        m_pTop = NewNode(nullptr, nullptr, nullptr);
    if (m_pTop == nullptr)
        return nullptr;
    m_pTop->data = data;
    return ToPos(m_pTop);
}

GTree::CTreeNode* GTree::ParentOrRoot(POSITION parent) {
    if (parent != nullptr)
        return ToNode(parent);
    if (m_pTop == nullptr)
        m_pTop = NewNode(nullptr, nullptr, nullptr);
    return m_pTop;
}

POSITION GTree::InsertChildHead(POSITION parent, void* data) {
    CTreeNode* p = ParentOrRoot(parent);
    if (p == nullptr)
        return nullptr;
    CTreeNode* node = NewNode(p, nullptr, p->pChild);
    if (node == nullptr)
        return nullptr;
    node->data = data;
    if (p->pChild)
        p->pChild->pPrev = node;
    p->pChild = node;
    return ToPos(node);
}

POSITION GTree::InsertChildTail(POSITION parent, void* data) {
    CTreeNode* p = ParentOrRoot(parent);
    if (p == nullptr)
        return nullptr;
    CTreeNode* last = p->pChild;
    while (last != nullptr && last->pNext != nullptr)
        last = last->pNext;
    CTreeNode* node = NewNode(p, last, nullptr);
    if (node == nullptr)
        return nullptr;
    node->data = data;
    if (last)
        last->pNext = node;
    else
        p->pChild = node;
    return ToPos(node);
}

POSITION GTree::InsertBefore(POSITION pos, void* data) {
    CTreeNode* at = ToNode(pos);
    if (at == nullptr || at == m_pTop || at->pParent == nullptr)
        return nullptr;
    CTreeNode* node = NewNode(at->pParent, at->pPrev, at);
    if (node == nullptr)
        return nullptr;
    node->data = data;
    if (at->pPrev)
        at->pPrev->pNext = node;
    else
        at->pParent->pChild = node;
    at->pPrev = node;
    return ToPos(node);
}

POSITION GTree::InsertAfter(POSITION pos, void* data) {
    CTreeNode* at = ToNode(pos);
    if (at == nullptr || at == m_pTop || at->pParent == nullptr)
        return nullptr;
    CTreeNode* node = NewNode(at->pParent, at, at->pNext);
    if (node == nullptr)
        return nullptr;
    node->data = data;
    if (at->pNext)
        at->pNext->pPrev = node;
    at->pNext = node;
    return ToPos(node);
}

void GTree::RemoveAt(POSITION pos) {
    CTreeNode* node = ToNode(pos);
    if (node == nullptr)
        return;
    FreeChildren(node);
    if (node->pPrev)
        node->pPrev->pNext = node->pNext;
    else if (node->pParent)
        node->pParent->pChild = node->pNext;
    if (node->pNext)
        node->pNext->pPrev = node->pPrev;
    if (node == m_pTop)
        m_pTop = nullptr;
    FreeNode(node);
}

void GTree::RemoveAll() {
    // Every node lives in the blocks: dropping them drops the whole tree.
    m_pTop = nullptr;
    m_nodes.Clear();
}
