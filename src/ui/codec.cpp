#include "ui/codec.h"

#include "common/cp932.h"

namespace brenvale {

QString FromCp932(std::string_view bytes) {
    std::u16string utf16 = Cp932ToUtf16(bytes);
    return QString::fromUtf16(utf16.data(), static_cast<qsizetype>(utf16.size()));
}

void PrepareCodec() {
    FromCp932("\x82\xA0");
    ToCp932(QStringLiteral("あ"));
}

QString FromCp932ForEditing(std::string_view bytes, bool* undecodable) {
    // CP932 maps no code to U+FFFD: each one stands for bytes the decoder could not read.
    QString text = FromCp932(bytes);
    *undecodable = text.contains(QChar::ReplacementCharacter);
    if (*undecodable) {
        text.replace(QChar::ReplacementCharacter, QLatin1Char('?'));
    }
    return text;
}

std::optional<std::string> ToCp932(const QString& text, QString* refused) {
    std::u16string_view utf16(reinterpret_cast<const char16_t*>(text.utf16()),
                              static_cast<size_t>(text.size()));
    size_t bad = 0;
    std::optional<std::string> bytes = Utf16ToCp932(utf16, &bad);
    if (!bytes && refused) {
        qsizetype at = static_cast<qsizetype>(bad);
        // A character outside the basic plane takes two UTF-16 units.
        qsizetype length = at + 1 < text.size() && text.at(at).isHighSurrogate() ? 2 : 1;
        *refused = text.mid(at, length);
    }
    return bytes;
}

}  // namespace brenvale
