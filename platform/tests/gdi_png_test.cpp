// PNG screenshots. The file is read back with libpng's simplified reader, found in the
// process (the platform library brings libpng in) so the test needs no link of its own.
#include "gdi_test_support.h"

#include <TestDevice.h>

#include <gtest/gtest.h>
#include <png.h>

#include <csignal>
#include <dlfcn.h>
#include <sys/resource.h>
#include <filesystem>
#include <fstream>

namespace {

struct PngImage {
    int width = 0;
    int height = 0;
    std::vector<BYTE> rgb;
};

bool ReadPng(const std::string& path, PngImage* out) {
    using Begin = int (*)(png_imagep, const char*);
    using Finish = int (*)(png_imagep, png_const_colorp, void*, png_int_32, void*);
    auto begin = reinterpret_cast<Begin>(dlsym(RTLD_DEFAULT, "png_image_begin_read_from_file"));
    auto finish = reinterpret_cast<Finish>(dlsym(RTLD_DEFAULT, "png_image_finish_read"));
    if (!begin || !finish)
        return false;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!begin(&image, path.c_str()))
        return false;
    image.format = PNG_FORMAT_RGB;
    out->width = static_cast<int>(image.width);
    out->height = static_cast<int>(image.height);
    out->rgb.resize(PNG_IMAGE_SIZE(image));
    return finish(&image, nullptr, out->rgb.data(), 0, nullptr) != 0;
}

COLORREF PixelOf(const PngImage& img, int x, int y) {
    const BYTE* p = img.rgb.data() + (static_cast<size_t>(y) * img.width + x) * 3;
    return RGB(p[0], p[1], p[2]);
}

} // namespace

TEST(SavePng, MemoryContextSavesItsBitmapTopRowFirst) {
    TestDevice device;
    std::string path = device.Root() + "/shot.png";
    TestDib dib(3, 2);
    dib.Put(0, 0, RGB(255, 0, 0));
    dib.Put(2, 1, RGB(0, 0, 255));
    ASSERT_TRUE(plat::SaveSurfacePng(dib.dc(), path));
    PngImage img;
    ASSERT_TRUE(ReadPng(path, &img));
    EXPECT_EQ(img.width, 3);
    EXPECT_EQ(img.height, 2);
    EXPECT_EQ(PixelOf(img, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(img, 2, 1), RGB(0, 0, 255));
    EXPECT_EQ(PixelOf(img, 1, 0), RGB(0, 0, 0));
    // Paletted bitmaps are saved in their colours; an existing file is replaced whole.
    TestDib pal(2, 1, 8, {{0, 200, 0, 0}, {10, 20, 30, 0}});
    pal.Row(0)[1] = 1;
    ASSERT_TRUE(plat::SaveSurfacePng(pal.bitmap(), path));
    ASSERT_TRUE(ReadPng(path, &img));
    EXPECT_EQ(img.width, 2);
    EXPECT_EQ(PixelOf(img, 0, 0), RGB(0, 200, 0));
    EXPECT_EQ(PixelOf(img, 1, 0), RGB(30, 20, 10));
    for (const auto& e : std::filesystem::directory_iterator(device.Root()))
        EXPECT_EQ(e.path().filename(), "shot.png"); // no temporary left behind
}

TEST(SavePng, FailuresLeaveThePreviousFile) {
    TestDevice device;
    std::string path = device.Root() + "/keep.png";
    std::ofstream(path) << "old";
    EXPECT_FALSE(plat::SaveSurfacePng(reinterpret_cast<HDC>(0x99), path));
    EXPECT_FALSE(plat::SaveSurfacePng(static_cast<HBITMAP>(nullptr), path));
    TestDib dib(1, 1);
    EXPECT_FALSE(plat::SaveSurfacePng(dib.dc(), device.Root() + "/missing/dir/x.png"));
    std::ifstream in(path);
    std::string text;
    in >> text;
    EXPECT_EQ(text, "old");
}

TEST(SavePng, AFullDiskFailsWithoutLibpngsOwnWords) {
    TestDevice device;
    const std::string path = device.Root() + "/full.png";
    TestDib dib(64, 64);
    // Writes past 20 bytes fail as on a full disk.
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 20;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    testing::internal::CaptureStderr();
    const bool saved = plat::SaveSurfacePng(dib.bitmap(), path);
    const std::string said = testing::internal::GetCapturedStderr();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved);
    EXPECT_EQ(said, "");
    EXPECT_TRUE(std::filesystem::is_empty(device.Root()));
}
