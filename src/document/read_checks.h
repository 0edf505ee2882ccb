#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace brenvale {

// What the start of a file says about its text.
enum class TextKind {
    Document,  // it starts with a geometry line, as every document this program writes
    Cp932,     // any other text, read as CP932
    Utf8,      // a UTF-8 byte order mark, or valid UTF-8 that holds multi-byte sequences
};

// The bytes at the start of a file that CheckTextStart looks at: the reader and the counter
// both hand it at least this much of a longer file, so that they judge a file alike.
inline constexpr size_t kTextKindSample = size_t{64} << 10;

// What the start of a file says, from its first kTextKindSample bytes (fewer for a shorter
// file). A file that is plainly not a document (a picture, an archive, a program: its
// signature, or NUL bytes in a file that does not start as a document) throws Error with
// NotADocumentText(name, kind); UTF-16 text throws Error with Utf16Text().
TextKind CheckTextStart(std::string_view start, std::string_view name);

// Whether the start of a file is UTF-16 text: a byte order mark, or (text of mostly ASCII
// characters) a NUL in one half of the byte pairs and none in the other.
bool LooksLikeUtf16(std::string_view start);

// The kind of file, plainly not a document, whose first bytes are start ("PNG 画像"); empty
// for anything that may be a document.
std::string NonDocumentKind(std::string_view start);
// The kind NonDocumentKind gives a file for its NUL bytes alone.
inline constexpr std::string_view kBinaryFileKind = "バイナリファイル";

// Counts the lines that the bytes after a 0x1A (which ends the text) hold, fed in pieces: the
// rest of the line the 0x1A cut, when not empty, and every line after it, the last one only
// when not empty. Line ends are as the reader has them (CR, or CR LF). Bytes 0x1A count as
// nothing, so that a file padded with them loses nothing.
class UnreadLineCounter {
public:
    void feed(std::string_view bytes);
    size_t lines() const { return lines_ + (text_ ? 1 : 0); }

private:
    void endLine();

    size_t lines_ = 0;
    bool cutLine_ = true;  // still in the rest of the line the 0x1A cut
    bool empty_ = true;    // the line so far holds no byte
    bool text_ = false;    // the line so far holds a byte other than 0x1A
    bool afterCr_ = false;
};

size_t CountUnreadLines(std::string_view tail);

// The refusal of a UTF-16 file.
std::string Utf16Text();
// The refusal of a file that is plainly not a document: "「name」は文書ではありません（kind）。"
// (without a name, "このファイルは…").
std::string NotADocumentText(std::string_view name, std::string_view kind);
// The warning for a file that looks like UTF-8 text.
std::string Utf8WarningText();
// The warning for a file of which `lines` lines were not read.
std::string UnreadLinesText(size_t lines);
// The warnings a read leaves for the user, one text each; empty when there are none.
std::vector<std::string> ReadWarningTexts(bool utf8, size_t unreadLines);
// The refusal of a file too large for a document.
std::string TooLargeText(const std::string& path);

}  // namespace brenvale
