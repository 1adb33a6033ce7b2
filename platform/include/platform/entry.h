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
    std::string language;   // --lang ko|en; empty: as the locale says
};

const StartOptions& GetStartOptions();
void SetStartOptions(const StartOptions& options);

enum class StartAction {
    Run,  // go on with *options and the arguments left in *rest
    Help, // print StartUsage() and end with 0
    Fail, // *error says what was wrong in one line; end with 2
};

// Takes --device DIR, --screen WxH, --scale N, --headless, --script FILE, --lang LL and --help
// (values also as --name=value) out of argv[1..]; everything else, in order, goes to *rest. "--"
// ends the platform's options and is dropped. Other "--" words belong to the program.
StartAction ParseStartOptions(int argc, const char* const* argv, StartOptions* options,
                              std::vector<std::string>* rest, std::string* error);
std::string StartUsage(const std::string& programName);

// Arguments naming an existing memo file on the host ("*.pad", as the desktop passes a file
// it opens) become "/f" and the file's device path (MapHostFile for one outside the root), so
// that a host path is not read as an option. A "/f" or "-f" already before it is kept.
std::vector<std::string> MemoFileArguments(const std::vector<std::string>& args);

// Joins arguments with spaces; one that is empty or holds a space or tab is put in double
// quotes, which is how the programs' own command-line parsers group words.
std::u16string BuildCommandLine(const std::vector<std::string>& args);
// What GetCommandLineW returns from now on.
void SetCommandLine(const std::u16string& commandLine);

// The language of the shipped texts for a locale as the environment gives it (LC_ALL, then
// LC_MESSAGES, then LANG; the first one set and not empty counts): "ko" for Korean, "en" for
// anything else.
std::string LocaleLanguage(const char* lcAll, const char* lcMessages, const char* lang);

// Makes the device ready for the program: "\Program Files\Scribbo" with a link
// "<programName>.exe" to the executable (and links to the other shipped programs found beside
// it), the files of the first existing data folder copied in where missing, and
// "\My Documents". The data folder's own files are the Korean ones; a sub-folder named after
// another language ("en") holds that language's versions of some of them, which replace them
// when that language is chosen. Existing files are never replaced, with one exception: a text
// file that is exactly the shipped version of another language is switched to the chosen
// one (a file the user edited stays). A stale link is replaced. False with a one-line reason
// when something could not be made.
struct DeviceSetup {
    std::string executable; // host path of the running program
    std::u16string programName;
    std::vector<std::string> dataDirs; // tried in order
    std::string language = "ko";       // "ko" or "en"
};
bool PrepareDevice(const DeviceSetup& setup, std::string* error);

// The whole of main(): parse, prepare, build the command line, call winMain. The data folder
// is the first that exists of "data" beside the executable and dataDirs in order, a relative
// one taken from the executable's folder (an installed program finds its data so).
using WinMainProc = int (*)(HINSTANCE, HINSTANCE, LPWSTR, int);
int RunProgram(int argc, char** argv, WinMainProc winMain,
               const std::vector<std::string>& dataDirs);

} // namespace plat
