// Instance handles and the platform's side of modules. Every library and program links
// platform_module, which defines one hidden anchor symbol per module; the module's handle is the
// load address of the file holding it.
#pragma once

#include <platform/wintypes.h>

#include <string>
#include <string_view>

extern "C" __attribute__((visibility("hidden"))) char plat_module_anchor;

namespace plat {

// The handle of the module (shared library or program) that contains the given address.
HINSTANCE ModuleFromAddress(const void* address);
// The handle of the module whose code calls this.
inline HINSTANCE ThisModule() {
    return ModuleFromAddress(&plat_module_anchor);
}
// The running program's handle, GetModuleHandleW(NULL).
HINSTANCE ProgramModule();

// LoadLibraryW maps a device library name ("GZLib.dll", matched without regard to case or
// folder) to a host file: "GZLib.dll" is the system zlib, any other "name.dll" is
// "libname.so" beside the executable. MapLibrary changes a mapping (an empty host file puts
// the default back); SetLibraryAvailable(name, false) makes later loads fail as if the file
// were missing, which is how tests take zlib away.
void MapLibrary(LPCWSTR name, const std::string& hostFile);
void SetLibraryAvailable(LPCWSTR name, bool available);

// The program's name without extension ("scribbo"). It defaults to the executable's file name;
// the platform's main sets it. The program's device path is
// "\Program Files\Scribbo\<name>.exe", where the device holds a link to the executable.
void SetProgramName(std::u16string_view name);
std::u16string ProgramName();
inline constexpr char16_t kProgramFolder[] = u"\\Program Files\\Scribbo";
std::u16string ProgramDevicePath();
// Host path of the running executable, links resolved; empty if the host will not say.
std::string ExecutablePath();

} // namespace plat
