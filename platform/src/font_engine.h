// The font engine: one FreeType library and the installed faces found through fontconfig.
// A requested face name resolves to a chain: the face fontconfig matches first, then the
// other installed faces in fontconfig's order, each consulted only for characters the ones
// before it lack. Everything here runs under the engine's one lock, because FreeType faces
// are not safe to share between threads (the preview renderer draws text too).
#pragma once

#include <platform/wintypes.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

typedef struct FT_FaceRec_* FT_Face;
typedef struct FT_LibraryRec_* FT_Library;

namespace plat::text {

// One installed face: its file, its style, and an opened FreeType face (opened on first use).
struct FaceEntry {
    std::string file;
    int index = 0;
    bool bold = false;   // the face itself is bold
    bool italic = false; // the face itself is slanted
    FT_Face face = nullptr;
    bool openFailed = false;

    // The face's glyph for a character, 0 when it has none (or is not open).
    unsigned GlyphIndex(char32_t c) const;
};

struct FaceChain {
    std::string family; // the primary face's family name, for GetTextFaceW with no name
    std::vector<std::shared_ptr<FaceEntry>> faces;
};

class FontEngine {
public:
    static FontEngine& Get();

    // Held by every caller of the functions below and of FreeType.
    std::mutex& Lock() { return m_mutex; }
    FT_Library Library() const { return m_library; }

    // The chain for a face name (UTF-8) and style; the same request gives the same chain.
    std::shared_ptr<FaceChain> Resolve(const std::string& face, bool bold, bool italic);
    // Opens the entry's face; false when FreeType cannot read it.
    bool Open(FaceEntry& e);

private:
    FontEngine();
    std::shared_ptr<FaceChain> Match(const std::string& face, bool bold, bool italic);
    std::shared_ptr<FaceEntry> Entry(const std::string& file, int index, bool bold, bool italic);

    std::mutex m_mutex;
    FT_Library m_library = nullptr;
    void* m_config = nullptr; // FcConfig
    std::vector<std::pair<std::string, std::shared_ptr<FaceChain>>> m_chains;
    std::vector<std::shared_ptr<FaceEntry>> m_entries;
};

// Korean Windows face names (and any name written in Hangul) ask fontconfig for Hangul.
bool IsKoreanFaceName(const std::string& face);

} // namespace plat::text
