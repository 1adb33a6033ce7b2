// Pieces the memo store's files share: path text and the placing of an arriving memo.
#pragma once

#include <windows.h>

#include <string>

namespace memostore {

// path without its trailing backslashes.
std::u16string Trimmed(LPCWSTR path);
// The part after the last backslash.
LPCWSTR NameOf(LPCWSTR path);
// 1 when something has that name.
int Exists(LPCWSTR path);
// Moves (or copies) the file at path into folder under its own name or, when that is taken,
// under the clock's name stepped on one second at a time to a free one: the clock may stand
// still (within one second, or on the virtual clock), and the folder holds only so many
// files. Never replaces a file. out (MAX_PATH characters) gets the new path. 1 or 0.
int PlaceMemo(LPCWSTR path, LPCWSTR folder, bool copy, WCHAR* out);

} // namespace memostore
