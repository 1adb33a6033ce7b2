// A doubly linked list of untyped pointers (the elements belong to the caller). Nodes come
// from GPlex blocks through a free list; an emptied list gives all its blocks back.
#pragma once

#include "fundo/GNodePool.h"
#include "fundo/Position.h"

class GList {
public:
    struct GListNode {
        GListNode* pNext;
        GListNode* pPrev;
        void* data;
    };

    // blockSize nodes are allocated at a time; below 1 the list cannot hold anything.
    explicit GList(int blockSize = 10);
    GList(const GList&) = delete;
    GList& operator=(const GList&) = delete;
    ~GList();

    int GetCount() const { return m_nCount; }
    bool IsEmpty() const { return m_nCount == 0; }
    void* GetHead() const { return m_pNodeHead ? m_pNodeHead->data : nullptr; }
    void* GetTail() const { return m_pNodeTail ? m_pNodeTail->data : nullptr; }
    POSITION GetHeadPosition() const { return ToPos(m_pNodeHead); }
    POSITION GetTailPosition() const { return ToPos(m_pNodeTail); }

    // The data at pos, then pos moves on (null past the end). A null pos gives null.
    void* GetNext(POSITION& pos) const {
        GListNode* node = ToNode(pos);
        if (node == nullptr)
            return nullptr;
        pos = ToPos(node->pNext);
        return node->data;
    }
    void* GetPrev(POSITION& pos) const {
        GListNode* node = ToNode(pos);
        if (node == nullptr)
            return nullptr;
        pos = ToPos(node->pPrev);
        return node->data;
    }
    void* GetAt(POSITION pos) const { return pos ? ToNode(pos)->data : nullptr; }
    void SetAt(POSITION pos, void* data) {
        if (pos)
            ToNode(pos)->data = data;
    }

    // The new node's position, null when no node could be had.
    POSITION AddHead(void* data);
    POSITION AddTail(void* data);
    // Adds the other list's elements in front / at the end, keeping their order.
    void AddHead(GList* other);
    void AddTail(GList* other);
    void* RemoveHead();
    void* RemoveTail();
    // A null position means AddHead / AddTail.
    POSITION InsertBefore(POSITION pos, void* data);
    POSITION InsertAfter(POSITION pos, void* data);
    void RemoveAt(POSITION pos);
    // Position of the index-th node from the head; null outside 0 .. count - 1.
    POSITION FindIndex(int index) const;
    // Forgets every node and deletes every block.
    void RemoveAll();

private:
    static GListNode* ToNode(POSITION pos) { return reinterpret_cast<GListNode*>(pos); }
    static POSITION ToPos(GListNode* node) { return reinterpret_cast<POSITION>(node); }
    GListNode* NewNode(GListNode* prev, GListNode* next);
    void FreeNode(GListNode* node);

    GListNode* m_pNodeHead = nullptr;
    GListNode* m_pNodeTail = nullptr;
    int m_nCount = 0;
    GNodePool<GListNode> m_nodes;
};
