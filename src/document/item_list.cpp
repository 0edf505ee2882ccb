#include "document/item_list.h"

#include <string>

#include "document/safe_text.h"

namespace brenvale {

TextRef ItemList::add(std::string_view mark, std::string_view text) {
    auto safe = [](std::string_view part) { return part.empty() || IsFileSafeStored(part); };
    if (safe(mark) && safe(text)) {
        return store_->add(mark, text);
    }
    std::string stored(mark);
    stored.append(text);
    return store_->add(FileSafeStored(stored));
}

void ItemList::insert(size_t pos, std::string_view mark, std::string_view text) {
    // The bytes go to the store first: a store that is full throws before the list changes.
    refs_.insert(pos, add(mark, text));
}

void ItemList::set(size_t i, std::string_view mark, std::string_view text) {
    refs_[i] = add(mark, text);
}

void ItemList::Ref::setText(std::string_view text) {
    std::string_view mark = this->mark();
    list_.set(index_, mark.size() < 2 ? kUncheckedMark : mark, text);
}

void ItemList::Ref::setChecked(bool checked) {
    std::string_view mark = CheckMarkText(checked);
    if (this->mark() != mark) {
        list_.set(index_, mark, text());
    }
}

}  // namespace brenvale
