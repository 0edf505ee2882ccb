// Merging and comparing versions of the 30 MB document in fresh processes of brenvale-cli,
// beside resaving it in the same run: merge of two versions with 100 scattered edits each
// (ticks, edited, added and deleted Items, renamed Topics) against their ancestor, and the
// diff of one of them against the ancestor. The median of N runs, with peak memory.
//
//   merge_bench [--runs N] [--ten-times]
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "bench_support.h"
#include "common/cp932.h"
#include "process_runs.h"

namespace brenvale::bench {
namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Two versions of the document at base, each with `edits` changes at lines chosen at random
// and never the same line for both.
void MakeVersions(const std::string& base, const std::string& ours, const std::string& theirs,
                  int edits) {
    std::string bytes = ReadAll(base);
    std::vector<std::string_view> lines;
    for (size_t at = 0; at < bytes.size();) {
        size_t end = bytes.find("\r\n", at);
        lines.emplace_back(bytes.data() + at, end - at);
        at = end + 2;
    }
    std::mt19937 rng(2024);
    std::set<size_t> chosen;
    while (chosen.size() < static_cast<size_t>(2 * edits)) {
        size_t line = 5 + rng() % (lines.size() - 5);  // past the geometry lines
        chosen.insert(line);
    }
    std::vector<size_t> order(chosen.begin(), chosen.end());
    std::shuffle(order.begin(), order.end(), rng);
    const std::string changed = *Utf8ToCp932("改");
    for (int side = 0; side < 2; ++side) {
        std::set<size_t> mine(order.begin() + side * edits, order.begin() + (side + 1) * edits);
        std::string out;
        out.reserve(bytes.size() + 4096);
        for (size_t i = 0; i < lines.size(); ++i) {
            std::string line(lines[i]);
            if (mine.count(i)) {
                size_t tabs = line.find_first_not_of('\t');
                bool item = tabs < line.size() && line[tabs] == '\x08';
                unsigned kind = static_cast<unsigned>(i % 4);
                if (!item) {
                    line.insert(line.size() - 4, changed);  // renamed, before "@NN@"
                } else if (kind == 0) {
                    line[tabs + 2] = line[tabs + 2] == '\xA1' ? '\xA0' : '\xA1';  // ticked
                } else if (kind == 1) {
                    line += changed;  // edited
                } else if (kind == 2) {
                    continue;  // deleted
                } else {
                    out += line + "\r\n";
                    line =
                        line.substr(0, tabs + 2) + "\xA0" + changed + std::to_string(i);  // added
                }
            }
            out += line + "\r\n";
        }
        WriteAll(side == 0 ? ours : theirs, out);
    }
}

struct Row {
    std::string name;
    Command command;
    double goal;  // times the resave
};

void Measure(const std::string& folder, const std::string& name, int topics, int runs) {
    std::string cli = BRENVALE_CLI_PATH;
    std::string base = folder + "/" + name + ".bnv";
    std::string ours = folder + "/" + name + "-ours";
    std::string theirs = folder + "/" + name + "-theirs";
    WriteGeneratedDocument(base, topics, 10);
    // In a child of its own: the processes measured would otherwise start with this one's
    // high-water mark of memory, which the kernel hands on to a spawned child.
    pid_t child = ::fork();
    if (child == 0) {
        MakeVersions(base, ours, theirs, 100);
        std::_Exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "merge_bench: the versions could not be made\n");
        std::exit(1);
    }
    double fileMb = static_cast<double>(std::filesystem::file_size(base)) / (1024.0 * 1024.0);
    std::string out = folder + "/out.bnv";
    Command resave{cli, "resave", base, out};
    std::vector<Row> rows = {
        {"merge (100 + 100 edits)", {cli, "merge", base, ours, theirs, "-o", out}, 5},
        // diff exits with 1 for versions that differ.
        {"diff (100 edits)",
         {"sh", "-c", "\"$0\" diff \"$1\" \"$2\" >/dev/null; [ $? -eq 1 ]", cli, base, ours},
         3},
    };
    std::printf("\n%s: %.1f MB, each version with 100 edits\n", base.c_str(), fileMb);
    std::printf("%-26s %9s %9s %7s %5s   %8s %7s %5s   %s\n", "operation", "median", "resave",
                "ratio", "goal", "peak MB", "x file", "goal", "processor time (ratio)");
    for (const Row& row : rows) {
        RunOrFail({row.command});  // warms the page cache and checks it works
        RunOrFail({resave});
        std::vector<ProcessRun> measured, baseline;
        for (int i = 0; i < runs; ++i) {
            // Taking turns to go first, so that neither always meets a busier machine.
            if (i % 2 == 0) {
                measured.push_back(RunOrFail({row.command}));
                baseline.push_back(RunOrFail({resave}));
            } else {
                baseline.push_back(RunOrFail({resave}));
                measured.push_back(RunOrFail({row.command}));
            }
        }
        Median m = MedianOf(measured);
        Median b = MedianOf(baseline);
        double ratio = m.ms / b.ms;
        double memory = m.peakMb / fileMb;
        bool memoryGoal = row.goal == 5;
        // Processor time beside the wall time: a busy machine bends it less.
        std::printf(
            "%-26s %7.1fms %7.1fms %6.2fx %4.0fx%s %8.1f %6.2fx %5s%s  %.0f / %.0f ms (%.2fx)  "
            "(resave %.1f MB)\n",
            row.name.c_str(), m.ms, b.ms, ratio, row.goal, ratio > row.goal ? "!" : " ", m.peakMb,
            memory, memoryGoal ? "4x" : "-", memoryGoal && memory > 4 ? "!" : " ", m.cpuMs, b.cpuMs,
            m.cpuMs / b.cpuMs, b.peakMb);
    }
    std::printf("(! marks a goal missed)\n");
}

}  // namespace
}  // namespace brenvale::bench

int main(int argc, char** argv) {
    using namespace brenvale::bench;
    std::optional<RunOptions> options = ParseRunOptions(argc, argv, "merge_bench");
    if (!options) {
        return 2;
    }
    std::string pattern =
        (std::filesystem::temp_directory_path() / "brenvale-merge-XXXXXX").string();
    std::string folder = ::mkdtemp(pattern.data());
    std::printf(
        "Fresh processes of brenvale-cli, median of %d runs, beside resave of the same file in "
        "the same run.\n",
        options->runs);
    Measure(folder, "big", 100000, options->runs);
    if (options->tenTimes) {
        Measure(folder, "ten-times", 1000000, options->runs);
    }
    std::filesystem::remove_all(folder);
    return 0;
}
