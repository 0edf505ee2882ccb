// brenvale-cli agenda as a user waits for it: fresh processes on the 30 MB document with a due
// on every tenth Item, the median of several runs beside wc -l of the same file in the same
// run, with the peak memory of each.
//
//   agenda_bench [--runs N] [--ten-times]
//
// --ten-times adds the same for a document ten times the size.
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_support.h"
#include "dated_document.h"
#include "document/document_reader.h"
#include "process_runs.h"
#include "schedule/agenda.h"
#include "schedule/calendar_date.h"
#include "schedule/tag_index.h"

namespace brenvale::bench {
namespace {

constexpr Date kToday = kDatedToday;

// What the window asks of the same document once it is open: the agenda, the tag index and a
// filter by one tag, each the fastest of five in this process.
void MeasureInProcess(const std::string& doc) {
    ReadResult read = ReadDocument(doc, {});
    const Document& document = *read.document;
    const ListKindOptions list;
    auto fastest = [](auto&& fn) {
        double best = 1e9;
        for (int i = 0; i < 5; ++i) {
            double start = MonotonicMs();
            fn();
            best = std::min(best, MonotonicMs() - start);
        }
        return best;
    };
    size_t entries = 0;
    size_t tags = 0;
    size_t matches = 0;
    double agenda = fastest([&] { entries = CollectAgenda(document, kToday, list).size(); });
    double index = fastest([&] { tags = IndexTags(document, list).tags.size(); });
    double filter = fastest([&] {
        matches = FilterByTags(document, {{"t3"}, {}, false}).items.size();
    });
    std::printf(
        "in the open document: agenda %.1f ms (%zu Items), tag index %.1f ms (%zu tags), "
        "filter by one tag %.1f ms (%zu Items)\n",
        agenda, entries, index, tags, filter, matches);
}

void Measure(const std::string& folder, const std::string& name, int topics, int runs) {
    const std::string cli = BRENVALE_CLI_PATH;
    const std::string doc = folder + "/" + name + ".bnv";
    WriteDatedDocument(doc, topics);
    const std::string today = FormatIsoDate(kToday);
    struct Row {
        const char* name;
        Command measured;
        double goal;  // times the baseline; 0: none
    };
    const Row rows[] = {
        {"agenda (7 days)", {cli, "agenda", "--today", today, doc}, 5},
        {"agenda (every due)", {cli, "agenda", "--today", today, "--days", "100000", doc}, 5},
        {"agenda --tag (none)", {cli, "agenda", "--today", today, "--tag", "x", doc}, 5},
        // What every command of the program spends before it reads anything.
        {"start only (--help)", {cli, "--help"}, 0},
    };
    const Command baseline = {"wc", "-l", doc};
    double fileMb = static_cast<double>(std::filesystem::file_size(doc)) / (1024.0 * 1024.0);
    size_t lines = RunOrFail({rows[0].measured}).outputLines;
    std::printf("\n%s: %.1f MB, %zu lines printed by the first row\n", doc.c_str(), fileMb, lines);
    std::printf("%-22s %9s  %-8s %9s %7s %5s   %8s\n", "operation", "median", "baseline", "median",
                "ratio", "goal", "peak MB");
    for (const Row& row : rows) {
        RunOrFail({baseline});
        std::vector<ProcessRun> measured;
        std::vector<ProcessRun> base;
        // The output is dropped at once: a process started while this one holds megabytes of
        // it would be charged them as its peak memory.
        auto run = [](const Command& command, std::vector<ProcessRun>& into) {
            into.push_back(RunOrFail({command}));
            std::string().swap(into.back().output);
        };
        for (int i = 0; i < runs; ++i) {
            // Taking turns to go first, so that neither always finds the cache warmer.
            if (i % 2 == 0) {
                run(row.measured, measured);
                run(baseline, base);
            } else {
                run(baseline, base);
                run(row.measured, measured);
            }
        }
        Median m = MedianOf(measured);
        Median b = MedianOf(base);
        double ratio = m.ms / b.ms;
        char goal[16] = "-";
        if (row.goal > 0) {
            std::snprintf(goal, sizeof goal, "%.0fx", row.goal);
        }
        std::printf("%-22s %7.1fms  %-8s %7.1fms %6.2fx %5s%s %8.1f\n", row.name, m.ms, "wc -l",
                    b.ms, ratio, goal, row.goal > 0 && ratio > row.goal ? "!" : " ", m.peakMb);
    }
    std::printf("(! marks a goal missed)\n");
    MeasureInProcess(doc);
}

}  // namespace
}  // namespace brenvale::bench

int main(int argc, char** argv) {
    using namespace brenvale::bench;
    std::optional<RunOptions> options = ParseRunOptions(argc, argv, "agenda_bench");
    if (!options) {
        return 2;
    }
    std::string pattern =
        (std::filesystem::temp_directory_path() / "brenvale-agenda-XXXXXX").string();
    std::string folder = ::mkdtemp(pattern.data());
    std::printf(
        "Cold processes: each command a fresh process, median of %d runs, beside wc -l of the "
        "same file.\n",
        options->runs);
    Measure(folder, "dated", 100000, options->runs);
    if (options->tenTimes) {
        Measure(folder, "dated-ten-times", 1000000, options->runs);
    }
    std::filesystem::remove_all(folder);
    return 0;
}
