#include "InkPool.h"

#include <cstring>

InkPool::InkPool(UINT recordSize, UINT recordsPerChunk)
    : m_nRecordSize(recordSize), m_alloc(recordSize, recordsPerChunk, FALSE) {}

void* InkPool::Alloc() {
    void* record;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        record = m_alloc.Alloc();
    }
    if (record != nullptr)
        std::memset(record, 0, m_nRecordSize);
    return record;
}

void InkPool::Free(void* record) {
    if (record == nullptr)
        return;
    std::lock_guard<std::mutex> hold(m_lock);
    m_alloc.Free(record);
}

UINT InkPool::GetChunkCount() {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_alloc.GetChunkCount();
}
