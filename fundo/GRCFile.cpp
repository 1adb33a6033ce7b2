#include "fundo/GRCFile.h"

#include "fundo/ByteCursor.h"

#include <windows.h>

int GRCFile::Open(UINT id, LPCWSTR type, HINSTANCE instance) {
    Close();
    if (!instance)
        return 0;
    m_hFound = FindResourceW(instance, MAKEINTRESOURCEW(LOWORD(id)), type);
    if (!m_hFound)
        return 0;
    m_nSize = SizeofResource(instance, m_hFound);
    m_hLoaded = LoadResource(instance, m_hFound);
    m_pData = static_cast<const BYTE*>(LockResource(m_hLoaded));
    m_nPosition = 0;
    if (!m_pData) {
        Close();
        return 0;
    }
    return 1;
}

int GRCFile::Close() {
    m_nSize = 0;
    m_pData = nullptr;
    m_hLoaded = nullptr;
    m_hFound = nullptr;
    return 1;
}

DWORD GRCFile::Read(void* buffer, DWORD count) {
    return fundo::CursorRead(m_pData, m_nSize, m_nPosition, buffer, count);
}

DWORD GRCFile::Write(const void*, DWORD) {
    return 0;
}

DWORD GRCFile::Compress(const void*, DWORD, int) {
    return 0;
}

int GRCFile::Seek(LONG offset, int origin) {
    return m_pData ? fundo::CursorSeek(m_nSize, m_nPosition, offset, origin) : 0;
}

LONG GRCFile::Tell() {
    return m_pData ? static_cast<LONG>(m_nPosition) : -1;
}

LONG GRCFile::Size() {
    return m_pData ? static_cast<LONG>(m_nSize) : -1;
}

int GRCFile::Flush() {
    return m_pData ? 1 : 0;
}

int GRCFile::Eof() {
    return !m_pData || m_nPosition >= m_nSize ? 1 : 0;
}

int GRCFile::Error() {
    if (!m_pData)
        return -1;
    return m_nPosition > m_nSize ? 1 : 0;
}

int GRCFile::PutC(int) {
    return 1;
}

int GRCFile::GetC() {
    if (Eof())
        return -1;
    return m_pData[m_nPosition++];
}
