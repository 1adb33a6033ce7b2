#include "SettingsInternal.h"

#include <cstring>

bool ReadDwordValue(HKEY key, LPCWSTR name, DWORD* field) {
    BYTE bytes[4];
    const DWORD current = *field;
    for (int i = 0; i < 4; ++i)
        bytes[i] = BYTE(current >> (8 * i));
    DWORD size = sizeof bytes;
    if (RegQueryValueExW(key, name, nullptr, nullptr, bytes, &size) != ERROR_SUCCESS)
        return false;
    *field = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (DWORD(bytes[3]) << 24);
    return true;
}

bool ReadDoubleValue(HKEY key, LPCWSTR name, double* field) {
    BYTE bytes[8];
    std::memcpy(bytes, field, sizeof bytes);
    DWORD size = sizeof bytes;
    if (RegQueryValueExW(key, name, nullptr, nullptr, bytes, &size) != ERROR_SUCCESS)
        return false;
    std::memcpy(field, bytes, sizeof bytes);
    return true;
}

bool ReadTextValue(HKEY key, LPCWSTR name, WCHAR* field, size_t capacity, DWORD bytes) {
    WCHAR text[260] = {};
    if (bytes > sizeof text)
        bytes = sizeof text;
    if (bytes / 2 > capacity)
        bytes = DWORD(capacity * 2);
    if (bytes < 2)
        return false;
    DWORD size = bytes;
    if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size) !=
        ERROR_SUCCESS)
        return false;
    text[bytes / 2 - 1] = 0;
    std::memset(field, 0, capacity * sizeof(WCHAR));
    std::memcpy(field, text, (bytes / 2) * sizeof(WCHAR));
    return true;
}

bool WriteDwordValue(HKEY key, LPCWSTR name, DWORD type, DWORD value) {
    BYTE bytes[4];
    for (int i = 0; i < 4; ++i)
        bytes[i] = BYTE(value >> (8 * i));
    return RegSetValueExW(key, name, 0, type, bytes, sizeof bytes) == ERROR_SUCCESS;
}

bool WriteTextValue(HKEY key, LPCWSTR name, const WCHAR* text, DWORD bytes) {
    BYTE out[520] = {};
    if (bytes > sizeof out)
        bytes = sizeof out;
    const size_t room = bytes / 2;
    size_t n = 0;
    while (text && n < room && text[n]) {
        out[2 * n] = BYTE(text[n]);
        out[2 * n + 1] = BYTE(text[n] >> 8);
        ++n;
    }
    return RegSetValueExW(key, name, 0, REG_SZ, out, bytes) == ERROR_SUCCESS;
}
