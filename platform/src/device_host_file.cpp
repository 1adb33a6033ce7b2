// One host file outside the root, seen by the device as a file on a storage card. The mapping
// is by name, checked after "." and ".." are resolved, so nothing else under the card's folder
// and nothing beside the host file can be reached through it.
#include "file_internal.h"

#include <platform/device.h>
#include <platform/utf.h>

#include <filesystem>
#include <mutex>

#include <sys/stat.h>

namespace plat {
namespace {

constexpr char kCardFolder[] = "Storage Card";

struct HostFileState {
    std::mutex mutex;
    std::string dir;  // host folder of the file; empty when nothing is mapped
    std::string name; // its name there
};

HostFileState& State() {
    static HostFileState state;
    return state;
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
    HostFileState& s = State();
    std::lock_guard lock(s.mutex);
    s.dir = real.parent_path().string();
    s.name = name;
    if (devicePath)
        *devicePath = u"\\" + FromUtf8(kCardFolder) + u"\\" + FromUtf8(name);
    return true;
}

void UnmapHostFile() {
    HostFileState& s = State();
    std::lock_guard lock(s.mutex);
    s.dir.clear();
    s.name.clear();
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

bool FindMappedHostFile(const std::vector<std::string>& names, MappedPath* out) {
    if (names.size() != 2 || !SameFolded(names[0], kCardFolder))
        return false;
    HostFileState& s = State();
    std::lock_guard lock(s.mutex);
    if (s.dir.empty() || !SameFolded(names[1], s.name))
        return false;
    out->parent = s.dir;
    out->parentFound = true;
    out->leaf = s.name;
    out->leafWritten = names[1];
    out->host = s.dir + "/" + s.name;
    return true;
}

} // namespace plat
