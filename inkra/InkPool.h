// A pool of fixed-size records shared by the user-interface thread and the preview renderer,
// which both create and free ink objects and pages: a chunk allocator under a lock.
#pragma once

#include "fundo/GChunkAlloc.h"

#include <mutex>

class InkPool {
public:
    InkPool(UINT recordSize, UINT recordsPerChunk);
    InkPool(const InkPool&) = delete;
    InkPool& operator=(const InkPool&) = delete;

    // A zero-filled record, null when memory runs out.
    void* Alloc();
    // Returns a record to the pool; null is ignored.
    void Free(void* record);
    UINT GetChunkCount();

private:
    std::mutex m_lock;
    UINT m_nRecordSize;
    GChunkAlloc m_alloc;
};
