#include "InkraModule.h"

#include <platform/module.h>

HINSTANCE GetInkraInstance() {
    return plat::ThisModule();
}
