#include "fundo/GFile.h"

#include "fundo/GZLib.h"

#include <windows.h>

#include <cstring>

namespace {

// zlib cannot expand a stream by more than about 1032 to 1; a header claiming more is damage.
constexpr unsigned long long kMaxInflateRatio = 1032;

void PutLe32(BYTE* p, DWORD v) {
    p[0] = static_cast<BYTE>(v);
    p[1] = static_cast<BYTE>(v >> 8);
    p[2] = static_cast<BYTE>(v >> 16);
    p[3] = static_cast<BYTE>(v >> 24);
}

DWORD GetLe32(const BYTE* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<DWORD>(p[3]) << 24;
}

} // namespace

LONG GFile::Remaining() {
    LONG size = Size();
    LONG pos = Tell();
    if (size < 0 || pos < 0)
        return -1;
    return size > pos ? size - pos : 0;
}

DWORD GFile::Compress(const void* data, DWORD count, int level) {
    if (!data || count == 0)
        return 0;
    const BYTE* payload = static_cast<const BYTE*>(data);
    DWORD stored = count;
    BYTE* packed = nullptr;
    if (count >= 12 && InitGZLib()) {
        GZCompress2Proc compress2 = GZCompress2();
        if (compress2 && (packed = static_cast<BYTE*>(LocalAlloc(LMEM_FIXED, count)))) {
            unsigned long packedSize = count;
            if (compress2(packed, &packedSize, payload, count, level) == 0 && packedSize < count) {
                stored = static_cast<DWORD>(packedSize);
                payload = packed;
            }
        }
    }
    BYTE header[8];
    PutLe32(header, count);
    PutLe32(header + 4, stored);
    DWORD written = Write(header, 8);
    if (written == 8)
        written = Write(payload, stored);
    if (packed)
        LocalFree(packed);
    return written == stored ? stored : 0;
}

DWORD GFile::UnCompress(BYTE*& buffer, DWORD& size) {
    if (Eof())
        return 0;
    BYTE header[8];
    if (Read(header, 8) != 8)
        return 0;
    DWORD plain = GetLe32(header);
    DWORD stored = GetLe32(header + 4);
    if (plain == 0 || stored == 0 || stored > plain || plain > kGFileMaxBlockSize)
        return 0;
    // Nothing is allocated for a payload the stream cannot hold.
    LONG left = Remaining();
    if (left >= 0 && stored > static_cast<DWORD>(left))
        return 0;
    bool packed = stored < plain;
    if (packed && plain > stored * kMaxInflateRatio + 64)
        return 0;
    GZUncompressProc uncompress = nullptr;
    if (packed) {
        // Reading needs zlib as much as writing does; a packed block cannot be read raw.
        if (InitGZLib())
            uncompress = GZUncompress();
        if (!uncompress)
            return 0;
    }

    if (!buffer || size < plain) {
        if (buffer)
            LocalFree(buffer);
        buffer = static_cast<BYTE*>(LocalAlloc(LPTR, plain));
        if (!buffer) {
            size = 0;
            return 0;
        }
    }
    size = plain;

    DWORD result = 0;
    if (packed) {
        BYTE* input = static_cast<BYTE*>(LocalAlloc(LMEM_FIXED, stored));
        if (input && Read(input, stored) == stored) {
            unsigned long outSize = plain;
            if (uncompress(buffer, &outSize, input, stored) == 0 && outSize == plain)
                result = stored;
        }
        if (input)
            LocalFree(input);
    } else if (Read(buffer, plain) == plain) {
        result = plain;
    }
    if (!result) {
        LocalFree(buffer);
        buffer = nullptr;
        size = 0;
    }
    return result;
}

int GFile::PutC(int c) {
    BYTE b = static_cast<BYTE>(c);
    return Write(&b, 1) == 1 ? 1 : 0;
}
