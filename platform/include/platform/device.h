// The handheld's file system is a host folder, the device root. Device paths such as
// "\My Documents\Pad\x.pad" map below it, matched case-insensitively per component.
#pragma once

#include <platform/wintypes.h>

#include <functional>
#include <string>

namespace plat {

// Sets the device root (a host directory, created when missing). Returns false when it cannot
// be made or is not a directory. Listeners registered below run after every change.
bool SetDeviceRoot(const std::string& hostDir);
// The current root; set from --device, $SCRIBBO_DEVICE or $XDG_DATA_HOME/scribbo/device on
// first use when nobody set it.
std::string DeviceRoot();
// The default root when no option says otherwise.
std::string DefaultDeviceRoot();
// Called with no arguments after the root changed (the registry reopens its store, say).
void OnDeviceRootChanged(std::function<void()> listener);

// Maps a device path to a host path. Both separators are accepted; existing components are
// matched case-insensitively, missing ones are kept as written. Paths whose ".." would leave
// the root, and paths that are not absolute on the device, are refused (false).
bool DeviceToHostPath(LPCWSTR devicePath, std::string* hostPath);
// The reverse, for host paths inside the root ("\..." with backslashes); false outside it.
bool HostToDevicePath(const std::string& hostPath, std::u16string* devicePath);

// A memo file outside the root, opened from the desktop, appears on the device as
// "\Storage Card\<its name>", as if a card held just that file: only that one name is mapped
// there, so every other path, "\Storage Card" itself included, stays inside the root. Each
// further file of this process gets a card of its own ("\Storage Card2", ...), and mapping a
// file again gives its card back. False (nothing mapped) for a path that is not a regular file
// or whose name the device cannot write.
bool MapHostFile(const std::string& hostFile, std::u16string* devicePath);
// Forgets every mapped file.
void UnmapHostFile();
// The device path for a host file: its own below the root, else the mapped one.
bool DevicePathForHostFile(const std::string& hostFile, std::u16string* devicePath);
// The host file a device path reaches through MapHostFile; false for every other path.
bool MappedHostFile(LPCWSTR devicePath, std::string* hostFile);

} // namespace plat
