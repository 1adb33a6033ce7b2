// The platform's own command-line options and the program's command line.
#include <platform/device.h>
#include <platform/entry.h>
#include <platform/utf.h>
#include <platform/winbase.h>

#include <charconv>
#include <mutex>
#include <string_view>

#include <sys/stat.h>

namespace plat {
namespace {

struct StartState {
    std::mutex mutex;
    StartOptions options;
    std::u16string commandLine;
};

StartState& State() {
    static StartState* state = new StartState;
    return *state;
}

bool ParseInt(std::string_view text, int low, int high, int* value) {
    int v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || v < low || v > high)
        return false;
    *value = v;
    return true;
}

bool ParseScreen(std::string_view text, int* width, int* height) {
    size_t x = text.find_first_of("xX");
    if (x == std::string_view::npos)
        return false;
    return ParseInt(text.substr(0, x), 16, 8192, width) &&
           ParseInt(text.substr(x + 1), 16, 8192, height);
}

bool NeedsQuotes(const std::string& arg) {
    return arg.empty() || arg.find_first_of(" \t") != std::string::npos;
}

} // namespace

const StartOptions& GetStartOptions() {
    StartState& s = State();
    std::lock_guard lock(s.mutex);
    return s.options;
}

void SetStartOptions(const StartOptions& options) {
    StartState& s = State();
    std::lock_guard lock(s.mutex);
    s.options = options;
}

StartAction ParseStartOptions(int argc, const char* const* argv, StartOptions* options,
                              std::vector<std::string>* rest, std::string* error) {
    *options = StartOptions();
    rest->clear();
    error->clear();
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i] ? argv[i] : "";
        if (arg == "--") {
            for (++i; i < argc; ++i)
                rest->emplace_back(argv[i] ? argv[i] : "");
            break;
        }
        if (arg.substr(0, 2) != "--") {
            rest->emplace_back(arg);
            continue;
        }
        size_t eq = arg.find('=');
        std::string_view name = arg.substr(2, eq == std::string_view::npos ? arg.npos : eq - 2);
        bool inlineValue = eq != std::string_view::npos;
        bool flag = name == "headless" || name == "help";
        bool valued = name == "device" || name == "screen" || name == "scale" || name == "script" ||
                      name == "lang";
        if (!flag && !valued) {
            rest->emplace_back(arg);
            continue;
        }
        if (flag) {
            if (inlineValue) {
                *error = "--" + std::string(name) + " takes no value";
                return StartAction::Fail;
            }
            if (name == "help")
                return StartAction::Help;
            options->headless = true;
            continue;
        }
        std::string_view value;
        if (inlineValue) {
            value = arg.substr(eq + 1);
        } else if (i + 1 < argc && argv[i + 1]) {
            value = argv[++i];
        } else {
            *error = "--" + std::string(name) + " needs a value";
            return StartAction::Fail;
        }
        if (value.empty()) {
            *error = "--" + std::string(name) + " needs a value";
            return StartAction::Fail;
        }
        if (name == "device") {
            options->deviceDir = value;
        } else if (name == "script") {
            options->scriptPath = value;
        } else if (name == "lang") {
            if (value != "ko" && value != "en") {
                *error = "--lang wants ko or en, not '" + std::string(value) + "'";
                return StartAction::Fail;
            }
            options->language = value;
        } else if (name == "screen") {
            if (!ParseScreen(value, &options->screenWidth, &options->screenHeight)) {
                *error = "--screen wants WIDTHxHEIGHT in pixels, such as 240x320, not '" +
                         std::string(value) + "'";
                return StartAction::Fail;
            }
        } else if (!ParseInt(value, 1, 16, &options->scale)) {
            *error = "--scale wants a whole number from 1 to 16, not '" + std::string(value) + "'";
            return StartAction::Fail;
        }
    }
    return StartAction::Run;
}

std::string StartUsage(const std::string& programName) {
    return "Usage: " + programName +
           " [options] [arguments for the program]\n"
           "\n"
           "Runs the program on a model of its handheld computer.\n"
           "\n"
           "Options:\n"
           "  --device DIR    keep the handheld's files in the folder DIR (default: the folder\n"
           "                  named by $SCRIBBO_DEVICE, else ~/.local/share/scribbo/device)\n"
           "  --screen WxH    screen size in pixels, such as 240x320 (default 480x640)\n"
           "  --scale N       show each screen pixel N times larger on the desktop (default:\n"
           "                  as large as fits)\n"
           "  --headless      run without a desktop window\n"
           "  --script FILE   play the input script FILE (taps, strokes, keys, waits and\n"
           "                  screenshots) instead of taking input from you\n"
           "  --lang LL       show the texts in Korean (ko) or English (en) (default: Korean\n"
           "                  when the locale is Korean, else English)\n"
           "  --help          show this text and stop\n"
           "\n"
           "Everything else is passed on to the program, for example /n to start a new memo.\n"
           "Put -- before program arguments that look like the options above.\n";
}

std::string LocaleLanguage(const char* lcAll, const char* lcMessages, const char* lang) {
    for (const char* value : {lcAll, lcMessages, lang})
        if (value && *value)
            return std::string_view(value).substr(0, 2) == "ko" ? "ko" : "en";
    return "en";
}

std::vector<std::string> MemoFileArguments(const std::vector<std::string>& args) {
    std::vector<std::string> out;
    for (const std::string& arg : args) {
        std::u16string devicePath;
        std::string ext = arg.size() > 4 ? arg.substr(arg.size() - 4) : "";
        for (char& c : ext)
            c = (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
        const bool memo = ext == ".pad";
        struct stat st;
        if (!memo || stat(arg.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
            !DevicePathForHostFile(arg, &devicePath)) {
            out.push_back(arg);
            continue;
        }
        const bool optionBefore = !out.empty() && out.back().size() == 2 &&
                                  (out.back()[0] == '/' || out.back()[0] == '-') &&
                                  (out.back()[1] == 'f' || out.back()[1] == 'F');
        if (!optionBefore)
            out.emplace_back("/f");
        out.push_back(ToUtf8(devicePath));
    }
    return out;
}

std::u16string BuildCommandLine(const std::vector<std::string>& args) {
    std::string line;
    for (const std::string& arg : args) {
        if (!line.empty())
            line += ' ';
        if (NeedsQuotes(arg))
            line += '"' + arg + '"';
        else
            line += arg;
    }
    return FromUtf8(line);
}

void SetCommandLine(const std::u16string& commandLine) {
    StartState& s = State();
    std::lock_guard lock(s.mutex);
    s.commandLine = commandLine;
}

} // namespace plat

// The string stays valid until the next SetCommandLine, which only the start-up calls.
LPWSTR GetCommandLineW() {
    plat::StartState& s = plat::State();
    std::lock_guard lock(s.mutex);
    return s.commandLine.data();
}
