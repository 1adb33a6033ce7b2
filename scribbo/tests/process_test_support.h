// The program as a separate process, for tests that start, stop or kill it.
#pragma once

#include <filesystem>
#include <spawn.h>
#include <string>
#include <vector>

extern char** environ;

namespace apptest {

// The scribbo program built beside the test binary.
inline std::string ProgramPath() {
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "scribbo").string();
}

// Starts args[0] with the rest as its arguments; -1 when it could not be started.
inline pid_t Spawn(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    return pid;
}

} // namespace apptest
