#include "document/document_writer.h"

#include <filesystem>
#include <utility>

#include "common/content_hash.h"
#include "common/file_io.h"
#include "common/icon_suffix.h"
#include "common/text.h"
#include "document/output_buffer.h"
#include "document/safe_text.h"

namespace brenvale {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

template <typename Out>
void WriteGeometry(Out& out, const DocumentGeometry& g) {
    const std::pair<std::string_view, int> lines[] = {
        {"Height", g.height}, {"Width", g.width},         {"Top", g.top},
        {"Left", g.left},     {"TreeWidth", g.treeWidth},
    };
    for (const auto& [keyword, value] : lines) {
        out.put('\x07');
        out.append(keyword);
        out.append(std::to_string(value));
        out.append(kLineEnd);
    }
}

// Writes the Topic and Item lines; trims Item texts in place when trimItemSpaces is on. Item texts
// are file-safe already (they are made so as they enter a list).
template <typename Out>
void WriteTopics(Out& out, Document& doc, bool trimItemSpaces) {
    std::string tabs;
    ForEachTopic(doc, [&](Topic& t, int level) {
        tabs.assign(static_cast<size_t>(level), '\t');
        out.append(tabs);
        if (IsFileSafeCaption(t.caption, level)) {
            out.append(t.caption);
        } else {
            out.append(FileSafeCaption(t.caption, level));
        }
        out.append(FormatIconSuffix(t.icon));
        out.append(kLineEnd);
        ItemList& items = t.items;
        for (size_t i = 0; i < items.size(); ++i) {
            std::string_view stored = std::as_const(items)[i].stored();
            if (trimItemSpaces) {
                std::string_view text = StoredText(stored);
                std::string_view trimmed = TrimBlanks(text);
                if (trimmed.size() != text.size()) {
                    items[i].setText(trimmed);
                    stored = std::as_const(items)[i].stored();
                }
            }
            out.append(tabs);
            out.put('\x08');
            out.append(stored);
            out.append(kLineEnd);
        }
    });
}

// Hands the bytes on to the file and hashes them on the way.
struct HashingSink {
    AtomicFileWriter& writer;
    ContentHash hash;
    void Write(std::string_view bytes) {
        hash.add(bytes);
        writer.Write(bytes);
    }
};

bool SameFile(const std::string& a, const std::string& b) {
    if (a == b) {
        return true;
    }
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

}  // namespace

std::string SerializeDocument(Document& doc, const DocumentGeometry& geometry,
                              bool trimItemSpaces) {
    StringSink sink;
    {
        OutputBuffer out(sink, OutputBuffer<StringSink>::kSmallSize);
        WriteGeometry(out, geometry);
        WriteTopics(out, doc, trimItemSpaces);
        out.flush();
    }
    return std::move(sink.bytes);
}

std::string SerializeDocument(const Document& doc, const DocumentGeometry& geometry) {
    // Without trimming the writer changes nothing.
    return SerializeDocument(const_cast<Document&>(doc), geometry, false);
}

std::optional<FileIdentity> WriteDocument(Document& doc, const std::string& path,
                                          const DocumentGeometry& geometry,
                                          const WriteOptions& options, const ReplaceRules& rules) {
    if (rules.replaces) {
        DiskState state = CheckFileOnDisk(path, *rules.replaces).state;
        if (state == DiskState::Changed || state == DiskState::Unknown) {
            throw FileChangedError(path);
        }
    }
    if (options.backup) {
        std::string backup = BackupName(path, options.backupFolder);
        // A document that is itself named like its backup is its own backup.
        if (!SameFile(backup, path)) {
            MakeBackup(path, backup);
        }
    }
    AtomicFileWriter writer(path, std::nullopt, rules.target);
    if (rules.replaces) {
        writer.ExpectUnchanged(*rules.replaces);
    }
    HashingSink sink{writer, {}};
    {
        OutputBuffer out(sink);
        WriteGeometry(out, geometry);
        WriteTopics(out, doc, options.trimItemSpaces);
        out.flush();
    }
    writer.Commit();
    std::optional<FileIdentity> written = writer.written();
    if (written) {
        written->hash = sink.hash.value();
    }
    return written;
}

}  // namespace brenvale
