#include "common/cp932_refs.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "common/cp932.h"
#include "common/cp932_tables.h"

namespace brenvale {

namespace cp932_refs {

size_t Parse(const unsigned char* p, const unsigned char* end, char32_t* c) {
    // "&#x", one to six upper-case hexadecimal digits without a leading zero, ";".
    if (end - p < 5 || p[1] != '#' || p[2] != 'x' || p[3] == '0') {
        return 0;
    }
    const unsigned char* q = p + 3;
    const unsigned char* last = std::min(end, q + 7);  // six digits and the ';'
    uint32_t value = 0;
    for (; q < last; ++q) {
        unsigned char d = *q;
        if (d >= '0' && d <= '9') {
            value = value * 16 + (d - '0');
        } else if (d >= 'A' && d <= 'F') {
            value = value * 16 + (d - 'A' + 10);
        } else {
            break;
        }
    }
    if (q == p + 3 || q == last || *q != ';') {
        return 0;
    }
    if (value > 0x10FFFF || (value >= 0xD800 && value < 0xE000) || Cp932Holds(value)) {
        return 0;
    }
    *c = value;
    return static_cast<size_t>(q + 1 - p);
}

size_t Write(char* out, char32_t c) {
    static const char kDigits[] = "0123456789ABCDEF";
    char digits[8];
    size_t n = 0;
    do {
        digits[n++] = kDigits[c & 0xF];
        c >>= 4;
    } while (c != 0);
    std::memcpy(out, "&#x", 3);
    for (size_t i = 0; i < n; ++i) {
        out[3 + i] = digits[n - 1 - i];
    }
    out[3 + n] = ';';
    return 4 + n;
}

}  // namespace cp932_refs

bool Cp932Holds(char32_t c) {
    return cp932_tables::Encoder().code(c) != cp932_tables::EncodeTable::kNoCode;
}

size_t ReferenceAt(std::string_view cp932, size_t offset, char32_t* c) {
    if (offset >= cp932.size() || cp932[offset] != '&') {
        return 0;
    }
    const auto* begin = reinterpret_cast<const unsigned char*>(cp932.data());
    char32_t ignored = 0;
    return cp932_refs::Parse(begin + offset, begin + cp932.size(), c ? c : &ignored);
}

bool InsideReference(std::string_view cp932, size_t offset) {
    // A '&' byte is never the second byte of a double-byte character, and a reference holds
    // no other '&': the one before offset, if near enough, is where a reference would start.
    if (offset == 0 || offset >= cp932.size()) {
        return false;
    }
    size_t from = offset > cp932_refs::kMaxLength ? offset - cp932_refs::kMaxLength : 0;
    size_t amp = cp932.substr(from, offset - from).rfind('&');
    if (amp == std::string_view::npos) {
        return false;
    }
    return from + amp + ReferenceAt(cp932, from + amp) > offset;
}

bool HoldsReference(std::string_view cp932) {
    for (size_t at = cp932.find('&'); at != std::string_view::npos; at = cp932.find('&', at + 1)) {
        if (ReferenceAt(cp932, at) > 0) {
            return true;
        }
    }
    return false;
}

}  // namespace brenvale
