// What a user of brenvale-cli waits for: every operation in a fresh process with the default
// allocator, the median of several runs, beside a baseline on the same file in the same run
// (wc -l for reading, cp and then fsync for writing), with the peak memory of each process
// against the document's size (an import's against its input file's): the text, Markdown and
// OPML exports and imports, and a PDF of a Topic of 1,000 Items; and the same document with an
// emoji in every tenth Item opened beside it without.
//
//   process_bench [--runs N] [--ten-times]
//
// --ten-times adds the same table for a document ten times the size (1,000,000 Topics,
// 10,000,000 Items), generated here.
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "bench_support.h"
#include "process_runs.h"

namespace brenvale::bench {
namespace {

struct Row {
    std::string name;
    std::vector<Command> measured;
    std::string baselineName;
    std::vector<Command> baseline;
    double goal;        // times the baseline
    double memoryGoal;  // times the file the row reads (the input of an import), 0 for none
    double fileMb = 0;  // that file's size when it is not the document
};

struct Result {
    Median measured;
    Median baseline;
};

// Runs every row `runs` times, measured and baseline taking turns to go first, after one
// run of each that warms the page cache and the program files.
std::vector<Result> RunRows(const std::vector<Row>& rows, int runs) {
    std::vector<Result> results;
    for (const Row& row : rows) {
        RunProcesses(row.measured);
        RunProcesses(row.baseline);
        std::vector<ProcessRun> measured;
        std::vector<ProcessRun> baseline;
        for (int i = 0; i < runs; ++i) {
            if (i % 2 == 0) {
                measured.push_back(RunProcesses(row.measured));
                baseline.push_back(RunProcesses(row.baseline));
            } else {
                baseline.push_back(RunProcesses(row.baseline));
                measured.push_back(RunProcesses(row.measured));
            }
        }
        results.push_back({MedianOf(measured), MedianOf(baseline)});
    }
    return results;
}

void PrintTable(const std::vector<Row>& rows, const std::vector<Result>& results, double fileMb) {
    std::printf("%-22s %9s  %-11s %9s %7s %5s   %8s %7s %5s  %8s %8s\n", "operation", "median",
                "baseline", "median", "ratio", "goal", "peak MB", "x file", "goal", "cpu",
                "base cpu");
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        const Result& r = results[i];
        double ratio = r.measured.ms / r.baseline.ms;
        double memory = r.measured.peakMb / (row.fileMb > 0 ? row.fileMb : fileMb);
        char goal[16] = "-";
        if (row.goal > 0) {
            std::snprintf(goal, sizeof goal, "%gx", row.goal);
        }
        char memoryGoal[16] = "-";
        if (row.memoryGoal > 0) {
            std::snprintf(memoryGoal, sizeof memoryGoal, "%.1fx", row.memoryGoal);
        }
        std::printf(
            "%-22s %7.1fms  %-11s %7.1fms %6.2fx %5s%s %8.1f %6.2fx %5s%s %6.0fms %6.0fms%s\n",
            row.name.c_str(), r.measured.ms, row.baselineName.c_str(), r.baseline.ms, ratio, goal,
            row.goal > 0 && ratio > row.goal ? "!" : " ", r.measured.peakMb, memory, memoryGoal,
            row.memoryGoal > 0 && memory > row.memoryGoal ? "!" : " ", r.measured.cpuMs,
            r.baseline.cpuMs,
            r.measured.succeeded && r.baseline.succeeded ? "" : "  (a run failed)");
    }
    std::printf(
        "(! marks a goal missed; an import's memory is counted against its input file; cpu is the\n"
        " median processor time, user and system, which a busy machine stretches less than the\n"
        " time on the clock)\n");
}

// The same document with an emoji (as the document keeps it, a character reference) at the
// end of every tenth Item.
void WriteWithEmoji(const std::string& from, const std::string& to) {
    std::FILE* in = std::fopen(from.c_str(), "rb");
    std::FILE* out = std::fopen(to.c_str(), "wb");
    std::vector<char> line(1 << 16);
    size_t items = 0;
    while (std::fgets(line.data(), static_cast<int>(line.size()), in)) {
        std::string_view text(line.data());
        size_t tabs = text.find_first_not_of('\t');
        bool item = tabs != std::string_view::npos && text[tabs] == '\b';
        if (item && ++items % 10 == 0 && text.ends_with("\r\n")) {
            text.remove_suffix(2);
            std::fwrite(text.data(), 1, text.size(), out);
            std::fputs("&#x1F600;\r\n", out);
        } else {
            std::fwrite(text.data(), 1, text.size(), out);
        }
    }
    std::fclose(in);
    std::fclose(out);
}

void Measure(const std::string& folder, const std::string& name, int topics, int runs) {
    std::string cli = BRENVALE_CLI_PATH;
    std::string doc = folder + "/" + name + ".bnv";
    std::string clip = folder + "/" + name + "-clip.txt";
    WriteGeneratedDocument(doc, topics, 10);
    {
        // The tree clipboard text of the same tree: the document without its geometry lines.
        std::string geometry = GenerateDocumentBytes(0, 0);
        std::FILE* in = std::fopen(doc.c_str(), "rb");
        std::FILE* out = std::fopen(clip.c_str(), "wb");
        std::vector<char> buffer(1 << 20);
        std::fseek(in, static_cast<long>(geometry.size()), SEEK_SET);
        for (size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), in)) > 0;) {
            std::fwrite(buffer.data(), 1, n, out);
        }
        std::fclose(in);
        std::fclose(out);
    }
    double fileMb = static_cast<double>(std::filesystem::file_size(doc)) / (1024.0 * 1024.0);
    std::string copy = folder + "/copy";
    auto copyAndSync = [&](const std::string& from) {
        return std::vector<Command>{{"cp", from, copy}, {"sync", copy}};
    };
    std::vector<Row> rows = {
        {"open + stats", {{cli, "stats", doc}}, "wc -l", {{"wc", "-l", doc}}, 5, 1.6},
        {"open + resave",
         {{cli, "resave", doc, folder + "/out.bnv"}},
         "cp + fsync",
         copyAndSync(doc),
         3,
         1.6},
        {"open + export",
         {{cli, "export", doc, folder + "/out.txt"}},
         "cp + fsync",
         copyAndSync(doc),
         3,
         1.6},
        {"import-text (paste)",
         {{cli, "import-text", clip, folder + "/pasted.bnv"}},
         "cp + fsync",
         copyAndSync(clip),
         0,
         0},
    };
    // The other formats: exports beside a copy of the document, imports beside a copy of the
    // file they read (written once here by the export).
    std::string pdfDoc = folder + "/" + name + "-1000.bnv";
    WriteGeneratedDocument(pdfDoc, 1, 1000);
    for (const char* format : {"md", "opml"}) {
        std::string file = folder + "/" + name + "." + format;
        RunProcesses({{cli, "export", "--format", format, doc, file}});
        rows.push_back({std::string("open + export ") + format,
                        {{cli, "export", "--format", format, doc, folder + "/out." + format}},
                        "cp + fsync",
                        copyAndSync(doc),
                        4,
                        1.6});
        rows.push_back({std::string("import ") + format,
                        {{cli, "import", "--format", format, file, folder + "/in.bnv"}},
                        "cp + fsync",
                        copyAndSync(file),
                        6,
                        3,
                        static_cast<double>(std::filesystem::file_size(file)) / (1024.0 * 1024.0)});
    }
    // Characters beyond CP932 cost an open nothing but their bytes.
    std::string emojiDoc = folder + "/" + name + "-emoji.bnv";
    WriteWithEmoji(doc, emojiDoc);
    rows.push_back({"open + stats (emoji)",
                    {{cli, "stats", emojiDoc}},
                    "no emoji",
                    {{cli, "stats", doc}},
                    1.2,
                    0});
    rows.push_back({"open + resave (emoji)",
                    {{cli, "resave", emojiDoc, folder + "/out.bnv"}},
                    "no emoji",
                    {{cli, "resave", doc, folder + "/out.bnv"}},
                    1.2,
                    0});
    rows.push_back({"pdf (1,000 Items)",
                    {{cli, "pdf", pdfDoc, folder + "/out.pdf"}},
                    "cp + fsync",
                    copyAndSync(pdfDoc),
                    0,
                    0});
    ProcessRun stats = RunProcesses({{cli, "stats", doc}});
    std::string counts = stats.output;
    for (char& c : counts) {
        c = c == '\n' ? ' ' : c;
    }
    std::printf("\n%s: %.1f MB (%s)\n", doc.c_str(), fileMb, counts.c_str());
    PrintTable(rows, RunRows(rows, runs), fileMb);
}

}  // namespace
}  // namespace brenvale::bench

int main(int argc, char** argv) {
    using namespace brenvale::bench;
    std::optional<RunOptions> options = ParseRunOptions(argc, argv, "process_bench");
    if (!options) {
        return 2;
    }
    int runs = options->runs;
    bool tenTimes = options->tenTimes;
    std::string pattern =
        (std::filesystem::temp_directory_path() / "brenvale-cold-XXXXXX").string();
    std::string folder = ::mkdtemp(pattern.data());
    std::printf(
        "Cold processes: each command a fresh process with the default allocator, median of "
        "%d runs,\nbeside its baseline on the same file in the same run.\n",
        runs);
    Measure(folder, "big", 100000, runs);
    if (tenTimes) {
        Measure(folder, "ten-times", 1000000, runs);
    }
    std::filesystem::remove_all(folder);
    return 0;
}
