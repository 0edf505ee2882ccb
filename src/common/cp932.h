#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/byte_block.h"

namespace brenvale {

// CP932 (the Microsoft mapping of Shift_JIS, NEC and IBM rows included) to and from Unicode.
//
// Every character is kept: one CP932 cannot hold is written as its character reference,
// "&#x" with the code point in upper-case hexadecimal without leading zeros and ";"
// ("&#x1F600;"), which is ASCII and so plain CP932 text. Decoding turns such a reference back
// into its character. Only that exact form of a character CP932 cannot hold is a reference:
// "&#x41;" (CP932 holds "A") or "&#x1f600;" stay the text they are, so that every byte string
// decodes and encodes back to itself as it did without references. Look-alikes such as "〜"
// and "−" encode to their CP932 forms, as they always did.
//
// Decoding never fails: a byte sequence CP932 does not define becomes U+FFFD.
std::string Cp932ToUtf8(std::string_view cp932);
// The same appended to out, for many texts in a row without an allocation each.
void AppendCp932AsUtf8(std::string& out, std::string_view cp932);
// Appends the UTF-8 of one character.
void AppendUtf8(std::string& out, char32_t c);
// A character beyond the Basic Multilingual Plane takes two code units. undefined stands for
// each byte sequence CP932 does not define.
std::u16string Cp932ToUtf16(std::string_view cp932, char16_t undefined = u'\uFFFD');

// Fails only for bytes that are not UTF-8; *badIndex then receives where they start.
std::optional<std::string> Utf8ToCp932(std::string_view utf8, size_t* badIndex = nullptr);
// A surrogate without its other half is no character: it is kept as U+FFFD.
std::string Utf16ToCp932(std::u16string_view utf16);

// Whether CP932 has a code for c (a look-alike's counts).
bool Cp932Holds(char32_t c);
// The bytes of the reference that starts at byte offset of cp932 (0 when none does), and its
// character in *c.
size_t ReferenceAt(std::string_view cp932, size_t offset, char32_t* c = nullptr);
// Whether byte offset lies inside a reference, after its first byte: a match or a caret there
// would split what the user sees as one character.
bool InsideReference(std::string_view cp932, size_t offset);
// Whether cp932 holds a reference.
bool HoldsReference(std::string_view cp932);

// For writers of other formats, which escape a few ASCII characters as they decode: appends
// the UTF-8 of cp932 up to the first single-byte character that `stop` marks (the second byte
// of a double-byte code never stops it) and returns the bytes taken. A reference gives its
// character even where `stop` marks '&'; a '&' that starts none stops there. Clears
// *roundTrips when a sequence taken would not come back as it is (see Cp932RoundTrips), in
// the same pass.
size_t AppendCp932AsUtf8Until(std::string& out, std::string_view cp932,
                              const std::array<bool, 256>& stop, bool* roundTrips);

// Where the first byte sequence CP932 does not define starts (it decodes to U+FFFD), or
// npos when every sequence is defined.
size_t FindUndecodable(std::string_view cp932);

// Whether Utf8ToCp932(Cp932ToUtf8(cp932)) gives cp932 back: every byte sequence is defined,
// and is the one its character encodes to (CP932 has a few characters twice, as NEC and as
// IBM codes, and encoding picks one of them).
bool Cp932RoundTrips(std::string_view cp932);

// Bytes of a UTF-8 text that are not UTF-8.
struct Unconvertible {
    size_t offset = 0;  // in the UTF-8 text
    size_t length = 0;  // bytes of the sequence that is not UTF-8
    bool notUtf8 = true;
};

// Converts a whole UTF-8 text in one pass, every character kept, into a block with `spare`
// bytes of room after the text. Bytes that are not UTF-8 are left out: the first `limit` of
// them go to *bad, and *badCount receives how many there were in all.
FileBlock Utf8ToCp932Block(std::string_view utf8, size_t spare, std::vector<Unconvertible>* bad,
                           size_t limit, size_t* badCount);

// The most bytes a conversion of utf8Bytes bytes of UTF-8 to CP932 can take: a character
// CP932 cannot hold takes its reference, up to 7 bytes for a 2-byte one ("&#x7FF;"), 8 for a
// 3-byte one and 10 for a 4-byte one ("&#x10FFFF;"); every other character takes no more
// bytes than its UTF-8.
constexpr size_t Cp932RoomFor(size_t utf8Bytes) {
    return utf8Bytes / 2 * 7 + utf8Bytes % 2;
}

// Converts UTF-8 into out, which has room for `room` bytes, every character kept, as far as
// whole characters fit: Cp932RoomFor(utf8.size()) bytes always hold all of it, and
// utf8.size() bytes do unless references take more. Bytes that are not UTF-8 are left out:
// the first `limit` of them go to *bad, and *badCount receives how many there were in what
// was converted. Returns the bytes written; *taken receives how many bytes of utf8 were
// converted (utf8.size() when all of it fitted).
size_t ConvertUtf8ToCp932(std::string_view utf8, char* out, size_t room,
                          std::vector<Unconvertible>* bad, size_t limit, size_t* badCount,
                          size_t* taken);

// The length of the UTF-8 sequence at the start of text, 0 when it is not a valid one.
size_t Utf8SequenceLength(std::string_view text);

// Whether bytes read as UTF-8 text with characters beyond ASCII (a byte order mark, or valid
// multi-byte sequences only): CP932 Japanese text hardly ever does.
bool LooksLikeUtf8(std::string_view bytes);

}  // namespace brenvale
