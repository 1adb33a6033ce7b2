// Memo body bytes put together field by field from the record tables, so that the readers
// are tested against the format and not against our own writer.
#pragma once

#include "fundo/GMemFile.h"
#include "inkra/FileVersion.h"
#include "inkra/GDObject.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace memotest {

struct Bytes {
    std::vector<BYTE> v;

    Bytes& U8(unsigned b) {
        v.push_back(static_cast<BYTE>(b));
        return *this;
    }
    Bytes& U16(unsigned x) { return U8(x & 0xFF).U8(x >> 8 & 0xFF); }
    Bytes& U32(std::uint32_t x) { return U16(x & 0xFFFF).U16(x >> 16); }
    Bytes& I32(std::int32_t x) { return U32(static_cast<std::uint32_t>(x)); }
    Bytes& F64(double d) {
        std::uint64_t bits;
        std::memcpy(&bits, &d, 8);
        for (int i = 0; i < 8; ++i)
            U8(static_cast<unsigned>(bits >> (8 * i)) & 0xFF);
        return *this;
    }
    Bytes& Str(const char16_t* s) {
        std::uint32_t n = 0;
        while (s[n])
            ++n;
        U32(n);
        for (std::uint32_t i = 0; i < n; ++i)
            U16(s[i]);
        return *this;
    }
    Bytes& Add(const Bytes& other) {
        v.insert(v.end(), other.v.begin(), other.v.end());
        return *this;
    }
    // A stored block: plain size, stored size equal to it, the bytes themselves.
    Bytes& Block(const Bytes& payload) {
        U32(static_cast<std::uint32_t>(payload.v.size()));
        U32(static_cast<std::uint32_t>(payload.v.size()));
        return Add(payload);
    }
    size_t size() const { return v.size(); }
};

// The 64-byte object header in the order of its table.
struct Header {
    unsigned kind = DO_STROKE;
    unsigned type = eDOPen;
    unsigned r = 0, g = 0, b = 0;
    std::int32_t width = FIXED_ONE;
    unsigned count = 0;
    unsigned alpha = 255;
    unsigned format = 0;
    std::int32_t bounds[4] = {0, 0, 0, 0};
    std::int32_t matrix[8] = {FIXED_ONE, 0, 0, FIXED_ONE, 0, 0, 0, 0};

    Bytes Encode() const {
        Bytes out;
        out.U8(kind).U8(type).U8(0).U8(0).U8(r).U8(g).U8(b).U8(0).I32(width).U16(count);
        out.U8(alpha).U8(format);
        for (std::int32_t x : bounds)
            out.I32(x);
        for (std::int32_t x : matrix)
            out.I32(x);
        return out;
    }
};

// A memory file over a copy of the bytes.
class Reader {
public:
    explicit Reader(const Bytes& b) : m_copy(b.v) {
        if (m_copy.empty())
            m_copy.push_back(0), m_size = 0;
        else
            m_size = static_cast<DWORD>(m_copy.size());
        file.Open(m_copy.data(), m_size);
    }
    GMemFile file;

private:
    std::vector<BYTE> m_copy;
    DWORD m_size = 0;
};

inline std::vector<BYTE> Contents(GMemFile& f) {
    const BYTE* p = f.GetBuffer();
    const LONG n = f.Size();
    return p && n > 0 ? std::vector<BYTE>(p, p + n) : std::vector<BYTE>();
}

inline GWPOINT Point(LONG x, LONG y, LONG width = FIXED_ONE, BYTE alpha = 255) {
    GWPOINT p{};
    p.x = x;
    p.y = y;
    p.width = width;
    p.alpha = alpha;
    return p;
}

} // namespace memotest
