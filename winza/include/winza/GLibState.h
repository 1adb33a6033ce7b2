// Everything the toolkit keeps for the whole process, in one record: the colour and text
// tables, fonts and frames, the standard icons, the shared screen contexts, the display mode
// and the gesture cursor. One call puts it all back as a fresh process has it.
#pragma once

#include "fundo/GDib.h"
#include "winza/GLib.h"

#include <windows.h>

#include <atomic>
#include <memory>
#include <vector>

class GImageList;
class GRecognizeCursor;

struct GLibState {
    GLibState();
    ~GLibState();
    GLibState(const GLibState&) = delete;
    GLibState& operator=(const GLibState&) = delete;

    COLORREF colors[kGLibColorCount] = {};
    std::vector<const WCHAR*> texts;
    int textsOwned = 0;
    HFONT fontDef = nullptr;
    HFONT fontBold = nullptr;
    GDib* dlgFrame = nullptr; // referenced, not owned
    GDib* btnFrame = nullptr; // referenced, not owned
    GDib* icons = nullptr;
    // The image list over the icons and a copy that pins the icons' section under it.
    GImageList* iconList = nullptr;
    GDib* iconPin = nullptr;
    HDC screenDC = nullptr;
    HDC memDC = nullptr;
    // 0 until the screen has been looked at.
    std::atomic<int> displayMode{0};
    std::unique_ptr<GRecognizeCursor> cursor;
};

// The one record of the process.
GLibState& GetGLibState();

// Frees everything the toolkit holds and forgets fonts, frames, colours and the display
// mode, so the next use starts as in a new process (tests call it between cases).
void ResetGLibState();
