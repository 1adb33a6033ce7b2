// The application's colour table: 13 rows of 13 colours from bitmap resource 110. Folder
// colours and the colour menus pick from it.
#pragma once

#include <windows.h>

inline constexpr int kPaletteRows = 13;
inline constexpr int kPaletteColumns = 13;
inline constexpr WORD kPaletteResource = 110;

extern COLORREF PaletteColors[kPaletteRows][kPaletteColumns];

// Fills PaletteColors from the module's bitmap resource 110 (13 x 13 pixels, 24 bits): each
// channel below 240 is raised by 16, the others become 255. 0, and the table unchanged, when
// the resource is missing or not of that form.
int LoadPaletteColors(HINSTANCE instance);
