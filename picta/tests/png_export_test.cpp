// Pictures exported as PNG through the platform's writer show the colours their files hold:
// paletted bitmaps of every depth, greyscale JPEG, and transparent GIF with an alpha channel.
#include "BmpTestUtil.h"
#include "GifTestUtil.h"

#include <TestDevice.h>
#include <TestPng.h>
#include <picta/GImage.h>
#include <platform/wingdi.h>

#include <gtest/gtest.h>

#include <jpeglib.h>

namespace {

struct Exported {
    TestPicture png;
    bool ok = false;
    // Red, green, blue and alpha of pixel (x, y).
    std::vector<int> At(int x, int y) const {
        COLORREF c = png.At(x, y);
        return {GetRValue(c), GetGValue(c), GetBValue(c), png.AlphaAt(x, y)};
    }
};

Exported Export(GImage& image, const TestDevice& device, const COLORREF* key = nullptr) {
    std::string path = device.Host("out.png");
    bool ok = key ? plat::SaveSurfacePng(image.GetSafeHandle(), path, *key)
                  : plat::SaveSurfacePng(image.GetSafeHandle(), path);
    EXPECT_TRUE(ok);
    Exported e;
    e.ok = ReadTestPng(path, &e.png);
    return e;
}

std::vector<int> Colour(RGBQUAD c) {
    return {c.rgbRed, c.rgbGreen, c.rgbBlue, 255};
}

} // namespace

TEST(PngExport, PalettedBitmapsShowTheirOwnTableAtEveryDepth) {
    TestDevice device;
    struct Case {
        int bits;
        std::vector<std::vector<int>> rows;
    };
    // Tables unlike the defaults a new bitmap gets: black and white swapped for 1 bit.
    const Case cases[] = {
        {1, {{0, 1, 0, 1, 1}, {1, 1, 0, 0, 0}}},
        {4, {{0, 1, 2, 3, 7}, {12, 13, 14, 15, 8}}},
        {8, {{0, 1, 200, 3, 77}, {12, 13, 14, 255, 128}}},
    };
    for (const Case& c : cases) {
        int n = 1 << c.bits;
        std::vector<RGBQUAD> table;
        for (int i = 0; i < n; ++i)
            table.push_back(c.bits == 1 ? Rgb(255 * (1 - i), 255 * (1 - i), 255 * (1 - i))
                                        : Rgb(i, 255 - i, (i * 37) & 255));
        Bytes file = BmpFile(5, 2, c.bits, 0, table, PackedRows(c.bits, c.rows));
        GImage image;
        ASSERT_EQ(image.Load(file.data(), static_cast<DWORD>(file.size()), eImageBMP), 1);
        ASSERT_EQ(image.GetGDib()->GetBitCount(), c.bits);
        Exported png = Export(image, device);
        ASSERT_TRUE(png.ok) << c.bits;
        ASSERT_TRUE(png.png.alpha.empty());
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(png.At(x, y), Colour(table[c.rows[y][x]]))
                    << c.bits << ": " << x << "," << y;
    }
}

TEST(PngExport, GreyscaleJpegShowsItsGreys) {
    TestDevice device;
    // A flat grey picture in a ramp of eight steps, exact at the highest quality.
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = 64;
    c.image_height = 8;
    c.input_components = 1;
    c.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 100, TRUE);
    jpeg_start_compress(&c, TRUE);
    JSAMPLE row[64];
    for (int x = 0; x < 64; ++x)
        row[x] = static_cast<JSAMPLE>((x / 8) * 32 + 16);
    while (c.next_scanline < c.image_height) {
        JSAMPROW rows[1] = {row};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    Bytes file(out, out + size);
    std::free(out);

    GImage image;
    ASSERT_EQ(image.Load(file.data(), static_cast<DWORD>(file.size()), eImageJPEG), 1);
    ASSERT_EQ(image.GetGDib()->GetBitCount(), 8);
    Exported png = Export(image, device);
    ASSERT_TRUE(png.ok);
    for (int x = 4; x < 64; x += 8) {
        int grey = (x / 8) * 32 + 16;
        EXPECT_EQ(png.At(x, 4), (std::vector<int>{grey, grey, grey, 255})) << x;
    }
}

TEST(PngExport, TransparentColourBecomesAlpha) {
    TestDevice device;
    std::vector<RGB3> table = {{10, 20, 30}, {0, 0, 0}, {200, 100, 50}, {1, 1, 1}};
    GifBuilder g;
    g.Header("GIF89a", 3, 2, table).Control(0, 0, 1);
    g.Image(0, 0, 3, 2, false, {}, 2, PlainCodes(2, {0, 1, 2, 1, 3, 0})).Trailer();
    GImage image;
    ASSERT_EQ(image.Load(g.b.data(), static_cast<DWORD>(g.b.size()), eImageGIF), 1);
    COLORREF key = QuadToColor(image.GetPicta()->Info().transColor);
    Exported png = Export(image, device, &key);
    ASSERT_TRUE(png.ok);
    ASSERT_FALSE(png.png.alpha.empty());
    const std::vector<std::vector<int>> expected[2] = {
        {{10, 20, 30, 255}, {0, 0, 0, 0}, {200, 100, 50, 255}},
        {{0, 0, 0, 0}, {1, 1, 1, 255}, {10, 20, 30, 255}}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(png.At(x, y), expected[y][x]) << x << "," << y;
}
