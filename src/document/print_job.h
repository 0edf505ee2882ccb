#pragma once

#include <string>

#include "document/document.h"
#include "document/item_kind.h"

namespace brenvale {

// What a print or a PDF shows: the whole Document or one Topic with its subtree, each Topic
// under a heading with its path, each Item with its drawn check box.
struct PrintJob {
    const Document* document = nullptr;
    const Topic* topic = nullptr;  // nullptr: every Topic
    ListKindOptions kinds;         // separators, no-box Items and their mark as the list shows
    bool greyChecked = false;      // checked Items in grey
    std::string title;             // UTF-8, in every page's footer
};

}  // namespace brenvale
