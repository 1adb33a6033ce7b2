#include "fundo/ByteCursor.h"

#include <cstring>

namespace fundo {

DWORD CursorRead(const BYTE* data, DWORD size, DWORD& pos, void* dst, DWORD count) {
    if (!data || !dst || count == 0 || pos >= size)
        return 0;
    DWORD n = count < size - pos ? count : size - pos;
    std::memcpy(dst, data + pos, n);
    pos += n;
    return n;
}

int CursorSeek(DWORD size, DWORD& pos, LONG offset, int origin) {
    long long base;
    switch (origin) {
        case 0:
            base = 0;
            break;
        case 1:
            base = pos;
            break;
        case 2:
            base = size;
            break;
        default:
            return 0;
    }
    long long target = base + offset;
    if (target < 0 || target > kMaxMemPosition)
        return 0;
    pos = static_cast<DWORD>(target);
    return 1;
}

} // namespace fundo
