// The drawing helpers every control shares: solid fills, framed and dashed rectangles,
// arrows, the folder icon and light/dark shades of a colour.
#pragma once

#include <windows.h>

enum eArrowDirection { eArrowLeft = 0, eArrowRight = 1, eArrowUp = 2, eArrowDown = 3 };

// FrameRect flags: edges, fill and dashing.
enum eFrameFlag {
    eFrameLeft = 0x1,
    eFrameRight = 0x2,
    eFrameTop = 0x4,
    eFrameBottom = 0x8,
    eFrameFill = 0x10,
    eFrameDot1 = 0x20,
    eFrameDot2 = 0x40,
    eFrameDot4 = 0x80,
    eFrameAll = 0x1F,
};

void FillSolidRect(HDC hdc, const RECT* rect, COLORREF color);
void FillSolidRect(HDC hdc, int x, int y, int cx, int cy, COLORREF color);
// Left and top edges in lightEdge, right and bottom in darkEdge, each as the flags ask. Solid
// edges are width pixels thick inside the rectangle; dashed ones (0x20, 0x40, 0x80 for a gap of
// 1, 2 or 4) are one pixel thick on the outermost column or row inside it.
void FrameRect(HDC hdc, const RECT* rect, COLORREF lightEdge, COLORREF darkEdge, COLORREF fill,
               int width, int flags);
// Dashes thickness pixels across from the start over length pixels: each dash is
// thickness + gap - 1 long and one starts every 2 * (thickness + gap) - 2 pixels.
void DrawDotHLine(HDC hdc, int x, int y, int length, int thickness, COLORREF color, int gap);
void DrawDotVLine(HDC hdc, int x, int y, int thickness, int length, COLORREF color, int gap);
// A filled triangle with its apex on the side the direction names, one column or row wider by
// two pixels at each step away from it.
void DrawArrow(HDC hdc, int direction, const RECT* rect, COLORREF color);
// A 16 x 16 folder (scaled on a high-resolution screen) at the rectangle's top-left corner.
void DrawFolder(HDC hdc, const RECT* rect, COLORREF color, int open);
// Each channel 51 lighter (255 from 205 up) and 51 darker (0 at 50 and below).
void MakeColor(COLORREF base, COLORREF& light, COLORREF& dark);
