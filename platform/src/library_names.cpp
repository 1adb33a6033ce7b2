#include "library_names.h"

#include <platform/module.h>
#include <platform/utf.h>

#include <filesystem>
#include <map>
#include <mutex>
#include <set>

namespace plat {
namespace {

struct NameState {
    std::mutex mutex;
    std::map<std::u16string, std::string> mapped;
    std::set<std::u16string> unavailable;
    std::u16string programName;
};

NameState& State() {
    static NameState* state = new NameState;
    return *state;
}

bool EndsWith(const std::u16string& s, std::u16string_view tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::string ExecutableFolder() {
    std::string exe = ExecutablePath();
    return exe.empty() ? std::string(".") : std::filesystem::path(exe).parent_path().string();
}

} // namespace

std::u16string NormalizeLibraryName(LPCWSTR name) {
    std::u16string s = name ? std::u16string(name) : std::u16string();
    size_t slash = s.find_last_of(u"\\/");
    if (slash != std::u16string::npos)
        s.erase(0, slash + 1);
    for (char16_t& c : s)
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
    if (s.empty())
        return s;
    if (s.back() == u'.')
        s.pop_back();
    else if (s.find(u'.') == std::u16string::npos)
        s += u".dll";
    return s;
}

std::string HostFileForLibrary(const std::u16string& normalized) {
    {
        NameState& st = State();
        std::lock_guard lock(st.mutex);
        auto it = st.mapped.find(normalized);
        if (it != st.mapped.end())
            return it->second;
    }
    if (normalized == u"gzlib.dll")
        return "libz.so.1";
    if (EndsWith(normalized, u".dll"))
        return ExecutableFolder() + "/lib" +
               ToUtf8(std::u16string_view(normalized).substr(0, normalized.size() - 4)) + ".so";
    return ExecutableFolder() + "/" + ToUtf8(normalized);
}

bool IsLibraryAvailable(const std::u16string& normalized) {
    NameState& st = State();
    std::lock_guard lock(st.mutex);
    return st.unavailable.count(normalized) == 0;
}

void MapLibrary(LPCWSTR name, const std::string& hostFile) {
    std::u16string key = NormalizeLibraryName(name);
    if (key.empty())
        return;
    NameState& st = State();
    std::lock_guard lock(st.mutex);
    if (hostFile.empty())
        st.mapped.erase(key);
    else
        st.mapped[key] = hostFile;
}

void SetLibraryAvailable(LPCWSTR name, bool available) {
    std::u16string key = NormalizeLibraryName(name);
    if (key.empty())
        return;
    NameState& st = State();
    std::lock_guard lock(st.mutex);
    if (available)
        st.unavailable.erase(key);
    else
        st.unavailable.insert(key);
}

std::string ExecutablePath() {
    static const std::string path = [] {
        std::error_code ec;
        std::filesystem::path p = std::filesystem::read_symlink("/proc/self/exe", ec);
        return ec ? std::string() : p.string();
    }();
    return path;
}

void SetProgramName(std::u16string_view name) {
    NameState& st = State();
    std::lock_guard lock(st.mutex);
    st.programName = name;
}

std::u16string ProgramName() {
    {
        NameState& st = State();
        std::lock_guard lock(st.mutex);
        if (!st.programName.empty())
            return st.programName;
    }
    std::u16string name = FromUtf8(std::filesystem::path(ExecutablePath()).filename().string());
    if (EndsWith(name, u".exe"))
        name.resize(name.size() - 4);
    return name.empty() ? std::u16string(u"program") : name;
}

std::u16string ProgramDevicePath() {
    return std::u16string(kProgramFolder) + u"\\" + ProgramName() + u".exe";
}

} // namespace plat
