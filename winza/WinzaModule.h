#pragma once

#include <windows.h>

// The instance handle of the winza library, for its resources.
HINSTANCE GetWinzaInstance();
