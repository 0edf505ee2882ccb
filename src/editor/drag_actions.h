#pragma once

#include <string>

#include "editor/command_parts.h"
#include "editor/drag_state.h"

namespace brenvale {

class ActionRunner;
class Topic;

// Drag and drop as the window's views report it: a drag of the selected Topic or row, the
// pointer over the tree or the list, and the drop.
class DragActions {
public:
    DragActions(ActionRunner& runner, MoveParts parts) : runner_(runner), parts_(parts) {}
    DragActions(const DragActions&) = delete;
    DragActions& operator=(const DragActions&) = delete;

    const DragState& state() const { return parts_.drag; }
    void beginDrag(DragKind kind);
    void endDrag();
    // What a drag carries to other programs: the tree clipboard text of the dragged Topic or
    // the text of the dragged Item (CP932).
    std::string dragText() const;
    // The pointer moved over the tree: true when the drop is accepted there (a Topic or an
    // Item of this editor is dragged). The list's insertion line goes away.
    bool treeDragOver();
    // The pointer moved over the list at pointerRow (rowCount() below the last Item, -1
    // outside the list's client area, where the line stays as it was): true when the drop is
    // accepted there, which only an Item is. The insertion line follows the pointer.
    bool listDragOver(int pointerRow);
    // A drop on the tree: a dragged Topic goes where the zone says, a dragged Item to the end
    // of the list of the Topic on whose row it was dropped.
    void dropOnTree(TopicDropZone zone, Topic* under);
    // A drop on the list at pointerRow (as for listDragOver): a dragged Item moves there.
    void dropOnList(int pointerRow);

private:
    ActionRunner& runner_;
    MoveParts parts_;
};

}  // namespace brenvale
