#pragma once

#include "editor/editor_host.h"
#include "editor/view_notifier.h"

namespace brenvale {

// Busy cursor and suspended repainting for the duration of a scope.
class BusyScope {
public:
    explicit BusyScope(EditorHost& host) : host_(host) { host_.SetBusy(true); }
    ~BusyScope() { host_.SetBusy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    EditorHost& host_;
};

// A bulk build of the tree and/or the list (open, New, paste): the views are reset at its end
// instead of being told of every change, and selecting a Topic meanwhile loads nothing into
// the list.
class BulkBuild {
public:
    BulkBuild(EditorHost& host, ViewNotifier& views, bool tree, bool list)
        : busy_(host), views_(views), tree_(tree), list_(list) {
        if (tree_) {
            views_.holdTree();
        }
        if (list_) {
            views_.holdList();
        }
    }
    ~BulkBuild() {
        if (list_) {
            views_.releaseList();
        }
        if (tree_) {
            views_.releaseTree();
        }
    }
    BulkBuild(const BulkBuild&) = delete;
    BulkBuild& operator=(const BulkBuild&) = delete;

private:
    BusyScope busy_;
    ViewNotifier& views_;
    bool tree_;
    bool list_;
};

}  // namespace brenvale
