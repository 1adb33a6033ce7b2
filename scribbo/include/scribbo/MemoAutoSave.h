// Saving an open memo while the user goes on writing. The memo is made into bytes on the
// caller's thread, which is quick; compressing and the safe replace of the file run on a
// worker, so the pen never waits for the disk. The bytes' block is kept from save to save:
// once touched, filling it again costs no fresh memory.
#pragma once

#include "scribbo/GPadDrawMan.h"

#include <atomic>
#include <memory>
#include <thread>

class MemoAutoSave {
public:
    MemoAutoSave() = default;
    MemoAutoSave(const MemoAutoSave&) = delete;
    MemoAutoSave& operator=(const MemoAutoSave&) = delete;
    // Waits for a write still running.
    ~MemoAutoSave();

    // Serialises memo now and writes it to path on the worker; a write still running is
    // waited for first, so two saves of one file never overlap. 0 when nothing was started
    // (an empty memo, a memo whose load failed, no path); the memo then stays unsaved.
    int Start(GPadDrawMan& memo, LPCWSTR path);
    // Waits for the running write, if any. 1 when the last write finished well (or none
    // ran), 0 when it failed.
    int Wait();
    int IsRunning() const { return m_thread.joinable() && !m_done.load(); }

private:
    std::unique_ptr<MemoImage> m_pImage;
    std::thread m_thread;
    std::atomic<int> m_done{1};
    int m_nResult = 1;
    std::atomic<int> m_nWorkerResult{1};
};
