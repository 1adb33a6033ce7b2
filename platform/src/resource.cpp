// Resource lookup over the tables modules register. The bytes live in the module's read-only
// data, so loading and locking are free and nothing is ever released.
#include <platform/module.h>
#include <platform/resource.h>
#include <platform/winbase.h>

#include <mutex>
#include <string>
#include <vector>

namespace plat {
namespace {

struct ModuleTable {
    const void* anchor;
    HMODULE module; // resolved on first lookup if the loader could not say yet
    const ResourceEntry* entries;
    size_t count;
};

struct ResourceState {
    std::mutex mutex;
    std::vector<ModuleTable> tables;
};

// Never destroyed: modules unregister from their destructors at exit.
ResourceState& State() {
    static ResourceState* state = new ResourceState;
    return *state;
}

// A resource name or type as the caller gave it: MAKEINTRESOURCE(n), "#n", or a string.
struct Key {
    bool isId = false;
    WORD id = 0;
    std::u16string name;
};

bool ParseKey(LPCWSTR p, Key* key) {
    if (!p)
        return false;
    if (IS_INTRESOURCE(p)) {
        key->isId = true;
        key->id = LOWORD(reinterpret_cast<ULONG_PTR>(p));
        return true;
    }
    if (p[0] == u'#') {
        DWORD value = 0;
        size_t i = 1;
        for (; p[i]; ++i) {
            if (p[i] < u'0' || p[i] > u'9' || value > 0xFFFF)
                return false;
            value = value * 10 + static_cast<DWORD>(p[i] - u'0');
        }
        if (i == 1 || value > 0xFFFF)
            return false;
        key->isId = true;
        key->id = static_cast<WORD>(value);
        return true;
    }
    key->name = p;
    return !key->name.empty();
}

char16_t Fold(char16_t c) {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
}

bool Matches(WORD id, const WCHAR* name, const Key& key) {
    if (key.isId)
        return !name && id == key.id;
    if (!name)
        return false;
    size_t i = 0;
    for (; name[i] && i < key.name.size(); ++i)
        if (Fold(name[i]) != Fold(key.name[i]))
            return false;
    return !name[i] && i == key.name.size();
}

const ResourceEntry* KnownEntry(HRSRC resource) {
    auto* entry = reinterpret_cast<const ResourceEntry*>(resource);
    if (!entry)
        return nullptr;
    ResourceState& s = State();
    std::lock_guard lock(s.mutex);
    for (const ModuleTable& t : s.tables)
        if (t.count && entry >= t.entries && entry < t.entries + t.count)
            return entry;
    return nullptr;
}

} // namespace

void RegisterModuleResources(const void* anchor, const ResourceEntry* table, size_t count) {
    ResourceState& s = State();
    std::lock_guard lock(s.mutex);
    s.tables.push_back(ModuleTable{anchor, ModuleFromAddress(anchor), table, count});
}

void UnregisterModuleResources(const void* anchor) {
    ResourceState& s = State();
    std::lock_guard lock(s.mutex);
    std::erase_if(s.tables, [anchor](const ModuleTable& t) { return t.anchor == anchor; });
}

} // namespace plat

HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type) {
    plat::Key nameKey, typeKey;
    if (!plat::ParseKey(type, &typeKey)) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return nullptr;
    }
    if (!plat::ParseKey(name, &nameKey)) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    if (!module)
        module = plat::ProgramModule();
    bool anyTable = false;
    bool typeSeen = false;
    plat::ResourceState& s = plat::State();
    std::lock_guard lock(s.mutex);
    for (plat::ModuleTable& t : s.tables) {
        if (!t.module)
            t.module = plat::ModuleFromAddress(t.anchor);
        if (t.module != module)
            continue;
        anyTable = true;
        for (size_t i = 0; i < t.count; ++i) {
            const plat::ResourceEntry& e = t.entries[i];
            if (!plat::Matches(e.typeId, e.typeName, typeKey))
                continue;
            typeSeen = true;
            if (plat::Matches(e.id, e.name, nameKey))
                return reinterpret_cast<HRSRC>(const_cast<plat::ResourceEntry*>(&e));
        }
    }
    SetLastError(!anyTable  ? ERROR_RESOURCE_DATA_NOT_FOUND
                 : typeSeen ? ERROR_RESOURCE_NAME_NOT_FOUND
                            : ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
}

HGLOBAL LoadResource(HMODULE, HRSRC resource) {
    const plat::ResourceEntry* e = plat::KnownEntry(resource);
    if (!e) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return const_cast<BYTE*>(e->data);
}

DWORD SizeofResource(HMODULE, HRSRC resource) {
    const plat::ResourceEntry* e = plat::KnownEntry(resource);
    if (!e) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return e->size;
}

LPVOID LockResource(HGLOBAL resource) {
    return resource;
}
