// The handle table and waiting.
//
// Time-outs of WaitForSingleObject are real time even when the clock is virtual. What is waited
// for is a real thread (or an event set by one) that runs at its own pace; measuring the limit
// on a clock that only a test moves would make "wait up to two seconds for the renderer" either
// hang for ever or give up at once. Tests that need exact time drive the clock, not waits.
#include <platform/waitable.h>
#include <platform/winbase.h>

#include <chrono>
#include <unordered_map>

namespace plat {
namespace {

struct HandleTable {
    std::mutex mutex;
    // Multiples of four from 0x1000 up, so a handle never looks like a small integer or a
    // pointer to anything.
    UINT_PTR next = 0x1000;
    std::unordered_map<UINT_PTR, std::shared_ptr<WaitableObject>> objects;
};

HandleTable& Table() {
    static HandleTable* table = new HandleTable;
    return *table;
}

} // namespace

bool WaitableObject::Wait(DWORD timeoutMs) {
    std::unique_lock lock(m_mutex);
    auto ready = [this] { return m_signalled; };
    if (timeoutMs == INFINITE)
        m_cv.wait(lock, ready);
    else if (!m_cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready))
        return false;
    if (m_autoReset)
        m_signalled = false;
    return true;
}

void WaitableObject::Signal() {
    {
        std::lock_guard lock(m_mutex);
        m_signalled = true;
    }
    if (m_autoReset)
        m_cv.notify_one();
    else
        m_cv.notify_all();
}

void WaitableObject::Unsignal() {
    std::lock_guard lock(m_mutex);
    m_signalled = false;
}

bool WaitableObject::IsSignalled() {
    std::lock_guard lock(m_mutex);
    return m_signalled;
}

HANDLE AddHandle(std::shared_ptr<WaitableObject> object) {
    if (!object)
        return nullptr;
    HandleTable& t = Table();
    std::lock_guard lock(t.mutex);
    UINT_PTR value = t.next;
    t.next += 4;
    t.objects.emplace(value, std::move(object));
    return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<WaitableObject> LookupHandle(HANDLE handle) {
    HandleTable& t = Table();
    std::lock_guard lock(t.mutex);
    auto it = t.objects.find(reinterpret_cast<UINT_PTR>(handle));
    return it == t.objects.end() ? nullptr : it->second;
}

bool RemoveHandle(HANDLE handle) {
    std::shared_ptr<WaitableObject> released;
    HandleTable& t = Table();
    std::lock_guard lock(t.mutex);
    auto it = t.objects.find(reinterpret_cast<UINT_PTR>(handle));
    if (it == t.objects.end())
        return false;
    // The object may be destroyed here; do it after the table lock is gone.
    released = std::move(it->second);
    t.objects.erase(it);
    return true;
}

} // namespace plat

DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds) {
    std::shared_ptr<plat::WaitableObject> o = plat::LookupHandle(object);
    if (!o) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    return o->Wait(milliseconds) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

BOOL CloseHandle(HANDLE object) {
    if (!plat::RemoveHandle(object)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
