#include "schedule/quick_add.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <optional>

#include "common/byte_block.h"
#include "common/check_mark.h"
#include "common/content_hash.h"
#include "common/error.h"
#include "common/file_identity.h"
#include "common/file_io.h"
#include "common/icon_suffix.h"
#include "document/backup_copy.h"
#include "document/document_reader.h"
#include "document/line_rules.h"
#include "document/model.h"
#include "document/read_checks.h"
#include "document/safe_text.h"

namespace brenvale {

namespace {

// The lines a Topic owns in the file: its own line and its Items' lines.
struct TopicLines {
    size_t tabs = 0;
    size_t lastEnd = 0;     // where the last of its lines ends, before its line end
    size_t lastEnding = 0;  // the bytes of that line end (0: the text ends there)
};

struct FileLines {
    std::vector<TopicLines> topics;  // in tree order, which is the order of the file
    std::optional<TopicLines> last;  // the last line of any kind
    std::string_view lineEnd;        // the first line end of the file
};

// Walks the lines of a document file by the reader's rules: lines end at CR (with an LF right
// after it), or at LF in a text without any CR; a 0x1A ends the text; an unended last line
// counts only when it holds a byte.
FileLines WalkLines(std::string_view file) {
    FileLines lines;
    const bool cr = HoldsCr(file.data(), file.size());
    const char endByte = cr ? '\r' : '\n';
    size_t textEnd = std::min(file.find(kEndOfFile), file.size());
    size_t begin = 0;
    while (begin < textEnd) {
        const char* hit =
            static_cast<const char*>(std::memchr(file.data() + begin, endByte, textEnd - begin));
        size_t end = hit ? static_cast<size_t>(hit - file.data()) : textEnd;
        size_t ending = 0;
        if (hit) {
            ending = cr && end + 1 < textEnd && file[end + 1] == '\n' ? 2 : 1;
            if (lines.lineEnd.empty()) {
                lines.lineEnd = file.substr(end, ending);
            }
        }
        size_t tabs = 0;
        while (begin + tabs < end && file[begin + tabs] == '\t') {
            ++tabs;
        }
        char first = begin + tabs < end ? file[begin + tabs] : '\r';
        LineKind kind = KindAfterTabs(&first, tabs);
        TopicLines here{tabs, end, ending};
        if (kind == LineKind::Topic) {
            lines.topics.push_back(here);
        } else if (kind == LineKind::Item && !lines.topics.empty()) {
            lines.topics.back().lastEnd = end;
            lines.topics.back().lastEnding = ending;
        }
        lines.last = here;
        begin = end + ending;
    }
    return lines;
}

bool HasControlByte(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 && c != '\t'; });
}

Topic* ChildCalled(const Document& doc, const Topic* parent, std::string_view caption) {
    for (size_t i = 0; i < doc.siblingCount(parent); ++i) {
        Topic* t = doc.sibling(parent, i);
        if (t->caption.view() == caption) {
            return t;
        }
    }
    return nullptr;
}

// What a read gives that a comparison of two reads must see.
std::string Fingerprint(const ReadResult& read) {
    DocumentGeometry g = read.geometry.appliedTo({});
    std::string print = SerializeDocument(*read.document, g);
    print += read.geometry.sawGeometryLine ? "\x01" : "\x02";
    print += std::to_string(read.unreadLines);
    print += read.utf8 ? "\x01" : "\x02";
    return print;
}

}  // namespace

std::vector<std::string> SplitTopicPath(std::string_view path) {
    std::vector<std::string> captions(1);
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i] != '/') {
            captions.back() += path[i];
        } else if (i + 1 < path.size() && path[i + 1] == '/') {
            captions.back() += '/';
            ++i;
        } else {
            captions.emplace_back();
        }
    }
    for (const std::string& caption : captions) {
        if (caption.empty()) {
            throw Error("トピックのパス「" + std::string(path) +
                        "」に空の名前があります（名前の中の / は // と書きます）");
        }
    }
    return captions;
}

QuickAdd AddItemToBytes(std::string_view file, const std::vector<std::string>& path,
                        std::string_view text) {
    if (path.empty()) {
        throw Error("項目を加えるトピックがありません");
    }
    for (const std::string& caption : path) {
        if (HasControlByte(caption) || caption.empty() || caption.front() == '\t') {
            throw Error("トピックの名前に制御文字は使えません");
        }
    }
    if (HasControlByte(text)) {
        throw Error("項目の文字列に改行や制御文字は使えません");
    }
    ReadOptions options;
    options.imageCount = kEveryIconIndex;
    ReadResult read = ParseDocument(file, options);
    Document& doc = *read.document;
    FileLines lines = WalkLines(file);
    if (lines.topics.size() != doc.topicCount()) {
        throw Error("文書の行を読み分けられませんでした");
    }

    // The Topics that are there, and where the first missing one goes.
    Topic* parent = nullptr;
    size_t found = 0;
    while (found < path.size()) {
        Topic* child = ChildCalled(doc, parent, path[found]);
        if (!child) {
            break;
        }
        parent = child;
        ++found;
    }
    std::optional<TopicLines> anchor;  // the line the new lines follow
    size_t tabs = 0;                   // of the first new Topic line, or of the Item line
    if (found == path.size()) {
        anchor = lines.topics[doc.treeOrderIndex(parent)];
        tabs = anchor->tabs;
    } else if (parent) {
        size_t index = doc.treeOrderIndex(parent);
        size_t lastIndex = index + SubtreeSize(*parent) - 1;
        anchor = lines.topics[lastIndex];
        if (parent->hasChildren()) {
            // The reader climbs one level per TAB fewer: from the subtree's last Topic up to
            // the level of parent's children.
            Topic* last = parent;
            for (size_t i = index; i < lastIndex; ++i) {
                last = NextInTreeOrder(last);
            }
            size_t climb = static_cast<size_t>(last->level() - parent->level() - 1);
            tabs = anchor->tabs - climb;
        } else {
            tabs = lines.topics[index].tabs + 1;
        }
        if (tabs == 0) {
            throw Error("文書の行を読み分けられませんでした");
        }
    } else if (!lines.topics.empty()) {
        anchor = lines.topics.back();  // the end of the last top-level Topic's subtree
    } else {
        anchor = lines.last;  // after geometry lines or unread Items, if any
    }

    // The line end of the anchor, or the file's first one; in a file without any CR, whose
    // lines end at LF (also after a 0x1A), never a CR, which would make every line end at CR.
    std::string_view lineEnd =
        anchor && anchor->lastEnding > 0 ? file.substr(anchor->lastEnd, anchor->lastEnding)
        : !lines.lineEnd.empty()         ? lines.lineEnd
        : !HoldsCr(file.data(), file.size()) && file.find('\n') != std::string_view::npos
            ? std::string_view("\n")
            : std::string_view("\r\n");
    std::vector<std::string> newLines;
    QuickAdd result;
    Topic* holder = parent;
    for (size_t i = found; i < path.size(); ++i) {
        int level = holder ? holder->level() + 1 : 0;
        std::string caption = FileSafeCaption(path[i], level);
        newLines.push_back(std::string(tabs, '\t') + caption + FormatIconSuffix(0));
        Topic& made = doc.append(holder, doc.create());
        made.setCaption(caption);
        made.icon = 0;
        holder = &made;
        result.made.push_back(caption);
        if (i + 1 < path.size()) {
            ++tabs;
        }
    }
    std::string stored = std::string(kUncheckedMark) + std::string(text);
    newLines.push_back(std::string(tabs, '\t') + '\x08' + stored);
    holder->items.push_back(Item::Unchecked(text));

    std::string inserted;
    size_t at = 0;
    if (anchor && anchor->lastEnding > 0) {
        at = anchor->lastEnd + anchor->lastEnding;
        for (const std::string& line : newLines) {
            inserted += line;
            inserted += lineEnd;
        }
    } else if (anchor) {
        at = anchor->lastEnd;  // the text ends with this line, unended
        for (const std::string& line : newLines) {
            inserted += lineEnd;
            inserted += line;
        }
    } else {
        for (const std::string& line : newLines) {
            inserted += line;
            inserted += lineEnd;
        }
    }
    result.bytes.reserve(file.size() + inserted.size());
    result.bytes.append(file.substr(0, at));
    result.bytes.append(inserted);
    result.bytes.append(file.substr(at));

    // The new bytes must read as the old document with the addition, and nothing else.
    ReadResult again = ParseDocument(result.bytes, options);
    if (Fingerprint(again) != Fingerprint(read)) {
        throw Error(std::string(kReadingWouldChange));
    }
    return result;
}

std::vector<std::string> AddItemToFile(const std::string& file,
                                       const std::vector<std::string>& path, std::string_view text,
                                       const WriteOptions& options) {
    // Another program's save between the read and the write would be lost: look again before
    // writing, and start over when the file changed.
    constexpr int kAttempts = 5;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        FileBlock block = ReadFileBlock(file, 0);
        std::string_view bytes(block.block.data(), block.size);
        std::optional<FileIdentity> before = IdentifyFile(file);
        if (!before || before->hash != HashBytes(bytes)) {
            continue;
        }
        // What the file is, judged as the open judges it, with the file named in the refusal.
        CheckTextStart(bytes.substr(0, kTextKindSample), file);
        QuickAdd add = AddItemToBytes(bytes, path, text);
        if (options.backup) {
            std::string backup = BackupName(file, options.backupFolder);
            std::error_code ec;
            // A document that is itself named like its backup is its own backup.
            if (backup != file && !(std::filesystem::equivalent(backup, file, ec) && !ec)) {
                MakeBackup(file, backup);
            }
        }
        AtomicFileWriter writer(file);
        writer.Write(add.bytes);
        if (CheckFileOnDisk(file, *before).state != DiskState::Unchanged) {
            continue;  // the writer, destroyed, leaves nothing behind
        }
        writer.Commit();
        return add.made;
    }
    throw Error("ファイル " + file +
                " がほかのプログラムに書き換えられ続けているため、項目を加えられませんでした");
}

}  // namespace brenvale
