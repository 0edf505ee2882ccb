#include "exchange/import_messages.h"

namespace brenvale {

namespace {

std::string Hex(char32_t value, int digits) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
        out += kDigits[(value >> shift) & 0xF];
    }
    return out;
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
    std::string bytes;
    for (const UnconvertiblePlace& p : places) {
        bytes += (bytes.empty() ? "" : "、") + ShownBytes(p.bytes) + " " + Place(p.where);
    }
    std::string text =
        "「" + std::string(sourceName) + "」を読み込めません。何も変更していません。";
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

std::string NotTextImportText(std::string_view sourceName, std::string_view kind) {
    return "「" + std::string(sourceName) + "」を読み込めません。何も変更していません。\n" +
           "インポートできるテキストのファイルではありません（" + std::string(kind) + "）。";
}

}  // namespace brenvale
