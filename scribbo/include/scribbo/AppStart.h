// The pieces of the program's start that windows use again later: the command line, the
// program's area of the screen, the toolbar images and the size rule of the main layout.
#pragma once

#include <windows.h>

class GDib;
class GImageList;

// Reads the command line into g_App: "-n" or "/n" a new memo, "-f PATH" open that memo, "-s"
// and "-p" take a value that changes nothing, other options are ignored with the plain words
// after them. A "-f" without a path that fits the buffer starts normally.
void ParseCommandLine(LPCWSTR commandLine);

// The screen less the shell's task bar when it is shown: below it when it sits at the top,
// else above it.
void GetProgramArea(RECT* area);

// n x ButtonSize / ApplyHires(16): every size of the main layout goes through it.
int ScaleToButton(int n);

// "toolbar.bmp" beside the program (or bitmap resource 121 when the file does not load) at
// the size the screen and ButtonSize ask for, cut into a 10 x 10 grid; null when neither loads.
GImageList* LoadToolbarImages(HINSTANCE instance);

// The button frame (bitmap resource 124) with magenta transparent, doubled on a
// high-resolution screen; null when the resource is missing.
GDib* LoadButtonFrame(HINSTANCE instance);

// The program icon (bitmap resource 126, magenta transparent), or null.
HICON LoadProgramIcon(HINSTANCE instance);

// After the options dialog: loads the toolbar images again into g_App and moves the main
// window to the program area. 0, keeping the old images, when none can be loaded (the user
// is told).
int ReloadToolbarImage();

// The start-up messages, shown with no parent and no time-out.
void ShowStartupError(LPCWSTR text);
extern const WCHAR kLanguageFileMessage[];
extern const WCHAR kProgramAreaMessage[];
extern const WCHAR kToolbarImageMessage[];
