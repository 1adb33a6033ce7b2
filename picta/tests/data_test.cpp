// The small files kept under tests/data, read through the facade as the application reads them.
#include "PictaTestUtil.h"

#include <picta/GImage.h>
#include <picta/PictaGIF.h>

#include <gtest/gtest.h>

namespace {

int LoadData(GImage& image, const char* name, int format) {
    Bytes b = ReadHostFile(TestData(name));
    if (b.empty())
        return 0;
    return image.Load(b.data(), static_cast<DWORD>(b.size()), format);
}

} // namespace

TEST(DataFiles, CoreHeaderFourBit) {
    GImage image;
    ASSERT_EQ(LoadData(image, "core4.bmp", eImageBMP), 1);
    GDib* d = image.GetGDib();
    ASSERT_EQ(d->Width(), 5);
    ASSERT_EQ(d->Height(), 3);
    EXPECT_EQ(d->GetBitCount(), 4);
    // Stored row i (bottom-up) holds (x + 5 i) mod 16; entry k is (16k, 255 - 16k, 8k) as
    // blue, green, red.
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            int k = (x + 5 * (2 - y)) % 16;
            EXPECT_EQ(d->GetPixelIndex(x, y), k);
            EXPECT_EQ(d->GetPixelColor(x, y), RGB(8 * k, 255 - 16 * k, 16 * k));
        }
}

TEST(DataFiles, TopDownTwentyFourBit) {
    GImage image;
    ASSERT_EQ(LoadData(image, "topdown24.bmp", eImageBMP), 1);
    GDib* d = image.GetGDib();
    EXPECT_EQ(d->GetPixelColor(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(d->GetPixelColor(2, 0), RGB(0, 0, 255));
    EXPECT_EQ(d->GetPixelColor(0, 1), RGB(255, 255, 255));
    EXPECT_EQ(d->GetPixelColor(2, 1), RGB(128, 128, 128));
    EXPECT_EQ(image.GetPicta()->GetXDPI(), 72);
}

TEST(DataFiles, InterlacedRowsInPlace) {
    GImage image;
    ASSERT_EQ(LoadData(image, "interlace8.gif", eImageGIF), 1);
    GDib* d = image.GetGDib();
    for (int r = 0; r < 8; ++r)
        EXPECT_EQ(d->GetPixelColor(3, r), RGB((r * 40) % 256, (255 - r * 30) % 256, (r * 70) % 256))
            << r;
}

TEST(DataFiles, AnimationLoopsWithItsComment) {
    GImage image;
    ASSERT_EQ(LoadData(image, "anim3.gif", eImageGIF), 1);
    auto* gif = static_cast<PictaGIF*>(image.GetPicta());
    EXPECT_EQ(gif->GetTotalFrame(), 3);
    EXPECT_EQ(gif->GetLoops(), PictaGIF::kForever);
    char comment[256];
    gif->GetComment(comment);
    EXPECT_STREQ(comment, "hand-built 3f");
    std::vector<int> delays;
    for (int i = 0; i < 6; ++i)
        delays.push_back(image.NextFrame());
    EXPECT_EQ(delays, (std::vector<int>{10, 20, 30, 10, 20, 30}));
    // After frame 1 the square sits at x 0-3; colour 1 of the table is (40, 225, 70).
    GImage again;
    ASSERT_EQ(LoadData(again, "anim3.gif", eImageGIF), 1);
    again.NextFrame();
    EXPECT_EQ(again.GetGDib()->GetPixelColor(1, 3), RGB(40, 225, 70));
    EXPECT_EQ(again.GetGDib()->GetPixelColor(6, 3), RGB(0, 255, 0));
}
