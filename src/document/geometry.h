#pragma once

#include <optional>

namespace brenvale {

// The main window's geometry as a document file stores it.
struct DocumentGeometry {
    int height = 376;
    int width = 573;
    int top = -1;
    int left = -1;
    int treeWidth = 129;
};

// The geometry values an open found. Any geometry line seen takes the window out of the
// maximised state, also one whose keyword is unknown or whose value is not a number.
struct GeometryRead {
    std::optional<int> height;
    std::optional<int> width;
    std::optional<int> top;
    std::optional<int> left;
    std::optional<int> treeWidth;
    bool sawGeometryLine = false;

    // The values read laid over base.
    DocumentGeometry appliedTo(DocumentGeometry base) const {
        base.height = height.value_or(base.height);
        base.width = width.value_or(base.width);
        base.top = top.value_or(base.top);
        base.left = left.value_or(base.left);
        base.treeWidth = treeWidth.value_or(base.treeWidth);
        return base;
    }
};

}  // namespace brenvale
