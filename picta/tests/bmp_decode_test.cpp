// BMP forms beyond plain rows, built from the format's tables: run-length coded indices
// (RLE8, RLE4) and bit-field pixels; and the reasons files are still refused.
#include "BmpTestUtil.h"

#include <picta/PictaBMP.h>

#include <gtest/gtest.h>

#include <string>

namespace {

const std::vector<RGBQUAD> kTable4 = {Rgb(0, 0, 0), Rgb(255, 0, 0), Rgb(0, 255, 0), Rgb(0, 0, 255)};

std::vector<std::vector<int>> Indices(const GDib& dib) {
    std::vector<std::vector<int>> rows(static_cast<size_t>(dib.Height()));
    for (int y = 0; y < dib.Height(); ++y)
        for (int x = 0; x < dib.Width(); ++x)
            rows[y].push_back(dib.GetPixelIndex(x, y));
    return rows;
}

int Load(PictaBMP& bmp, const Bytes& file, int outputWidth = -1) {
    MemStream in(file);
    bmp.SetOutputWidth(outputWidth);
    return bmp.Load(&in.file, nullptr, nullptr);
}

// Runs, an odd absolute run with its pad byte, a line end, a jump, a run cut at the right
// edge and the end of the bitmap. Rows are listed bottom first, as the data fills them.
const Bytes kRle8 = {3, 1, 0, 3, 2, 3, 1, 0, 0, 0, // row 0: 1 1 1 2 3 1
                     2, 2, 0, 2, 2, 1,             // row 1: 2 2, then 2 right and 1 up
                     2, 3, 0, 0,                   // row 2: from x = 4: 3 3
                     8, 1, 0, 1};                  // row 3: 1 x 6 (8 asked), end
const std::vector<std::vector<int>> kRle8Picture = {
    {1, 1, 1, 1, 1, 1}, {0, 0, 0, 0, 3, 3}, {2, 2, 0, 0, 0, 0}, {1, 1, 1, 2, 3, 1}};

} // namespace

TEST(BmpRle, EightBitRunsAbsoluteRunsJumpsAndEnds) {
    PictaBMP bmp;
    ASSERT_EQ(Load(bmp, BmpFile(6, 4, 8, BI_RLE8, kTable4, kRle8)), 1);
    EXPECT_EQ(bmp.GetBitCount(), 8);
    EXPECT_EQ(Indices(bmp), kRle8Picture);
    EXPECT_EQ(bmp.GetPixelColor(4, 1), RGB(0, 0, 255));
    EXPECT_EQ(bmp.GetRefusal(), nullptr);
}

TEST(BmpRle, FourBitRunsAlternateTheirTwoIndices) {
    // Row 0: five pixels of 1 2 1 2 1. Row 1: absolute 3 0 2 (two bytes, no pad), run 1 1.
    Bytes data = {5, 0x12, 0, 0, 0, 3, 0x30, 0x20, 2, 0x11, 0, 1};
    PictaBMP bmp;
    ASSERT_EQ(Load(bmp, BmpFile(5, 2, 4, BI_RLE4, kTable4, data)), 1);
    EXPECT_EQ(bmp.GetBitCount(), 4);
    EXPECT_EQ(Indices(bmp), (std::vector<std::vector<int>>{{3, 0, 2, 1, 1}, {1, 2, 1, 2, 1}}));
}

TEST(BmpRle, ScaledAndCutRunLengthFiles) {
    // Half width: columns 0, 2, 4; half height: stored rows 0 and 2.
    PictaBMP half;
    ASSERT_EQ(Load(half, BmpFile(6, 4, 8, BI_RLE8, kTable4, kRle8), 3), 1);
    EXPECT_EQ(Indices(half), (std::vector<std::vector<int>>{{0, 0, 3}, {1, 1, 3}}));
    // Cut inside row 2's run: rows 0 and 1 are there, the rest stays index 0.
    Bytes cut(kRle8.begin(), kRle8.begin() + 15);
    PictaBMP bmp;
    ASSERT_EQ(Load(bmp, BmpFile(6, 4, 8, BI_RLE8, kTable4, cut)), 1);
    EXPECT_EQ(Indices(bmp),
              (std::vector<std::vector<int>>{
                  {0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}, kRle8Picture[2], kRle8Picture[3]}));
}

TEST(BmpFields, MasksOtherThanThePlainOnesUnpackToTwentyFourBits) {
    struct Case {
        const char* name;
        int bits;
        int compression;
        std::vector<uint32_t> masks;
        Bytes pixels; // one row of three pixels, padded
        std::vector<COLORREF> expected;
    };
    // 5-6-5: full channels, and the middle values 16/31, 32/63, 16/31 rounded to 8 bits.
    // Bytes 0, r, g, b as one 32-bit word, masks in that order. A 4-4-4-4 word with an alpha
    // mask, the handheld's alpha-bit-field form.
    const Case cases[] = {
        {"565",
         16,
         BI_BITFIELDS,
         {0xF800, 0x07E0, 0x001F},
         {0x00, 0xF8, 0xE0, 0x07, 0x10, 0x84, 0, 0},
         {RGB(255, 0, 0), RGB(0, 255, 0), RGB(132, 130, 132)}},
        {"xrgb reversed",
         32,
         BI_BITFIELDS,
         {0x0000FF00, 0x00FF0000, 0xFF000000},
         {0, 10, 20, 30, 0, 255, 0, 0, 0, 0, 0, 255},
         {RGB(10, 20, 30), RGB(255, 0, 0), RGB(0, 0, 255)}},
        {"4444 alpha",
         16,
         6,
         {0x0F00, 0x00F0, 0x000F, 0xF000},
         {0xF8, 0xF0, 0x00, 0x0F, 0x34, 0x12, 0, 0},
         {RGB(0, 255, 136), RGB(255, 0, 0), RGB(34, 51, 68)}},
    };
    for (const Case& c : cases) {
        PictaBMP bmp;
        ASSERT_EQ(Load(bmp, BmpFile(3, 1, c.bits, c.compression, {}, c.pixels, c.masks)), 1)
            << c.name;
        EXPECT_EQ(bmp.GetBitCount(), 24) << c.name;
        EXPECT_EQ(bmp.GetFileBitCount(), c.bits) << c.name;
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(bmp.GetPixelColor(x, 0), c.expected[x]) << c.name << " " << x;
    }
    // A top-down file, whole and at half size (every other column, the bottom row).
    Bytes rows = {0x00, 0xF8, 0, 0, 0x00, 0xF8, 0, 0,  // top: red, black, red, black
                  0x1F, 0x00, 0, 0, 0x1F, 0x00, 0, 0}; // bottom: blue, black, blue, black
    Bytes file = BmpFile(4, -2, 16, BI_BITFIELDS, {}, rows, {0xF800, 0x07E0, 0x001F});
    PictaBMP whole;
    ASSERT_EQ(Load(whole, file), 1);
    EXPECT_EQ(whole.GetPixelColor(2, 0), RGB(255, 0, 0));
    EXPECT_EQ(whole.GetPixelColor(2, 1), RGB(0, 0, 255));
    EXPECT_EQ(whole.GetPixelColor(3, 1), RGB(0, 0, 0));
    PictaBMP half;
    ASSERT_EQ(Load(half, file, 2), 1);
    ASSERT_EQ(half.Height(), 1);
    EXPECT_EQ(half.GetPixelColor(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(half.GetPixelColor(1, 0), RGB(0, 0, 255));
}

TEST(BmpRefusal, FilesStillRefusedSayWhy) {
    struct Case {
        Bytes file;
        const char* words;
    };
    Bytes one = {0, 0, 0, 0};
    const Case cases[] = {
        {BmpFile(1, 1, 24, 4, {}, one), "JPEG"},
        {BmpFile(1, 1, 24, 5, {}, one), "PNG"},
        {BmpFile(1, 1, 24, 9, {}, one), "unknown compression"},
        {BmpFile(1, 1, 24, BI_RLE8, {}, one), "needs 8 bits"},
        {BmpFile(1, 1, 8, BI_RLE4, kTable4, one), "needs 4 bits"},
        {BmpFile(1, -1, 8, BI_RLE8, kTable4, one), "top-down"},
        {BmpFile(1, 1, 16, BI_BITFIELDS, {}, one, {0xF800, 0x0FE0, 0x001F}), "overlap"},
        {BmpFile(1, 1, 16, BI_BITFIELDS, {}, one, {0xF800, 0x0000, 0x001F}), "empty"},
        {BmpFile(1, 1, 16, BI_BITFIELDS, {}, one, {0xF000, 0x0A00, 0x001F}), "gaps"},
        {BmpFile(1, 1, 24, BI_BITFIELDS, {}, one, {0xFF, 0xFF00, 0xFF0000}), "16 or 32"},
        // 64 million pixels from a few bytes of run-length data.
        {BmpFile(8000, 8000, 8, BI_RLE8, kTable4, {0, 1}), "far too short"},
        {BmpFile(40000, 1, 8, BI_RLE8, kTable4, {0, 1}), "larger than"},
    };
    for (const Case& c : cases) {
        PictaBMP bmp;
        EXPECT_EQ(Load(bmp, c.file), 0) << c.words;
        ASSERT_NE(bmp.GetRefusal(), nullptr) << c.words;
        EXPECT_NE(std::string(bmp.GetRefusal()).find(c.words), std::string::npos)
            << c.words << ": " << bmp.GetRefusal();
    }
}
