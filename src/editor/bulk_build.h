#pragma once

#include <exception>

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
    // A view that fails to take the new state (memory ran out while it looked at it) throws
    // from here once both views are released; while another failure is already on its way
    // out, that one is reported instead.
    ~BulkBuild() noexcept(false) {
        std::exception_ptr failure;
        auto release = [&](bool held, void (ViewNotifier::*fn)()) {
            if (!held) {
                return;
            }
            try {
                (views_.*fn)();
            } catch (...) {
                if (!failure) {
                    failure = std::current_exception();
                }
            }
        };
        release(list_, &ViewNotifier::releaseList);
        release(tree_, &ViewNotifier::releaseTree);
        if (failure && std::uncaught_exceptions() == unwinding_) {
            std::rethrow_exception(failure);
        }
    }
    BulkBuild(const BulkBuild&) = delete;
    BulkBuild& operator=(const BulkBuild&) = delete;

private:
    BusyScope busy_;
    ViewNotifier& views_;
    bool tree_;
    bool list_;
    int unwinding_ = std::uncaught_exceptions();
};

}  // namespace brenvale
