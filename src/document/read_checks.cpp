#include "document/read_checks.h"

#include "common/cp932.h"
#include "common/error.h"
#include "document/line_rules.h"

namespace brenvale {

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// The bytes the UTF-16 test looks at: enough pairs to see a pattern of NULs.
constexpr size_t kUtf16Sample = 64;

// What an archive in the ZIP format holds, as far as its first entries tell.
std::string ZipKind(std::string_view start) {
    if (start.find("[Content_Types].xml") != std::string_view::npos) {
        return "Office 文書";
    }
    if (start.find("mimetypeapplication/vnd.oasis.opendocument") != std::string_view::npos) {
        return "OpenDocument 文書";
    }
    return "ZIP 書庫";
}

// The start without a multi-byte sequence that the end of the sample cut short.
std::string_view WithoutCutSequence(std::string_view start) {
    for (size_t back = 1; back <= 3 && back <= start.size(); ++back) {
        auto c = static_cast<unsigned char>(start[start.size() - back]);
        if (c < 0x80) {
            break;
        }
        if (c >= 0xC0) {
            size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
            return length > back ? start.substr(0, start.size() - back) : start;
        }
    }
    return start;
}

}  // namespace

bool LooksLikeUtf16(std::string_view start) {
    start = start.substr(0, kUtf16Sample);
    if (StartsWith(start, "\xFF\xFE") || StartsWith(start, "\xFE\xFF")) {
        return true;
    }
    size_t pairs = start.size() / 2;
    size_t nulFirst = 0;
    size_t nulSecond = 0;
    for (size_t i = 0; i < pairs; ++i) {
        nulFirst += start[2 * i] == '\0';
        nulSecond += start[2 * i + 1] == '\0';
    }
    return pairs >= 2 &&
           ((nulSecond * 2 >= pairs && nulFirst == 0) || (nulFirst * 2 >= pairs && nulSecond == 0));
}

std::string NonDocumentKind(std::string_view start) {
    struct Signature {
        std::string_view bytes;
        const char* kind;
    };
    static constexpr Signature kSignatures[] = {
        {"\x89PNG\r\n\x1A\n", "PNG 画像"},
        {"\xFF\xD8\xFF", "JPEG 画像"},
        {"GIF87a", "GIF 画像"},
        {"GIF89a", "GIF 画像"},
        {"%PDF-", "PDF 文書"},
        {"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", "Office 文書"},
        {"\x1F\x8B\x08", "gzip 圧縮ファイル"},
        {"\x7F"
         "ELF",
         "ELF 実行ファイル"},
    };
    for (const Signature& s : kSignatures) {
        if (StartsWith(start, s.bytes)) {
            return s.kind;
        }
    }
    for (std::string_view zip : {"PK\x03\x04", "PK\x05\x06", "PK\x07\x08"}) {
        if (StartsWith(start, zip)) {
            return ZipKind(start);
        }
    }
    // Text in CP932 holds no NUL at all.
    if (start.substr(0, kTextKindSample).find('\0') != std::string_view::npos) {
        return std::string(kBinaryFileKind);
    }
    return {};
}

TextKind CheckTextStart(std::string_view start, std::string_view name) {
    start = start.substr(0, kTextKindSample);
    // A file this program wrote starts with a geometry line of ASCII, so it is never taken
    // for UTF-16.
    if (LooksLikeUtf16(start)) {
        throw Error(Utf16Text());
    }
    // Whatever the rest holds (a caption with a NUL in it), a file that starts as a document
    // is read as one.
    if (StartsWith(start, std::string_view(&kGeometryByte, 1))) {
        return TextKind::Document;
    }
    if (std::string kind = NonDocumentKind(start); !kind.empty()) {
        throw Error(NotADocumentText(name, kind));
    }
    return LooksLikeUtf8(WithoutCutSequence(start)) ? TextKind::Utf8 : TextKind::Cp932;
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

std::string NotADocumentText(std::string_view name, std::string_view kind) {
    std::string subject = name.empty() ? "このファイル" : "「" + std::string(name) + "」";
    return subject + "は文書ではありません（" + std::string(kind) + "）。";
}

std::string Utf8WarningText() {
    return "このファイルは UTF-8 のテキストのようです。文字化けする場合があります。";
}

std::string UnreadLinesText(size_t lines) {
    return "このファイルの一部（" + std::to_string(lines) +
           " 行）は読み込まれませんでした。保存するとその部分は失われます。";
}

std::vector<std::string> ReadWarningTexts(bool utf8, size_t unreadLines) {
    std::vector<std::string> warnings;
    if (utf8) {
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
