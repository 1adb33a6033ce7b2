// The C runtime's wide file functions over device paths. Only the open needs the device:
// everything after it is the host's stdio on the returned FILE*.
#include "file_internal.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// "r", "w" or "a", then at most one "+" and one of "b" or "t", in any order: the host's open
// flags and the matching stream mode.
bool ParseMode(const WCHAR* mode, int* flags, char (&host)[3], bool* writes) {
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
    host[0] = char(first);
    host[1] = plus ? '+' : 0;
    host[2] = 0;
    *flags = plus ? O_RDWR : first == u'r' ? O_RDONLY : O_WRONLY;
    if (first == u'w')
        *flags |= O_CREAT | O_TRUNC;
    else if (first == u'a')
        *flags |= O_CREAT | O_APPEND;
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
    char hostMode[3];
    int flags = 0;
    bool writes = false;
    if (!path || !mode || !ParseMode(mode, &flags, hostMode, &writes)) {
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
        // Only plain files open: a folder, FIFO or device is refused before it is touched.
        if (!st.isFile) {
            errno = EACCES;
            return nullptr;
        }
        attributes = ReadDosAttributes(m.host, st, m.leaf);
        if (writes && (attributes & FILE_ATTRIBUTE_READONLY)) {
            errno = EACCES;
            return nullptr;
        }
    }
    // Not blocking, and checked again once open, for a file swapped in after the look.
    const int fd = open(m.host.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0)
        return nullptr;
    struct stat opened;
    if (fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) ||
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        close(fd);
        errno = EACCES;
        return nullptr;
    }
    FILE* f = fdopen(fd, hostMode);
    if (!f) {
        const int err = errno;
        close(fd);
        errno = err;
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
