// ExtTextOutW: colours, background modes, the opaque and clipped rectangle, alignment, the
// context's clip region and origin, and other surface depths.
#include "../src/gdi_internal.h"
#include "text_test_support.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kInk = RGB(200, 0, 0);
constexpr COLORREF kBack = RGB(0, 120, 0);

void Prepare(const TestDib& dib, int mode) {
    dib.Fill(kWhite);
    SetTextColor(dib.dc(), kInk);
    SetBkColor(dib.dc(), kBack);
    SetBkMode(dib.dc(), mode);
}

} // namespace

TEST(TextDraw, TextColourAtFullCoverage) {
    TestDib dib(60, 30);
    Prepare(dib, TRANSPARENT);
    TestFont f(dib.dc(), -24);
    ASSERT_TRUE(ExtTextOutW(dib.dc(), 2, 2, 0, nullptr, u"Il", 2, nullptr));
    // Vertical stems are solid in the text colour; every other pixel is a blend of the text
    // colour over white.
    EXPECT_GT(CountColor(dib, RECT{0, 0, 60, 30}, kInk), 20);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 60; ++x) {
            COLORREF c = dib.At(x, y);
            EXPECT_EQ(GetBValue(c), GetGValue(c));
            EXPECT_NEAR(GetRValue(c), 255 - 55 * (255 - GetGValue(c)) / 255, 1);
        }
}

TEST(TextDraw, OpaqueModeFillsTheCellTransparentLeavesTheBackground) {
    TestDib dib(100, 30);
    TestFont f(dib.dc(), -16);
    SIZE size{};
    GetTextExtentPoint32W(dib.dc(), u"Cell", 4, &size);
    Prepare(dib, OPAQUE);
    ExtTextOutW(dib.dc(), 5, 3, 0, nullptr, u"Cell", 4, nullptr);
    RECT cell{5, 3, 5 + size.cx, 3 + size.cy};
    EXPECT_EQ(InkBox(dib, 100, 30, kWhite).left, cell.left);
    EXPECT_EQ(InkBox(dib, 100, 30, kWhite).right, cell.right);
    EXPECT_EQ(InkBox(dib, 100, 30, kWhite).top, cell.top);
    EXPECT_EQ(InkBox(dib, 100, 30, kWhite).bottom, cell.bottom);
    EXPECT_EQ(dib.At(cell.left, cell.top), kBack);
    EXPECT_EQ(dib.At(cell.right - 1, cell.bottom - 1), kBack);
    EXPECT_LT(CountColor(dib, cell, kBack), size.cx * size.cy - 20);
    EXPECT_EQ(CountColor(dib, cell, kWhite), 0);

    Prepare(dib, TRANSPARENT);
    ExtTextOutW(dib.dc(), 5, 3, 0, nullptr, u"Cell", 4, nullptr);
    EXPECT_EQ(CountColor(dib, RECT{0, 0, 100, 30}, kBack), 0);
    EXPECT_GT(CountColor(dib, cell, kWhite), size.cx * size.cy / 2);
}

TEST(TextDraw, OpaqueAndClippedRectangle) {
    TestDib dib(100, 30);
    TestFont f(dib.dc(), -20);
    Prepare(dib, TRANSPARENT);
    RECT rc{10, 4, 30, 20};
    // ETO_OPAQUE fills the whole rectangle whatever the background mode; ETO_CLIPPED keeps
    // the glyphs inside it.
    ASSERT_TRUE(ExtTextOutW(dib.dc(), 12, 2, ETO_OPAQUE | ETO_CLIPPED, &rc, u"WWWWWW", 6, nullptr));
    RECT ink = InkBox(dib, 100, 30, kWhite);
    EXPECT_EQ(ink.left, rc.left);
    EXPECT_EQ(ink.top, rc.top);
    EXPECT_EQ(ink.right, rc.right);
    EXPECT_EQ(ink.bottom, rc.bottom);
    EXPECT_GT(CountColor(dib, rc, kInk), 5);

    // Unclipped, the same text runs past the rectangle; an empty string still fills.
    Prepare(dib, TRANSPARENT);
    ExtTextOutW(dib.dc(), 12, 2, ETO_OPAQUE, &rc, u"WWWWWW", 6, nullptr);
    EXPECT_GT(InkBox(dib, 100, 30, kWhite).right, rc.right);
    Prepare(dib, TRANSPARENT);
    ExtTextOutW(dib.dc(), 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
    EXPECT_EQ(CountColor(dib, rc, kBack), 20 * 16);
    EXPECT_FALSE(ExtTextOutW(dib.dc(), 0, 0, 0, nullptr, nullptr, 3, nullptr));
}

TEST(TextDraw, HonoursTheClipRegionAndTheOrigin) {
    TestDib dib(100, 30);
    TestFont f(dib.dc(), -20);
    Prepare(dib, OPAQUE);
    IntersectClipRect(dib.dc(), 0, 0, 40, 30);
    ExcludeClipRect(dib.dc(), 10, 0, 20, 30);
    ExtTextOutW(dib.dc(), 0, 0, 0, nullptr, u"MMMMMMMMMM", 10, nullptr);
    EXPECT_EQ(CountColor(dib, RECT{10, 0, 20, 30}, kWhite), 10 * 30);
    EXPECT_EQ(CountColor(dib, RECT{40, 0, 100, 30}, kWhite), 60 * 30);
    EXPECT_LT(CountColor(dib, RECT{0, 0, 10, 20}, kWhite), 10 * 20);

    // A window context maps device 0,0 to its origin and draws only in its visible region.
    std::shared_ptr<plat::Surface> surface = plat::MakeSurface(60, 40, 24, false);
    std::memset(surface->bits, 0xFF, static_cast<size_t>(surface->stride) * 40);
    plat::Region visible(RECT{20, 10, 50, 35});
    HDC wdc = plat::CreateSurfaceDC(surface, plat::DCKind::Window, POINT{20, 10}, &visible);
    SetBkColor(wdc, kBack);
    HGDIOBJ old = SelectObject(wdc, f.font());
    ExtTextOutW(wdc, 0, 0, 0, nullptr, u"HHHHHHHH", 8, nullptr);
    RECT ink{60, 40, 0, 0};
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x)
            if (plat::GetRaw(surface->Row(y), x, 24) != 0xFFFFFF) {
                ink.left = std::min<LONG>(ink.left, x);
                ink.top = std::min<LONG>(ink.top, y);
                ink.right = std::max<LONG>(ink.right, x + 1);
                ink.bottom = std::max<LONG>(ink.bottom, y + 1);
            }
    TEXTMETRICW tm{};
    GetTextMetricsW(wdc, &tm);
    EXPECT_EQ(ink.left, 20);
    EXPECT_EQ(ink.top, 10);
    EXPECT_EQ(ink.right, 50);
    EXPECT_EQ(ink.bottom, std::min<LONG>(35, 10 + tm.tmHeight));
    SelectObject(wdc, old);
    DeleteDC(wdc);
}

TEST(TextDraw, AlignmentMovesTheReferencePoint) {
    TestDib dib(120, 60);
    TestFont f(dib.dc(), -16);
    TEXTMETRICW tm{};
    GetTextMetricsW(dib.dc(), &tm);
    SIZE size{};
    GetTextExtentPoint32W(dib.dc(), u"Align", 5, &size);
    struct Case {
        UINT align;
        RECT cell;
    } cases[] = {
        {TA_LEFT | TA_TOP, {60, 30, 60 + size.cx, 30 + size.cy}},
        {TA_RIGHT | TA_TOP, {60 - size.cx, 30, 60, 30 + size.cy}},
        {TA_CENTER | TA_BOTTOM, {60 - size.cx / 2, 30 - size.cy, 60 - size.cx / 2 + size.cx, 30}},
        {TA_LEFT | TA_BASELINE, {60, 30 - tm.tmAscent, 60 + size.cx, 30 + tm.tmDescent}},
    };
    for (const Case& c : cases) {
        Prepare(dib, OPAQUE);
        EXPECT_EQ(SetTextAlign(dib.dc(), c.align) & ~0u, GetTextAlign(dib.dc()) & ~0u);
        SetTextAlign(dib.dc(), c.align);
        EXPECT_EQ(GetTextAlign(dib.dc()), c.align);
        ExtTextOutW(dib.dc(), 60, 30, 0, nullptr, u"Align", 5, nullptr);
        RECT box = InkBox(dib, 120, 60, kWhite);
        EXPECT_EQ(box.left, c.cell.left) << c.align;
        EXPECT_EQ(box.top, c.cell.top) << c.align;
        EXPECT_EQ(box.right, c.cell.right) << c.align;
        EXPECT_EQ(box.bottom, c.cell.bottom) << c.align;
    }
    // TA_UPDATECP draws at the current position and moves it past the text.
    SetTextAlign(dib.dc(), TA_UPDATECP);
    MoveToEx(dib.dc(), 7, 9, nullptr);
    Prepare(dib, OPAQUE);
    ExtTextOutW(dib.dc(), 100, 100, 0, nullptr, u"Align", 5, nullptr);
    POINT pos{};
    GetCurrentPositionEx(dib.dc(), &pos);
    EXPECT_EQ(pos.x, 7 + size.cx);
    EXPECT_EQ(pos.y, 9);
    EXPECT_EQ(InkBox(dib, 120, 60, kWhite).left, 7);
}

TEST(TextDraw, AdvancesFromTheCaller) {
    TestDib dib(120, 30);
    TestFont f(dib.dc(), -16);
    Prepare(dib, OPAQUE);
    const int dx[3] = {20, 20, 20};
    ExtTextOutW(dib.dc(), 0, 0, 0, nullptr, u"iii", 3, dx);
    EXPECT_EQ(InkBox(dib, 120, 30, kWhite).right, 60);
    // Each i's stem starts near a multiple of 20.
    for (int k = 0; k < 3; ++k)
        EXPECT_GT(CountColor(dib, RECT{20 * k, 0, 20 * k + 8, 30}, kBack), 0);
}

TEST(TextDraw, UnderlineAndStrikeOut) {
    TestDib dib(80, 30);
    HFONT u = CreateFontW(-16, 0, 0, 0, FW_NORMAL, 0, 1, 0, 0, 0, 0, 0, 0, u"Tahoma");
    HGDIOBJ old = SelectObject(dib.dc(), u);
    TEXTMETRICW tm{};
    GetTextMetricsW(dib.dc(), &tm);
    EXPECT_EQ(tm.tmUnderlined, 1);
    Prepare(dib, TRANSPARENT);
    SIZE size{};
    GetTextExtentPoint32W(dib.dc(), u"o o", 3, &size);
    ExtTextOutW(dib.dc(), 0, 0, 0, nullptr, u"o o", 3, nullptr);
    // Under the space between the letters only the underline has ink: one solid row.
    int x = size.cx / 2;
    int inkRows = 0;
    for (int y = tm.tmAscent; y < tm.tmHeight; ++y)
        inkRows += dib.At(x, y) == kInk;
    EXPECT_GE(inkRows, 1);
    EXPECT_EQ(CountColor(dib, RECT{x, 0, x + 1, tm.tmAscent}, kWhite), tm.tmAscent);
    SelectObject(dib.dc(), old);
    DeleteObject(u);
}

TEST(TextDraw, OtherSurfaceDepths) {
    for (int bpp : {8, 16, 32}) {
        std::vector<RGBQUAD> colors;
        if (bpp == 8)
            colors = {{255, 255, 255, 0}, {0, 0, 255, 0}};
        TestDib dib(60, 24, bpp, colors);
        std::memset(dib.bits(), bpp == 8 ? 0 : 0xFF, static_cast<size_t>(dib.stride()) * 24);
        // Pure red is exact in every depth.
        SetTextColor(dib.dc(), RGB(255, 0, 0));
        SetBkMode(dib.dc(), TRANSPARENT);
        TestFont f(dib.dc(), -18);
        ASSERT_TRUE(ExtTextOutW(dib.dc(), 1, 1, 0, nullptr, u"Deep", 4, nullptr));
        int ink = 0;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 60; ++x)
                ink += GetPixel(dib.dc(), x, y) == RGB(255, 0, 0);
        EXPECT_GT(ink, 15) << bpp;
    }
}
