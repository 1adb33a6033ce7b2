#include "fundo/OwnerInfo.h"

#include <windows.h>

#include <cstddef>
#include <cstring>

namespace {

constexpr WCHAR kOwnerKey[] = u"ControlPanel\\Owner";

// Terminator positions inside each value's bytes.
constexpr DWORD kOwnerEnds[] = {64, 130, 388, 470, 552};
constexpr DWORD kNotesEnds[] = {238};

static_assert(offsetof(CEOwnerInfo, szCompany) - 4 == 66 &&
              offsetof(CEOwnerInfo, szAddress) - 4 == 132 &&
              offsetof(CEOwnerInfo, szPhone) - 4 == 390 &&
              offsetof(CEOwnerInfo, szEmail) - 4 == 472);

template <size_t N> void Terminate(BYTE* blob, const DWORD (&ends)[N]) {
    for (DWORD at : ends)
        blob[at] = blob[at + 1] = 0;
}

template <size_t N>
int Read(DWORD* record, DWORD blobSize, LPCWSTR valueName, const DWORD (&ends)[N]) {
    if (!record || *record < blobSize + 4)
        return 0;
    std::memset(record, 0, blobSize + 4);
    *record = blobSize + 4;
    BYTE* blob = reinterpret_cast<BYTE*>(record + 1);
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kOwnerKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    DWORD type = 0;
    DWORD size = blobSize;
    LONG result = RegQueryValueExW(key, valueName, nullptr, &type, blob, &size);
    RegCloseKey(key);
    // Stored bytes may lack terminators; the fields must end inside the record.
    Terminate(blob, ends);
    return result == ERROR_SUCCESS && type == REG_BINARY ? 1 : 0;
}

template <size_t N>
int Write(DWORD* record, DWORD blobSize, LPCWSTR valueName, const DWORD (&ends)[N]) {
    if (!record || *record < blobSize + 4)
        return 0;
    BYTE* blob = reinterpret_cast<BYTE*>(record + 1);
    Terminate(blob, ends);
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kOwnerKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return 0;
    LONG result = RegSetValueExW(key, valueName, 0, REG_BINARY, blob, blobSize);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? 1 : 0;
}

} // namespace

int GetCEOwnerInfo(CEOwnerInfo* info) {
    return Read(info ? &info->cbSize : nullptr, kOwnerBlobSize, u"Owner", kOwnerEnds);
}

int SetCEOwnerInfo(CEOwnerInfo* info) {
    return Write(info ? &info->cbSize : nullptr, kOwnerBlobSize, u"Owner", kOwnerEnds);
}

int GetCEOwnerNoteInfo(CEOwnerNoteInfo* info) {
    return Read(info ? &info->cbSize : nullptr, kOwnerNotesBlobSize, u"Notes", kNotesEnds);
}

int SetCEOwnerNoteInfo(CEOwnerNoteInfo* info) {
    return Write(info ? &info->cbSize : nullptr, kOwnerNotesBlobSize, u"Notes", kNotesEnds);
}
