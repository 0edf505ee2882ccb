#include "editor/drag_scroll.h"

namespace brenvale {

namespace {

bool Between(int v, int low, int high) {
    return low <= v && v <= high;
}

}  // namespace

bool CanScrollFurther(const ScrollBarState& bar, bool towardStart) {
    if (!bar.readable) {
        return false;
    }
    return towardStart ? bar.position != bar.minimum : bar.position != bar.maximum;
}

DragScroll DragScrollStep(const Bounds& tree, const Bounds& list, int x, int y, int h, int w,
                          const TreeScrollRoom& room) {
    DragScroll step;
    bool inTreeX = Between(x, tree.left, tree.right());
    bool inTreeY = Between(y, tree.top, tree.bottom());
    if (inTreeX && Between(y, tree.top, tree.top + h) && room.up) {
        step.treeVertical -= 1;
    }
    if (inTreeX && Between(y, tree.bottom() - 2 * h, tree.bottom()) && room.down) {
        step.treeVertical += 1;
    }
    if (inTreeY && Between(x, tree.left, tree.left + w) && room.left) {
        step.treeHorizontal -= 1;
    }
    if (inTreeY && Between(x, tree.right() - 2 * w, tree.right()) && room.right) {
        step.treeHorizontal += 1;
    }
    bool inListX = Between(x, list.left, list.right());
    bool inListY = Between(y, list.top, list.bottom());
    if (inListX && Between(y, list.top, list.top + h)) {
        step.listVertical -= 1;
    }
    if (inListX && Between(y, list.bottom() - h, list.bottom())) {
        step.listVertical += 1;
    }
    if (inListY && Between(x, list.left, list.left + w)) {
        step.listHorizontal -= 1;
    }
    if (inListY && Between(x, list.right() - w, list.right())) {
        step.listHorizontal += 1;
    }
    return step;
}

}  // namespace brenvale
