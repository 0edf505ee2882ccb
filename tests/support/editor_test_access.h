#pragma once

#include "editor/editor.h"

namespace brenvale {

// What only tests may do to an editor: reach its Document to change it in place, as a save's
// trimming does.
struct EditorTestAccess {
    static Document& document(Editor& editor) { return editor.session_.document(); }
};

}  // namespace brenvale
