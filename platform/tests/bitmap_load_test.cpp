// Loading BMP bytes from resources and files, and surviving malformed ones.
#include "gdi_test_support.h"

#include "../src/gdi_internal.h"

#include <TestDevice.h>
#include <platform/module.h>
#include <platform/resource.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace {

void Put16(std::vector<BYTE>& v, size_t at, WORD x) {
    v[at] = static_cast<BYTE>(x);
    v[at + 1] = static_cast<BYTE>(x >> 8);
}
void Put32(std::vector<BYTE>& v, size_t at, DWORD x) {
    for (int i = 0; i < 4; ++i)
        v[at + i] = static_cast<BYTE>(x >> (8 * i));
}

// A BMP file built byte by byte: rows are given top row first, unpadded.
std::vector<BYTE> Bmp(int w, int h, int bpp, const std::vector<RGBQUAD>& colors,
                      const std::vector<std::vector<BYTE>>& rows, bool fileHeader = true,
                      bool topDown = false) {
    const size_t stride = static_cast<size_t>(((w * bpp + 31) & ~31) / 8);
    const size_t head = fileHeader ? 14 : 0;
    const size_t offBits = head + 40 + 4 * colors.size();
    std::vector<BYTE> v(offBits + stride * h, 0);
    if (fileHeader) {
        v[0] = 'B';
        v[1] = 'M';
        Put32(v, 2, static_cast<DWORD>(v.size()));
        Put32(v, 10, static_cast<DWORD>(offBits));
    }
    Put32(v, head + 0, 40);
    Put32(v, head + 4, static_cast<DWORD>(w));
    Put32(v, head + 8, static_cast<DWORD>(topDown ? -h : h));
    Put16(v, head + 12, 1);
    Put16(v, head + 14, static_cast<WORD>(bpp));
    Put32(v, head + 32, static_cast<DWORD>(colors.size()));
    for (size_t i = 0; i < colors.size(); ++i) {
        v[head + 40 + 4 * i] = colors[i].rgbBlue;
        v[head + 41 + 4 * i] = colors[i].rgbGreen;
        v[head + 42 + 4 * i] = colors[i].rgbRed;
    }
    for (int y = 0; y < h; ++y) {
        size_t stored = topDown ? y : h - 1 - y;
        std::copy(rows[y].begin(), rows[y].end(), v.begin() + offBits + stored * stride);
    }
    return v;
}

COLORREF Pixel(HBITMAP bm, int x, int y) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bm);
    COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return c;
}

int BitsOf(HBITMAP bm) {
    BITMAP b{};
    GetObject(bm, sizeof(b), &b);
    return b.bmBitsPixel;
}

// A private table in this test program's resources.
const char kAnchor = 0;

} // namespace

TEST(LoadBmp, DepthsRowOrderAndPalettesAreKept) {
    // 24 bits, 2 x 2: top row red, blue; bottom row green, white.
    auto b24 = Bmp(2, 2, 24, {}, {{0, 0, 255, 255, 0, 0}, {0, 255, 0, 255, 255, 255}});
    HBITMAP bm = plat::BitmapFromBmpBytes(b24.data(), b24.size());
    ASSERT_NE(bm, nullptr);
    EXPECT_EQ(BitsOf(bm), 24);
    EXPECT_EQ(Pixel(bm, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(Pixel(bm, 1, 0), RGB(0, 0, 255));
    EXPECT_EQ(Pixel(bm, 0, 1), RGB(0, 255, 0));
    DeleteObject(bm);

    std::vector<RGBQUAD> pal = {{0, 0, 0, 0}, {0, 128, 255, 0}, {255, 0, 0, 0}};
    auto b8 = Bmp(3, 1, 8, pal, {{2, 1, 0}}, true, true);
    bm = plat::BitmapFromBmpBytes(b8.data(), b8.size());
    ASSERT_NE(bm, nullptr);
    EXPECT_EQ(BitsOf(bm), 8);
    EXPECT_EQ(Pixel(bm, 0, 0), RGB(0, 0, 255));
    EXPECT_EQ(Pixel(bm, 1, 0), RGB(255, 128, 0));
    DeleteObject(bm);

    auto b4 = Bmp(3, 2, 4, pal, {{0x12, 0x00}, {0x21, 0x00}}, false);
    bm = plat::BitmapFromBmpBytes(b4.data(), b4.size()); // no file header
    ASSERT_NE(bm, nullptr);
    EXPECT_EQ(Pixel(bm, 0, 0), RGB(255, 128, 0));
    EXPECT_EQ(Pixel(bm, 1, 0), RGB(0, 0, 255));
    EXPECT_EQ(Pixel(bm, 0, 1), RGB(0, 0, 255));
    EXPECT_EQ(Pixel(bm, 2, 1), RGB(0, 0, 0));
    DeleteObject(bm);

    auto b1 = Bmp(9, 1, 1, {{0, 0, 0, 0}, {255, 255, 255, 0}}, {{0x80, 0x80}});
    bm = plat::BitmapFromBmpBytes(b1.data(), b1.size());
    ASSERT_NE(bm, nullptr);
    EXPECT_EQ(Pixel(bm, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(Pixel(bm, 1, 0), RGB(0, 0, 0));
    EXPECT_EQ(Pixel(bm, 8, 0), RGB(255, 255, 255));
    DeleteObject(bm);
}

TEST(LoadBmp, MalformedBytesAreRefusedWithoutReadingPastThem) {
    auto good = Bmp(4, 3, 24, {}, {{}, {}, {}});
    // Every truncation fails (the pixels must all be there) and none reads out of bounds.
    for (size_t n = 0; n < good.size(); ++n) {
        std::vector<BYTE> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_EQ(plat::BitmapFromBmpBytes(cut.data(), cut.size()), nullptr) << n;
    }
    auto farBits = good;
    Put32(farBits, 10, 0xFFFFFF00u);
    EXPECT_EQ(plat::BitmapFromBmpBytes(farBits.data(), farBits.size()), nullptr);
    auto insideHeader = good;
    Put32(insideHeader, 10, 20);
    EXPECT_EQ(plat::BitmapFromBmpBytes(insideHeader.data(), insideHeader.size()), nullptr);
    auto huge = good;
    Put32(huge, 18, 0x7FFFFFFF);
    EXPECT_EQ(plat::BitmapFromBmpBytes(huge.data(), huge.size()), nullptr);
    auto rle = good;
    Put32(rle, 30, BI_RLE8);
    EXPECT_EQ(plat::BitmapFromBmpBytes(rle.data(), rle.size()), nullptr);
    auto badSize = good;
    Put32(badSize, 14, 39);
    EXPECT_EQ(plat::BitmapFromBmpBytes(badSize.data(), badSize.size()), nullptr);
    // Random damage: never a crash; whatever loads is a valid bitmap.
    std::mt19937 rng(7);
    for (int i = 0; i < 2000; ++i) {
        auto v = Bmp(5, 4, (i % 2) ? 8 : 24,
                     (i % 2) ? std::vector<RGBQUAD>(256) : std::vector<RGBQUAD>{},
                     std::vector<std::vector<BYTE>>(4));
        for (int k = 0; k < 4; ++k)
            v[rng() % 60] = static_cast<BYTE>(rng());
        v.resize(rng() % (v.size() + 1));
        HBITMAP bm = plat::BitmapFromBmpBytes(v.data(), v.size());
        if (bm) {
            EXPECT_EQ(GetObjectType(bm), static_cast<DWORD>(OBJ_BITMAP));
            DeleteObject(bm);
        }
    }
}

TEST(LoadBmp, LoadBitmapFromModuleResourcesWithAndWithoutFileHeader) {
    static const auto withHeader = Bmp(1, 1, 24, {}, {{1, 2, 3}});
    static const auto bare = Bmp(1, 1, 24, {}, {{4, 5, 6}}, false);
    static const plat::ResourceEntry table[] = {
        {2, nullptr, 301, nullptr, withHeader.data(), static_cast<DWORD>(withHeader.size())},
        {2, nullptr, 302, nullptr, bare.data(), static_cast<DWORD>(bare.size())},
        {10, nullptr, 303, nullptr, bare.data(), static_cast<DWORD>(bare.size())},
    };
    plat::RegisterModuleResources(&kAnchor, table, 3);
    HINSTANCE self = plat::ThisModule();
    HBITMAP a = LoadBitmapW(self, MAKEINTRESOURCEW(301));
    HBITMAP b = LoadBitmapW(self, MAKEINTRESOURCEW(302));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(Pixel(a, 0, 0), RGB(3, 2, 1));
    EXPECT_EQ(Pixel(b, 0, 0), RGB(6, 5, 4));
    EXPECT_EQ(LoadBitmapW(self, MAKEINTRESOURCEW(303)), nullptr); // not a bitmap resource
    EXPECT_EQ(LoadBitmapW(self, MAKEINTRESOURCEW(999)), nullptr);
    HANDLE c = LoadImageW(self, MAKEINTRESOURCEW(301), IMAGE_BITMAP, 3, 2, LR_CREATEDIBSECTION);
    ASSERT_NE(c, nullptr);
    BITMAP info{};
    GetObject(c, sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, 3);
    EXPECT_EQ(info.bmHeight, 2);
    EXPECT_EQ(Pixel(static_cast<HBITMAP>(c), 2, 1), RGB(3, 2, 1));
    EXPECT_EQ(LoadImageW(self, MAKEINTRESOURCEW(301), IMAGE_ICON, 0, 0, 0), nullptr);
    plat::UnregisterModuleResources(&kAnchor);
    for (HGDIOBJ h : {static_cast<HGDIOBJ>(a), static_cast<HGDIOBJ>(b), c})
        DeleteObject(h);
}

TEST(LoadBmp, LoadImageFromADeviceFile) {
    TestDevice device;
    auto bytes = Bmp(2, 1, 24, {}, {{0, 0, 200, 0, 100, 0}});
    std::filesystem::create_directories(device.Host("Pictures"));
    {
        std::ofstream out(device.Host("Pictures/Face.bmp"), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    HANDLE h = LoadImageW(nullptr, u"\\pictures\\FACE.BMP", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(Pixel(static_cast<HBITMAP>(h), 0, 0), RGB(200, 0, 0));
    EXPECT_EQ(Pixel(static_cast<HBITMAP>(h), 1, 0), RGB(0, 100, 0));
    DeleteObject(h);
    EXPECT_EQ(LoadImageW(nullptr, u"\\Pictures\\none.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE),
              nullptr);
    EXPECT_EQ(LoadImageW(nullptr, u"relative.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
}
