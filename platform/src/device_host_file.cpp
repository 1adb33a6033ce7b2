// Host files outside the root, each seen by the device as the one file on a storage card of
// its own. The mapping is by name, checked after "." and ".." are resolved, so nothing else
// under a card's folder and nothing beside a host file can be reached through it.
#include "file_internal.h"

#include <platform/device.h>
#include <platform/utf.h>

#include <filesystem>
#include <mutex>

#include <sys/stat.h>

namespace plat {
namespace {

constexpr char kCardFolder[] = "Storage Card";

struct HostFile {
    std::string dir;  // host folder of the file
    std::string name; // its name there

    std::string Path() const { return dir + "/" + name; }
};

struct HostFileState {
    std::mutex mutex;
    // Card k holds files[k]; a card keeps its file for the life of the process, so a memo
    // still open from it saves to the file it came from.
    std::vector<HostFile> files;
};

HostFileState& State() {
    static HostFileState state;
    return state;
}

// The device's own naming of further cards: "Storage Card", "Storage Card2", ...
std::string CardFolder(size_t index) {
    return index == 0 ? kCardFolder : kCardFolder + std::to_string(index + 1);
}

bool SameFolded(std::string_view a, std::string_view b) {
    std::u32string fa, fb;
    return FoldUtf8(a, &fa) && FoldUtf8(b, &fb) && fa == fb;
}

} // namespace

bool MapHostFile(const std::string& hostFile, std::u16string* devicePath) {
    std::error_code ec;
    // The real file, so that saving replaces it and not a link pointing at it.
    const std::filesystem::path real = std::filesystem::canonical(hostFile, ec);
    struct stat st;
    if (ec || stat(real.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    const std::string name = real.filename().string();
    if (!IsDeviceExpressible(name))
        return false;
    const std::string dir = real.parent_path().string();
    HostFileState& s = State();
    std::lock_guard lock(s.mutex);
    size_t card = 0;
    while (card < s.files.size() && !(s.files[card].dir == dir && s.files[card].name == name))
        ++card;
    if (card == s.files.size())
        s.files.push_back({dir, name});
    if (devicePath)
        *devicePath = u"\\" + FromUtf8(CardFolder(card)) + u"\\" + FromUtf8(name);
    return true;
}

void UnmapHostFile() {
    HostFileState& s = State();
    std::lock_guard lock(s.mutex);
    s.files.clear();
}

bool DevicePathForHostFile(const std::string& hostFile, std::u16string* devicePath) {
    std::error_code ec;
    const std::filesystem::path real = std::filesystem::canonical(hostFile, ec);
    if (ec)
        return false;
    if (HostToDevicePath(real.string(), devicePath))
        return true;
    return MapHostFile(real.string(), devicePath);
}

bool MappedHostFile(LPCWSTR devicePath, std::string* hostFile) {
    MappedPath m;
    if (MapDevicePath(devicePath, &m) != 0)
        return false;
    HostFileState& s = State();
    std::lock_guard lock(s.mutex);
    for (const HostFile& f : s.files)
        if (m.host == f.Path()) {
            *hostFile = m.host;
            return true;
        }
    return false;
}

bool FindMappedHostFile(const std::vector<std::string>& names, MappedPath* out) {
    if (names.size() != 2)
        return false;
    HostFileState& s = State();
    std::lock_guard lock(s.mutex);
    for (size_t card = 0; card < s.files.size(); ++card) {
        const HostFile& f = s.files[card];
        if (!SameFolded(names[0], CardFolder(card)) || !SameFolded(names[1], f.name))
            continue;
        out->parent = f.dir;
        out->parentFound = true;
        out->leaf = f.name;
        out->leafWritten = names[1];
        out->host = f.Path();
        return true;
    }
    return false;
}

} // namespace plat
