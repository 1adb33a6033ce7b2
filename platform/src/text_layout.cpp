// UTF-16 decoding, glyph runs and painting them.
#include "text_layout.h"

#include "gdi_internal.h"

#include <algorithm>

namespace plat::text {

void DecodeUtf16(const WCHAR* s, size_t count, std::vector<char32_t>& chars,
                 std::vector<int>* starts) {
    chars.clear();
    if (starts)
        starts->clear();
    for (size_t i = 0; i < count; ++i) {
        char32_t c = s[i];
        size_t at = i;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < count && s[i + 1] >= 0xDC00 &&
            s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        chars.push_back(c);
        if (starts)
            starts->push_back(static_cast<int>(at));
    }
}

void Shape(SizedFont& font, const char32_t* chars, size_t n, GlyphRun& run) {
    font.Glyphs(chars, n, run.glyphs);
    run.advances.resize(n);
    run.width = 0;
    for (size_t i = 0; i < n; ++i) {
        run.advances[i] = run.glyphs[i] ? run.glyphs[i]->advance : 0;
        run.width += run.advances[i];
    }
}

Decoration DecorationOf(const DCObj& dc) {
    Decoration d;
    if (auto* tf = dynamic_cast<TextFont*>(dc.attr.font.get())) {
        d.underline = tf->logfont.lfUnderline != 0;
        d.strikeOut = tf->logfont.lfStrikeOut != 0;
    }
    return d;
}

namespace {

bool Clip(RECT& r, const RECT* clip) {
    if (clip) {
        r.left = std::max(r.left, clip->left);
        r.top = std::max(r.top, clip->top);
        r.right = std::min(r.right, clip->right);
        r.bottom = std::min(r.bottom, clip->bottom);
    }
    return r.left < r.right && r.top < r.bottom;
}

} // namespace

void PaintGlyphs(DCObj& dc, int x, int baseline, const GlyphRef* glyphs, const int* advances,
                 size_t n, COLORREF color, const RECT* clip) {
    int pen = x;
    for (size_t i = 0; i < n; ++i) {
        const Glyph* g = glyphs[i].get();
        if (g && g->width > 0) {
            RECT box{pen + g->left, baseline - g->top, pen + g->left + g->width,
                     baseline - g->top + g->height};
            RECT r = box;
            if (Clip(r, clip)) {
                const BYTE* cov = g->coverage.data() +
                                  static_cast<size_t>(r.top - box.top) * g->width +
                                  (r.left - box.left);
                BlendCoverage(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, cov, g->width,
                              color);
            }
        }
        pen += advances[i];
    }
}

void PaintRect(DCObj& dc, RECT r, COLORREF color, const RECT* clip) {
    if (Clip(r, clip))
        FillSolid(dc, r, color);
}

void PaintDecoration(DCObj& dc, const Decoration& d, const FontMetrics& m, int x, int baseline,
                     int width, COLORREF color, const RECT* clip) {
    if (width <= 0)
        return;
    if (d.underline) {
        int top = std::min(baseline + m.underlineOffset, baseline + m.descent - m.lineThickness);
        top = std::max(top, baseline);
        PaintRect(dc, RECT{x, top, x + width, top + m.lineThickness}, color, clip);
    }
    if (d.strikeOut) {
        int top = baseline - m.strikeOffset;
        PaintRect(dc, RECT{x, top, x + width, top + m.lineThickness}, color, clip);
    }
}

} // namespace plat::text
