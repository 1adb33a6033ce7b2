// The body of the platform's main().
#include <platform/clock.h>
#include <platform/device.h>
#include <platform/display.h>
#include <platform/entry.h>
#include <platform/instance.h>
#include <platform/module.h>
#include <platform/utf.h>
#include <platform/winbase.h>

#include "close_signals.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace plat {
namespace {

constexpr int kShowNormal = 5; // SW_SHOW

std::string BaseName(const char* path, const char* fallback) {
    std::string name = path && *path ? std::filesystem::path(path).filename().string() : "";
    return name.empty() ? fallback : name;
}

} // namespace

int RunProgram(int argc, char** argv, WinMainProc winMain,
               const std::vector<std::string>& dataDirs) {
    std::string self = BaseName(argc > 0 ? argv[0] : nullptr, "scribbo");
    StartOptions options;
    std::vector<std::string> rest;
    std::string error;
    switch (ParseStartOptions(argc, argv, &options, &rest, &error)) {
        case StartAction::Help:
            std::fputs(StartUsage(self).c_str(), stdout);
            return 0;
        case StartAction::Fail:
            std::fprintf(stderr, "%s: %s (see --help)\n", self.c_str(), error.c_str());
            return 2;
        case StartAction::Run:
            break;
    }
    if (!options.deviceDir.empty() && !SetDeviceRoot(options.deviceDir)) {
        std::fprintf(stderr, "%s: cannot use '%s' as the device folder\n", self.c_str(),
                     options.deviceDir.c_str());
        return 2;
    }
    SetStartOptions(options);
    // Scripted runs must repeat exactly, so their time is the script's.
    if (!options.scriptPath.empty()) {
        UseVirtualClock(true);
        if (!LoadInputScript(options.scriptPath, &error)) {
            std::fprintf(stderr, "%s: %s\n", self.c_str(), error.c_str());
            return 2;
        }
    }
    // Before any thread starts, so that every thread leaves the signals to the waiter.
    StartCloseOnSignals();
    UseProgramDisplay();

    std::string exe = ExecutablePath();
    std::u16string name = FromUtf8(BaseName(exe.c_str(), self.c_str()));
    if (name.size() > 4 && name.compare(name.size() - 4, 4, u".exe") == 0)
        name.resize(name.size() - 4);
    SetProgramName(name);

    DeviceSetup setup;
    setup.executable = exe;
    setup.programName = name;
    const std::filesystem::path exeDir = std::filesystem::path(exe).parent_path();
    if (!exe.empty())
        setup.dataDirs.push_back((exeDir / "data").string());
    for (const std::string& dir : dataDirs) {
        if (std::filesystem::path(dir).is_relative() && !dir.empty())
            setup.dataDirs.push_back(exe.empty() ? "" : (exeDir / dir).lexically_normal().string());
        else
            setup.dataDirs.push_back(dir);
    }
    setup.language = !options.language.empty()
                         ? options.language
                         : LocaleLanguage(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                                          std::getenv("LANG"));
    // The program may still run from a device it could not fully prepare (a read-only one).
    if (!PrepareDevice(setup, &error))
        std::fprintf(stderr, "%s: %s\n", self.c_str(), error.c_str());

    std::u16string commandLine = BuildCommandLine(MemoFileArguments(rest));
    SetCommandLine(commandLine);
    int result = winMain(ProgramModule(), nullptr, commandLine.data(), kShowNormal);
    // A program that did not end its instance channel itself leaves no socket behind.
    EndInstance();
    StopCloseOnSignals();
    StopDisplay();
    // A script that stopped on a bad step fails the run.
    if (!ScriptError().empty() && result == 0)
        result = 1;
    return result;
}

} // namespace plat
