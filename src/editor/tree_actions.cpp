#include "editor/tree_actions.h"

#include "editor/action_runner.h"
#include "editor/command_handlers.h"
#include "editor/document_changes.h"
#include "editor/editor_parts.h"
#include "editor/selection.h"
#include "editor/tree_rows.h"

namespace brenvale {

void TreeActions::selectTopic(Topic* topic) {
    runner_.act([&] { SelectTopic(parts_, topic); });
}

void TreeActions::setTopicExpanded(Topic* topic, bool expanded) {
    if (topic) {
        parts_.changes.setExpanded(topic, expanded);
    }
}

void TreeActions::expandAllTopics() {
    parts_.changes.expandAll();
}

void TreeActions::expandTopicSubtree(Topic* topic) {
    if (topic) {
        parts_.changes.expandSubtree(topic);
    }
}

void TreeActions::treeEditRequested() {
    parts_.host.FocusEditBox(EditBox::Tree);
}

void TreeActions::iconMenuClick(int tag) {
    runner_.act([&] { IconMenuClick(parts_, tag); });
}

std::string TreeActions::treeCounterText() const {
    Topic* t = parts_.selection.topic();
    size_t position = t ? parts_.rows.treeOrderIndex(t) + 1 : 0;
    return std::to_string(position) + "/" + std::to_string(parts_.doc().topicCount());
}

}  // namespace brenvale
