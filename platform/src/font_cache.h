// A realised font: a face chain at one pixel size and style, its line metrics and its cache of
// rendered glyphs. Equal requests share one realised font (and so one glyph cache), whichever
// font handles asked for it. Glyphs are handed out as shared pointers, so a drawing thread
// keeps the ones it uses even when the cache is emptied meanwhile.
#pragma once

#include "font_engine.h"

#include <platform/wintext.h>

#include <unordered_map>

typedef struct FT_SizeRec_* FT_Size;

namespace plat::text {

struct FontKey {
    std::string face; // UTF-8
    int height = 0;   // LOGFONT meaning
    int width = 0;
    int weight = 0;
    bool italic = false;
    bool mono = false; // NONANTIALIASED_QUALITY: coverage only 0 or 255
    bool operator==(const FontKey&) const = default;
};

struct FontMetrics {
    int height = 0; // ascent + descent
    int ascent = 0;
    int descent = 0;
    int internalLeading = 0;
    int externalLeading = 0;
    int aveCharWidth = 0;
    int maxCharWidth = 0;
    int underlineOffset = 1; // below the baseline
    int lineThickness = 1;
    int strikeOffset = 0; // above the baseline
    bool fixedPitch = false;
};

// One rendered glyph: the pen moves by advance; the coverage's top-left pixel sits at
// (pen + left, baseline - top).
struct Glyph {
    int advance = 0;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<BYTE> coverage; // width x height, 0 none to 255 full
};
using GlyphRef = std::shared_ptr<const Glyph>;

class SizedFont {
public:
    // The shared realised font of a request (never null; a chain without faces measures
    // every character as 0 and draws nothing).
    static std::shared_ptr<SizedFont> Get(const FontKey& key);
    ~SizedFont();
    SizedFont(const SizedFont&) = delete;
    SizedFont& operator=(const SizedFont&) = delete;

    const FontKey& Key() const { return m_key; }
    const FontMetrics& Metrics() const { return m_metrics; }
    const std::string& Family() const { return m_chain->family; }

    // Glyphs for n characters, rendered on first use. Takes the engine lock once.
    void Glyphs(const char32_t* chars, size_t n, std::vector<GlyphRef>& out);

private:
    explicit SizedFont(const FontKey& key);
    struct FaceSize {
        FT_Size size = nullptr;
        bool embolden = false;
        bool oblique = false;
        bool failed = false;
    };
    void ComputeMetrics();
    FaceSize* SizeFor(size_t face);
    GlyphRef Render(char32_t c);

    FontKey m_key;
    std::shared_ptr<FaceChain> m_chain;
    FontMetrics m_metrics;
    long m_emX = 0; // 26.6 pixels
    long m_emY = 0;
    std::vector<FaceSize> m_sizes;                   // one per chain face
    std::unordered_map<char32_t, GlyphRef> m_glyphs; // under the engine lock
};

} // namespace plat::text
