#include <platform/module.h>

#include <dlfcn.h>
#include <sys/auxv.h>

namespace plat {

HINSTANCE ModuleFromAddress(const void* address) {
    Dl_info info{};
    if (!address || dladdr(address, &info) == 0)
        return nullptr;
    return static_cast<HINSTANCE>(info.dli_fbase);
}

// The kernel tells every process where its program's entry point is; the module holding that
// address is the program, whichever library asks.
HINSTANCE ProgramModule() {
    static HINSTANCE program =
        ModuleFromAddress(reinterpret_cast<const void*>(getauxval(AT_ENTRY)));
    return program;
}

} // namespace plat
