// Measuring text: extents, fit counts, partial extents, surrogate pairs, and that the
// measured box holds what is drawn.
#include "text_test_support.h"

#include <gtest/gtest.h>

namespace {

SIZE Extent(HDC dc, const char16_t* s, int n) {
    SIZE size{-1, -1};
    EXPECT_TRUE(GetTextExtentPoint32W(dc, s, n, &size));
    return size;
}

} // namespace

TEST(TextExtent, WidthsAddUpAndHeightIsTheCell) {
    TestDib dib(10, 10);
    TestFont f(dib.dc(), -15);
    TEXTMETRICW tm{};
    GetTextMetricsW(dib.dc(), &tm);
    SIZE ab = Extent(dib.dc(), u"AB", 2), a = Extent(dib.dc(), u"A", 1),
         b = Extent(dib.dc(), u"B", 1);
    EXPECT_GT(a.cx, 0);
    EXPECT_EQ(ab.cx, a.cx + b.cx);
    EXPECT_EQ(ab.cy, tm.tmHeight);
    SIZE empty = Extent(dib.dc(), u"", 0);
    EXPECT_EQ(empty.cx, 0);
    EXPECT_EQ(empty.cy, tm.tmHeight);
    EXPECT_GT(Extent(dib.dc(), u"WWW", 3).cx, Extent(dib.dc(), u"iii", 3).cx);
    SIZE s;
    EXPECT_FALSE(GetTextExtentPoint32W(dib.dc(), nullptr, 3, &s));
    EXPECT_FALSE(GetTextExtentPoint32W(dib.dc(), u"abc", -1, &s));
    EXPECT_FALSE(GetTextExtentPoint32W(nullptr, u"abc", 3, &s));
}

TEST(TextExtent, FitCountAndPartialExtents) {
    TestDib dib(10, 10);
    TestFont f(dib.dc(), -14);
    const char16_t* text = u"Hello, world";
    const int n = 12;
    int dx[n] = {};
    int fit = -1;
    SIZE size{};
    ASSERT_TRUE(GetTextExtentExPointW(dib.dc(), text, n, 1 << 20, &fit, dx, &size));
    EXPECT_EQ(fit, n);
    EXPECT_EQ(dx[n - 1], size.cx);
    for (int i = 0; i < n; ++i) {
        EXPECT_EQ(dx[i], Extent(dib.dc(), text, i + 1).cx) << i;
        if (i > 0) {
            EXPECT_GE(dx[i], dx[i - 1]);
        }
    }
    // Exactly the extent of five characters fits five; one pixel less fits four.
    int part[n];
    ASSERT_TRUE(GetTextExtentExPointW(dib.dc(), text, n, dx[4], &fit, part, &size));
    EXPECT_EQ(fit, 5);
    EXPECT_EQ(size.cx, dx[n - 1]);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(part[i], dx[i]);
    ASSERT_TRUE(GetTextExtentExPointW(dib.dc(), text, n, dx[4] - 1, &fit, nullptr, nullptr));
    EXPECT_EQ(fit, 4);
    ASSERT_TRUE(GetTextExtentExPointW(dib.dc(), text, n, 0, &fit, nullptr, nullptr));
    EXPECT_EQ(fit, 0);
    ASSERT_TRUE(GetTextExtentExPointW(dib.dc(), text, n, -5, &fit, nullptr, nullptr));
    EXPECT_EQ(fit, 0);
}

TEST(TextExtent, SurrogatePairsMeasureAsOneCharacter) {
    TestDib dib(10, 10);
    TestFont f(dib.dc(), -16);
    // U+1D400 MATHEMATICAL BOLD CAPITAL A, a character outside the basic plane.
    const char16_t text[] = {u'a', 0xD835, 0xDC00, u'b'};
    int dx[4] = {};
    int fit = 0;
    SIZE size{};
    ASSERT_TRUE(GetTextExtentExPointW(dib.dc(), text, 4, 1 << 20, &fit, dx, &size));
    EXPECT_EQ(fit, 4);
    SIZE a = Extent(dib.dc(), u"a", 1), b = Extent(dib.dc(), u"b", 1);
    SIZE pair = Extent(dib.dc(), text + 1, 2);
    EXPECT_EQ(dx[0], a.cx);
    EXPECT_EQ(dx[1], dx[2]);
    EXPECT_EQ(dx[2], a.cx + pair.cx);
    EXPECT_EQ(size.cx, a.cx + pair.cx + b.cx);
    // A limit that cuts the pair keeps both of its units out.
    ASSERT_TRUE(GetTextExtentExPointW(dib.dc(), text, 4, dx[2] - 1, &fit, nullptr, nullptr));
    EXPECT_EQ(fit, 1);
    // An unpaired surrogate measures as a character of its own, not as nothing.
    const char16_t lone[] = {0xD835, u'x'};
    EXPECT_GT(Extent(dib.dc(), lone, 2).cx, Extent(dib.dc(), u"x", 1).cx);
}

TEST(TextExtent, InkStaysInsideTheMeasuredBox) {
    const char16_t* samples[] = {u"Measured text", u"jiggly Qypq", u"한글 글자 상자",
                                 u"AVAWAY 123"};
    for (const char16_t* face : {u"Tahoma", u"굴림"}) {
        for (const char16_t* s : samples) {
            TestDib dib(220, 40);
            dib.Fill(RGB(255, 255, 255));
            SetBkMode(dib.dc(), TRANSPARENT);
            TestFont f(dib.dc(), -18, face);
            int n = static_cast<int>(std::char_traits<char16_t>::length(s));
            SIZE size = Extent(dib.dc(), s, n);
            ASSERT_TRUE(ExtTextOutW(dib.dc(), 10, 5, 0, nullptr, s, static_cast<UINT>(n), nullptr));
            RECT ink = InkBox(dib, 220, 40, RGB(255, 255, 255));
            // A glyph may overhang its advance by a pixel at either end.
            EXPECT_GE(ink.left, 10 - 1);
            EXPECT_LE(ink.right, 10 + size.cx + 1);
            EXPECT_GT(ink.right - ink.left, size.cx * 3 / 4);
            EXPECT_GE(ink.top, 5);
            EXPECT_LE(ink.bottom, 5 + size.cy);
        }
    }
}
