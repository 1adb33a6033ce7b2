// DrawTextW: alignment in the rectangle, word breaking, the calculated rectangle, prefixes,
// clipping to the rectangle and the return value.
#include "text_test_support.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

struct Canvas {
    Canvas(int w, int h) : dib(w, h), width(w), height(h), font(dib.dc(), -16) {
        dib.Fill(kWhite);
        SetTextColor(dib.dc(), RGB(0, 0, 0));
        SetBkMode(dib.dc(), TRANSPARENT);
        GetTextMetricsW(dib.dc(), &tm);
    }
    RECT Ink() const { return InkBox(dib, width, height, kWhite); }
    int Width(const char16_t* s) const {
        SIZE size{};
        GetTextExtentPoint32W(dib.dc(), s, static_cast<int>(std::char_traits<char16_t>::length(s)),
                              &size);
        return size.cx;
    }
    TestDib dib;
    int width, height;
    TestFont font;
    TEXTMETRICW tm{};
};

} // namespace

TEST(TextDrawText, HorizontalAlignmentPlacesTheInk) {
    Canvas c(200, 40);
    const int w = c.Width(u"Placed");
    RECT rc{20, 5, 180, 35};
    DrawTextW(c.dib.dc(), u"Placed", -1, &rc, DT_LEFT | DT_SINGLELINE);
    RECT left = c.Ink();
    c.dib.Fill(kWhite);
    DrawTextW(c.dib.dc(), u"Placed", -1, &rc, DT_RIGHT | DT_SINGLELINE);
    RECT right = c.Ink();
    c.dib.Fill(kWhite);
    DrawTextW(c.dib.dc(), u"Placed", -1, &rc, DT_CENTER | DT_SINGLELINE);
    RECT centre = c.Ink();
    EXPECT_NEAR(left.left, 20, 2);
    EXPECT_NEAR(right.right, 180, 2);
    EXPECT_EQ(right.left - left.left, 160 - w);
    EXPECT_EQ(centre.left - left.left, (160 - w) / 2);
    EXPECT_EQ(left.top, right.top);
    EXPECT_EQ(left.top, centre.top);
}

TEST(TextDrawText, VerticalPlacementAndReturnValue) {
    Canvas c(120, 60);
    const int h = c.tm.tmHeight;
    RECT rc{0, 4, 120, 56};
    c.dib.Fill(kWhite);
    SetBkMode(c.dib.dc(), OPAQUE);
    SetBkColor(c.dib.dc(), RGB(0, 0, 255));
    EXPECT_EQ(DrawTextW(c.dib.dc(), u"Top", -1, &rc, DT_SINGLELINE), h);
    EXPECT_EQ(c.Ink().top, 4);
    EXPECT_EQ(c.Ink().bottom, 4 + h);
    c.dib.Fill(kWhite);
    int top = 4 + (52 - h) / 2;
    EXPECT_EQ(DrawTextW(c.dib.dc(), u"Mid", -1, &rc, DT_SINGLELINE | DT_VCENTER), top + h - 4);
    EXPECT_EQ(c.Ink().top, top);
    c.dib.Fill(kWhite);
    EXPECT_EQ(DrawTextW(c.dib.dc(), u"Low", -1, &rc, DT_SINGLELINE | DT_BOTTOM), 52);
    EXPECT_EQ(c.Ink().bottom, 56);
    // Without DT_SINGLELINE the vertical flags do nothing.
    c.dib.Fill(kWhite);
    EXPECT_EQ(DrawTextW(c.dib.dc(), u"Low", -1, &rc, DT_BOTTOM), h);
    EXPECT_EQ(c.Ink().top, 4);
}

TEST(TextDrawText, CalcRectWithWordBreak) {
    Canvas c(10, 10);
    const int h = c.tm.tmHeight;
    const char16_t* text = u"one two three four five six";
    const int wide = c.Width(text);
    // Wide enough for everything: one line, exactly the text's extent.
    RECT rc{3, 7, 3 + wide + 50, 8};
    EXPECT_EQ(DrawTextW(c.dib.dc(), text, -1, &rc, DT_CALCRECT | DT_WORDBREAK), h);
    EXPECT_EQ(rc.left, 3);
    EXPECT_EQ(rc.top, 7);
    EXPECT_EQ(rc.right, 3 + wide);
    EXPECT_EQ(rc.bottom, 7 + h);
    // Room for "one two three" but not "four": breaks after "three", spaces swallowed.
    const int limit = c.Width(u"one two three four") - 1;
    rc = RECT{0, 0, limit, 0};
    int got = DrawTextW(c.dib.dc(), text, -1, &rc, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(got, 2 * h);
    EXPECT_EQ(rc.bottom, 2 * h);
    EXPECT_EQ(rc.right, std::max(c.Width(u"one two three"), c.Width(u"four five six")));
    EXPECT_LE(rc.right, limit);
    // A word longer than the line stays whole and widens the rectangle.
    rc = RECT{0, 0, 10, 0};
    EXPECT_EQ(DrawTextW(c.dib.dc(), u"unbreakable ok", -1, &rc, DT_CALCRECT | DT_WORDBREAK), 2 * h);
    EXPECT_EQ(rc.right, c.Width(u"unbreakable"));
    // ... unless the edit-control rule breaks it.
    rc = RECT{0, 0, c.Width(u"unbr"), 0};
    DrawTextW(c.dib.dc(), u"unbreakable", -1, &rc, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL);
    EXPECT_GE(rc.bottom, 3 * h);
    EXPECT_LE(rc.right, c.Width(u"unbr"));
    // Line breaks start lines; a final line break adds none.
    rc = RECT{0, 0, 500, 0};
    EXPECT_EQ(DrawTextW(c.dib.dc(), u"a\r\nbb\n\nc\n", -1, &rc, DT_CALCRECT), 4 * h);
    EXPECT_EQ(rc.right, c.Width(u"bb"));
    rc = RECT{0, 0, 500, 0};
    EXPECT_EQ(DrawTextW(c.dib.dc(), u"a\nbb", -1, &rc, DT_CALCRECT | DT_SINGLELINE), h);
    EXPECT_EQ(rc.right, c.Width(u"abb"));
    rc = RECT{5, 5, 500, 500};
    EXPECT_EQ(DrawTextW(c.dib.dc(), u"", -1, &rc, DT_CALCRECT), 0);
    EXPECT_EQ(rc.right, 5);
    EXPECT_EQ(rc.bottom, 5);
}

TEST(TextDrawText, WrappedLinesDrawWhereCalcRectSays) {
    Canvas c(120, 120);
    const char16_t* text = u"한글 단어가 여러 줄로 나뉘어 그려진다";
    RECT calc{10, 10, 90, 10};
    int h = DrawTextW(c.dib.dc(), text, -1, &calc, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    EXPECT_GE(h, 2 * c.tm.tmHeight);
    RECT rc{10, 10, 90, 120};
    EXPECT_EQ(DrawTextW(c.dib.dc(), text, -1, &rc, DT_WORDBREAK | DT_NOPREFIX), h);
    RECT ink = c.Ink();
    EXPECT_GE(ink.left, 10);
    EXPECT_LE(ink.right, calc.right + 1);
    EXPECT_GE(ink.top, 10);
    EXPECT_LE(ink.bottom, calc.bottom);
    EXPECT_GT(ink.bottom, calc.bottom - c.tm.tmHeight);
}

TEST(TextDrawText, ClipsToTheRectangleUnlessNoClip) {
    Canvas c(120, 30);
    RECT rc{10, 0, 40, 30};
    DrawTextW(c.dib.dc(), u"Clipped away", -1, &rc, DT_SINGLELINE);
    RECT ink = c.Ink();
    EXPECT_GE(ink.left, 10);
    EXPECT_LE(ink.right, 40);
    EXPECT_GT(ink.right, 35);
    c.dib.Fill(kWhite);
    DrawTextW(c.dib.dc(), u"Clipped away", -1, &rc, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(c.Ink().right, 60);
    // The context's own clip still holds with DT_NOCLIP.
    c.dib.Fill(kWhite);
    IntersectClipRect(c.dib.dc(), 0, 0, 50, 30);
    DrawTextW(c.dib.dc(), u"Clipped away", -1, &rc, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_LE(c.Ink().right, 50);
}

TEST(TextDrawText, PrefixUnderlinesTheNextCharacter) {
    Canvas c(100, 30);
    RECT rc{0, 0, 100, 30};
    DrawTextW(c.dib.dc(), u"&File", -1, &rc, DT_SINGLELINE);
    RECT prefixed = c.Ink();
    // The underline runs under F's advance only, below the baseline.
    const int f = c.Width(u"F");
    const int underlineRow = prefixed.bottom - 1;
    EXPECT_GE(underlineRow, c.tm.tmAscent);
    EXPECT_LT(underlineRow, c.tm.tmHeight);
    EXPECT_EQ(CountColor(c.dib, RECT{0, underlineRow, f, underlineRow + 1}, RGB(0, 0, 0)), f);
    EXPECT_EQ(CountColor(c.dib, RECT{f, underlineRow, 100, underlineRow + 1}, kWhite), 100 - f);
    c.dib.Fill(kWhite);
    DrawTextW(c.dib.dc(), u"File", -1, &rc, DT_SINGLELINE);
    RECT plain = c.Ink();
    // The & takes no room.
    EXPECT_LE(prefixed.left, plain.left);
    EXPECT_EQ(prefixed.right, plain.right);
    EXPECT_LT(plain.bottom, prefixed.bottom);

    // "&&" is one ampersand and underlines nothing; DT_NOPREFIX draws the & itself.
    c.dib.Fill(kWhite);
    RECT calc{0, 0, 100, 0};
    DrawTextW(c.dib.dc(), u"A&&B", -1, &calc, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(calc.right, c.Width(u"A&B"));
    calc = RECT{0, 0, 100, 0};
    DrawTextW(c.dib.dc(), u"&File", -1, &calc, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(calc.right, c.Width(u"&File"));
    DrawTextW(c.dib.dc(), u"&File", -1, &rc, DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(c.Ink().right, plain.right + c.Width(u"&"));
    // DT_HIDEPREFIX drops the & without the underline.
    c.dib.Fill(kWhite);
    DrawTextW(c.dib.dc(), u"&File", -1, &rc, DT_SINGLELINE | DT_HIDEPREFIX);
    EXPECT_EQ(c.Ink().bottom, plain.bottom);
}

TEST(TextDrawText, EndEllipsisFitsTheRectangle) {
    Canvas c(200, 30);
    RECT rc{0, 0, 70, 30};
    RECT calc = rc;
    DrawTextW(c.dib.dc(), u"A rather long title", -1, &calc,
              DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_LE(calc.right, 70);
    EXPECT_GT(calc.right, 70 - c.Width(u"W") - 1);
    DrawTextW(c.dib.dc(), u"A rather long title", -1, &rc,
              DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOCLIP);
    EXPECT_LE(c.Ink().right, 70);
}

TEST(TextDrawText, BadArguments) {
    Canvas c(10, 10);
    RECT rc{0, 0, 10, 10};
    EXPECT_EQ(DrawTextW(c.dib.dc(), nullptr, 4, &rc, 0), 0);
    EXPECT_EQ(DrawTextW(c.dib.dc(), u"x", 1, nullptr, 0), 0);
    EXPECT_EQ(DrawTextW(nullptr, u"x", 1, &rc, 0), 0);
    EXPECT_EQ(DrawTextW(c.dib.dc(), u"xyz", 0, &rc, 0), 0);
}
