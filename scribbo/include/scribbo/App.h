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
// To the title view: the folder list bar's folder changed (lParam 1: its lock was lifted).
inline constexpr UINT UM_FOLDERCHANGED = 0x0801;
// To the title view: copy, resp. move, the selected memos into the folder lParam names.
inline constexpr UINT UM_COPYMEMOS = 0x0802;
inline constexpr UINT UM_MOVEMEMOS = 0x0803;
// From the date list bar to its owner after the selected date changed.
inline constexpr UINT UM_DATELISTCHANGED = 0x0804;
// To the title view from its preview thread: the entry wParam has its preview.
inline constexpr UINT UM_PREVIEWREADY = 0x0805;
inline constexpr UINT UM_NEWMEMO = 0x0806;  // to the pad view: lParam = folder path
inline constexpr UINT UM_OPENMEMO = 0x0807; // wParam = memo path, lParam = non-zero
// To the pad view: open the memo lParam names (null closes the view).
inline constexpr UINT UM_PADOPEN = 0x0808;
// From the pad view to the title view: wParam = is-new flag, lParam = memo path.
inline constexpr UINT UM_MEMOSAVED = 0x0809;
inline constexpr UINT UM_MEMOEMPTY = 0x080A;
// From the scroll-bar launcher to the pad view: lParam 0 pen down, 1 tap shown, 2 lock.
inline constexpr UINT UM_SCROLLLAUNCHER = 0x080B;
// From a toolbar to its parent: wParam = the bar's window, lParam = 0 at pen down, 1 at pen up.
// The toolbar launcher sends it too, with the launcher's lParam values.
inline constexpr UINT UM_TOOLBARPEN = 0x080C;
// From the magnify pad to the pad view: an object (lParam, or null) or a page rectangle
// changed; the strip moved; the strip is to grow or shrink by 10 pixels.
inline constexpr UINT UM_OBJECTCHANGED = 0x080D;
inline constexpr UINT UM_MAGNIFYMOVED = 0x080E;
inline constexpr UINT UM_MAGNIFYTALLER = 0x080F;
inline constexpr UINT UM_MAGNIFYSHORTER = 0x0810;
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
