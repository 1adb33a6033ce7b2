// The fixed records at the front of a memo file: the state and alarm blocks of the current
// form, and the 568-byte alarm record of version 1 files.
#pragma once

#include <windows.h>

#include <cstddef>

struct StateBlock {
    BYTE Mark; // set from the title view
    BYTE HasTitle;
    BYTE HasNote;
    BYTE Reserved0;
    BYTE PageCount;
    BYTE CurPage;
    BYTE Reserved1[10];
};
static_assert(sizeof(StateBlock) == 16);

struct AlarmBlock {
    BYTE Switch[4];
    BYTE Reserved0[4];
    double AlarmTime;
    BYTE Value[2];
    BYTE Repeat;
    BYTE HasSoundPath;
    BYTE Reserved1[20];
};
static_assert(sizeof(AlarmBlock) == 40);
static_assert(offsetof(AlarmBlock, AlarmTime) == 8);
static_assert(offsetof(AlarmBlock, Value) == 16);

inline constexpr int kStateBlockBytes = 16;
inline constexpr int kAlarmBlockBytes = 40;
inline constexpr DWORD kAlarmRecordV1Bytes = 568;
inline constexpr double kDefaultAlarmTime = 949998.0;

// Zeroes, the default alarm time and the repeat flag.
void InitAlarmBlock(AlarmBlock* alarm, int repeat);

// Little-endian, every byte (reserved ones included).
void StateBlockToBytes(const StateBlock& state, BYTE out[kStateBlockBytes]);
void StateBlockFromBytes(const BYTE in[kStateBlockBytes], StateBlock* state);
void AlarmBlockToBytes(const AlarmBlock& alarm, BYTE out[kAlarmBlockBytes]);
void AlarmBlockFromBytes(const BYTE in[kAlarmBlockBytes], AlarmBlock* alarm);

// The version 1 record (kAlarmRecordV1Bytes) with the sound path (260 characters) inside.
void AlarmToRecordV1(const AlarmBlock& alarm, const WCHAR* soundPath,
                     BYTE out[kAlarmRecordV1Bytes]);
// Reads the fields that lie within size bytes; the others stay as they are. The sound path
// buffer holds 260 characters and is always terminated.
void AlarmFromRecordV1(const BYTE* in, DWORD size, AlarmBlock* alarm, WCHAR* soundPath);
