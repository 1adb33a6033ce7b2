// Little-endian fields of the memo header over a GFile, with the checks against the bytes
// present that keep a damaged count from being trusted.
#pragma once

#include "fundo/GFile.h"

#include <windows.h>

#include <cstring>

namespace memofile {

inline bool ReadAll(GFile* file, void* buffer, DWORD count) {
    return count == 0 || file->Read(buffer, count) == count;
}

inline bool ReadU32(GFile* file, DWORD& value) {
    BYTE b[4];
    if (!ReadAll(file, b, 4))
        return false;
    value = DWORD(b[0]) | DWORD(b[1]) << 8 | DWORD(b[2]) << 16 | DWORD(b[3]) << 24;
    return true;
}

inline bool WriteAll(GFile* file, const void* buffer, DWORD count) {
    return count == 0 || file->Write(buffer, count) == count;
}

inline bool WriteU32(GFile* file, DWORD value) {
    const BYTE b[4] = {BYTE(value), BYTE(value >> 8), BYTE(value >> 16), BYTE(value >> 24)};
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

// A count n, then n UTF-16 characters; refused when they would not fit capacity with the
// terminator. The buffer is zeroed first.
inline bool ReadText(GFile* file, WCHAR* out, int capacity) {
    std::memset(out, 0, sizeof(WCHAR) * capacity);
    DWORD n = 0;
    if (!ReadU32(file, n) || n >= DWORD(capacity) || !BytesLeft(file, 2ull * n))
        return false;
    BYTE bytes[2 * 512];
    if (!ReadAll(file, bytes, 2 * n))
        return false;
    for (DWORD i = 0; i < n; ++i)
        out[i] = WCHAR(bytes[2 * i] | bytes[2 * i + 1] << 8);
    return true;
}

inline bool WriteText(GFile* file, const WCHAR* text, int capacity) {
    DWORD n = 0;
    while (n < DWORD(capacity - 1) && text[n])
        ++n;
    BYTE bytes[2 * 512];
    for (DWORD i = 0; i < n; ++i) {
        bytes[2 * i] = BYTE(text[i]);
        bytes[2 * i + 1] = BYTE(text[i] >> 8);
    }
    return WriteU32(file, n) && WriteAll(file, bytes, 2 * n);
}

} // namespace memofile
