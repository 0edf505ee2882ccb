#include "editor/drag_actions.h"

#include "editor/action_runner.h"
#include "editor/command_handlers.h"

namespace brenvale {

void DragActions::beginDrag(DragKind kind) {
    BeginDrag(parts_, kind);
}

void DragActions::endDrag() {
    EndDrag(parts_);
}

std::string DragActions::dragText() const {
    return DragText(parts_);
}

bool DragActions::treeDragOver() {
    return TreeDragOver(parts_);
}

bool DragActions::listDragOver(int pointerRow) {
    return ListDragOver(parts_, pointerRow);
}

void DragActions::dropOnTree(TopicDropZone zone, Topic* under) {
    runner_.act([&] { DropOnTree(parts_, zone, under); });
}

void DragActions::dropOnList(int pointerRow) {
    runner_.act([&] { DropOnList(parts_, pointerRow); });
}

}  // namespace brenvale
