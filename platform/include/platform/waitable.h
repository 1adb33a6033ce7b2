// Kernel objects behind HANDLEs: threads, events, and whatever else later parts of the platform
// hand out (started processes, say). WaitForSingleObject and CloseHandle work on all of them.
#pragma once

#include <platform/wintypes.h>

#include <condition_variable>
#include <memory>
#include <mutex>

namespace plat {

// Something that is signalled or not. Auto-reset objects drop the signal for each waiter they
// release.
class WaitableObject {
public:
    explicit WaitableObject(bool autoReset = false, bool signalled = false)
        : m_autoReset(autoReset), m_signalled(signalled) {}
    virtual ~WaitableObject() = default;
    WaitableObject(const WaitableObject&) = delete;
    WaitableObject& operator=(const WaitableObject&) = delete;

    // Waits up to timeoutMs real milliseconds (INFINITE: no limit); true when signalled.
    bool Wait(DWORD timeoutMs);
    void Signal();
    void Unsignal();
    bool IsSignalled();

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_autoReset;
    bool m_signalled;
};

// The handle table. Handles are never reused, so a stale handle fails instead of naming a
// newer object. An object lives while a handle or anyone else holds it.
HANDLE AddHandle(std::shared_ptr<WaitableObject> object);
std::shared_ptr<WaitableObject> LookupHandle(HANDLE handle);
template <class T> std::shared_ptr<T> LookupHandleAs(HANDLE handle) {
    return std::dynamic_pointer_cast<T>(LookupHandle(handle));
}
// Drops the table's reference; false for a handle that is not open.
bool RemoveHandle(HANDLE handle);

} // namespace plat
