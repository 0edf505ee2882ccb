// The checks of UTF-8 itself, which need none of the code page's tables.
#include "common/cp932.h"

namespace brenvale {

size_t Utf8SequenceLength(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    auto b = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = b(0);
    if (lead < 0x80) {
        return 1;
    }
    size_t n = 0;
    unsigned char low = 0x80;   // bounds of the second byte, which rule out overlong forms,
    unsigned char high = 0xBF;  // surrogates and values beyond U+10FFFF
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < n || b(1) < low || b(1) > high) {
        return 0;
    }
    for (size_t i = 2; i < n; ++i) {
        if ((b(i) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return n;
}

bool LooksLikeUtf8(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) {  // a byte order mark
        return true;
    }
    bool beyondAscii = false;
    size_t i = 0;
    while (i < bytes.size()) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        size_t n = Utf8SequenceLength(bytes.substr(i));
        if (n == 0) {
            return false;
        }
        beyondAscii = true;
        i += n;
    }
    return beyondAscii;
}

}  // namespace brenvale
