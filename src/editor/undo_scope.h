#pragma once

#include <string_view>

#include "editor/command_parts.h"
#include "editor/command_table.h"
#include "editor/selection.h"
#include "editor/undo_history.h"
#include "editor/visible_list.h"

namespace brenvale {

// One step of the undo history: what the Document changes in this scope is undone as one,
// with the selection before and after it. A scope inside another joins the outer step.
class UndoScope {
public:
    UndoScope(StepParts p, std::string_view name, const Topic* renamed = nullptr) : p_(p) {
        p_.history.begin(name, selection(), renamed);
    }
    UndoScope(StepParts p, CommandId id) : UndoScope(p, StepName(id)) {}
    ~UndoScope() { p_.history.end(selection()); }
    UndoScope(const UndoScope&) = delete;
    UndoScope& operator=(const UndoScope&) = delete;

private:
    UndoSelection selection() const {
        return {p_.selection.topic(), static_cast<int>(p_.list.selectedItem())};
    }

    StepParts p_;
};

}  // namespace brenvale
