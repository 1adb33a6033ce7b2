// GIF reading from streams built block by block: signatures, LZW, interlace, transparency,
// frames and animation, and damaged input.
#include "GifTestUtil.h"

#include <picta/PictaGIF.h>

#include <gtest/gtest.h>

namespace {

int LoadGif(PictaGIF& gif, const Bytes& bytes) {
    MemStream in(bytes);
    return gif.Load(&in.file, nullptr, nullptr);
}

COLORREF Entry(const std::vector<RGB3>& t, int i) {
    return RGB(t[i].red, t[i].green, t[i].blue);
}

// One frame of w x h filling the screen, pixels as given, with a 16-entry ramp.
Bytes OneFrame(const char* signature, int w, int h, const std::vector<int>& pixels,
               bool interlaced = false) {
    GifBuilder g;
    g.Header(signature, w, h, Ramp(16))
        .Image(0, 0, w, h, interlaced, {}, 4, PlainCodes(4, pixels))
        .Trailer();
    return g.b;
}

} // namespace

TEST(GifSignature, OnlyTheGif8PrefixIsChecked) {
    std::vector<int> px = {1, 2, 3, 4};
    for (const char* sig : {"GIF87a", "GIF89a", "GIF80a", "GIF8zz"}) {
        PictaGIF gif;
        EXPECT_EQ(LoadGif(gif, OneFrame(sig, 2, 2, px)), 1) << sig;
    }
    for (const char* sig : {"GIF90a", "GIF79a", "GIX89a"}) {
        PictaGIF gif;
        EXPECT_EQ(LoadGif(gif, OneFrame(sig, 2, 2, px)), 0) << sig;
        EXPECT_FALSE(gif.IsLoaded());
    }
    PictaGIF gif;
    EXPECT_EQ(LoadGif(gif, {}), 0);
    int w = 0, h = 0;
    MemStream in(OneFrame("GIF89a", 5, 3, std::vector<int>(15, 1)));
    EXPECT_EQ(gif.PreLoad(&in.file, w, h), 16 * 3);
    EXPECT_EQ(w, 5);
    EXPECT_EQ(h, 3);
}

TEST(GifDecode, SingleFrameBecomesTwentyFourBitWithItsColours) {
    std::vector<int> px = {0, 1, 2, 3, 15, 14};
    PictaGIF gif;
    ASSERT_EQ(LoadGif(gif, OneFrame("GIF89a", 3, 2, px)), 1);
    EXPECT_EQ(gif.GetBitCount(), 24);
    EXPECT_EQ(gif.Info().format, 2u);
    EXPECT_EQ(gif.GetTotalFrame(), 1);
    auto ramp = Ramp(16);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(gif.GetPixelColor(i % 3, i / 3), Entry(ramp, px[i])) << i;
}

TEST(GifDecode, TableBuildingCodesAndWidthGrowth) {
    // Minimum code size 2: clear 4, end 5. After 0 and 1 the decoder holds 6 = "01"; sending
    // 6 adds 7 = "10" and the table reaches 8 entries, so the end code comes in 4 bits.
    Bytes data = PackCodes({{4, 3}, {0, 3}, {1, 3}, {6, 3}, {5, 4}});
    GifBuilder g;
    g.Header("GIF89a", 4, 1, Ramp(4)).Image(0, 0, 4, 1, false, {}, 2, data).Trailer();
    PictaGIF gif;
    ASSERT_EQ(LoadGif(gif, g.b), 1);
    auto ramp = Ramp(4);
    int expect[4] = {0, 1, 0, 1};
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(gif.GetPixelColor(x, 0), Entry(ramp, expect[x])) << x;
}

TEST(GifDecode, CodeNotYetInTableRepeatsThePreviousString) {
    // 1, then 6 (the code being defined: "11"), then 7 ("111"): six pixels of 1.
    Bytes data = PackCodes({{4, 3}, {1, 3}, {6, 3}, {7, 3}, {5, 4}});
    GifBuilder g;
    g.Header("GIF89a", 6, 1, Ramp(4)).Image(0, 0, 6, 1, false, {}, 2, data).Trailer();
    PictaGIF gif;
    ASSERT_EQ(LoadGif(gif, g.b), 1);
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(gif.GetPixelColor(x, 0), Entry(Ramp(4), 1)) << x;
}

TEST(GifDecode, InterlacedEightRowsArriveInFourPasses) {
    // Stream row k is filled with value k; image row r must show its place in the order.
    std::vector<int> px;
    for (int k = 0; k < 8; ++k)
        for (int x = 0; x < 2; ++x)
            px.push_back(k);
    PictaGIF gif;
    ASSERT_EQ(LoadGif(gif, OneFrame("GIF89a", 2, 8, px, true)), 1);
    int order[8] = {0, 4, 2, 6, 1, 3, 5, 7};
    auto ramp = Ramp(16);
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(gif.GetPixelColor(1, order[k]), Entry(ramp, k)) << "row " << order[k];
}

TEST(GifDecode, InterlacedThreeRowsSkipThePassFromRowFour) {
    std::vector<int> px = {5, 6, 7};
    PictaGIF gif;
    ASSERT_EQ(LoadGif(gif, OneFrame("GIF89a", 1, 3, px, true)), 1);
    auto ramp = Ramp(16);
    EXPECT_EQ(gif.GetPixelColor(0, 0), Entry(ramp, 5));
    EXPECT_EQ(gif.GetPixelColor(0, 2), Entry(ramp, 6));
    EXPECT_EQ(gif.GetPixelColor(0, 1), Entry(ramp, 7));
}

TEST(GifDecode, OutputSizeScalesASingleFrame) {
    std::vector<int> px(40 * 20, 3);
    PictaGIF gif;
    gif.SetOutputWidth(10);
    ASSERT_EQ(LoadGif(gif, OneFrame("GIF89a", 40, 20, px)), 1);
    EXPECT_EQ(gif.Width(), 10);
    EXPECT_EQ(gif.Height(), 5);
    EXPECT_EQ(gif.GetPixelColor(9, 4), Entry(Ramp(16), 3));
}

TEST(GifFrames, TableSizeChoosesTheFrameDepth) {
    GifBuilder g;
    g.Header("GIF89a", 4, 1, Ramp(4));
    g.Image(0, 0, 4, 1, false, Ramp(2), 2, PlainCodes(2, {0, 1, 1, 0}));
    g.Image(0, 0, 4, 1, false, {}, 2, PlainCodes(2, {3, 2, 1, 0}));
    g.Image(0, 0, 4, 1, false, Ramp(32), 5, PlainCodes(5, {31, 2, 1, 0}));
    g.Trailer();
    PictaGIF gif;
    ASSERT_EQ(LoadGif(gif, g.b), 1);
    ASSERT_EQ(gif.GetTotalFrame(), 3);
    EXPECT_EQ(gif.GetFrame(0)->GetBitCount(), 1);
    EXPECT_EQ(gif.GetFrame(1)->GetBitCount(), 4);
    EXPECT_EQ(gif.GetFrame(2)->GetBitCount(), 8);
    EXPECT_EQ(gif.GetFrame(1)->GetPixelIndex(0, 0), 3);
    EXPECT_EQ(gif.GetFrame(2)->GetPixelIndex(0, 0), 31);
    EXPECT_EQ(gif.GetFrame(2)->GetPixelColor(0, 0), Entry(Ramp(32), 31));
    // The canvas of an animation is the logical screen and is filled by NextFrame; the file
    // itself speaks of the first frame's 2-entry table, 1 bit.
    EXPECT_EQ(gif.Width(), 4);
    EXPECT_EQ(gif.GetBitCount(), 24);
    EXPECT_EQ(gif.GetFileBitCount(), 1);
}

TEST(GifFrames, TransparentEntryGetsAColourNoOtherEntryHas) {
    std::vector<RGB3> table = {{0, 1, 2}, {1, 2, 0}, {200, 200, 200}, {2, 0, 1}};
    GifBuilder g;
    g.Header("GIF89a", 2, 1, table);
    g.Control(0, 5, 2).Image(0, 0, 2, 1, false, {}, 2, PlainCodes(2, {2, 0}));
    g.Control(0, 5, -1).Image(0, 0, 2, 1, false, {}, 2, PlainCodes(2, {1, 1}));
    g.Trailer();
    PictaGIF gif;
    ASSERT_EQ(LoadGif(gif, g.b), 1);
    Picta* f = gif.GetFrame(0);
    ASSERT_NE(f, nullptr);
    const RGBQUAD* colors = f->GetPaletteData();
    for (int i = 4; i < 256; ++i) {
        EXPECT_EQ(colors[i].rgbRed, 255) << i;
        EXPECT_EQ(colors[i].rgbGreen, 255) << i;
        EXPECT_EQ(colors[i].rgbBlue, 255) << i;
    }
    RGBQUAD key = colors[2];
    // Smallest values unused per channel: red 3, green 3, blue 3 (0, 1, 2 taken; 255 by white).
    EXPECT_EQ(key.rgbRed, 3);
    EXPECT_EQ(key.rgbGreen, 3);
    EXPECT_EQ(key.rgbBlue, 3);
    for (int i = 0; i < 256; ++i) {
        if (i == 2)
            continue;
        EXPECT_NE(colors[i].rgbRed, key.rgbRed);
        EXPECT_NE(colors[i].rgbGreen, key.rgbGreen);
        EXPECT_NE(colors[i].rgbBlue, key.rgbBlue);
    }
    EXPECT_EQ(f->Info().transIndex, 2);
    EXPECT_EQ(gif.Info().transIndex, 2);
    EXPECT_EQ(gif.Info().transColor.rgbRed, 3);
    EXPECT_EQ(gif.GetFrame(1)->Info().transIndex, -1);
}

TEST(GifFrames, SingleTransparentFrameKeepsTheKeyColour) {
    std::vector<RGB3> table = {{10, 10, 10}, {20, 20, 20}};
    GifBuilder g;
    g.Header("GIF89a", 2, 1, table).Control(0, 0, 1);
    g.Image(0, 0, 2, 1, false, {}, 2, PlainCodes(2, {0, 1})).Trailer();
    PictaGIF gif;
    ASSERT_EQ(LoadGif(gif, g.b), 1);
    EXPECT_EQ(gif.Info().transIndex, 1);
    EXPECT_EQ(gif.GetPixelColor(0, 0), RGB(10, 10, 10));
    EXPECT_EQ(gif.GetPixelColor(1, 0), QuadToColor(gif.Info().transColor));
    EXPECT_NE(gif.GetPixelColor(1, 0), RGB(20, 20, 20));
}

TEST(GifAnimation, WithoutLoopExtensionPlaysOnceThenStops) {
    GifBuilder g;
    g.Header("GIF89a", 2, 1, Ramp(4));
    g.Control(0, 7, -1).Image(0, 0, 2, 1, false, {}, 2, PlainCodes(2, {1, 1}));
    g.Control(0, 9, -1).Image(1, 0, 1, 1, false, {}, 2, PlainCodes(2, {2}));
    g.Trailer();
    PictaGIF gif;
    ASSERT_EQ(LoadGif(gif, g.b), 1);
    EXPECT_EQ(gif.GetLoops(), 0);
    EXPECT_EQ(gif.NextFrame(), 7);
    EXPECT_EQ(gif.GetCurFrame(), 1);
    EXPECT_EQ(gif.GetPixelColor(0, 0), Entry(Ramp(4), 1));
    EXPECT_EQ(gif.GetPixelColor(1, 0), Entry(Ramp(4), 1));
    EXPECT_EQ(gif.NextFrame(), 9);
    // The second frame covers only x = 1; disposal 0 leaves the rest.
    EXPECT_EQ(gif.GetPixelColor(0, 0), Entry(Ramp(4), 1));
    EXPECT_EQ(gif.GetPixelColor(1, 0), Entry(Ramp(4), 2));
    EXPECT_EQ(gif.NextFrame(), 0);
    EXPECT_EQ(gif.NextFrame(), 0);
}

TEST(GifAnimation, LoopCountZeroPlaysForeverAndOneRepeatsOnce) {
    auto build = [](int loops) {
        GifBuilder g;
        g.Header("GIF89a", 1, 1, Ramp(4)).Loop(loops);
        g.Control(0, 7, -1).Image(0, 0, 1, 1, false, {}, 2, PlainCodes(2, {1}));
        g.Control(0, 9, -1).Image(0, 0, 1, 1, false, {}, 2, PlainCodes(2, {2}));
        g.Trailer();
        return g.b;
    };
    PictaGIF forever;
    ASSERT_EQ(LoadGif(forever, build(0)), 1);
    EXPECT_EQ(forever.GetLoops(), PictaGIF::kForever);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(forever.NextFrame(), i % 2 ? 9 : 7);

    PictaGIF once;
    ASSERT_EQ(LoadGif(once, build(1)), 1);
    std::vector<int> delays;
    for (int i = 0; i < 6; ++i)
        delays.push_back(once.NextFrame());
    EXPECT_EQ(delays, (std::vector<int>{7, 9, 7, 9, 0, 0}));
}

TEST(GifAnimation, DisposalTwoClearsToTheBackground) {
    GifBuilder g;
    g.Header("GIF89a", 2, 1, Ramp(4));
    g.Control(2, 1, -1).Image(0, 0, 2, 1, false, {}, 2, PlainCodes(2, {1, 1}));
    g.Control(0, 1, -1).Image(1, 0, 1, 1, false, {}, 2, PlainCodes(2, {2}));
    g.Trailer();
    PictaGIF gif;
    ASSERT_EQ(LoadGif(gif, g.b), 1);
    gif.NextFrame();
    gif.NextFrame();
    EXPECT_EQ(gif.GetPixelColor(0, 0), QuadToColor(gif.Info().transColor));
    EXPECT_EQ(gif.GetPixelColor(1, 0), Entry(Ramp(4), 2));
}

TEST(GifExtensions, CommentIsKeptAndUnknownLabelsSkipped) {
    GifBuilder g;
    g.Header("GIF89a", 1, 1, Ramp(2)).Comment("made by hand");
    Append(g.b, {0x21, 0x01, 3, 'a', 'b', 'c', 2, 'd', 'e', 0}); // plain text, skipped whole
    g.Image(0, 0, 1, 1, false, {}, 2, PlainCodes(2, {1})).Trailer();
    PictaGIF gif;
    ASSERT_EQ(LoadGif(gif, g.b), 1);
    char comment[256];
    gif.GetComment(comment);
    EXPECT_STREQ(comment, "made by hand");
    EXPECT_EQ(gif.GetPixelColor(0, 0), Entry(Ramp(2), 1));
}

TEST(GifDamaged, BadApplicationBlockEndsTheScanKeepingEarlierFrames) {
    GifBuilder g;
    g.Header("GIF89a", 1, 1, Ramp(4));
    g.Image(0, 0, 1, 1, false, {}, 2, PlainCodes(2, {1}));
    Append(g.b, {0x21, 0xFF, 10, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', 0});
    g.Image(0, 0, 1, 1, false, {}, 2, PlainCodes(2, {2})).Trailer();
    PictaGIF gif;
    ASSERT_EQ(LoadGif(gif, g.b), 1);
    EXPECT_EQ(gif.GetTotalFrame(), 1);
    EXPECT_EQ(gif.GetPixelColor(0, 0), Entry(Ramp(4), 1));
}

TEST(GifDamaged, FrameOutsideTheScreenIsSkippedWhole) {
    GifBuilder g;
    g.Header("GIF89a", 2, 2, Ramp(4));
    // Its data holds bytes that look like block introducers.
    g.Image(1, 1, 2, 2, false, {}, 2, PackCodes({{4, 3}, {0x2C, 8}, {0x3B, 8}, {5, 3}}));
    g.Image(0, 0, 2, 2, false, {}, 2, PlainCodes(2, {3, 2, 1, 0}));
    g.Trailer();
    PictaGIF gif;
    ASSERT_EQ(LoadGif(gif, g.b), 1);
    EXPECT_EQ(gif.GetTotalFrame(), 1);
    EXPECT_EQ(gif.GetPixelColor(0, 0), Entry(Ramp(4), 3));
    EXPECT_EQ(gif.GetPixelColor(1, 1), Entry(Ramp(4), 0));
}

TEST(GifDamaged, CutDataGivesAPartialFrame) {
    Bytes full = OneFrame("GIF89a", 4, 4, std::vector<int>(16, 7));
    // Keep the header, table, descriptor and the first few code bytes only.
    Bytes cut(full.begin(), full.begin() + 13 + 48 + 10 + 1 + 4);
    PictaGIF gif;
    ASSERT_EQ(LoadGif(gif, cut), 1);
    EXPECT_EQ(gif.GetPixelColor(0, 0), Entry(Ramp(16), 7));
    // The last row never came: it keeps the created (zero) index.
    EXPECT_EQ(gif.GetPixelColor(3, 3), Entry(Ramp(16), 0));
}

TEST(GifDamaged, NothingDecodableFails) {
    // Bad code size, oversized frame for the stream, or no image at all.
    {
        GifBuilder g;
        g.Header("GIF89a", 2, 1, Ramp(4)).Trailer();
        PictaGIF gif;
        EXPECT_EQ(LoadGif(gif, g.b), 0);
    }
    {
        GifBuilder g;
        g.Header("GIF89a", 60000, 60000, Ramp(4))
            .Image(0, 0, 60000, 60000, false, {}, 2, PlainCodes(2, {1}));
        g.Trailer();
        PictaGIF gif;
        EXPECT_EQ(LoadGif(gif, g.b), 0);
    }
    {
        GifBuilder g;
        g.Header("GIF89a", 2, 1, Ramp(4))
            .Image(0, 0, 2, 1, false, {}, 12, PlainCodes(2, {1, 1}))
            .Trailer();
        PictaGIF gif;
        // The frame exists but its data is refused: it stays blank.
        ASSERT_EQ(LoadGif(gif, g.b), 1);
        EXPECT_EQ(gif.GetPixelColor(1, 0), Entry(Ramp(4), 0));
    }
}

TEST(GifDamaged, HostileCodesStayInBounds) {
    // Codes far beyond the table, endless clears and a missing end code.
    std::vector<std::pair<int, int>> codes = {{4, 3}, {7, 3}, {1, 3}, {7, 3}, {7, 3}};
    for (int i = 0; i < 3000; ++i)
        codes.push_back({i % 3 == 0 ? 4 : 7, 3});
    GifBuilder g;
    g.Header("GIF89a", 64, 64, Ramp(4)).Image(0, 0, 64, 64, true, {}, 2, PackCodes(codes));
    PictaGIF gif;
    EXPECT_EQ(LoadGif(gif, g.b), 1);
    EXPECT_EQ(gif.Width(), 64);
}
