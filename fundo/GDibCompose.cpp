// Row kernels of the bitmap-to-bitmap DrawDib. Every combination of source format, alpha
// and keying is its own instantiation, so the inner loops test nothing but the key.
#include "GDibCompose.h"

#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

namespace gdib {
namespace {

// ---- Source formats: Read gives a raw pixel, IsKey tests it, Color gives blue, green, red.

struct Src24 {
    const BYTE* row = nullptr;
    BYTE kb, kg, kr;
    explicit Src24(const ComposeJob& j) : kb(j.key.rgbBlue), kg(j.key.rgbGreen), kr(j.key.rgbRed) {}
    const BYTE* Read(int x) const { return row + static_cast<size_t>(x) * 3; }
    bool IsKey(const BYTE* p) const { return p[0] == kb && p[1] == kg && p[2] == kr; }
    void Color(const BYTE* p, BYTE* c) const {
        c[0] = p[0];
        c[1] = p[1];
        c[2] = p[2];
    }
};

struct Src32 : Src24 {
    explicit Src32(const ComposeJob& j) : Src24(j) {}
    const BYTE* Read(int x) const { return row + static_cast<size_t>(x) * 4; }
};

// 16-bit keys compare expanded fields with the key channel made (c & 0xF8) | 7, 0 below 8.
inline BYTE Key16(BYTE c) {
    return c < 8 ? 0 : static_cast<BYTE>((c & 0xF8) | 7);
}

struct Src16 {
    const BYTE* row = nullptr;
    BYTE kb, kg, kr;
    explicit Src16(const ComposeJob& j)
        : kb(Key16(j.key.rgbBlue)), kg(Key16(j.key.rgbGreen)), kr(Key16(j.key.rgbRed)) {}
    unsigned Read(int x) const {
        const BYTE* p = row + static_cast<size_t>(x) * 2;
        return p[0] | ((p[1] & 0x7F) << 8);
    }
    bool IsKey(unsigned w) const {
        return GDib::kExpand5[w & 31] == kb && GDib::kExpand5[(w >> 5) & 31] == kg &&
               GDib::kExpand5[w >> 10] == kr;
    }
    void Color(unsigned w, BYTE* c) const {
        c[0] = GDib::kExpand5[w & 31];
        c[1] = GDib::kExpand5[(w >> 5) & 31];
        c[2] = GDib::kExpand5[w >> 10];
    }
};

// Paletted sources key on the index of the first table entry equal to the key colour.
template <int Bits> struct SrcIndexed {
    const BYTE* row = nullptr;
    const RGBQUAD* palette;
    unsigned key;
    explicit SrcIndexed(const ComposeJob& j)
        : palette(j.palette), key(static_cast<unsigned>(j.keyIndex)) {}
    unsigned Read(int x) const {
        if constexpr (Bits == 8)
            return row[x];
        else if constexpr (Bits == 4)
            return (row[x >> 1] >> ((~x & 1) << 2)) & 15;
        else if constexpr (Bits == 2)
            return (row[x >> 2] >> (6 - 2 * (x & 3))) & 3;
        else
            return (row[x >> 3] >> (7 - (x & 7))) & 1;
    }
    bool IsKey(unsigned index) const { return index == key; }
    void Color(unsigned index, BYTE* c) const {
        const RGBQUAD& q = palette[index];
        c[0] = q.rgbBlue;
        c[1] = q.rgbGreen;
        c[2] = q.rgbRed;
    }
};

// ---- Writes: opaque copy, or the constant-alpha blend.

struct Copy {
    void operator()(BYTE* d, const BYTE* c) const {
        d[0] = c[0];
        d[1] = c[1];
        d[2] = c[2];
    }
};

struct Mix {
    unsigned a, ia;
    void operator()(BYTE* d, const BYTE* c) const {
        d[0] = static_cast<BYTE>((c[0] * a + d[0] * ia) >> 8);
        d[1] = static_cast<BYTE>((c[1] * a + d[1] * ia) >> 8);
        d[2] = static_cast<BYTE>((c[2] * a + d[2] * ia) >> 8);
    }
};

// Blend of n bytes, channel by channel; written so the compiler can vectorise it.
void MixBytes(BYTE* d, const BYTE* s, size_t n, unsigned a) {
    using U8 = std::uint8_t __attribute__((vector_size(16)));
    using U16 = std::uint16_t __attribute__((vector_size(32)));
    const std::uint16_t ua = static_cast<std::uint16_t>(a);
    const std::uint16_t uia = static_cast<std::uint16_t>(255 - a);
    size_t k = 0;
    for (; k + 16 <= n; k += 16) {
        U8 sv, dv;
        std::memcpy(&sv, s + k, 16);
        std::memcpy(&dv, d + k, 16);
        U16 r =
            (__builtin_convertvector(sv, U16) * ua + __builtin_convertvector(dv, U16) * uia) >> 8;
        U8 out = __builtin_convertvector(r, U8);
        std::memcpy(d + k, &out, 16);
    }
    for (; k < n; ++k)
        d[k] = static_cast<BYTE>((s[k] * a + d[k] * (255 - a)) >> 8);
}

// Two rows blended with weights 256 - f and f, kept at 16 bits for the pass along the row.
void BlendRows(const BYTE* top, const BYTE* bottom, size_t n, unsigned f, std::uint16_t* out) {
    using U8 = std::uint8_t __attribute__((vector_size(16)));
    using U16 = std::uint16_t __attribute__((vector_size(32)));
    const std::uint16_t wf = static_cast<std::uint16_t>(f);
    const std::uint16_t wg = static_cast<std::uint16_t>(256 - f);
    size_t k = 0;
    for (; k + 16 <= n; k += 16) {
        U8 a, b;
        std::memcpy(&a, top + k, 16);
        std::memcpy(&b, bottom + k, 16);
        U16 r = __builtin_convertvector(a, U16) * wg + __builtin_convertvector(b, U16) * wf;
        std::memcpy(out + k, &r, 32);
    }
    for (; k < n; ++k)
        out[k] = static_cast<std::uint16_t>(top[k] * (256 - f) + bottom[k] * f);
}

// Keyed opaque copy of 24-bit pixels: runs of unkeyed pixels go through memcpy.
void CopyUnkeyed24(const BYTE* s, BYTE* d, int n, BYTE kb, BYTE kg, BYTE kr) {
    if (n <= 0)
        return;
    const std::uint32_t key = kb | (kg << 8) | (kr << 16);
    // Four-byte loads stay inside the run for every pixel but the last.
    auto keyed = [&](int i) {
        std::uint32_t v;
        std::memcpy(&v, s + static_cast<size_t>(i) * 3, 4);
        return (v & 0xFFFFFF) == key;
    };
    const int last = n - 1;
    int i = 0;
    while (i < last) {
        while (i < last && keyed(i))
            ++i;
        int start = i;
        while (i < last && !keyed(i))
            ++i;
        if (i > start)
            std::memcpy(d + static_cast<size_t>(start) * 3, s + static_cast<size_t>(start) * 3,
                        static_cast<size_t>(i - start) * 3);
    }
    const BYTE* p = s + static_cast<size_t>(last) * 3;
    if (!(p[0] == kb && p[1] == kg && p[2] == kr)) {
        BYTE* q = d + static_cast<size_t>(last) * 3;
        q[0] = p[0];
        q[1] = p[1];
        q[2] = p[2];
    }
}

struct Linear {
    int x0;
    int operator()(int i) const { return x0 + i; }
};

struct Table {
    const int* xs;
    int operator()(int i) const { return xs[i]; }
};

template <bool Keyed, class Src, class Map, class Op>
inline void Span(const Src& src, Map map, BYTE* d, int n, const Op& op) {
    for (int i = 0; i < n; ++i, d += 3) {
        auto p = src.Read(map(i));
        if constexpr (Keyed) {
            if (src.IsKey(p))
                continue;
        }
        BYTE c[3];
        src.Color(p, c);
        op(d, c);
    }
}

// A run of consecutive source pixels; 24-bit rows go through memcpy or the byte blend.
template <bool Keyed, class Src, class Op>
inline void LinearSpan(const Src& src, int x0, BYTE* d, int n, const Op& op) {
    if constexpr (!Keyed && std::is_same_v<Src, Src24> && std::is_same_v<Op, Copy>)
        std::memmove(d, src.Read(x0), static_cast<size_t>(n) * 3);
    else if constexpr (!Keyed && std::is_same_v<Src, Src24> && std::is_same_v<Op, Mix>)
        MixBytes(d, src.Read(x0), static_cast<size_t>(n) * 3, op.a);
    else if constexpr (Keyed && std::is_same_v<Src, Src24> && std::is_same_v<Op, Copy>)
        CopyUnkeyed24(src.Read(x0), d, n, src.kb, src.kg, src.kr);
    else
        Span<Keyed>(src, Linear{x0}, d, n, op);
}

// Per-thread tables and staging lines, grown as needed and kept between calls.
struct Workspace {
    std::vector<int> x0, x1, fx;
    std::vector<BYTE> line[2], mask[2];
    std::vector<std::uint16_t> column;
};

Workspace& Work() {
    thread_local Workspace w;
    return w;
}

class Rows {
public:
    explicit Rows(const ComposeJob& j) : m_j(j) {}
    const BYTE* Source(int r) const {
        return m_j.srcBits + static_cast<std::ptrdiff_t>(m_j.srcHeight - 1 - r) * m_j.srcStride;
    }
    BYTE* Target(int k) const {
        return m_j.dstBits +
               static_cast<std::ptrdiff_t>(m_j.dstHeight - 1 - (m_j.dy + k)) * m_j.dstStride +
               static_cast<std::ptrdiff_t>(m_j.dx) * 3;
    }

private:
    const ComposeJob& m_j;
};

// Smooth stretch sample position: measured between pixel centres, in 1/256 steps.
void Locate(int i, int sourceSize, int targetSize, int& p0, int& p1, int& f) {
    long long p = ((2LL * i + 1) * sourceSize * 65536) / (2LL * targetSize) - 32768;
    if (p < 0)
        p = 0;
    p0 = static_cast<int>(p >> 16);
    f = static_cast<int>((p >> 8) & 255);
    if (p0 >= sourceSize - 1) {
        p0 = sourceSize - 1;
        p1 = p0;
        f = 0;
    } else {
        p1 = p0 + 1;
    }
}

// Source rows of the smooth stretch as blue, green, red runs (with key flags when keyed);
// the two most recent rows are kept because consecutive target rows share them.
template <class Src, bool Keyed> class LineCache {
public:
    LineCache(const ComposeJob& j, Src& src, Workspace& w) : m_j(j), m_src(src), m_w(w) {
        for (int s = 0; s < 2; ++s) {
            m_tag[s] = -1;
            if constexpr (!std::is_same_v<Src, Src24>)
                w.line[s].resize(static_cast<size_t>(j.sw) * 3);
            if constexpr (Keyed)
                w.mask[s].resize(static_cast<size_t>(j.sw));
        }
    }
    // Slot holding source row r; the slot `keep` is not evicted.
    int Get(int r, int keep) {
        for (int s = 0; s < 2; ++s)
            if (m_tag[s] == r)
                return s;
        int s = keep == 0 ? 1 : keep == 1 ? 0 : (m_tag[0] < m_tag[1] ? 0 : 1);
        m_tag[s] = r;
        m_src.row = Rows(m_j).Source(r);
        if constexpr (std::is_same_v<Src, Src24>)
            m_direct[s] = m_src.Read(m_j.sx);
        else
            Span<false>(m_src, Linear{m_j.sx}, m_w.line[s].data(), m_j.sw, Copy{});
        if constexpr (Keyed) {
            BYTE* m = m_w.mask[s].data();
            for (int i = 0; i < m_j.sw; ++i)
                m[i] = m_src.IsKey(m_src.Read(m_j.sx + i));
        }
        return s;
    }
    const BYTE* Line(int s) const {
        if constexpr (std::is_same_v<Src, Src24>)
            return m_direct[s];
        else
            return m_w.line[s].data();
    }
    const BYTE* Mask(int s) const { return m_w.mask[s].data(); }

private:
    const ComposeJob& m_j;
    Src& m_src;
    Workspace& m_w;
    int m_tag[2];
    const BYTE* m_direct[2] = {nullptr, nullptr};
};

template <class Src, bool Keyed, class Op>
void Smooth(const ComposeJob& j, Src& src, const Op& op) {
    Workspace& w = Work();
    w.x0.resize(j.cw);
    w.x1.resize(j.cw);
    w.fx.resize(j.cw);
    for (int i = 0; i < j.cw; ++i) {
        int p0, p1, f;
        Locate(i, j.sw, j.dw, p0, p1, f);
        w.x0[i] = p0 * 3;
        w.x1[i] = p1 * 3;
        w.fx[i] = f;
    }
    if constexpr (!Keyed)
        w.column.resize(static_cast<size_t>(j.sw) * 3);
    LineCache<Src, Keyed> cache(j, src, w);
    Rows rows(j);
    const int* x0 = w.x0.data();
    const int* x1 = w.x1.data();
    const int* fx = w.fx.data();
    for (int k = 0; k < j.ch; ++k) {
        int y0, y1, fy;
        Locate(k, j.sh, j.dh, y0, y1, fy);
        int s0 = cache.Get(j.sy + y0, -1);
        int s1 = cache.Get(j.sy + y1, s0);
        const BYTE* top = cache.Line(s0);
        const BYTE* bottom = cache.Line(s1);
        BYTE* d = rows.Target(k);
        if constexpr (!Keyed) {
            // Separable: blend the two rows first, then along the row; no rounding between.
            std::uint16_t* v = w.column.data();
            BlendRows(top, bottom, static_cast<size_t>(j.sw) * 3, fy, v);
            for (int i = 0; i < j.cw; ++i, d += 3) {
                const std::uint16_t* a = v + x0[i];
                const std::uint16_t* b = v + x1[i];
                const unsigned f = fx[i], g = 256 - fx[i];
                BYTE c[3];
                c[0] = static_cast<BYTE>((a[0] * g + b[0] * f + 32768) >> 16);
                c[1] = static_cast<BYTE>((a[1] * g + b[1] * f + 32768) >> 16);
                c[2] = static_cast<BYTE>((a[2] * g + b[2] * f + 32768) >> 16);
                op(d, c);
            }
        } else {
            // A keyed neighbour stands in with the target's current colour.
            const BYTE* mt = cache.Mask(s0);
            const BYTE* mb = cache.Mask(s1);
            const unsigned gy = 256 - fy;
            for (int i = 0; i < j.cw; ++i, d += 3) {
                int i0 = x0[i] / 3, i1 = x1[i] / 3;
                bool k00 = mt[i0], k01 = mt[i1], k10 = mb[i0], k11 = mb[i1];
                if (k00 && k01 && k10 && k11)
                    continue;
                const unsigned f = fx[i], g = 256 - fx[i];
                BYTE c[3];
                for (int ch = 0; ch < 3; ++ch) {
                    unsigned p00 = k00 ? d[ch] : top[x0[i] + ch];
                    unsigned p01 = k01 ? d[ch] : top[x1[i] + ch];
                    unsigned p10 = k10 ? d[ch] : bottom[x0[i] + ch];
                    unsigned p11 = k11 ? d[ch] : bottom[x1[i] + ch];
                    unsigned t = p00 * g + p01 * f;
                    unsigned b = p10 * g + p11 * f;
                    c[ch] = static_cast<BYTE>((t * gy + b * fy + 32768) >> 16);
                }
                op(d, c);
            }
        }
    }
}

template <class Src, bool Keyed, class Op> void Run(const ComposeJob& j, Src src, const Op& op) {
    Rows rows(j);
    if (j.dw == j.sw && j.dh == j.sh) {
        for (int k = 0; k < j.ch; ++k) {
            src.row = rows.Source(j.sy + k);
            LinearSpan<Keyed>(src, j.sx, rows.Target(k), j.cw, op);
        }
        return;
    }
    if (j.mode == 1) {
        // Nearest pixel: target (i, k) shows source (sx + floor(i·sw/dw), sy + floor(k·sh/dh)).
        std::vector<int>& xs = Work().x0;
        xs.resize(j.cw);
        for (int i = 0; i < j.cw; ++i)
            xs[i] = j.sx + static_cast<int>(static_cast<long long>(i) * j.sw / j.dw);
        const BYTE* lastTarget = nullptr;
        int lastRow = -1;
        for (int k = 0; k < j.ch; ++k) {
            int r = j.sy + static_cast<int>(static_cast<long long>(k) * j.sh / j.dh);
            BYTE* d = rows.Target(k);
            if constexpr (!Keyed && std::is_same_v<Op, Copy>) {
                // An opaque copy of the same source row is the row already written.
                if (r == lastRow) {
                    std::memcpy(d, lastTarget, static_cast<size_t>(j.cw) * 3);
                    continue;
                }
            }
            src.row = rows.Source(r);
            Span<Keyed>(src, Table{xs.data()}, d, j.cw, op);
            lastRow = r;
            lastTarget = d;
        }
        return;
    }
    if (j.mode == 2) {
        Smooth<Src, Keyed>(j, src, op);
        return;
    }
    // Tile: the source rectangle repeats from the target's top-left corner.
    for (int k = 0; k < j.ch; ++k) {
        src.row = rows.Source(j.sy + k % j.sh);
        BYTE* d = rows.Target(k);
        for (int i = 0; i < j.cw; i += j.sw) {
            int n = j.cw - i < j.sw ? j.cw - i : j.sw;
            LinearSpan<Keyed>(src, j.sx, d + static_cast<size_t>(i) * 3, n, op);
        }
    }
}

template <class Src> void Dispatch(const ComposeJob& j, bool keyed) {
    Src src(j);
    if (j.alpha >= 255) {
        if (keyed)
            Run<Src, true>(j, src, Copy{});
        else
            Run<Src, false>(j, src, Copy{});
    } else {
        Mix mix{static_cast<unsigned>(j.alpha), static_cast<unsigned>(255 - j.alpha)};
        if (keyed)
            Run<Src, true>(j, src, mix);
        else
            Run<Src, false>(j, src, mix);
    }
}

} // namespace

void Compose(const ComposeJob& j) {
    // A paletted source whose key colour is in no table entry has nothing to skip.
    bool keyed = j.keyed && (j.srcBitCount > 8 || j.keyIndex >= 0);
    switch (j.srcBitCount) {
        case 1:
            Dispatch<SrcIndexed<1>>(j, keyed);
            break;
        case 2:
            Dispatch<SrcIndexed<2>>(j, keyed);
            break;
        case 4:
            Dispatch<SrcIndexed<4>>(j, keyed);
            break;
        case 8:
            Dispatch<SrcIndexed<8>>(j, keyed);
            break;
        case 16:
            Dispatch<Src16>(j, keyed);
            break;
        case 24:
            Dispatch<Src24>(j, keyed);
            break;
        case 32:
            Dispatch<Src32>(j, keyed);
            break;
        default:
            break;
    }
}

} // namespace gdib
