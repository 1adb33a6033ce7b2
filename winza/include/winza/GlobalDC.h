// The screen context and a memory context compatible with it, shared by the whole toolkit.
#pragma once

#include <windows.h>

// GetDC of the whole screen, made on first use and kept until FreeGlobalDC.
HDC GetGlobalScreenDC();
// A memory context compatible with the screen, made on first use and kept.
HDC GetGlobalMemDC();
// Releases the screen context and deletes the memory context.
void FreeGlobalDC();
