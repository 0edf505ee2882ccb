#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char** environ;

namespace brenvale::test {

// Starts a program (looked up on PATH) as another process; -1 when it cannot be started.
inline pid_t StartProcess(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    return ::posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) == 0 ? pid : -1;
}

// Its exit code once it has ended; -1 when it did not end normally.
inline int WaitProcess(pid_t pid) {
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs a program to its end: another program of the user at work on the same files.
inline int RunProcess(const std::vector<std::string>& args) {
    return WaitProcess(StartProcess(args));
}

}  // namespace brenvale::test
