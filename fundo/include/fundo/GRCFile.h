// A read-only GFile over a resource of a loaded module.
#pragma once

#include "fundo/GFile.h"

class GRCFile : public GFile {
public:
    GRCFile() = default;
    ~GRCFile() override = default;

    // Finds the resource whose integer name is the low 16 bits of id, with the given type, in
    // the module; 1 when its data are present.
    int Open(UINT id, LPCWSTR type, HINSTANCE instance);
    int Close() override;

    DWORD Read(void* buffer, DWORD count) override;
    DWORD Write(const void* buffer, DWORD count) override;
    DWORD Compress(const void* data, DWORD count, int level) override;
    int Seek(LONG offset, int origin) override;
    LONG Tell() override;
    LONG Size() override;
    int Flush() override;
    int Eof() override;
    int Error() override;
    // Stores nothing; 1.
    int PutC(int c) override;
    int GetC() override;

    const BYTE* GetData() const { return m_pData; }

private:
    DWORD m_nSize = 0;
    const BYTE* m_pData = nullptr;
    HGLOBAL m_hLoaded = nullptr;
    HRSRC m_hFound = nullptr;
    DWORD m_nPosition = 0;
};
