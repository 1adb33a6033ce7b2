// Threads over pthreads, detached from the start: the thread keeps its own reference to its
// object, so closing the handle of a running thread neither stops it nor leaks it, and the
// object stays waitable through any handle still open after the thread has ended.
#include "backend.h"
#include "user_internal.h"

#include <platform/waitable.h>
#include <platform/winbase.h>

#include <atomic>
#include <limits.h>
#include <pthread.h>

namespace plat {
namespace {

std::atomic<DWORD> g_nextThreadId{1};
thread_local DWORD t_threadId = 0;
// Threads started and not yet ended; a suspended one counts from its resume.
std::atomic<int> g_busyThreads{0};

void ThreadBusy() {
    g_busyThreads.fetch_add(1);
}

void ThreadDone() {
    // The last one to end wakes the interface thread, which may be holding a script step
    // until the work is done.
    if (g_busyThreads.fetch_sub(1) == 1)
        WakeGuiThreads();
}

class ThreadObject : public WaitableObject {
public:
    ThreadObject(LPTHREAD_START_ROUTINE start, LPVOID parameter, DWORD id, bool suspended)
        : m_start(start), m_parameter(parameter), m_id(id), m_suspendCount(suspended ? 1 : 0) {}

    void Run() {
        t_threadId = m_id;
        {
            std::unique_lock lock(m_gateMutex);
            m_gate.wait(lock, [this] { return m_suspendCount == 0; });
        }
        DWORD code = m_start(m_parameter);
        m_exitCode.store(code);
        Signal();
        ThreadDone();
    }

    DWORD Resume() {
        std::lock_guard lock(m_gateMutex);
        DWORD previous = m_suspendCount;
        if (m_suspendCount > 0 && --m_suspendCount == 0) {
            ThreadBusy();
            m_gate.notify_all();
        }
        return previous;
    }

    DWORD ExitCode() const { return m_exitCode.load(); }

private:
    LPTHREAD_START_ROUTINE m_start;
    LPVOID m_parameter;
    DWORD m_id;
    std::atomic<DWORD> m_exitCode{STILL_ACTIVE};
    std::mutex m_gateMutex;
    std::condition_variable m_gate;
    DWORD m_suspendCount;
};

void* ThreadMain(void* arg) {
    auto* holder = static_cast<std::shared_ptr<ThreadObject>*>(arg);
    std::shared_ptr<ThreadObject> self = std::move(*holder);
    delete holder;
    self->Run();
    return nullptr;
}

} // namespace

int BusyThreads() {
    return g_busyThreads.load();
}

} // namespace plat

HANDLE CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T stackSize, LPTHREAD_START_ROUTINE start,
                    LPVOID parameter, DWORD flags, LPDWORD threadId) {
    if (!start) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    DWORD id = plat::g_nextThreadId.fetch_add(1);
    auto object =
        std::make_shared<plat::ThreadObject>(start, parameter, id, (flags & CREATE_SUSPENDED) != 0);
    pthread_attr_t attr;
    if (pthread_attr_init(&attr) != 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
    // The requested size is a floor: host stacks are already larger than the device's.
    size_t current = 0;
    if (stackSize > 0 && pthread_attr_getstacksize(&attr, &current) == 0 && stackSize > current)
        pthread_attr_setstacksize(&attr, stackSize);
    HANDLE handle = plat::AddHandle(object);
    if (!(flags & CREATE_SUSPENDED))
        plat::ThreadBusy();
    auto* holder = new std::shared_ptr<plat::ThreadObject>(object);
    pthread_t thread;
    int rc = pthread_create(&thread, &attr, plat::ThreadMain, holder);
    pthread_attr_destroy(&attr);
    if (rc != 0) {
        delete holder;
        if (!(flags & CREATE_SUSPENDED))
            plat::ThreadDone();
        plat::RemoveHandle(handle);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (threadId)
        *threadId = id;
    return handle;
}

DWORD ResumeThread(HANDLE thread) {
    auto object = plat::LookupHandleAs<plat::ThreadObject>(thread);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0xFFFFFFFFu;
    }
    return object->Resume();
}

BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode) {
    auto object = plat::LookupHandleAs<plat::ThreadObject>(thread);
    if (!object || !exitCode) {
        SetLastError(object ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    *exitCode = object->ExitCode();
    return TRUE;
}

// Threads the platform did not start get their id on first asking.
DWORD GetCurrentThreadId() {
    if (plat::t_threadId == 0)
        plat::t_threadId = plat::g_nextThreadId.fetch_add(1);
    return plat::t_threadId;
}
