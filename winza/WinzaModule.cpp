#include "WinzaModule.h"

#include <platform/module.h>

HINSTANCE GetWinzaInstance() {
    return plat::ThisModule();
}
