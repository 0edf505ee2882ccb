#include "schedule/agenda_file.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include "common/byte_block.h"
#include "common/error.h"
#include "common/icon_suffix.h"
#include "common/readable_file.h"
#include "document/item.h"
#include "document/line_rules.h"
#include "document/line_scan.h"
#include "document/read_checks.h"
#include "document/safe_text.h"

namespace brenvale {

namespace {

// Where the bytes come from, piece by piece.
class Source {
public:
    virtual ~Source() = default;
    virtual size_t read(char* into, size_t size) = 0;
    virtual void rewind() = 0;
};

class FileSource : public Source {
public:
    explicit FileSource(const ReadableFile& file) : file_(file) {}
    size_t read(char* into, size_t size) override {
        return ReadFully(file_.fd(), into, size, file_.path());
    }
    void rewind() override {
        if (::lseek(file_.fd(), 0, SEEK_SET) != 0) {
            throw Error(ReadErrorText(file_.path(), errno));
        }
    }

private:
    const ReadableFile& file_;
};

class BytesSource : public Source {
public:
    BytesSource(std::string_view bytes, size_t piece) : bytes_(bytes), piece_(piece) {}
    size_t read(char* into, size_t size) override {
        size_t n = std::min({size, piece_, bytes_.size() - at_});
        std::memcpy(into, bytes_.data() + at_, n);
        at_ += n;
        return n;
    }
    void rewind() override { at_ = 0; }

private:
    std::string_view bytes_;
    size_t piece_;
    size_t at_ = 0;
};

// Reads the lines of a document by the reader's rules and keeps the agenda's Items.
class Scanner {
public:
    Scanner(Date today, const ListKindOptions& list, const AgendaOptions& options,
            std::string_view separator)
        : today_(today), list_(list), options_(options), separator_(separator) {
        // The matcher builds a folding table of the whole code page: only for a filter.
        if (!options.tags.empty()) {
            TagFilter filter;
            filter.require = options.tags;
            matcher_.emplace(filter);
        }
    }

    // Reads the whole source into out; false, with out unfinished, when lines were taken to
    // end at LF and a CR turned up.
    bool run(Source& source, size_t piece, bool crEndsLines, FileAgenda& out);

private:
    void line(char* begin, char* end, bool colon);
    void topicLine(size_t tabs, std::string_view rest);
    void itemLine(std::string_view stored);

    Date today_;
    const ListKindOptions& list_;
    const AgendaOptions& options_;
    std::string_view separator_;
    std::optional<TagMatcher> matcher_;
    FileAgenda* out_ = nullptr;

    size_t topics_ = 0;
    size_t level_ = 0;
    size_t lastTabs_ = 0;
    // The captions from the top level down to the last Topic: the first depth_ of them (the
    // strings are kept, so that their memory is used again).
    std::vector<std::string> captions_;
    size_t depth_ = 0;
    // The last Topic's path, once one of its Items is in the agenda.
    std::optional<std::string_view> path_;
    std::string joined_;
};

void Scanner::topicLine(size_t tabs, std::string_view rest) {
    if (topics_ == 0 || tabs == 0) {
        level_ = 0;  // the first Topic is on the top level, whatever its TABs
    } else {
        TopicStep step = StepAfter(lastTabs_, tabs);
        level_ = step.below ? level_ + 1 : level_ - std::min(level_, step.up);
    }
    lastTabs_ = tabs;
    ++topics_;
    if (captions_.size() <= level_) {
        captions_.resize(level_ + 1);
    }
    std::string_view caption = StripIconSuffix(rest);
    if (tabs > 0 && level_ == 0 && !IsFileSafeCaption(caption)) {
        // As the reader keeps it: a line with TABs that lands on the top level.
        captions_[0] = FileSafeCaption(caption);
    } else {
        captions_[level_].assign(caption);
    }
    depth_ = level_ + 1;
    path_.reset();
}

void Scanner::itemLine(std::string_view stored) {
    if (IsCheckedMark(StoredMark(stored))) {
        return;
    }
    std::string_view text = StoredText(stored);
    std::optional<DueDate> due;
    ForEachToken(text, [&](const ItemToken& token) {
        if (token.kind == TokenKind::Due && !due) {
            due = token.due;
        }
    });
    if (!due || !CountsAsUnchecked(text, false, list_)) {
        return;
    }
    if (options_.through && due->day > *options_.through && due->day >= today_) {
        return;
    }
    if (!options_.tags.empty() && !matcher_->matches(text)) {
        return;
    }
    if (!path_) {
        joined_.clear();
        for (size_t i = 0; i < depth_; ++i) {
            if (i > 0) {
                joined_.append(separator_);
            }
            joined_.append(captions_[i]);
        }
        path_ = out_->texts.keep(joined_);
    }
    out_->entries.push_back({*due, *path_, out_->texts.keep(text)});
}

void Scanner::line(char* begin, char* end, bool colon) {
    *end = '\r';
    LineHead head = ReadLineHead(begin);
    switch (head.kind) {
        case LineKind::Geometry:
            return;
        case LineKind::Item:
            if (topics_ == 0) {
                ++out_->unreadLines;  // an Item without a Topic to hold it
            } else if (colon) {
                itemLine(std::string_view(head.rest + 1, static_cast<size_t>(end - head.rest - 1)));
            }
            return;
        case LineKind::Topic:
            topicLine(head.tabs, std::string_view(head.rest, static_cast<size_t>(end - head.rest)));
            return;
    }
}

bool Scanner::run(Source& source, size_t piece, bool crEndsLines, FileAgenda& out) {
    out_ = &out;
    ByteBlock buffer(piece + 1);  // one byte more for the CR that ends the last line
    size_t held = 0;              // the open line, at the buffer's start
    bool colon = false;           // the open line holds a ':'
    bool afterCr = false;         // the last piece ended with a CR
    UnreadLineCounter tail;
    for (;;) {
        if (held == buffer.size() - 1) {
            ByteBlock bigger(buffer.size() * 2);  // a line longer than a piece
            std::memcpy(bigger.data(), buffer.data(), held);
            buffer = std::move(bigger);
        }
        char* data = buffer.data();
        size_t n = source.read(data + held, buffer.size() - 1 - held);
        if (n == 0) {
            if (held > 0) {
                line(data, data + held, colon);
            }
            break;
        }
        if (!crEndsLines) {
            if (HoldsCr(data + held, n)) {
                return false;
            }
            EndLinesAtLineFeeds(data + held, n);
        }
        size_t limit = held + n;
        const char* eof = static_cast<const char*>(std::memchr(data + held, kEndOfFile, n));
        if (eof) {
            tail.feed(std::string_view(eof + 1, static_cast<size_t>(data + limit - eof - 1)));
            limit = static_cast<size_t>(eof - data);
        }
        size_t lineStart = 0;
        size_t scanFrom = held;
        if (afterCr && held == 0 && limit > 0 && data[0] == '\n') {
            lineStart = scanFrom = 1;  // the LF of the CR that ended the last piece
        }
        afterCr = false;
        ForEachByteOf(data + scanFrom, limit - scanFrom, '\r', ':', [&](size_t offset) {
            size_t at = scanFrom + offset;
            if (data[at] == ':') {
                colon = true;
                return true;
            }
            line(data + lineStart, data + at, colon);
            colon = false;
            lineStart = at + 1;
            if (lineStart == limit) {
                afterCr = true;
            } else if (data[lineStart] == '\n') {
                ++lineStart;  // an LF directly after a CR belongs to the line end
            }
            return true;
        });
        if (eof) {
            // A 0x1A ends the text, and the line it cuts; the rest is only counted.
            if (lineStart < limit) {
                line(data + lineStart, data + limit, colon);
            }
            while ((n = source.read(data, buffer.size() - 1)) > 0) {
                if (!crEndsLines) {
                    if (HoldsCr(data, n)) {
                        return false;
                    }
                    EndLinesAtLineFeeds(data, n);
                }
                tail.feed(std::string_view(data, n));
            }
            break;
        }
        held = limit - lineStart;
        std::memmove(data, data + lineStart, held);
    }
    out.unreadLines += tail.lines();
    return true;
}

FileAgenda Read(Source& source, Date today, const ListKindOptions& list,
                const AgendaOptions& options, std::string_view separator, size_t piece) {
    piece = std::max(piece, kTextKindSample);
    FileAgenda agenda;
    // The start of the text decides its kind, and whether its lines end at CR.
    std::string start(kTextKindSample, '\0');
    size_t filled = 0;
    for (size_t n = 1; n > 0 && filled < start.size(); filled += n) {
        n = source.read(start.data() + filled, start.size() - filled);
    }
    start.resize(filled);
    agenda.utf8 = CheckTextStart(start, {}) == TextKind::Utf8;
    source.rewind();
    bool crEndsLines = HoldsCr(start.data(), start.size());
    for (;;) {
        Scanner scanner(today, list, options, separator);
        if (scanner.run(source, piece, crEndsLines, agenda)) {
            break;
        }
        // A CR after all: every line ends at CR. Read again.
        bool marked = agenda.utf8;
        agenda = FileAgenda{};
        agenda.utf8 = marked;
        crEndsLines = true;
        source.rewind();
    }
    return agenda;
}

}  // namespace

FileAgenda ReadFileAgenda(const std::string& path, Date today, const ListKindOptions& list,
                          const AgendaOptions& options, std::string_view separator, size_t piece) {
    ReadableFile file(path);
    FileSource source(file);
    return Read(source, today, list, options, separator, piece);
}

FileAgenda ReadBytesAgenda(std::string_view bytes, Date today, const ListKindOptions& list,
                           const AgendaOptions& options, std::string_view separator, size_t piece) {
    BytesSource source(bytes, piece);
    return Read(source, today, list, options, separator, piece);
}

}  // namespace brenvale
