#include "fundo/GStringFile.h"

#include "fundo/StringUtil.h"

#include <windows.h>

#include <cstring>
#include <new>
#include <vector>

namespace {

void* AsElement(DWORD offset) {
    return reinterpret_cast<void*>(static_cast<UINT_PTR>(offset));
}

DWORD AsOffset(void* element) {
    return static_cast<DWORD>(reinterpret_cast<UINT_PTR>(element));
}

bool IsHighSurrogate(WCHAR c) {
    return c >= 0xD800 && c < 0xDC00;
}

} // namespace

GStringFile::~GStringFile() {
    Close();
}

int GStringFile::OpenR(LPCWSTR path) {
    return _Open(path, u"r");
}
int GStringFile::OpenW(LPCWSTR path) {
    return _Open(path, u"r+");
}
int GStringFile::Create(LPCWSTR path) {
    return _Open(path, u"w+");
}

int GStringFile::_Open(LPCWSTR path, LPCWSTR mode) {
    Close();
    if (!path)
        return 0;
    m_pFile = _wfopen(path, mode);
    if (!m_pFile)
        return 0;
    m_pBuffer = new (std::nothrow) BYTE[m_nBufSize + 1];
    if (!m_pBuffer) {
        Close();
        return 0;
    }
    BYTE mark[2] = {};
    m_bUnicode = fread(mark, 1, 2, m_pFile) == 2 && mark[0] == 0xFF && mark[1] == 0xFE ? 1 : 0;
    Reset();
    m_bIndexedToEnd = m_nFileSize <= DataStart();
    if (m_nFileSize > 0) {
        SetLineStart(0, 0);
        SetLineStart(1, DataStart());
        m_nKnownLines = 1;
    }
    return 1;
}

void GStringFile::Reset() {
    if (!m_pFile)
        return;
    LONG size = Size();
    m_nFileSize = size > 0 ? static_cast<DWORD>(size) : 0;
    m_nCurLine = 0;
    m_nResumeLine = 0;
    m_nBufPos = 0;
    m_nBufBytes = 0;
    m_nBufOffset = DataStart();
    m_bLoadHitEnd = false;
    fseek(m_pFile, DataStart(), SEEK_SET);
}

LONG GStringFile::Size() {
    if (!m_pFile)
        return -1;
    long pos = ftell(m_pFile);
    if (pos < 0 || fseek(m_pFile, 0, SEEK_END) != 0)
        return -1;
    long end = ftell(m_pFile);
    fseek(m_pFile, pos, SEEK_SET);
    return end < 0 || end > 0x7FFFFFFF ? -1 : static_cast<LONG>(end);
}

void GStringFile::Close() {
    if (m_pFile)
        fclose(m_pFile);
    m_pFile = nullptr;
    delete[] m_pBuffer;
    m_pBuffer = nullptr;
    m_nBufBytes = m_nBufPos = m_nBufOffset = m_nFileSize = 0;
    m_nCurLine = m_nKnownLines = m_nResumeLine = 0;
    m_bUnicode = 0;
    m_bLoadHitEnd = false;
    m_bIndexedToEnd = false;
    m_lineStarts.RemoveAll();
    m_bufStarts.RemoveAll();
}

// ---- Buffer loads ------------------------------------------------------------------------

void GStringFile::Load(DWORD offset) {
    size_t n = 0;
    if (fseek(m_pFile, offset, SEEK_SET) == 0)
        n = fread(m_pBuffer, 1, m_nBufSize, m_pFile);
    m_nBufOffset = offset;
    m_nBufBytes = static_cast<DWORD>(n);
    m_nBufPos = 0;
    m_pBuffer[n] = 0;
    m_bLoadHitEnd = n < m_nBufSize;
    if (n > 0)
        RecordBufferStart(offset);
}

void GStringFile::Ensure(DWORD count) {
    if (Available() < count && !m_bLoadHitEnd)
        Load(m_nBufOffset + m_nBufPos);
}

void GStringFile::RecordBufferStart(DWORD offset) {
    // Kept sorted: loads after a jump back can come out of order.
    int lo = 0, hi = m_bufStarts.GetSize();
    while (lo < hi) {
        int mid = (lo + hi) / 2;
        if (AsOffset(m_bufStarts.GetAt(mid)) < offset)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo < m_bufStarts.GetSize() && AsOffset(m_bufStarts.GetAt(lo)) == offset)
        return;
    m_bufStarts.InsertAt(lo, AsElement(offset));
}

void GStringFile::MoveTo(DWORD offset) {
    if (m_nBufBytes > 0 && offset >= m_nBufOffset && offset - m_nBufOffset <= m_nBufBytes) {
        m_nBufPos = offset - m_nBufOffset;
        return;
    }
    // The latest recorded load at or before the offset.
    int lo = 0, hi = m_bufStarts.GetSize();
    while (lo < hi) {
        int mid = (lo + hi) / 2;
        if (AsOffset(m_bufStarts.GetAt(mid)) <= offset)
            lo = mid + 1;
        else
            hi = mid;
    }
    DWORD start = lo > 0 ? AsOffset(m_bufStarts.GetAt(lo - 1)) : offset;
    if (offset - start >= m_nBufSize)
        start = offset;
    Load(start);
    if (offset - start > m_nBufBytes)
        Load(offset); // the file shrank under us
    else
        m_nBufPos = offset - start;
}

// ---- Line index --------------------------------------------------------------------------

DWORD GStringFile::LineStart(int line) const {
    return AsOffset(m_lineStarts.GetAt(line));
}

void GStringFile::SetLineStart(int line, DWORD offset) {
    m_lineStarts.SetAtGrow(line, AsElement(offset));
}

void GStringFile::CountLine() {
    m_nCurLine = LineBase() + 1;
    m_nResumeLine = 0;
    if (m_nCurLine >= m_nKnownLines) {
        SetLineStart(m_nCurLine + 1, m_nBufOffset + m_nBufPos);
        m_nKnownLines = m_nCurLine + 1;
    }
}

// ---- Scanning ----------------------------------------------------------------------------

GStringFile::Scan GStringFile::ScanLine(WCHAR* out, int capacity, int escape) {
    std::memset(out, 0, sizeof(WCHAR) * capacity);
    return m_bUnicode ? ScanUnicode(out, capacity, escape) : ScanAnsi(out, capacity, escape);
}

GStringFile::Scan GStringFile::ScanAnsi(WCHAR* out, int capacity, int escape) {
    // A double-byte character takes two bytes and gives one character, so capacity - 1 bytes
    // always convert into the caller's buffer with the terminator.
    const int limit = capacity - 1 < kMaxLine ? capacity - 1 : kMaxLine;
    const UINT codePage = GetACP();
    char line[kMaxLine + 2];
    int c = 0;
    bool trail = false;     // the next byte completes a double-byte character
    bool backslash = false; // the last byte kept is a backslash of its own
    Scan result = Scan::Partial;
    for (;;) {
        Ensure(1);
        if (Available() == 0) {
            if (c == 0)
                return Scan::End;
            break;
        }
        BYTE b = m_pBuffer[m_nBufPos];
        if (b == '\n' || b == '\r') {
            ++m_nBufPos;
            if (b == '\r') {
                Ensure(1);
                if (Available() > 0 && m_pBuffer[m_nBufPos] == '\n')
                    ++m_nBufPos;
            }
            // A lone CR straight after the line end belongs to it.
            Ensure(2);
            if (Available() > 0 && m_pBuffer[m_nBufPos] == '\r' &&
                !(Available() > 1 && m_pBuffer[m_nBufPos + 1] == '\n'))
                ++m_nBufPos;
            result = Scan::Line;
            break;
        }
        bool lead = !trail && IsDBCSLeadByteEx(codePage, b);
        int need = lead ? 2 : 1;
        if (c > 0 && c + need > limit) {
            result = Scan::Line; // the rest of the physical line comes next
            break;
        }
        ++m_nBufPos;
        if (escape && backslash && b == 'n') {
            line[c - 1] = '\n';
            backslash = false;
        } else {
            line[c++] = static_cast<char>(b);
            backslash = !trail && b == '\\';
        }
        trail = lead;
    }
    line[c] = 0;
    if (MultiByteToWideChar(codePage, 0, line, c + 1, out, capacity) == 0)
        out[0] = 0;
    return result;
}

GStringFile::Scan GStringFile::ScanUnicode(WCHAR* out, int capacity, int escape) {
    const int limit = capacity - 1 < kMaxLine ? capacity - 1 : kMaxLine;
    auto unitAt = [this](DWORD pos) {
        return static_cast<WCHAR>(m_pBuffer[pos] | m_pBuffer[pos + 1] << 8);
    };
    int c = 0;
    bool backslash = false;
    for (;;) {
        Ensure(2);
        if (Available() < 2) // an odd last byte is not a character
            return c == 0 ? Scan::End : Scan::Partial;
        WCHAR u = unitAt(m_nBufPos);
        if (u == '\n' || u == '\r') {
            m_nBufPos += 2;
            // The end character, then at most one CR and one LF after it.
            Ensure(2);
            if (Available() >= 2 && unitAt(m_nBufPos) == '\r')
                m_nBufPos += 2;
            Ensure(2);
            if (Available() >= 2 && unitAt(m_nBufPos) == '\n')
                m_nBufPos += 2;
            return Scan::Line;
        }
        // A pair is not split, except by a buffer of one character, which takes half a pair
        // rather than nothing.
        int need = IsHighSurrogate(u) ? 2 : 1;
        if (c > 0 && c + need > limit)
            return Scan::Line;
        m_nBufPos += 2;
        if (escape && backslash && u == 'n') {
            out[c - 1] = '\n';
            backslash = false;
        } else {
            out[c++] = u;
            backslash = u == '\\';
        }
    }
}

// ---- Reading -----------------------------------------------------------------------------

int GStringFile::ReadNextLine(WCHAR* out, int capacity, int escape) {
    if (!m_pFile || !out || capacity < 2)
        return 0;
    Scan scan = ScanLine(out, capacity, escape);
    if (scan != Scan::Line && LineBase() + 1 == m_nKnownLines)
        m_bIndexedToEnd = true;
    switch (scan) {
        case Scan::End:
            if (m_nCurLine)
                m_nResumeLine = m_nCurLine;
            m_nCurLine = 0;
            return 0;
        case Scan::Partial:
            // A last line without a line end is returned but not counted: it answers the
            // number of the line before it. Alone in the file it answers 1, since every
            // reader stops at 0 and would lose it.
            return LineBase() ? LineBase() : 1;
        case Scan::Line:
            break;
    }
    CountLine();
    return m_nCurLine;
}

int GStringFile::ReadLine(int n, WCHAR* out, int capacity, int escape) {
    if (!m_pFile || n <= 0 || !out || capacity < 2)
        return 0;
    if (n > m_nKnownLines) {
        // Go on from the last line found rather than from wherever reading stopped.
        if (m_nKnownLines > 0 && LineBase() + 1 < m_nKnownLines) {
            MoveTo(LineStart(m_nKnownLines));
            m_nCurLine = m_nKnownLines - 1;
            m_nResumeLine = 0;
        }
        while (n > m_nKnownLines) {
            int line = ReadNextLine(out, capacity, 0);
            if (line == n)
                return line;
            if (line == 0)
                break;
        }
        if (n > m_nKnownLines) {
            if (m_nKnownLines == 0)
                return 0;
            n = m_nKnownLines;
            // A file ending in a line end has an empty last "line" at its end.
            if (n > 1 && static_cast<LONG>(LineStart(n)) >= Size())
                --n;
            escape = 0;
        }
    }
    MoveTo(LineStart(n));
    m_nCurLine = n - 1;
    m_nResumeLine = 0;
    Scan scan = ScanLine(out, capacity, escape);
    if (scan != Scan::Line && n == m_nKnownLines)
        m_bIndexedToEnd = true;
    switch (scan) {
        case Scan::End:
            m_nResumeLine = n - 1;
            m_nCurLine = 0;
            return 0;
        case Scan::Partial:
            return n;
        case Scan::Line:
            break;
    }
    CountLine();
    return n;
}

// ---- Writing -----------------------------------------------------------------------------

bool GStringFile::Append(const void* bytes, size_t count) {
    if (fseek(m_pFile, 0, SEEK_END) != 0)
        return false;
    bool ok = fwrite(bytes, 1, count, m_pFile) == count;
    fflush(m_pFile);
    // The buffer still holds what it held; loads must go on past the old end now.
    m_bLoadHitEnd = false;
    LONG size = Size();
    m_nFileSize = size > 0 ? static_cast<DWORD>(size) : 0;
    return ok;
}

int GStringFile::Write(LPCWSTR text) {
    if (!m_pFile)
        return 0;
    if (m_nKnownLines == 0) {
        SetLineStart(0, 0);
        SetLineStart(1, DataStart());
        m_nKnownLines = 1;
    }
    if (!text)
        return m_nKnownLines;
    size_t length = wcslen(text);
    if (length == 0)
        return m_nKnownLines;
    if (wcspbrk(text, u"\r\n"))
        m_bIndexedToEnd = false; // lines the index has not seen
    if (m_bUnicode) {
        std::vector<BYTE> bytes;
        bytes.reserve(length * 2);
        for (size_t i = 0; i < length; ++i) {
            bytes.push_back(static_cast<BYTE>(text[i]));
            bytes.push_back(static_cast<BYTE>(text[i] >> 8));
        }
        Append(bytes.data(), bytes.size());
    } else {
        std::vector<char> bytes(2 * (length + 1) + 1);
        Unicode2Ansi(bytes.data(), text);
        Append(bytes.data(), std::strlen(bytes.data()));
    }
    return m_nKnownLines;
}

int GStringFile::WriteNextLine(LPCWSTR text) {
    if (!m_pFile)
        return 0;
    if (m_nKnownLines == 0)
        Write(nullptr);
    // The index grows with the file only when its last line runs to the old end.
    LONG oldSize = Size();
    if (oldSize >= 0 && LineStart(m_nKnownLines) == static_cast<DWORD>(oldSize))
        m_bIndexedToEnd = true;
    Write(text);
    const BYTE lf[2] = {'\n', 0};
    Append(lf, m_bUnicode ? 2 : 1);
    if (m_bIndexedToEnd) {
        SetLineStart(m_nKnownLines + 1, m_nFileSize);
        ++m_nKnownLines;
    }
    return m_nKnownLines;
}
