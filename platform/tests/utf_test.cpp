#include <platform/utf.h>

#include <gtest/gtest.h>

TEST(Utf, RoundTripsHangulAndAstralCharacters) {
    const std::u16string text = u"메모 Pad \U0001F58A";
    EXPECT_EQ(plat::ToUtf8(text), "메모 Pad \U0001F58A");
    EXPECT_EQ(plat::FromUtf8(plat::ToUtf8(text)), text);
}

TEST(Utf, MalformedInputBecomesReplacementCharacter) {
    EXPECT_EQ(plat::FromUtf8("a\xFF"
                             "b"),
              u"a\uFFFDb");
    EXPECT_EQ(plat::FromUtf8("\xE2\x82"), u"\uFFFD\uFFFD"); // truncated sequence
    EXPECT_EQ(plat::FromUtf8("\xC0\xAF"), u"\uFFFD");       // overlong '/'
    EXPECT_EQ(plat::FromUtf8("\xED\xA0\x80"), u"\uFFFD");   // encoded surrogate
    const char16_t lone[] = {u'x', 0xD800, u'y', 0};
    EXPECT_EQ(plat::ToUtf8(lone), "x\xEF\xBF\xBDy");
    EXPECT_EQ(plat::ToUtf8(static_cast<LPCWSTR>(nullptr)), "");
}
