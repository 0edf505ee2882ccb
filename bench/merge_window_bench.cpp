// What merging in the window costs on the 30 MB document (100,000 Topics of 10 Items), each
// figure the median of fresh processes of this program, with the peak resident memory of the
// median run:
//   - opening the document, and opening it with the version kept for merging (a file in the
//     state folder): the keeping's time and memory beside the open;
//   - saving it, with and without keeping the version written;
//   - the merge of "統合" after 100 edits here and 100 scattered edits of another program,
//     beside the open (goal: peak memory within the window's 1.6x the file plus one copy of
//     the document for undo);
//   - counting the conflict marks of the whole document, as the status bar does after edits.
//
//   merge_window_bench [--runs N]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "bench_support.h"
#include "common/file_io.h"
#include "editor/editor.h"
#include "editor/merge_base.h"
#include "process_runs.h"
#include "support/answering_host.h"

namespace brenvale::bench {
namespace {

namespace fs = std::filesystem;

constexpr int kEdits = 100;

// Answers the question about a changed file with "統合".
class MergingHost : public AnsweringHost {
public:
    MessageAnswer ShowMessageBox(const std::string& text, MessageKind kind,
                                 MessageButtons buttons) override {
        if (buttons == MessageButtons::ReloadMergeSaveAsCancel) {
            return MessageAnswer::Merge;
        }
        return AnsweringHost::ShowMessageBox(text, kind, buttons);
    }
};

void Print(double ms) {
    std::printf("ms %.3f\n", ms);
}

// kEdits Items added here, spread over the document.
void EditHere(Editor& editor) {
    std::vector<Topic*> topics;
    size_t n = 0;
    size_t step = editor.document().topicCount() / kEdits;
    ForEachTopic(editor.document(), [&](Topic& t, int) {
        if (n++ % step == step / 2) {
            topics.push_back(&t);
        }
    });
    for (Topic* t : topics) {
        editor.tree().selectTopic(t);
        editor.editTextChanged(EditBox::List, "here");
        editor.execute(CommandId::ListAdd);
    }
}

// mode: open, open-kept, save, save-kept, merge or count; work: a copy of the document of
// this run; theirs: the document with another program's edits.
int Child(const std::string& mode, const std::string& work, const std::string& theirs) {
    MergingHost host;
    Editor editor(host, Settings{});
    bool kept = mode == "open-kept" || mode == "save-kept" || mode == "merge";
    if (kept) {
        editor.session().enableMergeBase(std::make_unique<MergeBase>(work + ".base"));
    }
    double t0 = MonotonicMs();
    editor.files().openDocument(work);
    if (mode == "open" || mode == "open-kept") {
        Print(MonotonicMs() - t0);
        return 0;
    }
    if (mode == "count") {
        editor.editTextChanged(EditBox::Tree, "renamed");
        t0 = MonotonicMs();
        std::string text = editor.tags().conflictCounterText();
        Print(MonotonicMs() - t0);
        return text.empty() ? 0 : 1;
    }
    EditHere(editor);
    if (mode == "merge") {
        fs::copy_file(theirs, work + ".new", fs::copy_options::overwrite_existing);
        fs::rename(work + ".new", work);
        size_t topics = editor.document().topicCount();
        t0 = MonotonicMs();
        editor.files().checkDocumentFile();
        double ms = MonotonicMs() - t0;
        if (!editor.session().isModified() || editor.document().topicCount() != topics ||
            !editor.tags().conflictCounterText().empty()) {
            std::fprintf(stderr, "merge_window_bench: the merge did not do what it should\n");
            return 1;
        }
        Print(ms);
        return 0;
    }
    t0 = MonotonicMs();
    editor.execute(CommandId::Save);
    Print(MonotonicMs() - t0);
    return editor.session().isModified() ? 1 : 0;
}

// The document with kEdits Item lines, spread over it, changed by another program.
void WriteTheirs(const std::string& doc, const std::string& theirs) {
    std::string bytes = ReadWholeFile(doc);
    std::vector<size_t> items;
    for (size_t at = bytes.find('\x08'); at != std::string::npos; at = bytes.find('\x08', at + 1)) {
        items.push_back(at);
    }
    std::string out;
    size_t from = 0;
    size_t step = items.size() / kEdits;
    for (size_t i = step / 3; i < items.size(); i += step) {
        size_t end = bytes.find("\r\n", items[i]);
        out.append(bytes, from, end - from);
        out += " theirs";
        from = end;
    }
    out.append(bytes, from, std::string::npos);
    WriteFileAtomically(theirs, out, WriteTarget::AnyFile);
}

struct Figure {
    double ms = 0;
    double peakMb = 0;
};

Figure RunChild(const std::string& self, const std::string& mode, const std::string& doc,
                const std::string& theirs) {
    std::string work = doc + ".work";
    fs::copy_file(doc, work, fs::copy_options::overwrite_existing);
    ProcessRun run = RunOrFail({{self, "--child", mode, work, theirs}});
    size_t at = run.output.find("ms ");
    return {at == std::string::npos ? 0 : std::atof(run.output.c_str() + at + 3), run.peakMb};
}

// The median of each mode's runs (by time) with its peak memory, the modes run in turns so
// that a busy machine weighs on each alike; one run of each first warms the page cache.
std::vector<Figure> MedianChildren(const std::string& self, const std::vector<std::string>& modes,
                                   const std::string& doc, const std::string& theirs, int runs) {
    std::vector<std::vector<Figure>> figures(modes.size());
    for (const std::string& mode : modes) {
        RunChild(self, mode, doc, theirs);
    }
    for (int i = 0; i < runs; ++i) {
        for (size_t m = 0; m < modes.size(); ++m) {
            size_t which = (m + static_cast<size_t>(i)) % modes.size();
            figures[which].push_back(RunChild(self, modes[which], doc, theirs));
        }
    }
    std::vector<Figure> medians;
    for (std::vector<Figure>& f : figures) {
        std::sort(f.begin(), f.end(), [](const Figure& a, const Figure& b) { return a.ms < b.ms; });
        medians.push_back(f[f.size() / 2]);
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
    std::optional<RunOptions> options = ParseRunOptions(argc, argv, "merge_window_bench");
    if (!options) {
        return 2;
    }
    PrivateXdgFolders xdg;
    std::string folder = xdg.root() + "/documents";
    fs::create_directories(folder);
    std::string doc = folder + "/big.bnv";
    std::string theirs = folder + "/theirs.bnv";
    WriteGeneratedDocument(doc, 100000, 10);
    WriteTheirs(doc, theirs);
    std::string self = fs::canonical("/proc/self/exe").string();
    std::vector<Figure> m =
        MedianChildren(self, {"open", "open-kept", "save", "save-kept", "merge", "count"}, doc,
                       theirs, options->runs);
    double mb = static_cast<double>(fs::file_size(doc)) / (1024.0 * 1024.0);
    std::printf("The %.1f MB document, fresh processes, median of %d (peak resident memory):\n", mb,
                options->runs);
    auto row = [&](const char* what, const Figure& f) {
        std::printf("  %-46s %8.1f ms  %7.1f MB  (%.2fx the file)\n", what, f.ms, f.peakMb,
                    f.peakMb / mb);
    };
    row("open", m[0]);
    row("open, keeping the version for merging", m[1]);
    row("open, edit and save", m[2]);
    row("open, edit and save, keeping the version", m[3]);
    row("open, edit, and merge another program's edits", m[4]);
    std::printf("  keeping the version: %+.1f ms at the open, %+.1f ms at the save, %+.1f MB\n",
                m[1].ms - m[0].ms, m[3].ms - m[2].ms, m[1].peakMb - m[0].peakMb);
    std::printf("  the merge: %.2fx the open's time, %.2fx its peak memory\n", m[4].ms / m[0].ms,
                m[4].peakMb / m[0].peakMb);
    std::printf("  counting the conflict marks of the whole document: %.1f ms\n", m[5].ms);
    return 0;
}
