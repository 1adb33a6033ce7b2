// The device owner's records, kept by the system as raw-bytes registry values under
// HKEY_CURRENT_USER "ControlPanel\Owner": "Owner" (556 bytes) and "Notes" (388 bytes). Each
// record is its size in bytes followed by the value's bytes.
#pragma once

#include <platform/wintypes.h>

inline constexpr DWORD kOwnerBlobSize = 556;
inline constexpr DWORD kOwnerNotesBlobSize = 388;

struct CEOwnerInfo {
    DWORD cbSize; // at least sizeof(CEOwnerInfo)
    WCHAR szName[33];
    WCHAR szCompany[33];
    WCHAR szAddress[129];
    WCHAR szPhone[41];
    WCHAR szEmail[41];
    BYTE reserved[2];
};
static_assert(sizeof(CEOwnerInfo) == 4 + kOwnerBlobSize);

struct CEOwnerNoteInfo {
    DWORD cbSize; // at least sizeof(CEOwnerNoteInfo)
    WCHAR szNotes[120];
    BYTE reserved[148];
};
static_assert(sizeof(CEOwnerNoteInfo) == 4 + kOwnerNotesBlobSize);

// Fill the record from the registry (zero-filled first, cbSize set, every text field ends in
// a terminator); 1 on success.
int GetCEOwnerInfo(CEOwnerInfo* info);
int GetCEOwnerNoteInfo(CEOwnerNoteInfo* info);
// Terminate the text fields, then store the record's bytes; 1 on success.
int SetCEOwnerInfo(CEOwnerInfo* info);
int SetCEOwnerNoteInfo(CEOwnerNoteInfo* info);
