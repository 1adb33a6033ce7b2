// The registry: keys under four predefined roots, each holding named values of raw bytes.
// The store is one text file in the device root ("registry.txt"), loaded on first use and
// rewritten atomically. Key and value names are case-insensitive.
//
// Two behaviours follow the handheld rather than desktop Windows:
// - RegQueryValueExW and RegEnumValueW cut a value that is longer than the caller's buffer to
//   the buffer and succeed (desktop Windows fails with ERROR_MORE_DATA);
// - RegDeleteKeyW removes the key together with every key below it.
#pragma once

#include <platform/wintypes.h>

using LSTATUS = LONG;

// Predefined roots: the usual sign-extended 0x8000000x values.
#define PLAT_PREDEFINED_HKEY(n)                                                                    \
    (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(n))))
#define HKEY_CLASSES_ROOT PLAT_PREDEFINED_HKEY(0x80000000u)
#define HKEY_CURRENT_USER PLAT_PREDEFINED_HKEY(0x80000001u)
#define HKEY_LOCAL_MACHINE PLAT_PREDEFINED_HKEY(0x80000002u)
#define HKEY_USERS PLAT_PREDEFINED_HKEY(0x80000003u)

// Value types.
#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_DWORD_LITTLE_ENDIAN 4
#define REG_DWORD_BIG_ENDIAN 5
#define REG_LINK 6
#define REG_MULTI_SZ 7
#define REG_QWORD 11

// Access rights and options are accepted and not enforced.
#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_CREATE_SUB_KEY 0x0004
#define KEY_ENUMERATE_SUB_KEYS 0x0008
#define KEY_NOTIFY 0x0010
#define KEY_CREATE_LINK 0x0020
#define KEY_READ 0x20019
#define KEY_WRITE 0x20006
#define KEY_EXECUTE 0x20019
#define KEY_ALL_ACCESS 0xF003F
#define REG_OPTION_RESERVED 0x0
#define REG_OPTION_NON_VOLATILE 0x0
#define REG_OPTION_VOLATILE 0x1 // stored like any other key

// Dispositions reported by RegCreateKeyExW.
#define REG_CREATED_NEW_KEY 1
#define REG_OPENED_EXISTING_KEY 2

// Results are ERROR_SUCCESS or an error code: ERROR_FILE_NOT_FOUND (no such key or value),
// ERROR_INVALID_HANDLE, ERROR_INVALID_PARAMETER, ERROR_KEY_DELETED (the handle's key was
// deleted), ERROR_MORE_DATA (a name buffer too small), ERROR_NO_MORE_ITEMS (enumeration end),
// ERROR_ACCESS_DENIED (deleting a root), ERROR_CANTWRITE (the file could not be written).

LONG RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                   PHKEY phkResult);
LONG RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD Reserved, LPWSTR lpClass, DWORD dwOptions,
                     REGSAM samDesired, LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult,
                     LPDWORD lpdwDisposition);
LONG RegCloseKey(HKEY hKey);
LONG RegFlushKey(HKEY hKey);
LONG RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                      LPBYTE lpData, LPDWORD lpcbData);
LONG RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD Reserved, DWORD dwType,
                    const BYTE* lpData, DWORD cbData);
LONG RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName);
LONG RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey);
LONG RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved,
                   LPWSTR lpClass, LPDWORD lpcchClass, LPFILETIME lpftLastWriteTime);
LONG RegEnumValueW(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, LPDWORD lpcchValueName,
                   LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData);
LONG RegQueryInfoKeyW(HKEY hKey, LPWSTR lpClass, LPDWORD lpcchClass, LPDWORD lpReserved,
                      LPDWORD lpcSubKeys, LPDWORD lpcchMaxSubKeyLen, LPDWORD lpcchMaxClassLen,
                      LPDWORD lpcValues, LPDWORD lpcchMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                      LPDWORD lpcbSecurityDescriptor, LPFILETIME lpftLastWriteTime);

namespace plat {

// Name of the registry file in the device root.
inline constexpr const char kRegistryFileName[] = "registry.txt";

// Drops the in-memory registry and every open key handle, without writing pending changes,
// and reads the file again: what a freshly started process would see.
void RegistryReload();
// Writes pending changes now. False when they could not be written.
bool RegistryFlush();
// Parses registry file bytes into a scratch store; nothing is written. True when the bytes
// parse completely. For fuzzing: a store that parses must also survive being written and
// read back unchanged (the process aborts if not).
bool RegistryParseForTest(const char* data, size_t size);

} // namespace plat
