#pragma once

#include <cstddef>

#include "editor/editor_host.h"

namespace brenvale {

class Topic;

// Change notifications, fine enough for item models: the begin call comes before the change,
// the end call after it. A reset stands for everything of its kind; between the two reset
// calls no other notification of that kind is sent. `parent` is nullptr for the top level.
// A paste tells of each subtree it hangs from a Topic that was there (begin and end of an
// insert together) once it has made them all.
class EditorObserver {
public:
    virtual ~EditorObserver() = default;

    virtual void beginInsertTopic(Topic* /*parent*/, size_t /*row*/) {}
    virtual void endInsertTopic() {}
    virtual void beginRemoveTopic(Topic* /*parent*/, size_t /*row*/) {}
    virtual void endRemoveTopic() {}
    // toRow is the Topic's row under toParent after the move.
    virtual void beginMoveTopic(Topic* /*fromParent*/, size_t /*fromRow*/, Topic* /*toParent*/,
                                size_t /*toRow*/) {}
    virtual void endMoveTopic() {}
    // Caption or icon.
    virtual void topicChanged(Topic* /*topic*/) {}
    virtual void topicExpansionChanged(Topic* /*topic*/) {}
    // Many Topics changed their expanded state at once (every one was expanded).
    virtual void manyExpansionsChanged() {}
    virtual void beginResetTree() {}
    virtual void endResetTree() {}
    // The progress counts of a Topic changed, and so those of the Topics above it; nullptr:
    // of every Topic (or whether they show).
    virtual void topicProgressChanged(Topic* /*topic*/) {}

    // The tree's rows (TreeRows): the Topics whose ancestors are all expanded, in tree order,
    // as one flat list. Rows are counted before the change; the rows of a move go before row
    // `destination`, also counted before the move. A reset of the tree resets the rows too.
    virtual void beginInsertTreeRows(size_t /*first*/, size_t /*count*/) {}
    virtual void endInsertTreeRows() {}
    virtual void beginRemoveTreeRows(size_t /*first*/, size_t /*count*/) {}
    virtual void endRemoveTreeRows() {}
    virtual void beginMoveTreeRows(size_t /*first*/, size_t /*count*/, size_t /*destination*/) {}
    virtual void endMoveTreeRows() {}
    // Rows that stay but look different: their level, expand button or expanded state.
    virtual void treeRowsChanged(size_t /*first*/, size_t /*count*/) {}
    // Every row may have changed (every Topic was expanded).
    virtual void beginResetTreeRows() {}
    virtual void endResetTreeRows() {}

    virtual void beginInsertItems(size_t /*first*/, size_t /*last*/) {}
    virtual void endInsertItems() {}
    virtual void beginRemoveItem(size_t /*row*/) {}
    virtual void endRemoveItem() {}
    // toRow is the row after the move.
    virtual void beginMoveItem(size_t /*fromRow*/, size_t /*toRow*/) {}
    virtual void endMoveItem() {}
    // Text or checked state.
    virtual void itemsChanged(size_t /*first*/, size_t /*last*/) {}
    virtual void beginResetList() {}
    virtual void endResetList() {}

    virtual void selectedTopicChanged() {}
    virtual void selectedRowChanged() {}
    // The program set the text of an edit box (the window shows it all selected).
    virtual void editTextChanged(EditBox /*box*/) {}
    virtual void commandStatesChanged() {}
    // The status bar counters need repainting.
    virtual void countersChanged() {}
    virtual void listExtentChanged() {}
    virtual void titleChanged() {}
    // The document's file name, or the file on disk it stands on, changed.
    virtual void documentFileChanged() {}
    virtual void recentFilesChanged() {}
    // The text of the status bar's hint panel.
    virtual void hintChanged() {}
    // The insertion line of an Item drag moved from row `previous` (-1 for none).
    virtual void insertionRowChanged(int /*previous*/) {}
    // The find's hit, counter or result list changed.
    virtual void findChanged() {}
    // The tag filter changed (or ended).
    virtual void tagFilterChanged() {}
    // Today changed (midnight passed): what is overdue or due today looks different.
    virtual void dayChanged() {}
};

}  // namespace brenvale
