// Timers: per window and id (or per thread), due on the platform clock. WM_TIMER is made when
// a timer is due and nothing else is waiting; a timer that fell behind fires once, not once
// for every period it missed.
#include "user_internal.h"

#include <platform/winbase.h>

#include <atomic>

namespace plat {

namespace {
constexpr UINT kMinimumElapse = 10; // USER_TIMER_MINIMUM
constexpr UINT kMaximumElapse = 0x7FFFFFFF;
} // namespace

Timer* NextTimer(ThreadQueue& q, Window* filter, bool dueOnly) {
    ULONGLONG now = ClockNowMs();
    Timer* best = nullptr;
    for (Timer& t : q.timers) {
        if (dueOnly && t.due > now)
            continue;
        if (filter) {
            Window* w = GetWindowObj(t.hwnd);
            if (!w || (w != filter && !IsDescendant(filter, w)))
                continue;
        }
        if (!best || t.due < best->due)
            best = &t;
    }
    return best;
}

void KillTimersOf(ThreadQueue& q, HWND hwnd) {
    std::erase_if(q.timers, [hwnd](const Timer& t) { return t.hwnd == hwnd; });
}

} // namespace plat

using namespace plat;

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
    ThreadQueue& q = CurrentQueue();
    if (hwnd) {
        Window* w = GetWindowObj(hwnd);
        if (!w || w->threadId != GetCurrentThreadId()) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
    } else {
        // Thread timers get an id of their own; the caller's is ignored as in Win32.
        static std::atomic<UINT_PTR> next{0x7FFF0000};
        id = next.fetch_add(1);
    }
    if (elapse < kMinimumElapse)
        elapse = kMinimumElapse;
    if (elapse > kMaximumElapse)
        elapse = kMaximumElapse;
    ULONGLONG due = ClockNowMs() + elapse;
    for (Timer& t : q.timers) {
        if (t.hwnd == hwnd && t.id == id) {
            t.elapse = elapse;
            t.due = due;
            t.proc = proc;
            return hwnd ? (id ? id : 1) : id;
        }
    }
    q.timers.push_back(Timer{hwnd, id, elapse, due, proc});
    return hwnd ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
    ThreadQueue& q = CurrentQueue();
    size_t before = q.timers.size();
    std::erase_if(q.timers, [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
    // A WM_TIMER already taken from the queue is not recalled; one not yet made never comes.
    return q.timers.size() != before ? TRUE : FALSE;
}
