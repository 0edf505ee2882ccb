#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace brenvale::bench {

// One run of one or more programs, one after the other, each in a fresh process.
struct ProcessRun {
    double ms = 0;          // from the first start to the end of the last
    double peakMb = 0;      // the largest resident set of any of them
    double cpuMs = 0;       // the processor time (user and system) of all of them
    bool succeeded = true;  // every one exited with 0
    bool timedOut = false;  // one ran past the time limit and was killed
    // What the last one wrote to standard output: its first kKeptOutput bytes, and the lines
    // of all of it. Megabytes kept here would be the runner's fresh memory, filled while the
    // command waits on a full pipe, and counted as the command's time.
    std::string output;
    size_t outputLines = 0;
    double startedAt = 0;  // MonotonicMs() at the first start
    double endedAt = 0;    // MonotonicMs() once the last has ended
};

using Command = std::vector<std::string>;

inline constexpr size_t kKeptOutput = size_t{1} << 20;

// How long one process may run. A benchmark's process that waits for a question nobody
// answers must end the run, not hang it.
inline constexpr std::chrono::seconds kProcessTimeLimit{600};

// Runs the commands one after the other; one that runs past limit is killed, its run marked
// timedOut and not succeeded, and the rest are not started.
ProcessRun RunProcesses(const std::vector<Command>& commands,
                        std::chrono::milliseconds limit = kProcessTimeLimit);

// RunProcesses for a benchmark: a process that fails or is killed ends the benchmark with a
// message on standard error instead of giving figures.
ProcessRun RunOrFail(const std::vector<Command>& commands);

// XDG state, config and runtime folders of their own for this process and every one it starts,
// removed with the object: the editor then finds no recovery copy, lock or settings left by a
// user's editor or an earlier run, and never asks a question about them.
class PrivateXdgFolders {
public:
    PrivateXdgFolders();
    ~PrivateXdgFolders();
    PrivateXdgFolders(const PrivateXdgFolders&) = delete;
    PrivateXdgFolders& operator=(const PrivateXdgFolders&) = delete;

    const std::string& root() const { return root_; }

private:
    std::string root_;
};

// The median of a set of runs, and the peak memory of the median run.
struct Median {
    double ms = 0;
    double peakMb = 0;
    double cpuMs = 0;  // the median of the processor times, which a busy machine bends less
    bool succeeded = true;
};
Median MedianOf(std::vector<ProcessRun> runs);

double MonotonicMs();

// The arguments both benchmarks of fresh processes take: [--runs N] [--ten-times].
struct RunOptions {
    int runs = 9;
    bool tenTimes = false;
};
// Empty, after a usage line on standard error, for anything else.
std::optional<RunOptions> ParseRunOptions(int argc, char** argv, const char* program);

}  // namespace brenvale::bench
