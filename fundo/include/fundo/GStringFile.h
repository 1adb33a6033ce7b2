// A text-line reader and writer for line-oriented files: 8-bit ANSI text, or UTF-16LE when
// the file starts with the byte-order mark FF FE. LF, CR and CR LF end lines. The file is read
// in 4096-byte loads; the start offsets of lines and loads are kept so that an earlier line can
// be read again without scanning from the start.
#pragma once

#include "fundo/GArray.h"

#include <platform/wintypes.h>

#include <cstdio>

class GStringFile {
public:
    // Longest line returned at once, in bytes (ANSI) or characters (UTF-16); the rest of a
    // longer physical line comes back as the next line.
    static constexpr int kMaxLine = 4096;

    GStringFile() = default;
    GStringFile(const GStringFile&) = delete;
    GStringFile& operator=(const GStringFile&) = delete;
    virtual ~GStringFile();

    // Read only ("r"), read and write an existing file ("r+"), or a new empty file ("w+").
    // 1 when the file opened.
    int OpenR(LPCWSTR path);
    int OpenW(LPCWSTR path);
    int Create(LPCWSTR path);
    // Back to the first line; the line index is kept.
    void Reset();
    // The file's length, -1 when closed.
    LONG Size();
    int IsOpen() const { return m_pFile ? 1 : 0; }
    int IsUnicode() const { return m_bUnicode; }
    int GetCurrentLine() const { return m_nCurLine; }
    int GetKnownLines() const { return m_nKnownLines; }

    // Reads the next line into out (capacity characters with the terminator, at least 2) and
    // returns its number, 0 at the end of the file. A line longer than capacity - 1 characters
    // is cut there. A last line without a line end is returned with its number but not
    // counted, so the call after it returns 0. With escape set, backslash + "n" becomes a
    // line feed.
    int ReadNextLine(WCHAR* out, int capacity, int escape);
    // Reads line n; a line past the end gives the last line (without escapes). Returns the
    // number of the line read, 0 when there is none.
    int ReadLine(int n, WCHAR* out, int capacity, int escape);

    // Append at the end of the file, in its encoding (ANSI code page unless it has a
    // byte-order mark). Both return the known-line count.
    int Write(LPCWSTR text);
    // Write followed by a line feed.
    int WriteNextLine(LPCWSTR text);
    void Close();

protected:
    int _Open(LPCWSTR path, LPCWSTR mode);

private:
    enum class Scan { End, Partial, Line };

    Scan ScanLine(WCHAR* out, int capacity, int escape);
    Scan ScanAnsi(WCHAR* out, int capacity, int escape);
    Scan ScanUnicode(WCHAR* out, int capacity, int escape);
    // Makes up to count bytes available at the scan position, loading from there if needed.
    void Ensure(DWORD count);
    DWORD Available() const { return m_nBufBytes - m_nBufPos; }
    void Load(DWORD offset);
    // Puts the scan position at a file offset, reusing a recorded load when it covers it.
    void MoveTo(DWORD offset);
    void RecordBufferStart(DWORD offset);
    DWORD LineStart(int line) const;
    void SetLineStart(int line, DWORD offset);
    // The number of the line before the next one to be read.
    int LineBase() const { return m_nCurLine ? m_nCurLine : m_nResumeLine; }
    void CountLine();
    DWORD DataStart() const { return m_bUnicode ? 2 : 0; }
    bool Append(const void* bytes, size_t count);

    FILE* m_pFile = nullptr;
    DWORD m_nBufSize = kMaxLine;
    DWORD m_nBufBytes = 0;
    int m_nCurLine = 0;
    int m_nKnownLines = 0;
    DWORD m_nBufPos = 0;
    DWORD m_nBufOffset = 0;
    DWORD m_nFileSize = 0;
    BYTE* m_pBuffer = nullptr;
    int m_bUnicode = 0;
    GArray m_lineStarts;
    GArray m_bufStarts;
    // The last load stopped at the end of the file.
    bool m_bLoadHitEnd = false;
    // The line count reached when the end was met, so that lines appended later continue it.
    int m_nResumeLine = 0;
    // The last known line is known to run to the end of the file, so appended lines extend
    // the index.
    bool m_bIndexedToEnd = false;
};
