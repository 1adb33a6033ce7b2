#include "gdi_raster.h"

#include <algorithm>
#include <cstring>

namespace plat {

BYTE Rop2ToRop3(int rop2) {
    if (rop2 < R2_BLACK || rop2 > R2_WHITE)
        rop2 = R2_COPYPEN;
    int table = rop2 - 1; // bit (pen * 2 + dest) of table is the result
    BYTE code = 0;
    for (int i = 0; i < 8; ++i) {
        int p = (i >> 2) & 1, d = i & 1;
        if ((table >> (p * 2 + d)) & 1)
            code = static_cast<BYTE>(code | (1 << i));
    }
    return code;
}

namespace {

// Bit i of the code (i = pattern << 2 | source << 1 | dest) is the result for that input.
inline BYTE Generic(BYTE code, BYTE d, BYTE s, BYTE p) {
    BYTE out = 0;
    for (int i = 0; i < 8; ++i) {
        if (!((code >> i) & 1))
            continue;
        BYTE m = static_cast<BYTE>(((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d));
        out = static_cast<BYTE>(out | m);
    }
    return out;
}

template <class Op>
inline void Run(BYTE* d, const BYTE* s, const BYTE* p, size_t b0, size_t b1, BYTE m0, BYTE m1,
                Op op) {
    if (b1 - b0 == 1) {
        BYTE m = static_cast<BYTE>(m0 & m1);
        d[b0] = static_cast<BYTE>((d[b0] & ~m) | (op(d[b0], s[b0], p[b0]) & m));
        return;
    }
    size_t i = b0;
    if (m0 != 0xFF) {
        d[i] = static_cast<BYTE>((d[i] & ~m0) | (op(d[i], s[i], p[i]) & m0));
        ++i;
    }
    size_t end = m1 != 0xFF ? b1 - 1 : b1;
    for (; i < end; ++i)
        d[i] = static_cast<BYTE>(op(d[i], s[i], p[i]));
    if (m1 != 0xFF)
        d[end] = static_cast<BYTE>((d[end] & ~m1) | (op(d[end], s[end], p[end]) & m1));
}

} // namespace

void RopRow(BYTE code, int bpp, BYTE* d, const BYTE* s, const BYTE* p, int x0, int x1) {
    if (x0 >= x1)
        return;
    size_t bit0 = static_cast<size_t>(x0) * bpp, bit1 = static_cast<size_t>(x1) * bpp;
    size_t b0 = bit0 >> 3, b1 = (bit1 + 7) >> 3;
    BYTE m0 = static_cast<BYTE>(0xFF >> (bit0 & 7));
    BYTE m1 = (bit1 & 7) ? static_cast<BYTE>(0xFF << (8 - (bit1 & 7))) : BYTE{0xFF};
    switch (code) {
        case 0xCC:
            if (m0 == 0xFF && m1 == 0xFF) {
                std::memmove(d + b0, s + b0, b1 - b0);
                return;
            }
            Run(d, s, p, b0, b1, m0, m1, [](BYTE, BYTE sv, BYTE) { return sv; });
            return;
        case 0xF0:
            Run(d, s, p, b0, b1, m0, m1, [](BYTE, BYTE, BYTE pv) { return pv; });
            return;
        case 0x66:
            Run(d, s, p, b0, b1, m0, m1, [](BYTE dv, BYTE sv, BYTE) { return dv ^ sv; });
            return;
        case 0x88:
            Run(d, s, p, b0, b1, m0, m1, [](BYTE dv, BYTE sv, BYTE) { return dv & sv; });
            return;
        case 0xEE:
            Run(d, s, p, b0, b1, m0, m1, [](BYTE dv, BYTE sv, BYTE) { return dv | sv; });
            return;
        case 0x55:
            Run(d, s, p, b0, b1, m0, m1, [](BYTE dv, BYTE, BYTE) { return ~dv; });
            return;
        case 0x5A:
            Run(d, s, p, b0, b1, m0, m1, [](BYTE dv, BYTE, BYTE pv) { return dv ^ pv; });
            return;
        case 0x00:
            Run(d, s, p, b0, b1, m0, m1, [](BYTE, BYTE, BYTE) { return 0; });
            return;
        case 0xFF:
            Run(d, s, p, b0, b1, m0, m1, [](BYTE, BYTE, BYTE) { return 0xFF; });
            return;
        case 0x33:
            Run(d, s, p, b0, b1, m0, m1, [](BYTE, BYTE sv, BYTE) { return ~sv; });
            return;
        case 0x44:
            Run(d, s, p, b0, b1, m0, m1, [](BYTE dv, BYTE sv, BYTE) { return sv & ~dv; });
            return;
        case 0x22:
            Run(d, s, p, b0, b1, m0, m1, [](BYTE dv, BYTE sv, BYTE) { return dv & ~sv; });
            return;
        case 0xBB:
            Run(d, s, p, b0, b1, m0, m1, [](BYTE dv, BYTE sv, BYTE) { return dv | ~sv; });
            return;
        case 0x11:
            Run(d, s, p, b0, b1, m0, m1, [](BYTE dv, BYTE sv, BYTE) { return ~(dv | sv); });
            return;
        case 0xC0:
            Run(d, s, p, b0, b1, m0, m1, [](BYTE, BYTE sv, BYTE pv) { return sv & pv; });
            return;
        default:
            Run(d, s, p, b0, b1, m0, m1,
                [code](BYTE dv, BYTE sv, BYTE pv) { return Generic(code, dv, sv, pv); });
            return;
    }
}

void FillRaw(BYTE* row, int bpp, int x0, int x1, DWORD value) {
    if (x0 >= x1)
        return;
    switch (bpp) {
        case 8:
            std::memset(row + x0, static_cast<int>(value & 0xFF), static_cast<size_t>(x1 - x0));
            return;
        case 24: {
            BYTE b = static_cast<BYTE>(value), g = static_cast<BYTE>(value >> 8),
                 r = static_cast<BYTE>(value >> 16);
            BYTE* p = row + 3 * x0;
            for (int x = x0; x < x1; ++x, p += 3) {
                p[0] = b;
                p[1] = g;
                p[2] = r;
            }
            return;
        }
        case 32: {
            BYTE px[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8),
                          static_cast<BYTE>(value >> 16), static_cast<BYTE>(value >> 24)};
            for (int x = x0; x < x1; ++x)
                std::memcpy(row + 4 * x, px, 4);
            return;
        }
        default:
            for (int x = x0; x < x1; ++x)
                PutRaw(row, x, bpp, value);
            return;
    }
}

Pattern::Pattern(const DCObj& dc, const BrushObject* brush, COLORREF solid) {
    const Surface& dst = *dc.surface;
    if (brush && brush->style == BS_NULL)
        return;
    if (!brush || brush->style != BS_PATTERN || !brush->pattern) {
        m_width = m_height = 1;
        m_values.push_back(ColorToRaw(dst, brush ? brush->color : solid));
        return;
    }
    const Surface& p = *brush->pattern;
    m_width = p.width;
    m_height = p.height;
    m_orgX = dc.attr.brushOrg.x + dc.origin.x;
    m_orgY = dc.attr.brushOrg.y + dc.origin.y;
    m_values.resize(static_cast<size_t>(m_width) * m_height);
    bool raw = !p.mono && SameFormat(p, dst);
    for (int y = 0; y < m_height; ++y) {
        const BYTE* row = p.Row(y);
        for (int x = 0; x < m_width; ++x) {
            DWORD v = GetRaw(row, x, p.bpp);
            if (!raw) {
                COLORREF c = p.mono ? (v ? dc.attr.bkColor : dc.attr.textColor) : RawToColor(p, v);
                v = ColorToRaw(dst, c);
            }
            m_values[static_cast<size_t>(y) * m_width + x] = v;
        }
    }
}

void Pattern::FillLine(BYTE* line, int bpp, int x0, int x1, int y) const {
    if (Empty())
        return;
    if (Solid()) {
        FillRaw(line, bpp, x0, x1, m_values[0]);
        return;
    }
    int py = ((y - m_orgY) % m_height + m_height) % m_height;
    const DWORD* row = m_values.data() + static_cast<size_t>(py) * m_width;
    int px = ((x0 - m_orgX) % m_width + m_width) % m_width;
    for (int x = x0; x < x1; ++x) {
        PutRaw(line, x, bpp, row[px]);
        if (++px == m_width)
            px = 0;
    }
}

void ClipPieces(const Region& clip, const RECT& rc, std::vector<RECT>& out) {
    out.clear();
    for (const RECT& c : clip.Rects()) {
        if (c.top >= rc.bottom)
            break;
        RECT r{std::max(c.left, rc.left), std::max(c.top, rc.top), std::min(c.right, rc.right),
               std::min(c.bottom, rc.bottom)};
        if (r.left < r.right && r.top < r.bottom)
            out.push_back(r);
    }
}

void DirtyBox::Add(const RECT& rc) {
    if (!m_surface.dirty || rc.left >= rc.right || rc.top >= rc.bottom)
        return;
    if (m_box.left >= m_box.right) {
        m_box = rc;
        return;
    }
    m_box.left = std::min(m_box.left, rc.left);
    m_box.top = std::min(m_box.top, rc.top);
    m_box.right = std::max(m_box.right, rc.right);
    m_box.bottom = std::max(m_box.bottom, rc.bottom);
}

PatternPainter::PatternPainter(DCObj& dc, const Pattern& pattern, BYTE code)
    : m_dc(dc), m_s(*dc.surface), m_pattern(pattern), m_code(code), m_dirty(*dc.surface) {
    m_patLine.resize(static_cast<size_t>(m_s.stride) + 4);
    m_zero.resize(static_cast<size_t>(m_s.stride) + 4);
}

void PatternPainter::FillRect(const RECT& rc) {
    if (rc.left >= rc.right || rc.top >= rc.bottom)
        return;
    if (Rop3UsesPattern(m_code) && m_pattern.Empty())
        return;
    ForEachClip(rc);
}

void PatternPainter::ForEachClip(const RECT& rc) {
    for (const RECT& c : m_dc.effectiveClip.Rects()) {
        if (c.top >= rc.bottom)
            break;
        RECT r{std::max(c.left, rc.left), std::max(c.top, rc.top), std::min(c.right, rc.right),
               std::min(c.bottom, rc.bottom)};
        if (r.left < r.right && r.top < r.bottom)
            FillClipped(r);
    }
}

void PatternPainter::FillClipped(const RECT& rc) {
    const int bpp = m_s.bpp;
    m_dirty.Add(rc);
    bool solidCopy = m_code == 0xF0 && m_pattern.Solid();
    for (int y = rc.top; y < rc.bottom; ++y) {
        BYTE* row = m_s.Row(y);
        if (solidCopy) {
            FillRaw(row, bpp, rc.left, rc.right, m_pattern.SolidValue());
            continue;
        }
        if (Rop3UsesPattern(m_code))
            m_pattern.FillLine(m_patLine.data(), bpp, rc.left, rc.right, y);
        RopRow(m_code, bpp, row, m_zero.data(), m_patLine.data(), rc.left, rc.right);
    }
}

void PatternPainter::Plot(int x, int y) {
    if (!m_dc.effectiveClip.Contains(x, y))
        return;
    if (Rop3UsesPattern(m_code) && m_pattern.Empty())
        return;
    FillClipped(RECT{x, y, x + 1, y + 1});
}

} // namespace plat
