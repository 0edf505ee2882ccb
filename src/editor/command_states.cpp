#include "editor/command_states.h"

#include "editor/editor_parts.h"
#include "editor/visible_list.h"

namespace brenvale {

void CommandStates::refresh(const EditorParts& parts) {
    bool changed = false;
    for (const CommandInfo& info : CommandTable()) {
        bool enabled = !info.enabled || info.enabled(parts);
        bool& slot = enabled_[static_cast<size_t>(info.id)];
        changed = changed || slot != enabled;
        slot = enabled;
        bool checked = info.checked && info.checked(parts);
        bool& on = checked_[static_cast<size_t>(info.id)];
        changed = changed || on != checked;
        on = checked;
    }
    const VisibleList& list = parts.list;
    if (list.hasSelectedItem()) {
        std::string_view text = list.rowText(static_cast<size_t>(list.selectedRow()));
        bool pressed = !text.empty() && text.front() == '-';
        changed = changed || pressed != checkBoxPressed_;
        checkBoxPressed_ = pressed;
    }
    if (changed) {
        views_.all([](EditorObserver& o) { o.commandStatesChanged(); });
    }
    views_.all([](EditorObserver& o) { o.countersChanged(); });
}

}  // namespace brenvale
