#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brenvale {

// CP932 (the Microsoft mapping of Shift_JIS, NEC and IBM rows included) to and from Unicode.
// Decoding never fails: a byte sequence CP932 does not define becomes U+FFFD. Encoding fails
// for a character CP932 cannot carry; *badIndex then receives its position in the input
// (in bytes for UTF-8, in code units for UTF-16). Look-alikes such as "〜" and "−" encode
// to their CP932 forms.
std::string Cp932ToUtf8(std::string_view cp932);
// The same appended to out, for many texts in a row without an allocation each.
void AppendCp932AsUtf8(std::string& out, std::string_view cp932);
// Appends the UTF-8 of one character.
void AppendUtf8(std::string& out, char32_t c);
std::u16string Cp932ToUtf16(std::string_view cp932);
std::optional<std::string> Utf8ToCp932(std::string_view utf8, size_t* badIndex = nullptr);
std::optional<std::string> Utf16ToCp932(std::u16string_view utf16, size_t* badIndex = nullptr);

// For writers of other formats, which escape a few ASCII characters as they decode: appends
// the UTF-8 of cp932 up to the first single-byte character that `stop` marks (the second byte
// of a double-byte code never stops it) and returns the bytes taken. Clears *roundTrips when
// a sequence taken would not come back as it is (see Cp932RoundTrips), in the same pass.
size_t AppendCp932AsUtf8Until(std::string& out, std::string_view cp932,
                              const std::array<bool, 256>& stop, bool* roundTrips);

// Where the first byte sequence CP932 does not define starts (it decodes to U+FFFD), or
// npos when every sequence is defined.
size_t FindUndecodable(std::string_view cp932);

// Whether Utf8ToCp932(Cp932ToUtf8(cp932)) gives cp932 back: every byte sequence is defined,
// and is the one its character encodes to (CP932 has a few characters twice, as NEC and as
// IBM codes, and encoding picks one of them).
bool Cp932RoundTrips(std::string_view cp932);

// A character of a UTF-8 text that CP932 cannot carry, or bytes that are not UTF-8 at all.
struct Unconvertible {
    size_t offset = 0;  // in the UTF-8 text
    size_t length = 0;  // bytes of the character, or of the sequence that is not UTF-8
    bool notUtf8 = false;
};

// The room a conversion of utf8Bytes bytes of UTF-8 to CP932 may need.
constexpr size_t Cp932RoomFor(size_t utf8Bytes) {
    return utf8Bytes;  // CP932 never takes more bytes than UTF-8
}

// Converts a whole UTF-8 text in one pass into out, which has room for
// Cp932RoomFor(utf8.size()) bytes. The characters it cannot convert are left out:
// the first `limit` of them go to *bad, and *badCount receives how many there were in all.
// Returns the bytes written.
size_t ConvertUtf8ToCp932(std::string_view utf8, char* out, std::vector<Unconvertible>* bad,
                          size_t limit, size_t* badCount);

// The length of the UTF-8 sequence at the start of text, 0 when it is not a valid one.
size_t Utf8SequenceLength(std::string_view text);

}  // namespace brenvale
