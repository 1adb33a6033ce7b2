// The paper drawn under the ink: ruled lines where the template puts them, on real pixels.
#include "scribbo/GPadDrawMan.h"

#include <TestDevice.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kPaper = 0xC0FFFF;

class PadPaper : public ::testing::Test {
protected:
    void SetUp() override {
        dc = CreateCompatibleDC(nullptr);
        InitTemplateHeader(man.GetTemplate(), 0);
    }
    void TearDown() override { DeleteDC(dc); }
    // Draws an 800 x 600 page at 100 % into a buffer of the same size.
    void Draw(DWORD flags) {
        TemplateHeader* t = man.GetTemplate();
        t->PageWidth = 800;
        t->PageHeight = 600;
        t->Flags = flags;
        ASSERT_EQ(man.InitBuffer(dc, 800, 600), 1);
    }
    COLORREF At(int x, int y) { return man.GetPaperBlock()->GetPixelColor(x, y); }
    // Rows of column x (or columns of row y) that are not paper.
    std::vector<int> InkRows(int x) {
        std::vector<int> rows;
        for (int y = 0; y < 600; ++y)
            if (At(x, y) != kPaper)
                rows.push_back(y);
        return rows;
    }
    std::vector<int> InkColumns(int y) {
        std::vector<int> cols;
        for (int x = 0; x < 800; ++x)
            if (At(x, y) != kPaper)
                cols.push_back(x);
        return cols;
    }
    HDC dc = nullptr;
    GPadDrawMan man;
};

// Antialiased thin lines mix ink into the paper: every channel moves from the paper toward
// the ink and none goes past it (one step of blend rounding aside).
::testing::AssertionResult Toward(COLORREF pixel, COLORREF ink) {
    bool moved = false;
    for (int shift = 0; shift < 24; shift += 8) {
        const int p = (pixel >> shift) & 255, k = (ink >> shift) & 255, b = (kPaper >> shift) & 255;
        if (p < std::min(b, k) - 1 || p > std::max(b, k) + 1)
            return ::testing::AssertionFailure()
                   << std::hex << pixel << " is no mix toward " << ink;
        moved = moved || std::abs(p - b) > 1;
    }
    if (!moved)
        return ::testing::AssertionFailure() << "paper where " << std::hex << ink << " belongs";
    return ::testing::AssertionSuccess();
}

std::vector<int> Series(int from, int step, int to) {
    std::vector<int> v;
    for (int i = from; i <= to; i += step)
        v.push_back(i);
    return v;
}

} // namespace

TEST_F(PadPaper, DefaultRulingPutsTitleLineAndWritingLinesOnTheirRows) {
    Draw(eTFTitleLine | eTFTitleColumn | eTFLines);
    std::vector<int> expected{80};
    for (int y : Series(108, 28, 584))
        expected.push_back(y);
    // Left of the title column: only horizontal lines cross x = 50.
    EXPECT_EQ(InkRows(50), expected);
    EXPECT_TRUE(Toward(At(50, 80), 0x3333FF));
    EXPECT_TRUE(Toward(At(50, 108), 0xCC9966));
    EXPECT_TRUE(Toward(At(50, 584), 0xCC9966));
}

TEST_F(PadPaper, TitleColumnLineStartsBelowTheTitleLine) {
    Draw(eTFTitleLine | eTFTitleColumn | eTFLines);
    EXPECT_EQ(InkColumns(90), std::vector<int>{120});
    EXPECT_TRUE(Toward(At(120, 90), 0x5252FF));
    EXPECT_TRUE(Toward(At(120, 599), 0x5252FF));
    // Above the title line the column is paper.
    EXPECT_EQ(At(120, 40), kPaper);
}

TEST_F(PadPaper, ColumnLinesAloneRunFromTheLeftEdge) {
    Draw(eTFColumns);
    EXPECT_EQ(InkColumns(300), Series(28, 28, 784));
    EXPECT_TRUE(Toward(At(28, 0), 0xFFEECE));
    EXPECT_EQ(InkRows(10), std::vector<int>{});
    // With the title line they start below it; switched off, they run from the top again.
    Draw(eTFTitleLine | eTFColumns);
    EXPECT_EQ(At(28, 40), kPaper);
    EXPECT_TRUE(Toward(At(28, 90), 0xFFEECE));
}

TEST_F(PadPaper, ZeroSpacingFromADamagedFileDrawsNoLinesAndEnds) {
    TemplateHeader* t = man.GetTemplate();
    t->LineSpace = 0;
    t->ColumnSpace = 0;
    Draw(eTFLines | eTFColumns);
    EXPECT_EQ(InkRows(50), std::vector<int>{});
    EXPECT_EQ(InkColumns(50), std::vector<int>{});
}

TEST_F(PadPaper, RulingTheTallestPageEnds) {
    // The last writing line of a 32767-pixel page sits where one more spacing passes the
    // 16.16 range; the ruling must still stop there.
    TemplateHeader* t = man.GetTemplate();
    t->PageWidth = 800;
    t->PageHeight = 32767;
    t->Flags = eTFLines | eTFColumns;
    ASSERT_EQ(man.InitBuffer(dc, 800, 600), 1);
    EXPECT_EQ(InkRows(10), Series(28, 28, 588));
    // A page wider than 16.16 holds is ruled as far as it can be, and ends too.
    t->PageWidth = 65535;
    t->ColumnSpace = 255;
    ASSERT_EQ(man.InitBuffer(dc, 800, 600), 1);
}

TEST_F(PadPaper, ZoomDoublesTheLinePositions) {
    Draw(eTFTitleLine);
    man.ZoomTo(200, 1);
    EXPECT_EQ(man.GetZoom(), 200);
    // Title line at page y 80 is buffer y 160, now two pixels wide with its antialiased
    // edge above.
    EXPECT_EQ(InkRows(50), (std::vector<int>{159, 160, 161}));
    EXPECT_TRUE(Toward(At(50, 160), 0x3333FF));
}

TEST_F(PadPaper, PaperIsWhatTheEraserAndRedrawShow) {
    Draw(eTFTitleLine);
    man.SetCurPage(0, 1);
    EXPECT_TRUE(Toward(man.GetBufferBlock()->GetPixelColor(50, 80), 0x3333FF));
    EXPECT_TRUE(Toward(man.GetBackBlock()->GetPixelColor(50, 80), 0x3333FF));
    EXPECT_EQ(man.GetBufferBlock()->GetPixelColor(50, 200), kPaper);
}

TEST_F(PadPaper, ChangedBackColourBecomesThePaper) {
    Draw(0);
    man.SetBackColor(dc, 0x112233, 1);
    EXPECT_EQ(man.GetTemplate()->BackColor, COLORREF(0x112233));
    EXPECT_EQ(At(10, 10), COLORREF(0x112233));
    EXPECT_EQ(man.GetBackColor(), COLORREF(0x112233));
}

TEST_F(PadPaper, MissingPictureClearsThePictureBits) {
    TemplateHeader* t = man.GetTemplate();
    t->Flags |= eTFPicture;
    t->HasBackImage = 1;
    EXPECT_EQ(man.SetBackImage(u"\\nowhere\\none.bmp"), 0);
    EXPECT_EQ(t->Flags & eTFPicture, 0u);
    EXPECT_EQ(t->HasBackImage, 0);
    EXPECT_EQ(man.GetBackImage(), nullptr);
}

namespace {

class PadBackText : public ::testing::Test {
protected:
    void SetUp() override {
        dc = CreateCompatibleDC(nullptr);
        ASSERT_EQ(man.InitBuffer(dc, 240, 320), 1);
        ASSERT_GE(man.SetCurPage(0, 0), 0);
        TemplateHeader* t = man.GetTemplate();
        InitTemplateHeader(t, 0);
        t->PageWidth = 240;
        t->PageHeight = 320;
        t->Flags = eTFLines; // (320 - 0) / 28 = 11 lines a page
        std::string text;
        for (int i = 0; i < 30; ++i)
            text += "line " + std::to_string(i) + "\n";
        FILE* f = _wfopen(u"\\text.txt", u"wb");
        ASSERT_TRUE(f);
        fwrite(text.data(), 1, text.size(), f);
        fclose(f);
    }
    void TearDown() override { DeleteDC(dc); }
    int Objects() {
        int n = 0;
        for (int i = 0; i < man.GetPageNum(); ++i)
            n += man.GetPage(i)->GetBackTextObjectNum();
        return n;
    }
    TestDevice device;
    HDC dc = nullptr;
    GPadDrawMan man;
};

} // namespace

TEST_F(PadBackText, MoreLinesThanFitMakePagesOnlyWhenAsked) {
    EXPECT_EQ(man.ImportBackText(u"\\text.txt", 0x0000FF, 0), 1);
    EXPECT_EQ(man.GetPageNum(), 1);
    EXPECT_EQ(Objects(), 11);
    EXPECT_EQ(man.ImportBackText(u"\\text.txt", 0x0000FF, 1), 1);
    EXPECT_EQ(man.GetPageNum(), 3);
    EXPECT_EQ(Objects(), 30);
    EXPECT_EQ(man.GetCurPageIndex(), 0);
}

TEST_F(PadBackText, MissingFileReportsAndMarksTheHeader) {
    man.SetHeaderChanged(0);
    EXPECT_EQ(man.ImportBackText(u"\\none.txt", 0, 1), 0);
    EXPECT_EQ(man.IsHeaderChanged(), 1);
}
