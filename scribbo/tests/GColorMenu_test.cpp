// The colour column and the palette grid: which swatch is current, choices by pen and keys,
// a grid cell closing both menus, and what the swatches look like.
#include "scribbo/GColorMenu.h"

#include "scribbo/LanguageText.h"
#include "scribbo/Palette.h"

#include "GMenu_test_support.h"
#include "toolbar_test_support.h"

#include "winza/DrawHelpers.h"

#include <platform/module.h>
#include <platform/wingdi.h>

#include <filesystem>

namespace {

constexpr int kChoice = 1130;

// Exposes where a menu will stand, so a test knows where to tap in a grid not yet shown.
class PlacedGrid : public GCustomColorMenu {
public:
    using GMenu::PlaceMenu;
    using GMenu::Show;
};
class ShownMenu : public GColorMenu {
public:
    using GMenu::Show;
};

class ColorMenuTest : public GMenuTest {
protected:
    void SetUp() override {
        GMenuTest::SetUp();
        ASSERT_EQ(LoadPaletteColors(plat::ThisModule()), 1);
        std::filesystem::create_directories(device.Host("Program Files/Scribbo"));
        std::filesystem::copy_file(std::string(SCRIBBO_DATA_DIR) + "/language.txt",
                                   device.Host("Program Files/Scribbo/language.txt"));
        ASSERT_EQ(LoadLanguageFile(), 1);
    }
    void TearDown() override {
        FreeLanguageTexts();
        GMenuTest::TearDown();
        apptest::RestoreDefaultScreen();
    }
    // The column with the grid behind its last entry, for the value.
    void Build(GColorMenu& menu, GCustomColorMenu& grid, int column, COLORREF value) {
        ASSERT_TRUE(menu.CreateMenu(owner.GetSafeHwnd(), &owner));
        ASSERT_TRUE(grid.CreateMenu(owner.GetSafeHwnd(), &owner));
        ASSERT_EQ(BuildPaletteColorMenu(&menu, &grid, kChoice, column, value), 13);
    }
    // Screen centre of a grid cell when the grid stands at rect.
    static POINT CellAt(const GCustomColorMenu& grid, RECT at, int cell) {
        const RECT rc = grid.GetCellRect(cell);
        return POINT{at.left + (rc.left + rc.right) / 2, at.top + (rc.top + rc.bottom) / 2};
    }
    // Where the grid opens from the last entry of a menu standing at (x, y).
    RECT GridPlace(GColorMenu& menu, PlacedGrid& grid, int x, int y) {
        Measure(menu);
        const RECT item = menu.GetMenuItem(12, 1)->GetRect();
        RECT size{};
        grid.MeasureAllItem(nullptr, size);
        return grid.PlaceMenu(0, x + item.right - ApplyHires(3), y + item.top - ApplyHires(1),
                              SIZE{size.right, size.bottom});
    }
};

TEST_F(ColorMenuTest, OnlyASwatchOfTheValueIsCurrentAndTheOtherEntryShowsTheValue) {
    struct Case {
        COLORREF value;
        int current;
    };
    const Case cases[] = {{PaletteColors[3][0], 3}, {PaletteColors[11][0], 11}, {0x123456, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.current);
        ShownMenu menu;
        GCustomColorMenu grid;
        Build(menu, grid, 0, c.value);
        EXPECT_EQ(menu.GetCurIndex(), c.current);
        for (int i = 0; i < 12; ++i) {
            const auto* item = menu.GetColorItem(i);
            EXPECT_EQ(item->GetColor(), PaletteColors[i][0]);
            EXPECT_EQ(item->IsHighlighted() != 0, i == c.current);
        }
        const GColorMenuItem* other = menu.GetColorItem(12);
        EXPECT_EQ(other->GetColor(), c.value);
        EXPECT_EQ(other->GetSubMenu(), &grid);
        EXPECT_EQ(std::u16string(other->GetLabel()), std::u16string(GetLangText(40)));
        // On the screen: the other entry's swatch holds the value.
        menu.Show(0, 20, 20);
        Pump();
        const RECT rc = other->GetRect();
        const int right = rc.right - 6 - 8;
        EXPECT_EQ(ScreenPixel(20 + right - 6, 20 + rc.top + 10), c.value);
        menu.HideMenu();
    }
}

TEST_F(ColorMenuTest, AColourAlreadyInTheMenuIsNotAddedTwice) {
    GColorMenu menu;
    ASSERT_TRUE(MakeMenu(menu));
    GColorMenuItem* first = menu.AppendColor(kChoice, 0x00FF00, nullptr, 0);
    EXPECT_EQ(menu.AppendColor(7, 0x00FF00, nullptr, 0), first);
    EXPECT_NE(menu.AppendColor(kChoice, 0x0000FF, nullptr, 0), first);
    EXPECT_EQ(menu.GetMenuItemCount(), 2);
}

TEST_F(ColorMenuTest, ATappedSwatchEndsWithItsIdAndBecomesTheCurrentColour) {
    GColorMenu menu;
    GCustomColorMenu grid;
    Build(menu, grid, 2, 0x123456);
    Script(Tap(ItemAt(menu, 20, 20, 4)));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 20, 20, 0), kChoice);
    EXPECT_EQ(menu.GetCurColor(), PaletteColors[4][2]);
    EXPECT_FALSE(menu.IsWindowVisible());
    EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(ColorMenuTest, AGridCellClosesBothMenusAndIsStoredInTheOtherEntry) {
    GColorMenu menu;
    PlacedGrid grid;
    Build(menu, grid, 0, 0x123456);
    const RECT at = GridPlace(menu, grid, 20, 20);
    const int cell = 5 * 13 + 7;
    Script(Tap(ItemAt(menu, 20, 20, 12)) + Tap(CellAt(grid, at, cell)));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 20, 20, 0), kChoice);
    EXPECT_EQ(menu.GetCurColor(), PaletteColors[5][7]);
    EXPECT_EQ(grid.GetCurColor(), PaletteColors[5][7]);
    EXPECT_EQ(menu.GetColorItem(12)->GetColor(), PaletteColors[5][7]);
    EXPECT_FALSE(menu.IsWindowVisible());
    EXPECT_FALSE(grid.IsWindowVisible());
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_TRUE(owner.pens.empty());
}

TEST_F(ColorMenuTest, LeftOnTheFirstCellHandsTheKeysBackToTheColumn) {
    GColorMenu menu;
    GCustomColorMenu grid;
    Build(menu, grid, 0, PaletteColors[0][0]);
    // Right opens the grid on the cell of the value (the first); Left closes it again; the
    // column then takes Up and Return.
    Script(Key("UP") + Key("RIGHT") + Key("LEFT") + Key("UP") + Key("RETURN"));
    EXPECT_EQ(menu.TrackPopupGMenu(0, 20, 20, 0), kChoice);
    EXPECT_EQ(menu.GetCurColor(), PaletteColors[11][0]);
    EXPECT_EQ(menu.GetColorItem(12)->GetColor(), PaletteColors[0][0]);
    EXPECT_FALSE(grid.IsWindowVisible());
}

TEST_F(ColorMenuTest, GridKeysWrapWithinRowsAndColumns) {
    struct Case {
        int start; // cell of the colour the grid opens with, -1 for a colour not in it
        const char* keys;
        int result;
        int cell;
    };
    const Case cases[] = {
        {0, "key LEFT\nkey RETURN", -3, 0}, // a grid of its own stays on its first cell
        {12, "key RIGHT\nkey RETURN", -3, 0},
        {3 * 13, "key LEFT\nkey RETURN", -3, 3 * 13 + 12},
        {5, "key UP\nkey RETURN", -3, 12 * 13 + 5},
        {12 * 13 + 5, "key DOWN\nkey RETURN", -3, 5},
        {20, "key DOWN\nkey RIGHT\nkey RETURN", -3, 34},
        {-1, "key RETURN", -1, -1},
        {-1, "key DOWN\nkey RETURN", -3, 0},
        {20, "key ESCAPE", -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        GCustomColorMenu grid;
        ASSERT_TRUE(MakeMenu(grid));
        const COLORREF start = c.start >= 0 ? PaletteColors[c.start / 13][c.start % 13] : 0x010203;
        grid.SetCurColor(start);
        Script(std::string(c.keys) + "\n");
        EXPECT_EQ(grid.TrackPopupGMenu(0, 10, 10, 0), c.result);
        EXPECT_EQ(grid.GetCurColor(),
                  c.cell >= 0 ? PaletteColors[c.cell / 13][c.cell % 13] : start);
        EXPECT_FALSE(grid.IsWindowVisible());
    }
}

TEST_F(ColorMenuTest, TheCurrentCellIsRingedAndEdgedInTheComplementOfItsColour) {
    PlacedGrid grid;
    ASSERT_TRUE(MakeMenu(grid));
    grid.Show(0, 10, 10);
    grid.SetCurCell(14);
    Pump();
    for (int cell : {14, 15}) {
        SCOPED_TRACE(cell);
        RECT rc = grid.GetCellRect(cell);
        ::InflateRect(&rc, -1, -1);
        const COLORREF colour = PaletteColors[cell / 13][cell % 13];
        EXPECT_EQ(ScreenPixel(10 + rc.left + 3, 10 + rc.top + 3), colour);
        EXPECT_EQ(ScreenPixel(10 + rc.left, 10 + rc.top + 3),
                  cell == 14 ? ComplementColor(colour) : GetGLibColor(5));
    }
    // The ring one pixel outside the current cell; the gap beside another cell is the frame's.
    const RECT cur = grid.GetCellRect(14);
    EXPECT_EQ(ScreenPixel(10 + cur.left, 10 + cur.top + 3), GetGLibColor(74));
    const RECT next = grid.GetCellRect(16);
    EXPECT_EQ(ScreenPixel(10 + next.left, 10 + next.top + 3), GetGLibColor(1));
}

} // namespace

namespace {

// Both menus open on each screen size, written as PNG screens for a look.
class ColorMenuGallery : public ColorMenuTest, public ::testing::WithParamInterface<SIZE> {
protected:
    SIZE ScreenSize() const override { return GetParam(); }
};

TEST_P(ColorMenuGallery, TheColumnWithTheGridOpenBesideIt) {
    ShownMenu menu;
    PlacedGrid grid;
    menu.SetFont(fonts.GetFont(eFontNormal14));
    Build(menu, grid, 0, PaletteColors[6][9]);
    const int x = ApplyHires(20);
    const int y = ApplyHires(20);
    menu.Show(0, x, y);
    menu.SetCurIndex(12);
    const RECT at = GridPlace(menu, grid, x, y);
    grid.Show(0, at.left, at.top);
    grid.SetCurCell(6 * 13 + 9);
    Pump();
    const std::string name = "color_menu_" + std::to_string(GetParam().cx);
    const std::string dir = SCRIBBO_TEST_OUTPUT;
    std::filesystem::create_directories(dir);
    HDC screen = ::GetDC(nullptr);
    EXPECT_TRUE(plat::SaveSurfacePng(screen, dir + "/" + name + ".png"));
    ::ReleaseDC(nullptr, screen);
    // The grid rings the cell of the value; each visible swatch shows its palette colour.
    const RECT cell = grid.GetCellRect(6 * 13 + 9);
    EXPECT_EQ(ScreenPixel(at.left + cell.left + ApplyHires(1) - 1, at.top + cell.top + 4),
              GetGLibColor(74));
    const RECT swatch = menu.GetMenuItem(2, 1)->GetRect();
    const int sx = x + (swatch.left + swatch.right) / 2;
    if (sx < at.left) {
        EXPECT_EQ(ScreenPixel(sx, y + (swatch.top + swatch.bottom) / 2), PaletteColors[2][0]);
    }
}

INSTANTIATE_TEST_SUITE_P(Screens, ColorMenuGallery,
                         ::testing::Values(SIZE{240, 320}, SIZE{480, 640}),
                         [](const auto& info) { return std::to_string(info.param.cx); });

} // namespace
