// Dynamic libraries over dlopen. A module's handle is its load address, the same value its
// own code gets from plat::ThisModule(), so resources and file names work alike for libraries
// loaded here and those linked by import.
#include "library_names.h"

#include <platform/module.h>
#include <platform/utf.h>
#include <platform/winbase.h>

#include <algorithm>
#include <dlfcn.h>
#include <filesystem>
#include <link.h>
#include <map>
#include <mutex>

namespace plat {
namespace {

struct LoadedLibrary {
    void* dl = nullptr;
    std::u16string key;
    std::u16string displayName; // as the caller wrote it, for GetModuleFileNameW
    int refs = 0;
};

struct LibraryState {
    std::mutex mutex;
    std::map<HMODULE, LoadedLibrary> loaded;
};

// Never destroyed: libraries free their modules from their own destructors at exit.
LibraryState& State() {
    static LibraryState* state = new LibraryState;
    return *state;
}

HMODULE BaseOf(void* dl) {
    link_map* map = nullptr;
    if (dlinfo(dl, RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_ld)
        return nullptr;
    return ModuleFromAddress(map->l_ld);
}

bool IsModuleBase(HMODULE module) {
    return module && ModuleFromAddress(module) == module;
}

std::u16string DisplayName(LPCWSTR name) {
    std::u16string s(name);
    size_t slash = s.find_last_of(u"\\/");
    if (slash != std::u16string::npos)
        s.erase(0, slash + 1);
    if (!s.empty() && s.back() == u'.')
        s.pop_back();
    else if (s.find(u'.') == std::u16string::npos)
        s += u".dll";
    return s;
}

// "libfundo.so" → "fundo.dll": how a host library looks on the device.
std::u16string DeviceNameOfHostFile(const std::string& hostFile) {
    std::string base = std::filesystem::path(hostFile).filename().string();
    if (base.rfind("lib", 0) == 0)
        base.erase(0, 3);
    if (size_t so = base.find(".so"); so != std::string::npos)
        base.resize(so);
    return FromUtf8(base) + u".dll";
}

// A dl handle for any module, for symbol lookup; closed by the caller.
void* OpenForLookup(HMODULE module) {
    if (module == ProgramModule())
        return dlopen(nullptr, RTLD_LAZY);
    Dl_info info{};
    if (!dladdr(module, &info) || !info.dli_fname)
        return nullptr;
    return dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
}

DWORD CopyOut(const std::u16string& text, LPWSTR buffer, DWORD size) {
    if (!buffer || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (text.size() < size) {
        std::copy(text.begin(), text.end(), buffer);
        buffer[text.size()] = 0;
        return static_cast<DWORD>(text.size());
    }
    std::copy(text.begin(), text.begin() + (size - 1), buffer);
    buffer[size - 1] = 0;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
}

} // namespace
} // namespace plat

HMODULE LoadLibraryW(LPCWSTR fileName) {
    if (!fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::u16string key = plat::NormalizeLibraryName(fileName);
    if (key.empty() || !plat::IsLibraryAvailable(key)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    // No lock around dlopen and dlclose: library constructors and destructors may load and
    // free modules themselves.
    void* dl = dlopen(plat::HostFileForLibrary(key).c_str(), RTLD_NOW | RTLD_LOCAL);
    HMODULE base = dl ? plat::BaseOf(dl) : nullptr;
    if (!base) {
        if (dl)
            dlclose(dl);
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    void* extra = nullptr;
    {
        plat::LibraryState& s = plat::State();
        std::lock_guard lock(s.mutex);
        plat::LoadedLibrary& entry = s.loaded[base];
        if (entry.refs++ == 0) {
            entry.dl = dl;
            entry.key = key;
            entry.displayName = plat::DisplayName(fileName);
        } else {
            extra = dl; // the table holds one dl reference per module
        }
    }
    if (extra)
        dlclose(extra);
    return base;
}

BOOL FreeLibrary(HMODULE module) {
    void* unload = nullptr;
    {
        plat::LibraryState& s = plat::State();
        std::lock_guard lock(s.mutex);
        auto it = s.loaded.find(module);
        if (it == s.loaded.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        if (--it->second.refs == 0) {
            unload = it->second.dl;
            s.loaded.erase(it);
        }
    }
    if (unload)
        dlclose(unload);
    return TRUE;
}

// Only the module's own exports count: dlsym would also find what its dependencies define.
FARPROC GetProcAddressA(HMODULE module, LPCSTR procName) {
    if (!procName || IS_INTRESOURCE(procName)) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    void* symbol = nullptr;
    bool known = false;
    {
        plat::LibraryState& s = plat::State();
        std::lock_guard lock(s.mutex);
        auto it = s.loaded.find(module);
        if (it != s.loaded.end()) {
            known = true;
            symbol = dlsym(it->second.dl, procName);
        }
    }
    if (!known) {
        if (!plat::IsModuleBase(module)) {
            SetLastError(ERROR_INVALID_HANDLE);
            return nullptr;
        }
        if (void* dl = plat::OpenForLookup(module)) {
            symbol = dlsym(dl, procName);
            dlclose(dl);
        }
    }
    if (!symbol || plat::ModuleFromAddress(symbol) != module) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}

FARPROC GetProcAddressW(HMODULE module, LPCWSTR procName) {
    if (!procName || IS_INTRESOURCE(procName)) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return GetProcAddressA(module, plat::ToUtf8(procName).c_str());
}

HMODULE GetModuleHandleW(LPCWSTR moduleName) {
    if (!moduleName)
        return plat::ProgramModule();
    std::u16string key = plat::NormalizeLibraryName(moduleName);
    {
        plat::LibraryState& s = plat::State();
        std::lock_guard lock(s.mutex);
        for (auto& [base, entry] : s.loaded)
            if (entry.key == key)
                return base;
    }
    if (!key.empty() && plat::IsLibraryAvailable(key)) {
        if (void* dl = dlopen(plat::HostFileForLibrary(key).c_str(), RTLD_LAZY | RTLD_NOLOAD)) {
            HMODULE base = plat::BaseOf(dl);
            dlclose(dl);
            if (base)
                return base;
        }
    }
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size) {
    std::u16string path;
    if (!module || module == plat::ProgramModule()) {
        path = plat::ProgramDevicePath();
    } else {
        {
            plat::LibraryState& s = plat::State();
            std::lock_guard lock(s.mutex);
            auto it = s.loaded.find(module);
            if (it != s.loaded.end())
                path = std::u16string(plat::kProgramFolder) + u"\\" + it->second.displayName;
        }
        Dl_info info{};
        if (path.empty() && plat::IsModuleBase(module) && dladdr(module, &info) && info.dli_fname)
            path = std::u16string(plat::kProgramFolder) + u"\\" +
                   plat::DeviceNameOfHostFile(info.dli_fname);
        if (path.empty()) {
            SetLastError(ERROR_MOD_NOT_FOUND);
            return 0;
        }
    }
    return plat::CopyOut(path, fileName, size);
}
