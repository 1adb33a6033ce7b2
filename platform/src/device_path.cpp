// Device paths to host paths and back. Windows CE has no current directory, so a path without
// a leading separator is taken from the root as well. "." and ".." are resolved on the text
// before anything is looked up, so no ".." can climb out of the root whatever links it meets;
// links inside the root are followed like any directory.
#include "file_internal.h"

#include <platform/device.h>
#include <platform/utf.h>

#include <algorithm>
#include <clocale>
#include <cwctype>
#include <filesystem>
#include <memory>
#include <vector>

#include <dirent.h>
#include <locale.h>
#include <sys/stat.h>

namespace plat {
namespace {

locale_t FoldLocale() {
    static const locale_t loc = [] {
        for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"})
            if (locale_t l = newlocale(LC_CTYPE_MASK, name, locale_t(nullptr)))
                return l;
        return locale_t(nullptr);
    }();
    return loc;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool DecodeUtf8(std::string_view s, std::u32string* out) {
    out->clear();
    out->reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        char32_t c;
        size_t n;
        if (b < 0x80) {
            c = b;
            n = 1;
        } else if (b >= 0xC2 && b <= 0xDF) {
            c = b & 0x1F;
            n = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            c = b & 0x0F;
            n = 3;
        } else if (b >= 0xF0 && b <= 0xF4) {
            c = b & 0x07;
            n = 4;
        } else {
            return false;
        }
        if (i + n > s.size())
            return false;
        for (size_t k = 1; k < n; ++k) {
            const unsigned char t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (t & 0x3F);
        }
        if ((n == 3 && c < 0x800) || (n == 4 && (c < 0x10000 || c > 0x10FFFF)) ||
            (c >= 0xD800 && c <= 0xDFFF))
            return false;
        out->push_back(c);
        i += n;
    }
    return true;
}

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};
using DirPtr = std::unique_ptr<DIR, DirCloser>;

bool IsHostDirectory(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Finds the entry of dir that name denotes: the exact spelling when present, else the first
// case-insensitive match in byte order (a directory first when one is wanted).
bool LookupNoCase(const std::string& dir, const std::string& name, bool preferDir,
                  std::string* found) {
    struct stat st;
    if (lstat((dir + "/" + name).c_str(), &st) == 0) {
        *found = name;
        return true;
    }
    if (errno != ENOENT)
        return false;
    std::u32string want, have;
    if (!FoldUtf8(name, &want))
        return false;
    DirPtr d(opendir(dir.c_str()));
    if (!d)
        return false;
    std::vector<std::string> matches;
    while (const dirent* e = readdir(d.get())) {
        const std::string_view entry = e->d_name;
        if (entry == "." || entry == "..")
            continue;
        if (FoldUtf8(entry, &have) && have == want)
            matches.emplace_back(entry);
    }
    if (matches.empty())
        return false;
    std::sort(matches.begin(), matches.end());
    *found = matches.front();
    if (preferDir) {
        for (const std::string& m : matches) {
            if (IsHostDirectory(dir + "/" + m)) {
                *found = m;
                break;
            }
        }
    }
    return true;
}

} // namespace

char32_t FoldChar(char32_t c) {
    if (c < 0x80)
        return (c >= 'a' && c <= 'z') ? c - 32 : c;
    if (locale_t loc = FoldLocale())
        return static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), loc));
    return c;
}

bool FoldUtf8(std::string_view name, std::u32string* folded) {
    if (!DecodeUtf8(name, folded))
        return false;
    for (char32_t& c : *folded)
        c = FoldChar(c);
    return true;
}

bool Utf16ToHostName(std::u16string_view name, std::string* host) {
    for (size_t i = 0; i < name.size(); ++i) {
        const char16_t c = name[i];
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= name.size() || name[i + 1] < 0xDC00 || name[i + 1] > 0xDFFF)
                return false;
            ++i;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return false;
        }
    }
    *host = ToUtf8(name);
    return true;
}

bool IsValidNameChar(char32_t c, bool pattern) {
    if (c < 0x20)
        return false;
    switch (c) {
        case '<':
        case '>':
        case ':':
        case '"':
        case '|':
        case '\\':
        case '/':
            return false;
        case '*':
        case '?':
            return pattern;
        default:
            return true;
    }
}

bool IsDeviceExpressible(std::string_view hostName) {
    if (hostName.empty() || hostName == "." || hostName == "..")
        return false;
    std::u32string cps;
    if (!DecodeUtf8(hostName, &cps))
        return false;
    size_t units = 0;
    for (char32_t c : cps) {
        if (!IsValidNameChar(c, false))
            return false;
        units += c >= 0x10000 ? 2 : 1;
    }
    return units < MAX_PATH;
}

DWORD MapDevicePath(LPCWSTR devicePath, MappedPath* out, bool patternLeaf) {
    if (!devicePath || !out)
        return ERROR_INVALID_PARAMETER;
    const std::u16string_view text(devicePath);
    if (text.empty())
        return ERROR_PATH_NOT_FOUND;

    // Split and resolve "." and ".." on the text alone.
    std::vector<std::u16string_view> parts;
    bool lastIsDots = false;
    for (size_t i = 0; i <= text.size();) {
        size_t j = i;
        while (j < text.size() && text[j] != u'\\' && text[j] != u'/')
            ++j;
        const std::u16string_view part = text.substr(i, j - i);
        lastIsDots = false;
        if (part == u".") {
            lastIsDots = true;
        } else if (part == u"..") {
            if (parts.empty())
                return ERROR_PATH_NOT_FOUND; // would leave the device
            parts.pop_back();
            lastIsDots = true;
        } else if (!part.empty()) {
            parts.push_back(part);
        }
        i = j + 1;
    }
    // A pattern must be the last thing written; "dir\." is no pattern.
    if (patternLeaf && (lastIsDots || parts.empty()))
        return ERROR_FILE_NOT_FOUND;

    std::vector<std::string> names;
    names.reserve(parts.size());
    for (size_t k = 0; k < parts.size(); ++k) {
        const bool pattern = patternLeaf && k + 1 == parts.size();
        for (char16_t c : parts[k])
            if (!IsValidNameChar(c, pattern))
                return ERROR_INVALID_NAME;
        std::string name;
        if (!Utf16ToHostName(parts[k], &name))
            return ERROR_INVALID_NAME;
        names.push_back(std::move(name));
    }

    MappedPath m;
    if (!patternLeaf && FindMappedHostFile(names, &m)) {
        *out = std::move(m);
        return 0;
    }
    std::string cur = DeviceRoot();
    if (names.empty()) {
        m.host = cur;
        m.isRoot = true;
        m.parentFound = true;
        *out = std::move(m);
        return 0;
    }
    bool exists = IsHostDirectory(cur);
    for (size_t k = 0; k < names.size(); ++k) {
        const bool last = k + 1 == names.size();
        std::string name = names[k];
        if (last) {
            m.parent = cur;
            m.parentFound = exists;
            m.leafWritten = names[k];
        }
        if (exists && !(last && patternLeaf)) {
            std::string found;
            if (LookupNoCase(cur, name, !last, &found))
                name = std::move(found);
            else
                exists = false;
        }
        cur += '/';
        cur += name;
        if (last)
            m.leaf = std::move(name);
        else if (exists)
            exists = IsHostDirectory(cur);
    }
    m.host = std::move(cur);
    *out = std::move(m);
    return 0;
}

bool DeviceToHostPath(LPCWSTR devicePath, std::string* hostPath) {
    MappedPath m;
    if (DWORD err = MapDevicePath(devicePath, &m)) {
        SetLastError(err);
        return false;
    }
    if (hostPath)
        *hostPath = std::move(m.host);
    return true;
}

namespace {

// The part of path below root ("" for the root itself); false when path is not inside it.
bool RelativeToRoot(const std::string& path, const std::string& root, std::string* rest) {
    if (path == root) {
        rest->clear();
        return true;
    }
    const std::string prefix = root == "/" ? root : root + "/";
    if (path.size() <= prefix.size() || path.compare(0, prefix.size(), prefix) != 0)
        return false;
    *rest = path.substr(prefix.size());
    return true;
}

std::string Normalized(const std::filesystem::path& p) {
    std::string s = p.lexically_normal().string();
    while (s.size() > 1 && s.back() == '/')
        s.pop_back();
    return s;
}

} // namespace

bool HostToDevicePath(const std::string& hostPath, std::u16string* devicePath) {
    if (hostPath.empty())
        return false;
    std::error_code ec;
    const std::filesystem::path abs = std::filesystem::absolute(hostPath, ec);
    if (ec)
        return false;
    const std::string root = DeviceRoot();
    std::string rest;
    if (!RelativeToRoot(Normalized(abs), root, &rest)) {
        // The same place reached through links outside the root.
        const std::filesystem::path canon = std::filesystem::weakly_canonical(abs, ec);
        if (ec || !RelativeToRoot(Normalized(canon), root, &rest))
            return false;
    }
    std::u16string result = u"\\";
    size_t i = 0;
    while (i < rest.size()) {
        size_t j = rest.find('/', i);
        if (j == std::string::npos)
            j = rest.size();
        const std::string_view name(rest.data() + i, j - i);
        if (!IsDeviceExpressible(name))
            return false;
        if (result.size() > 1)
            result += u'\\';
        result += FromUtf8(name);
        i = j + 1;
    }
    if (devicePath)
        *devicePath = std::move(result);
    return true;
}

} // namespace plat
