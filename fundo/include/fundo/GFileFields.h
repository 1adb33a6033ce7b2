// Little-endian fields over a GFile, for the readers of stored records, with the bytes-left
// check they make before trusting a count.
#pragma once

#include "fundo/GFile.h"

#include <windows.h>

namespace fundo {

inline void PutU32(BYTE* p, DWORD v) {
    p[0] = static_cast<BYTE>(v);
    p[1] = static_cast<BYTE>(v >> 8);
    p[2] = static_cast<BYTE>(v >> 16);
    p[3] = static_cast<BYTE>(v >> 24);
}

inline DWORD GetU32(const BYTE* p) {
    return DWORD{p[0]} | DWORD{p[1]} << 8 | DWORD{p[2]} << 16 | DWORD{p[3]} << 24;
}

// True only when every byte was read.
inline bool ReadAll(GFile* file, void* buffer, DWORD count) {
    return count == 0 || file->Read(buffer, count) == count;
}

inline bool ReadU32(GFile* file, DWORD& value) {
    BYTE b[4];
    if (!ReadAll(file, b, 4))
        return false;
    value = GetU32(b);
    return true;
}

inline bool WriteAll(GFile* file, const void* buffer, DWORD count) {
    return count == 0 || file->Write(buffer, count) == count;
}

inline bool WriteU32(GFile* file, DWORD value) {
    BYTE b[4];
    PutU32(b, value);
    return WriteAll(file, b, 4);
}

// Whether need more bytes can still be read; a stream that cannot tell is trusted, and the
// short read then stops the reader.
inline bool BytesLeft(GFile* file, unsigned long long need) {
    const LONG size = file->Size();
    const LONG pos = file->Tell();
    if (size < 0 || pos < 0)
        return true;
    return pos <= size && need <= static_cast<unsigned long long>(size - pos);
}

} // namespace fundo
