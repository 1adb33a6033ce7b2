// Shared pieces of the text calls: UTF-16 decoding, glyph runs with their advances, and
// painting runs, backgrounds and lines through a context's clip.
#pragma once

#include "font.h"

namespace plat::text {

// The characters of UTF-16 text; starts[i] is the unit where character i begins. An unpaired
// surrogate is one U+FFFD.
void DecodeUtf16(const WCHAR* s, size_t count, std::vector<char32_t>& chars,
                 std::vector<int>* starts);

struct GlyphRun {
    std::vector<GlyphRef> glyphs;
    std::vector<int> advances; // pixels, one per character
    int width = 0;
};
// The glyphs and natural advances of characters.
void Shape(SizedFont& font, const char32_t* chars, size_t n, GlyphRun& run);

// The underline and strike-out the selected font asks for.
struct Decoration {
    bool underline = false;
    bool strikeOut = false;
};
Decoration DecorationOf(const DCObj& dc);

// Glyphs from pen position x on a baseline (device coordinates) in a colour, limited to
// clip (device coordinates) when it is given, always within the context's clip.
void PaintGlyphs(DCObj& dc, int x, int baseline, const GlyphRef* glyphs, const int* advances,
                 size_t n, COLORREF color, const RECT* clip);
// A solid rectangle (device coordinates), limited to clip when given.
void PaintRect(DCObj& dc, RECT r, COLORREF color, const RECT* clip);
// Underline and strike-out of a run width pixels wide.
void PaintDecoration(DCObj& dc, const Decoration& d, const FontMetrics& m, int x, int baseline,
                     int width, COLORREF color, const RECT* clip);

} // namespace plat::text
