// The node store of GList and GTree: nodes come from GPlex blocks of blockSize nodes and go
// back to a free list chained through their pNext field. Blocks are only given back all at
// once, by Clear.
#pragma once

#include "fundo/GPlex.h"

#include <cstddef>

template <class Node> class GNodePool {
public:
    explicit GNodePool(int blockSize) : m_nBlockSize(blockSize) {}
    GNodePool(const GNodePool&) = delete;
    GNodePool& operator=(const GNodePool&) = delete;
    ~GNodePool() { Clear(); }

    // A node off the free list, a new block made when the list is empty; null when blockSize
    // is below 1 or no memory is left. The node's fields are the caller's to set.
    Node* Take() {
        if (m_pFree == nullptr) {
            if (m_nBlockSize < 1)
                return nullptr;
            GPlex* block =
                GPlex::Create(m_pBlocks, static_cast<std::size_t>(m_nBlockSize), sizeof(Node));
            if (block == nullptr)
                return nullptr;
            // Push from the highest address down so the lowest node ends up on top.
            Node* nodes = static_cast<Node*>(block->data());
            for (int i = m_nBlockSize - 1; i >= 0; --i) {
                nodes[i].pNext = m_pFree;
                m_pFree = &nodes[i];
            }
        }
        Node* node = m_pFree;
        m_pFree = node->pNext;
        return node;
    }

    void Give(Node* node) {
        node->pNext = m_pFree;
        m_pFree = node;
    }

    // Deletes every block: every node handed out is gone with it.
    void Clear() {
        m_pFree = nullptr;
        if (m_pBlocks) {
            m_pBlocks->FreeDataChain();
            m_pBlocks = nullptr;
        }
    }

private:
    Node* m_pFree = nullptr;
    GPlex* m_pBlocks = nullptr;
    int m_nBlockSize;
};
