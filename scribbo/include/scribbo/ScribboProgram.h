// The program from its command line to its exit code.
#pragma once

#include <windows.h>

// Start-up, the message loop and the orderly end; the exit code is the quit message's, 0 when
// start-up failed or the request went to the program already running on this device.
int RunScribbo(HINSTANCE instance, LPCWSTR commandLine);
