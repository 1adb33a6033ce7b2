#include "WakeLaunch.h"

#include <platform/entry.h>

int WinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) {
    return RunWakeLaunch(commandLine);
}
