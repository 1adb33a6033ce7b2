// BMP reading from files built byte by byte, scaling, writing and damaged input.
#include "PictaTestUtil.h"

#include <picta/PictaBMP.h>

#include <gtest/gtest.h>

namespace {

struct BmpSpec {
    int width = 1;
    int height = 1;
    int bitCount = 24;
    int colorsUsed = 0;
    int compression = 0;
    std::vector<RGBQUAD> palette;
    bool fileHeader = true;
    bool core = false;
    bool zeroOffset = false;
    int sizeImage = 0;
    int pelsPerMetre = 0;
};

int RowBytes(int width, int bitCount) {
    return ((width * bitCount + 31) / 32) * 4;
}

// rows[i] is stored row i (bottom-up unless the height is negative), unpadded.
Bytes MakeBmp(const BmpSpec& s, const std::vector<Bytes>& rows) {
    Bytes info;
    int entry = s.core ? 3 : 4;
    if (s.core) {
        PutLe32(info, 12);
        PutLe16(info, s.width);
        PutLe16(info, s.height);
        PutLe16(info, 1);
        PutLe16(info, s.bitCount);
    } else {
        PutLe32(info, 40);
        PutLe32(info, s.width);
        PutLe32(info, s.height);
        PutLe16(info, 1);
        PutLe16(info, s.bitCount);
        PutLe32(info, s.compression);
        PutLe32(info, s.sizeImage);
        PutLe32(info, s.pelsPerMetre);
        PutLe32(info, s.pelsPerMetre);
        PutLe32(info, s.colorsUsed);
        PutLe32(info, 0);
    }
    for (const RGBQUAD& c : s.palette) {
        Put8(info, c.rgbBlue);
        Put8(info, c.rgbGreen);
        Put8(info, c.rgbRed);
        if (entry == 4)
            Put8(info, 0);
    }
    Bytes pixels;
    int stride = RowBytes(s.width, s.bitCount);
    for (const Bytes& r : rows) {
        Bytes padded = r;
        padded.resize(static_cast<size_t>(stride), 0);
        Append(pixels, padded);
    }
    Bytes out;
    if (s.fileHeader) {
        PutText(out, "BM");
        PutLe32(out, 14 + info.size() + pixels.size());
        PutLe32(out, 0);
        PutLe32(out, s.zeroOffset ? 0 : 14 + info.size());
    }
    Append(out, info);
    Append(out, pixels);
    return out;
}

// A 24-bit picture whose pixel (x, y) (y from the top) is blue x, green y, red 7.
Bytes Gradient24(int width, int height) {
    BmpSpec s;
    s.width = width;
    s.height = height;
    std::vector<Bytes> rows;
    for (int i = 0; i < height; ++i) {
        int y = height - 1 - i;
        Bytes r;
        for (int x = 0; x < width; ++x) {
            Put8(r, x);
            Put8(r, y);
            Put8(r, 7);
        }
        rows.push_back(r);
    }
    return MakeBmp(s, rows);
}

RGBQUAD Quad(int r, int g, int b) {
    return RGBQUAD{static_cast<BYTE>(b), static_cast<BYTE>(g), static_cast<BYTE>(r), 0};
}

void ExpectPixel(const GDib& dib, int x, int y, int r, int g, int b) {
    RGBQUAD c = dib.GetPixel(x, y);
    EXPECT_EQ(c.rgbRed, r) << "at " << x << "," << y;
    EXPECT_EQ(c.rgbGreen, g) << "at " << x << "," << y;
    EXPECT_EQ(c.rgbBlue, b) << "at " << x << "," << y;
}

} // namespace

TEST(BmpRead, PreLoadReportsSizeAndPixelBytes) {
    MemStream in(Gradient24(3, 2));
    PictaBMP bmp;
    int w = 0, h = 0;
    EXPECT_EQ(bmp.PreLoad(&in.file, w, h), 24);
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 2);
}

TEST(BmpRead, TwentyFourBitRowsLandTopDownInPicture) {
    MemStream in(Gradient24(3, 2));
    PictaBMP bmp;
    ASSERT_EQ(bmp.Load(&in.file, nullptr, nullptr), 1);
    ASSERT_EQ(bmp.Width(), 3);
    ASSERT_EQ(bmp.Height(), 2);
    EXPECT_EQ(bmp.GetBitCount(), 24);
    EXPECT_TRUE(bmp.IsLoaded());
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            ExpectPixel(bmp, x, y, 7, y, x);
}

TEST(BmpRead, HeaderlessDibLoadsLikeTheFile) {
    BmpSpec s;
    s.width = 4;
    s.height = 2;
    s.bitCount = 8;
    s.colorsUsed = 3;
    s.palette = {Quad(255, 0, 0), Quad(0, 255, 0), Quad(0, 0, 255)};
    std::vector<Bytes> rows = {{0, 1, 2, 0}, {2, 2, 1, 0}};
    Bytes file = MakeBmp(s, rows);
    s.fileHeader = false;
    Bytes dib = MakeBmp(s, rows);
    ASSERT_EQ(file.size(), dib.size() + 14);

    MemStream a(file), b(dib);
    PictaBMP fromFile, fromDib;
    ASSERT_EQ(fromFile.Load(&a.file, nullptr, nullptr), 1);
    ASSERT_EQ(fromDib.Load(&b.file, nullptr, nullptr), 1);
    EXPECT_EQ(fromDib.GetColorNum(), 3);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(fromDib.GetPixelIndex(x, y), fromFile.GetPixelIndex(x, y));
            EXPECT_EQ(fromDib.GetPixelColor(x, y), fromFile.GetPixelColor(x, y));
        }
    // Stored row 0 is the bottom row.
    EXPECT_EQ(fromDib.GetPixelIndex(0, 0), 2);
    EXPECT_EQ(fromDib.GetPixelIndex(2, 1), 2);
    ExpectPixel(fromDib, 1, 1, 0, 255, 0);
}

TEST(BmpRead, CoreHeaderReadsThreeByteColourEntries) {
    BmpSpec s;
    s.core = true;
    s.width = 10;
    s.height = 2;
    s.bitCount = 1;
    s.palette = {Quad(10, 20, 30), Quad(200, 100, 50)};
    // Top row (stored last): 1010000011, bottom: 0000000001.
    MemStream in(MakeBmp(s, {{0x00, 0x40}, {0xA0, 0xC0}}));
    PictaBMP bmp;
    ASSERT_EQ(bmp.Load(&in.file, nullptr, nullptr), 1);
    EXPECT_EQ(bmp.GetBitCount(), 1);
    EXPECT_EQ(bmp.GetColorNum(), 2);
    ExpectPixel(bmp, 0, 0, 200, 100, 50);
    ExpectPixel(bmp, 1, 0, 10, 20, 30);
    ExpectPixel(bmp, 9, 0, 200, 100, 50);
    ExpectPixel(bmp, 8, 1, 10, 20, 30);
    ExpectPixel(bmp, 9, 1, 200, 100, 50);
}

TEST(BmpRead, FourBitCoreHeaderWithoutFileHeader) {
    BmpSpec s;
    s.core = true;
    s.fileHeader = false;
    s.width = 3;
    s.height = 1;
    s.bitCount = 4;
    for (int i = 0; i < 16; ++i)
        s.palette.push_back(Quad(i * 16, 255 - i, i));
    MemStream in(MakeBmp(s, {{0x5F, 0x30}}));
    PictaBMP bmp;
    ASSERT_EQ(bmp.Load(&in.file, nullptr, nullptr), 1);
    EXPECT_EQ(bmp.GetPixelIndex(0, 0), 5);
    EXPECT_EQ(bmp.GetPixelIndex(1, 0), 15);
    EXPECT_EQ(bmp.GetPixelIndex(2, 0), 3);
    ExpectPixel(bmp, 1, 0, 240, 240, 15);
}

TEST(BmpRead, ZeroColoursUsedMeansTheFullTable) {
    BmpSpec s;
    s.width = 2;
    s.height = 1;
    s.bitCount = 8;
    s.colorsUsed = 0;
    s.zeroOffset = true; // the pixels must be found right after all 256 entries
    for (int i = 0; i < 256; ++i)
        s.palette.push_back(Quad(i, 255 - i, i / 2));
    MemStream in(MakeBmp(s, {{255, 128}}));
    PictaBMP bmp;
    ASSERT_EQ(bmp.Load(&in.file, nullptr, nullptr), 1);
    EXPECT_EQ(bmp.GetColorNum(), 256);
    ExpectPixel(bmp, 0, 0, 255, 0, 127);
    ExpectPixel(bmp, 1, 0, 128, 127, 64);
}

TEST(BmpRead, TopDownFileLoadsUpright) {
    BmpSpec s;
    s.width = 1;
    s.height = -3;
    s.bitCount = 24;
    // Stored first is the top row.
    MemStream in(MakeBmp(s, {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}}));
    PictaBMP bmp;
    int w = 0, h = 0;
    EXPECT_EQ(bmp.PreLoad(&in.file, w, h), 12);
    EXPECT_EQ(h, -3);
    in.file.Seek(0, 0);
    ASSERT_EQ(bmp.Load(&in.file, nullptr, nullptr), 1);
    ASSERT_EQ(bmp.Height(), 3);
    ExpectPixel(bmp, 0, 0, 1, 1, 1);
    ExpectPixel(bmp, 0, 2, 3, 3, 3);
}

TEST(BmpRead, ResolutionFromPixelsPerMetre) {
    BmpSpec s;
    s.pelsPerMetre = 3780; // 96.012 dots per inch
    MemStream in(MakeBmp(s, {{0, 0, 0}}));
    PictaBMP bmp;
    ASSERT_EQ(bmp.Load(&in.file, nullptr, nullptr), 1);
    EXPECT_EQ(bmp.GetXDPI(), 96);
    EXPECT_EQ(bmp.GetYDPI(), 96);
}

TEST(BmpRead, PlainBitFieldsReadAsPixels) {
    // 32-bit with the standard masks after the header.
    Bytes b;
    PutText(b, "BM");
    PutLe32(b, 14 + 40 + 12 + 4);
    PutLe32(b, 0);
    PutLe32(b, 14 + 40 + 12);
    PutLe32(b, 40);
    PutLe32(b, 1);
    PutLe32(b, 1);
    PutLe16(b, 1);
    PutLe16(b, 32);
    PutLe32(b, BI_BITFIELDS);
    for (int i = 0; i < 5; ++i)
        PutLe32(b, 0);
    PutLe32(b, 0xFF0000);
    PutLe32(b, 0x00FF00);
    PutLe32(b, 0x0000FF);
    Append(b, {9, 8, 7, 0});
    MemStream in(b);
    PictaBMP bmp;
    ASSERT_EQ(bmp.Load(&in.file, nullptr, nullptr), 1);
    ExpectPixel(bmp, 0, 0, 7, 8, 9);
}

TEST(BmpScale, OutputWidthOnlyKeepsTheAspectRatio) {
    MemStream in(Gradient24(100, 50));
    PictaBMP bmp;
    bmp.SetOutputWidth(50);
    ASSERT_EQ(bmp.Load(&in.file, nullptr, nullptr), 1);
    EXPECT_EQ(bmp.Width(), 50);
    EXPECT_EQ(bmp.Height(), 25);
    // Nearest neighbour: output pixel i shows input pixel 2i, row j input row 2j.
    ExpectPixel(bmp, 10, 3, 7, 7, 20);
    ExpectPixel(bmp, 49, 24, 7, 49, 98);
}

TEST(BmpScale, BoxFilledInOneDirection) {
    {
        MemStream in(Gradient24(100, 50));
        PictaBMP bmp;
        bmp.SetOutputWidth(50);
        bmp.SetOutputHeight(50);
        ASSERT_EQ(bmp.Load(&in.file, nullptr, nullptr), 1);
        EXPECT_EQ(bmp.Width(), 50);
        EXPECT_EQ(bmp.Height(), 25);
    }
    {
        MemStream in(Gradient24(100, 50));
        PictaBMP bmp;
        bmp.SetOutputWidth(100);
        bmp.SetOutputHeight(25);
        ASSERT_EQ(bmp.Load(&in.file, nullptr, nullptr), 1);
        EXPECT_EQ(bmp.Width(), 50);
        EXPECT_EQ(bmp.Height(), 25);
    }
}

TEST(BmpScale, OnlyHeightAndHeightScalingOfPackedRows) {
    BmpSpec s;
    s.width = 16;
    s.height = 4;
    s.bitCount = 4;
    s.colorsUsed = 16;
    for (int i = 0; i < 16; ++i)
        s.palette.push_back(Quad(i, i, i));
    std::vector<Bytes> rows;
    for (int i = 0; i < 4; ++i)
        rows.push_back(Bytes(8, static_cast<BYTE>(0x11 * (i + 1))));
    MemStream in(MakeBmp(s, rows));
    PictaBMP bmp;
    bmp.SetOutputHeight(2);
    ASSERT_EQ(bmp.Load(&in.file, nullptr, nullptr), 1);
    EXPECT_EQ(bmp.Width(), 8);
    EXPECT_EQ(bmp.Height(), 2);
    // Bottom output row from stored row 0 (index 1), top from stored row 2 (index 3).
    EXPECT_EQ(bmp.GetPixelIndex(7, 1), 1);
    EXPECT_EQ(bmp.GetPixelIndex(0, 0), 3);
}

TEST(BmpScale, ProgressRisesAndCancelFails) {
    std::vector<int> seen;
    auto record = [](int percent, void* user) {
        static_cast<std::vector<int>*>(user)->push_back(percent);
        return 1;
    };
    {
        MemStream in(Gradient24(40, 20));
        PictaBMP bmp;
        bmp.SetOutputWidth(20);
        ASSERT_EQ(bmp.Load(&in.file, record, &seen), 1);
        ASSERT_FALSE(seen.empty());
        for (size_t i = 1; i < seen.size(); ++i)
            EXPECT_GE(seen[i], seen[i - 1]);
        EXPECT_EQ(seen.back(), 100);
    }
    MemStream in(Gradient24(40, 20));
    PictaBMP bmp;
    bmp.SetOutputWidth(20);
    auto cancel = [](int percent, void*) { return percent < 50 ? 1 : 0; };
    EXPECT_EQ(bmp.Load(&in.file, cancel, nullptr), 0);
    EXPECT_FALSE(bmp.IsLoaded());
    EXPECT_EQ(bmp.GetSafeHandle(), nullptr);
}

TEST(BmpWrite, OneBitEightByEightIsNinetyFourBytes) {
    PictaBMP bmp;
    ASSERT_EQ(bmp.Create(8, 8, 1), 1);
    bmp.SetPixelIndex(0, 0, 1);
    GMemFile out;
    ASSERT_EQ(bmp.Save(&out, nullptr, nullptr), 1);
    Bytes b = Contents(out);
    ASSERT_EQ(b.size(), 94u);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(Le32At(b, 2), 94u);
    EXPECT_EQ(Le32At(b, 10), 62u);
    EXPECT_EQ(Le32At(b, 14), 40u);
    EXPECT_EQ(Le32At(b, 46), 2u);
    // Top-left pixel is the first bit of the last stored row.
    EXPECT_EQ(b[62 + 7 * 4], 0x80);
}

TEST(BmpWrite, ProgressInTenSlices) {
    PictaBMP bmp;
    ASSERT_EQ(bmp.Create(10, 10, 24), 1);
    std::vector<int> seen;
    GMemFile out;
    ASSERT_EQ(bmp.Save(
                  &out,
                  [](int p, void* u) {
                      static_cast<std::vector<int>*>(u)->push_back(p);
                      return 0; // ignored by writers
                  },
                  &seen),
              1);
    EXPECT_EQ(seen, (std::vector<int>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
    EXPECT_EQ(Contents(out).size(), 54u + 32u * 10u);
}

TEST(BmpRoundTrip, EightAndTwentyFourBitSurviveSaveAndLoad) {
    for (int bits : {1, 4, 8, 24, 32}) {
        PictaBMP a;
        ASSERT_EQ(a.Create(13, 7, bits), 1);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 13; ++x) {
                if (bits <= 8)
                    a.SetPixelIndex(x, y, static_cast<BYTE>((x * 3 + y) % (1 << bits)));
                else
                    a.SetPixelColor(x, 6 - y, RGB(x * 10, y * 30, 77));
            }
        a.SetXDPI(300);
        a.SetYDPI(150);
        GMemFile out;
        ASSERT_EQ(a.Save(&out, nullptr, nullptr), 1);
        Bytes saved = Contents(out);
        MemStream in(saved);
        PictaBMP b;
        ASSERT_EQ(b.Load(&in.file, nullptr, nullptr), 1) << bits;
        ASSERT_EQ(b.GetBitCount(), bits);
        EXPECT_EQ(b.GetXDPI(), 300);
        EXPECT_EQ(b.GetYDPI(), 150);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 13; ++x)
                EXPECT_EQ(b.GetPixelColor(x, y), a.GetPixelColor(x, y))
                    << bits << " " << x << "," << y;
    }
}

TEST(BmpDamaged, ShortOrWrongHeadersFail) {
    Bytes good = Gradient24(4, 4);
    for (size_t cut : {0u, 2u, 13u, 20u, 40u, 53u}) {
        MemStream in(Bytes(good.begin(), good.begin() + cut));
        PictaBMP bmp;
        EXPECT_EQ(bmp.Load(&in.file, nullptr, nullptr), 0) << cut;
        EXPECT_FALSE(bmp.IsLoaded());
    }
    auto patched = [&](size_t at, std::vector<BYTE> bytes) {
        Bytes b = good;
        for (size_t i = 0; i < bytes.size(); ++i)
            b[at + i] = bytes[i];
        MemStream in(b);
        PictaBMP bmp;
        return bmp.Load(&in.file, nullptr, nullptr);
    };
    EXPECT_EQ(patched(28, {3, 0}), 0);                   // 3 bits per pixel
    EXPECT_EQ(patched(30, {1, 0, 0, 0}), 0);             // run-length coding of 24 bits
    EXPECT_EQ(patched(18, {0, 0, 0, 0}), 0);             // zero width
    EXPECT_EQ(patched(18, {0xFF, 0xFF, 0xFF, 0xFF}), 0); // negative width
    EXPECT_EQ(patched(18, {0, 0, 1, 0}), 0);             // 65536 wide: beyond the side limit
    EXPECT_EQ(patched(10, {0xFF, 0xFF, 0, 0}), 0);       // data offset past the end
    EXPECT_EQ(patched(14, {20, 0, 0, 0}), 0);            // unknown header size
}

TEST(BmpDamaged, HugeClaimsFromFewBytesAreRefused) {
    BmpSpec s;
    // 48 MB of pixels is within the bitmap limit, but not from a few bytes of stream.
    s.width = 4000;
    s.height = 4000;
    MemStream in(MakeBmp(s, {{1, 2, 3}}));
    PictaBMP bmp;
    EXPECT_EQ(bmp.Load(&in.file, nullptr, nullptr), 0);
}

TEST(BmpDamaged, CutPixelDataLoadsWithTheMissingRowsBlank) {
    Bytes good = Gradient24(4, 4); // rows of 12 bytes, 48 bytes of pixels
    Bytes cut(good.begin(), good.end() - 24);
    MemStream in(cut);
    PictaBMP bmp;
    ASSERT_EQ(bmp.Load(&in.file, nullptr, nullptr), 1);
    // The bottom two rows were stored first and are present.
    ExpectPixel(bmp, 2, 3, 7, 3, 2);
    ExpectPixel(bmp, 1, 0, 0, 0, 0);
}
