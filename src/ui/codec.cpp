#include "ui/codec.h"

#include "common/cp932.h"

namespace brenvale {

namespace {

QString FromUtf16(const std::u16string& utf16) {
    return QString::fromUtf16(utf16.data(), static_cast<qsizetype>(utf16.size()));
}

}  // namespace

QString FromCp932(std::string_view bytes) {
    return FromUtf16(Cp932ToUtf16(bytes));
}

void PrepareCodec() {
    FromCp932("\x82\xA0");
    ToCp932(QStringLiteral("あ"));
}

QString FromCp932ForEditing(std::string_view bytes, bool* undecodable) {
    // Told from the bytes: a reference may stand for U+FFFD itself.
    bool undefined = FindUndecodable(bytes) != std::string_view::npos;
    if (undecodable) {
        *undecodable = undefined;
    }
    return FromUtf16(Cp932ToUtf16(bytes, undefined ? u'?' : u'\uFFFD'));
}

std::string ToCp932(const QString& text) {
    return Utf16ToCp932(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                            static_cast<size_t>(text.size())));
}

}  // namespace brenvale
