// Program start. The platform owns main(): it takes its own options, prepares the device, and
// calls the program's WinMain with the rest of the arguments as one UTF-16 command line.
#pragma once

#include <platform/wintypes.h>

#include <string>
#include <vector>

int WinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int showCommand);

namespace plat {

// What the platform's options asked for; the window system reads it when it starts.
struct StartOptions {
    std::string deviceDir; // --device; empty: $SCRIBBO_DEVICE or the default folder
    int screenWidth = 480; // --screen WxH
    int screenHeight = 640;
    int scale = 0; // --scale N; 0: the window system chooses
    bool headless = false;
    std::string scriptPath; // --script; empty: none
};

const StartOptions& GetStartOptions();
void SetStartOptions(const StartOptions& options);

enum class StartAction {
    Run,  // go on with *options and the arguments left in *rest
    Help, // print StartUsage() and end with 0
    Fail, // *error says what was wrong in one line; end with 2
};

// Takes --device DIR, --screen WxH, --scale N, --headless, --script FILE and --help (values
// also as --name=value) out of argv[1..]; everything else, in order, goes to *rest. "--" ends
// the platform's options and is dropped. Other "--" words belong to the program.
StartAction ParseStartOptions(int argc, const char* const* argv, StartOptions* options,
                              std::vector<std::string>* rest, std::string* error);
std::string StartUsage(const std::string& programName);

// Joins arguments with spaces; one that is empty or holds a space or tab is put in double
// quotes, which is how the programs' own command-line parsers group words.
std::u16string BuildCommandLine(const std::vector<std::string>& args);
// What GetCommandLineW returns from now on.
void SetCommandLine(const std::u16string& commandLine);

// Makes the device ready for the program: "\Program Files\Scribbo" with a link
// "<programName>.exe" to the executable (and links to the other shipped programs found beside
// it), the files of the first existing data folder copied in where missing, and
// "\My Documents". Existing files are never replaced; a stale link is. False with a one-line
// reason when something could not be made.
struct DeviceSetup {
    std::string executable; // host path of the running program
    std::u16string programName;
    std::vector<std::string> dataDirs; // tried in order
};
bool PrepareDevice(const DeviceSetup& setup, std::string* error);

// The whole of main(): parse, prepare, build the command line, call winMain.
using WinMainProc = int (*)(HINSTANCE, HINSTANCE, LPWSTR, int);
int RunProgram(int argc, char** argv, WinMainProc winMain, const std::string& builtDataDir);

} // namespace plat
