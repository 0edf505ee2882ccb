#pragma once

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <map>
#include <string>
#include <vector>

#include "document/document.h"

namespace brenvale::bench {

// A document of `topics` Topics nested up to 6 levels, each holding `itemsPerTopic` Items of
// Japanese CP932 text of varied length, a quarter of them checked.
std::string GenerateDocumentBytes(int topics, int itemsPerTopic);
// The same document written straight to a file, never held whole in memory.
void WriteGeneratedDocument(const std::string& path, int topics, int itemsPerTopic);

// Japanese CP932 text of about `bytes` bytes, varied by n.
std::string JapaneseText(unsigned n, size_t bytes);

// Keeps freed memory in the heap, so every run works on the same warm heap instead of the
// large runs alone paying for fresh pages from the system at every iteration.
inline void KeepHeapWarm() {
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
}

// Prints, after the usual table, each measured benchmark beside its baseline: time, MB/s and
// the ratio. Benchmarks report the bytes they handle in the counter "bytes".
class RatioReporter : public benchmark::ConsoleReporter {
public:
    struct Pair {
        std::string measured;
        std::string baseline;
        double limit;
    };
    explicit RatioReporter(std::vector<Pair> pairs) : pairs_(std::move(pairs)) {}

    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;
    void AddNote(std::string note) { notes_.push_back(std::move(note)); }

private:
    std::vector<Pair> pairs_;
    std::map<std::string, std::pair<double, double>> seconds_;  // name -> (seconds, bytes)
    std::vector<std::string> notes_;
};

}  // namespace brenvale::bench
