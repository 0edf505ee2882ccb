#include "editor/action_runner.h"

#include "editor/command_states.h"
#include "editor/editor_parts.h"
#include "editor/progress_counts.h"

namespace brenvale {

void ActionRunner::settle() {
    parts_.progress.tellViews();
    parts_.commands.refresh(parts_);
}

void ActionRunner::refreshCommands() {
    parts_.commands.refresh(parts_);
}

}  // namespace brenvale
