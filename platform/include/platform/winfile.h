// Files on the device: attributes, find-first/next, directories, delete, move, copy, and the C
// runtime's wide stream open. Every path is a device path ("\My Documents\x.pad"); see
// <platform/device.h> for how it maps to the host.
#pragma once

#include <platform/wintypes.h>

#include <cstdint>
#include <cstdio>

#define FILE_ATTRIBUTE_READONLY 0x00000001u
#define FILE_ATTRIBUTE_HIDDEN 0x00000002u
#define FILE_ATTRIBUTE_SYSTEM 0x00000004u
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010u
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u
#define FILE_ATTRIBUTE_TEMPORARY 0x00000100u
#define INVALID_FILE_ATTRIBUTES 0xFFFFFFFFu

#ifndef ERROR_NOT_SAME_DEVICE
#define ERROR_NOT_SAME_DEVICE 17L
#endif

// Attributes live in the user.DOSATTRIB extended attribute ("0x20"). Without one a file reads
// as ARCHIVE, a name starting with "." as HIDDEN, and a file without the owner's write
// permission as READONLY. READONLY is mirrored into the write permission bits of files, and
// write opens, deletes and copies onto read-only files are refused here whatever the host user.
DWORD GetFileAttributesW(LPCWSTR path);
// Sets READONLY, HIDDEN, SYSTEM, ARCHIVE and TEMPORARY (other bits are ignored; NORMAL alone
// clears them all). On a file system that refuses extended attributes READONLY is still
// applied through the permission bits, and the call fails with ERROR_NOT_SUPPORTED when the
// rest of the request cannot be represented.
BOOL SetFileAttributesW(LPCWSTR path, DWORD attributes);

// Patterns: "*" and "*.*" match every name, "*.ext" the extension (case-insensitively), "?" one
// character, and a trailing ".*" also matches the name without an extension. "." and ".." are
// never reported. Entries are reported sorted by name; names the device cannot express (not
// UTF-8, or holding characters invalid in device file names) are left out.
HANDLE FindFirstFileW(LPCWSTR pattern, LPWIN32_FIND_DATAW data);
BOOL FindNextFileW(HANDLE find, LPWIN32_FIND_DATAW data);
BOOL FindClose(HANDLE find);

BOOL CreateDirectoryW(LPCWSTR path, LPSECURITY_ATTRIBUTES security);
// Only empty directories that are not read-only; the device root is never removed.
BOOL RemoveDirectoryW(LPCWSTR path);
// Refuses directories and read-only files with ERROR_ACCESS_DENIED.
BOOL DeleteFileW(LPCWSTR path);
// Files and directories; fails with ERROR_ALREADY_EXISTS when the target exists, except for a
// change of case only. Attributes travel with the file. A file moved to another host file
// system is copied and deleted; a directory cannot be (ERROR_NOT_SAME_DEVICE).
BOOL MoveFileW(LPCWSTR existingPath, LPCWSTR newPath);
// Copies content, attributes and write time through a temporary file renamed into place, so an
// existing target is replaced whole or not at all. An existing target that is read-only or
// hidden is refused (ERROR_ACCESS_DENIED); failIfExists gives ERROR_FILE_EXISTS.
BOOL CopyFileW(LPCWSTR existingPath, LPCWSTR newPath, BOOL failIfExists);

#define MOVEFILE_REPLACE_EXISTING 0x1u
#define MOVEFILE_COPY_ALLOWED 0x2u
#define MOVEFILE_WRITE_THROUGH 0x8u
// MoveFileW, and with MOVEFILE_REPLACE_EXISTING a file renamed over an existing file in one
// step: readers see the old file or the new one, never a mix. A read-only target or a
// directory is refused (ERROR_ACCESS_DENIED). Replacing works within one host file system
// only; MOVEFILE_COPY_ALLOWED is accepted and not needed. MOVEFILE_WRITE_THROUGH returns
// once the rename is on disk.
BOOL MoveFileExW(LPCWSTR existingPath, LPCWSTR newPath, DWORD flags);

// The C runtime's wide functions. Modes are "r", "w", "a" with optional "+", and "b" or "t";
// text mode reads and writes the bytes unchanged, as binary does. Anything else fails with
// errno EINVAL. Only regular files open: a directory, FIFO or device fails at once, without
// waiting on it (EACCES); write modes on read-only files fail (EACCES).
// The rest of stdio (fread, fwrite, fseek, fclose, ...) is the host's, over the FILE*.
FILE* _wfopen(const WCHAR* path, const WCHAR* mode);
int _wremove(const WCHAR* path);
int _wrename(const WCHAR* oldPath, const WCHAR* newPath);
int _wmkdir(const WCHAR* path);
int _wrmdir(const WCHAR* path);
// The descriptor of a stream, and _commit: everything written to it so far is on disk when
// it returns 0 (-1 and errno otherwise). Flush the stream first.
int _fileno(FILE* stream);
int _commit(int fd);

namespace plat {

// FILETIME counts 100-nanosecond ticks since 1601-01-01 UTC.
ULONGLONG FileTimeToTicks(const FILETIME& time);
FILETIME FileTimeFromTicks(ULONGLONG ticks);
// Unix time to FILETIME; times before 1601 give 0.
FILETIME FileTimeFromUnix(std::int64_t seconds, std::uint32_t nanoseconds = 0);
// FILETIME to Unix seconds (rounded down), with the remaining nanoseconds when asked.
std::int64_t UnixFromFileTime(const FILETIME& time, std::uint32_t* nanoseconds = nullptr);

} // namespace plat
