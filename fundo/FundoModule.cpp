#include "FundoModule.h"

#include <platform/module.h>

HINSTANCE GetFundoInstance() {
    return plat::ThisModule();
}
