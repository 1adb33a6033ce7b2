// The platform's one clock. Normal runs use real time; tests and scripted runs switch to a
// virtual clock that stands still until someone advances it, so everything timed (GetTickCount,
// Sleep, timers, the local time) can be driven exactly and fast.
#pragma once

#include <platform/wintypes.h>

#include <condition_variable>
#include <functional>
#include <mutex>

namespace plat {

// Deadline meaning "no time limit" for ClockSleeper::SleepUntil.
inline constexpr ULONGLONG kNoDeadline = ~0ull;

// Switches between real and virtual time. Turning the virtual clock on starts it afresh at a
// fixed tick (kVirtualStartMs) and a fixed date (2024-01-01 00:00:00 UTC, offset 0), so
// scripted runs repeat exactly; turning it on again while on changes nothing.
void UseVirtualClock(bool on);
bool IsVirtualClock();
inline constexpr ULONGLONG kVirtualStartMs = 60000;

// Moves the virtual clock forward and tells the listeners. False (and nothing happens) in real
// mode: real time cannot be pushed.
bool AdvanceClock(DWORD ms);

// Monotonic milliseconds: since the host booted in real mode, virtual ticks otherwise.
// GetTickCount is the low 32 bits of this.
ULONGLONG ClockNowMs();
// The current time of day, UTC, in FILETIME units (100 ns since 1601-01-01).
ULONGLONG ClockUtcFileTime();
// Minutes to add to UTC for local time (east positive: +540 in Korea). Real mode asks the
// host's zone for the current offset, so daylight saving follows the host.
LONG ClockUtcOffsetMinutes();

// Virtual mode only (false otherwise): the local time of day at the current virtual instant,
// the zone offset, and the tick count itself (for tests near the 32-bit wrap).
bool SetVirtualLocalTime(const SYSTEMTIME& localTime);
bool SetVirtualUtcOffset(LONG minutes);
bool SetVirtualClockMs(ULONGLONG ms);

// Listeners run after every advance of the virtual clock (AdvanceClock, or Sleep in virtual
// mode), on the advancing thread, with no platform lock held. The window system fires its
// timers from here. Returns an id for RemoveClockListener.
int OnClockAdvanced(std::function<void()> listener);
void RemoveClockListener(int id);

// Something a thread can sleep on until a clock deadline or a wake-up from another thread,
// whichever comes first: the message queue sleeps on one while nothing is waiting. Deadlines
// are in ClockNowMs terms. In virtual mode the deadline passes only when the clock is advanced
// (from any thread); switching modes wakes every sleeper so it measures again.
class ClockSleeper {
public:
    ClockSleeper();
    ~ClockSleeper();
    ClockSleeper(const ClockSleeper&) = delete;
    ClockSleeper& operator=(const ClockSleeper&) = delete;

    // Safe from any thread. A wake-up given while nobody sleeps is kept for the next sleep.
    void Wake();
    // True when woken (the wake-up is used up), false when the deadline came first.
    bool SleepUntil(ULONGLONG deadlineMs);

private:
    friend void NotifyClockSleepers();
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_woken = false;
};

} // namespace plat
