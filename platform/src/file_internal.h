// Shared pieces of the file services: device path mapping with error codes, host status,
// DOS attributes and name folding.
#pragma once

#include <platform/winfile.h>

#include <cstdint>
#include <string>
#include <vector>
#include <string_view>

namespace plat {

// A device path resolved below the device root.
struct MappedPath {
    std::string host;         // the host path, existing components spelt as on disk
    std::string parent;       // host path of the directory holding the last component
    std::string leaf;         // the last component as found on disk, else as written
    std::string leafWritten;  // the last component as the caller wrote it
    bool isRoot = false;      // the path names the device root itself
    bool parentFound = false; // every component before the last is an existing directory
};

// Maps a device path. With patternLeaf the last component is a Find pattern: it may hold '*'
// and '?' and is not looked up. Returns 0, or the Win32 error to report.
DWORD MapDevicePath(LPCWSTR devicePath, MappedPath* out, bool patternLeaf = false);

// The host file mapped onto the device's storage card (device.h, MapHostFile) when the
// components name it; fills *out and returns true.
bool FindMappedHostFile(const std::vector<std::string>& names, MappedPath* out);

// The error for a mapped path that names nothing.
inline DWORD MissingError(const MappedPath& m) {
    return m.parentFound ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}
// The Win32 error for a failed host call on a mapped path.
DWORD ErrorFromErrno(int err, const MappedPath& m);
// The errno a C runtime call reports for a Win32 error.
int ErrnoFromError(DWORD error);

// What the file services need to know of a host file.
struct HostStat {
    bool isDir = false;
    bool isFile = false;    // a regular file (not a FIFO, device or socket)
    bool isLink = false;    // the path itself is a symbolic link
    bool dangling = false;  // a link whose target is missing: described by the link itself
    std::uint32_t mode = 0; // permission bits
    std::uint64_t size = 0;
    std::uint64_t inode = 0;
    std::uint64_t device = 0;
    std::int64_t accessSec = 0, writeSec = 0, createSec = 0;
    std::uint32_t accessNsec = 0, writeNsec = 0, createNsec = 0;
};
// Follows links; a dangling link is described by itself. Returns 0 or errno.
int StatHost(const std::string& host, HostStat* st);

// Case folding for name comparison: both sides are compared after folding each character.
char32_t FoldChar(char32_t c);
// Decodes UTF-8 and folds it; false for malformed UTF-8.
bool FoldUtf8(std::string_view name, std::u32string* folded);
// Encodes a device path component as UTF-8; false for unpaired surrogates.
bool Utf16ToHostName(std::u16string_view name, std::string* host);
// Whether a character may appear in a device file name ('*' and '?' only in patterns).
bool IsValidNameChar(char32_t c, bool pattern);
// Whether a host directory entry can be named by a device path.
bool IsDeviceExpressible(std::string_view hostName);

// DOS attributes of a host file as GetFileAttributesW reports them.
DWORD ReadDosAttributes(const std::string& host, const HostStat& st, std::string_view leaf);
// Stores the settable bits of attributes. Returns 0 or a Win32 error.
DWORD WriteDosAttributes(const std::string& host, const HostStat& st, std::string_view leaf,
                         DWORD attributes);
// Stores the attribute value on an open descriptor; true when the file system kept it.
bool WriteDosXattrFd(int fd, DWORD attributes);
// Settable attribute bits.
constexpr DWORD kSettableAttributes = 0x1 | 0x2 | 0x4 | 0x20 | 0x100;
// Lets tests act as if the file system refused extended attributes.
void SetXattrRefusedForTesting(bool refused);

} // namespace plat
