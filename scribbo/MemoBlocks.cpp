#include "scribbo/MemoBlocks.h"

#include <cstdint>
#include <cstring>

namespace {

void Put32(BYTE* p, DWORD v) {
    for (int i = 0; i < 4; ++i)
        p[i] = BYTE(v >> (8 * i));
}

DWORD Get32(const BYTE* p) {
    return DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16 | DWORD(p[3]) << 24;
}

void PutDouble(BYTE* p, double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, 8);
    Put32(p, DWORD(bits));
    Put32(p + 4, DWORD(bits >> 32));
}

double GetDouble(const BYTE* p) {
    const std::uint64_t bits = std::uint64_t(Get32(p)) | std::uint64_t(Get32(p + 4)) << 32;
    double v;
    std::memcpy(&v, &bits, 8);
    return v;
}

} // namespace

void InitAlarmBlock(AlarmBlock* alarm, int repeat) {
    std::memset(alarm, 0, sizeof(*alarm));
    alarm->AlarmTime = kDefaultAlarmTime;
    alarm->Repeat = repeat ? 1 : 0;
}

void StateBlockToBytes(const StateBlock& state, BYTE out[kStateBlockBytes]) {
    std::memcpy(out, &state, kStateBlockBytes); // bytes only: no byte order involved
}

void StateBlockFromBytes(const BYTE in[kStateBlockBytes], StateBlock* state) {
    std::memcpy(state, in, kStateBlockBytes);
}

void AlarmBlockToBytes(const AlarmBlock& alarm, BYTE out[kAlarmBlockBytes]) {
    std::memcpy(out, alarm.Switch, 4);
    std::memcpy(out + 4, alarm.Reserved0, 4);
    PutDouble(out + 8, alarm.AlarmTime);
    out[16] = alarm.Value[0];
    out[17] = alarm.Value[1];
    out[18] = alarm.Repeat;
    out[19] = alarm.HasSoundPath;
    std::memcpy(out + 20, alarm.Reserved1, 20);
}

void AlarmBlockFromBytes(const BYTE in[kAlarmBlockBytes], AlarmBlock* alarm) {
    std::memcpy(alarm->Switch, in, 4);
    std::memcpy(alarm->Reserved0, in + 4, 4);
    alarm->AlarmTime = GetDouble(in + 8);
    alarm->Value[0] = in[16];
    alarm->Value[1] = in[17];
    alarm->Repeat = in[18];
    alarm->HasSoundPath = in[19];
    std::memcpy(alarm->Reserved1, in + 20, 20);
}

void AlarmToRecordV1(const AlarmBlock& alarm, const WCHAR* soundPath,
                     BYTE out[kAlarmRecordV1Bytes]) {
    std::memset(out, 0, kAlarmRecordV1Bytes);
    Put32(out, kAlarmRecordV1Bytes);
    for (int i = 0; i < 4; ++i)
        Put32(out + 4 + 4 * i, alarm.Switch[i]);
    PutDouble(out + 24, alarm.AlarmTime);
    Put32(out + 32, alarm.Value[0]);
    Put32(out + 36, alarm.Value[1]);
    for (int i = 0; i < 259 && soundPath && soundPath[i]; ++i) {
        out[40 + 2 * i] = BYTE(soundPath[i]);
        out[41 + 2 * i] = BYTE(soundPath[i] >> 8);
    }
    Put32(out + 560, alarm.Repeat);
}

void AlarmFromRecordV1(const BYTE* in, DWORD size, AlarmBlock* alarm, WCHAR* soundPath) {
    auto has = [size](DWORD offset, DWORD bytes) { return offset + bytes <= size; };
    for (int i = 0; i < 4; ++i)
        if (has(4 + 4 * i, 4))
            alarm->Switch[i] = BYTE(Get32(in + 4 + 4 * i));
    if (has(24, 8))
        alarm->AlarmTime = GetDouble(in + 24);
    if (has(32, 4))
        alarm->Value[0] = BYTE(Get32(in + 32));
    if (has(36, 4))
        alarm->Value[1] = BYTE(Get32(in + 36));
    if (has(40, 2)) {
        std::memset(soundPath, 0, 260 * sizeof(WCHAR));
        for (DWORD i = 0; i < 259 && has(40 + 2 * i, 2); ++i)
            soundPath[i] = WCHAR(in[40 + 2 * i] | in[41 + 2 * i] << 8);
    }
    if (has(560, 4))
        alarm->Repeat = BYTE(Get32(in + 560));
}
