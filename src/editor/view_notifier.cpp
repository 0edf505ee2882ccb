#include "editor/view_notifier.h"

#include "editor/tree_rows.h"

namespace brenvale {

void ViewNotifier::holdTree() {
    if (treeHolds_++ == 0) {
        if (rows_) {
            rows_->suspend();
        }
        all([](EditorObserver& o) { o.beginResetTree(); });
    }
}

void ViewNotifier::releaseTree() {
    if (--treeHolds_ == 0) {
        if (rows_) {
            rows_->rebuild();
        }
        all([](EditorObserver& o) { o.endResetTree(); });
    }
}

void ViewNotifier::holdList() {
    if (listHolds_++ == 0) {
        all([](EditorObserver& o) { o.beginResetList(); });
    }
}

void ViewNotifier::releaseList() {
    if (--listHolds_ == 0) {
        all([](EditorObserver& o) { o.endResetList(); });
    }
}

}  // namespace brenvale
