// Little-endian fields of the memo header over a GFile, with the checks against the bytes
// present that keep a damaged count from being trusted.
#pragma once

#include "fundo/GFileFields.h"

#include <windows.h>

#include <cstring>

namespace memofile {

using fundo::BytesLeft;
using fundo::ReadAll;
using fundo::ReadU32;
using fundo::WriteAll;
using fundo::WriteU32;

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
