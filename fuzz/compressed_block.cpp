// Arbitrary bytes as a run of compressed blocks read through GMemFile::UnCompress. The first
// byte picks whether zlib is present and whether the caller offers a buffer; every block
// that reads back is written again and must read back the same.
#include "fundo/GMemFile.h"
#include "fundo/GZLib.h"

#include <platform/module.h>
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void SetZlib(bool present) {
    static int current = -1;
    if (current == static_cast<int>(present))
        return;
    ReleaseGZLib();
    plat::SetLibraryAvailable(u"GZLib.dll", present);
    current = present;
}

void CheckRoundTrip(const BYTE* data, DWORD size) {
    GMemFile out;
    if (!out.Compress(data, size, -1))
        abort();
    out.Seek(0, 0);
    BYTE* back = nullptr;
    DWORD backSize = 0;
    if (!out.UnCompress(back, backSize) || backSize != size || std::memcmp(back, data, size))
        abort();
    LocalFree(back);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    BYTE mode = data[0];
    SetZlib(!(mode & 1));
    std::vector<BYTE> bytes(data + 1, data + size);
    GMemFile f(bytes.empty() ? nullptr : bytes.data(), static_cast<DWORD>(bytes.size()));
    BYTE* buffer = nullptr;
    DWORD bufferSize = 0;
    if (mode & 2) {
        bufferSize = (mode >> 2) * 16u;
        buffer = static_cast<BYTE*>(LocalAlloc(LPTR, bufferSize ? bufferSize : 1));
    }
    for (int block = 0; block < 64; ++block) {
        LONG before = f.Tell();
        DWORD stored = f.UnCompress(buffer, bufferSize);
        if (!stored)
            break;
        if (f.Tell() - before != static_cast<LONG>(8 + stored))
            abort(); // a block read must consume exactly its header and payload
        if (bufferSize <= 4096)
            CheckRoundTrip(buffer, bufferSize);
    }
    if (buffer)
        LocalFree(buffer);
    return 0;
}
