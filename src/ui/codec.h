#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace brenvale {

// The one bridge between the core's CP932 bytes and Qt's text. Characters beyond CP932 live in
// the bytes as references ("&#x1F600;") and show as the characters they stand for.
QString FromCp932(std::string_view bytes);

// Makes the conversions ready at once, while memory is plentiful: made when the first caption
// of a big document is shown, they could fail for want of it (and a failure there would not
// say so).
void PrepareCodec();

// The same for an edit box, where the text comes back as the user changes it: a byte sequence
// CP932 does not define shows as "?" instead of the replacement character. *undecodable tells
// whether there was one (when not null): the box's text then no longer gives the bytes back.
QString FromCp932ForEditing(std::string_view bytes, bool* undecodable);

// The CP932 bytes of a text the user typed or pasted: every character is kept, one CP932
// cannot hold as its reference. Look-alikes such as "〜" convert to their CP932 forms.
std::string ToCp932(const QString& text);

// Program texts (captions, messages, paths) are UTF-8 in the core.
inline QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string ToUtf8(const QString& text) {
    return text.toStdString();
}

}  // namespace brenvale
