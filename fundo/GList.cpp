#include "fundo/GList.h"

GList::GList(int blockSize) : m_nodes(blockSize) {}

GList::~GList() {
    RemoveAll();
}

GList::GListNode* GList::NewNode(GListNode* prev, GListNode* next) {
    GListNode* node = m_nodes.Take();
    if (node == nullptr)
        return nullptr;
    node->pPrev = prev;
    node->pNext = next;
    node->data = nullptr;
    ++m_nCount;
    return node;
}

void GList::FreeNode(GListNode* node) {
    m_nodes.Give(node);
    if (--m_nCount == 0)
        RemoveAll(); // an emptied list holds no memory
}

POSITION GList::AddHead(void* data) {
    GListNode* node = NewNode(nullptr, m_pNodeHead);
    if (node == nullptr)
        return nullptr;
    node->data = data;
    if (m_pNodeHead)
        m_pNodeHead->pPrev = node;
    else
        m_pNodeTail = node;
    m_pNodeHead = node;
    return ToPos(node);
}

POSITION GList::AddTail(void* data) {
    GListNode* node = NewNode(m_pNodeTail, nullptr);
    if (node == nullptr)
        return nullptr;
    node->data = data;
    if (m_pNodeTail)
        m_pNodeTail->pNext = node;
    else
        m_pNodeHead = node;
    m_pNodeTail = node;
    return ToPos(node);
}

void GList::AddHead(GList* other) {
    if (other == nullptr)
        return;
    // Stop at the old head, so adding a list in front of itself doubles it once.
    GListNode* first = other->m_pNodeHead;
    for (GListNode* node = other->m_pNodeTail; node != nullptr; node = node->pPrev) {
        AddHead(node->data);
        if (node == first)
            break;
    }
}

void GList::AddTail(GList* other) {
    if (other == nullptr)
        return;
    // Stop at the old tail, so appending a list to itself doubles it once.
    GListNode* last = other->m_pNodeTail;
    for (GListNode* node = other->m_pNodeHead; node != nullptr; node = node->pNext) {
        AddTail(node->data);
        if (node == last)
            break;
    }
}

void* GList::RemoveHead() {
    GListNode* node = m_pNodeHead;
    if (node == nullptr)
        return nullptr;
    void* data = node->data;
    m_pNodeHead = node->pNext;
    if (m_pNodeHead)
        m_pNodeHead->pPrev = nullptr;
    else
        m_pNodeTail = nullptr;
    FreeNode(node);
    return data;
}

void* GList::RemoveTail() {
    GListNode* node = m_pNodeTail;
    if (node == nullptr)
        return nullptr;
    void* data = node->data;
    m_pNodeTail = node->pPrev;
    if (m_pNodeTail)
        m_pNodeTail->pNext = nullptr;
    else
        m_pNodeHead = nullptr;
    FreeNode(node);
    return data;
}

POSITION GList::InsertBefore(POSITION pos, void* data) {
    GListNode* at = ToNode(pos);
    if (at == nullptr)
        return AddHead(data);
    GListNode* node = NewNode(at->pPrev, at);
    if (node == nullptr)
        return nullptr;
    node->data = data;
    if (at->pPrev)
        at->pPrev->pNext = node;
    else
        m_pNodeHead = node;
    at->pPrev = node;
    return ToPos(node);
}

POSITION GList::InsertAfter(POSITION pos, void* data) {
    GListNode* at = ToNode(pos);
    if (at == nullptr)
        return AddTail(data);
    GListNode* node = NewNode(at, at->pNext);
    if (node == nullptr)
        return nullptr;
    node->data = data;
    if (at->pNext)
        at->pNext->pPrev = node;
    else
        m_pNodeTail = node;
    at->pNext = node;
    return ToPos(node);
}

void GList::RemoveAt(POSITION pos) {
    GListNode* node = ToNode(pos);
    if (node == nullptr)
        return;
    if (node == m_pNodeHead)
        m_pNodeHead = node->pNext;
    else
        node->pPrev->pNext = node->pNext;
    if (node == m_pNodeTail)
        m_pNodeTail = node->pPrev;
    else
        node->pNext->pPrev = node->pPrev;
    FreeNode(node);
}

POSITION GList::FindIndex(int index) const {
    if (index < 0 || index >= m_nCount)
        return nullptr;
    GListNode* node = m_pNodeHead;
    while (index-- > 0)
        node = node->pNext;
    return ToPos(node);
}

void GList::RemoveAll() {
    m_pNodeHead = m_pNodeTail = nullptr;
    m_nCount = 0;
    m_nodes.Clear();
}
