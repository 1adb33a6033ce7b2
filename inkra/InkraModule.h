#pragma once

#include <windows.h>

// The instance handle of the inkra library, for its resources.
HINSTANCE GetInkraInstance();
