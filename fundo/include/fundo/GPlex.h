// A chain of raw memory blocks: the node store of GList and GTree. Each block is a header
// holding the link to the next block, followed at once by its payload.
#pragma once

#include <cstddef>

struct GPlex {
    GPlex* pNext;

    void* data() { return this + 1; }

    // Allocates a block of count x size payload bytes and links it in front of head;
    // null (and head unchanged) when the size overflows or memory runs out.
    static GPlex* Create(GPlex*& head, std::size_t count, std::size_t size);
    // Deletes this block and every block after it.
    void FreeDataChain();
};
static_assert(sizeof(GPlex) == sizeof(void*), "the payload starts one pointer in");
