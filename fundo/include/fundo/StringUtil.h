// Conversions between the ANSI code page and UTF-16, and heap copies of wide strings.
#pragma once

#include <platform/wintypes.h>

// Converts source with its terminator; dest must hold strlen(source) + 1 characters. Returns
// the characters written, the terminator included (0 on failure or a null argument).
int Ansi2Unicode(WCHAR* dest, const char* source);
// Converts source with its terminator; dest must hold 2 * (length + 1) bytes, room for
// double-byte characters. Returns the bytes written, the terminator included.
int Unicode2Ansi(char* dest, const WCHAR* source);

// A new copy of source: the whole string for length < 1, else at most length characters.
// Null for a null or empty source or when memory runs out. Release with FreeString.
WCHAR* AllocString(const WCHAR* source, int length = 0);
// Deletes a string from AllocString and nulls the reference.
void FreeString(WCHAR*& string);
