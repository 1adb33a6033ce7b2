// The page size drop-downs of the option dialogs: the entries, which one is current for a size,
// the size an entry stands for, and the menu itself.
#pragma once

#include <windows.h>

class GDialog;
class GVButton;

enum ePageSizeId {
    // Memo paper: the screen, four fixed sizes, and the entry for any other size.
    kPadSizeScreen = 1160,
    kPadSizeOther = 1165,
    // Default window size: four fixed sizes and the entry for any other size.
    kGlobalSizeFirst = 1150,
    kGlobalSizeOther = 1154,
};

// Position of the current entry for a size: pad menu 0 (the screen's size), 1-4, else 5;
// global menu 0-3, else 4.
int PadPageSizeIndex(int width, int height);
int GlobalPageSizeIndex(int width, int height);
// The size an entry stands for (the screen's for kPadSizeScreen, 640 x 480 for the "other"
// entries); 0 for an id of neither menu.
int PageSizeOfChoice(int id, int* width, int* height);
// The entry's text: a language text or "W X H".
LPCWSTR PageSizeText(int id);
// Runs the menu below the button of the dialog with the entry for (width, height) current: the
// pad menu at the button's right edge just above its bottom, the global one with the current
// entry over the button. The chosen id, or -1.
int TrackPageSizeMenu(GDialog* dialog, GVButton* button, int padMenu, int width, int height);
