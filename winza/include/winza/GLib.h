// The toolkit's library-wide state: the colour table, the text table, the default and bold
// fonts, the frame bitmaps and the strip of standard icons. One instance per process, used on
// the user-interface thread only.
#pragma once

#include "fundo/GDib.h"
#include "winza/GLibColors.h"
#include "winza/GlobalDC.h"
#include "winza/Hires.h"

#include <windows.h>

// Loads the texts ("winza.lng" beside the program, or the built-in ones), sets colours 0-79
// to their defaults and builds the standard icon strip from bitmap resource 101.
void InitGLibControl();
// Frees texts loaded from the file and the icon strip, and empties the text table.
void FreeGLibControl();
// FreeGLibControl, then lets go of the screen and memory contexts.
void FreeGLib();

constexpr int kGLibColorCount = 128;
// 0xFFFFFF for an index outside 0-127.
COLORREF GetGLibColor(int index);
// An index outside 0-127 is ignored.
void SetGLibColor(int index, COLORREF color);

// Fonts new dialogs use for body and title; referenced, never freed.
void SetGlobalFontDef(HFONT font);
void SetGlobalFontBold(HFONT font);
HFONT GetGlobalFontDef();
HFONT GetGlobalFontBold();

// Frame bitmaps, referenced and never freed. The dialog frame also gives colour 79, the
// dialog body: its pixel at (14, 32), or (28, 64) in high resolution.
void SetGlobalDlgFrame(GDib* frame);
void SetGlobalBtnFrame(GDib* frame);
GDib* GetGlobalDlgFrame();
GDib* GetGlobalBtnFrame();

// Entry index of the text table; "" outside it.
LPCWSTR GetGLibText(int index);
int GetGLibTextCount();
// 1 when the texts came from the language file.
int IsGLibTextOwned();

// The standard icons as one row of square cells (16 pixels, 32 in high resolution), magenta
// transparent; null before InitGLibControl or when the resource is missing.
GDib* GetGLibIconStrip();
int GetGLibIconSize();
int GetGLibIconCount();
