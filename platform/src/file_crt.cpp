// The C runtime's wide file functions over device paths. Only the open needs the device:
// everything after it is the host's stdio on the returned FILE*.
#include "file_internal.h"

#include <cerrno>

#include <sys/stat.h>

namespace {

// "r", "w" or "a", then at most one "+" and one of "b" or "t", in any order. The host mode
// adds close-on-exec so started programs do not inherit open files.
bool ParseMode(const WCHAR* mode, char (&host)[4], bool* writes) {
    const WCHAR first = mode[0];
    if (first != u'r' && first != u'w' && first != u'a')
        return false;
    bool plus = false, kind = false;
    for (const WCHAR* p = mode + 1; *p; ++p) {
        if (*p == u'+' && !plus)
            plus = true;
        else if ((*p == u'b' || *p == u't') && !kind)
            kind = true;
        else
            return false;
    }
    int n = 0;
    host[n++] = char(first);
    if (plus)
        host[n++] = '+';
    host[n++] = 'e';
    host[n] = 0;
    *writes = first != u'r' || plus;
    return true;
}

int FailErrno(int err) {
    errno = err;
    return -1;
}

} // namespace

FILE* _wfopen(const WCHAR* path, const WCHAR* mode) {
    using namespace plat;
    char hostMode[4];
    bool writes = false;
    if (!path || !mode || !ParseMode(mode, hostMode, &writes)) {
        errno = EINVAL;
        return nullptr;
    }
    MappedPath m;
    if (DWORD err = MapDevicePath(path, &m)) {
        errno = ErrnoFromError(err);
        return nullptr;
    }
    HostStat st;
    const bool existed = StatHost(m.host, &st) == 0 && !st.dangling;
    DWORD attributes = 0;
    if (existed) {
        if (st.isDir) {
            errno = EACCES;
            return nullptr;
        }
        attributes = ReadDosAttributes(m.host, st, m.leaf);
        if (writes && (attributes & FILE_ATTRIBUTE_READONLY)) {
            errno = EACCES;
            return nullptr;
        }
    }
    FILE* f = std::fopen(m.host.c_str(), hostMode);
    if (!f)
        return nullptr;
    struct stat opened;
    if (fstat(fileno(f), &opened) == 0 && S_ISDIR(opened.st_mode)) {
        std::fclose(f);
        errno = EACCES;
        return nullptr;
    }
    // Writing a file marks it for archiving again, as on the device.
    if (writes && existed && !(attributes & FILE_ATTRIBUTE_ARCHIVE))
        WriteDosXattrFd(fileno(f), attributes | FILE_ATTRIBUTE_ARCHIVE);
    return f;
}

int _wremove(const WCHAR* path) {
    if (DeleteFileW(path))
        return 0;
    return FailErrno(plat::ErrnoFromError(GetLastError()));
}

int _wrename(const WCHAR* oldPath, const WCHAR* newPath) {
    if (MoveFileW(oldPath, newPath))
        return 0;
    const DWORD err = GetLastError();
    return FailErrno(err == ERROR_ALREADY_EXISTS ? EACCES : plat::ErrnoFromError(err));
}

int _wmkdir(const WCHAR* path) {
    if (CreateDirectoryW(path, nullptr))
        return 0;
    return FailErrno(plat::ErrnoFromError(GetLastError()));
}

int _wrmdir(const WCHAR* path) {
    if (RemoveDirectoryW(path))
        return 0;
    return FailErrno(plat::ErrnoFromError(GetLastError()));
}
