// The toolkit's colour table.
#include "winza/GLib.h"
#include "GLibInternal.h"
#include "winza/GLibState.h"

COLORREF GetGLibColor(int index) {
    if (index < 0 || index >= kGLibColorCount)
        return RGB(255, 255, 255);
    return GetGLibState().colors[index];
}

void SetGLibColor(int index, COLORREF color) {
    if (index < 0 || index >= kGLibColorCount)
        return;
    GetGLibState().colors[index] = color;
}

// The scroll-bar thumb (33, 34 while dragged) is set well darker than its track (24), so it
// reads at a glance on a bright screen.
void SetDefaultGLibColors() {
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    const COLORREF dark = ::GetSysColor(COLOR_3DDKSHADOW);
    const COLORREF table[80] = {
        face,     light,    shadow,   face,     dark,     dark,     dark,     face,     // 0-7
        dark,     dark,     face,     dark,     dark,     0xFFFFFF, dark,     dark,     // 8-15
        0xECECEC, dark,     dark,     0x000000, face,     light,    shadow,   dark,     // 16-23
        0xD0D0D0, 0xD80000, dark,     dark,     0x000000, 0xFFFFFF, 0xFFFFFF, dark,     // 24-31
        dark,     0x909090, 0x707070, dark,     dark,     0x990000, 0x707070, 0xFFFFFF, // 32-39
        0x00FFFF, 0xFFFFFF, 0x9C0000, 0x000000, 0xFFFFFF, 0x000000, 0xFFFFFF, 0xFFFFFF, // 40-47
        0x666666, 0xFFFFFF, 0x0000FF, 0x9999FF, 0xFFFFFF, 0x000000, 0x999999, 0xFFFFFF, // 48-55
        0xFF0000, 0xFF9999, 0x6666FF, 0x0000FF, 0xC0C0C0, 0x000000, 0x9C0000, 0xFFFFFF, // 56-63
        0xFFFFFF, 0xC0C0C0, 0x000000, 0x000000, 0xC0C0C0, 0xFFFFFF, 0xC0C0C0, 0x000000, // 64-71
        0x000000, 0xFFFFFF, 0xC0C0C0, 0x00009C, 0x000000, 0x000000, 0x000000, 0xFFFFFF, // 72-79
    };
    for (int i = 0; i < 80; ++i)
        GetGLibState().colors[i] = table[i];
}
