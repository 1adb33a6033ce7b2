// Replacing a file without ever losing it: the new content is written completely beside the
// old file under a fresh name, flushed to disk and renamed over it (plat::SafeReplace). If
// any step fails the old file is untouched and the caller is told.
#pragma once

#include <windows.h>

#include <cstdio>

// Writes the whole new content to the stream; 1 when every write succeeded.
using SafeWriteProc = int (*)(FILE* stream, void* context);

// 1 when path now holds what write produced; 0 when anything failed (the old file, if any,
// is then unchanged and no temporary file is left behind).
int SafeWriteFile(LPCWSTR path, SafeWriteProc write, void* context);
// The same for content already in memory.
int SafeWriteBuffer(LPCWSTR path, const void* data, DWORD size);
