// File attributes: kept in the user.DOSATTRIB extended attribute as text ("0x20"), the form
// Samba and Wine share, with READONLY mirrored into the permission bits of files.
#include "file_internal.h"

#include <platform/utf.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

#include <sys/stat.h>
#include <sys/xattr.h>

namespace plat {
namespace {

constexpr const char* kXattrName = "user.DOSATTRIB";
std::atomic<bool> g_xattrRefused{false};

// "0x" and up to eight hex digits, with or without a trailing NUL. Anything else (Samba's
// binary form among them) reads as no stored value.
bool ParseDosAttrib(const char* buf, ssize_t n, DWORD* value) {
    while (n > 0 && buf[n - 1] == '\0')
        --n;
    if (n < 3 || n > 10 || buf[0] != '0' || (buf[1] != 'x' && buf[1] != 'X'))
        return false;
    DWORD v = 0;
    for (ssize_t i = 2; i < n; ++i) {
        const int d = HexDigit(buf[i]);
        if (d < 0)
            return false;
        v = (v << 4) | DWORD(d);
    }
    *value = v;
    return true;
}

bool ReadDosXattr(const std::string& host, DWORD* value) {
    if (g_xattrRefused)
        return false;
    char buf[32];
    const ssize_t n = getxattr(host.c_str(), kXattrName, buf, sizeof buf);
    return n > 0 && ParseDosAttrib(buf, n, value);
}

int FormatDosAttrib(DWORD value, char (&buf)[16]) {
    return std::snprintf(buf, sizeof buf, "0x%x", static_cast<unsigned>(value));
}

// 0 or errno.
int WriteDosXattr(const std::string& host, DWORD value) {
    if (g_xattrRefused)
        return ENOTSUP;
    char buf[16];
    const int n = FormatDosAttrib(value, buf);
    return setxattr(host.c_str(), kXattrName, buf, size_t(n), 0) == 0 ? 0 : errno;
}

DWORD FallbackAttributes(const HostStat& st, std::string_view leaf) {
    DWORD a = st.isDir ? 0 : FILE_ATTRIBUTE_ARCHIVE;
    if (!leaf.empty() && leaf.front() == '.')
        a |= FILE_ATTRIBUTE_HIDDEN;
    return a;
}

// What GetFileAttributesW reports for a stored value.
DWORD Effective(DWORD stored, const HostStat& st) {
    DWORD a = stored & ~(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_NORMAL);
    if (!st.isDir && !st.dangling && !(st.mode & S_IWUSR))
        a |= FILE_ATTRIBUTE_READONLY;
    if (st.isDir)
        a |= FILE_ATTRIBUTE_DIRECTORY;
    else if (a == 0)
        a = FILE_ATTRIBUTE_NORMAL;
    return a;
}

DWORD Win32Error(int err) {
    MappedPath found;
    found.parentFound = true;
    return ErrorFromErrno(err, found);
}

} // namespace

void SetXattrRefusedForTesting(bool refused) {
    g_xattrRefused = refused;
}

DWORD ReadDosAttributes(const std::string& host, const HostStat& st, std::string_view leaf) {
    DWORD stored;
    if (st.dangling || !ReadDosXattr(host, &stored))
        stored = FallbackAttributes(st, leaf);
    return Effective(stored, st);
}

bool WriteDosXattrFd(int fd, DWORD attributes) {
    if (g_xattrRefused)
        return false;
    char buf[16];
    const int n = FormatDosAttrib(attributes & kSettableAttributes, buf);
    return fsetxattr(fd, kXattrName, buf, size_t(n), 0) == 0;
}

DWORD WriteDosAttributes(const std::string& host, const HostStat& st, std::string_view leaf,
                         DWORD attributes) {
    if (st.dangling)
        return ERROR_FILE_NOT_FOUND;
    const DWORD want = attributes & kSettableAttributes;
    const bool file = !st.isDir;
    const mode_t current = st.mode;
    mode_t final = current;
    if (file)
        final = (want & FILE_ATTRIBUTE_READONLY) ? (current & ~0222u) : (current | S_IWUSR);

    // Storing a user attribute needs write permission on the file, so a read-only file is
    // opened up for the moment it takes.
    const bool opened = file && !(current & S_IWUSR);
    if (opened)
        chmod(host.c_str(), current | S_IWUSR);
    const int xerr = WriteDosXattr(host, want | (st.isDir ? FILE_ATTRIBUTE_DIRECTORY : 0));
    if (xerr != 0 && xerr != ENOTSUP) {
        if (opened)
            chmod(host.c_str(), current);
        return Win32Error(xerr);
    }
    if ((opened || final != current) && chmod(host.c_str(), final) != 0)
        return Win32Error(errno);
    if (xerr == 0)
        return 0;

    // No extended attributes here: succeed only when the fallbacks already say what was asked.
    HostStat after = st;
    after.mode = final;
    return Effective(FallbackAttributes(after, leaf), after) == Effective(want, after)
               ? 0
               : ERROR_NOT_SUPPORTED;
}

} // namespace plat

using plat::MappedPath;

DWORD GetFileAttributesW(LPCWSTR path) {
    MappedPath m;
    if (DWORD err = plat::MapDevicePath(path, &m)) {
        SetLastError(err);
        return INVALID_FILE_ATTRIBUTES;
    }
    plat::HostStat st;
    if (int e = plat::StatHost(m.host, &st)) {
        SetLastError(plat::ErrorFromErrno(e, m));
        return INVALID_FILE_ATTRIBUTES;
    }
    return plat::ReadDosAttributes(m.host, st, m.leaf);
}

BOOL SetFileAttributesW(LPCWSTR path, DWORD attributes) {
    MappedPath m;
    if (DWORD err = plat::MapDevicePath(path, &m)) {
        SetLastError(err);
        return FALSE;
    }
    plat::HostStat st;
    if (int e = plat::StatHost(m.host, &st)) {
        SetLastError(plat::ErrorFromErrno(e, m));
        return FALSE;
    }
    if (DWORD err = plat::WriteDosAttributes(m.host, st, m.leaf, attributes)) {
        SetLastError(err);
        return FALSE;
    }
    return TRUE;
}
