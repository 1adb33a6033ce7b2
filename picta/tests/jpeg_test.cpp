// JPEG adapter: inputs made with libjpeg directly, scaled decoding, colour and grey, density,
// progress, saving, lossless re-orientation and damaged streams.
#include "PictaTestUtil.h"

#include <picta/PictaJPG.h>

#include <gtest/gtest.h>

#include <jpeglib.h>

#include <cstdlib>

namespace {

struct JpegSpec {
    int width = 16;
    int height = 16;
    int components = 3;
    int quality = 95;
    int densityUnit = 1;
    int density = 72;
    int sampling = 1; // 2: luma in 16 x 16 blocks
    bool progressive = false;
};

// Pixel (x, y): red x, green y, blue 128, or grey (x + y) / 2.
Bytes MakeJpeg(const JpegSpec& s) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = static_cast<JDIMENSION>(s.width);
    c.image_height = static_cast<JDIMENSION>(s.height);
    c.input_components = s.components;
    c.in_color_space = s.components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, s.quality, TRUE);
    c.density_unit = static_cast<UINT8>(s.densityUnit);
    c.X_density = static_cast<UINT16>(s.density);
    c.Y_density = static_cast<UINT16>(s.density);
    if (s.components == 3) {
        c.comp_info[0].h_samp_factor = s.sampling;
        c.comp_info[0].v_samp_factor = s.sampling;
    }
    if (s.progressive)
        jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    std::vector<JSAMPLE> row(static_cast<size_t>(s.width * s.components));
    while (c.next_scanline < c.image_height) {
        int y = static_cast<int>(c.next_scanline);
        for (int x = 0; x < s.width; ++x) {
            if (s.components == 1) {
                row[x] = static_cast<JSAMPLE>(((x + y) / 2) & 255);
            } else {
                row[3 * x] = static_cast<JSAMPLE>(x & 255);
                row[3 * x + 1] = static_cast<JSAMPLE>(y & 255);
                row[3 * x + 2] = 128;
            }
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    Bytes b(out, out + size);
    std::free(out);
    return b;
}

struct JpegHeader {
    int width = 0;
    int height = 0;
    int components = 0;
    int unit = -1;
    int xDensity = 0;
    bool ok = false;
};

JpegHeader ReadHeader(const Bytes& b) {
    JpegHeader h;
    jpeg_decompress_struct d;
    jpeg_error_mgr err;
    d.err = jpeg_std_error(&err);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, b.data(), static_cast<unsigned long>(b.size()));
    if (jpeg_read_header(&d, TRUE) == JPEG_HEADER_OK) {
        h.ok = true;
        h.width = static_cast<int>(d.image_width);
        h.height = static_cast<int>(d.image_height);
        h.components = d.num_components;
        h.unit = d.density_unit;
        h.xDensity = d.X_density;
    }
    jpeg_destroy_decompress(&d);
    return h;
}

int Load(PictaJPG& jpg, const Bytes& b, PICTAPROGRESS progress = nullptr, void* user = nullptr) {
    MemStream in(b);
    return jpg.Load(&in.file, progress, user);
}

} // namespace

TEST(JpegScale, EighthScaleForOutputWidth200) {
    JpegSpec s;
    s.width = 1600;
    s.height = 1200;
    s.quality = 50;
    Bytes b = MakeJpeg(s);
    PictaJPG jpg;
    jpg.SetOutputWidth(200);
    ASSERT_EQ(Load(jpg, b), 1);
    EXPECT_EQ(jpg.Width(), 200);
    EXPECT_EQ(jpg.Height(), 150);
    EXPECT_EQ(jpg.GetBitCount(), 24);
    // Pixel (i, j) shows the source near (8i, 8j): red follows x, green y (both mod 256).
    RGBQUAD c = jpg.GetPixel(10, 5);
    EXPECT_NEAR(c.rgbRed, 80, 12);
    EXPECT_NEAR(c.rgbGreen, 40, 12);
    EXPECT_NEAR(c.rgbBlue, 128, 12);
}

TEST(JpegScale, DenominatorRoundsDownToWhatTheLibraryOffers) {
    EXPECT_EQ(PictaJPG::SupportedDenominator(0), 1);
    EXPECT_EQ(PictaJPG::SupportedDenominator(1), 1);
    EXPECT_EQ(PictaJPG::SupportedDenominator(3), 2);
    EXPECT_EQ(PictaJPG::SupportedDenominator(5), 4);
    EXPECT_EQ(PictaJPG::SupportedDenominator(7), 4);
    EXPECT_EQ(PictaJPG::SupportedDenominator(8), 8);
    EXPECT_EQ(PictaJPG::SupportedDenominator(100), 8);
}

TEST(JpegScale, Width300IsDecodedAtQuarterAndSampled) {
    JpegSpec s;
    s.width = 1600;
    s.height = 1200;
    s.quality = 50;
    PictaJPG jpg;
    jpg.SetOutputWidth(300);
    ASSERT_EQ(Load(jpg, MakeJpeg(s)), 1);
    EXPECT_EQ(jpg.Width(), 300);
    EXPECT_EQ(jpg.Height(), 225);
    // Output x = 100 is decoded column 133 of 400, source column about 532 (red 20 mod 256).
    EXPECT_NEAR(jpg.GetPixel(100, 0).rgbRed, 532 % 256, 14);
}

TEST(JpegScale, HeightOnlyAndBothRequested) {
    JpegSpec s;
    s.width = 320;
    s.height = 160;
    Bytes b = MakeJpeg(s);
    {
        PictaJPG jpg;
        jpg.SetOutputHeight(40);
        ASSERT_EQ(Load(jpg, b), 1);
        EXPECT_EQ(jpg.Width(), 80);
        EXPECT_EQ(jpg.Height(), 40);
    }
    {
        PictaJPG jpg;
        jpg.SetOutputWidth(100);
        jpg.SetOutputHeight(100);
        ASSERT_EQ(Load(jpg, b), 1);
        EXPECT_EQ(jpg.Width(), 100);
        EXPECT_EQ(jpg.Height(), 50);
    }
}

TEST(JpegColour, ColourRowsAreBlueGreenRedInTheBitmap) {
    JpegSpec s;
    s.width = 64;
    s.height = 64;
    PictaJPG jpg;
    ASSERT_EQ(Load(jpg, MakeJpeg(s)), 1);
    EXPECT_EQ(jpg.Info().format, 3u);
    EXPECT_EQ(jpg.GetColorNum(), 0);
    EXPECT_EQ(jpg.IsDamaged(), 0);
    RGBQUAD c = jpg.GetPixel(50, 10);
    EXPECT_NEAR(c.rgbRed, 50, 6);
    EXPECT_NEAR(c.rgbGreen, 10, 6);
    EXPECT_NEAR(c.rgbBlue, 128, 6);
}

TEST(JpegColour, GreyscaleLoadsAsEightBitWithTheIdentityRamp) {
    JpegSpec s;
    s.components = 1;
    s.width = 40;
    s.height = 20;
    PictaJPG jpg;
    ASSERT_EQ(Load(jpg, MakeJpeg(s)), 1);
    EXPECT_EQ(jpg.GetBitCount(), 8);
    EXPECT_EQ(jpg.GetColorNum(), 256);
    EXPECT_TRUE(jpg.IsGrayScale());
    EXPECT_NEAR(jpg.GetPixelIndex(30, 10), 20, 4);
}

TEST(JpegDensity, DotsPerCentimetreAndPerInch) {
    JpegSpec s;
    s.densityUnit = 2;
    s.density = 72;
    PictaJPG cm;
    ASSERT_EQ(Load(cm, MakeJpeg(s)), 1);
    EXPECT_EQ(cm.GetXDPI(), 183);
    EXPECT_EQ(cm.GetYDPI(), 183);
    s.densityUnit = 1;
    s.density = 300;
    PictaJPG inch;
    ASSERT_EQ(Load(inch, MakeJpeg(s)), 1);
    EXPECT_EQ(inch.GetXDPI(), 300);
    EXPECT_EQ(inch.GetInfoHeader()->biXPelsPerMeter, 11811);
    EXPECT_EQ(inch.GetDensityUnit(), 1);
    // Unit 0: the densities are only the shape of a pixel, kept as the file has them.
    s.densityUnit = 0;
    s.density = 1;
    PictaJPG ratio;
    ASSERT_EQ(Load(ratio, MakeJpeg(s)), 1);
    EXPECT_EQ(ratio.GetDensityUnit(), 0);
    EXPECT_EQ(ratio.GetXDensity(), 1);
    EXPECT_EQ(ratio.GetYDensity(), 1);
}

TEST(JpegProgress, TensUpTo100AndCancellation) {
    JpegSpec s;
    s.width = 64;
    s.height = 200;
    Bytes b = MakeJpeg(s);
    std::vector<int> seen;
    PictaJPG jpg;
    ASSERT_EQ(Load(
                  jpg, b,
                  [](int p, void* u) {
                      static_cast<std::vector<int>*>(u)->push_back(p);
                      return 1;
                  },
                  &seen),
              1);
    ASSERT_GE(seen.size(), 10u);
    for (int p : seen)
        EXPECT_EQ(p % 10, 0);
    EXPECT_EQ(seen.back(), 100);
    PictaJPG cancelled;
    EXPECT_EQ(Load(cancelled, b, [](int p, void*) { return p < 30 ? 1 : 0; }), 0);
    EXPECT_FALSE(cancelled.IsLoaded());
    EXPECT_EQ(cancelled.GetBits(), nullptr);
}

TEST(JpegSave, ColourRoundTripWithinError) {
    PictaJPG a;
    ASSERT_EQ(a.Create(96, 64, 24), 1);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 96; ++x)
            a.SetPixelColor(x, 63 - y, RGB(x * 2, y * 3, 200 - x));
    a.Info().quality = 90;
    a.SetXDPI(150);
    a.SetYDPI(150);
    GMemFile out;
    ASSERT_EQ(a.Save(&out, nullptr, nullptr), 1);
    Bytes b = Contents(out);
    JpegHeader h = ReadHeader(b);
    ASSERT_TRUE(h.ok);
    EXPECT_EQ(h.components, 3);
    EXPECT_EQ(h.unit, 1);
    EXPECT_EQ(h.xDensity, 150);
    PictaJPG back;
    ASSERT_EQ(Load(back, b), 1);
    long total = 0;
    int worst = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 96; ++x) {
            RGBQUAD p = a.GetPixel(x, y), q = back.GetPixel(x, y);
            for (int d : {p.rgbRed - q.rgbRed, p.rgbGreen - q.rgbGreen, p.rgbBlue - q.rgbBlue}) {
                d = d < 0 ? -d : d;
                total += d;
                worst = d > worst ? d : worst;
            }
        }
    // A smooth picture at quality 90: small average error, no wild pixel.
    EXPECT_LT(static_cast<double>(total) / (96 * 64 * 3), 2.0);
    EXPECT_LE(worst, 16);
}

TEST(JpegSave, GreyRampIsOneComponentAndOtherPalettesAreRefused) {
    PictaJPG grey;
    ASSERT_EQ(grey.Create(16, 8, 8), 1);
    grey.SetGrayPalette();
    for (int x = 0; x < 16; ++x)
        for (int y = 0; y < 8; ++y)
            grey.SetPixelIndex(x, y, static_cast<BYTE>(x * 16));
    GMemFile out;
    ASSERT_EQ(grey.Save(&out, nullptr, nullptr), 1);
    JpegHeader h = ReadHeader(Contents(out));
    EXPECT_TRUE(h.ok);
    EXPECT_EQ(h.components, 1);
    PictaJPG back;
    ASSERT_EQ(Load(back, Contents(out)), 1);
    EXPECT_NEAR(back.GetPixelIndex(10, 3), 160, 6);

    PictaJPG sixteen;
    ASSERT_EQ(sixteen.Create(8, 8, 4), 1);
    GMemFile none;
    EXPECT_EQ(sixteen.Save(&none, nullptr, nullptr), 0);
}

TEST(JpegRotation, TurnRightTrimsToWholeBlocks) {
    JpegSpec s;
    s.width = 100;
    s.height = 60;
    s.sampling = 2;
    Bytes b = MakeJpeg(s);
    MemStream in(b);
    GMemFile out;
    PictaJPG jpg;
    ASSERT_EQ(jpg.SaveRotation(&out, &in.file, eTransformRotate90), 1);
    JpegHeader h = ReadHeader(Contents(out));
    ASSERT_TRUE(h.ok);
    EXPECT_EQ(h.width, 48);
    EXPECT_EQ(h.height, 100);
    EXPECT_EQ(h.components, 3);
    // The top-left corner of the turned picture is the source's bottom-left (green 47 or so).
    PictaJPG turned;
    ASSERT_EQ(Load(turned, Contents(out)), 1);
    RGBQUAD c = turned.GetPixel(0, 0);
    EXPECT_NEAR(c.rgbRed, 0, 10);
    EXPECT_NEAR(c.rgbGreen, 47, 10);
}

TEST(JpegRotation, EveryCodeGivesTheExpectedSize) {
    JpegSpec s;
    s.width = 64;
    s.height = 32;
    s.sampling = 2;
    Bytes b = MakeJpeg(s);
    for (int code = 0; code <= 7; ++code) {
        MemStream in(b);
        GMemFile out;
        PictaJPG jpg;
        ASSERT_EQ(jpg.SaveRotation(&out, &in.file, code), 1) << code;
        JpegHeader h = ReadHeader(Contents(out));
        bool swapped = code == 3 || code == 4 || code == 5 || code == 7;
        EXPECT_EQ(h.width, swapped ? 32 : 64) << code;
        EXPECT_EQ(h.height, swapped ? 64 : 32) << code;
    }
    MemStream bad(Bytes{1, 2, 3, 4});
    GMemFile out;
    PictaJPG jpg;
    EXPECT_EQ(jpg.SaveRotation(&out, &bad.file, 5), 0);
    MemStream in(b);
    EXPECT_EQ(jpg.SaveRotation(&out, &in.file, 8), 0);
}

TEST(JpegDamaged, CutFilesDecodeWhatTheyHold) {
    JpegSpec s;
    s.width = 64;
    s.height = 512;
    Bytes b = MakeJpeg(s);
    Bytes cut(b.begin(), b.begin() + static_cast<long>(b.size() * 3 / 4));
    PictaJPG jpg;
    ASSERT_EQ(Load(jpg, cut), 1);
    EXPECT_EQ(jpg.IsDamaged(), 1);
    EXPECT_EQ(jpg.Height(), 512);
    // The top rows came before the cut.
    EXPECT_NEAR(jpg.GetPixel(20, 2).rgbRed, 20, 8);
    EXPECT_NEAR(jpg.GetPixel(20, 2).rgbGreen, 2, 8);
}

TEST(JpegDamaged, GarbageEmptyAndHeaderOnlyFail) {
    PictaJPG jpg;
    EXPECT_EQ(Load(jpg, {}), 0);
    EXPECT_EQ(Load(jpg, {0xFF, 0xD8}), 0);
    EXPECT_EQ(Load(jpg, Bytes(100, 0x55)), 0);
    EXPECT_FALSE(jpg.IsLoaded());
    int w = 0, h = 0;
    MemStream in(Bytes(10, 0));
    EXPECT_EQ(jpg.PreLoad(&in.file, w, h), 0);
}

TEST(JpegDamaged, HugeDimensionsFromASmallFileAreRefused) {
    JpegSpec s;
    s.width = 8;
    s.height = 8;
    Bytes b = MakeJpeg(s);
    // Patch the frame header (SOF0) to 30000 x 30000.
    for (size_t i = 0; i + 8 < b.size(); ++i)
        if (b[i] == 0xFF && b[i + 1] == 0xC0) {
            b[i + 5] = 30000 >> 8;
            b[i + 6] = 30000 & 255;
            b[i + 7] = 30000 >> 8;
            b[i + 8] = 30000 & 255;
            break;
        }
    PictaJPG jpg;
    EXPECT_EQ(Load(jpg, b), 0);
    int w = 0, h = 0;
    MemStream in(b);
    EXPECT_GT(jpg.PreLoad(&in.file, w, h), 0);
    EXPECT_EQ(w, 30000);
}

TEST(JpegDamaged, ProgressiveFilesLoadToo) {
    JpegSpec s;
    s.width = 48;
    s.height = 40;
    s.progressive = true;
    PictaJPG jpg;
    ASSERT_EQ(Load(jpg, MakeJpeg(s)), 1);
    EXPECT_NEAR(jpg.GetPixel(40, 30).rgbGreen, 30, 8);
}
