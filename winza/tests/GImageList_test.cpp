#include "winza/GImageList.h"
#include "winza/GItem.h"
#include "vbutton_test_support.h"

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

COLORREF CellColour(int i) {
    return RGB(20 * i + 10, 100, 200 - 10 * i);
}

// A strip of columns x rows cells of 8 x 6, each one colour with a magenta top-left pixel.
GDib MakeStrip(int columns, int rows) {
    GDib strip;
    strip.Create(8 * columns, 6 * rows, 24);
    for (int i = 0; i < columns * rows; ++i) {
        const int x = (i % columns) * 8, y = (i / columns) * 6;
        strip.FillRect(x, y, 8, 6, CellColour(i));
        strip.FillRect(x, y, 1, 1, kMagenta);
    }
    return strip;
}

// A white canvas with a memory context.
class Canvas {
public:
    Canvas() {
        dib.Create(64, 64, 24);
        dib.SetBackColor(kWhite);
        dc = ::CreateCompatibleDC(nullptr);
        old = ::SelectObject(dc, dib.GetSafeHandle());
    }
    ~Canvas() {
        ::SelectObject(dc, old);
        ::DeleteDC(dc);
    }
    COLORREF At(int x, int y) const { return dib.GetPixelColor(x, y); }
    GDib dib;
    HDC dc;
    HGDIOBJ old;
};

class GImageListTest : public ToolkitTest {};

TEST_F(GImageListTest, EmptyListHasRoomButNoCells) {
    GImageList list;
    ASSERT_EQ(list.CreateImageList(8, 6, 3, 2, kMagenta), 1);
    EXPECT_EQ(list.Width(), 24);
    EXPECT_EQ(list.Height(), 12);
    EXPECT_EQ(list.GetItemSize(), 0);
    EXPECT_EQ(list.GetColumn(), 3);
    EXPECT_EQ(list.GetRow(), 2);
    EXPECT_EQ(list.GetPixelColor(5, 5), kMagenta);
    EXPECT_EQ(QuadToColor(list.GetTransColor()), kMagenta);
    EXPECT_EQ(list.CreateImageList(0, 6, 3, 2, kMagenta), 0);
    EXPECT_EQ(list.CreateImageList(8, 6, -1, 2, kMagenta), 0);
    EXPECT_EQ(list.GetItemSize(), 0);
    EXPECT_EQ(list.GetSafeHandle(), nullptr);
}

TEST_F(GImageListTest, StripIsCutIntoRowsAndColumns) {
    GDib strip = MakeStrip(3, 2);
    GImageList list;
    ASSERT_EQ(list.CreateImageList(8, 6, &strip, kMagenta), 1);
    EXPECT_EQ(list.GetItemSize(), 6);
    EXPECT_EQ(list.GetRow(), 2);
    EXPECT_EQ(list.GetColumn(), 3);
    EXPECT_EQ(list.GetItemWidth(), 8);
    EXPECT_EQ(list.GetItemHeight(), 6);
    Canvas c;
    // Cell 4 is row 1, column 1; the key stays transparent.
    list.Draw(c.dc, 10, 10, 4, 255, 1);
    EXPECT_EQ(c.At(12, 12), CellColour(4));
    EXPECT_EQ(c.At(17, 15), CellColour(4));
    EXPECT_EQ(c.At(10, 10), kWhite);
    EXPECT_EQ(c.At(18, 10), kWhite);
    EXPECT_EQ(c.At(10, 16), kWhite);
    // Drawn opaque, the key colour shows.
    list.Draw(c.dc, 30, 30, 1, 0, 255, 0);
    EXPECT_EQ(c.At(30, 30), kMagenta);
    EXPECT_EQ(c.At(31, 31), CellColour(3));
    // Half opacity over white.
    list.Draw(c.dc, 40, 0, 0, 128, 1);
    EXPECT_NEAR(GetRValue(c.At(42, 2)), (10 + 255) / 2, 2);
    // A strip smaller than one cell or a missing one is refused.
    GImageList small;
    EXPECT_EQ(small.CreateImageList(32, 32, &strip, kMagenta), 0);
    EXPECT_EQ(small.CreateImageList(8, 6, nullptr, kMagenta), 0);
}

TEST_F(GImageListTest, IndicesOutsideTheCellsDrawNothing) {
    GDib strip = MakeStrip(2, 1);
    GImageList list;
    list.CreateImageList(8, 6, &strip, kMagenta);
    Canvas c;
    list.Draw(c.dc, 0, 0, 2, 255, 0);
    list.Draw(c.dc, 0, 0, -1, 255, 0);
    list.Draw(c.dc, 0, 0, 1, 2, 255, 0);
    list.Draw(c.dc, 0, 0, 0, -1, 255, 0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(c.At(x, y), kWhite);
    // Cells past the count are not drawn by index even though the bitmap holds them.
    list.SetItemSize(1);
    list.Draw(c.dc, 0, 0, 1, 255, 0);
    EXPECT_EQ(c.At(3, 3), kWhite);
}

TEST_F(GImageListTest, AddingToAFullListGrowsItByARowAndKeepsTheCells) {
    GDib strip = MakeStrip(2, 1);
    GImageList source;
    source.CreateImageList(8, 6, &strip, kMagenta);
    GImageList list;
    list.CreateImageList(8, 6, 2, 1, kMagenta);
    EXPECT_EQ(list.AddImageItem(&source, 1), 0);
    EXPECT_EQ(list.AddImageItem(&source, 0), 1);
    EXPECT_EQ(list.GetRow(), 1);
    EXPECT_EQ(list.AddImageItem(&source, 1), 2);
    EXPECT_EQ(list.GetRow(), 2);
    EXPECT_EQ(list.GetColumn(), 2);
    EXPECT_EQ(list.GetItemSize(), 3);
    EXPECT_EQ(list.Height(), 12);
    EXPECT_EQ(QuadToColor(list.GetTransColor()), kMagenta);
    // Old cells kept; the new one copied with the key left as key.
    EXPECT_EQ(list.GetPixelColor(3, 3), CellColour(1));
    EXPECT_EQ(list.GetPixelColor(11, 3), CellColour(0));
    EXPECT_EQ(list.GetPixelColor(3, 9), CellColour(1));
    EXPECT_EQ(list.GetPixelColor(0, 6), kMagenta);
    // The unused cell of the new row is key colour.
    EXPECT_EQ(list.GetPixelColor(12, 9), kMagenta);
}

TEST_F(GImageListTest, AddingFromAnotherListChecksItsArguments) {
    GDib strip = MakeStrip(2, 1);
    GImageList source;
    source.CreateImageList(8, 6, &strip, kMagenta);
    GImageList list;
    list.CreateImageList(8, 6, 1, 1, kMagenta);
    EXPECT_EQ(list.AddImageItem(nullptr, 0), -1);
    EXPECT_EQ(list.AddImageItem(&source, -1), -1);
    EXPECT_EQ(list.AddImageItem(&source, 2), -1);
    GImageList other;
    other.CreateImageList(16, 6, 1, 1, kMagenta);
    other.SetItemSize(1);
    EXPECT_EQ(list.AddImageItem(&other, 0), -1);
    EXPECT_EQ(list.GetItemSize(), 0);
    // A list that was never made cannot take cells.
    GImageList none;
    EXPECT_EQ(none.AddImageItem(&source, 0), -1);
}

TEST_F(GImageListTest, IconsAreDrawnIntoANewCell) {
    GDib color;
    color.Create(8, 6, 24);
    color.SetBackColor(RGB(0, 128, 255));
    GDib mask;
    mask.Create(8, 6, 1);
    mask.SetBackColor(RGB(0, 0, 0));
    ICONINFO info{TRUE, 0, 0, mask.GetSafeHandle(), color.GetSafeHandle()};
    HICON icon = ::CreateIconIndirect(&info);
    ASSERT_NE(icon, nullptr);
    GImageList list;
    list.CreateImageList(8, 6, 1, 1, kMagenta);
    EXPECT_EQ(list.AddImageItem(icon), 0);
    EXPECT_EQ(list.AddImageItem(icon), 1);
    EXPECT_EQ(list.GetRow(), 2);
    EXPECT_EQ(list.GetPixelColor(4, 3), RGB(0, 128, 255));
    EXPECT_EQ(list.GetPixelColor(4, 9), RGB(0, 128, 255));
    EXPECT_EQ(list.AddImageItem(static_cast<HICON>(nullptr)), -1);
    EXPECT_EQ(list.GetItemSize(), 2);
    ::DestroyIcon(icon);
}

TEST_F(GImageListTest, CopiesAreIndependent) {
    GDib strip = MakeStrip(2, 2);
    GImageList source;
    source.CreateImageList(8, 6, &strip, kMagenta);
    source.SetItemSize(3);
    GImageList copy;
    ASSERT_EQ(copy.CopyImageList(&source), 1);
    EXPECT_EQ(copy.GetItemSize(), 3);
    EXPECT_EQ(copy.GetRow(), 2);
    EXPECT_EQ(copy.GetColumn(), 2);
    source.FillRect(0, 0, 16, 12, RGB(1, 2, 3));
    EXPECT_EQ(copy.GetPixelColor(3, 3), CellColour(0));
    GImageList empty;
    EXPECT_EQ(copy.CopyImageList(&empty), 0);
    EXPECT_EQ(copy.CopyImageList(nullptr), 0);
}

TEST_F(GImageListTest, StandardIconsAreWrappedAsAList) {
    GImageList* list = GetGLibImageList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetItemSize(), 10);
    EXPECT_EQ(list->GetItemWidth(), 16);
    EXPECT_EQ(list->GetItemHeight(), 16);
    EXPECT_EQ(QuadToColor(list->GetTransColor()), kMagenta);
    EXPECT_EQ(GetGLibImageList(), list);
    FreeGLibControl();
    EXPECT_EQ(GetGLibImageList(), nullptr);
    // A later start on a large screen gives 32-pixel cells.
    StartScreen(480, 640);
    list = GetGLibImageList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetItemWidth(), 32);
    EXPECT_EQ(list->GetItemSize(), 10);
}

TEST(GItemTest, LabelFlagsAndImage) {
    GItem item(u"Memo");
    EXPECT_EQ(std::u16string(item.GetLabel()), u"Memo");
    EXPECT_EQ(item.GetImageIndex(), -1);
    EXPECT_EQ(item.GetFlag(3), 1);
    EXPECT_EQ(item.SetFlag(0x10), 3u);
    EXPECT_EQ(item.GetFlag(0x10), 1);
    EXPECT_EQ(item.ResetFlag(0x1), 0x13u);
    EXPECT_EQ(item.GetFlag(0x1), 0);
    EXPECT_EQ(item.GetFlag(0x2), 1);
    item.SetLabel(u"");
    EXPECT_EQ(item.GetLabel(), nullptr);
    item.SetLabel(u"x");
    item.SetLabel(nullptr);
    EXPECT_EQ(item.GetLabel(), nullptr);
    GItem plain;
    EXPECT_EQ(plain.GetLabel(), nullptr);
    plain.SetImageIndex(4);
    EXPECT_EQ(plain.GetImageIndex(), 4);
}

} // namespace
