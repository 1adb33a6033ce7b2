// The byte stream every reader and writer of the system goes through, and the compressed
// block: plain size (4 bytes), stored size (4 bytes), then the payload, little-endian. The
// payload is a zlib stream when stored < plain and the bytes themselves when they are equal.
#pragma once

#include <platform/wintypes.h>

// Largest plain size UnCompress accepts; larger headers are taken for damage. A memo page's
// ink stays far below it.
inline constexpr DWORD kGFileMaxBlockSize = 64u * 1024 * 1024;

class GFile {
public:
    GFile() = default;
    GFile(const GFile&) = delete;
    GFile& operator=(const GFile&) = delete;
    virtual ~GFile() = default;

    virtual int Close() = 0;
    // Both return the number of bytes transferred.
    virtual DWORD Read(void* buffer, DWORD count) = 0;
    virtual DWORD Write(const void* buffer, DWORD count) = 0;
    // Writes one block and returns its stored size: 0 for no data (nothing written) or when the
    // stream took fewer bytes. zlib is tried from 12 bytes on; level -1 is zlib's default.
    virtual DWORD Compress(const void* data, DWORD count, int level);
    // Reads one block into buffer, reusing the caller's block when it holds size bytes or
    // more, else releasing it (LocalFree) and allocating a new one (LocalAlloc); size becomes
    // the plain size. Returns the stored size, 0 on failure, and then the buffer is null
    // unless the header itself was refused (end of stream, a zero or absurd size), which
    // leaves buffer and size alone. The caller releases the result with LocalFree.
    virtual DWORD UnCompress(BYTE*& buffer, DWORD& size);
    // Origin 0 = start, 1 = current, 2 = end; 1 on success.
    virtual int Seek(LONG offset, int origin) = 0;
    virtual LONG Tell() = 0;
    virtual LONG Size() = 0;
    virtual int Flush() = 0;
    virtual int Eof() = 0;
    virtual int Error() = 0;
    // 1 when the byte was written.
    virtual int PutC(int c);
    // The next byte, -1 at the end.
    virtual int GetC() = 0;

protected:
    // Bytes left to read, for refusing sizes a damaged header claims; -1 when unknown.
    LONG Remaining();
};
