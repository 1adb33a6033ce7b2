#include <platform/module.h>

#include <dlfcn.h>

namespace plat {
HINSTANCE ModuleFromAddress(const void* address) {
    Dl_info info{};
    if (dladdr(address, &info) == 0)
        return nullptr;
    return static_cast<HINSTANCE>(info.dli_fbase);
}
} // namespace plat
