// Bit-flag helpers over 32-bit flag words; a mask may hold several bits.
#pragma once

#include <platform/wintypes.h>

// on != 0 sets the mask's bits unless all are set already; on = 0 clears them only when all
// are set. 1 when the word changed.
int SetFlag(int on, DWORD& word, DWORD mask);
// 1 when every bit of the mask is set.
int GetFlag(DWORD word, DWORD mask);
// Kept for the interface; always 0.
int GetFootPrint();
