// Host-side helpers for the file tests: they build and inspect the device folder directly, so
// the calls under test are checked against the host rather than against themselves.
#pragma once

#include <platform/utf.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace filetest {

inline void WriteHost(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    ASSERT_TRUE(out.good()) << path;
}

inline std::string ReadHost(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline bool HostExists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

inline void MakeHostDir(const std::string& path) {
    ASSERT_EQ(mkdir(path.c_str(), 0777), 0) << path;
}

inline mode_t HostMode(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

// The stored user.DOSATTRIB text, or "" when there is none.
inline std::string DosAttrib(const std::string& path) {
    char buf[64];
    const ssize_t n = getxattr(path.c_str(), "user.DOSATTRIB", buf, sizeof buf);
    return n > 0 ? std::string(buf, size_t(n)) : std::string();
}

inline bool SetDosAttrib(const std::string& path, const std::string& value) {
    return setxattr(path.c_str(), "user.DOSATTRIB", value.data(), value.size(), 0) == 0;
}

// Whether the file system under dir keeps user extended attributes.
inline bool XattrSupported(const std::string& dir) {
    const std::string probe = dir + "/.xattr-probe";
    WriteHost(probe, "");
    const bool ok = setxattr(probe.c_str(), "user.probe", "1", 1, 0) == 0;
    unlink(probe.c_str());
    return ok;
}

// Every name a search reports, in order; empty when FindFirstFileW fails.
inline std::vector<std::string> FindNames(const std::u16string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(pattern.c_str(), &data);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(plat::ToUtf8(data.cFileName));
    while (FindNextFileW(h, &data));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_MORE_FILES));
    EXPECT_TRUE(FindClose(h));
    return names;
}

inline std::vector<std::string> HostNames(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (const dirent* e = readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                names.push_back(e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace filetest
