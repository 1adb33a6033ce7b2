#include <platform/winfile.h>

#include <gtest/gtest.h>

namespace {
constexpr ULONGLONG kUnixEpoch = 116444736000000000ull; // 1970-01-01 in FILETIME ticks
}

TEST(FileTime, UnixEpochAndKnownDates) {
    EXPECT_EQ(plat::FileTimeToTicks(plat::FileTimeFromUnix(0)), kUnixEpoch);
    // 2007-03-15 09:30:00 UTC
    const FILETIME t = plat::FileTimeFromUnix(1173951000);
    EXPECT_EQ(t.dwHighDateTime, DWORD(128184246000000000ull >> 32));
    EXPECT_EQ(t.dwLowDateTime, DWORD(128184246000000000ull & 0xFFFFFFFFu));
    EXPECT_EQ(plat::UnixFromFileTime(t), 1173951000);
    EXPECT_EQ(plat::UnixFromFileTime(plat::FileTimeFromTicks(0)), -11644473600);
}

TEST(FileTime, SubSecondsKeepTheirHundredNanoseconds) {
    const FILETIME t = plat::FileTimeFromUnix(1, 123456789);
    EXPECT_EQ(plat::FileTimeToTicks(t), kUnixEpoch + 10000000 + 1234567);
    std::uint32_t ns = 0;
    EXPECT_EQ(plat::UnixFromFileTime(t, &ns), 1);
    EXPECT_EQ(ns, 123456700u);
    // Before 1970 the seconds round down and the remainder stays positive.
    const FILETIME before = plat::FileTimeFromTicks(kUnixEpoch - 1);
    EXPECT_EQ(plat::UnixFromFileTime(before, &ns), -1);
    EXPECT_EQ(ns, 999999900u);
    // Nanoseconds past a second carry into it.
    EXPECT_EQ(plat::FileTimeToTicks(plat::FileTimeFromUnix(0, 2500000000u)), kUnixEpoch + 25000000);
}

TEST(FileTime, OutOfRangeTimesClamp) {
    EXPECT_EQ(plat::FileTimeToTicks(plat::FileTimeFromUnix(-11644473601)), 0u);
    EXPECT_EQ(plat::FileTimeToTicks(plat::FileTimeFromUnix(INT64_MIN)), 0u);
    EXPECT_EQ(plat::FileTimeToTicks(plat::FileTimeFromUnix(INT64_MAX)), ~0ull);
}
