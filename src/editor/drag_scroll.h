#pragma once

#include "editor/bounds.h"

namespace brenvale {

// How far the tree and the list scroll at one tick of the drag scroll timer: -1, 0 or +1
// lines on each axis.
struct DragScroll {
    int treeVertical = 0;
    int treeHorizontal = 0;
    int listVertical = 0;
    int listHorizontal = 0;
};

// Whether the tree can still scroll in each direction.
struct TreeScrollRoom {
    bool up = false;
    bool down = false;
    bool left = false;
    bool right = false;
};

// A scroll bar as the platform reports it. The range counts top positions, so at the maximum
// the last line is in view; a bar whose state cannot be read scrolls neither way.
struct ScrollBarState {
    bool readable = false;
    int minimum = 0;
    int maximum = 0;
    int position = 0;
};

// Whether a scroll bar can still move towards its start or its end.
bool CanScrollFurther(const ScrollBarState& bar, bool towardStart);

// The edge zones while dragging: the pointer p resting near an edge of the tree or the list
// (in window coordinates) scrolls it one line that way. h is the height of a scroll bar arrow,
// w the width of a vertical scroll bar; bounds are inclusive, and the tree scrolls only while
// it can.
DragScroll DragScrollStep(const Bounds& tree, const Bounds& list, int x, int y, int h, int w,
                          const TreeScrollRoom& room);

}  // namespace brenvale
