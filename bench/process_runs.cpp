#include "process_runs.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>

extern char** environ;

namespace brenvale::bench {

double MonotonicMs() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

namespace {

// Starts command with its standard output going to a pipe and returns its pid.
pid_t Start(const Command& command, int* outFd) {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    std::vector<char*> argv;
    for (const std::string& arg : command) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    int error = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (error != 0) {
        ::close(pipeFds[0]);
        throw std::runtime_error("cannot start " + command[0]);
    }
    *outFd = pipeFds[0];
    return pid;
}

// Reads outFd to its end into output; false when the deadline passed first. In pieces as big
// as a pipe holds: a command that writes megabytes must not wait on this reader, whose time
// would be counted as the command's.
bool ReadUntilEnd(int outFd, std::string* output, size_t* lines, double deadline) {
    std::vector<char> buffer(size_t{1} << 16);
    for (;;) {
        double left = deadline - MonotonicMs();
        if (left <= 0) {
            return false;
        }
        pollfd p{outFd, POLLIN, 0};
        int ready = ::poll(&p, 1, static_cast<int>(std::min(left, 1000.0)) + 1);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            continue;
        }
        ssize_t n = ::read(outFd, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return true;
        }
        const char* data = buffer.data();
        *lines += static_cast<size_t>(std::count(data, data + n, '\n'));
        output->append(data, std::min(static_cast<size_t>(n), kKeptOutput - output->size()));
    }
}

}  // namespace

ProcessRun RunProcesses(const std::vector<Command>& commands, std::chrono::milliseconds limit) {
    ProcessRun run;
    double start = MonotonicMs();
    for (const Command& command : commands) {
        int outFd = -1;
        pid_t pid = Start(command, &outFd);
        std::string output;
        double deadline = MonotonicMs() + static_cast<double>(limit.count());
        size_t lines = 0;
        bool ended = ReadUntilEnd(outFd, &output, &lines, deadline);
        ::close(outFd);
        int status = 0;
        struct rusage usage {};
        // Also a process that closed its output may still hang.
        while (ended && ::wait4(pid, &status, WNOHANG, &usage) == 0) {
            if (MonotonicMs() > deadline) {
                ended = false;
                break;
            }
            ::usleep(2000);
        }
        if (!ended) {
            ::kill(pid, SIGKILL);
            ::wait4(pid, &status, 0, &usage);
        }
        run.peakMb = std::max(run.peakMb, static_cast<double>(usage.ru_maxrss) / 1024.0);
        for (const timeval& t : {usage.ru_utime, usage.ru_stime}) {
            run.cpuMs +=
                static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_usec) / 1000.0;
        }
        run.succeeded = run.succeeded && ended && WIFEXITED(status) && WEXITSTATUS(status) == 0;
        run.output = std::move(output);
        run.outputLines = lines;
        if (!ended) {
            run.timedOut = true;
            break;
        }
    }
    run.startedAt = start;
    run.endedAt = MonotonicMs();
    run.ms = run.endedAt - start;
    return run;
}

ProcessRun RunOrFail(const std::vector<Command>& commands) {
    ProcessRun run = RunProcesses(commands);
    if (!run.succeeded) {
        std::string line;
        for (const Command& command : commands) {
            for (const std::string& arg : command) {
                line += (line.empty() ? "" : " ") + arg;
            }
            line += ";";
        }
        std::fprintf(
            stderr, "benchmark stopped: %s %s\n", line.c_str(),
            run.timedOut ? "ran too long and was killed (a question nobody answers?)" : "failed");
        std::exit(1);
    }
    return run;
}

PrivateXdgFolders::PrivateXdgFolders() {
    std::string pattern = (std::filesystem::temp_directory_path() / "brenvale-xdg-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        throw std::runtime_error("cannot make a folder for the XDG folders");
    }
    root_ = pattern;
    for (const char* name : {"state", "config", "runtime"}) {
        ::mkdir((root_ + "/" + name).c_str(), 0700);
    }
    ::setenv("XDG_STATE_HOME", (root_ + "/state").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (root_ + "/config").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", (root_ + "/runtime").c_str(), 1);
}

PrivateXdgFolders::~PrivateXdgFolders() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
}

std::optional<RunOptions> ParseRunOptions(int argc, char** argv, const char* program) {
    RunOptions options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
            options.runs = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--ten-times") == 0) {
            options.tenTimes = true;
        } else {
            std::fprintf(stderr, "usage: %s [--runs N] [--ten-times]\n", program);
            return std::nullopt;
        }
    }
    return options;
}

Median MedianOf(std::vector<ProcessRun> runs) {
    std::sort(runs.begin(), runs.end(),
              [](const ProcessRun& a, const ProcessRun& b) { return a.ms < b.ms; });
    Median m;
    if (runs.empty()) {
        return m;
    }
    const ProcessRun& middle = runs[runs.size() / 2];
    m.ms = middle.ms;
    m.peakMb = middle.peakMb;
    std::vector<double> cpu;
    for (const ProcessRun& r : runs) {
        m.succeeded = m.succeeded && r.succeeded;
        cpu.push_back(r.cpuMs);
    }
    std::nth_element(cpu.begin(), cpu.begin() + static_cast<long>(cpu.size() / 2), cpu.end());
    m.cpuMs = cpu[cpu.size() / 2];
    return m;
}

}  // namespace brenvale::bench
