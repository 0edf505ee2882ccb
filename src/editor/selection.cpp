#include "editor/selection.h"

namespace brenvale {

void Selection::setText(EditBox box, std::string text) {
    (box == EditBox::Tree ? tree_ : list_) = std::move(text);
    views_.all([&](EditorObserver& o) { o.editTextChanged(box); });
}

}  // namespace brenvale
