#include "winza/GFontManager.h"
#include "winza/Hires.h"

#include <gtest/gtest.h>

#include <string>

namespace {

LOGFONTW Describe(HFONT font) {
    LOGFONTW lf{};
    ::GetObjectW(font, sizeof(lf), &lf);
    return lf;
}

TEST(GFontManager, StandardFontsAreMadeOnceWithTheirHeightAndWeight) {
    GFontManager fonts;
    HFONT f = fonts.GetFont(eFontBold14);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(fonts.GetFont(eFontBold14), f);
    LOGFONTW lf = Describe(f);
    EXPECT_EQ(lf.lfHeight, ApplyHires(14));
    EXPECT_EQ(lf.lfWeight, 700);
    EXPECT_EQ(lf.lfQuality, 5);
    EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(std::u16string(lf.lfFaceName), u"Tahoma");
    EXPECT_EQ(Describe(fonts.GetFont(eFontHeavy20)).lfWeight, 900);
    EXPECT_EQ(Describe(fonts.GetFont(eFontNormal11)).lfHeight, ApplyHires(11));
    EXPECT_EQ(fonts.GetFont(static_cast<eFontType>(15)), nullptr);
    EXPECT_EQ(fonts.GetFont(static_cast<eFontType>(-1)), nullptr);
}

TEST(GFontManager, UserFontsAreFoundByTheirWholeKey) {
    GFontManager fonts;
    const eUserFontType a = fonts.FindUserFont(20, 0, 400, u"Tahoma");
    EXPECT_EQ(a, 0);
    EXPECT_EQ(fonts.FindUserFont(20, 0, 400, u"Tahoma"), a);
    EXPECT_EQ(fonts.FindUserFont(20, 0, 700, u"Tahoma"), 1);
    EXPECT_EQ(fonts.FindUserFont(20, 1, 400, u"Tahoma"), 2);
    EXPECT_EQ(fonts.FindUserFont(21, 0, 400, u"Tahoma"), 3);
    EXPECT_EQ(fonts.FindUserFont(20, 0, 400, u"tahoma"), 4); // faces compare exactly
    EXPECT_EQ(Describe(fonts.GetUserFont(static_cast<eUserFontType>(3))).lfHeight, 21);
    EXPECT_EQ(fonts.GetUserFont(static_cast<eUserFontType>(16)), nullptr);
    EXPECT_EQ(fonts.GetUserFont(eUserFontNone), nullptr);
}

TEST(GFontManager, SeventeenthKeyIsRefusedAndNothingIsMade) {
    GFontManager fonts;
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(fonts.FindUserFont(10 + i, 0, 400, u"Tahoma"), i);
    EXPECT_EQ(fonts.FindUserFont(40, 0, 400, u"Tahoma"), -1);
    // Known keys are still found.
    EXPECT_EQ(fonts.FindUserFont(25, 0, 400, u"Tahoma"), 15);
    fonts.RemoveAllUserFont();
    EXPECT_EQ(fonts.GetUserFont(static_cast<eUserFontType>(0)), nullptr);
    EXPECT_EQ(fonts.FindUserFont(40, 0, 400, u"Tahoma"), 0);
}

TEST(GFontManager, LongFaceNamesAreCutToTheKeyLength) {
    GFontManager fonts;
    const char16_t* longFace = u"AVeryLongFaceNameThatGoesOnAndOnPastTheLimit";
    const eUserFontType a = fonts.FindUserFont(12, 0, 400, longFace);
    ASSERT_EQ(a, 0);
    EXPECT_EQ(fonts.FindUserFont(12, 0, 400, longFace), a);
    EXPECT_EQ(fonts.FindUserFont(12, 0, 400, nullptr), 1);
}

} // namespace
