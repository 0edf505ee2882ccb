#pragma once

#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace brenvale {

// The one bridge between the core's CP932 bytes and Qt's text.
QString FromCp932(std::string_view bytes);

// Makes the conversions ready at once, while memory is plentiful: made when the first caption
// of a big document is shown, they could fail for want of it (and a failure there would not
// say so).
void PrepareCodec();

// The same for an edit box, where the text comes back as the user changes it: a byte sequence
// CP932 does not define shows as "?" instead of the replacement character. *undecodable tells
// whether there was one: the box's text then no longer gives the bytes back.
QString FromCp932ForEditing(std::string_view bytes, bool* undecodable);

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
