// A GFile over a growable memory buffer.
#pragma once

#include "fundo/GFile.h"

class GMemFile : public GFile {
public:
    // As Open: a given buffer is used without ownership; a null one gives an owned buffer of
    // size zero bytes.
    explicit GMemFile(BYTE* buffer = nullptr, DWORD size = 0);
    ~GMemFile() override;

    // Closes the current buffer; size = capacity = size, position 0. 1 when a buffer is
    // present.
    int Open(BYTE* buffer, DWORD size);
    // The same with the ownership given; an owned buffer must come from malloc or LocalAlloc.
    int SetBuffer(BYTE* buffer, DWORD size, int owns);
    // Frees an owned buffer and forgets it (the position stays); 1.
    int Close() override;

    DWORD Read(void* buffer, DWORD count) override;
    // Grows in whole 4096-byte steps when needed; a caller's buffer is copied into an owned
    // one on the first growth. Bytes skipped by seeking past the end read as zero.
    DWORD Write(const void* buffer, DWORD count) override;
    DWORD Compress(const void* data, DWORD count, int level) override;
    DWORD UnCompress(BYTE*& buffer, DWORD& size) override;
    int Seek(LONG offset, int origin) override;
    LONG Tell() override;
    LONG Size() override;
    int Flush() override;
    int Eof() override;
    // 1 when the position is past the end, -1 without a buffer.
    int Error() override;
    int PutC(int c) override;
    int GetC() override;

    // Valid until the next growth or Close.
    BYTE* GetBuffer() const { return m_pBuffer; }
    DWORD GetCapacity() const { return m_nCapacity; }
    int OwnsBuffer() const { return m_bOwns; }

protected:
    void Free() { Close(); }

private:
    // Makes room for need bytes; false when that cannot be done.
    bool Reserve(unsigned long long need);

    BYTE* m_pBuffer = nullptr;
    DWORD m_nSize = 0;
    DWORD m_nCapacity = 0;
    int m_bOwns = 0;
    DWORD m_nPosition = 0;
};
