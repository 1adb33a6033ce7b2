// Helpers for the stream tests: zlib reached directly (not through fundo) and a switch that
// takes "GZLib.dll" away for one test.
#pragma once

#include "fundo/GZLib.h"

#include <platform/module.h>
#include <windows.h>

#include <vector>

namespace streamtest {

// Drops fundo's binding and makes the library absent until destroyed.
struct NoZlib {
    NoZlib() {
        ReleaseGZLib();
        plat::SetLibraryAvailable(u"GZLib.dll", false);
    }
    ~NoZlib() {
        plat::SetLibraryAvailable(u"GZLib.dll", true);
        ReleaseGZLib();
    }
    NoZlib(const NoZlib&) = delete;
    NoZlib& operator=(const NoZlib&) = delete;
};

inline void PutLe32(std::vector<BYTE>& out, DWORD v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<BYTE>(v >> (8 * i)));
}

// A zlib stream of data made by the system zlib itself.
inline std::vector<BYTE> Deflate(const std::vector<BYTE>& data) {
    HMODULE z = LoadLibraryW(u"GZLib.dll");
    std::vector<BYTE> out;
    if (!z)
        return out;
    auto compress2 = reinterpret_cast<GZCompress2Proc>(
        reinterpret_cast<void (*)()>(GetProcAddress(z, "compress2")));
    unsigned long n = data.size() + data.size() / 100 + 64;
    out.resize(n);
    if (!compress2 || compress2(out.data(), &n, data.data(), data.size(), -1) != 0)
        n = 0;
    out.resize(n);
    FreeLibrary(z);
    return out;
}

// A block: plain size, stored size, payload.
inline std::vector<BYTE> Block(DWORD plain, const std::vector<BYTE>& payload) {
    std::vector<BYTE> out;
    PutLe32(out, plain);
    PutLe32(out, static_cast<DWORD>(payload.size()));
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

inline std::vector<BYTE> RandomBytes(size_t n, unsigned seed) {
    std::vector<BYTE> out(n);
    for (BYTE& b : out) {
        seed = seed * 1103515245u + 12345u;
        b = static_cast<BYTE>(seed >> 16);
    }
    return out;
}

} // namespace streamtest
