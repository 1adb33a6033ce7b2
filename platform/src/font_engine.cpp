// Face resolution through fontconfig and face opening through FreeType.
#include "font_engine.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdlib>
#include <cstring>

namespace plat::text {

namespace {

// At most this many faces per chain: enough for Latin, Hangul, symbols and CJK.
constexpr size_t kMaxChainFaces = 12;

const char* const kKoreanNames[] = {"gulim",         "gulimche",  "dotum",      "dotumche",
                                    "batang",        "batangche", "gungsuh",    "gungsuhche",
                                    "malgun gothic", "new gulim", "nanumgothic"};

std::string Lower(const std::string& s) {
    std::string r = s;
    for (char& c : r)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return r;
}

} // namespace

bool IsKoreanFaceName(const std::string& face) {
    // Hangul syllables and jamo are U+1100-U+11FF, U+3130-U+318F and U+AC00-U+D7A3: in UTF-8
    // their lead bytes are 0xE1 0x84-0x87, 0xE3 0x84-0x86 and 0xEA-0xED.
    for (size_t i = 0; i + 1 < face.size(); ++i) {
        auto b0 = static_cast<unsigned char>(face[i]), b1 = static_cast<unsigned char>(face[i + 1]);
        if ((b0 == 0xE1 && b1 >= 0x84 && b1 <= 0x87) || (b0 == 0xE3 && b1 >= 0x84 && b1 <= 0x86) ||
            (b0 >= 0xEA && b0 <= 0xED))
            return true;
    }
    std::string l = Lower(face);
    for (const char* n : kKoreanNames)
        if (l == n)
            return true;
    return false;
}

unsigned FaceEntry::GlyphIndex(char32_t c) const {
    return face ? FT_Get_Char_Index(face, c) : 0;
}

FontEngine& FontEngine::Get() {
    // Never destroyed: fonts may be released from static destructors at exit.
    static FontEngine* engine = new FontEngine;
    return *engine;
}

FontEngine::FontEngine() {
    if (FT_Init_FreeType(&m_library) != 0)
        m_library = nullptr;
    // A configuration of our own, loaded once, so later changes to the host's font
    // configuration in the middle of a run cannot change what a face name means.
    m_config = FcInitLoadConfigAndFonts();
    // The configuration goes at exit, so leak checkers see fontconfig's caches released; a
    // face asked for after that resolves to nothing and draws nothing.
    std::atexit([] {
        FontEngine& e = Get();
        std::lock_guard<std::mutex> lock(e.m_mutex);
        if (e.m_config)
            FcConfigDestroy(static_cast<FcConfig*>(e.m_config));
        e.m_config = nullptr;
    });
}

std::shared_ptr<FaceChain> FontEngine::Resolve(const std::string& face, bool bold, bool italic) {
    std::string key = Lower(face) + (bold ? "|b" : "|r") + (italic ? "i" : "n");
    for (auto& [k, chain] : m_chains)
        if (k == key)
            return chain;
    std::shared_ptr<FaceChain> chain = Match(face, bold, italic);
    if (chain->faces.empty() && Lower(face) != "dejavu sans")
        chain = Match("DejaVu Sans", bold, italic);
    m_chains.emplace_back(key, chain);
    return chain;
}

std::shared_ptr<FaceEntry> FontEngine::Entry(const std::string& file, int index, bool bold,
                                             bool italic) {
    for (auto& e : m_entries)
        if (e->file == file && e->index == index)
            return e;
    auto e = std::make_shared<FaceEntry>();
    e->file = file;
    e->index = index;
    e->bold = bold;
    e->italic = italic;
    m_entries.push_back(e);
    return e;
}

std::shared_ptr<FaceChain> FontEngine::Match(const std::string& face, bool bold, bool italic) {
    auto chain = std::make_shared<FaceChain>();
    auto* config = static_cast<FcConfig*>(m_config);
    if (!config)
        return chain;
    FcPattern* pat = FcPatternCreate();
    if (!pat)
        return chain;
    if (!face.empty())
        FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(face.c_str()));
    if (IsKoreanFaceName(face))
        FcPatternAddString(pat, FC_LANG, reinterpret_cast<const FcChar8*>("ko"));
    FcPatternAddInteger(pat, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result = FcResultNoMatch;
    FcFontSet* set = FcFontSort(config, pat, FcTrue, nullptr, &result);
    if (set) {
        for (int i = 0; i < set->nfont && chain->faces.size() < kMaxChainFaces; ++i) {
            FcPattern* f = set->fonts[i];
            FcChar8* file = nullptr;
            int index = 0, weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
            FcBool scalable = FcFalse;
            if (FcPatternGetString(f, FC_FILE, 0, &file) != FcResultMatch || !file)
                continue;
            if (FcPatternGetBool(f, FC_SCALABLE, 0, &scalable) == FcResultMatch && !scalable)
                continue;
            FcPatternGetInteger(f, FC_INDEX, 0, &index);
            FcPatternGetInteger(f, FC_WEIGHT, 0, &weight);
            FcPatternGetInteger(f, FC_SLANT, 0, &slant);
            auto e = Entry(reinterpret_cast<const char*>(file), index, weight >= FC_WEIGHT_DEMIBOLD,
                           slant != FC_SLANT_ROMAN);
            if (!Open(*e))
                continue;
            if (chain->faces.empty()) {
                FcChar8* family = nullptr;
                if (FcPatternGetString(f, FC_FAMILY, 0, &family) == FcResultMatch && family)
                    chain->family = reinterpret_cast<const char*>(family);
            }
            chain->faces.push_back(e);
        }
        FcFontSetDestroy(set);
    }
    FcPatternDestroy(pat);
    return chain;
}

bool FontEngine::Open(FaceEntry& e) {
    if (e.face)
        return true;
    if (e.openFailed || !m_library)
        return false;
    if (FT_New_Face(m_library, e.file.c_str(), e.index, &e.face) != 0 || !e.face ||
        !FT_IS_SCALABLE(e.face)) {
        if (e.face)
            FT_Done_Face(e.face);
        e.face = nullptr;
        e.openFailed = true;
        return false;
    }
    FT_Select_Charmap(e.face, FT_ENCODING_UNICODE);
    return true;
}

} // namespace plat::text
