// The platform's Win32 subset, as one header, the way the system's code expects it.
#pragma once

#include <platform/wintypes.h>
#include <platform/winstring.h>
#include <platform/winbase.h>
#include <platform/winfile.h>
#include <platform/winreg.h>
#include <platform/wingdi.h>
#include <platform/wintext.h>
#include <platform/winuser.h>
#include <platform/winshell.h>
#include <platform/winedit.h>
#include <platform/winmenu.h>
