#pragma once

#include <string>
#include <string_view>

namespace brenvale {

enum class ItemKind { Ordinary, Separator, NoBox };

// The list settings that decide how an Item's text is shown and exported.
struct ListKindOptions {
    bool separatorItems = true;          // an Item "-" is a separator line
    bool noBoxItems = true;              // an Item beginning with "-" has no check box
    std::string checkMark = "\x81\xA6";  // the mark drawn in place of the box (※)
};

ItemKind KindOf(std::string_view text, bool separatorItems, bool noBoxItems);

inline ItemKind KindOf(std::string_view text, const ListKindOptions& options) {
    return KindOf(text, options.separatorItems, options.noBoxItems);
}

// The text a row shows: without the leading "-" for a no-box Item, empty for a separator.
std::string_view ShownText(std::string_view text, ItemKind kind);

// Whether the status bar counts an Item as open: not checked and an ordinary Item.
inline bool CountsAsUnchecked(std::string_view text, bool checked, const ListKindOptions& o) {
    return !checked && KindOf(text, o) == ItemKind::Ordinary;
}

}  // namespace brenvale
