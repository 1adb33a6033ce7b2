// Small helpers shared by the registry tests.
#pragma once

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace regtest {

// Closes a key handle at the end of a scope.
class Key {
public:
    Key() = default;
    explicit Key(HKEY h) : m_h(h) {}
    ~Key() {
        if (m_h)
            RegCloseKey(m_h);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY Get() const { return m_h; }
    HKEY* Out() { return &m_h; }
    HKEY Release() {
        HKEY h = m_h;
        m_h = nullptr;
        return h;
    }

private:
    HKEY m_h = nullptr;
};

inline HKEY Create(HKEY root, LPCWSTR path, DWORD* disposition = nullptr) {
    HKEY h = nullptr;
    if (RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, disposition) !=
        ERROR_SUCCESS)
        return nullptr;
    return h;
}

inline HKEY Open(HKEY root, LPCWSTR path) {
    HKEY h = nullptr;
    if (RegOpenKeyExW(root, path, 0, KEY_ALL_ACCESS, &h) != ERROR_SUCCESS)
        return nullptr;
    return h;
}

inline LONG Set(HKEY key, LPCWSTR name, DWORD type, const std::vector<BYTE>& data) {
    return RegSetValueExW(key, name, 0, type, data.data(), static_cast<DWORD>(data.size()));
}

inline LONG SetDword(HKEY key, LPCWSTR name, DWORD v) {
    return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), 4);
}

// The UTF-16 bytes of a text and its terminator, padded with zeros (or cut) to size bytes;
// size 0 means just the text and terminator.
inline std::vector<BYTE> Utf16(std::u16string_view text, size_t size = 0) {
    std::vector<BYTE> out;
    for (char16_t c : text) {
        out.push_back(static_cast<BYTE>(c));
        out.push_back(static_cast<BYTE>(c >> 8));
    }
    out.push_back(0);
    out.push_back(0);
    if (size)
        out.resize(size, 0);
    return out;
}

struct Read {
    LONG result = ERROR_FILE_NOT_FOUND;
    DWORD type = 0xDEAD;
    std::vector<BYTE> data;
};

// A value's type and all its bytes: asks for the size first, as callers do.
inline Read Query(HKEY key, LPCWSTR name) {
    Read r;
    DWORD size = 0;
    r.result = RegQueryValueExW(key, name, nullptr, &r.type, nullptr, &size);
    if (r.result != ERROR_SUCCESS)
        return r;
    r.data.assign(size, 0xCC);
    DWORD got = size;
    r.result = RegQueryValueExW(key, name, nullptr, &r.type, r.data.data(), &got);
    r.data.resize(got);
    return r;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

} // namespace regtest
