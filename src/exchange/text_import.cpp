#include "exchange/text_import.h"

#include <vector>

#include "common/cp932.h"
#include "common/error.h"

namespace brenvale {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

SourcePlace PlaceInText(std::string_view utf8, size_t offset) {
    SourcePlace where{1, 1};
    for (size_t i = 0; i < offset && i < utf8.size(); ++i) {
        char c = utf8[i];
        if (c == '\n' || (c == '\r' && (i + 1 == utf8.size() || utf8[i + 1] != '\n'))) {
            ++where.line;
            where.column = 1;
        } else if (c != '\r' && (static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++where.column;
        }
    }
    return where;
}

FileBlock Utf8TextToCp932(std::string_view utf8, std::string_view sourceName) {
    size_t skipped = utf8.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    utf8.remove_prefix(skipped);
    std::vector<Unconvertible> bad;
    size_t count = 0;
    FileBlock out = Utf8ToCp932Block(utf8, 1, &bad, kNamedCharacters, &count);
    if (count > 0) {
        std::vector<UnconvertiblePlace> places;
        for (const Unconvertible& u : bad) {
            places.push_back(
                {std::string(utf8.substr(u.offset, u.length)), PlaceInText(utf8, u.offset)});
        }
        throw Error(UnconvertibleText(sourceName, places, count));
    }
    return out;
}

}  // namespace brenvale
