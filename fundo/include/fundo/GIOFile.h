// A GFile over a C-library stream on the device.
#pragma once

#include "fundo/GFile.h"

#include <cstdio>

class GIOFile : public GFile {
public:
    // Wraps the stream without owning it; with none, starts empty.
    explicit GIOFile(FILE* stream = nullptr);
    ~GIOFile() override;

    // Closes the current stream, then opens path with _wfopen ("rb", "wb", ...). 1 on success;
    // the new stream is owned.
    int Open(LPCWSTR path, LPCWSTR mode);
    // Closes the stream if it is owned, forgets it; always 0.
    int Close() override;
    DWORD Read(void* buffer, DWORD count) override;
    DWORD Write(const void* buffer, DWORD count) override;
    DWORD Compress(const void* data, DWORD count, int level) override;
    DWORD UnCompress(BYTE*& buffer, DWORD& size) override;
    int Seek(LONG offset, int origin) override;
    LONG Tell() override;
    // Length found by seeking to the end and back; -1 without a stream.
    LONG Size() override;
    int Flush() override;
    int Eof() override;
    int Error() override;
    int PutC(int c) override;
    int GetC() override;

    FILE* GetStream() const { return m_pFile; }

private:
    FILE* m_pFile;
    int m_bOwns;
};
