#pragma once

#include <QAbstractItemModel>
#include <QIcon>

#include <functional>

#include "editor/editor.h"

namespace brenvale {

// The topic tree as an item model: a thin adapter over the editor's Document that passes
// on the editor's change notifications, so edits never reset the view.
class TopicTreeModel : public QAbstractItemModel, public EditorObserver {
    Q_OBJECT
public:
    // icon(index, selected) gives the picture of a topic image.
    using IconProvider = std::function<QIcon(int icon)>;

    TopicTreeModel(Editor& editor, IconProvider icons, QObject* parent = nullptr);
    ~TopicTreeModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    Topic* topic(const QModelIndex& index) const;
    QModelIndex indexOf(const Topic* topic) const;

signals:
    // The editor changed a Topic's expanded state; after a reset every state is to be applied.
    void expansionChanged(const QModelIndex& index, bool expanded);
    void expansionReset();

private:
    void beginInsertTopic(Topic* parent, size_t row) override;
    void endInsertTopic() override;
    void beginRemoveTopic(Topic* parent, size_t row) override;
    void endRemoveTopic() override;
    void beginMoveTopic(Topic* fromParent, size_t fromRow, Topic* toParent, size_t toRow) override;
    void endMoveTopic() override;
    void topicChanged(Topic* topic) override;
    void topicExpansionChanged(Topic* topic) override;
    void manyExpansionsChanged() override;
    void beginResetTree() override;
    void endResetTree() override;

    Editor& editor_;
    IconProvider icons_;
    EditorObservation observation_;
    // A move the item model cannot express is told as a reset instead.
    bool moveAsReset_ = false;
};

}  // namespace brenvale
