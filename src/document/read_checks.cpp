#include "document/read_checks.h"

#include "common/error.h"
#include "document/line_rules.h"

namespace brenvale {

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

TextKind TextKindOf(std::string_view start) {
    start = start.substr(0, kTextKindSample);
    if (StartsWith(start, "\xFF\xFE") || StartsWith(start, "\xFE\xFF")) {
        return TextKind::Utf16;
    }
    if (StartsWith(start, "\xEF\xBB\xBF")) {
        return TextKind::Utf8Marked;
    }
    // UTF-16 text of mostly ASCII characters: a NUL in one half of the byte pairs and none in
    // the other. CP932 text holds no NUL at all.
    size_t pairs = start.size() / 2;
    size_t nulFirst = 0;
    size_t nulSecond = 0;
    for (size_t i = 0; i < pairs; ++i) {
        nulFirst += start[2 * i] == '\0';
        nulSecond += start[2 * i + 1] == '\0';
    }
    bool utf16 = pairs >= 2 && ((nulSecond * 2 >= pairs && nulFirst == 0) ||
                                (nulFirst * 2 >= pairs && nulSecond == 0));
    return utf16 ? TextKind::Utf16 : TextKind::Cp932;
}

bool CheckTextStart(std::string_view start) {
    switch (TextKindOf(start)) {
        case TextKind::Utf16:
            throw Error(Utf16Text());
        case TextKind::Utf8Marked:
            return true;
        case TextKind::Cp932:
            break;
    }
    return false;
}

void UnreadLineCounter::endLine() {
    // An empty line is an empty Topic, but the end of the cut line is no line of its own.
    if (text_ || (empty_ && !cutLine_)) {
        ++lines_;
    }
    cutLine_ = false;
    empty_ = true;
    text_ = false;
}

void UnreadLineCounter::feed(std::string_view bytes) {
    for (char c : bytes) {
        bool lineFeedOfCr = afterCr_ && c == '\n';
        afterCr_ = c == '\r';
        if (lineFeedOfCr) {
            continue;
        }
        if (c == '\r') {
            endLine();
            continue;
        }
        empty_ = false;
        text_ = text_ || c != kEndOfFile;
    }
}

size_t CountUnreadLines(std::string_view tail) {
    UnreadLineCounter counter;
    counter.feed(tail);
    return counter.lines();
}

std::string Utf16Text() {
    return "このファイルは UTF-16 のテキストです。";
}

std::string Utf8WarningText() {
    return "このファイルは UTF-8 のテキストのようです。文字化けする場合があります。";
}

std::string UnreadLinesText(size_t lines) {
    return "このファイルの一部（" + std::to_string(lines) +
           " 行）は読み込まれませんでした。保存するとその部分は失われます。";
}

std::vector<std::string> ReadWarningTexts(bool utf8Marked, size_t unreadLines) {
    std::vector<std::string> warnings;
    if (utf8Marked) {
        warnings.push_back(Utf8WarningText());
    }
    if (unreadLines > 0) {
        warnings.push_back(UnreadLinesText(unreadLines));
    }
    return warnings;
}

std::string TooLargeText(const std::string& path) {
    return "ファイル " + path + " は大きすぎて開けません。";
}

}  // namespace brenvale
