// Reading, writing, exporting and pasting a 30 MB document, each beside a raw baseline on
// the same bytes, and the memory the loaded document holds: in one process on a warm heap,
// the fastest of several repetitions. A user never waits on such a heap: these figures come
// second to process_bench, which runs each operation in a fresh process.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "bench_support.h"
#include "common/file_io.h"
#include "document/document_reader.h"
#include "document/document_writer.h"
#include "document/storage.h"
#include "document/tree_clipboard.h"
#include "exchange/text_export.h"

namespace brenvale::bench {
namespace {

struct Fixture {
    std::string folder;
    std::string input;
    std::string bytes;
    std::unique_ptr<Document> doc;
    std::string clipboard;
    size_t documentHeap = 0;
};

Fixture& Data() {
    static Fixture f = [] {
        Fixture f;
        f.folder = (std::filesystem::temp_directory_path() / "brenvale-bench").string();
        std::filesystem::create_directories(f.folder);
        f.input = f.folder + "/big.bnv";
        f.bytes = GenerateDocumentBytes(100000, 10);
        WriteFileAtomically(f.input, f.bytes);
        // A document just read holds nothing outside its storage's blocks.
        f.doc = ReadDocument(f.input, {}).document;
        f.documentHeap = f.doc->storage().bytesHeld();
        ForEachTopic(*f.doc, [&](const Topic& t, int) {
            if (!t.parent()) {
                f.clipboard += BuildTreeClipboardText(t);
            }
        });
        return f;
    }();
    return f;
}

size_t CountLines(std::string_view bytes) {
    size_t lines = 0;
    for (const char* p = bytes.data();
         (p = static_cast<const char*>(std::memchr(p, '\r', bytes.data() + bytes.size() - p)));
         ++p) {
        ++lines;
    }
    return lines;
}

void SetBytes(benchmark::State& state, size_t bytes) {
    state.counters["bytes"] = static_cast<double>(bytes);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void RawReadAndCount(benchmark::State& state) {
    Fixture& f = Data();
    for (auto _ : state) {
        benchmark::DoNotOptimize(CountLines(ReadWholeFile(f.input)));
    }
    SetBytes(state, f.bytes.size());
}

void Read(benchmark::State& state) {
    Fixture& f = Data();
    for (auto _ : state) {
        ReadResult r = ReadDocument(f.input, {});
        benchmark::DoNotOptimize(r.document->topicCount());
        state.PauseTiming();
        r.document.reset();
        state.ResumeTiming();
    }
    SetBytes(state, f.bytes.size());
}

void RawWrite(benchmark::State& state) {
    Fixture& f = Data();
    std::string out = f.folder + "/raw.bnv";
    for (auto _ : state) {
        int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        benchmark::DoNotOptimize(::write(fd, f.bytes.data(), f.bytes.size()));
        ::fsync(fd);
        ::close(fd);
    }
    SetBytes(state, f.bytes.size());
}

void Write(benchmark::State& state) {
    Fixture& f = Data();
    std::string out = f.folder + "/out.bnv";
    for (auto _ : state) {
        WriteDocument(*f.doc, out, {}, {});
    }
    SetBytes(state, f.bytes.size());
}

void Export(benchmark::State& state) {
    Fixture& f = Data();
    std::string out = f.folder + "/out.txt";
    for (auto _ : state) {
        WriteTextExport(*f.doc, out, {});
    }
    SetBytes(state, f.bytes.size());
}

void Paste(benchmark::State& state) {
    Fixture& f = Data();
    for (auto _ : state) {
        auto doc = std::make_unique<Document>();
        PasteResult r = PasteTreeText(*doc, nullptr, f.clipboard, kBuiltInTopicImages);
        benchmark::DoNotOptimize(r.created.size());
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    SetBytes(state, f.clipboard.size());
}

}  // namespace
}  // namespace brenvale::bench

int main(int argc, char** argv) {
    using namespace brenvale::bench;
    benchmark::Initialize(&argc, argv);
    KeepHeapWarm();
    const int kRuns = 5;
    using Fn = void (*)(benchmark::State&);
    const std::pair<const char*, Fn> benches[] = {
        {"raw read and count lines", RawReadAndCount},
        {"ReadDocument", Read},
        {"raw write, one call", RawWrite},
        {"WriteDocument", Write},
        {"text export", Export},
        {"paste own clipboard text", Paste},
    };
    for (const auto& [name, fn] : benches) {
        benchmark::RegisterBenchmark(name, fn)->Iterations(kRuns)->Repetitions(3)->Unit(
            benchmark::kMillisecond);
    }
    RatioReporter reporter({{"ReadDocument", "raw read and count lines", 6},
                            {"WriteDocument", "raw write, one call", 4},
                            {"text export", "raw write, one call", 6},
                            {"paste own clipboard text", "raw read and count lines", 6}});
    Fixture& f = Data();
    char note[200];
    std::snprintf(note, sizeof note,
                  "warm heap, in process (second to process_bench): %.1f MB file, %zu topics; "
                  "the loaded document holds %.1f MB (%.2fx the file)",
                  f.bytes.size() / 1e6, f.doc->topicCount(), f.documentHeap / 1e6,
                  double(f.documentHeap) / double(f.bytes.size()));
    reporter.AddNote(note);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::filesystem::remove_all(f.folder);
    return 0;
}
