// Finding in the 1,000,000-Item document (100,000 Topics of 10 Items, 30 MB), and with
// --ten-times in the document ten times its size: one keystroke of the find bar whose only
// hit is the document's last Item, counting every hit of a two-character query, a query that
// almost matches everywhere (1,000 "a" and a "c" over 600 Items of a "c" and 2,000 "a"), and
// what the progress counts add to opening the document; each beside `grep -c` of the same
// bytes in a fresh process. The median of N runs (default 9).
//
//   find_bench [--runs N] [--ten-times]
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "bench_support.h"
#include "common/cp932.h"
#include "document/document_reader.h"
#include "document/document_search.h"
#include "editor/progress_counts.h"
#include "editor/view_notifier.h"
#include "process_runs.h"

namespace brenvale::bench {
namespace {

// Rows a first paint of the tree asks the progress of.
constexpr int kPaintedRows = 60;

template <typename Fn>
double MedianMs(int runs, Fn fn) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        double start = MonotonicMs();
        fn();
        ms.push_back(MonotonicMs() - start);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

std::string Cp932(const char* utf8) {
    return *Utf8ToCp932(utf8);
}

double GrepMs(const std::string& pattern, const std::string& path, int runs, std::string* out) {
    std::vector<ProcessRun> all;
    for (int i = 0; i < runs; ++i) {
        // grep exits with 1 when no line matches, which is an answer here too.
        all.push_back(RunOrFail({{"sh", "-c", "LC_ALL=C grep -c -- \"$1\" \"$2\" || [ $? = 1 ]",
                                  "sh", pattern, path}}));
    }
    *out = all.back().output;
    while (!out->empty() && out->back() == '\n') {
        out->pop_back();
    }
    return MedianOf(std::move(all)).ms;
}

void Measure(const std::string& folder, const char* name, int topics, int runs) {
    std::string path = folder + "/" + name + ".bnv";
    WriteGeneratedDocument(path, topics, 10);
    // Items that a long query almost matches everywhere, and the one Item the far search
    // finds: the last of the document.
    {
        std::ofstream out(path, std::ios::binary | std::ios::app);
        out << Cp932("ほぼ一致@00@\r\n");
        for (int i = 0; i < 600; ++i) {
            out << "\x08" << Cp932("□") << "c" << std::string(2000, 'a') << "\r\n";
        }
        out << Cp932("最後のツリー@00@\r\n\x08□北海道旅行の準備\r\n");
    }
    std::printf("\n%s document (%.0f MB, %d Topics):\n", name,
                static_cast<double>(std::filesystem::file_size(path)) / 1e6, topics + 1);

    std::unique_ptr<Document> doc;
    double open = MedianMs(runs, [&] { doc = ReadDocument(path, {}).document; });

    const std::string far = Cp932("北海道");
    const std::string common = Cp932("確認");
    size_t farHits = 0;
    double keystroke = MedianMs(runs, [&] {
        TextMatcher matcher(far, false);
        auto hit = FindForward(*doc, matcher, {});
        farHits = hit ? 1 : 0;
    });
    double keystrokeKana = MedianMs(runs, [&] {
        TextMatcher matcher(far, true);
        FindForward(*doc, matcher, {});
    });
    const std::string nearMiss = std::string(1000, 'a') + "c";
    double keystrokeNearMiss = MedianMs(runs, [&] {
        TextMatcher matcher(nearMiss, false);
        FindForward(*doc, matcher, {});
    });
    size_t commonHits = 0;
    double count = MedianMs(runs, [&] {
        TextMatcher matcher(common, false);
        commonHits = CountHits(*doc, matcher).total;
    });

    // The progress of the rows a first paint shows, on a document just read; and the whole
    // tree's, as for every top-level Topic folded.
    // Each run counts afresh (recountAll forgets what the run before counted).
    Settings settings;
    ViewNotifier views;
    ProgressCounts progress(settings, views);
    double firstPaint = MedianMs(runs, [&] {
        progress.recountAll();
        int rows = 0;
        for (Topic* t = doc->first(); t && rows < kPaintedRows; t = NextInTreeOrder(t), ++rows) {
            progress.text(*t);
        }
    });
    double everything = MedianMs(runs, [&] {
        progress.recountAll();
        for (size_t i = 0; i < doc->topLevelCount(); ++i) {
            progress.subtree(*doc->topLevel(i));
        }
    });

    std::string grepFar;
    std::string grepCommon;
    std::string grepNearMiss;
    double grepNearMissMs = GrepMs(nearMiss, path, runs, &grepNearMiss);
    double grepFarMs = GrepMs(far, path, runs, &grepFar);
    double grepCommonMs = GrepMs(common, path, runs, &grepCommon);

    std::printf("  %-40s %9.1f ms\n", "open (read the file)", open);
    std::printf("  %-40s %9.1f ms   grep -c: %7.1f ms  (found %zu; grep: %s lines)\n",
                "keystroke, the only hit at the end", keystroke, grepFarMs, farHits,
                grepFar.c_str());
    std::printf("  %-40s %9.1f ms\n", "  the same, hiragana = katakana", keystrokeKana);
    std::printf("  %-40s %9.1f ms   grep -c: %7.1f ms  (%zu hits; grep: %s lines)\n",
                "count every hit of a 2-character query", count, grepCommonMs, commonHits,
                grepCommon.c_str());
    std::printf("  %-40s %9.1f ms   grep -c: %7.1f ms  (grep: %s lines)\n",
                "keystroke, 1,000 a + c over near-misses", keystrokeNearMiss, grepNearMissMs,
                grepNearMiss.c_str());
    std::printf("  %-40s %9.2f ms   (%.2f%% of the open)\n", "progress of the first painted rows",
                firstPaint, 100 * firstPaint / open);
    std::printf("  %-40s %9.1f ms   (%.1f%% of the open)\n", "progress of every Topic, all folded",
                everything, 100 * everything / open);
}

}  // namespace
}  // namespace brenvale::bench

int main(int argc, char** argv) {
    using namespace brenvale::bench;
    std::optional<RunOptions> options = ParseRunOptions(argc, argv, "find_bench");
    if (!options) {
        return 2;
    }
    std::string pattern =
        (std::filesystem::temp_directory_path() / "brenvale-find-XXXXXX").string();
    std::string folder = ::mkdtemp(pattern.data());
    Measure(folder, "1,000,000-Item", 100000, options->runs);
    if (options->tenTimes) {
        Measure(folder, "ten-times", 1000000, options->runs);
    }
    std::filesystem::remove_all(folder);
    return 0;
}
