#include "document/document_writer.h"

#include <filesystem>

#include "common/file_io.h"
#include "common/icon_suffix.h"
#include "common/path.h"
#include "common/text.h"
#include "document/safe_text.h"

namespace brenvale {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

template <typename Sink>
void WriteGeometry(Sink& out, const DocumentGeometry& g) {
    const std::pair<std::string_view, int> lines[] = {
        {"Height", g.height}, {"Width", g.width},         {"Top", g.top},
        {"Left", g.left},     {"TreeWidth", g.treeWidth},
    };
    for (const auto& [keyword, value] : lines) {
        out.Write("\x07");
        out.Write(keyword);
        out.Write(std::to_string(value));
        out.Write(kLineEnd);
    }
}

// Writes the Topic and Item lines; trims Item texts in place when spRemv is on.
template <typename Sink>
void WriteTopics(Sink& out, Document& doc, bool spRemv) {
    std::string tabs;
    ForEachTopic(doc, [&](Topic& t, int level) {
        tabs.assign(static_cast<size_t>(level), '\t');
        out.Write(tabs);
        if (IsFileSafeCaption(t.caption, level)) {
            out.Write(t.caption);
        } else {
            out.Write(FileSafeCaption(t.caption, level));
        }
        out.Write(FormatIconSuffix(t.icon));
        out.Write(kLineEnd);
        for (size_t i = 0; i < t.items.size(); ++i) {
            Item& item = t.items[i];
            if (spRemv) {
                std::string_view text = item.text();
                std::string_view trimmed = TrimBlanks(text);
                if (trimmed.size() != text.size()) {
                    item.setText(std::string(trimmed));
                }
            }
            out.Write(tabs);
            out.Write("\x08");
            if (IsFileSafeItem(item)) {
                out.Write(item.stored());
            } else {
                out.Write(FileSafeItem(item).stored());
            }
            out.Write(kLineEnd);
        }
    });
}

struct StringSink {
    std::string bytes;
    void Write(std::string_view s) { bytes.append(s); }
};

bool SameFile(const std::string& a, const std::string& b) {
    if (a == b) {
        return true;
    }
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

}  // namespace

std::string BackupName(const std::string& path, const std::string& backUpPass) {
    if (backUpPass == kOwnFolderToken) {
        return ReplaceExtension(path, ".BAK");
    }
    return JoinPath(backUpPass, ReplaceExtension(FileNamePart(path), ".BAK"));
}

std::string SerializeDocument(Document& doc, const DocumentGeometry& geometry, bool spRemv) {
    StringSink sink;
    WriteGeometry(sink, geometry);
    WriteTopics(sink, doc, spRemv);
    return std::move(sink.bytes);
}

WriteOutcome WriteDocument(Document& doc, const std::string& path, const DocumentGeometry& geometry,
                           const WriteOptions& options) {
    if (options.backUp && FileExists(path)) {
        std::string backup = BackupName(path, options.backUpPass);
        // A document that is itself named like its backup is not deleted for a backup.
        if (!SameFile(backup, path)) {
            bool abandon = false;
            CopyFileReplacing(path, backup, &abandon);
            if (abandon) {
                return WriteOutcome::Abandoned;
            }
        }
    }
    AtomicFileWriter writer(path);
    WriteGeometry(writer, geometry);
    WriteTopics(writer, doc, options.spRemv);
    writer.Commit();
    return WriteOutcome::Written;
}

}  // namespace brenvale
