// DrawTextW: prefix characters, line breaks, word wrapping, alignment in a rectangle, the
// calculate-rectangle mode and the end ellipsis.
#include "text_layout.h"

#include "gdi_dc.h"

#include <algorithm>

using namespace plat;
using namespace plat::text;

namespace {

// One laid-out character of a line.
struct Cell {
    GlyphRef glyph; // null: nothing to draw (tab, line-break character)
    int advance = 0;
    bool prefixed = false; // underlined as the prefix character's target
};

struct Line {
    std::vector<Cell> cells;
    int width = 0;
};

bool IsSpace(char32_t c) {
    return c == U' ' || c == U'\t' || c == 0x3000;
}

bool IsLineBreak(char32_t c) {
    return c == U'\r' || c == U'\n';
}

// Ideographs and kana may break anywhere; Hangul, like Latin, breaks at spaces.
bool BreaksAround(char32_t c) {
    return (c >= 0x2E80 && c <= 0x2FFF) || (c >= 0x3040 && c <= 0x30FF) ||
           (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x2FFFF);
}

class TextBlock {
public:
    TextBlock(SizedFont& font, UINT flags, int tabChars) : m_font(font), m_format(flags) {
        m_tabWidth = std::max(1, tabChars * std::max(1, font.Metrics().aveCharWidth));
    }

    // Prefix processing: "&x" underlines x, "&&" is one "&", a last lone "&" is dropped.
    void SetText(const WCHAR* text, size_t count) {
        std::u16string units;
        std::vector<bool> marks;
        const bool prefixes = !(m_format & DT_NOPREFIX);
        bool markNext = false;
        for (size_t i = 0; i < count; ++i) {
            if (prefixes && text[i] == u'&') {
                if (i + 1 < count && text[i + 1] == u'&') {
                    units.push_back(u'&');
                    marks.push_back(markNext);
                    markNext = false;
                    ++i;
                } else {
                    markNext = true;
                }
                continue;
            }
            units.push_back(text[i]);
            marks.push_back(markNext);
            markNext = false;
        }
        std::vector<int> starts;
        DecodeUtf16(units.data(), units.size(), m_chars, &starts);
        m_prefixed.resize(m_chars.size());
        for (size_t i = 0; i < m_chars.size(); ++i)
            m_prefixed[i] = marks[static_cast<size_t>(starts[i])];
        Shape(m_font, m_chars.data(), m_chars.size(), m_run);
    }

    void Layout(int maxWidth) {
        m_lines.clear();
        const size_t n = m_chars.size();
        if (m_format & DT_SINGLELINE) {
            if (n > 0)
                AddLine(0, n);
        } else {
            size_t i = 0;
            while (i < n) {
                size_t end = i;
                while (end < n && !IsLineBreak(m_chars[end]))
                    ++end;
                Wrap(i, end, maxWidth);
                i = end;
                if (i < n)
                    i += (m_chars[i] == U'\r' && i + 1 < n && m_chars[i + 1] == U'\n') ? 2 : 1;
            }
        }
        if (m_format & DT_END_ELLIPSIS)
            for (Line& l : m_lines)
                Ellipsis(l, maxWidth);
    }

    const std::vector<Line>& Lines() const { return m_lines; }
    int MaxWidth() const {
        int w = 0;
        for (const Line& l : m_lines)
            w = std::max(w, l.width);
        return w;
    }

private:
    int Advance(size_t i, int x) const {
        if (m_chars[i] == U'\t' && (m_format & DT_EXPANDTABS))
            return m_tabWidth - x % m_tabWidth;
        if (IsLineBreak(m_chars[i]))
            return 0;
        return m_run.advances[i];
    }

    void AddLine(size_t begin, size_t end) {
        Line l;
        for (size_t i = begin; i < end; ++i) {
            Cell c;
            c.advance = Advance(i, l.width);
            bool invisible =
                IsLineBreak(m_chars[i]) || (m_chars[i] == U'\t' && (m_format & DT_EXPANDTABS));
            if (!invisible)
                c.glyph = m_run.glyphs[i];
            c.prefixed = m_prefixed[i];
            l.width += c.advance;
            l.cells.push_back(std::move(c));
        }
        m_lines.push_back(std::move(l));
    }

    // Breaks one paragraph into lines no wider than maxWidth where it can: at spaces (which
    // the break swallows) and around ideographs. A word wider than the line stays whole
    // unless DT_EDITCONTROL asks for it to be broken.
    void Wrap(size_t begin, size_t end, int maxWidth) {
        if (!(m_format & DT_WORDBREAK)) {
            AddLine(begin, end);
            return;
        }
        size_t lineStart = begin;
        while (true) {
            int x = 0;
            size_t breakAt = 0; // 0: no break point yet (a break is never at lineStart)
            size_t j = lineStart;
            bool broke = false;
            for (; j < end; ++j) {
                char32_t c = m_chars[j];
                char32_t prev = j > lineStart ? m_chars[j - 1] : 0;
                if (IsSpace(c)) {
                    if (j > lineStart && !IsSpace(prev))
                        breakAt = j;
                    x += Advance(j, x);
                    continue;
                }
                if (j > lineStart && !IsSpace(prev) && (BreaksAround(c) || BreaksAround(prev)))
                    breakAt = j;
                int adv = Advance(j, x);
                if (x + adv > maxWidth && j > lineStart) {
                    size_t cut = breakAt > lineStart           ? breakAt
                                 : (m_format & DT_EDITCONTROL) ? j
                                                               : 0;
                    if (cut) {
                        AddLine(lineStart, cut);
                        lineStart = cut;
                        while (lineStart < end && IsSpace(m_chars[lineStart]))
                            ++lineStart;
                        broke = true;
                        break;
                    }
                }
                x += adv;
            }
            if (!broke) {
                AddLine(lineStart, end);
                return;
            }
            if (lineStart >= end)
                return;
        }
    }

    // A line wider than the rectangle loses characters from its end until it fits with "...".
    void Ellipsis(Line& l, int maxWidth) {
        if (l.width <= maxWidth)
            return;
        const char32_t dots[3] = {U'.', U'.', U'.'};
        GlyphRun run;
        Shape(m_font, dots, 3, run);
        while (!l.cells.empty() && l.width + run.width > maxWidth) {
            l.width -= l.cells.back().advance;
            l.cells.pop_back();
        }
        for (int i = 0; i < 3; ++i)
            l.cells.push_back(Cell{run.glyphs[static_cast<size_t>(i)],
                                   run.advances[static_cast<size_t>(i)], false});
        l.width += run.width;
    }

    SizedFont& m_font;
    UINT m_format;
    int m_tabWidth = 1;
    std::vector<char32_t> m_chars;
    std::vector<bool> m_prefixed;
    GlyphRun m_run;
    std::vector<Line> m_lines;
};

} // namespace

int DrawTextW(HDC h, LPCWSTR text, int count, LPRECT rc, UINT format) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    if (!dc || !rc || (!text && count != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (count < 0)
        count = static_cast<int>(std::char_traits<char16_t>::length(text));
    // With DT_TABSTOP the second byte holds the tab size, not flags.
    const UINT flags = (format & DT_TABSTOP) ? (format & ~0xFF00u) : format;
    std::shared_ptr<SizedFont> font = SelectedFont(*dc);
    const FontMetrics& m = font->Metrics();
    const int lineHeight = m.height + ((flags & DT_EXTERNALLEADING) ? m.externalLeading : 0);

    TextBlock block(*font, flags,
                    (format & DT_TABSTOP) ? static_cast<int>((format >> 8) & 0xFF) : 8);
    block.SetText(text, static_cast<size_t>(count));
    block.Layout(rc->right - rc->left);
    const std::vector<Line>& lines = block.Lines();
    const int total = static_cast<int>(lines.size()) * lineHeight;

    if (flags & DT_CALCRECT) {
        rc->right = rc->left + block.MaxWidth();
        rc->bottom = rc->top + total;
        return total;
    }
    if (lines.empty() || !dc->surface)
        return total;

    int top = rc->top;
    int result = total;
    if (flags & DT_SINGLELINE) {
        if (flags & DT_VCENTER)
            top = rc->top + (rc->bottom - rc->top - lineHeight) / 2;
        else if (flags & DT_BOTTOM)
            top = rc->bottom - lineHeight;
        if (flags & (DT_VCENTER | DT_BOTTOM))
            result = top + lineHeight - rc->top;
    }
    const RECT* clip = (flags & DT_NOCLIP) ? nullptr : rc;
    const COLORREF color = dc->attr.textColor;
    const Decoration deco = DecorationOf(*dc);
    const bool drawGlyphs = !(flags & DT_PREFIXONLY);
    const bool drawPrefix = !(flags & DT_HIDEPREFIX) && !(flags & DT_NOPREFIX);
    std::vector<GlyphRef> glyphs;
    std::vector<int> advances;
    for (size_t k = 0; k < lines.size(); ++k) {
        const Line& l = lines[k];
        const int lineTop = top + static_cast<int>(k) * lineHeight;
        const int baseline = lineTop + m.ascent;
        int x = rc->left;
        if (flags & DT_CENTER)
            x = rc->left + (rc->right - rc->left - l.width) / 2;
        else if (flags & DT_RIGHT)
            x = rc->right - l.width;
        if (dc->attr.bkMode == OPAQUE && drawGlyphs)
            PaintRect(*dc, RECT{x, lineTop, x + l.width, lineTop + m.height}, dc->attr.bkColor,
                      clip);
        glyphs.clear();
        advances.clear();
        for (const Cell& c : l.cells) {
            glyphs.push_back(c.glyph);
            advances.push_back(c.advance);
        }
        if (drawGlyphs) {
            PaintGlyphs(*dc, x, baseline, glyphs.data(), advances.data(), glyphs.size(), color,
                        clip);
            PaintDecoration(*dc, deco, m, x, baseline, l.width, color, clip);
        }
        if (drawPrefix) {
            int pen = x;
            Decoration under;
            under.underline = true;
            for (const Cell& c : l.cells) {
                if (c.prefixed)
                    PaintDecoration(*dc, under, m, pen, baseline, c.advance, color, clip);
                pen += c.advance;
            }
        }
    }
    return result;
}
