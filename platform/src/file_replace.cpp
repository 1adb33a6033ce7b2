// MoveFileExW with replacement, and the C runtime's _commit: what safe saving needs to put a
// finished file over the old one.
#include "file_internal.h"

#include <platform/winbase.h>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace plat {
namespace {

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

void SyncDirectory(const std::string& dir) {
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

} // namespace
} // namespace plat

BOOL MoveFileExW(LPCWSTR existingPath, LPCWSTR newPath, DWORD flags) {
    using namespace plat;
    if (!(flags & MOVEFILE_REPLACE_EXISTING)) {
        if (!MoveFileW(existingPath, newPath))
            return FALSE;
        MappedPath dst;
        if ((flags & MOVEFILE_WRITE_THROUGH) && MapDevicePath(newPath, &dst) == 0)
            SyncDirectory(dst.parent);
        return TRUE;
    }
    MappedPath src, dst;
    if (DWORD err = MapDevicePath(existingPath, &src))
        return Fail(err);
    if (DWORD err = MapDevicePath(newPath, &dst))
        return Fail(err);
    if (src.isRoot || dst.isRoot)
        return Fail(ERROR_ACCESS_DENIED);
    HostStat srcStat;
    if (int e = StatHost(src.host, &srcStat))
        return Fail(ErrorFromErrno(e, src));
    if (!dst.parentFound)
        return Fail(ERROR_PATH_NOT_FOUND);
    HostStat dstStat;
    if (StatHost(dst.host, &dstStat) == 0) {
        if (dst.host == src.host)
            return TRUE;
        // Windows refuses to replace directories and read-only files.
        if (srcStat.isDir || dstStat.isDir ||
            (ReadDosAttributes(dst.host, dstStat, dst.leaf) & FILE_ATTRIBUTE_READONLY))
            return Fail(ERROR_ACCESS_DENIED);
    } else if (srcStat.isDir) {
        return MoveFileW(existingPath, newPath);
    }
    if (rename(src.host.c_str(), dst.host.c_str()) != 0) {
        if (errno == EXDEV)
            return Fail(ERROR_NOT_SAME_DEVICE);
        return Fail(ErrorFromErrno(errno, dst));
    }
    if (flags & MOVEFILE_WRITE_THROUGH)
        SyncDirectory(dst.parent);
    return TRUE;
}

int _fileno(FILE* stream) {
    if (!stream) {
        errno = EINVAL;
        return -1;
    }
    return fileno(stream);
}

int _commit(int fd) {
    if (fd < 0) {
        errno = EBADF;
        return -1;
    }
    return fsync(fd);
}
