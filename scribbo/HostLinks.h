// Symbolic links below the device root. The device's file calls follow a link wherever it
// leads, so the memo store asks here before it enters one.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The real host location of a device path, every link resolved; empty when it does not exist.
std::string RealHostPath(LPCWSTR devicePath);
// The real host location of the device root.
std::string RealDeviceRoot();
// 1 when the real host path lies in dir or is dir itself.
int IsWithin(const std::string& real, const std::string& dir);
// 1 when the device path names a symbolic link itself (working or dangling).
int IsLinkPath(LPCWSTR devicePath);
// The names in a device folder that are symbolic links, sorted, spelt as FindFirstFileW
// spells them.
std::vector<std::u16string> LinkNamesIn(LPCWSTR folder);
