// brenvale-cli's PDF in fresh processes: a generated document (10,000 Topics of 10 Items,
// 3 MB, by default) and a chain of Topics each under the one before (2,000 levels by
// default), each beside cp and then fsync of the same file in the same run, with the peak
// memory against the document file's size, the median of N runs (default 3).
//
//   pdf_bench [--runs N] [--topics N] [--depth N] [--cli PATH]
//
// --cli measures another build of the tool on the same documents.
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench_support.h"
#include "process_runs.h"

namespace brenvale::bench {
namespace {

struct Options {
    int runs = 3;
    int topics = 10000;
    int depth = 2000;
    std::string cli = BRENVALE_CLI_PATH;
};

// A chain of depth Topics, each with one Item, each a level below the one before.
void WriteChain(const std::string& path, int depth) {
    std::ofstream out(path, std::ios::binary);
    for (int level = 0; level < depth; ++level) {
        std::string tabs(static_cast<size_t>(level), '\t');
        out << tabs << "Topic " << level << "\r\n"
            << tabs << "\x08\x81\xA0item of " << level << "\r\n";
    }
}

void Row(const char* name, const Options& options, const std::string& doc,
         const std::string& folder) {
    const double fileMb = static_cast<double>(std::filesystem::file_size(doc)) / (1024.0 * 1024.0);
    const std::string copy = folder + "/copy";
    std::vector<ProcessRun> measured;
    std::vector<ProcessRun> baseline;
    for (int i = 0; i < options.runs; ++i) {
        measured.push_back(RunProcesses({{options.cli, "pdf", doc, folder + "/out.pdf"}}));
        baseline.push_back(RunProcesses({{"cp", doc, copy}, {"sync", copy}}));
    }
    Median m = MedianOf(measured);
    Median b = MedianOf(baseline);
    std::printf("%-34s %6.1f MB %10.1f ms %8.1f ms %8.1fx %8.1f MB %6.2fx%s\n", name, fileMb, m.ms,
                b.ms, m.ms / b.ms, m.peakMb, m.peakMb / fileMb,
                m.succeeded ? "" : "  (a run failed)");
}

}  // namespace
}  // namespace brenvale::bench

int main(int argc, char** argv) {
    using namespace brenvale::bench;
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string name = argv[i];
        if (name == "--runs") {
            options.runs = std::max(1, std::atoi(argv[i + 1]));
        } else if (name == "--topics") {
            options.topics = std::max(1, std::atoi(argv[i + 1]));
        } else if (name == "--depth") {
            options.depth = std::max(1, std::atoi(argv[i + 1]));
        } else if (name == "--cli") {
            options.cli = argv[i + 1];
        } else {
            std::fprintf(stderr,
                         "usage: pdf_bench [--runs N] [--topics N] [--depth N] [--cli PATH]\n");
            return 2;
        }
    }
    if (argc % 2 == 0) {
        std::fprintf(stderr, "usage: pdf_bench [--runs N] [--topics N] [--depth N] [--cli PATH]\n");
        return 2;
    }
    std::string pattern = (std::filesystem::temp_directory_path() / "brenvale-pdf-XXXXXX").string();
    std::string folder = ::mkdtemp(pattern.data());
    std::printf("%s pdf, fresh processes, median of %d runs, beside cp + fsync of the same file\n",
                options.cli.c_str(), options.runs);
    std::printf("%-34s %9s %13s %11s %9s %11s %7s\n", "document", "file", "pdf", "cp+fsync",
                "ratio", "peak", "x file");
    std::string flat = folder + "/flat.bnv";
    WriteGeneratedDocument(flat, options.topics, 10);
    Row((std::to_string(options.topics) + " Topics of 10 Items").c_str(), options, flat, folder);
    std::string deep = folder + "/deep.bnv";
    WriteChain(deep, options.depth);
    Row((std::to_string(options.depth) + " levels").c_str(), options, deep, folder);
    std::filesystem::remove_all(folder);
    return 0;
}
