#pragma once

#include <cstddef>

// The character references of common/cp932.h, for the codec's own loops.

namespace brenvale::cp932_refs {

// The longest reference: "&#x10FFFF;".
inline constexpr size_t kMaxLength = 10;

// At p (a '&', p < end), the length of the reference of a character CP932 cannot hold that
// starts there, and its character in *c; 0 when none starts there.
size_t Parse(const unsigned char* p, const unsigned char* end, char32_t* c);

// Writes the reference of c at out (room for kMaxLength bytes); returns its length.
size_t Write(char* out, char32_t c);

}  // namespace brenvale::cp932_refs
