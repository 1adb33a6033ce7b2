// A private device root for one test, removed afterwards, so tests never see each other's
// files or registry.
#pragma once

#include <string>

class TestDevice {
public:
    TestDevice();
    ~TestDevice();
    TestDevice(const TestDevice&) = delete;
    TestDevice& operator=(const TestDevice&) = delete;

    const std::string& Root() const { return m_root; }
    // Host path of a device path given in UTF-8 with either slash, e.g. "My Documents/x.pad".
    std::string Host(const std::string& devicePath) const;

private:
    std::string m_root;
};
