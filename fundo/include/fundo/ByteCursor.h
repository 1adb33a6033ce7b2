// Reading and seeking over bytes held in memory, shared by GMemFile and GRCFile.
#pragma once

#include <platform/wintypes.h>

namespace fundo {

// Positions stay within what Tell can report.
inline constexpr DWORD kMaxMemPosition = 0x7FFFFFFF;

// Copies min(count, size - pos) bytes from pos and advances; 0 past the end.
DWORD CursorRead(const BYTE* data, DWORD size, DWORD& pos, void* dst, DWORD count);
// New position from start, current position or end (origin 0, 1, 2); positions past the end
// are allowed, negative ones and unknown origins are refused with 0.
int CursorSeek(DWORD size, DWORD& pos, LONG offset, int origin);

} // namespace fundo
