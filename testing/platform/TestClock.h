// Puts the platform on its virtual clock for one test and back on real time afterwards, so
// timed behaviour is driven by the test and never by the machine's speed.
#pragma once

#include <platform/clock.h>

class TestClock {
public:
    TestClock() { plat::UseVirtualClock(true); }
    ~TestClock() { plat::UseVirtualClock(false); }
    TestClock(const TestClock&) = delete;
    TestClock& operator=(const TestClock&) = delete;

    void Advance(DWORD ms) { plat::AdvanceClock(ms); }
    ULONGLONG Now() const { return plat::ClockNowMs(); }
};
