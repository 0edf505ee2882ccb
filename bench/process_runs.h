#pragma once

#include <optional>
#include <string>
#include <vector>

namespace brenvale::bench {

// One run of one or more programs, one after the other, each in a fresh process.
struct ProcessRun {
    double ms = 0;          // from the first start to the end of the last
    double peakMb = 0;      // the largest resident set of any of them
    bool succeeded = true;  // every one exited with 0
    std::string output;     // what the last one wrote to standard output
    double startedAt = 0;   // MonotonicMs() at the first start
    double endedAt = 0;     // MonotonicMs() once the last has ended
};

using Command = std::vector<std::string>;

ProcessRun RunProcesses(const std::vector<Command>& commands);

// The median of a set of runs, and the peak memory of the median run.
struct Median {
    double ms = 0;
    double peakMb = 0;
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
