// The program entry the platform's main calls, after taking its own options.
#pragma once

#include <platform/wintypes.h>

int WinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int showCommand);
