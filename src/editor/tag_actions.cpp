#include "editor/tag_actions.h"

#include "editor/action_runner.h"
#include "editor/command_parts.h"
#include "editor/schedule_index.h"

namespace brenvale {

void TagActions::clickTag(std::string_view name, TagClick how) {
    runner_.act(
        [&] { ApplyTagFilter(parts_, ClickedFilter(parts_.tagFilter.filter(), name, how)); });
}

void TagActions::clickUntagged() {
    runner_.act([&] { ApplyTagFilter(parts_, UntaggedFilter()); });
}

void TagActions::clearTagFilter() {
    runner_.act([&] { ApplyTagFilter(parts_, {}); });
}

std::string TagActions::conflictCounterText() {
    // Kept with every change by the schedule index: a walk of every text after each edit
    // would stall the window on a big document.
    size_t marks = parts_.index.conflictMarks();
    return marks ? "競合 残り " + std::to_string(marks) + " 件" : "";
}

}  // namespace brenvale
