// The program's own path and folder, splitting paths at backslashes, and asking whether a
// path is a folder or a file. Buffers hold MAX_PATH (260) characters.
#pragma once

#include <platform/wintypes.h>

// The running program's full path; its length, 0 on failure.
int GetProgramFilePath(WCHAR* buffer);
// The program's folder, without a final backslash; its length, 0 on failure.
int GetProgramFolder(WCHAR* buffer);
// Cuts path in place at its last backslash and returns a pointer to the cut; a path without
// one becomes empty and is returned.
WCHAR* GetPathOnly(WCHAR* path);
// The file name after the last backslash, or path itself without one. A last backslash
// doubled (not as the path's first two characters) is returned with the name.
WCHAR* GetFileOnly(WCHAR* path);
const WCHAR* GetFileOnly(const WCHAR* path);
// The extension after the file name's last dot, or the empty string at the end of path.
WCHAR* GetExtOnly(WCHAR* path);
const WCHAR* GetExtOnly(const WCHAR* path);
// 1 when path exists and is a folder / exists and is not one.
int IsValidPath(const WCHAR* path);
int IsValidFile(const WCHAR* path);
