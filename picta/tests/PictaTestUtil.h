// Byte builders and helpers shared by the codec tests.
#pragma once

#include <fundo/GMemFile.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using Bytes = std::vector<BYTE>;

inline void Put8(Bytes& b, int v) {
    b.push_back(static_cast<BYTE>(v));
}
inline void PutLe16(Bytes& b, int v) {
    b.push_back(static_cast<BYTE>(v));
    b.push_back(static_cast<BYTE>(v >> 8));
}
inline void PutLe32(Bytes& b, int64_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<BYTE>(v >> (8 * i)));
}
inline void PutText(Bytes& b, const char* s) {
    while (*s)
        b.push_back(static_cast<BYTE>(*s++));
}
inline void Append(Bytes& b, const Bytes& more) {
    b.insert(b.end(), more.begin(), more.end());
}

inline uint32_t Le32At(const Bytes& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
inline int Le16At(const Bytes& b, size_t at) {
    return b[at] | (b[at + 1] << 8);
}

// A read-only stream over a copy of the bytes.
struct MemStream {
    explicit MemStream(const Bytes& bytes)
        : data(bytes), file(data.empty() ? nullptr : data.data(), static_cast<DWORD>(data.size())) {
    }
    Bytes data;
    GMemFile file;
};

// The bytes a GMemFile holds.
inline Bytes Contents(GMemFile& file) {
    LONG n = file.Size();
    if (n <= 0)
        return {};
    return Bytes(file.GetBuffer(), file.GetBuffer() + n);
}

// Least-significant-bit-first code packing into GIF sub-blocks, each code with its own width.
inline Bytes PackCodes(const std::vector<std::pair<int, int>>& codes) {
    Bytes raw;
    uint32_t acc = 0;
    int bits = 0;
    for (auto [code, width] : codes) {
        acc |= static_cast<uint32_t>(code) << bits;
        bits += width;
        while (bits >= 8) {
            raw.push_back(static_cast<BYTE>(acc));
            acc >>= 8;
            bits -= 8;
        }
    }
    if (bits > 0)
        raw.push_back(static_cast<BYTE>(acc));
    Bytes out;
    for (size_t i = 0; i < raw.size(); i += 255) {
        size_t n = raw.size() - i < 255 ? raw.size() - i : 255;
        out.push_back(static_cast<BYTE>(n));
        out.insert(out.end(), raw.begin() + i, raw.begin() + i + n);
    }
    out.push_back(0);
    return out;
}

// Literal codes only, with a clear code often enough that the width never grows: what a decoder
// must read without building anything useful.
inline Bytes PlainCodes(int minCodeSize, const std::vector<int>& pixels) {
    int clear = 1 << minCodeSize;
    int width = minCodeSize + 1;
    std::vector<std::pair<int, int>> codes;
    codes.push_back({clear, width});
    int sinceClear = 0;
    for (int p : pixels) {
        if (sinceClear == clear - 2) {
            codes.push_back({clear, width});
            sinceClear = 0;
        }
        codes.push_back({p, width});
        ++sinceClear;
    }
    codes.push_back({clear + 1, width});
    return PackCodes(codes);
}

inline std::string TestData(const char* name) {
    return std::string(SCRIBBO_TEST_DATA) + "/" + name;
}

inline Bytes ReadHostFile(const std::string& path) {
    Bytes b;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return b;
    BYTE buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        b.insert(b.end(), buf, buf + n);
    std::fclose(f);
    return b;
}

inline bool WriteHostFile(const std::string& path, const Bytes& b) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = b.empty() || std::fwrite(b.data(), 1, b.size(), f) == b.size();
    return std::fclose(f) == 0 && ok;
}
