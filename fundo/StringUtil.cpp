#include "fundo/StringUtil.h"

#include <windows.h>

#include <cstring>
#include <new>

int Ansi2Unicode(WCHAR* dest, const char* source) {
    if (!dest || !source)
        return 0;
    int count = static_cast<int>(std::strlen(source)) + 1;
    std::memset(dest, 0, sizeof(WCHAR) * count);
    return MultiByteToWideChar(CP_ACP, 0, source, -1, dest, count);
}

int Unicode2Ansi(char* dest, const WCHAR* source) {
    if (!dest || !source)
        return 0;
    int count = static_cast<int>(wcslen(source)) + 1;
    std::memset(dest, 0, count);
    return WideCharToMultiByte(CP_ACP, 0, source, -1, dest, 2 * count, nullptr, nullptr);
}

WCHAR* AllocString(const WCHAR* source, int length) {
    if (!source || !source[0])
        return nullptr;
    size_t n = wcslen(source);
    if (length >= 1 && static_cast<size_t>(length) < n)
        n = static_cast<size_t>(length);
    WCHAR* copy = new (std::nothrow) WCHAR[n + 1];
    if (!copy)
        return nullptr;
    std::memcpy(copy, source, n * sizeof(WCHAR));
    copy[n] = 0;
    return copy;
}

void FreeString(WCHAR*& string) {
    delete[] string;
    string = nullptr;
}
