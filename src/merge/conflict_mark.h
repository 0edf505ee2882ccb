#pragma once

#include <string>
#include <string_view>

namespace brenvale {

// The mark a merge puts on the version of an Item or a caption that a user has to look at:
// " #競合" (a space, then a tag) at the end of the text, in CP932. Its double-byte characters
// have no ASCII second byte, so no "\", "@" or "|" appears where a caption's icon suffix or a
// path could misread it; a search for "#競合" finds every mark.
inline constexpr std::string_view kConflictMark = " #\x8B\xA3\x8D\x87";

inline bool HasConflictMark(std::string_view text) {
    return text.ends_with(kConflictMark);
}

// text with the mark at its end; a text that already ends with it is left as it is, so that
// merging again does not pile marks up.
inline std::string WithConflictMark(std::string_view text) {
    std::string marked(text);
    if (!HasConflictMark(text)) {
        marked.append(kConflictMark);
    }
    return marked;
}

}  // namespace brenvale
