// Text objects of a page: drawn with the context's font in their colour on their line, and
// text files laid out as background text on successive lines, wrapped at the line width and
// carried from page to page. Expected layouts are worked out here from the measuring calls.
#include "fundo/GStringFile.h"
#include "inkra/InkraPage.h"

#include "TestDevice.h"
#include "ink_page_support.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>

#include <fstream>
#include <string>
#include <vector>

namespace {

using inktest::SameRect;

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr COLORREF kPaper = RGB(250, 250, 230);
constexpr COLORREF kInk = RGB(200, 0, 40);

// A 24-bit picture with a memory context over it and a hard-edged font selected, so that
// glyph pixels are exactly the text colour.
struct Canvas {
    GDib dib;
    HDC dc = nullptr;
    HGDIOBJ oldBitmap = nullptr;
    HFONT font = nullptr;
    HGDIOBJ oldFont = nullptr;

    Canvas() {
        dib.Create(kWidth, kHeight, 24);
        dib.SetBackColor(kPaper, 255);
        dc = CreateCompatibleDC(nullptr);
        oldBitmap = SelectObject(dc, dib.GetSafeHandle());
        font = CreateFontW(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                           NONANTIALIASED_QUALITY, 0, u"DejaVu Sans");
        oldFont = SelectObject(dc, font);
    }
    ~Canvas() {
        SelectObject(dc, oldFont);
        SelectObject(dc, oldBitmap);
        DeleteObject(font);
        DeleteDC(dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    COLORREF At(int x, int y) const {
        const BYTE* p =
            dib.GetBits() + static_cast<size_t>(dib.Height() - 1 - y) * dib.GetLineSize() + 3 * x;
        return RGB(p[2], p[1], p[0]);
    }
    // Text drawn the way a text object is shown on rect: moved down so that the first
    // character's height sits in the middle, transparent, in colour.
    void Reference(const std::u16string& text, tagRECT rect, UINT format, COLORREF colour) {
        SIZE first{};
        GetTextExtentPoint32W(dc, text.c_str(), 1, &first);
        rect.top += (rect.bottom - rect.top - first.cy) / 2 + 1;
        SetTextColor(dc, colour);
        SetBkMode(dc, TRANSPARENT);
        DrawTextW(dc, text.c_str(), -1, &rect, format | DT_NOPREFIX);
    }
    int Width(const std::u16string& text) {
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        return size.cx;
    }
};

bool SameBits(const GDib& a, const GDib& b) {
    return std::memcmp(a.GetBits(), b.GetBits(),
                       static_cast<size_t>(a.GetLineSize()) * a.Height()) == 0;
}

GDObject* MakeText(const char16_t* text, tagRECT bounds, COLORREF colour,
                   BYTE format = INK_BACK_TEXT_FORMAT) {
    GDObject* object = AllocGDObject();
    object->kind = DO_TEXT;
    object->textFormat = format;
    object->SetColor(colour);
    object->bounds = bounds;
    object->SetTextData(text);
    return object;
}

class PageText : public ::testing::Test {
protected:
    void SetUp() override {
        back.Create(kWidth, kHeight, 24);
        back.SetBackColor(kPaper, 255);
        mask.assign(static_cast<size_t>(kWidth) * kHeight, 0);
        MatrixIdentity(&identity);
        page.AttachDrawMan(&canvas.dib, &back, mask.data(), tagRECT{0, 0, kWidth, kHeight},
                           INK_LINE_FACTOR, INK_DIVIDE_FACTOR, 0);
    }
    void TearDown() override {
        while (page.GetAttachCount() > 0)
            page.DetachDrawMan();
        page.RemoveAllGDObject();
        page.RemoveAllBackTextObject();
    }
    // Every pixel that is not paper lies inside r.
    bool InkOnlyInside(const tagRECT& r) const {
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (canvas.At(x, y) != kPaper &&
                    (x < r.left || x >= r.right || y < r.top || y >= r.bottom))
                    return false;
        return true;
    }
    int Count(COLORREF colour) const {
        int n = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                n += canvas.At(x, y) == colour;
        return n;
    }

    Canvas canvas;
    Canvas expected;
    GDib back;
    std::vector<BYTE> mask;
    MATRIX identity;
    InkraPage page;
};

TEST_F(PageText, TextIsDrawnInItsColourCentredOnItsRectangle) {
    const tagRECT bounds{20, 30, 260, 60};
    GDObject* text = MakeText(u"Memo & list", bounds, kInk);
    page.AddGDObject(text);
    SetTextColor(canvas.dc, RGB(1, 2, 3));
    SetBkMode(canvas.dc, OPAQUE);

    tagRECT r = page.DrawGDObject(canvas.dc, text, &identity, &identity);
    EXPECT_TRUE(SameRect(r, tagRECT{0, 0, 0, 0}));
    expected.Reference(u"Memo & list", bounds, INK_BACK_TEXT_FORMAT, kInk);
    EXPECT_TRUE(SameBits(canvas.dib, expected.dib));
    // The ampersand is drawn, not taken for a mnemonic: the text is wider than without it.
    EXPECT_GT(Count(kInk), 50);
    EXPECT_TRUE(InkOnlyInside(bounds));
    // The context is left as it was found.
    EXPECT_EQ(GetTextColor(canvas.dc), RGB(1, 2, 3));
    EXPECT_EQ(GetBkMode(canvas.dc), OPAQUE);
    // Text keeps its bounds: they are its line, not its ink.
    EXPECT_TRUE(SameRect(text->bounds, bounds));
}

TEST_F(PageText, FormatAndViewMatrixPlaceTheText) {
    const tagRECT bounds{0, 10, 200, 40};
    GDObject* text = MakeText(u"Centred", bounds, RGB(0, 0, 255), DT_SINGLELINE | DT_CENTER);
    page.AddGDObject(text);
    MATRIX view = identity, inverse;
    view.dx = 40 * FIXED_ONE;
    view.dy = 100 * FIXED_ONE;
    MatrixInvert(&view, &inverse);
    page.DrawGDObject(canvas.dc, text, &view, &inverse);
    expected.Reference(u"Centred", tagRECT{40, 110, 240, 140}, DT_SINGLELINE | DT_CENTER,
                       RGB(0, 0, 255));
    EXPECT_TRUE(SameBits(canvas.dib, expected.dib));
    EXPECT_GT(Count(RGB(0, 0, 255)), 20);
    EXPECT_TRUE(InkOnlyInside(tagRECT{40, 110, 240, 140}));
}

TEST_F(PageText, TextStaysInsideTheValidRectangle) {
    const tagRECT bounds{20, 30, 300, 60};
    GDObject* text = MakeText(u"A line cut by the clip", bounds, kInk);
    page.AddGDObject(text);
    page.SetValidRect(tagRECT{0, 0, 70, kHeight});
    page.DrawGDObject(canvas.dc, text, &identity, &identity);
    expected.Reference(u"A line cut by the clip", bounds, INK_BACK_TEXT_FORMAT, kInk);
    int inside = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            if (x < 70) {
                ASSERT_EQ(canvas.At(x, y), expected.At(x, y)) << x << "," << y;
                inside += canvas.At(x, y) == kInk;
            } else {
                ASSERT_EQ(canvas.At(x, y), kPaper) << x << "," << y;
            }
        }
    EXPECT_GT(inside, 10);
    // The clip set for the drawing is not left on the context.
    RECT box{};
    GetClipBox(canvas.dc, &box);
    EXPECT_EQ(box.right, kWidth);
}

TEST_F(PageText, TextWithAnEmptyRectangleDrawsNothing) {
    // A damaged memo can store empty bounds; their marker values are no place to centre on.
    tagRECT none;
    RectSetEmpty(&none);
    GDObject* text = MakeText(u"Nowhere", none, kInk);
    page.AddGDObject(text);
    page.DrawGDObject(canvas.dc, text, &identity, &identity);
    EXPECT_EQ(Count(kInk), 0);
}

TEST_F(PageText, NothingIsDrawnWithoutTextContextOrOnTheClip) {
    GDObject* empty = MakeText(nullptr, tagRECT{10, 10, 100, 40}, kInk);
    GDObject* text = MakeText(u"Words", tagRECT{10, 10, 100, 40}, kInk);
    GDObject* far = MakeText(u"Far", tagRECT{400, 300, 500, 330}, kInk);
    GDObject* other = MakeText(u"Other", tagRECT{10, 10, 100, 40}, kInk);
    other->kind = 5;
    for (GDObject* o : {empty, text, far, other})
        page.AddGDObject(o);
    page.DrawGDObject(canvas.dc, empty, &identity, &identity);
    page.DrawGDObject(nullptr, text, &identity, &identity);
    page.DrawGDObject(canvas.dc, far, &identity, &identity);
    page.DrawGDObject(canvas.dc, other, &identity, &identity);
    EXPECT_EQ(Count(kPaper), kWidth * kHeight);
}

TEST_F(PageText, PageDrawsTextAmongStrokesAndReportsOnlyStrokes) {
    page.AddGDObject(inktest::MakeStroke(eDOPen, {inktest::Pt(10, 100, 2.0)}, tagRECT{0, 0, 0, 0}));
    page.AddGDObject(MakeText(u"Between", tagRECT{20, 20, 200, 50}, kInk));
    tagRECT r = page.DrawPage(canvas.dc, &identity, &identity);
    // Only the dot's rectangle: text reports nothing drawn.
    EXPECT_LT(r.bottom, 110);
    EXPECT_GT(r.top, 90);
    expected.Reference(u"Between", tagRECT{20, 20, 200, 50}, INK_BACK_TEXT_FORMAT, kInk);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < kWidth; ++x)
            ASSERT_EQ(canvas.At(x, y), expected.At(x, y)) << x << "," << y;
    EXPECT_EQ(canvas.At(10, 100), RGB(0, 0, 0));
}

// ---- Background text laid out from a file ----

void Put(const TestDevice& device, const std::string& name, const std::string& bytes) {
    std::ofstream(device.Host(name), std::ios::binary) << bytes;
}

std::u16string U(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

class BackText : public PageText {
protected:
    void Open(const std::string& bytes) {
        Put(device, "bg.txt", bytes);
        ASSERT_EQ(file.OpenR(u"\\bg.txt"), 1);
    }
    int Lay(InkraPage& target, tagRECT lineRect, int lines) {
        return target.AddBackTextObject(file, canvas.dc, kInk, lineRect, lines, buffer.data(),
                                        position);
    }
    std::u16string TextOf(const InkraPage& p, int i) const {
        const GDObject* o = p.GetBackTextObject(i);
        return o && o->text ? std::u16string(o->text) : std::u16string();
    }
    // The pieces a line is broken into: whole when its drawn width fits, else runs grown one
    // character at a time while they stay narrower than width.
    std::vector<std::u16string> Pieces(const std::u16string& line, int width) {
        RECT calc{0, 0, width, 0};
        DrawTextW(canvas.dc, line.c_str(), -1, &calc, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        if (calc.right - calc.left <= width)
            return {line};
        std::vector<std::u16string> out;
        size_t at = 0;
        while (at < line.size()) {
            size_t n = 1;
            while (at + n < line.size() && canvas.Width(line.substr(at, n + 1)) < width)
                ++n;
            out.push_back(line.substr(at, n));
            at += n;
        }
        return out;
    }

    TestDevice device;
    GStringFile file;
    std::vector<WCHAR> buffer = std::vector<WCHAR>(INK_BACK_TEXT_UNITS, 0);
    int position = 0;
};

TEST_F(BackText, ShortLinesTakeOneLineEachUntilTheFileEnds) {
    Open("First line\nsecond\r\nthird\n");
    const tagRECT line{10, 20, 300, 48};
    EXPECT_EQ(Lay(page, line, 5), 0);
    ASSERT_EQ(page.GetBackTextObjectNum(), 3);
    const char16_t* texts[] = {u"First line", u"second", u"third"};
    for (int i = 0; i < 3; ++i) {
        const GDObject* o = page.GetBackTextObject(i);
        EXPECT_EQ(o->kind, DO_TEXT);
        EXPECT_EQ(o->GetColor(), kInk);
        EXPECT_EQ(o->textFormat, INK_BACK_TEXT_FORMAT);
        EXPECT_EQ(TextOf(page, i), texts[i]);
        EXPECT_TRUE(SameRect(o->bounds, tagRECT{10, 20 + 28 * i, 300, 48 + 28 * i}));
    }
    // Background text is not part of the page's drawing objects.
    EXPECT_EQ(page.GetTotalGDObjectNum(), 0);
    EXPECT_EQ(buffer[0], 0);
}

TEST_F(BackText, AFullPageStopsAndTheNextPageContinues) {
    Open("one\ntwo\nthree\nfour\nfive\n");
    EXPECT_EQ(Lay(page, tagRECT{0, 0, 300, 20}, 3), 1);
    ASSERT_EQ(page.GetBackTextObjectNum(), 3);
    EXPECT_EQ(TextOf(page, 2), u"three");
    InkraPage second;
    EXPECT_EQ(Lay(second, tagRECT{0, 0, 300, 20}, 3), 0);
    ASSERT_EQ(second.GetBackTextObjectNum(), 2);
    EXPECT_EQ(TextOf(second, 0), u"four");
    EXPECT_TRUE(SameRect(second.GetBackTextObject(0)->bounds, tagRECT{0, 0, 300, 20}));
    EXPECT_EQ(TextOf(second, 1), u"five");
    second.RemoveAllBackTextObject();
    EXPECT_EQ(second.GetBackTextObjectNum(), 0);
}

TEST_F(BackText, LongLineWrapsIntoRunsNarrowerThanTheLine) {
    const std::string line = "The quick brown fox jumps over the lazy dog, again and again";
    Open(line + "\nnext\n");
    const int width = 150;
    const std::vector<std::u16string> pieces = Pieces(U(line), width);
    ASSERT_GE(pieces.size(), 3u);
    EXPECT_EQ(Lay(page, tagRECT{5, 0, 5 + width, 30}, 20), 0);
    ASSERT_EQ(page.GetBackTextObjectNum(), static_cast<int>(pieces.size()) + 1);
    std::u16string joined;
    for (size_t i = 0; i < pieces.size(); ++i) {
        EXPECT_EQ(TextOf(page, static_cast<int>(i)), pieces[i]) << i;
        EXPECT_LT(canvas.Width(pieces[i]), width);
        EXPECT_TRUE(SameRect(
            page.GetBackTextObject(static_cast<int>(i))->bounds,
            tagRECT{5, 30 * static_cast<LONG>(i), 5 + width, 30 * static_cast<LONG>(i) + 30}));
        joined += TextOf(page, static_cast<int>(i));
    }
    EXPECT_EQ(joined, U(line));
    EXPECT_EQ(TextOf(page, static_cast<int>(pieces.size())), u"next");
}

TEST_F(BackText, ALineExactlyAsWideAsTheRectangleStaysWhole) {
    const std::u16string line = u"Exactly this wide";
    RECT calc{0, 0, 1000, 0};
    DrawTextW(canvas.dc, line.c_str(), -1, &calc, DT_CALCRECT | DT_SINGLELINE);
    const int width = calc.right - calc.left;
    Open("Exactly this wide\nExactly this wide\n");
    EXPECT_EQ(Lay(page, tagRECT{0, 0, width, 20}, 1), 1);
    ASSERT_EQ(page.GetBackTextObjectNum(), 1);
    EXPECT_EQ(TextOf(page, 0), line);
    InkraPage narrower;
    EXPECT_EQ(Lay(narrower, tagRECT{0, 0, width - 1, 20}, 10), 0);
    EXPECT_GE(narrower.GetBackTextObjectNum(), 2);
    narrower.RemoveAllBackTextObject();
}

TEST_F(BackText, AWrappedLineCarriesOverToTheNextPage) {
    const std::string line = "Pages carry the rest of a long line to the next page of the memo";
    Open(line + "\n");
    const int width = 120;
    const std::vector<std::u16string> pieces = Pieces(U(line), width);
    ASSERT_GE(pieces.size(), 3u);
    EXPECT_EQ(Lay(page, tagRECT{0, 0, width, 24}, 2), 1);
    ASSERT_EQ(page.GetBackTextObjectNum(), 2);
    EXPECT_EQ(TextOf(page, 1), pieces[1]);
    // The carry holds the line and where it stopped.
    EXPECT_EQ(std::u16string(buffer.data()), U(line));
    EXPECT_EQ(position, static_cast<int>(pieces[0].size() + pieces[1].size()));
    InkraPage second;
    EXPECT_EQ(Lay(second, tagRECT{0, 0, width, 24}, 20), 0);
    ASSERT_EQ(second.GetBackTextObjectNum(), static_cast<int>(pieces.size()) - 2);
    EXPECT_EQ(TextOf(second, 0), pieces[2]);
    EXPECT_TRUE(SameRect(second.GetBackTextObject(0)->bounds, tagRECT{0, 0, width, 24}));
    second.RemoveAllBackTextObject();
}

TEST_F(BackText, BlankLinesTakeALineAndCountTowardsThePage) {
    Open("a\n\n\nb\nc\n");
    EXPECT_EQ(Lay(page, tagRECT{0, 0, 200, 10}, 4), 1);
    ASSERT_EQ(page.GetBackTextObjectNum(), 2);
    EXPECT_EQ(TextOf(page, 1), u"b");
    EXPECT_TRUE(SameRect(page.GetBackTextObject(1)->bounds, tagRECT{0, 30, 200, 40}));
    InkraPage second;
    EXPECT_EQ(Lay(second, tagRECT{0, 0, 200, 10}, 4), 0);
    EXPECT_EQ(second.GetBackTextObjectNum(), 1);
    EXPECT_EQ(TextOf(second, 0), u"c");
    second.RemoveAllBackTextObject();
}

TEST_F(BackText, ALineTooNarrowForAnyCharacterStillLosesNoText) {
    Open("abc\n");
    EXPECT_EQ(Lay(page, tagRECT{0, 0, 1, 10}, 10), 0);
    ASSERT_EQ(page.GetBackTextObjectNum(), 3);
    EXPECT_EQ(TextOf(page, 0), u"a");
    EXPECT_EQ(TextOf(page, 2), u"c");
}

TEST_F(BackText, UnicodeLinesNeverSplitACharacter) {
    // UTF-16LE with a byte-order mark: Hangul and one character outside the basic plane.
    const std::u16string line = u"가나다\U0001F600라마바\U0001F600사";
    std::string bytes("\xFF\xFE", 2);
    for (char16_t c : line + u"\n") {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    Open(bytes);
    const int width = canvas.Width(u"가나") + 1;
    EXPECT_EQ(Lay(page, tagRECT{0, 0, width, 20}, 20), 0);
    std::u16string joined;
    for (int i = 0; i < page.GetBackTextObjectNum(); ++i) {
        const std::u16string piece = TextOf(page, i);
        ASSERT_FALSE(piece.empty());
        EXPECT_FALSE(piece.back() >= 0xD800 && piece.back() <= 0xDBFF) << i;
        joined += piece;
    }
    EXPECT_EQ(joined, line);
    EXPECT_GE(page.GetBackTextObjectNum(), 4);
}

TEST_F(BackText, BadArgumentsAndNoLines) {
    Open("kept\n");
    EXPECT_EQ(page.AddBackTextObject(file, nullptr, kInk, tagRECT{0, 0, 100, 10}, 3, buffer.data(),
                                     position),
              0);
    EXPECT_EQ(
        page.AddBackTextObject(file, canvas.dc, kInk, tagRECT{0, 0, 100, 10}, 3, nullptr, position),
        0);
    EXPECT_EQ(Lay(page, tagRECT{0, 0, 100, 10}, 0), 1);
    EXPECT_EQ(page.GetBackTextObjectNum(), 0);
    // None of them read the file.
    EXPECT_EQ(Lay(page, tagRECT{0, 0, 100, 10}, 1), 1);
    EXPECT_EQ(TextOf(page, 0), u"kept");
    // A carry position past the line is not trusted.
    InkraPage second;
    std::u16string carried = u"carried";
    std::copy(carried.begin(), carried.end(), buffer.begin());
    position = 500;
    EXPECT_EQ(Lay(second, tagRECT{0, 0, 200, 10}, 1), 1);
    EXPECT_EQ(TextOf(second, 0), u"carried");
    second.RemoveAllBackTextObject();
}

TEST_F(BackText, TemplateAreaGivesTheFirstLineAtItsTop) {
    Open("title area\nsecond\n");
    EXPECT_EQ(page.AddBackTextObject(file, canvas.dc, kInk, tagRECT{130, 80, 790, 0}, 28, 19,
                                     buffer.data(), position),
              0);
    ASSERT_EQ(page.GetBackTextObjectNum(), 2);
    EXPECT_TRUE(SameRect(page.GetBackTextObject(0)->bounds, tagRECT{130, 80, 790, 108}));
    EXPECT_TRUE(SameRect(page.GetBackTextObject(1)->bounds, tagRECT{130, 108, 790, 136}));
}

TEST_F(BackText, BackgroundTextIsDrawnOnlyByItsOwnCall) {
    Open("upper\nlower\n");
    EXPECT_EQ(Lay(page, tagRECT{10, 10, 300, 40}, 2), 1);
    page.DrawPage(canvas.dc, &identity, &identity);
    EXPECT_EQ(Count(kPaper), kWidth * kHeight);
    tagRECT r = page.DrawTextBackgound(canvas.dc, &identity, &identity);
    EXPECT_TRUE(SameRect(r, tagRECT{0, 0, 0, 0}));
    expected.Reference(u"upper", tagRECT{10, 10, 300, 40}, INK_BACK_TEXT_FORMAT, kInk);
    expected.Reference(u"lower", tagRECT{10, 40, 300, 70}, INK_BACK_TEXT_FORMAT, kInk);
    EXPECT_TRUE(SameBits(canvas.dib, expected.dib));
    EXPECT_TRUE(InkOnlyInside(tagRECT{10, 10, 300, 70}));
    page.RemoveAllBackTextObject();
    EXPECT_EQ(page.GetBackTextObjectNum(), 0);
}

} // namespace
