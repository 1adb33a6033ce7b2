#include "fundo/PathUtil.h"

#include <windows.h>

#include <cstring>

int GetProgramFilePath(WCHAR* buffer) {
    if (!buffer)
        return 0;
    DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return n < MAX_PATH ? static_cast<int>(n) : 0;
}

int GetProgramFolder(WCHAR* buffer) {
    if (!buffer)
        return 0;
    std::memset(buffer, 0, sizeof(WCHAR) * MAX_PATH);
    if (!GetProgramFilePath(buffer))
        return 0;
    WCHAR* slash = wcsrchr(buffer, u'\\');
    if (slash)
        *slash = 0;
    else
        buffer[0] = 0;
    return static_cast<int>(wcslen(buffer));
}

WCHAR* GetPathOnly(WCHAR* path) {
    if (!path)
        return nullptr;
    WCHAR* slash = wcsrchr(path, u'\\');
    if (!slash) {
        path[0] = 0;
        return path;
    }
    *slash = 0;
    return slash;
}

const WCHAR* GetFileOnly(const WCHAR* path) {
    if (!path)
        return nullptr;
    const WCHAR* slash = wcsrchr(path, u'\\');
    if (!slash)
        return path;
    if (slash - path >= 2 && slash[-1] == u'\\')
        return slash;
    return slash + 1;
}

WCHAR* GetFileOnly(WCHAR* path) {
    return const_cast<WCHAR*>(GetFileOnly(static_cast<const WCHAR*>(path)));
}

const WCHAR* GetExtOnly(const WCHAR* path) {
    if (!path)
        return nullptr;
    // Only the file name's dots count: "\My.Folder\notes" has no extension.
    const WCHAR* slash = wcsrchr(path, u'\\');
    const WCHAR* name = slash ? slash + 1 : path;
    const WCHAR* dot = wcsrchr(name, u'.');
    return dot ? dot + 1 : name + wcslen(name);
}

WCHAR* GetExtOnly(WCHAR* path) {
    return const_cast<WCHAR*>(GetExtOnly(static_cast<const WCHAR*>(path)));
}

int IsValidPath(const WCHAR* path) {
    if (!path)
        return 0;
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
}

int IsValidFile(const WCHAR* path) {
    if (!path)
        return 0;
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) ? 1
                                                                                             : 0;
}
