#include "scribbo/WarmBlock.h"

#include <cstring>
#include <new>

WarmBlock::~WarmBlock() {
    Join();
}

void WarmBlock::Join() {
    if (!m_thread.joinable())
        return;
    m_thread.join();
    m_block = std::move(m_made);
}

void WarmBlock::Prepare(size_t size) {
    if (IsPending() || size == 0)
        return;
    m_nSize = size;
    // The thread writes only m_made; the join hands it over to m_block.
    m_thread = std::thread([this, size] {
        std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[size]);
        if (block)
            std::memset(block.get(), 0, size);
        m_made = std::move(block);
    });
}

std::unique_ptr<BYTE[]> WarmBlock::Take(size_t size, size_t* capacity) {
    Join();
    std::unique_ptr<BYTE[]> block = std::move(m_block);
    if (block && m_nSize >= size) {
        if (capacity)
            *capacity = m_nSize;
        return block;
    }
    return nullptr;
}
