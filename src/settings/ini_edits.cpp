// Writing an INI text: any number of edits in one pass over the text.
//
// Edits change the text section by section. The text is read once to find, for every section
// an edit names, where each of its occurrences begins and ends, where its keys stand in its
// first occurrence and after which line new keys go. The edits are then played on that
// summary in order, and the result is handed out as pieces: runs of the original text the edits
// left alone, and the lines they change or add. The text comes from an IniSource, so that a file
// is read in pieces and written from them without the whole text, old or new, in memory.
#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <unordered_map>

#include "settings/ini_lines.h"
#include "settings/ini_text.h"

namespace brenvale {

// The player and its parts, in a namespace of their own: the player is named outside this file.
namespace ini_edit_parts {

constexpr size_t kNone = std::string_view::npos;
constexpr std::string_view kDefaultBreak = "\r\n";

// A line the edits add: its folded key, its text without the line break, and the line break
// the text had when the line was added.
struct AddedLine {
    std::string key;
    std::string text;
    std::string_view lineBreak;
};

// Sets the line of key in lines to text; false when no line has that key.
bool Replace(std::vector<AddedLine>& lines, const std::string& key, const std::string& text) {
    for (AddedLine& line : lines) {
        if (line.key == key) {
            line.text = text;
            return true;
        }
    }
    return false;
}

// One occurrence of a section in the original text: from its header to the next header.
struct Occurrence {
    size_t begin = 0;
    size_t end = 0;
    std::string_view headerBreak;  // empty when the header is the text's last line
};

// A section appended by the edits.
struct AppendedSection {
    std::string header;
    std::string_view lineBreak;
    std::vector<AddedLine> lines;
    bool alive = true;
};

// Everything the edits do to the sections of one name.
struct NamedSection {
    std::vector<Occurrence> occurrences;
    bool originalAlive = false;  // not erased
    // In the first occurrence: the keys the edits set, where the text has them (begin, end
    // of the line; kNone when it has not), and where keys that are new go.
    std::unordered_map<std::string, std::pair<size_t, size_t>> keyLines;
    size_t anchor = 0;  // after the last non-blank line
    bool anchorHasBreak = true;
    std::map<size_t, std::pair<size_t, std::string>> replaced;  // line begin -> end, text
    std::vector<AddedLine> added;
    // How many empty lines ended by a lone LF follow the anchor, one after the other.
    size_t lineFeedsAtAnchor = 0;
    std::vector<size_t> appended;  // alive appended sections of this name, in order
};

class IniEditPlayer {
public:
    // Reads the text and plays the edits on its summary.
    IniEditPlayer(const IniSource& source, std::span<const IniEdit> edits);
    // Hands out the text after the edits, piece by piece: runs of the original text as their
    // places [from, to), and the bytes the edits put in.
    using RunSink = std::function<void(size_t from, size_t to)>;
    void Render(const RunSink& run, const IniTextSink& text) const;
    size_t size() const { return size_; }

private:
    void Scan(const IniSource& source);
    void See(const IniLine& line, std::string_view lineBreak);
    void Set(const IniEdit& edit);
    void Erase(const IniEdit& edit);
    std::string_view CurrentBreak() const;
    std::string_view AppendedBreak() const;
    bool EndsWithoutBreak() const;

    size_t size_ = 0;            // of the original text
    bool endsWithBreak_ = true;  // its last line has a line break (or it is empty)
    std::unordered_map<std::string, NamedSection> sections_;  // by folded name
    std::vector<AppendedSection> appended_;
    // The first line break of the text before its first section.
    std::string_view preambleBreak_;
    // The sections at the very start of the text that edits name, in order, up to the first
    // section no edit names; that one's header line break, when there is such a section.
    std::vector<std::pair<NamedSection*, size_t>> leading_;
    bool otherAfterLeading_ = false;
    std::string_view otherBreak_;
    // The original text's last section, when an edit names it (else nullptr).
    NamedSection* last_ = nullptr;
    // The line break the edits put at the end of the original text's last line.
    std::string_view tailBreak_;
    // While scanning: the section whose anchor the lines now seen follow, and the line
    // that would be the next of the run of empty LF lines after it.
    NamedSection* afterAnchor_ = nullptr;
    size_t runNext_ = 0;
    // While scanning: the section the lines belong to (nullptr: one no edit names), and
    // whether this is the first occurrence of its name.
    NamedSection* current_ = nullptr;
    bool first_ = false;
    bool seenHeader_ = false;
    bool inLeading_ = true;
    std::string name_;
};

IniEditPlayer::IniEditPlayer(const IniSource& source, std::span<const IniEdit> edits) {
    for (const IniEdit& edit : edits) {
        NamedSection& section = sections_[FoldedIniName(edit.section)];
        if (edit.kind == IniEdit::Kind::Set) {
            section.keyLines.emplace(FoldedIniName(edit.key), std::pair{kNone, kNone});
        }
    }
    Scan(source);
    for (const IniEdit& edit : edits) {
        if (edit.kind == IniEdit::Kind::Set) {
            Set(edit);
        } else {
            Erase(edit);
        }
    }
}

void IniEditPlayer::Scan(const IniSource& source) {
    source.ForEachLine([this](const IniLine& line, std::string_view lineBreak) {
        See(line, lineBreak);
        return true;
    });
    if (current_) {
        current_->occurrences.back().end = size_;
    }
    last_ = current_;
}

void IniEditPlayer::See(const IniLine& line, std::string_view lineBreak) {
    size_ = line.next;
    endsWithBreak_ = line.next != line.end;
    if (afterAnchor_) {
        if (line.begin == runNext_ && line.end == line.begin && lineBreak == "\n") {
            ++afterAnchor_->lineFeedsAtAnchor;
            runNext_ = line.next;
        } else {
            afterAnchor_ = nullptr;
        }
    }
    auto anchorAfter = [&](NamedSection* section) {
        section->anchor = line.next;
        section->anchorHasBreak = line.next != line.end;
        section->lineFeedsAtAnchor = 0;
        afterAnchor_ = section;
        runNext_ = line.next;
    };
    if (line.kind == IniLineKind::Header) {
        if (current_) {
            current_->occurrences.back().end = line.begin;
        }
        seenHeader_ = true;
        FoldIniName(line.name, &name_);
        auto found = sections_.find(name_);
        current_ = found == sections_.end() ? nullptr : &found->second;
        if (!current_) {
            if (inLeading_) {
                inLeading_ = false;
                otherAfterLeading_ = true;
                otherBreak_ = lineBreak;
            }
            return;
        }
        first_ = current_->occurrences.empty();
        current_->occurrences.push_back({line.begin, kNone, lineBreak});
        current_->originalAlive = true;
        if (first_) {
            anchorAfter(current_);
        }
        if (inLeading_) {
            leading_.emplace_back(current_, current_->occurrences.size() - 1);
        }
        return;
    }
    if (!seenHeader_) {
        if (preambleBreak_.empty()) {
            preambleBreak_ = lineBreak;
        }
        return;
    }
    if (!current_ || !first_) {
        return;
    }
    if (!line.blank) {
        anchorAfter(current_);
    }
    if (line.kind == IniLineKind::Entry) {
        FoldIniName(line.name, &name_);
        auto key = current_->keyLines.find(name_);
        if (key != current_->keyLines.end() && key->second.first == kNone) {
            key->second = {line.begin, line.end};
        }
    }
}

std::string_view IniEditPlayer::AppendedBreak() const {
    for (const AppendedSection& section : appended_) {
        if (section.alive) {
            return section.lineBreak;
        }
    }
    return {};
}

// The first line break of the text as the edits so far have left it.
std::string_view IniEditPlayer::CurrentBreak() const {
    std::string_view found = preambleBreak_;
    if (found.empty()) {
        bool decided = false;
        for (const auto& [section, index] : leading_) {
            if (section->originalAlive) {
                found = section->occurrences[index].headerBreak;
                decided = true;
                break;
            }
        }
        if (!decided && otherAfterLeading_) {
            found = otherBreak_;
        }
        // A header or a preamble on the last line without a break: the break the edits added
        // to it comes first.
        if (found.empty()) {
            found = tailBreak_;
        }
        if (found.empty()) {
            found = AppendedBreak();
        }
    }
    return found.empty() ? kDefaultBreak : found;
}

// Whether the text ends with a line that has no break: an appended section needs one first.
bool IniEditPlayer::EndsWithoutBreak() const {
    if (!AppendedBreak().empty()) {
        return false;
    }
    if (last_ && !last_->originalAlive) {
        // Whatever precedes the erased last section ended with a line break, or is nothing.
        return false;
    }
    if (endsWithBreak_) {
        return false;
    }
    return tailBreak_.empty();
}

void IniEditPlayer::Set(const IniEdit& edit) {
    const std::string key = FoldedIniName(edit.key);
    const std::string text = edit.key + "=" + edit.value;
    const std::string_view lineBreak = CurrentBreak();
    NamedSection& section = sections_.at(FoldedIniName(edit.section));
    if (section.originalAlive) {
        const auto& [begin, end] = section.keyLines.at(key);
        if (begin != kNone) {
            section.replaced[begin] = {end, text};
            return;
        }
        if (Replace(section.added, key, text)) {
            return;
        }
        // The last line of the text gets its line break before the new line follows it.
        if (!section.anchorHasBreak && tailBreak_.empty()) {
            tailBreak_ = lineBreak;
        }
        section.added.push_back({key, text, lineBreak});
        return;
    }
    if (!section.appended.empty()) {
        AppendedSection& target = appended_[section.appended.front()];
        if (!Replace(target.lines, key, text)) {
            target.lines.push_back({key, text, lineBreak});
        }
        return;
    }
    if (EndsWithoutBreak()) {
        tailBreak_ = lineBreak;
    }
    section.appended.push_back(appended_.size());
    appended_.push_back({"[" + edit.section + "]", lineBreak, {{key, text, lineBreak}}});
}

void IniEditPlayer::Erase(const IniEdit& edit) {
    NamedSection& section = sections_.at(FoldedIniName(edit.section));
    if (section.originalAlive && &section == last_) {
        tailBreak_ = {};  // it ended the last line of that section
    }
    section.originalAlive = false;
    section.replaced.clear();
    section.added.clear();
    for (size_t index : section.appended) {
        appended_[index].alive = false;
    }
    section.appended.clear();
}

void IniEditPlayer::Render(const RunSink& run, const IniTextSink& text) const {
    // The places where the output differs from the original text, in text order. At one
    // place the break at the end of the text comes first, then added lines, then a section
    // left out.
    enum class Kind { TailBreak, Added, Replaced, Skipped };
    struct Change {
        size_t at;
        Kind kind;
        size_t end;
        const NamedSection* section;
        const std::string* text;
    };
    std::vector<Change> changes;
    for (const auto& [name, section] : sections_) {
        if (!section.originalAlive) {
            for (const Occurrence& occurrence : section.occurrences) {
                changes.push_back(
                    {occurrence.begin, Kind::Skipped, occurrence.end, &section, nullptr});
            }
            continue;
        }
        for (const auto& [begin, line] : section.replaced) {
            changes.push_back({begin, Kind::Replaced, line.first, &section, &line.second});
        }
        if (!section.added.empty()) {
            changes.push_back({section.anchor, Kind::Added, section.anchor, &section, nullptr});
        }
    }
    if (!tailBreak_.empty()) {
        changes.push_back({size_, Kind::TailBreak, size_, nullptr, nullptr});
    }
    std::sort(changes.begin(), changes.end(), [](const Change& a, const Change& b) {
        return a.at != b.at ? a.at < b.at : a.kind < b.kind;
    });
    auto out = [&text](std::string_view piece) {
        if (!piece.empty()) {
            text(piece);
        }
    };
    auto copy = [&run](size_t from, size_t to) {
        if (from < to) {
            run(from, to);
        }
    };
    size_t copied = 0;  // the original text before this is done with
    for (const Change& change : changes) {
        copy(copied, change.at);
        copied = change.at;
        switch (change.kind) {
            case Kind::TailBreak:
                out(tailBreak_);
                break;
            case Kind::Added: {
                size_t lineFeeds = change.section->lineFeedsAtAnchor;
                for (const AddedLine& line : change.section->added) {
                    out(line.text);
                    out(line.lineBreak);
                    // A lone CR before an empty line that ends in LF makes one CR LF of the
                    // two, as the text read again would: the next line follows that.
                    if (line.lineBreak == "\r" && lineFeeds > 0) {
                        out("\n");
                        ++copied;
                        --lineFeeds;
                    }
                }
                break;
            }
            case Kind::Replaced:
                out(*change.text);
                copied = change.end;
                break;
            case Kind::Skipped:
                copied = change.end;
                break;
        }
    }
    copy(copied, size_);
    for (const AppendedSection& section : appended_) {
        if (!section.alive) {
            continue;
        }
        out(section.header);
        out(section.lineBreak);
        for (const AddedLine& line : section.lines) {
            out(line.text);
            out(line.lineBreak);
        }
    }
}

}  // namespace ini_edit_parts

void WriteIniEdits(std::string_view bytes, std::span<const IniEdit> edits,
                   const IniTextSink& write) {
    const IniTextSource source(bytes);
    IniEditedText(source, edits).Write(write);
}

bool IniEditsChange(std::string_view bytes, std::span<const IniEdit> edits) {
    const IniTextSource source(bytes);
    return IniEditedText(source, edits).Changes();
}

std::string ApplyIniEdits(std::string_view bytes, std::span<const IniEdit> edits) {
    const IniTextSource source(bytes);
    const IniEditedText edited(source, edits);
    size_t size = 0;
    edited.Write([&size](std::string_view piece) { size += piece.size(); });
    std::string out;
    out.reserve(size);
    edited.Write([&out](std::string_view piece) { out.append(piece); });
    return out;
}

IniEditedText::IniEditedText(const IniSource& source, std::span<const IniEdit> edits)
    : source_(source), player_(std::make_unique<ini_edit_parts::IniEditPlayer>(source, edits)) {}

IniEditedText::~IniEditedText() = default;

void IniEditedText::Write(const IniTextSink& write) const {
    player_->Render([&](size_t from, size_t to) { source_.Copy(from, to, write); }, write);
}

bool IniEditedText::Changes() const {
    // A run of the original text that lands where it was is the same by its place alone; only
    // the pieces that moved or are new are compared, up to the first difference.
    constexpr size_t kCompared = size_t{64} << 10;
    size_t at = 0;
    bool changed = false;
    auto compare = [&](std::string_view piece) {
        changed = changed || !source_.Holds(at, piece);
        at += piece.size();
    };
    player_->Render(
        [&](size_t from, size_t to) {
            if (from == at) {
                at = to;
                return;
            }
            for (; from < to && !changed; from += std::min(kCompared, to - from)) {
                source_.Copy(from, from + std::min(kCompared, to - from), compare);
            }
            at += to - from;  // what is left once a difference is found
        },
        [&](std::string_view piece) {
            if (!changed) {
                compare(piece);
            } else {
                at += piece.size();
            }
        });
    return changed || at != player_->size();
}

std::string SetIniValue(std::string_view bytes, std::string_view section, std::string_view key,
                        std::string_view value) {
    const IniEdit edits[] = {IniEdit::Set(section, key, value)};
    return ApplyIniEdits(bytes, edits);
}

std::string EraseIniSection(std::string_view bytes, std::string_view section) {
    const IniEdit edits[] = {IniEdit::Erase(section)};
    return ApplyIniEdits(bytes, edits);
}

std::string ReplaceIniSection(std::string_view bytes, std::string_view section,
                              const std::vector<std::pair<std::string, std::string>>& entries) {
    std::vector<IniEdit> edits = {IniEdit::Erase(section)};
    for (const auto& [key, value] : entries) {
        edits.push_back(IniEdit::Set(section, key, value));
    }
    return ApplyIniEdits(bytes, edits);
}

}  // namespace brenvale
