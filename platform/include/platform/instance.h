// One running program per device root. A second start shares the device root with the running
// one, not its address space, so it hands its request over a local socket named after the
// device root; the running program raises its window and handles the request there.
#pragma once

#include <platform/wintypes.h>

#include <cstdint>
#include <string>

namespace plat {

// One parameter of the forwarded message: a number, or a text that arrives as a pointer to a
// copy which lives while the message is handled.
struct InstanceParam {
    bool isText = false;
    // A device path of a host file outside the root (device.h, MapHostFile) means nothing to
    // another process: it travels as the host path, and the running program maps the file
    // itself and gets its own device path. Set by ClaimInstance, not by callers.
    bool isHostFile = false;
    intptr_t number = 0;
    std::u16string text;
};

// What a second start asks of the running program: bring its window to the front and, when
// message is not 0, send it that message.
struct InstanceRequest {
    UINT message = 0;
    InstanceParam wParam, lParam;
};

enum class InstanceClaim {
    First,     // this process is now the one instance on this device root
    Forwarded, // a running instance took the request and acknowledged it
    Failed,    // no channel could be made (error says why); the caller runs on alone
};

// Call before any window exists. On Forwarded, *result (when given) is what the running
// program's window procedure returned for the message (0 when it gave no answer in time).
InstanceClaim ClaimInstance(const InstanceRequest& request, std::string* error,
                            LRESULT* result = nullptr);
// From now on requests are handed to target on its own thread (raised to the front, then the
// message sent); call once the program's main window exists.
void ServeInstanceRequests(HWND target);
// Stops serving and removes the socket (at exit). Call it on the target window's thread.
void EndInstance();

} // namespace plat
