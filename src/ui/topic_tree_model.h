#pragma once

#include <QAbstractListModel>
#include <QIcon>

#include <functional>

#include "editor/editor.h"

namespace brenvale {

// The tree's rows as a flat list model: a thin adapter over the editor's TreeRows (the Topics
// whose ancestors are all expanded, in tree order). The editor's row notifications become
// row-range inserts, removes and moves, so a change costs the view nothing for the rows it
// did not touch, however deep or wide the tree. Each row tells its Topic's level, whether it
// has children and whether it is expanded, for the view to draw it as a tree row.
class TopicTreeModel : public QAbstractListModel, public EditorObserver {
    Q_OBJECT
public:
    enum Role {
        LevelRole = Qt::UserRole,  // int: 0 for a top-level Topic
        HasChildrenRole,           // bool
        ExpandedRole,              // bool
        TrailingTextRole,          // QString shown in grey after the caption; empty for none
        TrailingCompleteRole,      // bool: the trailing text in green instead (all Items done)
    };

    // The picture of a topic image.
    using IconProvider = std::function<QIcon(int icon)>;

    TopicTreeModel(Editor& editor, IconProvider icons, QObject* parent = nullptr);
    ~TopicTreeModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // nullptr for an invalid index or a row that is gone.
    Topic* topic(const QModelIndex& index) const;
    Topic* topicAt(int row) const;
    // The index of a Topic's row; invalid for nullptr and for a Topic under a folded one.
    QModelIndex indexOf(const Topic* topic) const;
    // A change of the rows is under way: between its begin and its end the rows are told,
    // not yet settled, and the view passes no selection of its own to the editor.
    bool changing() const { return changing_; }
    // The level of a row's Topic. Asked for the rows in order (as a view paints them), each
    // after the first costs only the levels it climbs; otherwise the Topic's depth.
    int level(int row) const;

private:
    void beginInsertTreeRows(size_t first, size_t count) override;
    void endInsertTreeRows() override;
    void beginRemoveTreeRows(size_t first, size_t count) override;
    void endRemoveTreeRows() override;
    void beginMoveTreeRows(size_t first, size_t count, size_t destination) override;
    void endMoveTreeRows() override;
    void treeRowsChanged(size_t first, size_t count) override;
    void beginResetTreeRows() override;
    void endResetTreeRows() override;
    void topicChanged(Topic* topic) override;
    void beginResetTree() override;
    void endResetTree() override;
    void topicProgressChanged(Topic* topic) override;
    void forgetLevels();

    Editor& editor_;
    IconProvider icons_;
    EditorObservation observation_;
    // A move the item model refuses is told as a reset instead.
    bool moveAsReset_ = false;
    bool changing_ = false;
    // The row whose level was asked for last.
    mutable int lastRow_ = -1;
    mutable const Topic* lastTopic_ = nullptr;
    mutable int lastLevel_ = 0;
};

}  // namespace brenvale
