#include "document/item.h"

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

}  // namespace brenvale
