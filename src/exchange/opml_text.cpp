#include "exchange/opml_text.h"

#include <array>

#include "common/cp932.h"

namespace brenvale {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// The control characters XML 1.0 cannot carry at all.
constexpr bool Forbidden(unsigned char c) {
    return c < 0x20 && c != '\t' && c != '\n' && c != '\r';
}

// The characters a text stops at as it is decoded: in an attribute value every control
// character and the ones with a meaning in XML; elsewhere only those XML cannot carry. All
// are below 0x40, so none is ever the second byte of a double-byte code.
constexpr std::array<bool, 256> Stops(bool attribute) {
    std::array<bool, 256> table{};
    for (int c = 0; c < 0x20; ++c) {
        table[c] = attribute || Forbidden(static_cast<unsigned char>(c));
    }
    for (char c : std::string_view("<>&\"")) {
        table[static_cast<unsigned char>(c)] = attribute;
    }
    return table;
}
constexpr std::array<bool, 256> kAttributeStops = Stops(true);
constexpr std::array<bool, 256> kTextStops = Stops(false);

// The escape of a character in an attribute value; nothing for one XML cannot carry.
std::string_view Escape(char c) {
    switch (c) {
        case '<':
            return "&lt;";
        case '>':
            return "&gt;";
        case '&':
            return "&amp;";
        case '"':
            return "&quot;";
        case '\t':
            return "&#9;";
        case '\n':
            return "&#10;";
        case '\r':
            return "&#13;";
        default:
            return {};
    }
}

// Replaces U+FFFE and U+FFFF in utf8, which XML cannot carry, with U+FFFD (as many bytes);
// returns whether there were any.
bool ReplaceNoncharacters(char* utf8, size_t size) {
    bool replaced = false;
    for (size_t i = 0; i + 2 < size; ++i) {
        if (utf8[i] == '\xEF' && utf8[i + 1] == '\xBF' &&
            (utf8[i + 2] == '\xBE' || utf8[i + 2] == '\xBF')) {
            utf8[i + 2] = '\xBD';
            replaced = true;
        }
    }
    return replaced;
}

}  // namespace

bool AppendXmlText(std::string& out, std::string_view cp932, bool attribute) {
    const std::array<bool, 256>& stops = attribute ? kAttributeStops : kTextStops;
    const size_t start = out.size();
    bool roundTrips = true;
    bool replaced = false;
    size_t i = 0;
    while (i < cp932.size()) {
        i += AppendCp932AsUtf8Until(out, cp932.substr(i), stops, &roundTrips);
        if (i == cp932.size()) {
            break;
        }
        char c = cp932[i++];
        if (Forbidden(static_cast<unsigned char>(c))) {
            out += kReplacement;
            replaced = true;
        } else {
            out += Escape(c);
        }
    }
    // CP932 has no such character, so only a reference gives one.
    if (cp932.find("&#xFFF") != std::string_view::npos &&
        ReplaceNoncharacters(out.data() + start, out.size() - start)) {
        replaced = true;
    }
    return replaced || !roundTrips;
}

void AppendXmlContent(std::string& out, std::string_view utf8) {
    size_t i = 0;
    while (i < utf8.size()) {
        auto c = static_cast<unsigned char>(utf8[i]);
        size_t n = Utf8SequenceLength(utf8.substr(i));
        if (n == 0 || Forbidden(c) ||
            (n == 3 && utf8.compare(i, 2, "\xEF\xBF") == 0 &&
             static_cast<unsigned char>(utf8[i + 2]) >= 0xBE)) {
            out += kReplacement;
            i += n == 0 ? 1 : n;
            continue;
        }
        if (c == '<' || c == '>' || c == '&' || c == '"') {
            out += Escape(static_cast<char>(c));
        } else {
            out.append(utf8.data() + i, n);
        }
        i += n;
    }
}

}  // namespace brenvale
