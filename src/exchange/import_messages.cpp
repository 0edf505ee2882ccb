#include "exchange/import_messages.h"

namespace brenvale {

namespace {

// Characters a message shows by their code instead: they would show as nothing.
bool Invisible(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0x0300 && c <= 0x036F) ||
           (c >= 0x200B && c <= 0x200F) || (c >= 0x2028 && c <= 0x202E) ||
           (c >= 0x2060 && c <= 0x206F) || (c >= 0xFE00 && c <= 0xFE0F) || c == 0xFEFF ||
           (c >= 0xE0000 && c <= 0xE01EF);
}

char32_t DecodeOne(std::string_view utf8) {
    auto b = [&](size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(utf8[i])); };
    switch (utf8.size()) {
        case 1:
            return b(0);
        case 2:
            return ((b(0) & 0x1F) << 6) | (b(1) & 0x3F);
        case 3:
            return ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
        default:
            return ((b(0) & 0x07) << 18) | ((b(1) & 0x3F) << 12) | ((b(2) & 0x3F) << 6) |
                   (b(3) & 0x3F);
    }
}

std::string Hex(char32_t value, int digits) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
        out += kDigits[(value >> shift) & 0xF];
    }
    return out;
}

std::string ShownCharacter(const std::string& utf8) {
    char32_t c = DecodeOne(utf8);
    if (Invisible(c)) {
        return "U+" + Hex(c, c > 0xFFFF ? 5 : 4);
    }
    return utf8;
}

std::string ShownBytes(const std::string& bytes) {
    std::string out;
    for (char b : bytes) {
        out += (out.empty() ? "0x" : " 0x") + Hex(static_cast<unsigned char>(b), 2);
    }
    return out;
}

std::string Place(SourcePlace where) {
    return "(" + std::to_string(where.line) + " 行 " + std::to_string(where.column) + " 桁)";
}

}  // namespace

std::string UnconvertibleText(std::string_view sourceName,
                              const std::vector<UnconvertiblePlace>& places, size_t count) {
    std::string characters;
    std::string bytes;
    for (const UnconvertiblePlace& p : places) {
        std::string& list = p.character.empty() ? bytes : characters;
        list += (list.empty() ? "" : "、") +
                (p.character.empty() ? ShownBytes(p.bytes) : ShownCharacter(p.character)) + " " +
                Place(p.where);
    }
    std::string text =
        "「" + std::string(sourceName) + "」を読み込めません。何も変更していません。";
    if (!characters.empty()) {
        text += "\nCP932 で表せない文字: " + characters;
    }
    if (!bytes.empty()) {
        text += "\nUTF-8 として読めないバイト: " + bytes;
    }
    if (count > places.size()) {
        text += "\nほかに " + std::to_string(count - places.size()) + " 箇所あります。";
    }
    return text;
}

std::string TooLargeImportText(std::string_view sourceName, size_t depth, uint64_t limit) {
    return "「" + std::string(sourceName) + "」を読み込めません。何も変更していません。\n" +
           "文書にすると大きすぎて開けなくなります（" + std::to_string(depth) + " 階層の深さで " +
           std::to_string(limit >> 30) + " GB を超えます）。";
}

}  // namespace brenvale
