#include "fundo/GMemFile.h"

#include "fundo/ByteCursor.h"

#include <cstdlib>
#include <cstring>

namespace {
constexpr DWORD kGrowStep = 4096;
}

GMemFile::GMemFile(BYTE* buffer, DWORD size) {
    Open(buffer, size);
}

GMemFile::~GMemFile() {
    Close();
}

int GMemFile::Open(BYTE* buffer, DWORD size) {
    if (buffer)
        return SetBuffer(buffer, size, 0);
    Close();
    // One byte at least, so that an empty owned buffer is still a buffer.
    m_pBuffer = static_cast<BYTE*>(std::calloc(size ? size : 1, 1));
    if (!m_pBuffer)
        return 0;
    m_nSize = m_nCapacity = size;
    m_bOwns = 1;
    m_nPosition = 0;
    return 1;
}

int GMemFile::SetBuffer(BYTE* buffer, DWORD size, int owns) {
    Close();
    m_pBuffer = buffer;
    m_nSize = m_nCapacity = buffer ? size : 0;
    m_bOwns = buffer && owns ? 1 : 0;
    m_nPosition = 0;
    return buffer ? 1 : 0;
}

int GMemFile::Close() {
    if (m_bOwns)
        std::free(m_pBuffer);
    m_pBuffer = nullptr;
    m_nSize = m_nCapacity = 0;
    m_bOwns = 0;
    return 1;
}

bool GMemFile::Reserve(unsigned long long need) {
    if (need <= m_nCapacity)
        return true;
    unsigned long long steps = (need - m_nCapacity + kGrowStep - 1) / kGrowStep;
    unsigned long long capacity = m_nCapacity + steps * kGrowStep;
    if (capacity > fundo::kMaxMemPosition + 1ull)
        return false;
    BYTE* grown;
    if (m_bOwns) {
        grown = static_cast<BYTE*>(std::realloc(m_pBuffer, capacity));
    } else {
        // A caller's buffer may not come from the C heap: copy it instead of reallocating.
        grown = static_cast<BYTE*>(std::malloc(capacity));
        if (grown)
            std::memcpy(grown, m_pBuffer, m_nSize);
    }
    if (!grown)
        return false;
    // Bytes never written read as zero.
    DWORD keep = m_bOwns ? m_nCapacity : m_nSize;
    std::memset(grown + keep, 0, capacity - keep);
    m_pBuffer = grown;
    m_nCapacity = static_cast<DWORD>(capacity);
    m_bOwns = 1;
    return true;
}

DWORD GMemFile::Read(void* buffer, DWORD count) {
    return fundo::CursorRead(m_pBuffer, m_nSize, m_nPosition, buffer, count);
}

DWORD GMemFile::Write(const void* buffer, DWORD count) {
    if (!m_pBuffer || !buffer || count == 0)
        return 0;
    unsigned long long end = static_cast<unsigned long long>(m_nPosition) + count;
    if (!Reserve(end))
        return 0;
    if (m_nPosition > m_nSize)
        std::memset(m_pBuffer + m_nSize, 0, m_nPosition - m_nSize);
    std::memmove(m_pBuffer + m_nPosition, buffer, count);
    m_nPosition = static_cast<DWORD>(end);
    if (m_nPosition > m_nSize)
        m_nSize = m_nPosition;
    return count;
}

DWORD GMemFile::Compress(const void* data, DWORD count, int level) {
    return m_pBuffer ? GFile::Compress(data, count, level) : 0;
}

DWORD GMemFile::UnCompress(BYTE*& buffer, DWORD& size) {
    return m_pBuffer ? GFile::UnCompress(buffer, size) : 0;
}

int GMemFile::Seek(LONG offset, int origin) {
    return m_pBuffer ? fundo::CursorSeek(m_nSize, m_nPosition, offset, origin) : 0;
}

LONG GMemFile::Tell() {
    return m_pBuffer ? static_cast<LONG>(m_nPosition) : -1;
}

LONG GMemFile::Size() {
    return m_pBuffer ? static_cast<LONG>(m_nSize) : -1;
}

int GMemFile::Flush() {
    return m_pBuffer ? 1 : 0;
}

int GMemFile::Eof() {
    return !m_pBuffer || m_nPosition >= m_nSize ? 1 : 0;
}

int GMemFile::Error() {
    if (!m_pBuffer)
        return -1;
    return m_nPosition > m_nSize ? 1 : 0;
}

int GMemFile::PutC(int c) {
    BYTE b = static_cast<BYTE>(c);
    return Write(&b, 1) == 1 ? 1 : 0;
}

int GMemFile::GetC() {
    if (Eof())
        return -1;
    return m_pBuffer[m_nPosition++];
}
