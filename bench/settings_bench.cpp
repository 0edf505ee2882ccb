// The settings file at 200 MB: what the start-up reading, the close-time writing (of a window
// moved since the last close, and of one as it was) and the options dialog's OK cost, each in a
// fresh process (this program started again on the file), the median of several runs beside `cat`
// of the same file in the same run, with the peak memory of each process. Both the wall time and
// the processor time (user and system) are given: a busy machine bends the second less.
//
//   settings_bench [--runs N]
//
// The file holds the program's own sections around a big section it does not know (what a
// settings file shared with other tools, or grown by hand, may look like).
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/error.h"
#include "process_runs.h"
#include "settings/ini_file.h"
#include "settings/option_writes.h"
#include "settings/settings_file.h"

namespace brenvale::bench {
namespace {

constexpr double kFileMb = 200;

void WriteSettingsFile(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << "[Window]\r\nHeight=400\r\nWidth=600\r\nTop=10\r\nLeft=20\r\nState=1\r\n"
           "[Save]\r\nAutoSv=2\r\nInterval=300000\r\n[ToolBtn]\r\nFlat=0\r\n"
           "[Tree]\r\nWidth=150\r\nTreeColor=clWhite\r\n[History]\r\n";
    const auto target = static_cast<std::streamoff>(kFileMb * 1024 * 1024);
    for (long i = 0; out.tellp() < target; ++i) {
        out << "Entry" << i << "=/home/user/documents/project-" << i % 97 << "/notes-" << i
            << ".bnv|2024-01-01 12:00:00|opened\r\n";
    }
    out << "[List]\r\nKugiri=1\r\nCekBox=1\r\n[Recent]\r\n0=/a/b.bnv\r\n1=/a/c.bnv\r\n"
           "[ToolBar]\r\n00=FileNew\r\n01=-\r\n";
}

class NoTarget : public OptionTarget {
    void ApplySettings(const Settings&) override {}
    void ApplyAutoSaveInterval(int) override {}
    void ApplyColour(ViewColour, Colour) override {}
};

// The child process: one operation on the file.
int RunOperation(const std::string& operation, const std::string& path) {
    try {
        if (operation == "--read") {
            StartupSettings read = ReadSettings(path, 1024, 768);
            return read.layout.bounds.width == 600 ? 0 : 1;
        }
        if (operation == "--close" || operation == "--close-moved") {
            WindowLayout layout;
            layout.bounds = {10, 20, 640, 480};
            if (operation == "--close-moved") {
                // A window moved since the last close: the file is written every time.
                layout.bounds.left = static_cast<int>(::getpid() % 1000);
            }
            WriteClosingSettings(path, layout, {"/docs/a.bnv", "/docs/b.bnv"});
            return 0;
        }
        if (operation == "--options") {
            NoTarget target;
            IniFile ini(path);
            // An interval changed in the dialog: the file is written every time.
            OptionValues values;
            values.autoSaveInterval = 60000 * (1 + static_cast<int>(::getpid() % 30));
            WriteOptions(ini, values, Settings{}, target);
            return 0;
        }
    } catch (const Error& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 2;
}

void PrintRow(const char* name, const Median& measured, const Median& baseline, double fileMb) {
    std::printf("%-18s %9.1fms %9.1fms  cat %7.1fms %7.1fms   %8.1f MB %6.2fx%s\n", name,
                measured.ms, measured.cpuMs, baseline.ms, baseline.cpuMs, measured.peakMb,
                measured.peakMb / fileMb,
                measured.succeeded && baseline.succeeded ? "" : "  (a run failed)");
}

}  // namespace
}  // namespace brenvale::bench

int main(int argc, char** argv) {
    using namespace brenvale::bench;
    if (argc == 3 && argv[1][0] == '-' && std::strcmp(argv[1], "--runs") != 0) {
        return RunOperation(argv[1], argv[2]);
    }
    std::optional<RunOptions> options = ParseRunOptions(argc, argv, "settings_bench");
    if (!options || options->tenTimes) {
        return 2;
    }
    std::string pattern =
        (std::filesystem::temp_directory_path() / "brenvale-settings-XXXXXX").string();
    std::string folder = ::mkdtemp(pattern.data());
    std::string path = folder + "/brenvale.ini";
    WriteSettingsFile(path);
    const double fileMb = static_cast<double>(std::filesystem::file_size(path)) / (1024.0 * 1024.0);
    std::printf(
        "Settings file of %.1f MB: each operation a fresh process, median of %d runs, beside "
        "cat of the\nsame file in the same run, with the peak memory of the process.\n",
        fileMb, options->runs);
    std::printf("%-18s %11s %11s  %21s   %11s %7s\n", "operation", "wall", "processor",
                "cat: wall, processor", "peak", "x file");
    const std::string self = argv[0];
    // cat's output goes nowhere, as the settings go nowhere but into the measured process.
    const Command cat = {"sh", "-c", "exec cat \"$0\" >/dev/null", path};
    const std::pair<const char*, const char*> rows[] = {
        {"start: read", "--read"},
        {"close: unchanged", "--close"},
        {"close: write", "--close-moved"},
        {"options OK: write", "--options"},
    };
    for (const auto& [name, operation] : rows) {
        const Command measured = {self, operation, path};
        RunProcesses({measured});  // warms the page cache and the program
        std::vector<ProcessRun> runs;
        std::vector<ProcessRun> baselines;
        for (int i = 0; i < options->runs; ++i) {
            // Measured and baseline take turns to go first.
            if (i % 2 == 0) {
                runs.push_back(RunProcesses({measured}));
                baselines.push_back(RunProcesses({cat}));
            } else {
                baselines.push_back(RunProcesses({cat}));
                runs.push_back(RunProcesses({measured}));
            }
        }
        PrintRow(name, MedianOf(runs), MedianOf(baselines), fileMb);
    }
    std::filesystem::remove_all(folder);
    return 0;
}
