// Pixel format conversion for blits, including the monochrome rules: a monochrome device
// bitmap's 0 bits take the destination's text colour and 1 bits its background colour; a
// colour source written into a monochrome device bitmap gives 1 where it equals the source
// context's background colour. DIB sections, monochrome or not, go through their colour table.
#include "bitblt_engine.h"

namespace plat {

RowConverter::RowConverter(const Surface& src, const Surface& dst, const MonoColors& dstColors,
                           COLORREF srcBk)
    : m_src(src), m_dst(dst), m_srcBk(srcBk & 0xFFFFFF) {
    if (SameFormat(src, dst)) {
        m_mode = Mode::Raw;
        return;
    }
    if (src.bpp <= 8) {
        m_mode = Mode::Table;
        for (int i = 0; i < (1 << src.bpp); ++i) {
            COLORREF c = src.mono ? (i ? dstColors.bk : dstColors.text)
                                  : RawToColor(src, static_cast<DWORD>(i));
            m_table[i] = FromColor(c);
        }
        return;
    }
    m_mode = Mode::Direct;
}

DWORD RowConverter::FromColor(COLORREF c) {
    if (m_dst.mono)
        return c == m_srcBk ? 1 : 0;
    if (m_dst.bpp > 8)
        return ColorToRaw(m_dst, c);
    // Nearest-entry searches are slow; remember recent answers.
    unsigned slot = ((c * 2654435761u) >> 26) & 63;
    if (m_cacheUsed[slot] && m_cacheKey[slot] == c)
        return m_cacheValue[slot];
    DWORD v = ColorToRaw(m_dst, c);
    m_cacheUsed[slot] = true;
    m_cacheKey[slot] = c;
    m_cacheValue[slot] = v;
    return v;
}

void RowConverter::Convert(const BYTE* srcRow, const int* xs, BYTE* line, int x0, int x1) {
    const int sb = m_src.bpp, db = m_dst.bpp;
    const int n = x1 - x0;
    switch (m_mode) {
        case Mode::Raw:
            if (sb == 24) {
                BYTE* d = line + 3 * x0;
                for (int i = 0; i < n; ++i, d += 3) {
                    const BYTE* s = srcRow + 3 * xs[i];
                    d[0] = s[0];
                    d[1] = s[1];
                    d[2] = s[2];
                }
                return;
            }
            for (int i = 0; i < n; ++i)
                PutRaw(line, x0 + i, db, GetRaw(srcRow, xs[i], sb));
            return;
        case Mode::Table:
            for (int i = 0; i < n; ++i)
                PutRaw(line, x0 + i, db, m_table[GetRaw(srcRow, xs[i], sb)]);
            return;
        case Mode::Direct:
            if ((sb == 24 || sb == 32) && (db == 24 || db == 32)) {
                const int ss = sb / 8, ds = db / 8;
                BYTE* d = line + ds * x0;
                for (int i = 0; i < n; ++i, d += ds) {
                    const BYTE* s = srcRow + ss * xs[i];
                    d[0] = s[0];
                    d[1] = s[1];
                    d[2] = s[2];
                    if (ds == 4)
                        d[3] = 0;
                }
                return;
            }
            for (int i = 0; i < n; ++i)
                PutRaw(line, x0 + i, db, FromColor(RawToColor(m_src, GetRaw(srcRow, xs[i], sb))));
            return;
    }
}

} // namespace plat
