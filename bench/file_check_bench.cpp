// What following the document's file on disk costs, on the 30 MB document (100,000 Topics of
// 10 Items), each figure the median of fresh processes of this program:
//   - the look at the file when nothing happened to it (its metadata only);
//   - the look after a touch, whose new metadata makes it read and hash the bytes (goal:
//     under 50 ms);
//   - reading a changed file again in place of the unmodified document, beside opening it in
//     the same kind of process (goal: within 1.3 times the open), and beside opening it again
//     while it is open (which frees the old tree as the reload does).
//
//   file_check_bench [--runs N]
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "bench_support.h"
#include "common/file_io.h"
#include "editor/editor.h"
#include "process_runs.h"
#include "support/answering_host.h"

namespace brenvale::bench {
namespace {

namespace fs = std::filesystem;

// ---- The child: one operation in a fresh process, its time printed as "ms <value>".

void Print(double ms) {
    std::printf("ms %.3f\n", ms);
}

void TouchLater(const std::string& path) {
    struct stat st;
    ::stat(path.c_str(), &st);
    struct timespec times[2] = {st.st_atim, st.st_mtim};
    times[1].tv_sec += 1;
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

// mode: open, reopen, look, look-touched or reload; work: a copy of the document of this run;
// changed: the document with one Topic more.
int Child(const std::string& mode, const std::string& work, const std::string& changed) {
    AnsweringHost host;
    Editor editor(host, Settings{});
    if (mode == "open") {
        double t0 = MonotonicMs();
        editor.files().openDocument(work);
        Print(MonotonicMs() - t0);
        return 0;
    }
    editor.files().openDocument(work);
    if (mode == "reopen") {
        // The same document opened again while it is open: the read, and the old tree freed.
        double t0 = MonotonicMs();
        editor.files().openDocument(work);
        Print(MonotonicMs() - t0);
        return 0;
    }
    if (mode == "look-touched") {
        TouchLater(work);
    } else if (mode == "reload") {
        fs::copy_file(changed, work + ".new", fs::copy_options::overwrite_existing);
        fs::rename(work + ".new", work);
    }
    size_t topics = editor.document().topicCount();
    double t0 = MonotonicMs();
    editor.files().checkDocumentFile();
    double ms = MonotonicMs() - t0;
    if ((mode == "reload") != (editor.document().topicCount() != topics)) {
        std::fprintf(stderr, "file_check_bench: the look did not do what it should (%s)\n",
                     mode.c_str());
        return 1;
    }
    Print(ms);
    return 0;
}

// ---- The parent

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Runs a child of one mode on a fresh copy of the document: the time it printed.
double RunChild(const std::string& self, const std::string& mode, const std::string& doc,
                const std::string& changed) {
    std::string work = doc + ".work";
    fs::copy_file(doc, work, fs::copy_options::overwrite_existing);
    ProcessRun run = RunOrFail({{self, "--child", mode, work, changed}});
    size_t at = run.output.find("ms ");
    return at == std::string::npos ? 0 : std::atof(run.output.c_str() + at + 3);
}

// The medians of the children of each mode, run in turns so that a machine busy with other
// work meanwhile weighs on every mode alike; one run of each first warms the page cache.
std::vector<double> MedianChildren(const std::string& self, const std::vector<std::string>& modes,
                                   const std::string& doc, const std::string& changed, int runs) {
    std::vector<std::vector<double>> times(modes.size());
    for (const std::string& mode : modes) {
        RunChild(self, mode, doc, changed);
    }
    for (int i = 0; i < runs; ++i) {
        for (size_t m = 0; m < modes.size(); ++m) {
            // Each mode goes first in its turn.
            size_t which = (m + static_cast<size_t>(i)) % modes.size();
            times[which].push_back(RunChild(self, modes[which], doc, changed));
        }
    }
    std::vector<double> medians;
    for (std::vector<double>& t : times) {
        medians.push_back(Median(t));
    }
    return medians;
}

}  // namespace
}  // namespace brenvale::bench

int main(int argc, char** argv) {
    using namespace brenvale::bench;
    if (argc == 5 && std::strcmp(argv[1], "--child") == 0) {
        return Child(argv[2], argv[3], argv[4]);
    }
    std::optional<RunOptions> options = ParseRunOptions(argc, argv, "file_check_bench");
    if (!options) {
        return 2;
    }
    PrivateXdgFolders xdg;
    std::string folder = xdg.root() + "/documents";
    fs::create_directories(folder);
    std::string doc = folder + "/big.bnv";
    std::string changed = folder + "/changed.bnv";
    WriteGeneratedDocument(doc, 100000, 10);
    fs::copy_file(doc, changed);
    {
        std::FILE* out = std::fopen(changed.c_str(), "ab");
        std::fputs("Added@00@\r\n", out);
        std::fclose(out);
    }
    std::string self = fs::canonical("/proc/self/exe").string();
    int runs = options->runs;
    std::vector<double> m = MedianChildren(
        self, {"look", "look-touched", "open", "reopen", "reload"}, doc, changed, runs);
    double look = m[0];
    double touched = m[1];
    double open = m[2];
    double reopen = m[3];
    double reload = m[4];
    double mb = static_cast<double>(fs::file_size(doc)) / (1024.0 * 1024.0);
    std::printf("The %.1f MB document, fresh processes, median of %d:\n", mb, runs);
    std::printf("  look at the file, nothing changed:        %8.2f ms\n", look);
    std::printf("  look at the file after a touch (hashed):  %8.2f ms   (goal < 50 ms)%s\n",
                touched, touched < 50 ? "" : "  (goal missed)");
    std::printf("  open the document in a new editor:        %8.1f ms\n", open);
    std::printf("  open it again while it is open:           %8.1f ms\n", reopen);
    std::printf(
        "  read it again after a change:             %8.1f ms   %.2fx the open (goal 1.3x), "
        "%.2fx the open again%s\n",
        reload, reload / open, reload / reopen, reload / open <= 1.3 ? "" : "  (goal missed)");
    return 0;
}
