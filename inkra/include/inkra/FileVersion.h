// The memo file's version: the application stores it at the start of the file and hands it
// down to the ink body's readers and writers, which change their records by it.
#pragma once

#include <windows.h>

class GFile;

struct _FILE_VERSION {
    LONG major;
    LONG minor;
};

// The version memo files are written in.
inline constexpr _FILE_VERSION kMemoFileVersion{2, 2};

// Major 1 (and anything below 2): the old object record, no background objects.
constexpr bool IsOldMemoForm(const _FILE_VERSION& v) {
    return v.major < 2;
}
// Text records carry width and format only at minor 0 of the current form.
constexpr bool MemoTextHasFormat(const _FILE_VERSION& v) {
    return v.major >= 2 && v.minor == 0;
}
// Pages carry their background-object list from 2.1 on.
constexpr bool MemoHasBackObjects(const _FILE_VERSION& v) {
    return v.major >= 2 && v.minor >= 1;
}
// Pencil strokes are stored in the compact point form from 2.2 on.
constexpr bool MemoPencelCompact(const _FILE_VERSION& v) {
    return v.major > 2 || (v.major == 2 && v.minor >= 2);
}

// The 8 version bytes (two little-endian int32, major then minor); 1 when all were
// transferred, 0 for a null file or a short read or write (the version is then untouched).
int ReadFileVersion(GFile* file, _FILE_VERSION& version);
int WriteFileVersion(GFile* file, const _FILE_VERSION& version);
