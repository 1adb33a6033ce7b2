#include "winza/DrawHelpers.h"
#include "winza/Hires.h"

#include "fundo/GDib.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);

// A small white 24-bit canvas with a memory context drawing into it.
class Canvas {
public:
    explicit Canvas(int w = 32, int h = 32) {
        dib.Create(w, h, 24);
        dib.SetBackColor(kWhite);
        dc = ::CreateCompatibleDC(nullptr);
        old = ::SelectObject(dc, dib.GetSafeHandle());
    }
    ~Canvas() {
        ::SelectObject(dc, old);
        ::DeleteDC(dc);
    }
    COLORREF At(int x, int y) const { return dib.GetPixelColor(x, y); }
    // One row as text: '#' for the colour, '.' for white, '?' otherwise.
    std::string Row(int y, int x0, int x1, COLORREF c) const {
        std::string s;
        for (int x = x0; x < x1; ++x)
            s += At(x, y) == c ? '#' : At(x, y) == kWhite ? '.' : '?';
        return s;
    }
    std::string Column(int x, int y0, int y1, COLORREF c) const {
        std::string s;
        for (int y = y0; y < y1; ++y)
            s += At(x, y) == c ? '#' : At(x, y) == kWhite ? '.' : '?';
        return s;
    }
    GDib dib;
    HDC dc;
    HGDIOBJ old;
};

TEST(MakeColor, ShadesEachChannelAndSaturates) {
    COLORREF light = 0, dark = 0;
    MakeColor(0x00C8FF10, light, dark);
    EXPECT_EQ(light, 0x00FBFF43u);
    EXPECT_EQ(dark, 0x0095CC00u);
    // The limits: 204 and 51 still move, 205 and 50 clamp.
    MakeColor(RGB(204, 205, 51), light, dark);
    EXPECT_EQ(light, RGB(255, 255, 102));
    EXPECT_EQ(dark, RGB(153, 154, 0));
    MakeColor(RGB(50, 0, 255), light, dark);
    EXPECT_EQ(dark, RGB(0, 0, 204));
}

TEST(FillSolidRect, FillsExactlyTheRectangle) {
    Canvas c;
    FillSolidRect(c.dc, 2, 3, 4, 5, kRed);
    EXPECT_EQ(c.Row(3, 0, 8, kRed), "..####..");
    EXPECT_EQ(c.Column(2, 0, 10, kRed), "...#####..");
    RECT empty{20, 20, 20, 29};
    FillSolidRect(c.dc, &empty, kBlue);
    FillSolidRect(c.dc, nullptr, kBlue);
    EXPECT_EQ(c.At(20, 21), kWhite);
}

TEST(FrameRect, SolidEdgesAreWidthThickInsideTheRectangle) {
    Canvas c;
    RECT rc{2, 2, 12, 10};
    FrameRect(c.dc, &rc, kRed, kBlue, kGreen, 2, eFrameAll);
    EXPECT_EQ(c.At(2, 5), kRed); // left
    EXPECT_EQ(c.At(3, 5), kRed);
    EXPECT_EQ(c.At(4, 5), kGreen); // fill
    EXPECT_EQ(c.At(10, 5), kBlue); // right ends at right - 1
    EXPECT_EQ(c.At(11, 5), kBlue);
    EXPECT_EQ(c.At(12, 5), kWhite);
    EXPECT_EQ(c.At(6, 2), kRed);  // top
    EXPECT_EQ(c.At(6, 9), kBlue); // bottom
    EXPECT_EQ(c.At(6, 10), kWhite);
    EXPECT_EQ(c.At(1, 5), kWhite);
}

TEST(FrameRect, EachFlagDrawsOnlyItsPart) {
    const struct {
        int flag;
        POINT on;
        COLORREF color;
    } cases[] = {
        {eFrameLeft, {2, 5}, kRed},    {eFrameRight, {11, 5}, kBlue}, {eFrameTop, {6, 2}, kRed},
        {eFrameBottom, {6, 9}, kBlue}, {eFrameFill, {6, 5}, kGreen},
    };
    const POINT probes[] = {{2, 5}, {11, 5}, {6, 2}, {6, 9}, {6, 5}};
    for (const auto& k : cases) {
        Canvas c;
        RECT rc{2, 2, 12, 10};
        FrameRect(c.dc, &rc, kRed, kBlue, kGreen, 1, k.flag);
        for (const POINT& p : probes) {
            // The fill covers the whole rectangle; an edge only its own side.
            const bool expected = k.flag == eFrameFill || (p.x == k.on.x && p.y == k.on.y);
            EXPECT_EQ(c.At(p.x, p.y), expected ? k.color : kWhite)
                << "flag " << k.flag << " at " << p.x << "," << p.y;
        }
    }
}

TEST(FrameRect, DashedEdgesUseTheFirstGapAndLieOnTheLastPixel) {
    Canvas c;
    RECT rc{0, 0, 12, 12};
    FrameRect(c.dc, &rc, kRed, kBlue, kGreen, 3, eFrameTop | eFrameBottom | eFrameRight | 0x20);
    // Gap 1, thickness 1: dashes 1 long every 2 pixels.
    EXPECT_EQ(c.Row(0, 0, 11, kRed), "#.#.#.#.#.#");
    EXPECT_EQ(c.Row(1, 0, 12, kRed), "............"); // one pixel thick, not width
    EXPECT_EQ(c.Row(11, 0, 11, kBlue), "#.#.#.#.#.#");
    EXPECT_EQ(c.Column(11, 1, 11, kBlue), ".#.#.#.#.#");
    Canvas d;
    FrameRect(d.dc, &rc, kRed, kBlue, kGreen, 1, eFrameTop | 0x40 | 0x80);
    // Gap 2 wins over 4: dashes 2 long every 4 pixels.
    EXPECT_EQ(d.Row(0, 0, 12, kRed), "##..##..##..");
    Canvas e;
    FrameRect(e.dc, &rc, kRed, kBlue, kGreen, 1, eFrameTop | 0x80);
    EXPECT_EQ(e.Row(0, 0, 12, kRed), "####....####");
}

TEST(DottedLines, DashLengthPeriodAndCutAtTheEnd) {
    Canvas c;
    // thickness 2, gap 2: dash 3, period 6.
    DrawDotHLine(c.dc, 1, 4, 14, 2, kRed, 2);
    EXPECT_EQ(c.Row(4, 0, 16, kRed), ".###...###...##.");
    EXPECT_EQ(c.Row(5, 0, 16, kRed), ".###...###...##.");
    EXPECT_EQ(c.Row(6, 0, 16, kRed), "................");
    DrawDotVLine(c.dc, 20, 0, 1, 9, kBlue, 4);
    // thickness 1, gap 4: dash 4, period 8.
    EXPECT_EQ(c.Column(20, 0, 10, kBlue), "####....#.");
    EXPECT_EQ(c.At(21, 0), kWhite);
    // A shape without dashes draws nothing and ends.
    DrawDotHLine(c.dc, 0, 20, 10, 0, kRed, 0);
    EXPECT_EQ(c.Row(20, 0, 10, kRed), "..........");
}

TEST(DrawArrow, EachDirectionGrowsFromItsApex) {
    {
        Canvas c;
        RECT rc{0, 0, 4, 9};
        DrawArrow(c.dc, eArrowLeft, &rc, kRed);
        EXPECT_EQ(c.Column(0, 0, 9, kRed), "....#....");
        EXPECT_EQ(c.Column(1, 0, 9, kRed), "...###...");
        EXPECT_EQ(c.Column(3, 0, 9, kRed), ".#######.");
    }
    {
        Canvas c;
        RECT rc{0, 0, 4, 9};
        DrawArrow(c.dc, eArrowRight, &rc, kRed);
        EXPECT_EQ(c.Column(3, 0, 9, kRed), "....#....");
        EXPECT_EQ(c.Column(0, 0, 9, kRed), ".#######.");
    }
    {
        Canvas c;
        RECT rc{0, 0, 7, 3};
        DrawArrow(c.dc, eArrowUp, &rc, kRed);
        EXPECT_EQ(c.Row(0, 0, 7, kRed), "...#...");
        EXPECT_EQ(c.Row(2, 0, 7, kRed), ".#####.");
    }
    {
        Canvas c;
        RECT rc{0, 0, 7, 3};
        DrawArrow(c.dc, eArrowDown, &rc, kRed);
        EXPECT_EQ(c.Row(2, 0, 7, kRed), "...#...");
        EXPECT_EQ(c.Row(0, 0, 7, kRed), ".#####.");
    }
    Canvas c;
    RECT rc{0, 0, 7, 3};
    DrawArrow(c.dc, 4, &rc, kRed);
    DrawArrow(c.dc, eArrowUp, nullptr, kRed);
    EXPECT_EQ(c.Row(0, 0, 7, kRed), ".......");
}

TEST(DrawFolder, StaysInItsCellAndShowsTheBodyColour) {
    for (int open = 0; open < 2; ++open) {
        Canvas c(40, 40);
        RECT rc{4, 4, 20, 20};
        const COLORREF body = RGB(250, 200, 0);
        DrawFolder(c.dc, &rc, body, open);
        const int u = ApplyHires(1);
        int bodyPixels = 0;
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 40; ++x) {
                const bool inside = x >= 4 && x < 4 + 16 * u && y >= 4 && y < 4 + 16 * u;
                if (!inside) {
                    EXPECT_EQ(c.At(x, y), kWhite) << x << "," << y;
                }
                bodyPixels += c.At(x, y) == body;
            }
        }
        EXPECT_GT(bodyPixels, 40 * u * u) << "open " << open;
        EXPECT_EQ(c.At(4 + 15 * u, 4 + 15 * u), kWhite); // corner of the cell stays clear
    }
}

} // namespace
