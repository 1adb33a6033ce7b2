// How device library names become host files; shared by the module calls.
#pragma once

#include <platform/wintypes.h>

#include <string>

namespace plat {

// "\Windows\GZLib.DLL" → "gzlib.dll": folder dropped, ASCII lower case, ".dll" added when the
// name has no extension, a trailing dot (Windows' "no extension" mark) removed.
std::u16string NormalizeLibraryName(LPCWSTR name);
// The host file to open for a normalized name.
std::string HostFileForLibrary(const std::u16string& normalized);
bool IsLibraryAvailable(const std::u16string& normalized);

} // namespace plat
