// Files written whole or not at all, and files read only when they are plain files. Every
// writer that replaces a file goes through SafeReplace: the new content goes to a fresh name
// beside the target (".NAME.~sv-XXXXXX", created exclusively, never through a link), reaches
// the disk, and is renamed over the target; the folder is synced after.
#pragma once

#include <platform/wintypes.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

class SafeReplace {
public:
    SafeReplace() = default;
    // An unfinished temporary file is removed.
    ~SafeReplace();
    SafeReplace(const SafeReplace&) = delete;
    SafeReplace& operator=(const SafeReplace&) = delete;

    // Starts a new version of the host file at path. Leftovers of earlier saves of that file
    // that were killed are removed first. The new file gets the old file's permissions, or
    // 0644 less the umask. Returns 0 or errno.
    int Open(const std::string& hostPath);
    // The same for a device path, refused as MoveFileExW refuses its target (the root, a
    // folder, a read-only file, a missing folder). FALSE with the error in GetLastError.
    BOOL OpenDevice(LPCWSTR devicePath);

    // 0 or errno.
    int Write(const void* data, size_t size);
    // A stream over the new content, owned here and flushed at Commit; null when it cannot
    // be made. Use it or Write, not both.
    FILE* Stream();
    // Flushes, syncs and puts the new file in place; with noReplace an existing target is
    // kept and EEXIST returned. 0 or errno; on failure the target is unchanged and the
    // temporary file gone.
    int Commit(bool noReplace = false);

    // The open temporary file, for writers that set more than its bytes; -1 when none.
    int Descriptor() const { return m_fd; }
    const std::string& TempPath() const { return m_temp; }

private:
    void Discard();

    std::string m_target;
    std::string m_temp;
    int m_fd = -1;
    FILE* m_stream = nullptr;
};

// The whole content at once. 0 or errno.
int ReplaceHostFile(const std::string& hostPath, const void* data, size_t size);

// Whether name is the temporary name of a save: ".NAME.~sv-XXXXXX", and with target given,
// one of target's.
bool IsSaveTempName(std::string_view name, std::string_view target = {});
// Removes the temporary files that killed saves left in one folder (host or device path):
// only names of that pattern that are regular files of this user and that no running save
// holds. Folder scans call this. Returns how many were removed, -1 when the folder cannot be
// read.
int RemoveSaveLeftovers(const std::string& hostDir);
int RemoveSaveLeftovers(LPCWSTR deviceFolder);

// Reads a whole host file, refusing anything but a regular file (a FIFO, device or folder)
// without waiting on it. 0 or errno; kNotRegularFile, or EFBIG past limit bytes.
inline constexpr int kNotRegularFile = 4096;
int ReadHostFile(const std::string& hostPath, std::uint64_t limit, std::vector<unsigned char>* out);
// A short text for an error of ReadHostFile or SafeReplace.
std::string FileErrorText(int error);

// Tests fix the random part of temporary names: called with the attempt number (from 0).
void SetSaveTempSuffixForTesting(std::function<std::string(int attempt)> suffix);

} // namespace plat
