// Directories, delete, move and copy.
#include "file_internal.h"

#include <platform/safefile.h>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {
namespace {

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

bool Exists(const std::string& host) {
    struct stat st;
    return lstat(host.c_str(), &st) == 0;
}

// 0 or errno; never replaces an existing target.
int RenameNoReplace(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // The file system cannot refuse for us (or the rename is impossible anyway).
    if (Exists(to))
        return EEXIST;
    return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() { Close(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    int Close() {
        const int r = m_fd >= 0 ? close(m_fd) : 0;
        m_fd = -1;
        return r;
    }

private:
    int m_fd;
};

bool CopyBytes(int in, int out) {
    char buf[64 * 1024];
    for (;;) {
        ssize_t n = read(in, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n == 0;
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = write(out, buf + done, size_t(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                return false;
            done += w;
        }
    }
}

// Content, attributes, write time and permissions of src into dst, replaced whole.
DWORD CopyHostFile(const MappedPath& src, const HostStat& st, DWORD attributes,
                   const MappedPath& dst, bool failIfExists) {
    Fd in(open(src.host.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (in.get() < 0)
        return ErrorFromErrno(errno, src);
    struct stat opened;
    if (fstat(in.get(), &opened) != 0 || !S_ISREG(opened.st_mode))
        return ERROR_ACCESS_DENIED;
    SafeReplace out;
    if (const int err = out.Open(dst.host))
        return ErrorFromErrno(err, dst);
    const int fd = out.Descriptor();
    if (!CopyBytes(in.get(), fd))
        return ErrorFromErrno(errno ? errno : EIO, dst);
    // Without extended attributes the copy falls back like any other file.
    WriteDosXattrFd(fd, attributes);
    const timespec times[2] = {{st.accessSec, long(st.accessNsec)},
                               {st.writeSec, long(st.writeNsec)}};
    futimens(fd, times);
    mode_t mode = st.mode & 0777;
    if (attributes & FILE_ATTRIBUTE_READONLY)
        mode &= ~0222u;
    if (fchmod(fd, mode) != 0)
        return ErrorFromErrno(errno, dst);
    const int err = out.Commit(failIfExists);
    if (err == EEXIST)
        return ERROR_FILE_EXISTS;
    return err ? ErrorFromErrno(err, dst) : 0;
}

} // namespace
} // namespace plat

using plat::HostStat;
using plat::MappedPath;

BOOL CreateDirectoryW(LPCWSTR path, LPSECURITY_ATTRIBUTES) {
    MappedPath m;
    if (DWORD err = plat::MapDevicePath(path, &m))
        return plat::Fail(err);
    if (m.isRoot || plat::Exists(m.host))
        return plat::Fail(ERROR_ALREADY_EXISTS);
    if (!m.parentFound)
        return plat::Fail(ERROR_PATH_NOT_FOUND);
    if (mkdir(m.host.c_str(), 0777) != 0)
        return plat::Fail(plat::ErrorFromErrno(errno, m));
    return TRUE;
}

BOOL RemoveDirectoryW(LPCWSTR path) {
    MappedPath m;
    if (DWORD err = plat::MapDevicePath(path, &m))
        return plat::Fail(err);
    if (m.isRoot)
        return plat::Fail(ERROR_ACCESS_DENIED);
    HostStat st;
    if (int e = plat::StatHost(m.host, &st))
        return plat::Fail(plat::ErrorFromErrno(e, m));
    if (!st.isDir)
        return plat::Fail(ERROR_DIRECTORY);
    if (plat::ReadDosAttributes(m.host, st, m.leaf) & FILE_ATTRIBUTE_READONLY)
        return plat::Fail(ERROR_ACCESS_DENIED);
    // A link to a directory goes, its target stays.
    const int r = st.isLink ? unlink(m.host.c_str()) : rmdir(m.host.c_str());
    if (r != 0)
        return plat::Fail(errno == EEXIST ? ERROR_DIR_NOT_EMPTY : plat::ErrorFromErrno(errno, m));
    return TRUE;
}

BOOL DeleteFileW(LPCWSTR path) {
    MappedPath m;
    if (DWORD err = plat::MapDevicePath(path, &m))
        return plat::Fail(err);
    HostStat st;
    if (int e = plat::StatHost(m.host, &st))
        return plat::Fail(plat::ErrorFromErrno(e, m));
    if (st.isDir || m.isRoot)
        return plat::Fail(ERROR_ACCESS_DENIED);
    if (plat::ReadDosAttributes(m.host, st, m.leaf) & FILE_ATTRIBUTE_READONLY)
        return plat::Fail(ERROR_ACCESS_DENIED);
    if (unlink(m.host.c_str()) != 0)
        return plat::Fail(plat::ErrorFromErrno(errno, m));
    return TRUE;
}

BOOL MoveFileW(LPCWSTR existingPath, LPCWSTR newPath) {
    MappedPath src, dst;
    if (DWORD err = plat::MapDevicePath(existingPath, &src))
        return plat::Fail(err);
    if (DWORD err = plat::MapDevicePath(newPath, &dst))
        return plat::Fail(err);
    HostStat st;
    if (int e = plat::StatHost(src.host, &st))
        return plat::Fail(plat::ErrorFromErrno(e, src));
    if (src.isRoot || dst.isRoot)
        return plat::Fail(ERROR_ACCESS_DENIED);
    std::string target = dst.host;
    if (dst.host == src.host) {
        if (dst.leafWritten == dst.leaf)
            return TRUE;
        target = dst.parent + "/" + dst.leafWritten; // a change of case only
    } else if (plat::Exists(dst.host)) {
        return plat::Fail(ERROR_ALREADY_EXISTS);
    } else if (!dst.parentFound) {
        return plat::Fail(ERROR_PATH_NOT_FOUND);
    }
    const int err = plat::RenameNoReplace(src.host, target);
    if (err == 0)
        return TRUE;
    if (err == EEXIST)
        return plat::Fail(ERROR_ALREADY_EXISTS);
    if (err == EINVAL) // a directory into itself
        return plat::Fail(ERROR_ACCESS_DENIED);
    if (err != EXDEV || st.isDir || st.dangling)
        return plat::Fail(plat::ErrorFromErrno(err, dst));
    // Another host file system: copy, then delete the original.
    const DWORD attributes = plat::ReadDosAttributes(src.host, st, src.leaf);
    if (DWORD e = plat::CopyHostFile(src, st, attributes, dst, true))
        return plat::Fail(e == ERROR_FILE_EXISTS ? ERROR_ALREADY_EXISTS : e);
    if (unlink(src.host.c_str()) != 0)
        return plat::Fail(plat::ErrorFromErrno(errno, src));
    return TRUE;
}

BOOL CopyFileW(LPCWSTR existingPath, LPCWSTR newPath, BOOL failIfExists) {
    MappedPath src, dst;
    if (DWORD err = plat::MapDevicePath(existingPath, &src))
        return plat::Fail(err);
    if (DWORD err = plat::MapDevicePath(newPath, &dst))
        return plat::Fail(err);
    HostStat st;
    if (int e = plat::StatHost(src.host, &st))
        return plat::Fail(plat::ErrorFromErrno(e, src));
    if (st.dangling)
        return plat::Fail(ERROR_FILE_NOT_FOUND);
    if (st.isDir || dst.isRoot)
        return plat::Fail(ERROR_ACCESS_DENIED);
    HostStat existing;
    if (plat::StatHost(dst.host, &existing) == 0) {
        if (failIfExists)
            return plat::Fail(ERROR_FILE_EXISTS);
        if (existing.inode == st.inode && existing.device == st.device)
            return plat::Fail(ERROR_SHARING_VIOLATION);
        const DWORD a = plat::ReadDosAttributes(dst.host, existing, dst.leaf);
        if (existing.isDir || (a & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN)))
            return plat::Fail(ERROR_ACCESS_DENIED);
    } else if (!dst.parentFound) {
        return plat::Fail(ERROR_PATH_NOT_FOUND);
    }
    const DWORD attributes = plat::ReadDosAttributes(src.host, st, src.leaf);
    if (DWORD e = plat::CopyHostFile(src, st, attributes, dst, failIfExists))
        return plat::Fail(e);
    return TRUE;
}
