#pragma once

#include "editor/drag_state.h"

namespace brenvale {

class Topic;

// What lies under the pointer in the tree, in the tree's client coordinates: the Topic whose
// row is there and the parts of that row from left to right (its indentation, the expand
// button in the last column of the indentation, its icon and caption, the space after it).
struct TopicRowHit {
    bool inClient = false;   // the point is inside the tree's client area
    Topic* topic = nullptr;  // the Topic whose row is under the point, nullptr below the last row
    int labelLeft = 0;       // where the icon begins
    int labelRight = 0;      // just right of the caption
    int buttonLeft = 0;      // the expand button's column; empty when the Topic shows no button
    int buttonRight = 0;
};

// The placement zone of a drop at x on that row.
TopicDropZone TopicDropZoneAt(const TopicRowHit& hit, int x);

// The row a drop on the list names: the row under the pointer, the row count anywhere in the
// client area below the last Item, and -1 outside the client area.
int ListPointerRow(bool inClient, int rowUnder, int rowCount);

}  // namespace brenvale
