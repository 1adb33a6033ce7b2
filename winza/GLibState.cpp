#include "winza/GLibState.h"

#include "winza/GImageList.h"
#include "winza/GRecognizeCursor.h"

GLibState::GLibState() : cursor(std::make_unique<GRecognizeCursor>()) {}

GLibState::~GLibState() = default;

GLibState& GetGLibState() {
    // Kept on the heap for the whole process: its bitmaps and contexts must not be freed
    // after the platform has gone at exit.
    static GLibState* state = new GLibState;
    return *state;
}

void ResetGLibState() {
    GLibState& s = GetGLibState();
    FreeGLib();
    delete s.iconList;
    s.iconList = nullptr;
    delete s.iconPin;
    s.iconPin = nullptr;
    s.cursor = std::make_unique<GRecognizeCursor>();
    for (COLORREF& c : s.colors)
        c = 0;
    s.fontDef = s.fontBold = nullptr;
    s.dlgFrame = s.btnFrame = nullptr;
    s.displayMode.store(0, std::memory_order_release);
}
