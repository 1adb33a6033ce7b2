#include <platform/module.h>

// One per module: its address identifies the module it is linked into.
char plat_module_anchor = 0;
