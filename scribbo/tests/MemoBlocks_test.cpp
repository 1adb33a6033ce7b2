// The fixed records at the front of memo files, against bytes laid out by hand.
#include "scribbo/MemoBlocks.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

DWORD Get32(const BYTE* p) {
    return DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16 | DWORD(p[3]) << 24;
}

AlarmBlock Sample() {
    AlarmBlock a;
    InitAlarmBlock(&a, 1);
    a.Switch[0] = 1;
    a.Switch[3] = 7;
    a.AlarmTime = 45000.5;
    a.Value[0] = 9;
    a.Value[1] = 30;
    return a;
}

} // namespace

TEST(MemoBlocks, AlarmBlockKeepsItsByteOffsets) {
    BYTE b[kAlarmBlockBytes];
    AlarmBlockToBytes(Sample(), b);
    EXPECT_EQ(b[0], 1);
    EXPECT_EQ(b[3], 7);
    double t;
    std::memcpy(&t, b + 8, 8); // the host is little-endian like the files
    EXPECT_EQ(t, 45000.5);
    EXPECT_EQ(b[16], 9);
    EXPECT_EQ(b[17], 30);
    EXPECT_EQ(b[18], 1);
    AlarmBlock back;
    AlarmBlockFromBytes(b, &back);
    EXPECT_EQ(back.AlarmTime, 45000.5);
    EXPECT_EQ(back.Value[1], 30);
}

TEST(MemoBlocks, VersionOneRecordMapsItsWordsOntoTheAlarmBlock) {
    BYTE r[kAlarmRecordV1Bytes];
    AlarmToRecordV1(Sample(), u"\\Windows\\a.wav", r);
    EXPECT_EQ(Get32(r), 568u);
    EXPECT_EQ(Get32(r + 4), 1u);
    EXPECT_EQ(Get32(r + 16), 7u);
    EXPECT_EQ(Get32(r + 20), 0u);
    EXPECT_EQ(Get32(r + 32), 9u);
    EXPECT_EQ(Get32(r + 36), 30u);
    EXPECT_EQ(r[40], '\\');
    EXPECT_EQ(r[42], 'W');
    EXPECT_EQ(Get32(r + 560), 1u);
    EXPECT_EQ(Get32(r + 564), 0u);

    AlarmBlock a;
    InitAlarmBlock(&a, 0);
    WCHAR sound[260];
    AlarmFromRecordV1(r, kAlarmRecordV1Bytes, &a, sound);
    EXPECT_EQ(a.Switch[3], 7);
    EXPECT_EQ(a.AlarmTime, 45000.5);
    EXPECT_EQ(a.Repeat, 1);
    EXPECT_EQ(std::u16string(sound), u"\\Windows\\a.wav");
}

TEST(MemoBlocks, ShortVersionOneRecordLeavesTheMissingFields) {
    BYTE r[kAlarmRecordV1Bytes];
    AlarmToRecordV1(Sample(), u"x", r);
    AlarmBlock a;
    InitAlarmBlock(&a, 0);
    WCHAR sound[260] = u"kept";
    AlarmFromRecordV1(r, 24, &a, sound);
    EXPECT_EQ(a.Switch[0], 1);
    EXPECT_EQ(a.AlarmTime, kDefaultAlarmTime);
    EXPECT_EQ(std::u16string(sound), u"kept");
}
