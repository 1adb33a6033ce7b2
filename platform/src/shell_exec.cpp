// ShellExecuteExW: a device program becomes a host process. The device path maps to a host
// file below the device root (the program files there are links to the real executables);
// a ".lnk" shortcut, the device's "<length>#<command line>" text, names the program and
// arguments to use. The child gets the same device root, so it sees the same files and
// registry.
#include <platform/device.h>
#include <platform/entry.h>
#include <platform/utf.h>
#include <platform/winbase.h>
#include <platform/winshell.h>
#include <platform/winstring.h>

#include <cerrno>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr int kMaxLinkDepth = 4;
constexpr std::streamsize kMaxLinkBytes = 4096;

bool EndsWithLnk(const std::u16string& path) {
    if (path.size() < 4)
        return false;
    std::u16string ext = path.substr(path.size() - 4);
    for (char16_t& c : ext)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char16_t>(c - 'A' + 'a');
    return ext == u".lnk";
}

std::u16string Trim(std::u16string s) {
    size_t a = s.find_first_not_of(u" \t\r\n");
    if (a == std::u16string::npos)
        return u"";
    size_t b = s.find_last_not_of(u" \t\r\n");
    return s.substr(a, b - a + 1);
}

// Reads a shortcut: its target and the arguments that come with it. False for a file that
// is not a shortcut.
bool ReadLink(const std::string& host, std::u16string* target, std::u16string* args) {
    std::ifstream f(host, std::ios::binary);
    if (!f)
        return false;
    std::string bytes(static_cast<size_t>(kMaxLinkBytes), '\0');
    f.read(bytes.data(), kMaxLinkBytes);
    bytes.resize(static_cast<size_t>(f.gcount()));
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        bytes.erase(0, 3);
    size_t hash = bytes.find('#');
    if (hash == std::string::npos || hash == 0)
        return false;
    for (size_t i = 0; i < hash; ++i)
        if (bytes[i] < '0' || bytes[i] > '9')
            return false;
    std::u16string line = plat::FromUtf8(bytes.substr(hash + 1));
    size_t br = line.find_first_of(u"\r\n");
    if (br != std::u16string::npos)
        line.resize(br);
    line = Trim(line);
    if (line.empty())
        return false;
    size_t end;
    if (line[0] == u'"') {
        end = line.find(u'"', 1);
        if (end == std::u16string::npos)
            return false;
        *target = line.substr(1, end - 1);
        ++end;
    } else {
        end = line.find(u' ');
        *target = line.substr(0, end);
    }
    *args = end < line.size() ? Trim(line.substr(end)) : u"";
    return !target->empty();
}

// The host file of a device program, following shortcuts.
DWORD Resolve(std::u16string file, std::u16string* linkArgs, std::string* host) {
    for (int depth = 0; depth <= kMaxLinkDepth; ++depth) {
        if (!file.empty() && file[0] != u'\\' && file[0] != u'/')
            file = u"\\Windows\\" + file; // a bare name is looked for where the device keeps
                                          // its programs
        if (!plat::DeviceToHostPath(file.c_str(), host))
            return ERROR_PATH_NOT_FOUND;
        struct stat st {};
        if (stat(host->c_str(), &st) != 0)
            return errno == ENOENT || errno == ENOTDIR ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED;
        if (!S_ISREG(st.st_mode))
            return ERROR_ACCESS_DENIED;
        if (!EndsWithLnk(file))
            return access(host->c_str(), X_OK) == 0 ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
        std::u16string target, args;
        if (!ReadLink(*host, &target, &args))
            return ERROR_FILE_NOT_FOUND; // a broken shortcut
        if (!args.empty())
            *linkArgs = linkArgs->empty() ? args : args + u" " + *linkArgs;
        file = target;
    }
    return ERROR_FILE_NOT_FOUND; // shortcuts pointing round in a circle
}

// The parameters as the started program's own parser will read them: words split at spaces
// and tabs, a word opened by a double quote running to its closing quote without the quotes.
// Each word becomes one argument, and the child's start-up joins them back into one command
// line, quoting the words that hold spaces.
std::vector<std::string> SplitParameters(const std::u16string& params) {
    std::vector<std::string> words;
    size_t i = 0;
    auto space = [&](size_t k) { return params[k] == u' ' || params[k] == u'\t'; };
    while (i < params.size()) {
        while (i < params.size() && space(i))
            ++i;
        if (i == params.size())
            break;
        std::u16string word;
        if (params[i] == u'"') {
            for (++i; i < params.size() && params[i] != u'"'; ++i)
                word += params[i];
            if (i < params.size())
                ++i;
        }
        for (; i < params.size() && !space(i); ++i)
            word += params[i];
        // A file this process reaches through a card of its own goes by its host path, which
        // the child maps again.
        std::string host;
        words.push_back(plat::MappedHostFile(word.c_str(), &host) ? host : plat::ToUtf8(word));
    }
    return words;
}

int ShellCode(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
            return SE_ERR_FNF;
        case ERROR_PATH_NOT_FOUND:
            return SE_ERR_PNF;
        case ERROR_NOT_ENOUGH_MEMORY:
            return SE_ERR_OOM;
        default:
            return SE_ERR_ACCESSDENIED;
    }
}

BOOL Fail(SHELLEXECUTEINFOW* info, DWORD error) {
    if (info)
        info->hInstApp = reinterpret_cast<HINSTANCE>(static_cast<LONG_PTR>(ShellCode(error)));
    SetLastError(error);
    return FALSE;
}

} // namespace

BOOL ShellExecuteExW(SHELLEXECUTEINFOW* info) {
    if (!info || info->cbSize != sizeof(SHELLEXECUTEINFOW) || !info->lpFile || !*info->lpFile)
        return Fail(info, ERROR_INVALID_PARAMETER);
    // Only running a program is offered: "open" and no verb mean that.
    if (info->lpVerb && *info->lpVerb && lstrcmpiW(info->lpVerb, u"open") != 0)
        return Fail(info, ERROR_INVALID_PARAMETER);
    std::u16string params = info->lpParameters ? info->lpParameters : u"";
    std::string host;
    if (DWORD error = Resolve(info->lpFile, &params, &host); error != ERROR_SUCCESS)
        return Fail(info, error);

    const plat::StartOptions& o = plat::GetStartOptions();
    std::vector<std::string> args{host, "--device", plat::DeviceRoot(), "--screen",
                                  std::to_string(o.screenWidth) + "x" +
                                      std::to_string(o.screenHeight)};
    if (o.headless)
        args.emplace_back("--headless");
    // A language chosen for this program holds for the programs it starts.
    if (!o.language.empty()) {
        args.emplace_back("--lang");
        args.push_back(o.language);
    }
    args.emplace_back("--");
    for (std::string& word : SplitParameters(params))
        args.push_back(std::move(word));
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    // The child starts with its own signal mask and default handlers, not the parent's.
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    int rc = posix_spawn(&pid, host.c_str(), nullptr, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    if (rc != 0)
        return Fail(info, rc == ENOMEM   ? ERROR_NOT_ENOUGH_MEMORY
                          : rc == ENOENT ? ERROR_FILE_NOT_FOUND
                                         : ERROR_ACCESS_DENIED);
    // Nobody waits for the program: a thread of ours collects it when it ends, so it leaves
    // no zombie behind.
    std::thread([pid] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    info->hInstApp = reinterpret_cast<HINSTANCE>(static_cast<LONG_PTR>(33));
    info->hProcess = nullptr;
    return TRUE;
}
