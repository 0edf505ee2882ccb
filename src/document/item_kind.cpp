#include "document/item_kind.h"

namespace brenvale {

ItemKind KindOf(std::string_view text, bool separatorItems, bool noBoxItems) {
    if (separatorItems && text == "-") {
        return ItemKind::Separator;
    }
    if (noBoxItems && !text.empty() && text.front() == '-') {
        return ItemKind::NoBox;
    }
    return ItemKind::Ordinary;
}

std::string_view ShownText(std::string_view text, ItemKind kind) {
    switch (kind) {
        case ItemKind::Separator:
            return {};
        case ItemKind::NoBox:
            return text.substr(1);
        case ItemKind::Ordinary:
            break;
    }
    return text;
}

}  // namespace brenvale
