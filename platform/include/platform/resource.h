// The resource tables that scribbo_resources() compiles into a module. Each generated table
// registers itself while the module loads and leaves when it unloads.
#pragma once

#include <platform/wintypes.h>

#include <cstddef>

namespace plat {

// A type or name is a number (typeName / name null) or a string (matched without regard to
// case, as Windows does).
struct ResourceEntry {
    WORD typeId;
    const WCHAR* typeName;
    WORD id;
    const WCHAR* name;
    const BYTE* data; // one zero byte follows the data, not counted in size
    DWORD size;
};

// anchor is &plat_module_anchor of the module the table belongs to.
void RegisterModuleResources(const void* anchor, const ResourceEntry* table, size_t count);
void UnregisterModuleResources(const void* anchor);

} // namespace plat
