// What happens when a Topic becomes the selected one.
#include "document/topic.h"
#include "editor/bulk_build.h"
#include "editor/command_handlers.h"
#include "editor/command_parts.h"
#include "editor/document_changes.h"
#include "editor/selection.h"
#include "editor/tag_filter.h"
#include "editor/tree_rows.h"
#include "editor/undo_history.h"
#include "editor/visible_list.h"

namespace brenvale {

void RevealTopic(SelectionParts p, Topic* t) {
    for (Topic* parent = t ? t->parent() : nullptr; parent; parent = parent->parent()) {
        p.changes.setExpanded(parent, true);
    }
}

void ShowSelectedTopic(SelectionParts p, Topic* topic) {
    if (!topic) {
        p.list.clear();
    }
    p.selection.setTopic(topic);
    // Renaming another Topic, or this one again after another, is a step of its own.
    p.history.breakMerge();
    if (p.views.treeHeld()) {
        return;
    }
    RevealTopic(p, topic);
    // A Topic the tag filter hides is gone to (found, or chosen in the agenda): the filter ends.
    if (topic && p.rows.filtered() && p.rows.rowOf(topic) == TreeRows::npos) {
        ApplyTagFilter(p, {});
    }
    p.views.all([](EditorObserver& o) { o.selectedTopicChanged(); });
    if (topic) {
        p.selection.setText(EditBox::Tree, topic->caption.str());
        {
            BusyScope busy(p.host);
            p.list.load(topic);
        }
        p.changes.applyTrashRule(topic);
    }
}

void SelectTopic(SelectionParts p, Topic* topic) {
    if (topic != p.selection.topic()) {
        ShowSelectedTopic(p, topic);
    }
}

}  // namespace brenvale
