// Message-loop and shell helpers of the toolkit.
#pragma once

#include <windows.h>

class Winza;

// The object whose PreTranslateMessage a message loop offers a message to: the window's own
// object for a top-level window; for a child, the nearest ancestor that has an object,
// searching no higher than the first ancestor that is not a child itself. Null for a null or
// dead window.
Winza* GetPreTranslateWindow(HWND hwnd);
Winza* GetPreTranslateWindow(Winza* window);
// 0 while Left, Right, Up, Down, Return or Escape is held, else 1.
int GetValidKeyState();
void ShowSIPButton(HWND hwnd, HINSTANCE instance);
void HideSIPButton(HWND hwnd);
