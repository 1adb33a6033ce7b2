// Memory made ready before it is needed: a block allocated and touched on a thread of its own.
// The thread that later fills it then does not stop while the system finds fresh pages, which
// on the first save of a large memo was most of the pause the writer felt.
#pragma once

#include <windows.h>

#include <memory>
#include <thread>

class WarmBlock {
public:
    WarmBlock() = default;
    WarmBlock(const WarmBlock&) = delete;
    WarmBlock& operator=(const WarmBlock&) = delete;
    // Waits for a block still being made.
    ~WarmBlock();

    // Starts making a block of size bytes ready, unless one is ready or being made already.
    void Prepare(size_t size);
    // 1 while a block is ready or being made.
    int IsPending() const { return m_thread.joinable() || m_block != nullptr; }
    // The block made ready when it holds at least size bytes (waited for while it is being
    // made), with its size in capacity. Null when there is none that large; a smaller one is
    // let go.
    std::unique_ptr<BYTE[]> Take(size_t size, size_t* capacity);

private:
    void Join();

    std::thread m_thread;
    // Ready blocks belong to the calling thread; m_made to the worker until it is joined.
    std::unique_ptr<BYTE[]> m_block;
    std::unique_ptr<BYTE[]> m_made;
    size_t m_nSize = 0;
};
