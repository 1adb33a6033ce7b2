// Realised fonts: sizes, line metrics and the glyph cache.
#include "font_cache.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SIZES_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstring>

namespace plat::text {

namespace {

// The size a height of 0 asks for, in pixels per em.
constexpr int kDefaultEm = 12;
// Sizes past this are refused as nonsense (a glyph would need megabytes).
constexpr int kMaxPixels = 1024;
// Rendered glyphs kept per realised font before the cache starts over.
constexpr size_t kMaxCachedGlyphs = 4096;

struct VerticalUnits {
    double ascent;  // font units
    double descent; // positive below the baseline
    double lineGap;
    double avgWidth;
};

VerticalUnits UnitsOf(FT_Face face) {
    VerticalUnits u{static_cast<double>(face->ascender), static_cast<double>(-face->descender),
                    static_cast<double>(face->height - (face->ascender - face->descender)), 0};
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        // The cell Windows fonts are measured by: winAscent + winDescent.
        double hheaCell = u.ascent + u.descent + u.lineGap;
        u.ascent = os2->usWinAscent;
        u.descent = os2->usWinDescent;
        u.lineGap = std::max(0.0, hheaCell - (u.ascent + u.descent));
        u.avgWidth = os2->xAvgCharWidth;
    }
    if (u.ascent + u.descent <= 0) {
        u.ascent = face->units_per_EM * 0.8;
        u.descent = face->units_per_EM * 0.2;
    }
    return u;
}

struct Registry {
    std::vector<std::pair<FontKey, std::weak_ptr<SizedFont>>> fonts;
};

Registry& Fonts() {
    static Registry* r = new Registry;
    return *r;
}

} // namespace

std::shared_ptr<SizedFont> SizedFont::Get(const FontKey& key) {
    FontEngine& engine = FontEngine::Get();
    std::lock_guard<std::mutex> lock(engine.Lock());
    Registry& reg = Fonts();
    for (auto& [k, weak] : reg.fonts)
        if (k == key)
            if (std::shared_ptr<SizedFont> f = weak.lock())
                return f;
    std::erase_if(reg.fonts, [](const auto& p) { return p.second.expired(); });
    std::shared_ptr<SizedFont> f(new SizedFont(key));
    reg.fonts.emplace_back(key, f);
    return f;
}

SizedFont::SizedFont(const FontKey& key) : m_key(key) {
    FontEngine& engine = FontEngine::Get();
    m_chain = engine.Resolve(key.face, key.weight >= FW_BOLD, key.italic);
    m_sizes.resize(m_chain->faces.size());
    ComputeMetrics();
}

SizedFont::~SizedFont() {
    std::lock_guard<std::mutex> lock(FontEngine::Get().Lock());
    for (FaceSize& s : m_sizes)
        if (s.size)
            FT_Done_Size(s.size);
}

void SizedFont::ComputeMetrics() {
    int h = m_key.height;
    if (h == 0)
        h = -kDefaultEm;
    h = std::clamp(h, -kMaxPixels, kMaxPixels);
    FontMetrics& m = m_metrics;
    if (m_chain->faces.empty()) {
        int em = std::abs(h);
        m.ascent = (em * 4 + 2) / 5;
        m.descent = std::max(0, em - m.ascent);
        m.height = m.ascent + m.descent;
        m_emX = m_emY = em * 64;
        return;
    }
    FT_Face face = m_chain->faces[0]->face;
    VerticalUnits u = UnitsOf(face);
    const double upem = face->units_per_EM > 0 ? face->units_per_EM : 1000;
    const double cell = u.ascent + u.descent;
    // A positive height is the cell, a negative one the em.
    double em = h > 0 ? h * upem / cell : -h;
    double emX = em;
    if (m_key.width > 0 && u.avgWidth > 0)
        emX = std::min<double>(m_key.width * upem / u.avgWidth, kMaxPixels);
    m_emY = std::max(1L, std::lround(em * 64));
    m_emX = std::max(1L, std::lround(emX * 64));
    const double sy = em / upem, sx = emX / upem;
    m.ascent = std::max(1, static_cast<int>(std::lround(u.ascent * sy)));
    if (h > 0)
        m.descent = std::max(0, h - m.ascent);
    else
        m.descent = std::max(0, static_cast<int>(std::lround(u.descent * sy)));
    m.height = m.ascent + m.descent;
    m.internalLeading = std::max(0, m.height - static_cast<int>(std::lround(em)));
    m.externalLeading = static_cast<int>(std::lround(u.lineGap * sy));
    m.aveCharWidth = static_cast<int>(std::lround(u.avgWidth * sx));
    m.maxCharWidth = static_cast<int>(std::lround((face->bbox.xMax - face->bbox.xMin) * sx));
    m.lineThickness = std::max(1, static_cast<int>(std::lround(face->underline_thickness * sy)));
    m.underlineOffset = std::max(1, static_cast<int>(std::lround(-face->underline_position * sy)));
    m.strikeOffset = std::max(1, static_cast<int>(std::lround(u.ascent * sy * 0.3)));
    m.fixedPitch = FT_IS_FIXED_WIDTH(face);
    if (m.aveCharWidth <= 0) {
        // Called with the engine lock held.
        m.aveCharWidth = Render(U'x')->advance;
    }
    if (m.maxCharWidth < m.aveCharWidth)
        m.maxCharWidth = m.aveCharWidth;
}

SizedFont::FaceSize* SizedFont::SizeFor(size_t i) {
    FaceSize& s = m_sizes[i];
    if (s.failed)
        return nullptr;
    if (!s.size) {
        FaceEntry& e = *m_chain->faces[i];
        if (FT_New_Size(e.face, &s.size) != 0 || FT_Activate_Size(s.size) != 0 ||
            FT_Set_Char_Size(e.face, m_emX, m_emY, 72, 72) != 0) {
            if (s.size)
                FT_Done_Size(s.size);
            s.size = nullptr;
            s.failed = true;
            return nullptr;
        }
        s.embolden = m_key.weight >= FW_BOLD && !e.bold;
        s.oblique = m_key.italic && !e.italic;
    }
    return &s;
}

GlyphRef SizedFont::Render(char32_t c) {
    auto g = std::make_shared<Glyph>();
    // The first face that has the character draws it; the primary's missing-glyph box
    // stands for a character no face has.
    size_t faceIndex = 0;
    unsigned glyph = 0;
    for (size_t i = 0; i < m_chain->faces.size(); ++i) {
        unsigned gi = m_chain->faces[i]->GlyphIndex(c);
        if (gi != 0) {
            faceIndex = i;
            glyph = gi;
            break;
        }
    }
    if (m_chain->faces.empty())
        return g;
    FaceSize* size = SizeFor(faceIndex);
    if (!size)
        return g;
    FT_Face face = m_chain->faces[faceIndex]->face;
    FT_Activate_Size(size->size);
    FT_Int32 flags = FT_LOAD_NO_BITMAP | (m_key.mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_LIGHT);
    if (FT_Load_Glyph(face, glyph, flags) != 0)
        return g;
    FT_GlyphSlot slot = face->glyph;
    if (size->oblique)
        FT_GlyphSlot_Oblique(slot);
    if (size->embolden)
        FT_GlyphSlot_Embolden(slot);
    g->advance = static_cast<int>((slot->advance.x + 32) >> 6);
    if (FT_Render_Glyph(slot, m_key.mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0)
        return g;
    const FT_Bitmap& bm = slot->bitmap;
    g->left = slot->bitmap_left;
    g->top = slot->bitmap_top;
    g->width = static_cast<int>(bm.width);
    g->height = static_cast<int>(bm.rows);
    if (g->width <= 0 || g->height <= 0 || !bm.buffer) {
        g->width = g->height = 0;
        return g;
    }
    g->coverage.resize(static_cast<size_t>(g->width) * g->height);
    for (int y = 0; y < g->height; ++y) {
        const unsigned char* src = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
        BYTE* dst = g->coverage.data() + static_cast<size_t>(y) * g->width;
        if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
            for (int x = 0; x < g->width; ++x)
                dst[x] = (src[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
        } else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY && bm.num_grays == 256) {
            std::memcpy(dst, src, static_cast<size_t>(g->width));
        } else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY && bm.num_grays > 1) {
            for (int x = 0; x < g->width; ++x)
                dst[x] = static_cast<BYTE>(src[x] * 255 / (bm.num_grays - 1));
        } else {
            g->coverage.clear();
            g->width = g->height = 0;
            return g;
        }
    }
    return g;
}

void SizedFont::Glyphs(const char32_t* chars, size_t n, std::vector<GlyphRef>& out) {
    out.resize(n);
    std::lock_guard<std::mutex> lock(FontEngine::Get().Lock());
    for (size_t i = 0; i < n; ++i) {
        auto it = m_glyphs.find(chars[i]);
        if (it != m_glyphs.end()) {
            out[i] = it->second;
            continue;
        }
        if (m_glyphs.size() >= kMaxCachedGlyphs)
            m_glyphs.clear();
        GlyphRef g = Render(chars[i]);
        m_glyphs.emplace(chars[i], g);
        out[i] = std::move(g);
    }
}

} // namespace plat::text
