// DIB sections and device bitmaps: layouts, row order, colour tables, GetObject.
#include "gdi_test_support.h"

#include <gtest/gtest.h>

namespace {

std::vector<BYTE> Info(int w, int h, int bpp, DWORD compression = BI_RGB,
                       std::vector<DWORD> extra = {}) {
    std::vector<BYTE> buf(sizeof(BITMAPINFOHEADER) + 256 * 4);
    auto* bi = reinterpret_cast<BITMAPINFOHEADER*>(buf.data());
    bi->biSize = sizeof(BITMAPINFOHEADER);
    bi->biWidth = w;
    bi->biHeight = h;
    bi->biPlanes = 1;
    bi->biBitCount = static_cast<WORD>(bpp);
    bi->biCompression = compression;
    if (!extra.empty())
        std::memcpy(buf.data() + sizeof(BITMAPINFOHEADER), extra.data(), extra.size() * 4);
    return buf;
}

HBITMAP Section(std::vector<BYTE>& info, void** bits) {
    return CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS,
                            bits, nullptr, 0);
}

} // namespace

TEST(DibSection, LayoutIsReportedByGetObject) {
    auto info = Info(3, 2, 24);
    void* bits = nullptr;
    HBITMAP bm = Section(info, &bits);
    ASSERT_NE(bm, nullptr);
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(GetObjectType(bm), static_cast<DWORD>(OBJ_BITMAP));
    BITMAP b{};
    EXPECT_EQ(GetObject(bm, sizeof(b), &b), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(b.bmWidth, 3);
    EXPECT_EQ(b.bmHeight, 2);
    EXPECT_EQ(b.bmWidthBytes, 12);
    EXPECT_EQ(b.bmBitsPixel, 24);
    EXPECT_EQ(b.bmPlanes, 1);
    EXPECT_EQ(b.bmBits, bits);
    DIBSECTION ds{};
    EXPECT_EQ(GetObject(bm, sizeof(ds), &ds), static_cast<int>(sizeof(DIBSECTION)));
    EXPECT_EQ(ds.dsBmih.biSizeImage, 24u);
    EXPECT_EQ(ds.dsBmih.biHeight, 2);
    // Fresh sections are zero.
    for (int i = 0; i < 24; ++i)
        EXPECT_EQ(static_cast<BYTE*>(bits)[i], 0);
    EXPECT_EQ(GetObject(bm, 0, nullptr), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(GetObject(bm, 4, &b), 0);
    DeleteObject(bm);

    auto mono = Info(33, 1, 1);
    HBITMAP m = Section(mono, &bits);
    GetObject(m, sizeof(b), &b);
    EXPECT_EQ(b.bmWidthBytes, 8);
    DeleteObject(m);
}

TEST(DibSection, PageSizedSectionsAreZeroAndWritableToTheirEnd) {
    // 800 x 600 at 24 bits is past the size that gets a mapping of its own; the second section
    // takes the memory the first gave back.
    for (int round = 0; round < 2; ++round) {
        auto info = Info(800, 600, 24);
        void* bits = nullptr;
        HBITMAP bm = Section(info, &bits);
        ASSERT_NE(bm, nullptr);
        auto* bytes = static_cast<BYTE*>(bits);
        const size_t size = 2400u * 600u;
        size_t nonZero = 0;
        for (size_t i = 0; i < size; ++i)
            nonZero += bytes[i] != 0;
        EXPECT_EQ(nonZero, 0u);
        bytes[0] = 1;
        bytes[size - 1] = 2;
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bm);
        EXPECT_EQ(GetPixel(dc, 799, 0), RGB(2, 0, 0));
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bm);
    }
}

TEST(DibSection, BottomUpAndTopDownRowOrder) {
    TestDib up(2, 3, 24);
    SetPixel(up.dc(), 0, 0, RGB(1, 2, 3));
    const BYTE* last = up.bits() + 2 * up.stride();
    EXPECT_EQ(last[0], 3); // blue first
    EXPECT_EQ(last[1], 2);
    EXPECT_EQ(last[2], 1);
    EXPECT_EQ(up.bits()[0], 0);

    TestDib down(2, 3, 24, {}, true);
    SetPixel(down.dc(), 0, 0, RGB(1, 2, 3));
    EXPECT_EQ(down.bits()[0], 3);
    EXPECT_EQ(down.bits()[2 * down.stride()], 0);
    EXPECT_EQ(GetPixel(down.dc(), 0, 0), RGB(1, 2, 3));
}

TEST(DibSection, SubBytePixelsAreMostSignificantFirst) {
    TestDib mono(10, 1, 1, {{0, 0, 0, 0}, {255, 255, 255, 0}});
    SetPixel(mono.dc(), 0, 0, RGB(255, 255, 255));
    SetPixel(mono.dc(), 9, 0, RGB(250, 250, 250));
    EXPECT_EQ(mono.bits()[0], 0x80);
    EXPECT_EQ(mono.bits()[1], 0x40);
    EXPECT_EQ(GetPixel(mono.dc(), 9, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(mono.dc(), 8, 0), RGB(0, 0, 0));

    std::vector<RGBQUAD> vga(16);
    vga[5] = RGBQUAD{0, 0, 200, 0};
    vga[10] = RGBQUAD{0, 200, 0, 0};
    TestDib nib(3, 1, 4, vga);
    EXPECT_EQ(SetPixel(nib.dc(), 0, 0, RGB(190, 0, 0)), RGB(200, 0, 0));
    SetPixel(nib.dc(), 1, 0, RGB(0, 210, 0));
    EXPECT_EQ(nib.bits()[0], 0x5A);

    // Two bits: four pixels a byte, the leftmost in the top pair.
    TestDib quarter(5, 1, 2,
                    {{0, 0, 0, 0}, {85, 85, 85, 0}, {170, 170, 170, 0}, {255, 255, 255, 0}});
    SetPixel(quarter.dc(), 0, 0, RGB(255, 255, 255));
    SetPixel(quarter.dc(), 1, 0, RGB(160, 160, 160));
    SetPixel(quarter.dc(), 4, 0, RGB(90, 90, 90));
    EXPECT_EQ(quarter.bits()[0], 0xE0);
    EXPECT_EQ(quarter.bits()[1], 0x40);
    EXPECT_EQ(GetPixel(quarter.dc(), 1, 0), RGB(170, 170, 170));
    EXPECT_EQ(GetPixel(quarter.dc(), 2, 0), RGB(0, 0, 0));
}

TEST(DibSection, SixteenBitFormats) {
    auto i555 = Info(2, 1, 16);
    void* bits = nullptr;
    HBITMAP a = Section(i555, &bits);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, a);
    EXPECT_EQ(SetPixel(dc, 0, 0, RGB(255, 0, 0)), RGB(255, 0, 0));
    SetPixel(dc, 1, 0, RGB(0, 0, 8));
    auto* w = static_cast<WORD*>(bits);
    EXPECT_EQ(w[0], 0x7C00);
    EXPECT_EQ(w[1], 0x0001);
    EXPECT_EQ(GetPixel(dc, 1, 0), RGB(0, 0, 8));

    auto i565 = Info(1, 1, 16, BI_BITFIELDS, {0xF800, 0x07E0, 0x001F});
    HBITMAP b = Section(i565, &bits);
    SelectObject(dc, b);
    SetPixel(dc, 0, 0, RGB(0, 255, 0));
    EXPECT_EQ(*static_cast<WORD*>(bits), 0x07E0);
    DIBSECTION ds{};
    GetObject(b, sizeof(ds), &ds);
    EXPECT_EQ(ds.dsBitfields[0], 0xF800u);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(a);
    DeleteObject(b);
}

TEST(DibSection, PalettedPixelsTakeTheNearestEntry) {
    std::vector<RGBQUAD> table = {{0, 0, 0, 0}, {0, 0, 255, 0}, {255, 0, 0, 0}, {128, 128, 128, 0}};
    TestDib pal(4, 1, 8, table);
    EXPECT_EQ(SetPixel(pal.dc(), 0, 0, RGB(200, 10, 10)), RGB(255, 0, 0));
    EXPECT_EQ(pal.Row(0)[0], 1);
    EXPECT_EQ(SetPixel(pal.dc(), 1, 0, RGB(100, 120, 140)), RGB(128, 128, 128));
    EXPECT_EQ(pal.Row(0)[1], 3);
    // Indices beyond the used entries read black.
    pal.Row(0)[2] = 200;
    EXPECT_EQ(GetPixel(pal.dc(), 2, 0), RGB(0, 0, 0));

    RGBQUAD got[8] = {};
    EXPECT_EQ(GetDIBColorTable(pal.dc(), 0, 8, got), 8u);
    EXPECT_EQ(got[2].rgbBlue, 255);
    RGBQUAD green{0, 255, 0, 0};
    EXPECT_EQ(SetDIBColorTable(pal.dc(), 2, 1, &green), 1u);
    EXPECT_EQ(GetPixel(pal.dc(), 3, 0), RGB(0, 0, 0));
    pal.Row(0)[3] = 2;
    EXPECT_EQ(GetPixel(pal.dc(), 3, 0), RGB(0, 255, 0));
    EXPECT_EQ(SetDIBColorTable(pal.dc(), 300, 1, &green), 0u);
}

TEST(DibSection, MalformedHeadersAreRefused) {
    void* bits = reinterpret_cast<void*>(1);
    auto bad = Info(4, 4, 3);
    EXPECT_EQ(Section(bad, &bits), nullptr);
    EXPECT_EQ(bits, nullptr);
    auto zero = Info(0, 4, 24);
    EXPECT_EQ(Section(zero, &bits), nullptr);
    auto noHeight = Info(4, 0, 24);
    EXPECT_EQ(Section(noHeight, &bits), nullptr);
    auto rle = Info(4, 4, 8, BI_RLE8);
    EXPECT_EQ(Section(rle, &bits), nullptr);
    auto oddMasks = Info(4, 4, 16, BI_BITFIELDS, {0xF000, 0x0F00, 0x00F0});
    EXPECT_EQ(Section(oddMasks, &bits), nullptr);
    auto huge = Info(60000, 60000, 32);
    EXPECT_EQ(Section(huge, &bits), nullptr);
    auto fine = Info(4, 4, 24);
    EXPECT_EQ(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(fine.data()), DIB_RGB_COLORS,
                               &bits, reinterpret_cast<HANDLE>(1), 0),
              nullptr);
    EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
}

TEST(DeviceBitmap, CompatibleBitmapsFollowTheContext) {
    HDC mem = CreateCompatibleDC(nullptr);
    HBITMAP m = CreateCompatibleBitmap(mem, 8, 8);
    BITMAP b{};
    GetObject(m, sizeof(b), &b);
    EXPECT_EQ(b.bmBitsPixel, 1); // the stock bitmap of a fresh memory context is monochrome
    EXPECT_EQ(b.bmBits, nullptr);
    EXPECT_EQ(b.bmWidthBytes, 2);
    HDC screen = plat::GetScreenDC();
    HBITMAP c = CreateCompatibleBitmap(screen, 5, 3);
    GetObject(c, sizeof(b), &b);
    EXPECT_EQ(b.bmBitsPixel, 24);
    EXPECT_EQ(b.bmWidthBytes, 16);
    plat::ReleaseScreenDC(screen);
    // A context holding a 24-bit bitmap makes 24-bit ones.
    SelectObject(mem, c);
    HBITMAP d = CreateCompatibleBitmap(mem, 2, 2);
    GetObject(d, sizeof(b), &b);
    EXPECT_EQ(b.bmBitsPixel, 24);
    DeleteDC(mem);
    for (HBITMAP h : {m, c, d})
        EXPECT_TRUE(DeleteObject(h));
}

TEST(DeviceBitmap, CreateBitmapTakesWordAlignedRows) {
    const BYTE rows[] = {0xF0, 0x00, 0x50, 0x00}; // 4 x 2, 1 bit, rows padded to 2 bytes
    HBITMAP m = CreateBitmap(4, 2, 1, 1, rows);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, m);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 0, 1), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 3, 1), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 2, 1), RGB(0, 0, 0));
    DeleteDC(dc);
    DeleteObject(m);
    EXPECT_EQ(CreateBitmap(4, 4, 2, 1, nullptr), nullptr);
}

TEST(DibBits, GetDIBitsDescribesAndConvertsScans) {
    TestDib src(3, 2);
    src.Put(0, 0, RGB(10, 20, 30));
    src.Put(2, 1, RGB(40, 50, 60));
    std::vector<BYTE> buf(sizeof(BITMAPINFOHEADER) + 256 * 4);
    auto* bi = reinterpret_cast<BITMAPINFO*>(buf.data());
    bi->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    EXPECT_EQ(GetDIBits(src.dc(), src.bitmap(), 0, 0, nullptr, bi, DIB_RGB_COLORS), 2);
    EXPECT_EQ(bi->bmiHeader.biWidth, 3);
    EXPECT_EQ(bi->bmiHeader.biBitCount, 24);
    EXPECT_EQ(bi->bmiHeader.biSizeImage, 24u);

    // Into a top-down 32-bit layout.
    bi->bmiHeader.biHeight = -2;
    bi->bmiHeader.biBitCount = 32;
    std::vector<BYTE> px(3 * 2 * 4, 0xAA);
    HDC screen = plat::GetScreenDC();
    EXPECT_EQ(GetDIBits(screen, src.bitmap(), 0, 2, px.data(), bi, DIB_RGB_COLORS), 2);
    EXPECT_EQ(px[0], 30);
    EXPECT_EQ(px[2], 10);
    EXPECT_EQ(px[3], 0);
    EXPECT_EQ(px[(3 + 2) * 4 + 1], 50);
    // Bottom-up, one scan from the bottom: image row 1.
    bi->bmiHeader.biHeight = 2;
    bi->bmiHeader.biBitCount = 24;
    std::vector<BYTE> one(12, 0);
    EXPECT_EQ(GetDIBits(screen, src.bitmap(), 0, 1, one.data(), bi, DIB_RGB_COLORS), 1);
    EXPECT_EQ(one[6 + 2], 40);
    // A paletted layout of another depth gets the default table and nearest indices.
    bi->bmiHeader.biBitCount = 1;
    std::vector<BYTE> mono(8, 0);
    src.Put(1, 0, RGB(250, 250, 250));
    EXPECT_EQ(GetDIBits(screen, src.bitmap(), 1, 1, mono.data(), bi, DIB_RGB_COLORS), 1);
    EXPECT_EQ(mono[0], 0x40);
    EXPECT_EQ(bi->bmiColors[1].rgbGreen, 255);
    bi->bmiHeader.biWidth = 5;
    EXPECT_EQ(GetDIBits(screen, src.bitmap(), 0, 1, one.data(), bi, DIB_RGB_COLORS), 0);
    plat::ReleaseScreenDC(screen);
}
