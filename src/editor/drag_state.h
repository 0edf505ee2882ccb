#pragma once

namespace brenvale {

// What is being dragged: the selected Topic, or the selected row of the list.
enum class DragKind { None, Topic, Item };

// Where a Topic is dropped in relation to the Topic under the pointer.
enum class TopicDropZone {
    OnTopic,        // its icon or caption: last child
    Indent,         // left of it: directly before it, at its level
    BelowAll,       // empty area below the last Topic: last top-level Topic
    ButtonOrRight,  // its expand button or right of its caption: first child
    Outside,        // outside the tree's rows: nothing
};

// The drag under way, from its start to its end: what is dragged and where the list's
// insertion line shows.
struct DragState {
    DragKind kind = DragKind::None;
    // The row at whose upper edge the insertion line shows, -1 for none.
    int insertionRow = -1;

    bool active() const { return kind != DragKind::None; }
};

// Where the insertion line shows while an Item is dragged over row `hovered` (count below
// the last Item): under the hovered row when the Item moves down, above it when it moves up.
int InsertionRow(int hovered, int dragged, int count);

}  // namespace brenvale
