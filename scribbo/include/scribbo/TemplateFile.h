// ".pbt" files: a TemplateHeader, then, when the picture is shown and set, the picture path
// and optionally the picture file's bytes.
#pragma once

#include "scribbo/TemplateHeader.h"

// Longest picture path kept, in UTF-16 characters (the buffers hold 260 with the terminator).
inline constexpr DWORD kTemplatePathMax = 259;
// Largest ".pbt" read; anything bigger is not a template.
inline constexpr DWORD kTemplateFileMax = 64u << 20;

// The parts of a template as read from bytes. picture points into the parsed bytes.
struct TemplateContent {
    TemplateHeader header;
    WCHAR picturePath[260];
    const BYTE* picture; // embedded picture file bytes, or null
    DWORD pictureSize;
};

// Parses ".pbt" bytes. 0 when they are not a template: fewer than 72 bytes, or a path count
// beyond the limit or beyond the bytes present. Embedded picture bytes that are announced but
// not all present are left out (picture null) and the rest is kept; bit 128 is cleared when
// BackImageSize is 0.
int ParseTemplateBytes(const BYTE* data, size_t size, TemplateContent* out);

// Reads a ".pbt" file into header and picturePath (260 characters), and the embedded picture
// into *picture (LocalAlloc, the caller frees it) when picture is not null. Returns 0 and
// changes nothing when the file is missing, unreadable or damaged.
int ReadTemplateFile(LPCWSTR path, TemplateHeader* header, WCHAR* picturePath, BYTE** picture,
                     DWORD* pictureSize);

// Writes a ".pbt" file safely (complete file beside the old one, then renamed over it). A
// picture path naming no file, or a picture that cannot be read, clears bit 16 in *header and
// the file holds the header only; BackImageSize becomes the number of picture bytes embedded.
// 1 on success, 0 when the file could not be written (the old one is then untouched).
int WriteTemplateFile(LPCWSTR path, TemplateHeader* header, LPCWSTR picturePath);
