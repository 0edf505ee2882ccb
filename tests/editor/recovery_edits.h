#pragma once

#include "editor/editor.h"
#include "support/temp_dir.h"

namespace brenvale::test {

// The window bounds the recovery tests' hosts report.
inline constexpr DocumentGeometry kRecoveryGeometry{376, 573, 200, 300, 129};

// The edits a recovery test makes: a rename, Items with spaces a save trims, a tick and
// a new Topic.
inline void MakeRecoveryEdits(Editor& editor) {
    editor.EditTextChanged(EditBox::Tree, Sjis("計画（改）"));
    editor.EditTextChanged(EditBox::List, "  spaced  ");
    editor.Execute(CommandId::ListAdd);
    editor.ToggleCheck(0);
    editor.Execute(CommandId::AddTreeChild);
    editor.EditTextChanged(EditBox::Tree, Sjis("子"));
}

}  // namespace brenvale::test
