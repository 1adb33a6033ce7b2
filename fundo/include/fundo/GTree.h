// An ordered tree of untyped pointers (the elements belong to the caller): a root node,
// first-child and sibling links, nodes from GPlex blocks through a free list.
#pragma once

#include "fundo/GNodePool.h"
#include "fundo/Position.h"

class GTree {
public:
    struct CTreeNode {
        CTreeNode* pParent;
        CTreeNode* pNext;  // next sibling; also the free-list link
        CTreeNode* pPrev;  // previous sibling
        CTreeNode* pChild; // first child
        void* data;
    };

    // blockSize nodes are allocated at a time; the root is created at once with null data.
    explicit GTree(int blockSize = 10);
    GTree(const GTree&) = delete;
    GTree& operator=(const GTree&) = delete;
    ~GTree();

    void* GetTop() const { return m_pTop ? m_pTop->data : nullptr; }
    POSITION GetTopPosition() const { return ToPos(m_pTop); }
    // Creates the root when missing and stores data in it; null when no node could be had.
    POSITION SetTop(void* data);

    // Each returns the data at pos and then moves pos (null stays null).
    void* GetChild(POSITION& pos) const { return Step(pos, &CTreeNode::pChild); }
    void* GetParent(POSITION& pos) const { return Step(pos, &CTreeNode::pParent); }
    void* GetNext(POSITION& pos) const { return Step(pos, &CTreeNode::pNext); }
    void* GetPrev(POSITION& pos) const { return Step(pos, &CTreeNode::pPrev); }
    void* GetAt(POSITION pos) const { return pos ? ToNode(pos)->data : nullptr; }
    void SetAt(POSITION pos, void* data) {
        if (pos)
            ToNode(pos)->data = data;
    }

    // A null parent means the root (created first when missing). The new node becomes
    // the parent's first child (InsertChild, InsertChildHead) or its last (InsertChildTail).
    POSITION InsertChild(POSITION parent, void* data) { return InsertChildHead(parent, data); }
    POSITION InsertChildHead(POSITION parent, void* data);
    POSITION InsertChildTail(POSITION parent, void* data);
    // A sibling just before / after pos, with the same parent. Null for a null pos and
    // for the root, which has no siblings.
    POSITION InsertBefore(POSITION pos, void* data);
    POSITION InsertAfter(POSITION pos, void* data);
    // Removes pos with its whole subtree; removing the root clears the root.
    void RemoveAt(POSITION pos);
    // Removes everything and deletes every block; the root comes back on demand.
    void RemoveAll();

private:
    static CTreeNode* ToNode(POSITION pos) { return reinterpret_cast<CTreeNode*>(pos); }
    static POSITION ToPos(CTreeNode* node) { return reinterpret_cast<POSITION>(node); }
    static void* Step(POSITION& pos, CTreeNode* CTreeNode::*link) {
        CTreeNode* node = ToNode(pos);
        if (node == nullptr)
            return nullptr;
        pos = ToPos(node->*link);
        return node->data;
    }
    CTreeNode* NewNode(CTreeNode* parent, CTreeNode* prev, CTreeNode* next);
    void FreeNode(CTreeNode* node);
    void FreeChildren(CTreeNode* node);
    CTreeNode* ParentOrRoot(POSITION parent);

    CTreeNode* m_pTop = nullptr;
    GNodePool<CTreeNode> m_nodes;
};
