// The Pocket PC shell calls: full-screen mode and the input-panel button.
#pragma once

#include <platform/winuser.h>

#define SHFS_SHOWTASKBAR 0x0001
#define SHFS_HIDETASKBAR 0x0002
#define SHFS_SHOWSIPBUTTON 0x0004
#define SHFS_HIDESIPBUTTON 0x0008
#define SHFS_SHOWSTARTICON 0x0010
#define SHFS_HIDESTARTICON 0x0020

// Shows or hides the task bar ("HHTaskbar") and the input-panel button for the window.
BOOL SHFullScreen(HWND hwnd, DWORD state);
