#include "fundo/GPlex.h"

#include <cstdint>
#include <cstdlib>

GPlex* GPlex::Create(GPlex*& head, std::size_t count, std::size_t size) {
    if (size != 0 && count > (SIZE_MAX - sizeof(GPlex)) / size)
        return nullptr;
    GPlex* block = static_cast<GPlex*>(std::malloc(sizeof(GPlex) + count * size));
    if (block == nullptr)
        return nullptr;
    block->pNext = head;
    head = block;
    return block;
}

void GPlex::FreeDataChain() {
    GPlex* block = this;
    while (block != nullptr) {
        GPlex* next = block->pNext;
        std::free(block);
        block = next;
    }
}
