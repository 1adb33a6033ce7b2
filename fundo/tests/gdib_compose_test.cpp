// DrawDib into a 24-bit GDib: clipping, source formats, colour keys, alpha, stretch, tile.
#include "fundo/GDib.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const COLORREF kBack = RGB(11, 22, 33);

BYTE* Raw(const GDib& d, int x, int y) {
    return d.GetBits() + (d.Height() - 1 - y) * d.GetLineSize() + x * d.GetBitCount() / 8;
}

void PutWord(GDib& d, int x, int y, WORD w) {
    Raw(d, x, y)[0] = static_cast<BYTE>(w);
    Raw(d, x, y)[1] = static_cast<BYTE>(w >> 8);
}

void PutColor(GDib& d, int x, int y, COLORREF c) {
    BYTE* p = Raw(d, x, y);
    p[0] = GetBValue(c);
    p[1] = GetGValue(c);
    p[2] = GetRValue(c);
}

COLORREF Mark(int x, int y) {
    return RGB(10 + x, 100 + y, 7 * x + 3 * y);
}

// A 24-bit source painted with Mark.
void MakeMarked(GDib& d, int w, int h, int bits = 24) {
    ASSERT_EQ(d.Create(w, h, bits), 1);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            PutColor(d, x, y, Mark(x, y));
}

void MakeTarget(GDib& t, int w, int h) {
    ASSERT_EQ(t.Create(w, h, 24), 1);
    t.SetBackColor(kBack);
}

// One row of the target as colours.
std::vector<COLORREF> RowOf(const GDib& t, int y) {
    std::vector<COLORREF> out;
    for (int x = 0; x < t.Width(); ++x)
        out.push_back(t.GetPixelColor(x, y));
    return out;
}

TEST(GDibCompose, RefusesAnythingButAValid24BitTarget) {
    GDib src;
    MakeMarked(src, 2, 2);
    for (int bits : {1, 4, 8, 16, 32}) {
        GDib t;
        ASSERT_EQ(t.Create(4, 4, bits), 1);
        t.SetBackColor(RGB(0, 0, 0));
        EXPECT_EQ(src.DrawDib(&t, 0, 0, 0, 0, 0, 0, 0, 0, 1, 255, 0), 0) << bits;
        EXPECT_EQ(t.GetPixelColor(0, 0), RGB(0, 0, 0)) << bits;
    }
    GDib invalid;
    EXPECT_EQ(src.DrawDib(&invalid, 0, 0, 0, 0, 0, 0, 0, 0, 1, 255, 0), 0);
    EXPECT_EQ(src.DrawDib(nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 1, 255, 0), 0);
    GDib t;
    MakeTarget(t, 4, 4);
    EXPECT_EQ(invalid.DrawDib(&t, 0, 0, 0, 0, 0, 0, 0, 0, 1, 255, 0), 0);
}

TEST(GDibCompose, RefusesNoOpacityAndSourcesBeyondTheEdge) {
    GDib src, t;
    MakeMarked(src, 3, 2);
    MakeTarget(t, 4, 4);
    EXPECT_EQ(src.DrawDib(&t, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0), 0);
    EXPECT_EQ(src.DrawDib(&t, 0, 0, 0, 0, 0, 0, 0, 0, 1, -3, 0), 0);
    EXPECT_EQ(src.DrawDib(&t, 0, 0, 0, 0, 4, 0, 0, 0, 1, 255, 0), 0);
    EXPECT_EQ(src.DrawDib(&t, 0, 0, 0, 0, 0, 3, 0, 0, 1, 255, 0), 0);
    EXPECT_EQ(src.DrawDib(&t, 0, 0, 0, 0, 3, 0, 0, 0, 1, 255, 0), 0); // nothing left
    EXPECT_EQ(src.DrawDib(&t, 4, 0, 0, 0, 0, 0, 0, 0, 1, 255, 0), 0); // no room
    for (int y = 0; y < 4; ++y)
        for (COLORREF c : RowOf(t, y))
            EXPECT_EQ(c, kBack);
}

TEST(GDibCompose, SameSizeCopyLandsAtThePositionTopDown) {
    GDib src, t;
    MakeMarked(src, 3, 2);
    MakeTarget(t, 5, 4);
    EXPECT_EQ(src.DrawDib(&t, 1, 2, 0, 0, 0, 0, 0, 0, 1, 255, 0), 1);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) {
            bool inside = x >= 1 && x < 4 && y >= 2;
            EXPECT_EQ(t.GetPixelColor(x, y), inside ? Mark(x - 1, y - 2) : kBack) << x << "," << y;
        }
}

TEST(GDibCompose, SourceRectanglesClampAndClip) {
    GDib src, t;
    MakeMarked(src, 4, 3);
    MakeTarget(t, 6, 4);
    // Negative source corner counts as 0; an oversize source stops at the edge.
    EXPECT_EQ(src.DrawDib(&t, 0, 0, 0, 0, -5, -1, 100, 100, 1, 255, 0), 1);
    EXPECT_EQ(t.GetPixelColor(0, 0), Mark(0, 0));
    EXPECT_EQ(t.GetPixelColor(3, 2), Mark(3, 2));
    EXPECT_EQ(t.GetPixelColor(4, 0), kBack);
    MakeTarget(t, 6, 4);
    EXPECT_EQ(src.DrawDib(&t, 0, 0, 0, 0, 2, 1, 1, 0, 1, 255, 0), 1);
    EXPECT_EQ(t.GetPixelColor(0, 0), Mark(2, 1));
    EXPECT_EQ(t.GetPixelColor(0, 1), Mark(2, 2));
    EXPECT_EQ(t.GetPixelColor(1, 0), kBack);
    EXPECT_EQ(t.GetPixelColor(0, 2), kBack);
}

TEST(GDibCompose, ZeroSizeTakesWhatFitsWithoutScaling) {
    GDib src, t;
    MakeMarked(src, 4, 3);
    MakeTarget(t, 10, 4);
    EXPECT_EQ(src.DrawDib(&t, 8, 2, 0, 0, 0, 0, 0, 0, 2, 255, 0), 1);
    EXPECT_EQ(t.GetPixelColor(8, 2), Mark(0, 0));
    EXPECT_EQ(t.GetPixelColor(9, 3), Mark(1, 1));
    EXPECT_EQ(t.GetPixelColor(7, 2), kBack);
}

TEST(GDibCompose, NegativeCornersMoveToZeroWithoutShiftingTheSource) {
    GDib src, t;
    MakeMarked(src, 3, 3);
    MakeTarget(t, 5, 5);
    EXPECT_EQ(src.DrawDib(&t, -2, -1, 3, 3, 0, 0, 0, 0, 1, 255, 0), 1);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(t.GetPixelColor(x, y), Mark(x, y)) << x << "," << y;
    EXPECT_EQ(t.GetPixelColor(3, 0), kBack);
}

TEST(GDibCompose, EverySourceDepthConvertsToBlueGreenRed) {
    GDib t;
    for (int bits : {1, 4, 8}) {
        GDib src;
        ASSERT_EQ(src.Create(5, 2, bits), 1);
        int n = 1 << bits;
        for (int i = 0; i < n; ++i)
            src.SetPaletteColor(i, static_cast<BYTE>(i * 3), static_cast<BYTE>(200 - i / 2),
                                static_cast<BYTE>(i ^ 0x5A));
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 5; ++x)
                src.SetPixelIndex(x, y, static_cast<BYTE>((x * 7 + y * 3 + 1) % n));
        MakeTarget(t, 5, 2);
        ASSERT_EQ(src.DrawDib(&t, 0, 0, 0, 0, 0, 0, 0, 0, 1, 255, 0), 1);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(t.GetPixelColor(x, y), src.GetPixelColor(x, y)) << bits;
    }

    GDib w;
    ASSERT_EQ(w.Create(3, 1, 16), 1);
    PutWord(w, 0, 0, static_cast<WORD>((12 << 10) | (28 << 5) | 1));
    PutWord(w, 1, 0, static_cast<WORD>(0x8000 | (31 << 10)));
    PutWord(w, 2, 0, 0x7FFF);
    MakeTarget(t, 3, 1);
    ASSERT_EQ(w.DrawDib(&t, 0, 0, 0, 0, 0, 0, 0, 0, 1, 255, 0), 1);
    const std::vector<COLORREF> want16 = {RGB(95, 223, 15), RGB(255, 0, 0), RGB(255, 255, 255)};
    EXPECT_EQ(RowOf(t, 0), want16);

    GDib x32;
    MakeMarked(x32, 3, 2, 32);
    Raw(x32, 1, 1)[3] = 0xAB;
    MakeTarget(t, 3, 2);
    ASSERT_EQ(x32.DrawDib(&t, 0, 0, 0, 0, 0, 0, 0, 0, 1, 255, 0), 1);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(t.GetPixelColor(x, y), Mark(x, y));
}

TEST(GDibComposeKey, DirectSourcesMatchAllThreeChannelsExactly) {
    for (int bits : {24, 32}) {
        GDib src, t;
        MakeMarked(src, 3, 1, bits);
        PutColor(src, 0, 0, RGB(255, 0, 255));
        PutColor(src, 1, 0, RGB(255, 1, 255));
        if (bits == 32)
            Raw(src, 0, 0)[3] = 0x99; // the fourth byte plays no part
        src.SetTransColor(RGB(255, 0, 255));
        MakeTarget(t, 3, 1);
        ASSERT_EQ(src.DrawDib(&t, 0, 0, 0, 0, 0, 0, 0, 0, 1, 255, 1), 1);
        const std::vector<COLORREF> want = {kBack, RGB(255, 1, 255), Mark(2, 0)};
        EXPECT_EQ(RowOf(t, 0), want) << bits;
        // Without the switch the key colour is drawn like any other.
        ASSERT_EQ(src.DrawDib(&t, 0, 0, 0, 0, 0, 0, 0, 0, 1, 255, 0), 1);
        EXPECT_EQ(t.GetPixelColor(0, 0), RGB(255, 0, 255));
    }
}

TEST(GDibComposeKey, KeyedRunsOfAnyLengthKeepTheirEnds) {
    GDib src, t;
    MakeMarked(src, 9, 1);
    const COLORREF key = RGB(1, 2, 3);
    for (int x : {0, 3, 4, 8})
        PutColor(src, x, 0, key);
    src.SetTransColor(key);
    MakeTarget(t, 9, 1);
    ASSERT_EQ(src.DrawDib(&t, 0, 0, 0, 0, 0, 0, 0, 0, 1, 255, 1), 1);
    for (int x = 0; x < 9; ++x) {
        bool keyed = x == 0 || x == 3 || x == 4 || x == 8;
        EXPECT_EQ(t.GetPixelColor(x, 0), keyed ? kBack : Mark(x, 0)) << x;
    }
}

TEST(GDibComposeKey, SixteenBitSourcesCompareExpandedFields) {
    GDib src, t;
    ASSERT_EQ(src.Create(6, 1, 16), 1);
    // Fields 11 and 12 both read as 95; 13 reads as 111; 0 as 0; 1 as 15.
    const WORD words[6] = {static_cast<WORD>((11 << 10) | (11 << 5) | 11),
                           static_cast<WORD>((12 << 10) | (12 << 5) | 12),
                           static_cast<WORD>((13 << 10) | (13 << 5) | 13),
                           static_cast<WORD>(0x8000 | (11 << 10) | (11 << 5) | 11),
                           0,
                           static_cast<WORD>((1 << 10) | (1 << 5) | 1)};
    for (int x = 0; x < 6; ++x)
        PutWord(src, x, 0, words[x]);

    src.SetTransColor(RGB(90, 94, 88)); // each becomes (c & 0xF8) | 7 = 95
    MakeTarget(t, 6, 1);
    ASSERT_EQ(src.DrawDib(&t, 0, 0, 0, 0, 0, 0, 0, 0, 1, 255, 1), 1);
    std::vector<COLORREF> want = {kBack, kBack,        RGB(111, 111, 111),
                                  kBack, RGB(0, 0, 0), RGB(15, 15, 15)};
    EXPECT_EQ(RowOf(t, 0), want);

    src.SetTransColor(RGB(100, 100, 100)); // 103: no field reads as that
    MakeTarget(t, 6, 1);
    ASSERT_EQ(src.DrawDib(&t, 0, 0, 0, 0, 0, 0, 0, 0, 1, 255, 1), 1);
    EXPECT_EQ(t.GetPixelColor(1, 0), RGB(95, 95, 95));

    src.SetTransColor(RGB(7, 0, 5)); // below 8 compares with 0
    MakeTarget(t, 6, 1);
    ASSERT_EQ(src.DrawDib(&t, 0, 0, 0, 0, 0, 0, 0, 0, 1, 255, 1), 1);
    EXPECT_EQ(t.GetPixelColor(4, 0), kBack);
    EXPECT_EQ(t.GetPixelColor(5, 0), RGB(15, 15, 15));

    src.SetTransColor(RGB(8, 15, 12)); // 8 to 15 compare with 15
    MakeTarget(t, 6, 1);
    ASSERT_EQ(src.DrawDib(&t, 0, 0, 0, 0, 0, 0, 0, 0, 1, 255, 1), 1);
    EXPECT_EQ(t.GetPixelColor(5, 0), kBack);
    EXPECT_EQ(t.GetPixelColor(4, 0), RGB(0, 0, 0));
}

TEST(GDibComposeKey, PalettedSourcesKeyOnTheFirstEqualEntry) {
    for (int bits : {1, 4, 8}) {
        GDib src, t;
        ASSERT_EQ(src.Create(3, 1, bits), 1);
        src.SetPaletteColor(0, 0, 255, 0);
        src.SetPaletteColor(1, 0, 255, 0); // same colour, later index
        src.SetPixelIndex(0, 0, 0);
        src.SetPixelIndex(1, 0, 1);
        src.SetPixelIndex(2, 0, 0);
        src.SetTransColor(RGB(0, 255, 0));
        MakeTarget(t, 3, 1);
        ASSERT_EQ(src.DrawDib(&t, 0, 0, 0, 0, 0, 0, 0, 0, 1, 255, 1), 1);
        const std::vector<COLORREF> want = {kBack, RGB(0, 255, 0), kBack};
        EXPECT_EQ(RowOf(t, 0), want) << bits;
    }
    GDib src, t;
    ASSERT_EQ(src.Create(2, 1, 8), 1);
    src.SetBackColor(RGB(0, 0, 0));
    src.SetTransColor(RGB(1, 2, 3)); // in no entry: every pixel is drawn
    MakeTarget(t, 2, 1);
    ASSERT_EQ(src.DrawDib(&t, 0, 0, 0, 0, 0, 0, 0, 0, 1, 255, 1), 1);
    const std::vector<COLORREF> black = {RGB(0, 0, 0), RGB(0, 0, 0)};
    EXPECT_EQ(RowOf(t, 0), black);
}

TEST(GDibComposeAlpha, BlendsOverTwoHundredFiftySixPerChannel) {
    GDib src, t;
    ASSERT_EQ(src.Create(20, 1, 24), 1); // long enough for the wide blend path
    for (int x = 0; x < 20; ++x)
        PutColor(src, x, 0, RGB(x * 13, 255 - x, 200));
    MakeTarget(t, 20, 1);
    ASSERT_EQ(src.DrawDib(&t, 0, 0, 0, 0, 0, 0, 0, 0, 1, 96, 0), 1);
    for (int x = 0; x < 20; ++x)
        EXPECT_EQ(t.GetPixelColor(x, 0),
                  RGB((x * 13 * 96 + 11 * 159) >> 8, ((255 - x) * 96 + 22 * 159) >> 8,
                      (200 * 96 + 33 * 159) >> 8))
            << x;

    GDib p; // paletted and keyed at once
    ASSERT_EQ(p.Create(2, 1, 8), 1);
    p.SetPixelIndex(0, 0, 249); // FF0000
    p.SetPixelIndex(1, 0, 255); // FFFFFF
    p.SetTransColor(RGB(255, 255, 255));
    MakeTarget(t, 2, 1);
    ASSERT_EQ(p.DrawDib(&t, 0, 0, 0, 0, 0, 0, 0, 0, 1, 200, 1), 1);
    EXPECT_EQ(t.GetPixelColor(0, 0),
              RGB((255 * 200 + 11 * 55) >> 8, (22 * 55) >> 8, (33 * 55) >> 8));
    EXPECT_EQ(t.GetPixelColor(1, 0), kBack);
}

TEST(GDibComposeStretch, NearestTakesFloorOfTheScaledPosition) {
    GDib src, t;
    MakeMarked(src, 10, 3);
    MakeTarget(t, 10, 5);
    // 3 columns from x = 1 onto 10: floor(i × 0.3); 2 rows onto 3: floor(j × 2 / 3).
    ASSERT_EQ(src.DrawDib(&t, 0, 1, 10, 3, 1, 1, 3, 2, 1, 255, 0), 1);
    const int cols[10] = {0, 0, 0, 0, 1, 1, 1, 2, 2, 2};
    const int rows[3] = {0, 0, 1};
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(t.GetPixelColor(i, 1 + j), Mark(1 + cols[i], 1 + rows[j])) << i << "," << j;
    EXPECT_EQ(t.GetPixelColor(0, 0), kBack);
    EXPECT_EQ(t.GetPixelColor(0, 4), kBack);

    // Shrinking 5 to 2 keeps columns 0 and 2; a ratio of 0.1 still reaches column 1 at 10.
    MakeTarget(t, 12, 1);
    ASSERT_EQ(src.DrawDib(&t, 0, 0, 2, 1, 0, 0, 5, 1, 1, 255, 0), 1);
    EXPECT_EQ(t.GetPixelColor(0, 0), Mark(0, 0));
    EXPECT_EQ(t.GetPixelColor(1, 0), Mark(2, 0));
    GDib wide;
    MakeTarget(wide, 100, 1);
    ASSERT_EQ(src.DrawDib(&wide, 0, 0, 100, 1, 0, 0, 10, 1, 1, 255, 0), 1);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(wide.GetPixelColor(i, 0), Mark(i / 10, 0)) << i;
}

TEST(GDibComposeStretch, CuttingAtTheEdgeKeepsTheRatio) {
    GDib src, t;
    MakeMarked(src, 2, 1);
    MakeTarget(t, 5, 1);
    ASSERT_EQ(src.DrawDib(&t, 2, 0, 4, 1, 0, 0, 0, 0, 1, 255, 0), 1);
    const std::vector<COLORREF> want = {kBack, kBack, Mark(0, 0), Mark(0, 0), Mark(1, 0)};
    EXPECT_EQ(RowOf(t, 0), want);
}

TEST(GDibComposeStretch, KeyAndAlphaApplyToStretchedPixels) {
    GDib src, t;
    MakeMarked(src, 2, 1);
    PutColor(src, 1, 0, RGB(0, 0, 0));
    src.SetTransColor(RGB(0, 0, 0));
    MakeTarget(t, 4, 1);
    ASSERT_EQ(src.DrawDib(&t, 0, 0, 4, 1, 0, 0, 0, 0, 1, 128, 1), 1);
    COLORREF m = Mark(0, 0);
    COLORREF blended =
        RGB((GetRValue(m) * 128 + 11 * 127) >> 8, (GetGValue(m) * 128 + 22 * 127) >> 8,
            (GetBValue(m) * 128 + 33 * 127) >> 8);
    const std::vector<COLORREF> want = {blended, blended, kBack, kBack};
    EXPECT_EQ(RowOf(t, 0), want);
}

TEST(GDibComposeTile, RepeatsTheSourceFromTheTopLeft) {
    GDib src, t;
    MakeMarked(src, 6, 3);
    MakeTarget(t, 10, 5);
    // A 4 × 2 slice from (1, 1) over 10 × 5: columns 0-3, 0-3, 0-1; rows 0-1, 0-1, 0.
    ASSERT_EQ(src.DrawDib(&t, 0, 0, 10, 5, 1, 1, 4, 2, 3, 255, 0), 1);
    const int cols[10] = {0, 1, 2, 3, 0, 1, 2, 3, 0, 1};
    const int rows[5] = {0, 1, 0, 1, 0};
    for (int j = 0; j < 5; ++j)
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(t.GetPixelColor(i, j), Mark(1 + cols[i], 1 + rows[j])) << i << "," << j;
}

TEST(GDibComposeTile, SmallerAreasCropAndOtherModesTile) {
    GDib src, t;
    MakeMarked(src, 4, 1);
    MakeTarget(t, 6, 1);
    ASSERT_EQ(src.DrawDib(&t, 0, 0, 3, 1, 0, 0, 0, 0, 3, 255, 0), 1);
    const std::vector<COLORREF> crop = {Mark(0, 0), Mark(1, 0), Mark(2, 0), kBack, kBack, kBack};
    EXPECT_EQ(RowOf(t, 0), crop);
    MakeTarget(t, 6, 1);
    ASSERT_EQ(src.DrawDib(&t, 0, 0, 6, 1, 0, 0, 0, 0, 9, 255, 0), 1);
    EXPECT_EQ(t.GetPixelColor(4, 0), Mark(0, 0));
    EXPECT_EQ(t.GetPixelColor(5, 0), Mark(1, 0));
}

TEST(GDibComposeTile, KeyedPalettedTiles) {
    GDib src, t;
    ASSERT_EQ(src.Create(2, 1, 4), 1);
    src.SetPixelIndex(0, 0, 9);  // FF0000
    src.SetPixelIndex(1, 0, 15); // FFFFFF, the key
    src.SetTransColor(RGB(255, 255, 255));
    MakeTarget(t, 5, 1);
    ASSERT_EQ(src.DrawDib(&t, 0, 0, 5, 1, 0, 0, 0, 0, 3, 255, 1), 1);
    const std::vector<COLORREF> want = {RGB(255, 0, 0), kBack, RGB(255, 0, 0), kBack,
                                        RGB(255, 0, 0)};
    EXPECT_EQ(RowOf(t, 0), want);
}

TEST(GDibComposeSmooth, InterpolatesBetweenPixelCentres) {
    GDib src, t;
    ASSERT_EQ(src.Create(2, 1, 24), 1);
    PutColor(src, 0, 0, RGB(0, 0, 0));
    PutColor(src, 1, 0, RGB(255, 255, 255));
    MakeTarget(t, 4, 1);
    ASSERT_EQ(src.DrawDib(&t, 0, 0, 4, 1, 0, 0, 0, 0, 2, 255, 0), 1);
    // Sample points -0.25 (held at 0), 0.25, 0.75 and 1.25 (held at 1).
    const std::vector<COLORREF> want = {RGB(0, 0, 0), RGB(64, 64, 64), RGB(191, 191, 191),
                                        RGB(255, 255, 255)};
    EXPECT_EQ(RowOf(t, 0), want);

    GDib column, tall;
    ASSERT_EQ(column.Create(1, 2, 24), 1);
    PutColor(column, 0, 0, RGB(0, 0, 0));
    PutColor(column, 0, 1, RGB(255, 255, 255));
    ASSERT_EQ(tall.Create(1, 4, 24), 1);
    ASSERT_EQ(column.DrawDib(&tall, 0, 0, 1, 4, 0, 0, 0, 0, 2, 255, 0), 1);
    const int levels[4] = {0, 64, 191, 255};
    for (int j = 0; j < 4; ++j)
        EXPECT_EQ(tall.GetPixelColor(0, j), RGB(levels[j], levels[j], levels[j])) << j;
}

TEST(GDibComposeSmooth, ShrinkingAveragesNeighbours) {
    GDib src, t;
    ASSERT_EQ(src.Create(4, 1, 24), 1);
    const int v[4] = {0, 100, 200, 50};
    for (int x = 0; x < 4; ++x)
        PutColor(src, x, 0, RGB(v[x], v[x], v[x]));
    MakeTarget(t, 2, 1);
    ASSERT_EQ(src.DrawDib(&t, 0, 0, 2, 1, 0, 0, 0, 0, 2, 255, 0), 1);
    EXPECT_EQ(t.GetPixelColor(0, 0), RGB(50, 50, 50));    // 50.5 rounds down in 1/65536
    EXPECT_EQ(t.GetPixelColor(1, 0), RGB(125, 125, 125)); // 125.5 likewise
}

TEST(GDibComposeSmooth, WideRowsFollowTheSameWeights) {
    GDib src, t;
    ASSERT_EQ(src.Create(16, 1, 24), 1);
    for (int x = 0; x < 16; ++x)
        PutColor(src, x, 0, RGB(16 * x, 16 * x, 16 * x));
    MakeTarget(t, 32, 1);
    ASSERT_EQ(src.DrawDib(&t, 0, 0, 32, 1, 0, 0, 0, 0, 2, 255, 0), 1);
    // Pixel 5 samples 2.25 (32 and 48 at 192:64), pixel 20 samples 9.75 (144 and 160).
    EXPECT_EQ(t.GetPixelColor(5, 0), RGB(36, 36, 36));
    EXPECT_EQ(t.GetPixelColor(20, 0), RGB(156, 156, 156));
    EXPECT_EQ(t.GetPixelColor(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(t.GetPixelColor(31, 0), RGB(240, 240, 240));
}

TEST(GDibComposeSmooth, UniformSourcesStayUniformAtEveryDepth) {
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        GDib src, t;
        ASSERT_EQ(src.Create(3, 3, bits), 1);
        src.SetBackColor(RGB(255, 255, 255));
        MakeTarget(t, 8, 7);
        ASSERT_EQ(src.DrawDib(&t, 0, 0, 8, 7, 0, 0, 0, 0, 2, 255, 0), 1);
        for (int y = 0; y < 7; ++y)
            for (COLORREF c : RowOf(t, y))
                EXPECT_EQ(c, RGB(255, 255, 255)) << bits;
    }
}

TEST(GDibComposeSmooth, KeyedNeighboursLendTheTargetColour) {
    GDib src, t;
    ASSERT_EQ(src.Create(2, 1, 24), 1);
    PutColor(src, 0, 0, RGB(0, 0, 0));
    PutColor(src, 1, 0, RGB(255, 255, 255));
    src.SetTransColor(RGB(0, 0, 0));
    ASSERT_EQ(t.Create(4, 1, 24), 1);
    t.SetBackColor(RGB(100, 100, 100));
    ASSERT_EQ(src.DrawDib(&t, 0, 0, 4, 1, 0, 0, 0, 0, 2, 255, 1), 1);
    // Pixel 1 weighs the target's 100 by 192/256 and white by 64/256.
    const int want[4] = {100, (100 * 192 * 256 + 255 * 64 * 256 + 32768) >> 16,
                         (100 * 64 * 256 + 255 * 192 * 256 + 32768) >> 16, 255};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(t.GetPixelColor(i, 0), RGB(want[i], want[i], want[i])) << i;

    // All four neighbours keyed: the target is left as it was, even when blending.
    GDib keyed;
    ASSERT_EQ(keyed.Create(2, 2, 8), 1);
    keyed.SetBackColor(RGB(0, 0, 0));
    keyed.SetTransColor(RGB(0, 0, 0));
    ASSERT_EQ(keyed.DrawDib(&t, 0, 0, 4, 1, 0, 0, 0, 0, 2, 100, 1), 1);
    EXPECT_EQ(t.GetPixelColor(0, 0), RGB(100, 100, 100));
}

TEST(GDibComposeSmooth, SameSizeIsAPlainCopyInEveryMode) {
    GDib src, t;
    MakeMarked(src, 3, 2);
    for (int mode : {1, 2, 3}) {
        MakeTarget(t, 3, 2);
        ASSERT_EQ(src.DrawDib(&t, 0, 0, 3, 2, 0, 0, 3, 2, mode, 255, 0), 1);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(t.GetPixelColor(x, y), Mark(x, y)) << mode;
    }
}

} // namespace
