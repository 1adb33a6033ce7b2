#pragma once

#include <windows.h>

// The instance handle of the fundo library, for its resources.
HINSTANCE GetFundoInstance();
