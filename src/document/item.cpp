#include "document/item.h"

#include <cstring>

namespace brenvale {

Item::Item(std::string_view mark, std::string_view text) {
    stored_.reserve(mark.size() + text.size());
    stored_.append(mark);
    stored_.append(text);
}

Item Item::FromStored(std::string_view stored) {
    Item item;
    item.stored_.assign(stored);
    return item;
}

void Item::setText(std::string_view text) {
    if (stored_.size() < 2) {
        stored_.assign(kUncheckedMark);
    }
    stored_.replace(2, std::string::npos, text);
}

void Item::setChecked(bool checked) {
    std::string_view mark = CheckMarkText(checked);
    if (stored_.size() < 2) {
        stored_.assign(mark);
    } else {
        stored_.replace(0, 2, mark);
    }
}

ItemKind ItemView::kind(const ListKindOptions& options) const {
    // The text starts after two mark bytes, neither of which is the closing CR.
    bool hasText = p_[0] != '\r' && p_[1] != '\r' && p_[2] != '\r';
    if (!hasText || p_[2] != '-') {
        return ItemKind::Ordinary;
    }
    if (options.separatorItems && p_[3] == '\r') {
        return ItemKind::Separator;
    }
    return options.noBoxItems ? ItemKind::NoBox : ItemKind::Ordinary;
}

}  // namespace brenvale
