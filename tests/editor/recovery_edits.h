#pragma once

#include "editor/editor.h"
#include "support/temp_dir.h"

namespace brenvale::test {

// The window bounds the recovery tests' hosts report.
inline constexpr DocumentGeometry kRecoveryGeometry{376, 573, 200, 300, 129};

// The edits a recovery test makes: a rename, Items with spaces a save trims, a tick and
// a new Topic.
inline void MakeRecoveryEdits(Editor& editor) {
    editor.editTextChanged(EditBox::Tree, Sjis("計画（改）"));
    editor.editTextChanged(EditBox::List, "  spaced  ");
    editor.execute(CommandId::ListAdd);
    editor.toggleCheck(0);
    editor.execute(CommandId::AddTreeChild);
    editor.editTextChanged(EditBox::Tree, Sjis("子"));
}

}  // namespace brenvale::test
