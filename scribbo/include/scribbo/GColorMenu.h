// Pop-up colour menus. GColorMenu is a column of colour swatches (plus labelled entries such as
// "other colour..."); GCustomColorMenu is the 13 x 13 grid of the application's palette, opened
// as a submenu of a GColorMenu or on its own.
//
// Typical use (a column of palette colours with the grid behind its last entry):
//
//     GColorMenu menu;                       GCustomColorMenu grid;
//     menu.CreateMenu(parentHwnd, owner);    grid.CreateMenu(parentHwnd, owner);
//     for (row...) menu.AppendColor(id, PaletteColors[row][column], nullptr, 0);
//     grid.SetCurColor(value);
//     menu.AppendColorMenu(&grid, value, GetLangText(40), 0);
//     menu.SelectColor(value);               // the swatch of that colour, if any, is current
//     if (menu.TrackPopupGMenu(flags, x, y, 0) == id) value = menu.GetCurColor();
//
// A swatch tapped (or chosen with Return) ends tracking with its id and its colour becomes the
// menu's current colour. A cell chosen in the grid closes both menus: the grid sends its colour
// to the parent (kColorMenuSetColor), the parent stores it in the entry that opened the grid and
// returns that entry's id (AppendColorMenu takes the id to give it; -2 when none is wanted).
#pragma once

#include "winza/GMenu.h"

#include <windows.h>

// Sent to a colour menu: lParam is a colour for the entry that opened the current submenu (or
// the current entry when no submenu is open).
constexpr UINT kColorMenuSetColor = 0x152D;

// Each channel 255 - value.
COLORREF ComplementColor(COLORREF colour);

class GColorMenuItem : public GMenuItem {
public:
    explicit GColorMenuItem(int id);

    // Separators and labelled entries draw as ordinary menu items (a labelled entry that opens
    // a submenu also shows its colour beside the arrow); the rest draw as a swatch.
    void DrawFrame(HDC hdc) override;
    // Swatches carry no icon.
    void DrawImage(HDC hdc) override;
    void DrawLable(HDC hdc, int format) override;

    void SetColor(COLORREF colour) { m_crColor = colour; }
    COLORREF GetColor() const { return m_crColor; }

private:
    COLORREF m_crColor = 0xFFFFFF;
};

class GColorMenu : public GMenu {
public:
    GColorMenu();

    LPCWSTR GetClassNameW() override { return u"GColorMenu"; }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Draw(HDC hdc, RECT clip) override;
    // The ordinary tracking; a choice (>= 0) makes the chosen entry's colour the current one.
    int TrackPopupGMenu(int flags, int x, int y, int alreadyShown) override;
    // All entries are one item height high: the index is (y - border) / item height.
    int HitItem(POINT pt) override;
    int OnVLbuttonUp(HWND hwnd, POINT pt) override;
    int OnVKeyDown(HWND hwnd, int key, int data) override;

    // An entry of that colour if there is one already (returned, nothing added), else a new
    // swatch (or labelled entry when text is not empty).
    GColorMenuItem* AppendColor(int id, COLORREF colour, LPCWSTR text, int indent);
    // An entry that opens submenu (which needs its window). Its id is -2 unless another is
    // given: the id tracking returns when a choice in the submenu closes both menus.
    GColorMenuItem* AppendColorMenu(GMenu* submenu, COLORREF colour, LPCWSTR text, int indent,
                                    int id = kSubMenuItemId);
    GColorMenuItem* GetColorItem(int position) const;
    // Makes the first swatch (an entry without a label) of that colour current; -1 and nothing
    // current when no swatch has it. Returns the position.
    int SelectColor(COLORREF colour);

    void SetCurColor(COLORREF colour) { m_crCurrent = colour; }
    COLORREF GetCurColor() const { return m_crCurrent; }

protected:
    GColorMenuItem* NewItem(int id, LPCWSTR text, int indent);

    COLORREF m_crCurrent = 0xFFFFFF;
    // The entry whose choice ended the last tracking (HideMenu forgets the current one).
    int m_nChosen = -1;
};

class GCustomColorMenu : public GColorMenu {
public:
    GCustomColorMenu();

    LPCWSTR GetClassNameW() override { return u"GCustomColorMenu"; }
    void Draw(HDC hdc, RECT clip) override;
    // Starts with the cell of the current colour current (none when the palette lacks it); a
    // chosen cell (-3) becomes the current colour and is sent to the parent menu.
    int TrackPopupGMenu(int flags, int x, int y, int alreadyShown) override;
    void MeasureAllItem(HDC hdc, RECT& rect) override;
    // The cell under a client point (row x 13 + column), or -1.
    int HitItem(POINT pt) override;
    int OnVLbuttonDown(HWND hwnd, POINT pt) override;
    int OnVLbuttonUp(HWND hwnd, POINT pt) override;
    int OnVMouseMove(HWND hwnd, POINT pt) override;
    int OnVKeyDown(HWND hwnd, int key, int data) override;

    // The current cell (0...168), or -1.
    int GetCurCell() const { return m_nCurIndex; }
    void SetCurCell(int cell);
    RECT GetCellRect(int cell) const;

private:
    int Choose();
    int CloseToParent();

    int m_nSpacing;
    int m_nCellWidth;
    int m_nCellHeight;
    int m_nChosenCell = -1;
};

// Fills an empty menu with the application's colour column: twelve swatches with the id, the
// colours of PaletteColors rows 0-11 in that column, then the entry "other colour" (text 40)
// showing value, with the same id, opening the grid. The swatch of value is current (none when
// the column lacks it). Both menus need their windows. Returns the number of entries.
int BuildPaletteColorMenu(GColorMenu* menu, GCustomColorMenu* grid, int id, int column,
                          COLORREF value);
