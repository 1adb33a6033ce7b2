// RegOpenKeyExW and the other registry calls over the session's key tree.
#include "registry_session.h"

#include <platform/winreg.h>

#include <algorithm>
#include <cstring>

using plat::reg::Key;
using plat::reg::Session;
using plat::reg::Value;

namespace {

std::u16string_view View(LPCWSTR s) {
    return s ? std::u16string_view(s, std::char_traits<char16_t>::length(s))
             : std::u16string_view();
}

// Splits "a\b\c" into key names; null or empty gives none. A trailing backslash is allowed,
// a leading one, an empty name inside or an invalid name is not.
bool SplitPath(LPCWSTR path, std::vector<std::u16string>* names) {
    names->clear();
    std::u16string_view rest = View(path);
    if (!rest.empty() && rest.back() == u'\\')
        rest.remove_suffix(1);
    while (!rest.empty()) {
        size_t cut = std::min(rest.find(u'\\'), rest.size());
        std::u16string_view name = rest.substr(0, cut);
        if (!plat::reg::ValidKeyName(name) || names->size() >= plat::reg::kMaxDepth)
            return false;
        names->emplace_back(name);
        if (cut == rest.size())
            break;
        rest.remove_prefix(cut + 1);
        if (rest.empty())
            return false;
    }
    return true;
}

// Hands out value bytes the way the device does: a value longer than the buffer is cut to
// it and the call still succeeds (desktop Windows returns ERROR_MORE_DATA instead). The
// settings code depends on this: it reads every value with its field's size.
void CopyData(const Value& v, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
    if (lpType)
        *lpType = v.type;
    if (!lpcbData)
        return;
    DWORD size = static_cast<DWORD>(v.data.size());
    if (lpData) {
        size = std::min(size, *lpcbData);
        if (size)
            std::memcpy(lpData, v.data.data(), size);
    }
    *lpcbData = size;
}

// Copies a name with its terminator into a buffer of *cch characters; *cch becomes the
// length without the terminator.
LONG CopyName(const std::u16string& name, LPWSTR out, LPDWORD cch) {
    if (*cch <= name.size())
        return ERROR_MORE_DATA;
    std::copy(name.begin(), name.end(), out);
    out[name.size()] = 0;
    *cch = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

// Walks down from a key; null when a name is missing.
std::shared_ptr<Key> Walk(std::shared_ptr<Key> key, const std::vector<std::u16string>& names,
                          size_t count) {
    for (size_t i = 0; key && i < count; ++i)
        key = key->Subkey(names[i]);
    return key;
}

} // namespace

LONG RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, REGSAM, PHKEY phkResult) {
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    std::vector<std::u16string> names;
    if (!SplitPath(lpSubKey, &names))
        return ERROR_INVALID_PARAMETER;
    Session s;
    std::shared_ptr<Key> key;
    bool predefined;
    if (LONG r = s.Resolve(hKey, &key, &predefined))
        return r;
    key = Walk(key, names, names.size());
    if (!key)
        return ERROR_FILE_NOT_FOUND;
    *phkResult = s.NewHandle(std::move(key));
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, LPWSTR, DWORD, REGSAM,
                     LPSECURITY_ATTRIBUTES, PHKEY phkResult, LPDWORD lpdwDisposition) {
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    std::vector<std::u16string> names;
    if (!SplitPath(lpSubKey, &names))
        return ERROR_INVALID_PARAMETER;
    Session s;
    std::shared_ptr<Key> key;
    bool predefined;
    if (LONG r = s.Resolve(hKey, &key, &predefined))
        return r;
    if (key->Depth() + names.size() > plat::reg::kMaxDepth)
        return ERROR_INVALID_PARAMETER;
    bool created = false;
    for (const auto& name : names)
        key = key->AddSubkey(name, &created);
    if (created)
        s.Changed(false);
    if (lpdwDisposition)
        *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *phkResult = s.NewHandle(std::move(key));
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY hKey) {
    Session s;
    std::shared_ptr<Key> key;
    bool predefined;
    if (s.Resolve(hKey, &key, &predefined) == ERROR_SUCCESS && predefined)
        return ERROR_SUCCESS;
    if (!s.CloseHandle(hKey))
        return ERROR_INVALID_HANDLE;
    // A failed write stays pending; RegFlushKey and RegistryFlush report it.
    s.Flush();
    return ERROR_SUCCESS;
}

LONG RegFlushKey(HKEY hKey) {
    Session s;
    std::shared_ptr<Key> key;
    bool predefined;
    if (LONG r = s.Resolve(hKey, &key, &predefined))
        return r;
    return s.Flush() ? ERROR_SUCCESS : ERROR_CANTWRITE;
}

LONG RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                      LPBYTE lpData, LPDWORD lpcbData) {
    if (lpReserved || (lpData && !lpcbData))
        return ERROR_INVALID_PARAMETER;
    Session s;
    std::shared_ptr<Key> key;
    bool predefined;
    if (LONG r = s.Resolve(hKey, &key, &predefined))
        return r;
    const Value* v = key->FindValue(View(lpValueName));
    if (!v)
        return ERROR_FILE_NOT_FOUND;
    CopyData(*v, lpType, lpData, lpcbData);
    return ERROR_SUCCESS;
}

LONG RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData,
                    DWORD cbData) {
    // Exactly the bytes given are kept: a string written with a buffer's byte count keeps
    // whatever follows its terminator, and a reader gets it all back.
    std::u16string_view name = View(lpValueName);
    if ((!lpData && cbData) || cbData > plat::reg::kMaxValueSize ||
        !plat::reg::ValidValueName(name))
        return ERROR_INVALID_PARAMETER;
    Session s;
    std::shared_ptr<Key> key;
    bool predefined;
    if (LONG r = s.Resolve(hKey, &key, &predefined))
        return r;
    std::vector<BYTE> data(lpData, lpData + cbData);
    const Value* old = key->FindValue(name);
    if (old && old->type == dwType && old->data == data)
        return ERROR_SUCCESS;
    key->SetValue(name, dwType, std::move(data));
    s.Changed(predefined);
    return ERROR_SUCCESS;
}

LONG RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName) {
    Session s;
    std::shared_ptr<Key> key;
    bool predefined;
    if (LONG r = s.Resolve(hKey, &key, &predefined))
        return r;
    if (!key->DeleteValue(View(lpValueName)))
        return ERROR_FILE_NOT_FOUND;
    s.Changed(predefined);
    return ERROR_SUCCESS;
}

LONG RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey) {
    // Takes every key below along, as the device does (desktop Windows refuses a key that
    // still has subkeys).
    std::vector<std::u16string> names;
    if (!SplitPath(lpSubKey, &names))
        return ERROR_INVALID_PARAMETER;
    Session s;
    std::shared_ptr<Key> key;
    bool predefined;
    if (LONG r = s.Resolve(hKey, &key, &predefined))
        return r;
    if (names.empty()) {
        // No subkey: the handle's own key goes, unless it is a root.
        if (!key->Parent())
            return ERROR_ACCESS_DENIED;
        key->Parent()->DeleteSubkey(key->Name());
    } else {
        std::shared_ptr<Key> parent = Walk(key, names, names.size() - 1);
        if (!parent || !parent->DeleteSubkey(names.back()))
            return ERROR_FILE_NOT_FOUND;
    }
    s.Changed(predefined);
    return ERROR_SUCCESS;
}

LONG RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved,
                   LPWSTR lpClass, LPDWORD lpcchClass, LPFILETIME lpftLastWriteTime) {
    if (!lpName || !lpcchName || lpReserved)
        return ERROR_INVALID_PARAMETER;
    Session s;
    std::shared_ptr<Key> key;
    bool predefined;
    if (LONG r = s.Resolve(hKey, &key, &predefined))
        return r;
    if (dwIndex >= key->Subkeys().size())
        return ERROR_NO_MORE_ITEMS;
    auto it = std::next(key->Subkeys().begin(), dwIndex);
    if (LONG r = CopyName(it->second->Name(), lpName, lpcchName))
        return r;
    // Keys have no class names and no write times here.
    if (lpClass && lpcchClass && *lpcchClass)
        lpClass[0] = 0;
    if (lpcchClass)
        *lpcchClass = 0;
    if (lpftLastWriteTime)
        *lpftLastWriteTime = FILETIME{0, 0};
    return ERROR_SUCCESS;
}

LONG RegEnumValueW(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, LPDWORD lpcchValueName,
                   LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
    if (!lpValueName || !lpcchValueName || lpReserved || (lpData && !lpcbData))
        return ERROR_INVALID_PARAMETER;
    Session s;
    std::shared_ptr<Key> key;
    bool predefined;
    if (LONG r = s.Resolve(hKey, &key, &predefined))
        return r;
    if (dwIndex >= key->Values().size())
        return ERROR_NO_MORE_ITEMS;
    const Value& v = key->Values()[dwIndex];
    if (LONG r = CopyName(v.name, lpValueName, lpcchValueName))
        return r;
    CopyData(v, lpType, lpData, lpcbData);
    return ERROR_SUCCESS;
}

LONG RegQueryInfoKeyW(HKEY hKey, LPWSTR lpClass, LPDWORD lpcchClass, LPDWORD lpReserved,
                      LPDWORD lpcSubKeys, LPDWORD lpcchMaxSubKeyLen, LPDWORD lpcchMaxClassLen,
                      LPDWORD lpcValues, LPDWORD lpcchMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                      LPDWORD lpcbSecurityDescriptor, LPFILETIME lpftLastWriteTime) {
    if (lpReserved)
        return ERROR_INVALID_PARAMETER;
    Session s;
    std::shared_ptr<Key> key;
    bool predefined;
    if (LONG r = s.Resolve(hKey, &key, &predefined))
        return r;
    size_t maxSub = 0, maxName = 0, maxData = 0;
    for (const auto& [folded, sub] : key->Subkeys())
        maxSub = std::max(maxSub, sub->Name().size());
    for (const Value& v : key->Values()) {
        maxName = std::max(maxName, v.name.size());
        maxData = std::max(maxData, v.data.size());
    }
    if (lpClass && lpcchClass && *lpcchClass)
        lpClass[0] = 0;
    if (lpcchClass)
        *lpcchClass = 0;
    if (lpcSubKeys)
        *lpcSubKeys = static_cast<DWORD>(key->Subkeys().size());
    if (lpcchMaxSubKeyLen)
        *lpcchMaxSubKeyLen = static_cast<DWORD>(maxSub);
    if (lpcchMaxClassLen)
        *lpcchMaxClassLen = 0;
    if (lpcValues)
        *lpcValues = static_cast<DWORD>(key->Values().size());
    if (lpcchMaxValueNameLen)
        *lpcchMaxValueNameLen = static_cast<DWORD>(maxName);
    if (lpcbMaxValueLen)
        *lpcbMaxValueLen = static_cast<DWORD>(maxData);
    if (lpcbSecurityDescriptor)
        *lpcbSecurityDescriptor = 0;
    if (lpftLastWriteTime)
        *lpftLastWriteTime = FILETIME{0, 0};
    return ERROR_SUCCESS;
}
