#include "PictaModule.h"

#include <platform/module.h>

HINSTANCE GetPictaInstance() {
    return plat::ThisModule();
}
