// High-resolution scaling: every toolkit size is written for a 240 x 320 screen and passes
// through ApplyHires.
#pragma once

// 1 on a screen whose width or height exceeds 320 (display modes 4 and 5).
int IsHires();
// 1 when the screen is wider than high (display modes 3 and 5).
int IsLandscape();
// v x 2 on a high-resolution screen, else v.
int ApplyHires(int v);
// The display mode found on the first call: 2 portrait, 3 landscape, 4 high-resolution
// portrait, 5 high-resolution landscape.
int GetDisplayMode();
// Forgets the display mode so the next call reads the screen again; for tests that change
// the screen size within one process.
void ResetDisplayMode();
