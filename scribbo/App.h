// The program's process-wide state besides the settings: how it was started, the fonts and
// images every window shares, and the private messages the application's windows exchange.
#pragma once

#include <windows.h>

class GDib;
class GFontManager;
class GImageList;

// How the program was started: by itself, to open one memo ("f") or with a new memo ("n").
enum eStartMode { eStartNormal = 0, eStartOpenFile = 1, eStartNewMemo = 2 };

inline constexpr int kAppPathLength = 260;

struct AppState {
    HINSTANCE hInstance = nullptr;
    int StartMode = eStartNormal;
    WCHAR StartFilePath[kAppPathLength] = {};
    // The value of the option "s"; handed on with an open request and otherwise unused.
    WCHAR StartOptionS[kAppPathLength] = {};
    // Shared by every window of the program; made at start-up and freed at exit.
    GFontManager* Fonts = nullptr;
    GImageList* ToolbarImages = nullptr;
    GDib* ButtonFrame = nullptr;
};

extern AppState g_App;

// The application's font manager (made on first use, so tests need no start-up).
GFontManager* AppFonts();

// Private window messages of the application's windows.
inline constexpr UINT UM_NEWMEMO = 0x0806;  // to the pad view: lParam = folder path
inline constexpr UINT UM_OPENMEMO = 0x0807; // wParam = memo path, lParam = non-zero
// From the date list bar to its owner after the selected date changed.
inline constexpr UINT UM_DATELISTCHANGED = 0x0804;
// From a toolbar to its parent: wParam = the bar's window, lParam = 0 at pen down, 1 at pen up.
inline constexpr UINT UM_TOOLBARPEN = 0x080C;
// From a toolbar to its owner after a stroke preview took it up one level.
inline constexpr UINT UM_TOOLBARLEVELUP = 0x0811;

// Main window commands (the toolbar image of each is its id - 1000).
enum eMainCommand {
    ID_NEWMEMO = 1000,
    ID_NAVI_DATE = 1001,
    ID_NAVI_FOLDER = 1002,
    ID_VIEW_PREVIEW = 1003,
    ID_VIEW_LIST = 1004,
    ID_NOACTION = 1005,
    ID_OPTIONS = 1006,
    ID_EXIT = 1007,
    ID_RESCAN = 1008,
};
