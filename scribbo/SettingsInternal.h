// Pieces shared by the settings sources.
#pragma once

#include <windows.h>

// A registry value read into a field of its own size whatever its stored type: a missing or
// unreadable value leaves the field as it was; a shorter one replaces only its own bytes.
bool ReadDwordValue(HKEY key, LPCWSTR name, DWORD* field);
bool ReadDoubleValue(HKEY key, LPCWSTR name, double* field);
// A text field of capacity characters read with a byte count of bytes: it keeps at most
// bytes / 2 - 1 characters, is always terminated and is zero after the text.
bool ReadTextValue(HKEY key, LPCWSTR name, WCHAR* field, size_t capacity, DWORD bytes);
// 4 little-endian bytes of the given type.
bool WriteDwordValue(HKEY key, LPCWSTR name, DWORD type, DWORD value);
// REG_SZ with exactly bytes bytes: the text, its terminator and zeros (cut when longer).
bool WriteTextValue(HKEY key, LPCWSTR name, const WCHAR* text, DWORD bytes);

// Empty BaseDataFolder and DefNewMemoFolder become "\My Documents\Pad".
void DefaultEmptyFolders();
// Imports the older product's key when it exists: its values go into the settings, the old
// key is deleted with its parent and the settings are saved. 1 when it was there.
int ImportLegacySettings();
