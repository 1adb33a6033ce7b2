#include "WakeLaunch.h"

namespace {

constexpr WCHAR kWakeupCommandLine[] = u"AppRunAfterWakeup";
constexpr WCHAR kProgramKey[] = u"Software\\Velmora\\Scribbo";
constexpr WCHAR kProgramPathValue[] = u"ProgramPath";
constexpr WCHAR kNewMemoParameters[] = u"/n";
constexpr int kPathLength = 260;
// The storage holding the program may still be mounting just after the device wakes.
constexpr int kFileTries = 50;
constexpr DWORD kFileRetryMs = 100;

} // namespace

int RunWakeLaunch(LPCWSTR commandLine) {
    if (!commandLine)
        commandLine = u"";
    // Waking alone is no reason to start the program.
    if (::lstrcmpW(commandLine, kWakeupCommandLine) == 0)
        return 0;

    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProgramKey, 0, KEY_ALL_ACCESS, &key) !=
            ERROR_SUCCESS ||
        !key)
        return 0;
    WCHAR path[kPathLength] = {};
    DWORD type = 0;
    DWORD bytes = sizeof(path);
    ::RegQueryValueExW(key, kProgramPathValue, nullptr, &type, reinterpret_cast<BYTE*>(path),
                       &bytes);
    ::RegCloseKey(key);
    path[kPathLength - 1] = 0;
    if (!path[0])
        return 0;

    for (int tries = 1; ::GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES && tries < kFileTries;
         ++tries)
        ::Sleep(kFileRetryMs);

    WCHAR parameters[kPathLength] = {};
    ::lstrcpynW(parameters, commandLine[0] ? commandLine : kNewMemoParameters, kPathLength);

    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.hwnd = nullptr;
    info.lpVerb = nullptr;
    info.lpFile = path;
    info.lpParameters = parameters;
    info.lpDirectory = nullptr;
    info.nShow = SW_SHOWNORMAL;
    ::ShellExecuteExW(&info);
    return 0;
}
