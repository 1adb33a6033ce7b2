// GIF writing: the bytes of each block, the tile mosaic, and round trips of every encoding
// through our reader and through giflib's.
#include "GifTestUtil.h"

#include <picta/PictaGIF.h>

#include <gtest/gtest.h>

#ifdef PICTA_HAVE_GIFLIB
#include <gif_lib.h>
#endif

#include <cstring>

namespace {

Bytes SaveGif(PictaGIF& gif) {
    GMemFile out;
    EXPECT_EQ(gif.Save(&out, nullptr, nullptr), 1);
    return Contents(out);
}

// An indexed picture with runs, steps and noise, so every coder meets each case.
void Paint(GDib& dib, int colours) {
    for (int y = 0; y < dib.Height(); ++y)
        for (int x = 0; x < dib.Width(); ++x) {
            int v;
            if (y % 7 == 0)
                v = 3 % colours; // long runs
            else if (x < dib.Width() / 3)
                v = (x / 4) % colours;
            else
                v = (x * 31 + y * 17 + (x * y) % 5) % colours;
            dib.SetPixelIndex(x, y, static_cast<BYTE>(v));
        }
}

struct Decoded {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;
};

#ifdef PICTA_HAVE_GIFLIB
int ReadFromBytes(GifFileType* gif, GifByteType* to, int count) {
    auto* src = static_cast<std::pair<const Bytes*, size_t>*>(gif->UserData);
    size_t left = src->first->size() - src->second;
    size_t n = static_cast<size_t>(count) < left ? static_cast<size_t>(count) : left;
    std::memcpy(to, src->first->data() + src->second, n);
    src->second += n;
    return static_cast<int>(n);
}

// giflib's decoding, every image drawn at its place on the screen with its own table.
bool GiflibDecode(const Bytes& bytes, Decoded& out) {
    std::pair<const Bytes*, size_t> src(&bytes, 0);
    int error = 0;
    GifFileType* gif = DGifOpen(&src, ReadFromBytes, &error);
    if (!gif)
        return false;
    bool ok = DGifSlurp(gif) == GIF_OK;
    if (ok) {
        out.width = gif->SWidth;
        out.height = gif->SHeight;
        out.pixels.assign(static_cast<size_t>(out.width) * out.height, 0);
        for (int i = 0; i < gif->ImageCount; ++i) {
            const SavedImage& im = gif->SavedImages[i];
            const ColorMapObject* map =
                im.ImageDesc.ColorMap ? im.ImageDesc.ColorMap : gif->SColorMap;
            for (int y = 0; y < im.ImageDesc.Height; ++y)
                for (int x = 0; x < im.ImageDesc.Width; ++x) {
                    int index = im.RasterBits[y * im.ImageDesc.Width + x];
                    const GifColorType& c = map->Colors[index];
                    out.pixels[(im.ImageDesc.Top + y) * out.width + im.ImageDesc.Left + x] =
                        RGB(c.Red, c.Green, c.Blue);
                }
        }
    }
    DGifCloseFile(gif, &error);
    return ok;
}
#endif

} // namespace

TEST(GifWrite, HeaderPackedByteAndFullTablePerDepth) {
    struct Case {
        int bits;
        BYTE packed;
    } cases[] = {{1, 0x80}, {2, 0xA1}, {4, 0xE3}, {8, 0xE7}};
    for (const Case& c : cases) {
        PictaGIF gif;
        ASSERT_EQ(gif.Create(3, 2, c.bits), 1);
        Bytes b = SaveGif(gif);
        ASSERT_GT(b.size(), 13u);
        EXPECT_EQ(std::string(b.begin(), b.begin() + 6), "GIF89a");
        EXPECT_EQ(Le16At(b, 6), 3);
        EXPECT_EQ(Le16At(b, 8), 2);
        EXPECT_EQ(b[10], c.packed) << c.bits;
        size_t table = 3u << c.bits;
        // Straight after the table: the graphic control block, delay 0 (a still picture).
        size_t at = 13 + table;
        ASSERT_GT(b.size(), at + 8);
        EXPECT_EQ(b[at], 0x21);
        EXPECT_EQ(b[at + 1], 0xF9);
        EXPECT_EQ(b[at + 2], 4);
        EXPECT_EQ(b[at + 3], 0);
        EXPECT_EQ(Le16At(b, at + 4), 0);
        EXPECT_EQ(b[at + 8], 0x2C);
        EXPECT_EQ(b[at + 17], 0); // no local table
        EXPECT_EQ(b[at + 18], c.bits < 2 ? 2 : c.bits);
        EXPECT_EQ(b.back(), 0x3B);
    }
}

TEST(GifWrite, TransparencyAndDisposalInTheControlBlock) {
    PictaGIF gif;
    ASSERT_EQ(gif.Create(2, 2, 8), 1);
    gif.Info().transIndex = 9;
    gif.SetDisposalMethod(2);
    Bytes b = SaveGif(gif);
    size_t at = 13 + 768;
    EXPECT_EQ(b[at + 3], (2 << 2) | 1);
    EXPECT_EQ(b[at + 6], 9);
}

TEST(GifWrite, LzwStartsWithClearCodeInNineBits) {
    PictaGIF gif;
    ASSERT_EQ(gif.Create(4, 4, 8), 1);
    Paint(gif, 256);
    gif.Info().compression = 2;
    Bytes b = SaveGif(gif);
    size_t data = 13 + 768 + 8 + 10;
    EXPECT_EQ(b[data], 8);
    ASSERT_GT(b[data + 1], 1);
    // 256 in 9 bits, least significant bit first.
    EXPECT_EQ(b[data + 2], 0x00);
    EXPECT_EQ(b[data + 3] & 1, 1);
}

TEST(GifWrite, CommentAndLoopBlocks) {
    PictaGIF gif;
    ASSERT_EQ(gif.Create(2, 2, 4), 1);
    gif.SetComment("hello");
    gif.SetLoops(-1);
    Bytes b = SaveGif(gif);
    std::string s(b.begin(), b.end());
    size_t app = s.find("NETSCAPE2.0");
    ASSERT_NE(app, std::string::npos);
    EXPECT_EQ(b[app + 11], 3);
    EXPECT_EQ(Le16At(b, app + 13), 0); // forever
    size_t comment = s.find("\x21\xFE\x05hello");
    EXPECT_NE(comment, std::string::npos);
    PictaGIF back;
    MemStream in(b);
    ASSERT_EQ(back.Load(&in.file, nullptr, nullptr), 1);
    char text[256];
    back.GetComment(text);
    EXPECT_STREQ(text, "hello");
}

TEST(GifWrite, DeepImagesBecomeTilesWithTheirOwnTables) {
    PictaGIF gif;
    ASSERT_EQ(gif.Create(34, 15, 24), 1);
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 34; ++x)
            gif.SetPixelColor(x, y, RGB(x * 7, y * 13, (x + y) * 3));
    Bytes b = SaveGif(gif);
    EXPECT_EQ(b[10], 0x11);
    // Walk the blocks and collect the image descriptors.
    std::vector<std::tuple<int, int, int, int, int>> images;
    size_t at = 13;
    while (at < b.size() && b[at] != 0x3B) {
        if (b[at] == 0x21) {
            at += 2;
            while (b[at])
                at += b[at] + 1;
            ++at;
        } else {
            ASSERT_EQ(b[at], 0x2C);
            images.push_back({Le16At(b, at + 1), Le16At(b, at + 3), Le16At(b, at + 5),
                              Le16At(b, at + 7), b[at + 9]});
            at += 10 + ((b[at + 9] & 0x80) ? 768 : 0) + 1;
            while (b[at])
                at += b[at] + 1;
            ++at;
        }
    }
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ(images[0], std::make_tuple(0, 0, 17, 15, 0x87));
    EXPECT_EQ(images[1], std::make_tuple(17, 0, 17, 15, 0x87));
}

TEST(GifRoundTrip, EveryEncodingReadsBackExactly) {
    for (int compression : {0, 1, 2}) {
        for (int bits : {1, 2, 4, 8}) {
            PictaGIF a;
            ASSERT_EQ(a.Create(61, 37, bits), 1);
            for (int i = 0; i < (1 << bits); ++i)
                a.SetPaletteColor(i, static_cast<BYTE>(i), static_cast<BYTE>(255 - i),
                                  static_cast<BYTE>(i * 3));
            Paint(a, 1 << bits);
            a.Info().compression = compression;
            Bytes saved = SaveGif(a);
            PictaGIF b;
            MemStream in(saved);
            ASSERT_EQ(b.Load(&in.file, nullptr, nullptr), 1);
            ASSERT_EQ(b.Width(), 61);
            ASSERT_EQ(b.Height(), 37);
            int wrong = 0;
            for (int y = 0; y < 37; ++y)
                for (int x = 0; x < 61; ++x)
                    wrong += b.GetPixelColor(x, y) != a.GetPixelColor(x, y);
            EXPECT_EQ(wrong, 0) << "compression " << compression << " bits " << bits;
        }
    }
}

TEST(GifRoundTrip, LargeRunsAndTableOverflowSurvive) {
    // Long runs of few values and then noise of all 256, past the 4096-code table several times.
    for (int compression : {0, 1, 2}) {
        PictaGIF a;
        ASSERT_EQ(a.Create(300, 200, 8), 1);
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 300; ++x) {
                int v = y < 80 ? (x / 150 + y / 40) : y < 120 ? 255 : (x * 7919 + y * 104729) % 256;
                a.SetPixelIndex(x, y, static_cast<BYTE>(v));
            }
        a.Info().compression = compression;
        Bytes saved = SaveGif(a);
        PictaGIF b;
        MemStream in(saved);
        ASSERT_EQ(b.Load(&in.file, nullptr, nullptr), 1);
        int wrong = 0;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 300; ++x)
                wrong += b.GetPixelColor(x, y) != a.GetPixelColor(x, y);
        EXPECT_EQ(wrong, 0) << compression;
    }
}

TEST(GifRoundTrip, RunLengthIsSmallerThanPlainOnFlatPictures) {
    PictaGIF a;
    ASSERT_EQ(a.Create(200, 100, 8), 1);
    a.Info().compression = 1;
    size_t plain = SaveGif(a).size();
    a.Info().compression = 0;
    size_t runs = SaveGif(a).size();
    EXPECT_LT(runs * 10, plain);
}

TEST(GifRoundTrip, DeepImageMosaicReadsBackAsOneLosslessPicture) {
    PictaGIF a;
    ASSERT_EQ(a.Create(40, 33, 24), 1);
    for (int y = 0; y < 33; ++y)
        for (int x = 0; x < 40; ++x)
            a.SetPixelColor(x, y, RGB(x * 6, y * 7, (x * y) & 255));
    a.Info().transIndex = 0;
    a.Info().transColor = RGBQUAD{3, 2, 1, 0};
    a.SetPixelColor(5, 26, RGB(1, 2, 3)); // stored row 26: picture row 6
    Bytes saved = SaveGif(a);
    // Nine tiles, each shown at once: every control block has delay 0.
    int blocks = 0;
    for (size_t i = 0; i + 5 < saved.size(); ++i)
        if (saved[i] == 0x21 && saved[i + 1] == 0xF9 && saved[i + 2] == 4) {
            ++blocks;
            EXPECT_EQ(Le16At(saved, i + 4), 0);
        }
    EXPECT_EQ(blocks, 9);
    PictaGIF b;
    MemStream in(saved);
    ASSERT_EQ(b.Load(&in.file, nullptr, nullptr), 1);
    EXPECT_EQ(b.GetTotalFrame(), 1);
    EXPECT_EQ(b.NextFrame(), 0);
    ASSERT_EQ(b.Width(), 40);
    ASSERT_EQ(b.Height(), 33);
    EXPECT_EQ(b.GetFileBitCount(), 8);
    int wrong = 0;
    for (int y = 0; y < 33; ++y)
        for (int x = 0; x < 40; ++x)
            if (x != 5 || y != 6)
                wrong += b.GetPixelColor(x, y) != a.GetPixelColor(x, y);
    EXPECT_EQ(wrong, 0);
    // The transparent pixel shows the picture's key colour.
    EXPECT_EQ(b.Info().transIndex, 0);
    EXPECT_EQ(b.GetPixelColor(5, 6), QuadToColor(b.Info().transColor));
    // Asked for half the size, the whole picture is scaled like a single frame.
    PictaGIF c;
    MemStream again(saved);
    c.SetOutputWidth(20);
    ASSERT_EQ(c.Load(&again.file, nullptr, nullptr), 1);
    EXPECT_EQ(c.Width(), 20);
    EXPECT_EQ(c.Height(), 16);
    EXPECT_EQ(c.GetPixelColor(3, 2), a.GetPixelColor(6, 4));
}

#ifdef PICTA_HAVE_GIFLIB
TEST(GifIndependent, GiflibDecodesEveryEncodingIdentically) {
    for (int compression : {0, 1, 2}) {
        for (int bits : {1, 4, 8}) {
            PictaGIF a;
            ASSERT_EQ(a.Create(123, 45, bits), 1);
            for (int i = 0; i < (1 << bits); ++i)
                a.SetPaletteColor(i, static_cast<BYTE>(i * 5), static_cast<BYTE>(i), 77);
            Paint(a, 1 << bits);
            a.Info().compression = compression;
            Decoded d;
            ASSERT_TRUE(GiflibDecode(SaveGif(a), d)) << compression << " " << bits;
            ASSERT_EQ(d.width, 123);
            ASSERT_EQ(d.height, 45);
            int wrong = 0;
            for (int y = 0; y < 45; ++y)
                for (int x = 0; x < 123; ++x)
                    wrong += d.pixels[y * 123 + x] != a.GetPixelColor(x, y);
            EXPECT_EQ(wrong, 0) << "compression " << compression << " bits " << bits;
        }
    }
}

TEST(GifIndependent, GiflibDecodesTheMosaic) {
    PictaGIF a;
    ASSERT_EQ(a.Create(50, 31, 24), 1);
    for (int y = 0; y < 31; ++y)
        for (int x = 0; x < 50; ++x)
            a.SetPixelColor(x, y, RGB(x * 5, 255 - y * 8, (x ^ y) * 4));
    for (int compression : {0, 1, 2}) {
        a.Info().compression = compression;
        Decoded d;
        ASSERT_TRUE(GiflibDecode(SaveGif(a), d));
        int wrong = 0;
        for (int y = 0; y < 31; ++y)
            for (int x = 0; x < 50; ++x)
                wrong += d.pixels[y * 50 + x] != a.GetPixelColor(x, y);
        EXPECT_EQ(wrong, 0) << compression;
    }
}
#endif
