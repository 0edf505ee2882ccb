#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace brenvale {

// What the start of a file says about its text.
enum class TextKind {
    Cp932,
    Utf16,       // a UTF-16 byte order mark, or NUL bytes at every other byte
    Utf8Marked,  // a UTF-8 byte order mark
};

// The bytes TextKindOf looks at.
inline constexpr size_t kTextKindSample = 64;

// The kind of text whose first bytes are start (up to kTextKindSample of them). A file this
// program wrote always starts with a geometry line, so it is never taken for UTF-16.
TextKind TextKindOf(std::string_view start);

// Takes what the start of a file says: throws Error with Utf16Text() for UTF-16 text; true
// when the text starts with a UTF-8 byte order mark.
bool CheckTextStart(std::string_view start);

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
// The warning for a file with a UTF-8 byte order mark.
std::string Utf8WarningText();
// The warning for a file of which `lines` lines were not read.
std::string UnreadLinesText(size_t lines);
// The warnings a read leaves for the user, one text each; empty when there are none.
std::vector<std::string> ReadWarningTexts(bool utf8Marked, size_t unreadLines);
// The refusal of a file too large for a document.
std::string TooLargeText(const std::string& path);

}  // namespace brenvale
