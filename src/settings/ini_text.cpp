#include "settings/ini_text.h"

#include "common/text.h"

namespace brenvale {

namespace {

bool IsLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// The "]" of a header; a CP932 trail byte of the same value is part of its character.
size_t FindCloseBracket(std::string_view text) {
    for (size_t i = 1; i < text.size(); ++i) {
        if (text[i] == ']') {
            return i;
        }
        if (IsLeadByte(static_cast<unsigned char>(text[i]))) {
            ++i;
        }
    }
    return std::string_view::npos;
}

enum class LineKind { Other, Header, Entry };

struct IniLine {
    size_t begin = 0;
    size_t end = 0;   // before the line break
    size_t next = 0;  // after the line break
    LineKind kind = LineKind::Other;
    std::string_view name;   // section name of a header, key of an entry
    std::string_view value;  // untrimmed value of an entry
};

IniLine ClassifyLine(std::string_view bytes, size_t begin) {
    IniLine line;
    line.begin = begin;
    // A line ends at CR LF, at a lone LF or at a lone CR.
    size_t br = bytes.find_first_of("\r\n", begin);
    if (br == std::string_view::npos) {
        line.end = line.next = bytes.size();
    } else {
        line.end = br;
        line.next = br + (bytes.substr(br, 2) == "\r\n" ? 2 : 1);
    }
    std::string_view text = TrimWhite(bytes.substr(begin, line.end - begin));
    if (text.empty() || text.front() == ';') {
        return line;
    }
    if (text.front() == '[') {
        size_t close = FindCloseBracket(text);
        line.kind = LineKind::Header;
        line.name =
            TrimWhite(text.substr(1, close == std::string_view::npos ? text.npos : close - 1));
        return line;
    }
    size_t eq = text.find('=');
    if (eq != std::string_view::npos) {
        line.kind = LineKind::Entry;
        line.name = TrimWhite(text.substr(0, eq));
        line.value = text.substr(eq + 1);
    }
    return line;
}

std::vector<IniLine> SplitLines(std::string_view bytes) {
    std::vector<IniLine> lines;
    for (size_t pos = 0; pos < bytes.size();) {
        lines.push_back(ClassifyLine(bytes, pos));
        pos = lines.back().next;
    }
    return lines;
}

// The header line of the first section of that name at or after line `from` (npos when there
// is none) and the line that ends the section (the next header, or the end).
struct SectionRange {
    size_t header = std::string_view::npos;
    size_t last = 0;
};

SectionRange FindSection(const std::vector<IniLine>& lines, std::string_view section,
                         size_t from = 0) {
    SectionRange range;
    for (size_t i = from; i < lines.size(); ++i) {
        if (lines[i].kind != LineKind::Header) {
            continue;
        }
        if (range.header != std::string_view::npos) {
            range.last = i;
            return range;
        }
        if (IniNamesEqual(lines[i].name, section)) {
            range.header = i;
        }
    }
    range.last = lines.size();
    return range;
}

// The line break the file already uses; a new file gets CR LF like the documents.
std::string_view LineBreakOf(std::string_view bytes) {
    size_t br = bytes.find_first_of("\r\n");
    if (br == std::string_view::npos || bytes.substr(br, 2) == "\r\n") {
        return "\r\n";
    }
    return bytes[br] == '\r' ? "\r" : "\n";
}

}  // namespace

bool IniNamesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) {
                return false;
            }
            ++i;
        } else if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

std::optional<std::string> FindIniValue(std::string_view bytes, std::string_view section,
                                        std::string_view key) {
    std::vector<IniLine> lines = SplitLines(bytes);
    SectionRange range = FindSection(lines, section);
    if (range.header == std::string_view::npos) {
        return std::nullopt;
    }
    for (size_t i = range.header + 1; i < range.last; ++i) {
        if (lines[i].kind == LineKind::Entry && IniNamesEqual(lines[i].name, key)) {
            std::string_view value = TrimWhite(lines[i].value);
            return std::string(value.substr(0, kMaxIniValue));
        }
    }
    return std::nullopt;
}

std::vector<std::string> IniSectionNames(std::string_view bytes) {
    std::vector<std::string> names;
    for (const IniLine& line : SplitLines(bytes)) {
        if (line.kind == LineKind::Header) {
            names.emplace_back(line.name);
        }
    }
    return names;
}

std::vector<std::string> IniSectionKeys(std::string_view bytes, std::string_view section) {
    std::vector<IniLine> lines = SplitLines(bytes);
    SectionRange range = FindSection(lines, section);
    std::vector<std::string> keys;
    if (range.header == std::string_view::npos) {
        return keys;
    }
    for (size_t i = range.header + 1; i < range.last; ++i) {
        if (lines[i].kind == LineKind::Entry) {
            keys.emplace_back(lines[i].name);
        }
    }
    return keys;
}

std::string SetIniValue(std::string_view bytes, std::string_view section, std::string_view key,
                        std::string_view value) {
    const std::string_view br = LineBreakOf(bytes);
    std::string entry = std::string(key) + "=" + std::string(value);
    std::vector<IniLine> lines = SplitLines(bytes);
    SectionRange range = FindSection(lines, section);
    std::string out;
    out.reserve(bytes.size() + entry.size() + section.size() + 8);
    if (range.header == std::string_view::npos) {
        out.append(bytes);
        if (!out.empty() && out.back() != '\n' && out.back() != '\r') {
            out.append(br);
        }
        out.append("[").append(section).append("]").append(br).append(entry).append(br);
        return out;
    }
    for (size_t i = range.header + 1; i < range.last; ++i) {
        if (lines[i].kind == LineKind::Entry && IniNamesEqual(lines[i].name, key)) {
            out.append(bytes.substr(0, lines[i].begin));
            out.append(entry);
            out.append(bytes.substr(lines[i].end));
            return out;
        }
    }
    size_t after = range.header;
    for (size_t i = range.header + 1; i < range.last; ++i) {
        if (!TrimWhite(bytes.substr(lines[i].begin, lines[i].end - lines[i].begin)).empty()) {
            after = i;
        }
    }
    const IniLine& anchor = lines[after];
    out.append(bytes.substr(0, anchor.next));
    if (anchor.next == anchor.end) {
        out.append(br);  // the anchor was the last line and had no line break
    }
    out.append(entry).append(br);
    out.append(bytes.substr(anchor.next));
    return out;
}

std::string EraseIniSection(std::string_view bytes, std::string_view section) {
    std::vector<IniLine> lines = SplitLines(bytes);
    std::string out;
    out.reserve(bytes.size());
    size_t kept = 0;  // lines before this index are copied
    for (SectionRange range = FindSection(lines, section); range.header != std::string_view::npos;
         range = FindSection(lines, section, range.last)) {
        size_t begin = lines[range.header].begin;
        out.append(bytes.substr(lines[kept].begin, begin - lines[kept].begin));
        kept = range.last;
        if (kept == lines.size()) {
            return out;
        }
    }
    if (kept < lines.size()) {
        out.append(bytes.substr(lines[kept].begin));
    }
    return out;
}

std::string ReplaceIniSection(std::string_view bytes, std::string_view section,
                              const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string out = EraseIniSection(bytes, section);
    for (const auto& [key, value] : entries) {
        out = SetIniValue(out, section, key, value);
    }
    return out;
}

}  // namespace brenvale
