#include <platform/clock.h>
#include <platform/winbase.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <sched.h>
#include <thread>
#include <utility>
#include <vector>

namespace plat {
namespace {

constexpr ULONGLONG kUnixEpochFileTime = 116444736000000000ull;
constexpr ULONGLONG kTicksPerMs = 10000;
// 2024-01-01 00:00:00 UTC.
constexpr ULONGLONG kVirtualStartUtc = 133485408000000000ull;

struct ClockState {
    std::mutex mutex;
    bool virtualOn = false;
    ULONGLONG virtualMs = kVirtualStartMs;
    // The virtual time of day is utcBase at tick utcBaseMs, moving with the ticks.
    ULONGLONG utcBase = kVirtualStartUtc;
    ULONGLONG utcBaseMs = kVirtualStartMs;
    LONG offsetMinutes = 0;
    int nextListenerId = 1;
    std::vector<std::pair<int, std::function<void()>>> listeners;

    std::mutex sleepersMutex;
    std::vector<ClockSleeper*> sleepers;
};

// Never destroyed: libraries still read the clock and free modules while the process exits.
ClockState& State() {
    static ClockState* state = new ClockState;
    return *state;
}

ULONGLONG RealNowMs() {
    using namespace std::chrono;
    return static_cast<ULONGLONG>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

ULONGLONG RealUtcFileTime() {
    using namespace std::chrono;
    auto since1970 = duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count();
    return kUnixEpochFileTime + static_cast<ULONGLONG>(since1970 / 100);
}

LONG RealUtcOffsetMinutes() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    if (!localtime_r(&now, &local))
        return 0;
    return static_cast<LONG>(local.tm_gmtoff / 60);
}

ULONGLONG VirtualUtcLocked(const ClockState& s) {
    return s.utcBase + (s.virtualMs - s.utcBaseMs) * kTicksPerMs;
}

void BlockForever() {
    std::mutex m;
    std::condition_variable cv;
    std::unique_lock lock(m);
    cv.wait(lock, [] { return false; });
}

void CallListeners() {
    std::vector<std::function<void()>> calls;
    {
        ClockState& s = State();
        std::lock_guard lock(s.mutex);
        for (auto& [id, fn] : s.listeners)
            calls.push_back(fn);
    }
    for (auto& fn : calls)
        fn();
}

} // namespace

// Taking each sleeper's lock before notifying it means a sleeper between reading the clock and
// starting to wait cannot miss the change.
void NotifyClockSleepers() {
    ClockState& s = State();
    std::lock_guard lock(s.sleepersMutex);
    for (ClockSleeper* sleeper : s.sleepers) {
        { std::lock_guard inner(sleeper->m_mutex); }
        sleeper->m_cv.notify_all();
    }
}

void UseVirtualClock(bool on) {
    {
        ClockState& s = State();
        std::lock_guard lock(s.mutex);
        if (s.virtualOn == on)
            return;
        s.virtualOn = on;
        if (on) {
            s.virtualMs = kVirtualStartMs;
            s.utcBase = kVirtualStartUtc;
            s.utcBaseMs = kVirtualStartMs;
            s.offsetMinutes = 0;
        }
    }
    NotifyClockSleepers();
}

bool IsVirtualClock() {
    ClockState& s = State();
    std::lock_guard lock(s.mutex);
    return s.virtualOn;
}

bool AdvanceClock(DWORD ms) {
    {
        ClockState& s = State();
        std::lock_guard lock(s.mutex);
        if (!s.virtualOn)
            return false;
        s.virtualMs += ms;
    }
    NotifyClockSleepers();
    CallListeners();
    return true;
}

ULONGLONG ClockNowMs() {
    ClockState& s = State();
    std::lock_guard lock(s.mutex);
    return s.virtualOn ? s.virtualMs : RealNowMs();
}

ULONGLONG ClockUtcFileTime() {
    ClockState& s = State();
    std::lock_guard lock(s.mutex);
    return s.virtualOn ? VirtualUtcLocked(s) : RealUtcFileTime();
}

LONG ClockUtcOffsetMinutes() {
    ClockState& s = State();
    {
        std::lock_guard lock(s.mutex);
        if (s.virtualOn)
            return s.offsetMinutes;
    }
    return RealUtcOffsetMinutes();
}

bool SetVirtualLocalTime(const SYSTEMTIME& localTime) {
    FILETIME ft{};
    if (!SystemTimeToFileTime(&localTime, &ft))
        return false;
    ULONGLONG local = (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    ClockState& s = State();
    std::lock_guard lock(s.mutex);
    if (!s.virtualOn)
        return false;
    LONGLONG offset = static_cast<LONGLONG>(s.offsetMinutes) * 60 * 10000000;
    LONGLONG utc = static_cast<LONGLONG>(local) - offset;
    if (utc < 0)
        return false;
    s.utcBase = static_cast<ULONGLONG>(utc);
    s.utcBaseMs = s.virtualMs;
    return true;
}

bool SetVirtualUtcOffset(LONG minutes) {
    // Real zones lie within a day of UTC; anything else is a mistake.
    if (minutes <= -24 * 60 || minutes >= 24 * 60)
        return false;
    ClockState& s = State();
    std::lock_guard lock(s.mutex);
    if (!s.virtualOn)
        return false;
    s.offsetMinutes = minutes;
    return true;
}

bool SetVirtualClockMs(ULONGLONG ms) {
    {
        ClockState& s = State();
        std::lock_guard lock(s.mutex);
        if (!s.virtualOn)
            return false;
        // The time of day stays where it is; only the tick count jumps.
        s.utcBase = VirtualUtcLocked(s);
        s.utcBaseMs = ms;
        s.virtualMs = ms;
    }
    NotifyClockSleepers();
    return true;
}

int OnClockAdvanced(std::function<void()> listener) {
    ClockState& s = State();
    std::lock_guard lock(s.mutex);
    int id = s.nextListenerId++;
    s.listeners.emplace_back(id, std::move(listener));
    return id;
}

void RemoveClockListener(int id) {
    ClockState& s = State();
    std::lock_guard lock(s.mutex);
    std::erase_if(s.listeners, [id](const auto& entry) { return entry.first == id; });
}

ClockSleeper::ClockSleeper() {
    ClockState& s = State();
    std::lock_guard lock(s.sleepersMutex);
    s.sleepers.push_back(this);
}

ClockSleeper::~ClockSleeper() {
    ClockState& s = State();
    std::lock_guard lock(s.sleepersMutex);
    std::erase(s.sleepers, this);
}

void ClockSleeper::Wake() {
    {
        std::lock_guard lock(m_mutex);
        m_woken = true;
    }
    m_cv.notify_all();
}

bool ClockSleeper::SleepUntil(ULONGLONG deadlineMs) {
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (m_woken) {
            m_woken = false;
            return true;
        }
        if (deadlineMs == kNoDeadline) {
            m_cv.wait(lock);
            continue;
        }
        if (ClockNowMs() >= deadlineMs)
            return false;
        if (IsVirtualClock()) {
            m_cv.wait(lock);
        } else {
            using namespace std::chrono;
            m_cv.wait_until(lock, steady_clock::time_point(milliseconds(deadlineMs)));
        }
    }
}

} // namespace plat

DWORD GetTickCount() {
    return static_cast<DWORD>(plat::ClockNowMs());
}

// Virtual time: sleeping is advancing the clock, so a test's single thread never waits.
void Sleep(DWORD ms) {
    if (ms == 0) {
        sched_yield();
        return;
    }
    if (ms == INFINITE)
        plat::BlockForever();
    if (plat::AdvanceClock(ms))
        return;
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
