#include "TestDevice.h"

#include <platform/device.h>

#include <cstdlib>
#include <filesystem>

TestDevice::TestDevice() {
    std::string pattern = (std::filesystem::temp_directory_path() / "scribbo-test-XXXXXX").string();
    if (char* made = mkdtemp(pattern.data()))
        m_root = made;
    plat::SetDeviceRoot(m_root);
}

TestDevice::~TestDevice() {
    std::error_code ec;
    if (!m_root.empty())
        std::filesystem::remove_all(m_root, ec);
}

std::string TestDevice::Host(const std::string& devicePath) const {
    std::string p = devicePath;
    for (char& c : p)
        if (c == '\\')
            c = '/';
    while (!p.empty() && p.front() == '/')
        p.erase(p.begin());
    return m_root + "/" + p;
}
