#include "HostLinks.h"

#include <platform/device.h>
#include <platform/utf.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

std::string RealHostPath(LPCWSTR devicePath) {
    std::string host;
    if (!devicePath || !plat::DeviceToHostPath(devicePath, &host))
        return {};
    std::error_code ec;
    const fs::path real = fs::canonical(host, ec);
    return ec ? std::string() : real.string();
}

std::string RealDeviceRoot() {
    std::error_code ec;
    const fs::path real = fs::canonical(plat::DeviceRoot(), ec);
    return ec ? std::string() : real.string();
}

int IsWithin(const std::string& real, const std::string& dir) {
    if (real.empty() || dir.empty() || real.compare(0, dir.size(), dir) != 0)
        return 0;
    return real.size() == dir.size() || real[dir.size()] == '/' || dir == "/";
}

int IsLinkPath(LPCWSTR devicePath) {
    std::string host;
    if (!devicePath || !plat::DeviceToHostPath(devicePath, &host))
        return 0;
    std::error_code ec;
    return fs::is_symlink(fs::symlink_status(host, ec)) ? 1 : 0;
}

std::vector<std::u16string> LinkNamesIn(LPCWSTR folder) {
    std::vector<std::u16string> names;
    std::string host;
    if (!folder || !plat::DeviceToHostPath(folder, &host))
        return names;
    std::error_code ec;
    // The entry type comes with the directory listing, so this costs no call per file.
    for (fs::directory_iterator it(host, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_symlink(ec))
            names.push_back(plat::FromUtf8(it->path().filename().string()));
    std::sort(names.begin(), names.end());
    return names;
}
