#include "fundo/GIOFile.h"

#include <windows.h>

GIOFile::GIOFile(FILE* stream) : m_pFile(stream), m_bOwns(stream ? 0 : 1) {}

GIOFile::~GIOFile() {
    Close();
}

int GIOFile::Open(LPCWSTR path, LPCWSTR mode) {
    Close();
    if (!path || !mode)
        return 0;
    m_pFile = _wfopen(path, mode);
    if (!m_pFile)
        return 0;
    m_bOwns = 1;
    return 1;
}

int GIOFile::Close() {
    if (m_pFile && m_bOwns)
        fclose(m_pFile);
    if (m_bOwns)
        m_pFile = nullptr;
    m_bOwns = 0;
    return 0;
}

DWORD GIOFile::Read(void* buffer, DWORD count) {
    if (!m_pFile || !buffer || count == 0)
        return 0;
    return static_cast<DWORD>(fread(buffer, 1, count, m_pFile));
}

DWORD GIOFile::Write(const void* buffer, DWORD count) {
    if (!m_pFile || !buffer || count == 0)
        return 0;
    return static_cast<DWORD>(fwrite(buffer, 1, count, m_pFile));
}

DWORD GIOFile::Compress(const void* data, DWORD count, int level) {
    return m_pFile ? GFile::Compress(data, count, level) : 0;
}

DWORD GIOFile::UnCompress(BYTE*& buffer, DWORD& size) {
    return m_pFile ? GFile::UnCompress(buffer, size) : 0;
}

int GIOFile::Seek(LONG offset, int origin) {
    if (!m_pFile)
        return 0;
    int whence = origin == 0 ? SEEK_SET : origin == 1 ? SEEK_CUR : origin == 2 ? SEEK_END : -1;
    return whence >= 0 && fseek(m_pFile, offset, whence) == 0 ? 1 : 0;
}

LONG GIOFile::Tell() {
    if (!m_pFile)
        return -1;
    long pos = ftell(m_pFile);
    return pos < 0 || pos > 0x7FFFFFFF ? -1 : static_cast<LONG>(pos);
}

LONG GIOFile::Size() {
    if (!m_pFile)
        return -1;
    long pos = ftell(m_pFile);
    if (pos < 0 || fseek(m_pFile, 0, SEEK_END) != 0)
        return -1;
    long end = ftell(m_pFile);
    fseek(m_pFile, pos, SEEK_SET);
    return end < 0 || end > 0x7FFFFFFF ? -1 : static_cast<LONG>(end);
}

int GIOFile::Flush() {
    return m_pFile && fflush(m_pFile) == 0 ? 1 : 0;
}

int GIOFile::Eof() {
    return m_pFile ? (feof(m_pFile) ? 1 : 0) : 1;
}

int GIOFile::Error() {
    return m_pFile ? (ferror(m_pFile) ? 1 : 0) : -1;
}

int GIOFile::PutC(int c) {
    return m_pFile && fputc(c & 0xFF, m_pFile) != EOF ? 1 : 0;
}

int GIOFile::GetC() {
    if (!m_pFile)
        return -1;
    int c = fgetc(m_pFile);
    return c == EOF ? -1 : c;
}
