// Drawing: rectangles, lines, polygons, pixels and system colours.
#include "gdi_test_support.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF W = RGB(255, 255, 255), K = RGB(0, 0, 0);

// The picture as rows of characters: '#' black, '.' white, '?' anything else.
std::vector<std::string> Picture(const TestDib& d, int w, int h) {
    std::vector<std::string> rows;
    for (int y = 0; y < h; ++y) {
        std::string r;
        for (int x = 0; x < w; ++x)
            r += d.At(x, y) == K ? '#' : d.At(x, y) == W ? '.' : '?';
        rows.push_back(r);
    }
    return rows;
}

using Rows = std::vector<std::string>;

} // namespace

TEST(Fill, FillRectTakesBrushesAndSystemColourIndices) {
    TestDib dib(4, 3);
    dib.Fill(K);
    RECT rc{1, 0, 3, 2};
    EXPECT_EQ(FillRect(dib.dc(), &rc, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)), 1);
    EXPECT_EQ(Picture(dib, 4, 3), (Rows{"#..#", "#..#", "####"}));
    RECT all{0, 0, 4, 3};
    FillRect(dib.dc(), &all,
             reinterpret_cast<HBRUSH>(
                 static_cast<uintptr_t>((COLOR_BTNFACE | SYS_COLOR_INDEX_FLAG) + 1)));
    EXPECT_EQ(dib.At(2, 2), GetSysColor(COLOR_BTNFACE));
    RECT inverted{3, 0, 1, 2};
    EXPECT_EQ(FillRect(dib.dc(), &inverted, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 1);
    EXPECT_EQ(dib.At(2, 1), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(FillRect(dib.dc(), &all, reinterpret_cast<HBRUSH>(0x3F00)), 0);
}

TEST(Fill, FrameInvertAndRegionFills) {
    TestDib dib(5, 4);
    dib.Fill(W);
    RECT rc{0, 0, 5, 4};
    FrameRect(dib.dc(), &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(Picture(dib, 5, 4), (Rows{"#####", "#...#", "#...#", "#####"}));
    RECT inner{1, 1, 3, 3};
    InvertRect(dib.dc(), &inner);
    EXPECT_EQ(Picture(dib, 5, 4), (Rows{"#####", "###.#", "###.#", "#####"}));
    HRGN rgn = CreateRectRgn(0, 0, 2, 2);
    HRGN other = CreateRectRgn(3, 2, 5, 4);
    CombineRgn(rgn, rgn, other, RGN_OR);
    FillRgn(dib.dc(), rgn, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(Picture(dib, 5, 4), (Rows{"..###", "..#.#", "###..", "###.."}));
    DeleteObject(rgn);
    DeleteObject(other);
}

TEST(Shapes, RectangleOutlineInteriorAndTheNullPenRule) {
    TestDib dib(6, 5);
    dib.Fill(RGB(9, 9, 9));
    EXPECT_TRUE(Rectangle(dib.dc(), 0, 0, 5, 4)); // black pen, white brush
    EXPECT_EQ(Picture(dib, 6, 5), (Rows{"#####?", "#...#?", "#...#?", "#####?", "??????"}));
    dib.Fill(W);
    SelectObject(dib.dc(), GetStockObject(NULL_PEN));
    SelectObject(dib.dc(), GetStockObject(BLACK_BRUSH));
    Rectangle(dib.dc(), 5, 4, 1, 1); // corners in either order
    EXPECT_EQ(Picture(dib, 6, 5), (Rows{"......", ".###..", ".###..", "......", "......"}));
    // A three-pixel pen is centred on the one-pixel outline.
    dib.Fill(W);
    HPEN wide = CreatePen(PS_SOLID, 3, K);
    SelectObject(dib.dc(), wide);
    SelectObject(dib.dc(), GetStockObject(NULL_BRUSH));
    Rectangle(dib.dc(), 1, 1, 6, 5);
    EXPECT_EQ(Picture(dib, 6, 5), (Rows{"######", "######", "######", "######", "######"}));
    SelectObject(dib.dc(), GetStockObject(BLACK_PEN));
    DeleteObject(wide);
    // R2_NOT inverts outline and interior, each pixel exactly once.
    dib.Fill(W);
    SetROP2(dib.dc(), R2_NOT);
    SelectObject(dib.dc(), GetStockObject(WHITE_BRUSH));
    Rectangle(dib.dc(), 0, 0, 4, 4);
    EXPECT_EQ(Picture(dib, 6, 5), (Rows{"####..", "####..", "####..", "####..", "......"}));
}

TEST(Lines, LineToLeavesOutTheEndPointAndMovesThePosition) {
    TestDib dib(6, 6);
    dib.Fill(W);
    MoveToEx(dib.dc(), 0, 0, nullptr);
    EXPECT_TRUE(LineTo(dib.dc(), 5, 0));
    EXPECT_TRUE(LineTo(dib.dc(), 5, 5));
    EXPECT_TRUE(LineTo(dib.dc(), 0, 0));
    POINT pos{};
    GetCurrentPositionEx(dib.dc(), &pos);
    EXPECT_EQ(pos.x, 0);
    EXPECT_EQ(pos.y, 0);
    EXPECT_EQ(Picture(dib, 6, 6),
              (Rows{"######", ".#...#", "..#..#", "...#.#", "....##", ".....#"}));
    // An XOR pen drawn twice leaves nothing.
    SetROP2(dib.dc(), R2_XORPEN);
    HPEN white = static_cast<HPEN>(GetStockObject(WHITE_PEN));
    SelectObject(dib.dc(), white);
    POINT path[] = {{0, 5}, {5, 5}, {5, 2}};
    Polyline(dib.dc(), path, 3);
    EXPECT_EQ(Picture(dib, 6, 6)[5], "#####.");
    Polyline(dib.dc(), path, 3);
    EXPECT_EQ(Picture(dib, 6, 6)[5], ".....#");
    EXPECT_FALSE(Polyline(dib.dc(), path, 1));
}

TEST(Lines, DashesAndWidePens) {
    TestDib dib(30, 3);
    dib.Fill(RGB(0, 0, 255));
    HPEN dash = CreatePen(PS_DASH, 1, K);
    SelectObject(dib.dc(), dash);
    SetBkMode(dib.dc(), TRANSPARENT);
    MoveToEx(dib.dc(), 0, 0, nullptr);
    LineTo(dib.dc(), 30, 0);
    for (int x = 0; x < 30; ++x)
        EXPECT_EQ(dib.At(x, 0), (x < 18 || x >= 24) ? K : RGB(0, 0, 255)) << x;
    SetBkMode(dib.dc(), OPAQUE);
    MoveToEx(dib.dc(), 0, 1, nullptr);
    LineTo(dib.dc(), 30, 1);
    EXPECT_EQ(dib.At(20, 1), W); // gaps take the background colour
    HPEN wide = CreatePen(PS_SOLID, 3, RGB(255, 0, 0));
    SelectObject(dib.dc(), wide);
    DeleteObject(dash);
    SetROP2(dib.dc(), R2_XORPEN);
    dib.Fill(K);
    MoveToEx(dib.dc(), 2, 1, nullptr);
    LineTo(dib.dc(), 6, 1);
    // Overlapping pen squares are one area: XOR touches each pixel once.
    for (int x = 0; x < 10; ++x)
        for (int y = 0; y < 3; ++y)
            EXPECT_EQ(dib.At(x, y), (x >= 1 && x <= 6) ? RGB(255, 0, 0) : K) << x << "," << y;
    SelectObject(dib.dc(), GetStockObject(BLACK_PEN));
    DeleteObject(wide);
}

TEST(Shapes, PolygonFillsPixelCentresAndOutlinesAllEdges) {
    TestDib dib(7, 7);
    dib.Fill(W);
    SelectObject(dib.dc(), GetStockObject(NULL_PEN));
    SelectObject(dib.dc(), GetStockObject(BLACK_BRUSH));
    POINT square[] = {{1, 1}, {5, 1}, {5, 5}, {1, 5}};
    EXPECT_TRUE(Polygon(dib.dc(), square, 4));
    EXPECT_EQ(Picture(dib, 7, 7),
              (Rows{".......", ".####..", ".####..", ".####..", ".####..", ".......", "......."}));
    dib.Fill(W);
    SelectObject(dib.dc(), GetStockObject(BLACK_PEN));
    SelectObject(dib.dc(), GetStockObject(WHITE_BRUSH));
    Polygon(dib.dc(), square, 4);
    EXPECT_EQ(Picture(dib, 7, 7),
              (Rows{".......", ".#####.", ".#...#.", ".#...#.", ".#...#.", ".#####.", "......."}));
}

TEST(Shapes, PolygonFillModes) {
    // A pentagram: its centre is inside by winding, outside by alternation.
    POINT star[] = {{10, 0}, {16, 19}, {0, 7}, {20, 7}, {4, 19}};
    for (int mode : {ALTERNATE, WINDING}) {
        TestDib dib(21, 21);
        dib.Fill(W);
        SelectObject(dib.dc(), GetStockObject(NULL_PEN));
        SelectObject(dib.dc(), GetStockObject(BLACK_BRUSH));
        EXPECT_NE(SetPolyFillMode(dib.dc(), mode), 0);
        Polygon(dib.dc(), star, 5);
        EXPECT_EQ(dib.At(10, 10), mode == WINDING ? K : W) << mode;
        EXPECT_EQ(dib.At(10, 3), K); // a point of the star
        EXPECT_EQ(dib.At(1, 1), W);
    }
}

TEST(Pixels, SetPixelAnswersTheColourSetAndRefusesOutside) {
    TestDib dib(2, 2);
    EXPECT_EQ(SetPixel(dib.dc(), 1, 1, RGB(10, 20, 30)), RGB(10, 20, 30));
    EXPECT_EQ(GetPixel(dib.dc(), 1, 1), RGB(10, 20, 30));
    EXPECT_EQ(GetPixel(dib.dc(), 2, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(dib.dc(), 0, -1), CLR_INVALID);
    EXPECT_EQ(SetPixel(dib.dc(), -1, 0, 0), CLR_INVALID);
}

TEST(SystemColours, SoberSchemeAndPermanentBrushes) {
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), RGB(0, 0, 0));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT | SYS_COLOR_INDEX_FLAG), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_NE(GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(GetSysColor(999), 0u);
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    EXPECT_EQ(face, GetSysColorBrush(COLOR_3DFACE));
    EXPECT_TRUE(DeleteObject(face));
    LOGBRUSH lb{};
    EXPECT_EQ(GetObject(face, sizeof(lb), &lb), static_cast<int>(sizeof(lb)));
    EXPECT_EQ(lb.lbColor, GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(GetSysColorBrush(-3), nullptr);
}
