// Fonts as GDI objects, their resolution to installed faces, and their metrics.
#include "../src/font_engine.h"
#include "text_test_support.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

LOGFONTW MakeLogFont(int height, const char16_t* face) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = FW_BOLD;
    lf.lfItalic = 1;
    lf.lfCharSet = HANGUL_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    for (int i = 0; face[i]; ++i)
        lf.lfFaceName[i] = face[i];
    return lf;
}

TEXTMETRICW Metrics(HDC dc) {
    TEXTMETRICW tm{};
    EXPECT_TRUE(GetTextMetricsW(dc, &tm));
    return tm;
}

int Width(HDC dc, const char16_t* s) {
    SIZE size{};
    EXPECT_TRUE(GetTextExtentPoint32W(
        dc, s, static_cast<int>(std::char_traits<char16_t>::length(s)), &size));
    return size.cx;
}

} // namespace

TEST(TextFontObject, GetObjectReturnsTheLogFont) {
    LOGFONTW lf = MakeLogFont(-17, u"굴림");
    HFONT f = CreateFontIndirectW(&lf);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(GetObjectType(f), static_cast<DWORD>(OBJ_FONT));
    EXPECT_EQ(GetObjectW(f, 0, nullptr), static_cast<int>(sizeof(LOGFONTW)));
    LOGFONTW back{};
    ASSERT_EQ(GetObjectW(f, sizeof(back), &back), static_cast<int>(sizeof(LOGFONTW)));
    EXPECT_EQ(back.lfHeight, -17);
    EXPECT_EQ(back.lfWeight, FW_BOLD);
    EXPECT_EQ(back.lfItalic, 1);
    EXPECT_EQ(back.lfCharSet, HANGUL_CHARSET);
    EXPECT_EQ(std::u16string(back.lfFaceName), u"굴림");
    EXPECT_TRUE(DeleteObject(f));
    EXPECT_EQ(GetObjectType(f), 0u);
}

TEST(TextFontObject, CreateFontWFillsEveryFieldAndCutsLongNames) {
    HFONT f = CreateFontW(20, 7, 0, 0, FW_SEMIBOLD, 0, 1, 1, DEFAULT_CHARSET, 0, 0,
                          NONANTIALIASED_QUALITY, FIXED_PITCH,
                          u"A face name far longer than thirty-two characters");
    LOGFONTW lf{};
    ASSERT_EQ(GetObjectW(f, sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
    EXPECT_EQ(lf.lfHeight, 20);
    EXPECT_EQ(lf.lfWidth, 7);
    EXPECT_EQ(lf.lfWeight, FW_SEMIBOLD);
    EXPECT_EQ(lf.lfUnderline, 1);
    EXPECT_EQ(lf.lfStrikeOut, 1);
    EXPECT_EQ(lf.lfQuality, NONANTIALIASED_QUALITY);
    EXPECT_EQ(lf.lfPitchAndFamily, FIXED_PITCH);
    EXPECT_EQ(std::char_traits<char16_t>::length(lf.lfFaceName), size_t{LF_FACESIZE - 1});
    DeleteObject(f);
}

TEST(TextFontObject, SelectedFontOutlivesDeleteUntilDeselected) {
    TestDib dib(60, 30);
    HFONT f = CreateFontW(-14, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, u"Tahoma");
    HGDIOBJ old = SelectObject(dib.dc(), f);
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(GetObjectType(old), static_cast<DWORD>(OBJ_FONT));
    EXPECT_TRUE(DeleteObject(f));
    EXPECT_EQ(GetCurrentObject(dib.dc(), OBJ_FONT), f);
    EXPECT_EQ(Metrics(dib.dc()).tmHeight - Metrics(dib.dc()).tmInternalLeading, 14);
    EXPECT_EQ(SelectObject(dib.dc(), old), f);
    EXPECT_EQ(GetObjectType(f), 0u);
}

TEST(TextFontObject, StockSystemFontIsTheDefaultAndSurvivesDelete) {
    HGDIOBJ sys = GetStockObject(SYSTEM_FONT);
    ASSERT_NE(sys, nullptr);
    EXPECT_EQ(GetObjectType(sys), static_cast<DWORD>(OBJ_FONT));
    LOGFONTW lf{};
    ASSERT_EQ(GetObjectW(sys, sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
    EXPECT_EQ(std::u16string(lf.lfFaceName), u"Tahoma");
    DeleteObject(sys);
    EXPECT_EQ(GetObjectType(sys), static_cast<DWORD>(OBJ_FONT));

    TestDib dib(40, 20);
    EXPECT_EQ(GetCurrentObject(dib.dc(), OBJ_FONT), sys);
    EXPECT_GT(Metrics(dib.dc()).tmHeight, 0);
    EXPECT_GT(Width(dib.dc(), u"Menu"), 0);
    WCHAR face[LF_FACESIZE] = {};
    EXPECT_EQ(GetTextFaceW(dib.dc(), LF_FACESIZE, face), 6);
    EXPECT_EQ(std::u16string(face), u"Tahoma");
    EXPECT_EQ(GetTextFaceW(dib.dc(), 0, nullptr), 7);
    EXPECT_EQ(GetTextFaceW(dib.dc(), 3, face), 2);
    EXPECT_EQ(std::u16string(face), u"Ta");
}

TEST(TextFontResolution, KoreanNamesResolveToAFaceWithHangul) {
    auto& engine = plat::text::FontEngine::Get();
    std::lock_guard<std::mutex> lock(engine.Lock());
    for (const char* name : {"굴림", "Gulim", "돋움"}) {
        auto chain = engine.Resolve(name, false, false);
        ASSERT_FALSE(chain->faces.empty()) << name;
        EXPECT_NE(chain->faces[0]->GlyphIndex(U'가'), 0u) << name;
        EXPECT_NE(chain->faces[0]->GlyphIndex(U'A'), 0u) << name;
    }
    // A Latin face keeps a Hangul face behind it for the characters it lacks.
    auto tahoma = engine.Resolve("Tahoma", false, false);
    ASSERT_FALSE(tahoma->faces.empty());
    EXPECT_NE(tahoma->faces[0]->GlyphIndex(U'A'), 0u);
    bool hangul = false;
    for (auto& f : tahoma->faces)
        hangul = hangul || f->GlyphIndex(U'한') != 0;
    EXPECT_TRUE(hangul);
    // The same request gives the same chain; an unknown name still gives faces.
    EXPECT_EQ(engine.Resolve("tahoma", false, false), tahoma);
    EXPECT_FALSE(engine.Resolve("No Such Face Anywhere", true, false)->faces.empty());
}

TEST(TextFontResolution, HangulThroughALatinFaceDrawsRealGlyphs) {
    TestDib a(40, 30), b(40, 30);
    for (TestDib* d : {&a, &b}) {
        d->Fill(RGB(255, 255, 255));
        SetBkMode(d->dc(), TRANSPARENT);
    }
    TestFont fa(a.dc(), -20), fb(b.dc(), -20);
    ExtTextOutW(a.dc(), 2, 2, 0, nullptr, u"가", 1, nullptr);
    ExtTextOutW(b.dc(), 2, 2, 0, nullptr, u"각", 1, nullptr);
    RECT ia = InkBox(a, 40, 30, RGB(255, 255, 255));
    EXPECT_GT(ia.right - ia.left, 8);
    EXPECT_GT(ia.bottom - ia.top, 8);
    // A missing-glyph box would look the same for both syllables.
    bool differ = false;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            differ = differ || a.At(x, y) != b.At(x, y);
    EXPECT_TRUE(differ);
}

TEST(TextFontMetrics, HeightIsAscentPlusDescentAndFollowsTheSignOfLfHeight) {
    TestDib dib(10, 10);
    for (int h : {-9, -12, -16, -23, -40}) {
        TestFont f(dib.dc(), h);
        TEXTMETRICW tm = Metrics(dib.dc());
        EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent) << h;
        EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, -h) << h;
        EXPECT_GT(tm.tmAveCharWidth, 0) << h;
        EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth) << h;
    }
    for (int h : {10, 13, 18, 27, 44}) {
        for (const char16_t* face : {u"Tahoma", u"굴림"}) {
            TestFont f(dib.dc(), h, face);
            TEXTMETRICW tm = Metrics(dib.dc());
            EXPECT_EQ(tm.tmHeight, h);
            EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
            EXPECT_GT(tm.tmAscent, tm.tmDescent);
            SIZE s{};
            GetTextExtentPoint32W(dib.dc(), u"Ag", 2, &s);
            EXPECT_EQ(s.cy, h);
        }
    }
}

TEST(TextFontMetrics, WeightAndWidthChangeTheGlyphs) {
    TestDib dib(10, 10);
    const char16_t* text = u"Bold and wide";
    int normal, bold, wide, avg;
    {
        TestFont f(dib.dc(), -16);
        normal = Width(dib.dc(), text);
        avg = Metrics(dib.dc()).tmAveCharWidth;
        EXPECT_EQ(Metrics(dib.dc()).tmWeight, FW_NORMAL);
    }
    {
        TestFont f(dib.dc(), -16, u"Tahoma", FW_BOLD);
        bold = Width(dib.dc(), text);
        EXPECT_EQ(Metrics(dib.dc()).tmWeight, FW_BOLD);
    }
    {
        HFONT w = CreateFontW(-16, avg * 2, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, u"Tahoma");
        HGDIOBJ old = SelectObject(dib.dc(), w);
        wide = Width(dib.dc(), text);
        EXPECT_NEAR(Metrics(dib.dc()).tmAveCharWidth, avg * 2, 1);
        SelectObject(dib.dc(), old);
        DeleteObject(w);
    }
    EXPECT_GT(bold, normal);
    EXPECT_NEAR(wide, normal * 2, normal / 8);
}

TEST(TextFontQuality, NonAntialiasedDrawsOnlyTheTwoColours) {
    TestDib dib(80, 30);
    dib.Fill(RGB(255, 255, 255));
    SetTextColor(dib.dc(), RGB(0, 0, 200));
    SetBkMode(dib.dc(), TRANSPARENT);
    {
        TestFont f(dib.dc(), -18, u"Tahoma", FW_NORMAL, NONANTIALIASED_QUALITY);
        ExtTextOutW(dib.dc(), 1, 1, 0, nullptr, u"Sharp", 5, nullptr);
    }
    RECT all{0, 0, 80, 30};
    int ink = CountColor(dib, all, RGB(0, 0, 200));
    EXPECT_GT(ink, 30);
    EXPECT_EQ(ink + CountColor(dib, all, RGB(255, 255, 255)), 80 * 30);

    // Antialiased text has edge pixels between the two.
    dib.Fill(RGB(255, 255, 255));
    {
        TestFont f(dib.dc(), -18);
        ExtTextOutW(dib.dc(), 1, 1, 0, nullptr, u"Sharp", 5, nullptr);
    }
    EXPECT_LT(CountColor(dib, all, RGB(0, 0, 200)) + CountColor(dib, all, RGB(255, 255, 255)),
              80 * 30);
}

TEST(TextFontThreads, TwoThreadsDrawingTheSameFontGetTheSamePixels) {
    auto render = [](std::vector<COLORREF>* out) {
        TestDib dib(120, 24);
        dib.Fill(RGB(255, 255, 255));
        SetBkMode(dib.dc(), TRANSPARENT);
        TestFont f(dib.dc(), -15, u"굴림", FW_BOLD);
        for (int i = 0; i < 20; ++i) {
            RECT rc{0, 0, 120, 24};
            DrawTextW(dib.dc(), u"스레드 Thread 안전", -1, &rc, DT_SINGLELINE | DT_NOPREFIX);
        }
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 120; ++x)
                out->push_back(dib.At(x, y));
    };
    std::vector<COLORREF> a, b, c;
    std::thread t1(render, &a), t2(render, &b);
    t1.join();
    t2.join();
    render(&c);
    EXPECT_EQ(a, c);
    EXPECT_EQ(b, c);
}
