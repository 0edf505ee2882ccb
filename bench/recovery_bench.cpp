// The recovery copy of the 1,000,000-Item document (100,000 Topics of 10 Items, 32 MB):
// how long the user-interface thread is held for one copy, and how long the copy takes to
// be on disk, beside the one pass over the document a copy built in place would hold the
// thread for. The first copy of this fresh process is reported first; the benchmark table
// (fastest of the repetitions) stands second.
#include <cstdio>
#include <filesystem>

#include "bench_support.h"
#include "common/file_io.h"
#include "document/document_writer.h"
#include "editor/editor.h"
#include "editor/recovery_copy.h"
#include "support/answering_host.h"

namespace brenvale::bench {
namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

struct Files {
    std::string folder;
    std::string document;
};

const Files& TheFiles() {
    static Files f = [] {
        Files f;
        f.folder = (std::filesystem::temp_directory_path() / "brenvale-recovery-bench").string();
        std::filesystem::remove_all(f.folder);
        std::filesystem::create_directories(f.folder);
        f.document = f.folder + "/big.bnv";
        WriteFileAtomically(f.document, GenerateDocumentBytes(100000, 10));
        return f;
    }();
    return f;
}

// An editor with the big document open and a recovery copy on a clock of its own, so
// that every copy is due when asked for.
struct Session {
    explicit Session(CopyMethod method) : editor(host, Settings{}) {
        RecoveryOptions options;
        options.method = method;
        options.clock = [this] { return now; };
        editor.session().enableRecovery(
            std::make_unique<RecoveryCopy>(TheFiles().folder + "/state", options));
        editor.files().openDocument(TheFiles().document);
    }
    ~Session() { editor.session().windowClosed(); }

    struct Figures {
        double held;   // the tick that starts the copy, on the user-interface thread
        double total;  // from that tick until the copy is on disk
    };
    Figures Copy() {
        editor.editTextChanged(EditBox::Tree, ++edits % 2 ? "a" : "b");
        now += std::chrono::seconds(31);
        Clock::time_point start = Clock::now();
        editor.files().recoveryTick();
        Clock::time_point started = Clock::now();
        editor.session().recovery()->WaitForWrite();
        Clock::time_point written = Clock::now();
        now += std::chrono::milliseconds(1);
        editor.files().recoveryTick();
        return {Seconds(started - start), Seconds(written - start)};
    }

    AnsweringHost host;
    Editor editor;
    RecoveryTime now = RecoveryClock::now();
    int edits = 0;
};

Session& Forked() {
    static Session s(CopyMethod::ForkedChild);
    return s;
}

void Run(benchmark::State& state, CopyMethod method, bool total) {
    Session local(CopyMethod::Thread);
    Session& s = method == CopyMethod::ForkedChild ? Forked() : local;
    for (auto _ : state) {
        Session::Figures f = s.Copy();
        state.SetIterationTime(total ? f.total : f.held);
    }
}

void ForkedHeld(benchmark::State& state) {
    Run(state, CopyMethod::ForkedChild, false);
}
void ForkedTotal(benchmark::State& state) {
    Run(state, CopyMethod::ForkedChild, true);
}
void InPlaceHeld(benchmark::State& state) {
    Run(state, CopyMethod::Thread, false);
}

void OnePass(benchmark::State& state) {
    const Document& doc = Forked().editor.document();
    for (auto _ : state) {
        benchmark::DoNotOptimize(SerializeDocument(doc, {}).size());
    }
}

}  // namespace
}  // namespace brenvale::bench

int main(int argc, char** argv) {
    using namespace brenvale::bench;
    benchmark::Initialize(&argc, argv);
    // The first copy in this process: what a user meets.
    Session::Figures first = Forked().Copy();
    Session::Figures second = Forked().Copy();

    using Fn = void (*)(benchmark::State&);
    const std::pair<const char*, Fn> benches[] = {
        {"copy, forked child: UI thread held", ForkedHeld},
        {"copy, forked child: until on disk", ForkedTotal},
        {"copy, built in place: UI thread", InPlaceHeld},
        {"SerializeDocument, one pass", OnePass},
    };
    for (const auto& [name, fn] : benches) {
        auto* b = benchmark::RegisterBenchmark(name, fn)->Iterations(3)->Repetitions(3)->Unit(
            benchmark::kMillisecond);
        if (fn != OnePass) {
            b->UseManualTime();
        }
    }
    RatioReporter reporter(
        {{"copy, forked child: UI thread held", "SerializeDocument, one pass", 1},
         {"copy, built in place: UI thread", "SerializeDocument, one pass", 2}});
    char note[300];
    std::snprintf(note, sizeof note,
                  "first copy in a fresh process: UI thread held %.1f ms (goal: under 50 ms%s), on "
                  "disk after %.0f ms; second copy: held %.1f ms, on disk after %.0f ms",
                  first.held * 1e3, first.held < 0.05 ? "" : ", OVER", first.total * 1e3,
                  second.held * 1e3, second.total * 1e3);
    reporter.AddNote(note);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::filesystem::remove_all(TheFiles().folder);
    return 0;
}
