#include "settings/ini_lines.h"

#include <algorithm>
#include <cstring>

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

}  // namespace

IniLine ClassifyIniLine(std::string_view bytes, size_t begin, size_t lineBreak) {
    IniLine line;
    line.begin = begin;
    if (lineBreak >= bytes.size()) {
        line.end = line.next = bytes.size();
    } else {
        line.end = lineBreak;
        line.next = lineBreak + (bytes.substr(lineBreak, 2) == "\r\n" ? 2 : 1);
    }
    std::string_view text = TrimWhite(bytes.substr(begin, line.end - begin));
    line.blank = text.empty();
    if (text.empty() || text.front() == ';') {
        return line;
    }
    if (text.front() == '[') {
        size_t close = FindCloseBracket(text);
        line.kind = IniLineKind::Header;
        line.name =
            TrimWhite(text.substr(1, close == std::string_view::npos ? text.npos : close - 1));
        return line;
    }
    size_t eq = text.find('=');
    if (eq != std::string_view::npos) {
        line.kind = IniLineKind::Entry;
        line.name = TrimWhite(text.substr(0, eq));
        line.value = text.substr(eq + 1);
    }
    return line;
}

size_t IniLineScanner::FindFrom(char c, size_t from, size_t* cache) const {
    if (*cache == std::string_view::npos || *cache < from) {
        const void* hit = std::memchr(bytes_.data() + from, c, bytes_.size() - from);
        *cache = hit ? static_cast<size_t>(static_cast<const char*>(hit) - bytes_.data())
                     : bytes_.size();
    }
    return *cache;
}

bool IniLineScanner::Next(IniLine* line) {
    if (pos_ >= bytes_.size()) {
        return false;
    }
    // The nearer of the next CR and the next LF; each is searched for again only once the
    // scan has passed it, so a text of lone CRs costs no more than one of CR LF.
    size_t lineBreak = std::min(FindFrom('\r', pos_, &nextCr_), FindFrom('\n', pos_, &nextLf_));
    *line = ClassifyIniLine(bytes_, pos_, lineBreak);
    pos_ = line->next;
    return true;
}

void FoldIniName(std::string_view name, std::string* folded) {
    folded->clear();
    for (size_t i = 0; i < name.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(name[i])) && i + 1 < name.size()) {
            folded->push_back(name[i]);
            folded->push_back(name[++i]);
        } else {
            folded->push_back(LowerAscii(name[i]));
        }
    }
}

std::string FoldedIniName(std::string_view name) {
    std::string folded;
    FoldIniName(name, &folded);
    return folded;
}

}  // namespace brenvale
