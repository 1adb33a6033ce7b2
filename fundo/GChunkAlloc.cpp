#include "fundo/GChunkAlloc.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr UINT kWord = sizeof(void*);

unsigned char* LoadLink(const unsigned char* slot) {
    unsigned char* link;
    std::memcpy(&link, slot + kWord, sizeof link);
    return link;
}

void StoreLink(unsigned char* slot, unsigned char* link) {
    std::memcpy(slot + kWord, &link, sizeof link);
}

} // namespace

GChunkAlloc::GChunkAlloc(UINT objectSize, UINT objectsPerChunk, BOOL freeEmpty)
    : m_nSlotsPerChunk(objectsPerChunk), m_bFreeEmpty(freeEmpty) {
    // A free slot keeps its link in the object's first word, so objects hold at least one.
    if (objectSize < 1)
        objectSize = 1;
    m_nSlotSize = ((objectSize - 1) / kWord + 2) * kWord;
}

GChunkAlloc::~GChunkAlloc() {
    GChunkBlock* chunk = m_pFirst;
    while (chunk != nullptr) {
        GChunkBlock* next = chunk->pNext;
        std::free(chunk);
        chunk = next;
    }
}

UINT GChunkAlloc::GetChunkCount() const {
    UINT n = 0;
    for (GChunkBlock* chunk = m_pFirst; chunk != nullptr; chunk = chunk->pNext)
        ++n;
    return n;
}

GChunkAlloc::GChunkBlock* GChunkAlloc::CreateChunk() {
    static_assert(sizeof(GChunkBlock) % alignof(void*) == 0, "slots stay pointer aligned");
    if (m_nSlotsPerChunk == 0 || m_nSlotsPerChunk > (SIZE_MAX - sizeof(GChunkBlock)) / m_nSlotSize)
        return nullptr;
    auto* chunk = static_cast<GChunkBlock*>(
        std::malloc(sizeof(GChunkBlock) + std::size_t{m_nSlotsPerChunk} * m_nSlotSize));
    if (chunk == nullptr)
        return nullptr;
    chunk->owner = this;
    chunk->pNext = nullptr;
    chunk->pPrev = m_pLast;
    chunk->nUsed = 0;
    chunk->nSerial = m_nSerial++;
    // Thread the slots in address order, the first on top, each with its back pointer.
    unsigned char* first = FirstSlot(chunk);
    for (UINT i = 0; i < m_nSlotsPerChunk; ++i) {
        unsigned char* slot = first + std::size_t{i} * m_nSlotSize;
        std::memcpy(slot, &chunk, sizeof chunk);
        StoreLink(slot, i + 1 < m_nSlotsPerChunk ? slot + m_nSlotSize : nullptr);
    }
    chunk->pFreeSlot = first;
    if (m_pLast)
        m_pLast->pNext = chunk;
    else
        m_pFirst = chunk;
    m_pLast = chunk;
    m_pCurrent = chunk;
    return chunk;
}

void GChunkAlloc::FreeChunk(GChunkBlock* chunk) {
    if (chunk->pPrev)
        chunk->pPrev->pNext = chunk->pNext;
    else
        m_pFirst = chunk->pNext;
    if (chunk->pNext)
        chunk->pNext->pPrev = chunk->pPrev;
    else
        m_pLast = chunk->pPrev;
    if (m_pCurrent == chunk)
        m_pCurrent = m_pFirst;
    std::free(chunk);
}

void* GChunkAlloc::Alloc(BYTE) {
    if (m_pCurrent != nullptr && m_pCurrent->pFreeSlot == nullptr) {
        m_pCurrent = nullptr;
        for (GChunkBlock* chunk = m_pFirst; chunk != nullptr; chunk = chunk->pNext) {
            if (chunk->pFreeSlot != nullptr) {
                m_pCurrent = chunk;
                break;
            }
        }
    }
    if (m_pCurrent == nullptr && CreateChunk() == nullptr)
        return nullptr;
    unsigned char* slot = m_pCurrent->pFreeSlot;
    m_pCurrent->pFreeSlot = LoadLink(slot);
    ++m_pCurrent->nUsed;
    return slot + kWord;
}

void GChunkAlloc::Free(void* object, BYTE) {
    if (object == nullptr)
        return;
    unsigned char* slot = static_cast<unsigned char*>(object) - kWord;
    GChunkBlock* chunk;
    std::memcpy(&chunk, slot, sizeof chunk);
    if (chunk == nullptr || chunk->owner != this || chunk->nUsed == 0)
        return;
    StoreLink(slot, chunk->pFreeSlot);
    chunk->pFreeSlot = slot;
    if (--chunk->nUsed == 0 && m_bFreeEmpty) {
        FreeChunk(chunk);
        return;
    }
    // Keep filling the oldest chunk that has room.
    if (m_pCurrent == nullptr || chunk->nSerial < m_pCurrent->nSerial)
        m_pCurrent = chunk;
}

void GChunkAlloc::FreeEmpties() {
    GChunkBlock* chunk = m_pFirst;
    while (chunk != nullptr) {
        GChunkBlock* next = chunk->pNext;
        if (chunk->nUsed == 0)
            FreeChunk(chunk);
        chunk = next;
    }
}
