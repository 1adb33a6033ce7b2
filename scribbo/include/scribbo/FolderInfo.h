// "folder.info": a folder's colour, lock and the subfolder its tab bar opens with. The memo
// store reads it while scanning and rewrites it whenever one of these changes.
#pragma once

#include <windows.h>

// Colour of a folder that has no "folder.info" yet.
inline constexpr COLORREF kDefaultFolderColor = 0xA8F0F0;
// Longest remembered subfolder name, in UTF-16 characters (the buffer holds the terminator).
inline constexpr DWORD kFolderInfoNameMax = 259;
// 8 version bytes, colour, locked flag and the name's length.
inline constexpr DWORD kFolderInfoFixedBytes = 20;

struct FolderInfo {
    COLORREF color = kDefaultFolderColor;
    int locked = 0;
    WCHAR subfolder[kFolderInfoNameMax + 1] = {};
};

// Parses the bytes of a "folder.info". 0 when they are not one: fewer than 20 bytes, or a
// name longer than 259 characters or than the bytes present. A non-zero lock reads as 1 so a
// damaged flag never unlocks a folder by accident.
int ParseFolderInfo(const BYTE* data, size_t size, FolderInfo* out);

// Reads folder + "folder.info" (a separator is added when folder lacks one). 1 when it was
// read; 0 leaves *out unchanged.
int ReadFolderInfo(LPCWSTR folder, FolderInfo* out);

// Rewrites folder + "folder.info" whole, safely: the old file stays until the new one is on
// disk. 0 when it could not be written or the name is too long.
int WriteFolderInfo(LPCWSTR folder, const FolderInfo& info);
