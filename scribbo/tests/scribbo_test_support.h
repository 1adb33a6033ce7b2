// Host-side helpers for the application's tests: files are built and read on the host, so
// the code under test is checked against bytes it did not write itself.
#pragma once

#include <windows.h>

#include "file_test_support.h"

#include <csignal>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>

namespace apptest {

using Bytes = std::vector<BYTE>;

inline Bytes ReadHost(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void WriteHost(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline bool HostExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// The names in a host folder, sorted: what a save left behind.
using filetest::HostNames;

inline void Put32(Bytes& b, DWORD v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(BYTE(v >> (8 * i)));
}

inline void PutText(Bytes& b, std::u16string_view text) {
    for (char16_t c : text) {
        b.push_back(BYTE(c));
        b.push_back(BYTE(c >> 8));
    }
}

inline Bytes Pattern(size_t n, unsigned seed) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) {
        seed = seed * 1103515245u + 12345u;
        b[i] = BYTE(seed >> 16);
    }
    return b;
}

// Makes every write past limit bytes fail as on a full disk, for the life of the object.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit) {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit lim = m_old;
        lim.rlim_cur = limit;
        m_ok = setrlimit(RLIMIT_FSIZE, &lim) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool Ok() const { return m_ok; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int);
    bool m_ok = false;
};

} // namespace apptest
