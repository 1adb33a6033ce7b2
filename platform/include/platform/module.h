// Instance handles. Every library and program links platform_module, which defines one hidden
// anchor symbol per module; the module's handle is the load address of the file holding it.
#pragma once

#include <platform/wintypes.h>

extern "C" __attribute__((visibility("hidden"))) char plat_module_anchor;

namespace plat {
// The handle of the module (shared library or program) that contains the given address.
HINSTANCE ModuleFromAddress(const void* address);
// The handle of the module whose code calls this.
inline HINSTANCE ThisModule() { return ModuleFromAddress(&plat_module_anchor); }
} // namespace plat
