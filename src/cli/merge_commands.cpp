#include "cli/merge_commands.h"

#include <ostream>
#include <sstream>

#include "cli/cli_output.h"
#include "common/cp932.h"
#include "common/error.h"
#include "merge/document_diff.h"
#include "merge/document_merge.h"

namespace brenvale {

namespace {

// Tells err what a read left out; false when that stops a strict run.
bool Warned(const std::string& path, const ReadResult& read, const CompareOptions& options,
            std::ostream& err) {
    std::vector<std::string> warnings = ReadWarnings(read);
    for (const std::string& warning : warnings) {
        err << "brenvale-cli: " << path << ": " << warning << "\n";
    }
    return !options.strict || warnings.empty();
}

// Reads a document as the editor opens it; nothing when strict and there were warnings.
std::optional<ReadResult> Open(const std::string& path, const CompareOptions& options,
                               std::ostream& err) {
    ReadResult read = ReadDocument(path, options.read);
    if (!Warned(path, read, options, err)) {
        return std::nullopt;
    }
    return read;
}

// A CP932 text on one line of UTF-8 output: a line break inside it shows as "\n".
std::string Shown(std::string_view cp932) {
    std::string text = Cp932ToUtf8(cp932);
    std::string shown;
    for (char c : text) {
        if (c == '\n') {
            shown += "\\n";
        } else {
            shown += c;
        }
    }
    return shown;
}

void Write(Document& doc, const std::string& path, const DocumentGeometry& geometry,
           const WriteOptions& options, std::ostream& out) {
    OutputKind kind = KindOfOutput(path);
    if (kind == OutputKind::File) {
        WriteDocument(doc, path, geometry, options);
        return;
    }
    std::string bytes = SerializeDocument(doc, geometry, options.trimItemSpaces);
    if (kind == OutputKind::Stream) {
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    } else {
        WriteDirect(path, bytes);
    }
}

void Report(const MergeConflict& c, std::ostream& err) {
    err << "brenvale-cli: conflict: " << ConflictKindText(c.kind) << ": "
        << Shown(CaptionPath(*c.topic));
    if (c.item != kNoItem) {
        err << " [" << c.item + 1 << "]: " << Shown(c.topic->items[c.item].text());
    }
    err << "\n";
}

std::string Line(const DocumentChange& c) {
    std::string path = Shown(c.path);
    auto row = [&](size_t r) { return " [" + std::to_string(r + 1) + "]: "; };
    switch (c.kind) {
        case ChangeKind::TopicAdded:
        case ChangeKind::TopicRemoved: {
            std::string line =
                (c.kind == ChangeKind::TopicAdded ? "topic added: " : "topic removed: ") + path;
            if (c.topics > 1 || c.items > 0) {
                line += " (" + std::to_string(c.topics) + " topics, " + std::to_string(c.items) +
                        " items)";
            }
            return line;
        }
        case ChangeKind::TopicMoved:
            if (c.before == c.path) {
                return "topic moved: " + path + " (position " + std::to_string(c.row + 1) + " -> " +
                       std::to_string(c.rowAfter + 1) + ")";
            }
            return "topic moved: " + Shown(c.before) + " -> " + path;
        case ChangeKind::TopicRenamed:
            return "topic renamed: " + Shown(c.before) + " -> " + path;
        case ChangeKind::TopicIconChanged:
            return "topic icon changed: " + path + ": " + std::to_string(c.iconBefore) + " -> " +
                   std::to_string(c.iconAfter);
        case ChangeKind::ItemAdded:
            return "item added: " + path + row(c.row) + Shown(c.text);
        case ChangeKind::ItemRemoved:
            return "item removed: " + path + row(c.row) + Shown(c.text);
        case ChangeKind::ItemEdited:
            return "item edited: " + path + row(c.row) + Shown(c.before) + " -> " + Shown(c.text);
        case ChangeKind::ItemTicked:
            return "item ticked: " + path + row(c.row) + Shown(c.text);
        case ChangeKind::ItemUnticked:
            return "item unticked: " + path + row(c.row) + Shown(c.text);
        case ChangeKind::ItemMoved:
            return "item moved: " + path + " [" + std::to_string(c.row + 1) + " -> " +
                   std::to_string(c.rowAfter + 1) + "]: " + Shown(c.text);
    }
    return path;
}

}  // namespace

int MergeCommand(const std::vector<std::string>& operands, const CompareOptions& options,
                 std::ostream& out, std::ostream& err) {
    bool withBase = operands.size() == 3;
    const std::string& ours = operands[withBase ? 1 : 0];
    const std::string& theirs = operands[withBase ? 2 : 1];
    std::optional<std::string> base;
    if (withBase) {
        base = operands[0];
    }
    struct Stopped {};
    std::optional<MergedFile> merged;
    try {
        merged = MergeDocumentFiles(base, ours, theirs, options.read,
                                    [&](const std::string& path, const ReadResult& read) {
                                        if (!Warned(path, read, options, err)) {
                                            throw Stopped{};
                                        }
                                    });
    } catch (const Stopped&) {
        return 2;
    }
    Write(*merged->merge.document, options.output.value_or(ours), merged->geometry, options.write,
          out);
    // One write for all the lines: standard error is not buffered.
    std::ostringstream lines;
    for (const MergeConflict& c : merged->merge.conflicts) {
        Report(c, lines);
    }
    err << lines.str();
    return merged->merge.conflicts.empty() ? 0 : 1;
}

int DiffCommand(const std::vector<std::string>& operands, const CompareOptions& options,
                std::ostream& out, std::ostream& err) {
    std::optional<ReadResult> before = Open(operands[0], options, err);
    std::optional<ReadResult> after = before ? Open(operands[1], options, err) : std::nullopt;
    if (!after) {
        return 2;
    }
    std::vector<DocumentChange> changes = DiffDocuments(*before->document, *after->document);
    for (const DocumentChange& c : changes) {
        out << Line(c) << "\n";
    }
    return changes.empty() ? 0 : 1;
}

}  // namespace brenvale
