// Host status and error translation shared by the file services.
#include "file_internal.h"

#include <platform/safefile.h>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    // The entry itself first: only a link needs a second look at what it points to, so a
    // folder listing costs one call per plain file.
    if (statx(AT_FDCWD, host.c_str(), AT_SYMLINK_NOFOLLOW, mask, &sx) != 0)
        return errno;
    const bool isLink = S_ISLNK(sx.stx_mode);
    bool dangling = false;
    if (isLink) {
        struct statx target;
        if (statx(AT_FDCWD, host.c_str(), 0, mask, &target) == 0)
            sx = target;
        else if (errno == ENOENT)
            dangling = true;
        else
            return errno;
    }
    HostStat r;
    r.isDir = S_ISDIR(sx.stx_mode);
    r.isFile = S_ISREG(sx.stx_mode);
    r.dangling = dangling;
    r.isLink = isLink;
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

int ReadHostFile(const std::string& hostPath, std::uint64_t limit,
                 std::vector<unsigned char>* out) {
    out->clear();
    // Not blocking, so a FIFO is seen for what it is instead of waiting for a writer.
    const int fd = open(hostPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno;
    struct stat st;
    int err = 0;
    if (fstat(fd, &st) != 0)
        err = errno;
    else if (!S_ISREG(st.st_mode))
        err = S_ISDIR(st.st_mode) ? EISDIR : kNotRegularFile;
    else if (std::uint64_t(st.st_size) > limit)
        err = EFBIG;
    if (!err) {
        out->reserve(size_t(st.st_size));
        unsigned char buf[65536];
        for (;;) {
            const ssize_t n = read(fd, buf, sizeof buf);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                err = n < 0 ? errno : 0;
                break;
            }
            // The file may have grown since it was measured.
            if (out->size() + size_t(n) > limit) {
                err = EFBIG;
                break;
            }
            out->insert(out->end(), buf, buf + n);
        }
    }
    close(fd);
    if (err)
        out->clear();
    return err;
}

std::string FileErrorText(int error) {
    if (error == kNotRegularFile)
        return "not a regular file";
    if (error == EFBIG)
        return "too large";
    return std::strerror(error);
}

} // namespace plat
