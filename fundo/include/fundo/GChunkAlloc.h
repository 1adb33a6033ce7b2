// Fixed-size object allocator: objects are carved out of large chunks and recycled through
// per-chunk free lists. Every slot starts with a pointer back to its chunk; the object
// follows it.
#pragma once

#include <platform/wintypes.h>

class GChunkAlloc {
public:
    // No chunk is allocated yet. With freeEmpty set a chunk is released as soon as its
    // last object is freed.
    GChunkAlloc(UINT objectSize, UINT objectsPerChunk, BOOL freeEmpty);
    GChunkAlloc(const GChunkAlloc&) = delete;
    GChunkAlloc& operator=(const GChunkAlloc&) = delete;
    // Releases every chunk, used or not.
    ~GChunkAlloc();

    // A new object, null when memory runs out. The argument is not used.
    void* Alloc(BYTE unused = 0);
    // Returns an object to its chunk; null, and objects of another allocator, are ignored.
    void Free(void* object, BYTE unused = 0);
    // Releases every chunk that holds no object.
    void FreeEmpties();

    // Bytes per slot: the object size rounded up to the pointer size, plus the back pointer.
    UINT GetSlotSize() const { return m_nSlotSize; }
    UINT GetChunkCount() const;

private:
    struct GChunkBlock {
        GChunkAlloc* owner;
        GChunkBlock* pNext;
        GChunkBlock* pPrev;
        unsigned char* pFreeSlot; // first free slot; chained through each slot's object word
        UINT nUsed;
        UINT nSerial;
    };

    GChunkBlock* CreateChunk();
    void FreeChunk(GChunkBlock* chunk);
    static unsigned char* FirstSlot(GChunkBlock* chunk) {
        return reinterpret_cast<unsigned char*>(chunk + 1);
    }

    UINT m_nSlotSize;
    UINT m_nSlotsPerChunk;
    UINT m_nSerial = 0;
    BOOL m_bFreeEmpty;
    GChunkBlock* m_pFirst = nullptr;
    GChunkBlock* m_pLast = nullptr;
    GChunkBlock* m_pCurrent = nullptr;
};
