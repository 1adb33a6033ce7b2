// padtool: look into memo files, turn them into JSON and back, and draw their pages.
//   padtool [--device DIR] info MEMO
//   padtool [--device DIR] dump MEMO
//   padtool [--device DIR] create OUT --from JSON
//   padtool [--device DIR] render MEMO OUT.png [--page N | --all] [--zoom P]
#include "PadCommands.h"

#include "scribbo/Settings.h"

#include <platform/device.h>
#include <platform/display.h>
#include <platform/entry.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Usage(FILE* to) {
    std::fprintf(
        to,
        "usage: padtool [--device DIR] info MEMO\n"
        "       padtool [--device DIR] dump MEMO\n"
        "       padtool [--device DIR] create OUT --from JSON\n"
        "       padtool [--device DIR] render MEMO OUT.png [--page N | --all] [--zoom P]\n"
        "Paths are host paths; one beginning with a backslash is a device path below the\n"
        "device root (--device DIR, else $SCRIBBO_DEVICE, else ~/.local/share/scribbo/device).\n"
        "dump writes JSON to standard output; create writes version 2.2 or 1 as the JSON says.\n"
        "render --all writes OUT-1.png, OUT-2.png, ... (one per page); --zoom 1 to 1000.\n");
}

// One line, whatever a hostile name or member held.
int Fail(int status, const std::string& reason) {
    std::string line = reason;
    for (char& c : line)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    std::fprintf(stderr, "padtool: %s\n", line.c_str());
    return status;
}

int UsageError(const std::string& reason) {
    return Fail(padtool::kExitUsage, reason + " (padtool --help shows the usage)");
}

bool ParseNumber(const std::string& text, int lo, int hi, int& value) {
    if (text.empty() || text.size() > 9)
        return false;
    int v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    if (v < lo || v > hi)
        return false;
    value = v;
    return true;
}

int Render(const std::vector<std::string>& args) {
    padtool::RenderRequest r;
    std::vector<std::string> files;
    bool pageGiven = false, zoomGiven = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--all") {
            if (r.all)
                return UsageError("--all is given twice");
            r.all = true;
        } else if (a == "--page" || a == "--zoom") {
            const bool page = a == "--page";
            if ((page && pageGiven) || (!page && zoomGiven))
                return UsageError(a + " is given twice");
            if (i + 1 >= args.size())
                return UsageError(a + " needs a number");
            if (!ParseNumber(args[i + 1], 1, page ? 99 : 1000, page ? r.page : r.zoom))
                return UsageError(page ? "--page takes a page number from 1 to 99"
                                       : "--zoom takes a percentage from 1 to 1000");
            (page ? pageGiven : zoomGiven) = true;
            ++i;
        } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
            return UsageError("unknown option " + a);
        } else {
            files.push_back(a);
        }
    }
    if (files.size() != 2)
        return UsageError("render takes MEMO and OUT.png");
    if (r.all && pageGiven)
        return UsageError("--page and --all cannot be used together");
    r.memo = files[0];
    r.out = files[1];
    std::string why;
    const int status = padtool::RunRender(r, why);
    return status ? Fail(status, why) : 0;
}

int Create(const std::vector<std::string>& args) {
    std::string out, from;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--from") {
            if (!from.empty())
                return UsageError("--from is given twice");
            if (i + 1 >= args.size() || args[i + 1].empty())
                return UsageError("--from needs a JSON file");
            from = args[++i];
        } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
            return UsageError("unknown option " + a);
        } else if (out.empty()) {
            out = a;
        } else {
            return UsageError("create takes one OUT file");
        }
    }
    if (out.empty() || from.empty())
        return UsageError("create takes OUT and --from JSON");
    std::string why;
    const int status = padtool::RunCreate(out, from, why);
    return status ? Fail(status, why) : 0;
}

} // namespace

int main(int argc, char** argv) {
    plat::StartOptions options;
    std::vector<std::string> args;
    std::string error;
    switch (plat::ParseStartOptions(argc, argv, &options, &args, &error)) {
        case plat::StartAction::Help:
            Usage(stdout);
            return 0;
        case plat::StartAction::Fail:
            return UsageError(error);
        case plat::StartAction::Run:
            break;
    }
    if (!options.scriptPath.empty())
        return UsageError("--script is not an option of padtool");
    if (args.empty())
        return UsageError("a command is missing");
    const std::string command = args[0];
    if (command == "help") {
        Usage(stdout);
        return 0;
    }
    if (command != "info" && command != "dump" && command != "create" && command != "render")
        return UsageError("unknown command " + command);
    if ((command == "info" || command == "dump") && args.size() != 2)
        return UsageError(command + " takes one MEMO");

    if (!options.deviceDir.empty() && !plat::SetDeviceRoot(options.deviceDir))
        return Fail(padtool::kExitFile, "cannot use " + options.deviceDir + " as the device root");
    // Memos are read as the program reads them: its default settings on its screen. The
    // device's registry is neither read nor changed.
    plat::StartHeadless(options.screenWidth, options.screenHeight);
    InitDefaultSettings();

    std::string why;
    int status = 0;
    if (command == "info")
        status = padtool::RunInfo(args[1], why);
    else if (command == "dump")
        status = padtool::RunDump(args[1], why);
    else if (command == "create")
        return Create(args);
    else
        return Render(args);
    return status ? Fail(status, why) : 0;
}
