#include "picta/PictaModule.h"

#include <platform/module.h>

HINSTANCE GetPictaInstance() {
    return plat::ThisModule();
}
