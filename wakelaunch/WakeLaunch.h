// The wake-up launcher: starts the memo program found through its registry entry, once its
// file can be reached, with the launcher's own command line or "/n" for a new memo.
#pragma once

#include <windows.h>

// Does the whole job for one command line; always 0, since nobody is there to read a failure.
int RunWakeLaunch(LPCWSTR commandLine);
