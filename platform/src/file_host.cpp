// Host status and error translation shared by the file services.
#include "file_internal.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>

namespace plat {

DWORD ErrorFromErrno(int err, const MappedPath& m) {
    switch (err) {
        case 0:
            return ERROR_SUCCESS;
        case ENOENT:
            return MissingError(m);
        case ENOTDIR:
        case ELOOP:
            return ERROR_PATH_NOT_FOUND;
        case EEXIST:
            return ERROR_ALREADY_EXISTS;
        case ENOTEMPTY:
            return ERROR_DIR_NOT_EMPTY;
        case ENOSPC:
        case EDQUOT:
            return ERROR_DISK_FULL;
        case EMFILE:
        case ENFILE:
            return ERROR_TOO_MANY_OPEN_FILES;
        case ENOMEM:
            return ERROR_NOT_ENOUGH_MEMORY;
        case ENAMETOOLONG:
            return ERROR_INVALID_NAME;
        case EXDEV:
            return ERROR_NOT_SAME_DEVICE;
        case EBUSY:
        case ETXTBSY:
            return ERROR_SHARING_VIOLATION;
        case ENOTSUP:
            return ERROR_NOT_SUPPORTED;
        case EIO:
            return ERROR_WRITE_FAULT;
        default:
            return ERROR_ACCESS_DENIED;
    }
}

int ErrnoFromError(DWORD error) {
    switch (error) {
        case ERROR_SUCCESS:
            return 0;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return ENOENT;
        case ERROR_ALREADY_EXISTS:
        case ERROR_FILE_EXISTS:
            return EEXIST;
        case ERROR_DIR_NOT_EMPTY:
            return ENOTEMPTY;
        case ERROR_DIRECTORY:
            return ENOTDIR;
        case ERROR_INVALID_NAME:
        case ERROR_INVALID_PARAMETER:
            return EINVAL;
        case ERROR_DISK_FULL:
            return ENOSPC;
        case ERROR_TOO_MANY_OPEN_FILES:
            return EMFILE;
        case ERROR_NOT_ENOUGH_MEMORY:
            return ENOMEM;
        case ERROR_NOT_SAME_DEVICE:
            return EXDEV;
        default:
            return EACCES;
    }
}

int StatHost(const std::string& host, HostStat* st) {
    struct statx sx;
    const unsigned mask = STATX_BASIC_STATS | STATX_BTIME;
    bool dangling = false;
    if (statx(AT_FDCWD, host.c_str(), 0, mask, &sx) != 0) {
        if (errno != ENOENT)
            return errno;
        if (statx(AT_FDCWD, host.c_str(), AT_SYMLINK_NOFOLLOW, mask, &sx) != 0)
            return errno;
        dangling = true;
    }
    HostStat r;
    r.isDir = S_ISDIR(sx.stx_mode);
    r.dangling = dangling;
    r.isLink = dangling;
    if (!dangling) {
        struct stat ls;
        r.isLink = lstat(host.c_str(), &ls) == 0 && S_ISLNK(ls.st_mode);
    }
    r.mode = sx.stx_mode & 07777;
    r.size = r.isDir || dangling ? 0 : sx.stx_size;
    r.inode = sx.stx_ino;
    r.device = (std::uint64_t(sx.stx_dev_major) << 32) | sx.stx_dev_minor;
    r.accessSec = sx.stx_atime.tv_sec;
    r.accessNsec = sx.stx_atime.tv_nsec;
    r.writeSec = sx.stx_mtime.tv_sec;
    r.writeNsec = sx.stx_mtime.tv_nsec;
    // Not every file system records a birth time; the write time stands in for it.
    if (sx.stx_mask & STATX_BTIME) {
        r.createSec = sx.stx_btime.tv_sec;
        r.createNsec = sx.stx_btime.tv_nsec;
    } else {
        r.createSec = r.writeSec;
        r.createNsec = r.writeNsec;
    }
    *st = r;
    return 0;
}

} // namespace plat
