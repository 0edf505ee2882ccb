// Writing an INI text: any number of edits in one pass over the text.
//
// Edits change the text section by section. The text is read once to find, for every section
// an edit names, where each of its occurrences begins and ends, where its keys stand in its
// first occurrence and after which line new keys go. The edits are then played on that
// summary in order, and the result is handed out in a second pass as pieces: runs of the
// original text the edits left alone, and the lines they change or add. A file is written from
// the pieces without the whole new text in memory.
#include <algorithm>
#include <functional>
#include <map>
#include <unordered_map>

#include "settings/ini_lines.h"
#include "settings/ini_text.h"

namespace brenvale {

namespace {

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
    std::vector<size_t> appended;  // alive appended sections of this name, in order
};

class EditPlayer {
public:
    // Reads the text and plays the edits on its summary.
    EditPlayer(std::string_view bytes, std::span<const IniEdit> edits);
    // Hands out the text after the edits, piece by piece.
    void Render(const IniTextSink& write) const;

private:
    void Scan();
    void Set(const IniEdit& edit);
    void Erase(const IniEdit& edit);
    std::string_view CurrentBreak() const;
    std::string_view AppendedBreak() const;
    bool EndsWithoutBreak() const;

    std::string_view bytes_;
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
};

EditPlayer::EditPlayer(std::string_view bytes, std::span<const IniEdit> edits) : bytes_(bytes) {
    for (const IniEdit& edit : edits) {
        NamedSection& section = sections_[FoldedIniName(edit.section)];
        if (edit.kind == IniEdit::Kind::Set) {
            section.keyLines.emplace(FoldedIniName(edit.key), std::pair{kNone, kNone});
        }
    }
    Scan();
    for (const IniEdit& edit : edits) {
        if (edit.kind == IniEdit::Kind::Set) {
            Set(edit);
        } else {
            Erase(edit);
        }
    }
}

void EditPlayer::Scan() {
    NamedSection* current = nullptr;
    bool first = false;  // current is the first occurrence of its name
    bool seenHeader = false;
    bool leading = true;
    std::string name;
    IniLineScanner scanner(bytes_);
    for (IniLine line; scanner.Next(&line);) {
        if (line.kind == IniLineKind::Header) {
            if (current) {
                current->occurrences.back().end = line.begin;
            }
            seenHeader = true;
            FoldIniName(line.name, &name);
            auto found = sections_.find(name);
            current = found == sections_.end() ? nullptr : &found->second;
            if (!current) {
                if (leading) {
                    leading = false;
                    otherAfterLeading_ = true;
                    otherBreak_ = line.lineBreak(bytes_);
                }
                continue;
            }
            first = current->occurrences.empty();
            current->occurrences.push_back({line.begin, kNone, line.lineBreak(bytes_)});
            current->originalAlive = true;
            if (first) {
                current->anchor = line.next;
                current->anchorHasBreak = line.next != line.end;
            }
            if (leading) {
                leading_.emplace_back(current, current->occurrences.size() - 1);
            }
            continue;
        }
        if (!seenHeader) {
            if (preambleBreak_.empty()) {
                preambleBreak_ = line.lineBreak(bytes_);
            }
            continue;
        }
        if (!current || !first) {
            continue;
        }
        if (!line.blank) {
            current->anchor = line.next;
            current->anchorHasBreak = line.next != line.end;
        }
        if (line.kind == IniLineKind::Entry) {
            FoldIniName(line.name, &name);
            auto key = current->keyLines.find(name);
            if (key != current->keyLines.end() && key->second.first == kNone) {
                key->second = {line.begin, line.end};
            }
        }
    }
    if (current) {
        current->occurrences.back().end = bytes_.size();
    }
    last_ = current;
}

std::string_view EditPlayer::AppendedBreak() const {
    for (const AppendedSection& section : appended_) {
        if (section.alive) {
            return section.lineBreak;
        }
    }
    return {};
}

// The first line break of the text as the edits so far have left it.
std::string_view EditPlayer::CurrentBreak() const {
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
bool EditPlayer::EndsWithoutBreak() const {
    if (!AppendedBreak().empty()) {
        return false;
    }
    if (last_ && !last_->originalAlive) {
        // Whatever precedes the erased last section ended with a line break, or is nothing.
        return false;
    }
    if (bytes_.empty() || bytes_.back() == '\n' || bytes_.back() == '\r') {
        return false;
    }
    return tailBreak_.empty();
}

void EditPlayer::Set(const IniEdit& edit) {
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

void EditPlayer::Erase(const IniEdit& edit) {
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

void EditPlayer::Render(const IniTextSink& write) const {
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
        changes.push_back({bytes_.size(), Kind::TailBreak, bytes_.size(), nullptr, nullptr});
    }
    std::sort(changes.begin(), changes.end(), [](const Change& a, const Change& b) {
        return a.at != b.at ? a.at < b.at : a.kind < b.kind;
    });
    auto out = [&write](std::string_view piece) {
        if (!piece.empty()) {
            write(piece);
        }
    };
    size_t copied = 0;  // the original text before this is done with
    for (const Change& change : changes) {
        out(bytes_.substr(copied, change.at - copied));
        copied = change.at;
        switch (change.kind) {
            case Kind::TailBreak:
                out(tailBreak_);
                break;
            case Kind::Added:
                for (const AddedLine& line : change.section->added) {
                    out(line.text);
                    out(line.lineBreak);
                    // A lone CR before an empty line that ends in LF makes one CR LF of the
                    // two, as the text read again would: the next line follows that.
                    if (line.lineBreak == "\r" && copied < bytes_.size() &&
                        bytes_[copied] == '\n') {
                        out(bytes_.substr(copied, 1));
                        ++copied;
                    }
                }
                break;
            case Kind::Replaced:
                out(*change.text);
                copied = change.end;
                break;
            case Kind::Skipped:
                copied = change.end;
                break;
        }
    }
    out(bytes_.substr(copied));
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

}  // namespace

void WriteIniEdits(std::string_view bytes, std::span<const IniEdit> edits,
                   const IniTextSink& write) {
    if (edits.empty()) {
        if (!bytes.empty()) {
            write(bytes);
        }
        return;
    }
    EditPlayer(bytes, edits).Render(write);
}

bool IniEditsChange(std::string_view bytes, std::span<const IniEdit> edits) {
    // A run of the original text that lands where it was is the same by its place alone; only
    // the pieces that moved or are new are compared.
    size_t at = 0;
    bool changed = false;
    WriteIniEdits(bytes, edits, [&](std::string_view piece) {
        if (!changed && piece.data() != bytes.data() + at) {
            changed = at > bytes.size() || bytes.substr(at, piece.size()) != piece;
        }
        at += piece.size();
    });
    return changed || at != bytes.size();
}

std::string ApplyIniEdits(std::string_view bytes, std::span<const IniEdit> edits) {
    if (edits.empty()) {
        return std::string(bytes);
    }
    const EditPlayer player(bytes, edits);
    size_t size = 0;
    player.Render([&size](std::string_view piece) { size += piece.size(); });
    std::string out;
    out.reserve(size);
    player.Render([&out](std::string_view piece) { out.append(piece); });
    return out;
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
