#pragma once

#include <string>
#include <string_view>

#include "common/check_mark.h"

namespace brenvale {

// One check list entry, kept in its stored form: the two mark bytes followed by the text,
// exactly as a document file carries them. A stored form shorter than two bytes is all mark.
class Item {
public:
    Item() = default;
    Item(std::string_view mark, std::string_view text);
    static Item FromStored(std::string_view stored);
    static Item Unchecked(std::string_view text) { return Item(kUncheckedMark, text); }

    std::string_view mark() const { return std::string_view(stored_).substr(0, markLength()); }
    std::string_view text() const { return std::string_view(stored_).substr(markLength()); }
    const std::string& stored() const { return stored_; }
    bool checked() const { return IsCheckedMark(mark()); }

    // Both give the Item a program-written mark ("■" or "□") when its mark is shorter.
    void setText(std::string_view text);
    void setChecked(bool checked);

    bool operator==(const Item&) const = default;

private:
    size_t markLength() const { return stored_.size() < 2 ? stored_.size() : 2; }

    std::string stored_;
};

}  // namespace brenvale
