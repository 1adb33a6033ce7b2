// SafeReplace: the one way a file is replaced. The temporary name is fresh for every save and
// created exclusively, so a link planted beside the target is never written through and two
// saves of one file never share a name. A save holds a lock on its temporary file until the
// rename, so the leftover of a killed save (unlocked) is told from a save still running.
#include "file_internal.h"

#include <platform/safefile.h>
#include <platform/winbase.h>

#include <cerrno>
#include <cstring>
#include <mutex>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace plat {
namespace {

constexpr std::string_view kTempMark = ".~sv-";
constexpr size_t kSuffixChars = 6;
// "." + name + mark + suffix must fit in a host name of 255 bytes.
constexpr size_t kMaxNameInTemp = 255 - 1 - kTempMark.size() - kSuffixChars;
constexpr int kAttempts = 100;
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

std::mutex g_suffixLock;
std::function<std::string(int)> g_suffixForTesting;

bool IsSuffixChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

std::string RandomSuffix(int attempt) {
    {
        std::lock_guard<std::mutex> lock(g_suffixLock);
        if (g_suffixForTesting)
            return g_suffixForTesting(attempt);
    }
    unsigned char bytes[kSuffixChars];
    if (getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != ssize_t(sizeof bytes)) {
        // Without the kernel's randomness the clock still differs between attempts.
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        unsigned long long v = (unsigned long long)now.tv_nsec * 6364136223846793005ull +
                               (unsigned long long)getpid() * 1442695040888963407ull + attempt;
        for (unsigned char& b : bytes) {
            v = v * 6364136223846793005ull + 1442695040888963407ull;
            b = static_cast<unsigned char>(v >> 56);
        }
    }
    std::string s(kSuffixChars, 'A');
    for (size_t i = 0; i < kSuffixChars; ++i)
        s[i] = kAlphabet[bytes[i] % (sizeof kAlphabet - 1)];
    return s;
}

std::string_view NameInTemp(std::string_view target) {
    return target.substr(0, kMaxNameInTemp);
}

void SplitPath(const std::string& path, std::string* dir, std::string* leaf) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        *dir = ".";
        *leaf = path;
    } else {
        *dir = slash == 0 ? "/" : path.substr(0, slash);
        *leaf = path.substr(slash + 1);
    }
}

void SyncDirectory(const std::string& dir) {
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

int RenameNoReplace(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system without the flag: a hard link fails on an existing name too.
    if (link(from.c_str(), to.c_str()) != 0)
        return errno;
    unlink(from.c_str());
    return 0;
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_ino == b.st_ino && a.st_dev == b.st_dev;
}

// Removes one leftover when it is ours and no save holds it.
bool RemoveIfDead(int dirFd, const char* name) {
    const int fd = openat(dirFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat opened, now;
    bool removed = false;
    // A file with other names, or another user's, was not made by a save.
    if (fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && opened.st_nlink == 1 &&
        opened.st_uid == geteuid() && flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        fstatat(dirFd, name, &now, AT_SYMLINK_NOFOLLOW) == 0 && SameFile(opened, now))
        removed = unlinkat(dirFd, name, 0) == 0;
    close(fd);
    return removed;
}

int RemoveLeftovers(const std::string& dir, std::string_view target) {
    DIR* d = opendir(dir.c_str());
    if (!d)
        return -1;
    int removed = 0;
    while (const dirent* e = readdir(d))
        if (IsSaveTempName(e->d_name, target) && RemoveIfDead(dirfd(d), e->d_name))
            ++removed;
    closedir(d);
    return removed;
}

} // namespace

bool IsSaveTempName(std::string_view name, std::string_view target) {
    const size_t fixed = 1 + kTempMark.size() + kSuffixChars;
    if (name.size() <= fixed || name[0] != '.')
        return false;
    const std::string_view tail = name.substr(name.size() - kSuffixChars - kTempMark.size());
    if (tail.substr(0, kTempMark.size()) != kTempMark)
        return false;
    for (char c : tail.substr(kTempMark.size()))
        if (!IsSuffixChar(c))
            return false;
    const std::string_view middle = name.substr(1, name.size() - fixed);
    return target.empty() || middle == NameInTemp(target);
}

int RemoveSaveLeftovers(const std::string& hostDir) {
    return RemoveLeftovers(hostDir, {});
}

int RemoveSaveLeftovers(LPCWSTR deviceFolder) {
    MappedPath m;
    HostStat st;
    if (MapDevicePath(deviceFolder, &m) != 0 || StatHost(m.host, &st) != 0 || !st.isDir)
        return -1;
    return RemoveLeftovers(m.host, {});
}

void SetSaveTempSuffixForTesting(std::function<std::string(int)> suffix) {
    std::lock_guard<std::mutex> lock(g_suffixLock);
    g_suffixForTesting = std::move(suffix);
}

SafeReplace::~SafeReplace() {
    Discard();
}

void SafeReplace::Discard() {
    if (m_stream)
        fclose(m_stream);
    m_stream = nullptr;
    // Removed while still locked, so no scan takes it for a leftover in between.
    if (!m_temp.empty())
        unlink(m_temp.c_str());
    m_temp.clear();
    if (m_fd >= 0)
        close(m_fd);
    m_fd = -1;
}

int SafeReplace::Open(const std::string& hostPath) {
    Discard();
    std::string dir, leaf;
    SplitPath(hostPath, &dir, &leaf);
    if (leaf.empty() || leaf == "." || leaf == "..")
        return EINVAL;
    struct stat target;
    bool keepMode = false;
    if (lstat(hostPath.c_str(), &target) == 0) {
        if (S_ISDIR(target.st_mode))
            return EISDIR;
        keepMode = S_ISREG(target.st_mode);
    }
    RemoveLeftovers(dir, leaf);
    // Beside the target, in the same spelling of its folder.
    const std::string prefix = hostPath.substr(0, hostPath.size() - leaf.size()) + "." +
                               std::string(NameInTemp(leaf)) + std::string(kTempMark);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const std::string temp = prefix + RandomSuffix(attempt);
        const int fd =
            open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return errno;
        }
        // A scan that opened the file before the lock was taken may remove it: then the
        // name no longer leads to this file, and another name is tried.
        struct stat opened, now;
        const bool locked = flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
        if (!locked || fstat(fd, &opened) != 0 || lstat(temp.c_str(), &now) != 0 ||
            !SameFile(opened, now)) {
            close(fd);
            continue;
        }
        if (keepMode && fchmod(fd, target.st_mode & 07777) != 0) {
            const int err = errno;
            unlink(temp.c_str());
            close(fd);
            return err;
        }
        m_fd = fd;
        m_temp = temp;
        m_target = hostPath;
        return 0;
    }
    return EEXIST;
}

BOOL SafeReplace::OpenDevice(LPCWSTR devicePath) {
    Discard();
    MappedPath m;
    if (DWORD err = MapDevicePath(devicePath, &m)) {
        SetLastError(err);
        return FALSE;
    }
    DWORD err = 0;
    HostStat st;
    if (m.isRoot)
        err = ERROR_ACCESS_DENIED;
    else if (!m.parentFound)
        err = ERROR_PATH_NOT_FOUND;
    else if (StatHost(m.host, &st) == 0 && !st.dangling &&
             (st.isDir || (ReadDosAttributes(m.host, st, m.leaf) & FILE_ATTRIBUTE_READONLY)))
        err = ERROR_ACCESS_DENIED;
    else if (const int e = Open(m.host))
        err = ErrorFromErrno(e, m);
    if (err) {
        SetLastError(err);
        return FALSE;
    }
    return TRUE;
}

int SafeReplace::Write(const void* data, size_t size) {
    if (m_fd < 0)
        return EBADF;
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = write(m_fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return ENOSPC;
        p += n;
        size -= size_t(n);
    }
    return 0;
}

FILE* SafeReplace::Stream() {
    if (m_stream || m_fd < 0)
        return m_stream;
    // A second descriptor of the same open file: closing the stream keeps the lock.
    const int dup = fcntl(m_fd, F_DUPFD_CLOEXEC, 0);
    if (dup < 0)
        return nullptr;
    m_stream = fdopen(dup, "wb");
    if (!m_stream)
        close(dup);
    return m_stream;
}

int SafeReplace::Commit(bool noReplace) {
    if (m_fd < 0)
        return EBADF;
    int err = 0;
    if (m_stream) {
        errno = 0;
        if (fflush(m_stream) != 0 || ferror(m_stream))
            err = errno ? errno : EIO;
        if (fclose(m_stream) != 0 && !err)
            err = errno ? errno : EIO;
        m_stream = nullptr;
    }
    // Every byte is on disk before the name moves; a full disk shows here at the latest.
    if (!err && fsync(m_fd) != 0)
        err = errno;
    if (!err)
        err = noReplace ? RenameNoReplace(m_temp, m_target)
                        : (rename(m_temp.c_str(), m_target.c_str()) == 0 ? 0 : errno);
    if (err) {
        Discard();
        return err;
    }
    m_temp.clear();
    close(m_fd);
    m_fd = -1;
    std::string dir, leaf;
    SplitPath(m_target, &dir, &leaf);
    SyncDirectory(dir);
    return 0;
}

int ReplaceHostFile(const std::string& hostPath, const void* data, size_t size) {
    SafeReplace r;
    if (const int err = r.Open(hostPath))
        return err;
    if (const int err = r.Write(data, size))
        return err;
    return r.Commit();
}

} // namespace plat
