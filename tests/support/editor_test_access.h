#pragma once

#include "editor/editor.h"

namespace brenvale {

// What only tests may do to an editor: reach its Document to change it in place, as a save's
// trimming does.
struct EditorTestAccess {
    static Document& document(Editor& editor) { return editor.session_.document(); }
    // After changing the Document in place: the views and the tree's rows start afresh from
    // it, as after an open.
    static void documentRebuilt(Editor& editor) {
        editor.views_.holdTree();
        editor.views_.releaseTree();
    }
};

}  // namespace brenvale
