// Unix time and FILETIME arithmetic.
#include <platform/winfile.h>

#include <algorithm>
#include <limits>

namespace plat {
namespace {
constexpr std::int64_t kTicksPerSecond = 10'000'000;
// Seconds from 1601-01-01 to 1970-01-01.
constexpr std::int64_t kEpochDelta = 11'644'473'600;
} // namespace

ULONGLONG FileTimeToTicks(const FILETIME& time) {
    return (ULONGLONG(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME FileTimeFromTicks(ULONGLONG ticks) {
    return FILETIME{DWORD(ticks & 0xFFFFFFFFu), DWORD(ticks >> 32)};
}

FILETIME FileTimeFromUnix(std::int64_t seconds, std::uint32_t nanoseconds) {
    // Far beyond any FILETIME, and still safe to add to.
    seconds = std::min(seconds, std::numeric_limits<std::int64_t>::max() / 2);
    if (nanoseconds >= 1'000'000'000u) {
        seconds += nanoseconds / 1'000'000'000u;
        nanoseconds %= 1'000'000'000u;
    }
    if (seconds < -kEpochDelta)
        return FILETIME{0, 0};
    const ULONGLONG since1601 = ULONGLONG(seconds + kEpochDelta);
    constexpr ULONGLONG kMaxFileTimeSeconds =
        (std::numeric_limits<ULONGLONG>::max() - kTicksPerSecond) / kTicksPerSecond;
    if (since1601 > kMaxFileTimeSeconds)
        return FileTimeFromTicks(std::numeric_limits<ULONGLONG>::max());
    return FileTimeFromTicks(since1601 * kTicksPerSecond + nanoseconds / 100);
}

std::int64_t UnixFromFileTime(const FILETIME& time, std::uint32_t* nanoseconds) {
    const ULONGLONG ticks = FileTimeToTicks(time);
    if (nanoseconds)
        *nanoseconds = std::uint32_t(ticks % kTicksPerSecond) * 100;
    return std::int64_t(ticks / kTicksPerSecond) - kEpochDelta;
}

} // namespace plat
