#pragma once

#include <windows.h>

// The instance handle of the picta library, for its resources.
HINSTANCE GetPictaInstance();
