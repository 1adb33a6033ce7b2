// The facade: format by extension, loading from files, memory and resources, output sizes,
// saving, the accumulated transform and lossless JPEG re-orientation.
#include "PictaTestUtil.h"

#include <TestDevice.h>
#include <picta/GImage.h>
#include <picta/PictaGIF.h>
#include <platform/device.h>
#include <platform/module.h>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// Applies an orientation code with the pixel transforms.
void Apply(GDib& dib, int code) {
    switch (code) {
        case 1:
            dib.Mirror();
            break;
        case 2:
            dib.Flip();
            break;
        case 3:
            dib.RotateRight();
            dib.Mirror();
            break;
        case 4:
            dib.RotateRight();
            dib.Flip();
            break;
        case 5:
            dib.RotateRight();
            break;
        case 6:
            dib.Rotate180();
            break;
        case 7:
            dib.RotateLeft();
            break;
        default:
            break;
    }
}

void Numbered(GDib& dib) {
    ASSERT_EQ(dib.Create(3, 2, 24), 1);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            dib.SetPixelColor(x, y, RGB(x * 40 + y * 7, 1, 2));
}

bool SamePixels(const GDib& a, const GDib& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.GetPixelColor(x, y) != b.GetPixelColor(x, y))
                return false;
    return true;
}

std::u16string Device(const char* path) {
    std::u16string s;
    for (const char* p = path; *p; ++p)
        s += static_cast<char16_t>(*p == '/' ? '\\' : *p);
    return s;
}

Bytes SmallBmp() {
    GImage image;
    EXPECT_EQ(image.Create(200, 100), 1);
    image.FillRect(0, 0, 100, 100, RGB(255, 0, 0), 255);
    image.FillRect(100, 0, 100, 100, RGB(0, 0, 255), 255);
    BYTE* block = nullptr;
    DWORD n = image.Save(block, eImageBMP);
    Bytes b(block, block + n);
    std::free(block);
    return b;
}

} // namespace

TEST(GImageFormat, ExtensionsAreMatchedExactly) {
    EXPECT_EQ(GImage::FormatFromPath(u"\\a\\b.jpg"), eImageJPEG);
    EXPECT_EQ(GImage::FormatFromPath(u"\\a\\b.JPG"), eImageJPEG);
    EXPECT_EQ(GImage::FormatFromPath(u"x.bmp"), eImageBMP);
    EXPECT_EQ(GImage::FormatFromPath(u"x.GIF"), eImageGIF);
    EXPECT_EQ(GImage::FormatFromPath(u"x.Jpg"), eImageNone);
    EXPECT_EQ(GImage::FormatFromPath(u"x.jpeg"), eImageNone);
    EXPECT_EQ(GImage::FormatFromPath(u"x.tar.gif"), eImageGIF);
    EXPECT_EQ(GImage::FormatFromPath(u"\\folder\\noextension"), eImageNone);
}

TEST(GImageTransform, FoldingMatchesDoingBothChanges) {
    for (int t = 0; t <= 7; ++t)
        for (int c = 0; c <= 7; ++c) {
            GDib twoSteps, oneStep;
            Numbered(twoSteps);
            Numbered(oneStep);
            Apply(twoSteps, t);
            Apply(twoSteps, c);
            Apply(oneStep, GImage::FoldTransform(t, c));
            EXPECT_TRUE(SamePixels(twoSteps, oneStep)) << t << " then " << c;
        }
}

TEST(GImageTransform, AccumulatedCodes) {
    GImage image;
    image.RotateRight(); // empty: nothing happens
    EXPECT_EQ(image.GetTransform(), 0);
    ASSERT_EQ(image.Create(4, 2), 1);
    image.RotateRight();
    image.Mirror();
    EXPECT_EQ(image.GetTransform(), 3);
    GImage left;
    ASSERT_EQ(left.Create(4, 2), 1);
    left.RotateLeft();
    left.RotateLeft();
    EXPECT_EQ(left.GetTransform(), 6);
    GImage four;
    ASSERT_EQ(four.Create(4, 2), 1);
    for (int i = 0; i < 4; ++i)
        four.RotateRight();
    EXPECT_EQ(four.GetTransform(), 0);
    EXPECT_EQ(four.Width(), 4);
}

TEST(GImageLoad, MemoryLoadsAndOutputWidthFollowsTheAspect) {
    Bytes bmp = SmallBmp();
    GImage image;
    ASSERT_EQ(image.Load(bmp.data(), static_cast<DWORD>(bmp.size()), eImageBMP), 1);
    EXPECT_EQ(image.Width(), 200);
    EXPECT_EQ(image.GetFileSize(), bmp.size());
    EXPECT_NE(image.GetSafeHandle(), nullptr);
    EXPECT_EQ(image.GetGDib()->GetPixelColor(150, 50), RGB(0, 0, 255));
    image.SetOutputWidth(120);
    ASSERT_EQ(image.Load(bmp.data(), static_cast<DWORD>(bmp.size()), eImageBMP), 1);
    EXPECT_EQ(image.Width(), 120);
    EXPECT_EQ(image.Height(), 60);
    EXPECT_EQ(image.Load(bmp.data(), static_cast<DWORD>(bmp.size()), 7), 0);
    EXPECT_EQ(image.GetGDib(), nullptr);
}

TEST(GImageLoad, Width120ForEveryFormat) {
    Bytes bmp = SmallBmp();
    GImage source;
    ASSERT_EQ(source.Load(bmp.data(), static_cast<DWORD>(bmp.size()), eImageBMP), 1);
    // Paletted, so that the GIF is one frame (deeper pictures become a mosaic of tiles).
    ASSERT_EQ(source.GetGDib()->ConvertBitCount(8), 1);
    for (int format : {eImageBMP, eImageGIF, eImageJPEG}) {
        BYTE* block = nullptr;
        DWORD n = source.Save(block, format);
        ASSERT_GT(n, 0u) << format;
        GImage image;
        image.SetOutputWidth(120);
        ASSERT_EQ(image.Load(block, n, format), 1) << format;
        EXPECT_EQ(image.Width(), 120) << format;
        EXPECT_EQ(image.Height(), 60) << format;
        EXPECT_EQ(image.GetImageFormat(), format);
        std::free(block);
    }
}

TEST(GImageLoad, PercentUsesTheSourceSize) {
    Bytes bmp = SmallBmp();
    GImage image;
    image.SetOutputPercent(25);
    ASSERT_EQ(image.Load(bmp.data(), static_cast<DWORD>(bmp.size()), eImageBMP), 1);
    EXPECT_EQ(image.Width(), 50);
    EXPECT_EQ(image.Height(), 25);
}

TEST(GImageLoad, PreLoadLeavesTheImageAlone) {
    Bytes bmp = SmallBmp();
    GImage image;
    ASSERT_EQ(image.Create(5, 5), 1);
    int w = 0, h = 0;
    EXPECT_EQ(image.PreLoad(bmp.data(), static_cast<DWORD>(bmp.size()), eImageBMP, w, h),
              200 * 3 * 100);
    EXPECT_EQ(w, 200);
    EXPECT_EQ(h, 100);
    EXPECT_EQ(image.Width(), 5);
}

TEST(GImageFiles, PathsEmptyFilesAndRefusedNames) {
    TestDevice device;
    Bytes bmp = SmallBmp();
    ASSERT_TRUE(WriteHostFile(device.Host("a.bmp"), bmp));
    ASSERT_TRUE(WriteHostFile(device.Host("a.BMP2"), bmp));
    ASSERT_TRUE(WriteHostFile(device.Host("empty.bmp"), {}));
    GImage image;
    ASSERT_EQ(image.Load(u"\\a.bmp"), 1);
    EXPECT_EQ(image.GetFileSize(), bmp.size());
    EXPECT_EQ(image.Load(u"\\a.BMP2"), 0);
    EXPECT_EQ(image.GetGDib(), nullptr);
    ASSERT_EQ(image.Load(u"\\a.bmp"), 1);
    EXPECT_EQ(image.Load(u"\\empty.bmp"), 0);
    EXPECT_EQ(image.GetGDib(), nullptr);
    EXPECT_EQ(image.Width(), 0);
    EXPECT_EQ(image.Load(u"\\missing.bmp"), 0);
}

TEST(GImageFiles, SaveWritesEachFormatAndReplacesWhole) {
    TestDevice device;
    Bytes bmp = SmallBmp();
    GImage image;
    ASSERT_EQ(image.Load(bmp.data(), static_cast<DWORD>(bmp.size()), eImageBMP), 1);
    ASSERT_EQ(image.GetGDib()->ConvertBitCount(8), 1);
    ASSERT_TRUE(WriteHostFile(device.Host("out.gif"), Bytes(5000, 1)));
    for (const char* name : {"out.bmp", "out.gif", "out.jpg"}) {
        std::u16string path = Device((std::string("/") + name).c_str());
        int format = GImage::FormatFromPath(path.c_str());
        DWORD n = image.Save(path.c_str(), format);
        ASSERT_GT(n, 0u) << name;
        Bytes onDisk = ReadHostFile(device.Host(name));
        EXPECT_EQ(onDisk.size(), n) << name;
        GImage back;
        ASSERT_EQ(back.Load(path.c_str()), 1) << name;
        EXPECT_EQ(back.Width(), 200);
        RGBQUAD c = back.GetGDib()->GetPixel(20, 20);
        EXPECT_GT(c.rgbRed, 240) << name;
        EXPECT_LT(c.rgbBlue, 16) << name;
    }
    // No temporary file (a hidden name) is left beside the targets.
    for (const auto& entry : std::filesystem::directory_iterator(device.Root()))
        EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
    GImage empty;
    EXPECT_EQ(empty.Save(u"\\nothing.bmp", eImageBMP), 0u);
}

TEST(GImageSave, GifOfAnEightBitImageLeavesItUsable) {
    GImage image;
    ASSERT_EQ(image.Create(10, 10), 1);
    ASSERT_EQ(image.GetGDib()->ConvertBitCount(8), 1);
    HBITMAP before = image.GetSafeHandle();
    BYTE* block = nullptr;
    ASSERT_GT(image.Save(block, eImageGIF), 0u);
    std::free(block);
    EXPECT_EQ(image.GetSafeHandle(), before);
    ASSERT_NE(image.GetGDib()->GetBits(), nullptr);
    image.GetGDib()->SetPixelIndex(9, 9, 3);
    EXPECT_EQ(image.GetGDib()->GetPixelIndex(9, 9), 3);
    GImage target;
    ASSERT_EQ(target.Create(10, 10), 1);
    EXPECT_EQ(image.Draw(&target, 0, 0, 10, 10, 0, 0, 10, 10, 1, 255, 0), 1);
}

TEST(GImageSave, JpegOfAPalettedImageGoesThroughAColourCopy) {
    GImage image;
    ASSERT_EQ(image.Create(16, 16), 1);
    image.SetBackColor(RGB(0, 200, 0), 255);
    ASSERT_EQ(image.GetGDib()->ConvertBitCount(8), 1);
    BYTE* block = nullptr;
    DWORD n = image.Save(block, eImageJPEG);
    ASSERT_GT(n, 0u);
    GImage back;
    ASSERT_EQ(back.Load(block, n, eImageJPEG), 1);
    std::free(block);
    EXPECT_EQ(image.GetGDib()->GetBitCount(), 8);
    EXPECT_GT(back.GetGDib()->GetPixel(8, 8).rgbGreen, 180);
}

TEST(GImageRotation, BmpWritesTheTurnedPixels) {
    TestDevice device;
    GImage image;
    ASSERT_EQ(image.Create(4, 2), 1);
    image.FillRect(0, 0, 1, 1, RGB(255, 0, 0), 255);
    image.RotateRight();
    ASSERT_EQ(image.SaveRotation(u"\\turned.bmp", u"\\whatever.bmp"), 1);
    GImage back;
    ASSERT_EQ(back.Load(u"\\turned.bmp"), 1);
    EXPECT_EQ(back.Width(), 2);
    EXPECT_EQ(back.Height(), 4);
    EXPECT_EQ(back.GetGDib()->GetPixelColor(1, 0), RGB(255, 0, 0));
}

TEST(GImageRotation, JpegIsTurnedFromItsSourceAndTheCodeResets) {
    TestDevice device;
    GImage image;
    ASSERT_EQ(image.Create(64, 32), 1);
    image.FillRect(0, 0, 16, 16, RGB(255, 255, 255), 255);
    ASSERT_GT(image.Save(u"\\photo.jpg", eImageJPEG), 0u);
    GImage photo;
    ASSERT_EQ(photo.Load(u"\\photo.jpg"), 1);
    EXPECT_EQ(photo.SaveRotation(u"\\x.jpg", nullptr), 0);
    photo.RotateLeft();
    EXPECT_EQ(photo.GetTransform(), 7);
    // Target and source may be the same file.
    ASSERT_EQ(photo.SaveRotation(u"\\photo.jpg", u"\\photo.jpg"), 1);
    EXPECT_EQ(photo.GetTransform(), 0);
    GImage back;
    ASSERT_EQ(back.Load(u"\\photo.jpg"), 1);
    EXPECT_EQ(back.Width(), 32);
    EXPECT_EQ(back.Height(), 64);
    // The white corner went from the top left to the bottom left.
    EXPECT_GT(back.GetGDib()->GetPixel(4, 60).rgbRed, 200);
    EXPECT_LT(back.GetGDib()->GetPixel(4, 4).rgbRed, 50);

    GImage gif;
    ASSERT_EQ(gif.Create(4, 4), 1);
    ASSERT_GT(gif.Save(u"\\a.gif", eImageGIF), 0u);
    ASSERT_EQ(gif.Load(u"\\a.gif"), 1);
    EXPECT_EQ(gif.SaveRotation(u"\\b.gif", u"\\a.gif"), 0);
}

TEST(GImageGif, AnimationThroughTheFacade) {
    TestDevice device;
    ASSERT_FALSE(ReadHostFile(TestData("anim3.gif")).empty());
    std::string host = TestData("anim3.gif");
    Bytes b = ReadHostFile(host);
    GImage image;
    ASSERT_EQ(image.Load(b.data(), static_cast<DWORD>(b.size()), eImageGIF), 1);
    image.SetLoops(-1);
    int delays = 0;
    for (int i = 0; i < 6; ++i)
        delays += image.NextFrame() > 0;
    EXPECT_EQ(delays, 6);
    GImage bmp;
    ASSERT_EQ(bmp.Create(2, 2), 1);
    EXPECT_EQ(bmp.NextFrame(), 0);
}

TEST(GImageResource, HeaderlessBitmapAndGifFromTheModule) {
    GImage image;
    ASSERT_EQ(image.Load(201, RT_RCDATA, plat::ThisModule(), eImageBMP), 1);
    EXPECT_EQ(image.Width(), 3);
    EXPECT_EQ(image.GetGDib()->GetPixelColor(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(image.GetFileSize(), 64u);
    int w = 0, h = 0;
    EXPECT_EQ(image.PreLoad(202, RT_RCDATA, plat::ThisModule(), eImageGIF, w, h), 12 * 3 * 8);
    EXPECT_EQ(w, 12);
    EXPECT_EQ(image.Load(999, RT_RCDATA, plat::ThisModule(), eImageBMP), 0);
    EXPECT_EQ(image.Load(201, RT_RCDATA, nullptr, eImageBMP), 0);
    EXPECT_EQ(image.GetGDib(), nullptr);
}
