#pragma once

#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace brenvale {

// The one bridge between the core's CP932 bytes and Qt's text.
QString FromCp932(std::string_view bytes);

// The CP932 bytes of a text the user typed or pasted. Look-alikes such as "〜" convert to
// their CP932 forms; a character CP932 cannot carry gives nothing, and *refused then names it.
std::optional<std::string> ToCp932(const QString& text, QString* refused = nullptr);

// Program texts (captions, messages, paths) are UTF-8 in the core.
inline QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string ToUtf8(const QString& text) {
    return text.toStdString();
}

}  // namespace brenvale
