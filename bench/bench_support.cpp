#include "bench_support.h"

#include <algorithm>
#include <cstdio>

#include "common/cp932.h"
#include "common/file_io.h"

namespace brenvale::bench {

namespace {

const char* const kWords[] = {"買い物",       "会議の準備",   "報告書を書く", "出張の手配",
                              "牛乳",         "電話をかける", "請求書",       "掃除",
                              "メールの返信", "資料作成",     "予約",         "打ち合わせ",
                              "確認",         "発送",         "見積もり"};

const std::vector<std::string>& Cp932Words() {
    static const std::vector<std::string> words = [] {
        std::vector<std::string> out;
        for (const char* word : kWords) {
            out.push_back(*Utf8ToCp932(word));
        }
        return out;
    }();
    return words;
}

void AppendJapaneseText(std::string& out, unsigned n, size_t bytes) {
    const std::vector<std::string>& words = Cp932Words();
    size_t start = out.size();
    while (out.size() - start < bytes) {
        out += words[n % words.size()];
        n = n * 7 + 3;
    }
}

}  // namespace

std::string JapaneseText(unsigned n, size_t bytes) {
    std::string out;
    AppendJapaneseText(out, n, bytes);
    return out;
}

namespace {

// Calls emit with the document's bytes a few megabytes at a time.
template <typename Emit>
void GenerateDocument(int topics, int itemsPerTopic, Emit emit) {
    std::string out =
        "\x07Height376\r\n\x07Width573\r\n\x07Top-1\r\n\x07Left-1\r\n\x07TreeWidth129\r\n";
    int level = 0;
    unsigned seed = 12345;
    for (int t = 0; t < topics; ++t) {
        seed = seed * 1103515245 + 12345;
        // Go one level deeper, stay, or climb, never deeper than 6 levels in all.
        int step = static_cast<int>((seed >> 16) % 3);
        level = step == 0 ? std::min(level + 1, 5) : step == 1 ? level : std::max(level - 1, 0);
        if (t == 0) {
            level = 0;
        }
        std::string tabs(static_cast<size_t>(level), '\t');
        out += tabs;
        AppendJapaneseText(out, seed, 8 + (seed >> 8) % 12);
        out += "@0" + std::to_string((seed >> 4) % 8) + "@\r\n";
        for (int i = 0; i < itemsPerTopic; ++i) {
            unsigned n = seed + static_cast<unsigned>(i) * 31;
            out += tabs;
            out += "\x08";
            out += (n % 4 == 0) ? "\x81\xA1" : "\x81\xA0";
            AppendJapaneseText(out, n, 6 + n % 26);
            out += "\r\n";
        }
        if (out.size() > (4 << 20)) {
            emit(out);
            out.clear();
        }
    }
    emit(out);
}

}  // namespace

std::string GenerateDocumentBytes(int topics, int itemsPerTopic) {
    std::string all;
    GenerateDocument(topics, itemsPerTopic, [&](const std::string& piece) { all += piece; });
    return all;
}

void WriteGeneratedDocument(const std::string& path, int topics, int itemsPerTopic) {
    AtomicFileWriter writer(path);
    GenerateDocument(topics, itemsPerTopic, [&](const std::string& piece) { writer.Write(piece); });
    writer.Commit();
}

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    // With repetitions, the fastest repetition stands for the benchmark: the others differ
    // by what else the machine was doing.
    for (const Run& run : runs) {
        if (run.run_type != Run::RT_Iteration) {
            continue;
        }
        double bytes = run.counters.count("bytes") ? double(run.counters.at("bytes")) : 0.0;
        double seconds =
            run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        auto [it, added] = seconds_.try_emplace(run.run_name.function_name, seconds, bytes);
        if (!added && seconds < it->second.first) {
            it->second = {seconds, bytes};
        }
    }
}

void RatioReporter::Finalize() {
    ConsoleReporter::Finalize();
    std::printf("\n%-34s %10s %9s %10s %8s %6s\n", "measured", "time", "MB/s", "baseline", "ratio",
                "limit");
    for (const Pair& pair : pairs_) {
        auto m = seconds_.find(pair.measured);
        auto b = seconds_.find(pair.baseline);
        if (m == seconds_.end() || b == seconds_.end()) {
            continue;
        }
        double ratio = m->second.first / b->second.first;
        std::string rate = "-";
        if (m->second.second > 0) {
            rate = std::to_string(static_cast<int>(m->second.second / m->second.first / 1e6));
        }
        std::printf("%-34s %8.1fms %9s %8.1fms %7.2fx %5.0fx %s\n", pair.measured.c_str(),
                    m->second.first * 1e3, rate.c_str(), b->second.first * 1e3, ratio, pair.limit,
                    ratio <= pair.limit ? "" : "OVER");
    }
    for (const std::string& note : notes_) {
        std::printf("%s\n", note.c_str());
    }
}

}  // namespace brenvale::bench
