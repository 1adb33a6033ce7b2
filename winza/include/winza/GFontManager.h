// Creates and keeps the fonts the application draws with: fifteen standard Tahoma fonts and
// sixteen user fonts found by their key. The manager owns every handle it hands out.
#pragma once

#include <windows.h>

// Five heights (11, 13, 14, 18, 20; doubled in high resolution) in three weights.
enum eFontType {
    eFontNormal11 = 0,
    eFontNormal13,
    eFontNormal14,
    eFontNormal18,
    eFontNormal20,
    eFontBold11,
    eFontBold13,
    eFontBold14,
    eFontBold18,
    eFontBold20,
    eFontHeavy11,
    eFontHeavy13,
    eFontHeavy14,
    eFontHeavy18,
    eFontHeavy20,
    eFontTypeCount
};

// A user font slot, 0-15; -1 when none.
enum eUserFontType : int { eUserFontNone = -1, eUserFontCount = 16 };

class GFontManager {
public:
    static constexpr int kFaceLength = 32;

    GFontManager() = default;
    GFontManager(const GFontManager&) = delete;
    GFontManager& operator=(const GFontManager&) = delete;
    ~GFontManager();

    // Made on first request; null for a type outside 0-14.
    HFONT GetFont(eFontType type);
    // The slot with this key, making the font in the first empty slot; -1 when all sixteen
    // hold other keys (or the font cannot be made).
    eUserFontType FindUserFont(int height, int width, int weight, LPCWSTR face);
    HFONT GetUserFont(eUserFontType type) const;
    void RemoveAllFont();
    void RemoveAllUserFont();

private:
    struct UserFont {
        int height;
        int width;
        int weight;
        WCHAR face[kFaceLength];
        HFONT font;
    };

    HFONT m_hFont[eFontTypeCount] = {};
    UserFont m_userFont[eUserFontCount] = {};
};
