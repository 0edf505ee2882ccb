// Editing a long list and pasting a long tree text: each operation at 10,000 and at 100,000
// lines must grow linearly (the larger run within 12x the smaller).
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <map>

#include "bench_support.h"
#include "command_steps.h"
#include "editor/editor.h"
#include "process_runs.h"
#include "support/answering_host.h"

namespace brenvale::bench {
namespace {

// A window that answers Yes and measures nothing.

struct Session {
    AnsweringHost host;
    Editor editor{host, Settings{}};
    Session() {
        editor.list().setTextWidthMeasure(
            [](std::string_view s) { return static_cast<int>(s.size()) * 6; });
        editor.execute(CommandId::AddTree);
    }
};

std::string Lines(int count, const char* separator) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += JapaneseText(static_cast<unsigned>(i), 20);
        if (i + 1 < count) {
            text += separator;
        }
    }
    return text;
}

void MultiLineAdd(benchmark::State& state) {
    int n = static_cast<int>(state.range(0));
    std::string text = Lines(n, "\r\n");
    for (auto _ : state) {
        state.PauseTiming();
        auto s = std::make_unique<Session>();
        s->editor.editTextChanged(EditBox::List, text);
        state.ResumeTiming();
        s->editor.execute(CommandId::ListAdd);
        benchmark::DoNotOptimize(s->editor.list().rowCount());
        state.PauseTiming();
        s.reset();
        state.ResumeTiming();
    }
}

void SingleAdds(benchmark::State& state) {
    int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto s = std::make_unique<Session>();
        state.ResumeTiming();
        for (int i = 0; i < n; ++i) {
            s->editor.editTextChanged(EditBox::List, JapaneseText(static_cast<unsigned>(i), 20));
            s->editor.execute(CommandId::ListAdd);
        }
        state.PauseTiming();
        s.reset();
        state.ResumeTiming();
    }
}

void DeleteEveryRow(benchmark::State& state) {
    int n = static_cast<int>(state.range(0));
    std::string text = Lines(n, "\r\n");
    for (auto _ : state) {
        state.PauseTiming();
        auto s = std::make_unique<Session>();
        s->editor.editTextChanged(EditBox::List, text);
        s->editor.execute(CommandId::ListAdd);
        s->editor.selectRow(0);
        state.ResumeTiming();
        while (s->editor.list().rowCount() > 0) {
            s->editor.execute(CommandId::ListDel);
        }
        state.PauseTiming();
        s.reset();
        state.ResumeTiming();
    }
}

void TreePaste(benchmark::State& state) {
    int n = static_cast<int>(state.range(0));
    std::string text;
    for (int i = 0; i < n; ++i) {
        text += std::string(static_cast<size_t>(i % 4), '\t') +
                JapaneseText(static_cast<unsigned>(i), 16) + "@00@\r\n";
    }
    for (auto _ : state) {
        state.PauseTiming();
        auto s = std::make_unique<Session>();
        s->host.clipboard = text;
        state.ResumeTiming();
        s->editor.execute(CommandId::TreePaste);
        state.PauseTiming();
        s.reset();
        state.ResumeTiming();
    }
}

// The editor alone, without a window, on a document ten times the 30 MB one: its open in
// this fresh process, and its own share of every command of the tree and the list (with the
// status bar's counters asked once, as one repaint would).
int TenTimesCommands() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "brenvale-editor-XXXXXX").string();
    std::string folder = ::mkdtemp(pattern.data());
    std::string huge = folder + "/ten-times.bnv";
    WriteGeneratedDocument(huge, 1000000, 10);
    AnsweringHost host;
    Editor editor(host, Settings{});
    editor.list().setTextWidthMeasure(
        [](std::string_view s) { return static_cast<int>(s.size()) * 6; });
    auto counters = [&] {
        return editor.tree().treeCounterText().size() + editor.list().counterText().size() +
               editor.list().uncheckedText().size();
    };
    double start = MonotonicMs();
    editor.files().openDocument(huge);
    counters();
    std::printf("The editor without a window, on the ten-times document (%zu Topics):\n",
                editor.document().topicCount());
    std::printf("  open until its first list is loaded: %.1f ms\n", MonotonicMs() - start);
    for (const CommandStep& step : CommandSteps(editor)) {
        start = MonotonicMs();
        step.run();
        counters();
        double ms = MonotonicMs() - start;
        std::printf("  %-22s %8.1f ms%s\n", step.name, ms, ms > 50 ? "  (over 50 ms)" : "");
    }
    std::filesystem::remove_all(folder);
    return 0;
}

}  // namespace
}  // namespace brenvale::bench

int main(int argc, char** argv) {
    using namespace brenvale::bench;
    if (argc == 2 && std::string(argv[1]) == "--ten-times") {
        return TenTimesCommands();
    }
    benchmark::Initialize(&argc, argv);
    KeepHeapWarm();
    using Fn = void (*)(benchmark::State&);
    const std::pair<const char*, Fn> benches[] = {
        {"multi-line add", MultiLineAdd},
        {"single adds", SingleAdds},
        {"delete every row", DeleteEveryRow},
        {"tree paste", TreePaste},
    };
    std::vector<RatioReporter::Pair> pairs;
    for (const auto& [name, fn] : benches) {
        for (int n : {10000, 100000}) {
            std::string label = std::string(name) + " " + std::to_string(n);
            benchmark::RegisterBenchmark(label.c_str(), fn)
                ->Arg(n)
                ->Iterations(n == 10000 ? 50 : 5)
                ->Repetitions(5)
                ->Unit(benchmark::kMillisecond);
        }
        pairs.push_back({std::string(name) + " 100000", std::string(name) + " 10000", 12});
    }
    RatioReporter reporter(pairs);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    return 0;
}
