#pragma once

#include "editor/editor.h"

namespace brenvale {

// Busy cursor and suspended repainting for the duration of a scope.
class Editor::BusyScope {
public:
    explicit BusyScope(EditorHost& host) : host_(host) { host_.SetBusy(true); }
    ~BusyScope() { host_.SetBusy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    EditorHost& host_;
};

// A bulk build of the tree and/or the list: the views are reset at its end instead of being
// told of every change, and selecting a Topic meanwhile loads nothing into the list.
class Editor::BulkBuild {
public:
    BulkBuild(Editor& editor, bool tree, bool list) : editor_(editor), tree_(tree), list_(list) {
        editor_.host_.SetBusy(true);
        if (tree_ && editor_.bulkTree_++ == 0) {
            editor_.notify([](EditorObserver& o) { o.beginResetTree(); });
        }
        if (list_ && editor_.bulkList_++ == 0) {
            editor_.notify([](EditorObserver& o) { o.beginResetList(); });
        }
    }
    ~BulkBuild() {
        if (list_ && --editor_.bulkList_ == 0) {
            editor_.notify([](EditorObserver& o) { o.endResetList(); });
        }
        if (tree_ && --editor_.bulkTree_ == 0) {
            editor_.notify([](EditorObserver& o) { o.endResetTree(); });
        }
        editor_.host_.SetBusy(false);
    }
    BulkBuild(const BulkBuild&) = delete;
    BulkBuild& operator=(const BulkBuild&) = delete;

private:
    Editor& editor_;
    bool tree_;
    bool list_;
};

// One step of the undo history: what the Document changes in this scope is undone as one.
// A scope inside another joins the outer step.
class Editor::UndoScope {
public:
    UndoScope(Editor& editor, std::string_view name, const void* mergeKey = nullptr)
        : editor_(editor) {
        editor_.history_.begin(name, editor_.currentSelection(), mergeKey);
    }
    UndoScope(Editor& editor, CommandId id) : UndoScope(editor, StepName(id)) {}
    ~UndoScope() { editor_.history_.end(editor_.currentSelection()); }
    UndoScope(const UndoScope&) = delete;
    UndoScope& operator=(const UndoScope&) = delete;

private:
    Editor& editor_;
};

}  // namespace brenvale
