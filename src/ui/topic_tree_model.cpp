#include "ui/topic_tree_model.h"

#include "ui/codec.h"

namespace brenvale {

TopicTreeModel::TopicTreeModel(Editor& editor, IconProvider icons, QObject* parent)
    : QAbstractItemModel(parent),
      editor_(editor),
      icons_(std::move(icons)),
      observation_(editor, this) {}

TopicTreeModel::~TopicTreeModel() = default;

Topic* TopicTreeModel::topic(const QModelIndex& index) const {
    return index.isValid() ? static_cast<Topic*>(index.internalPointer()) : nullptr;
}

QModelIndex TopicTreeModel::indexOf(const Topic* t) const {
    return t ? createIndex(static_cast<int>(t->row()), 0, const_cast<Topic*>(t)) : QModelIndex();
}

QModelIndex TopicTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column != 0 || (parent.isValid() && parent.column() != 0)) {
        return {};
    }
    Topic* p = topic(parent);
    const Document& doc = editor_.document();
    if (static_cast<size_t>(row) >= doc.siblingCount(p)) {
        return {};
    }
    return createIndex(row, 0, doc.sibling(p, static_cast<size_t>(row)));
}

QModelIndex TopicTreeModel::parent(const QModelIndex& child) const {
    Topic* t = topic(child);
    return t ? indexOf(t->parent()) : QModelIndex();
}

int TopicTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) {
        return 0;
    }
    return static_cast<int>(editor_.document().siblingCount(topic(parent)));
}

int TopicTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

bool TopicTreeModel::hasChildren(const QModelIndex& parent) const {
    return rowCount(parent) > 0;
}

QVariant TopicTreeModel::data(const QModelIndex& index, int role) const {
    Topic* t = topic(index);
    if (!t) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            return FromCp932(t->caption);
        case Qt::DecorationRole:
            return icons_ ? icons_(t->icon) : QVariant();
        default:
            return {};
    }
}

Qt::ItemFlags TopicTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::ItemIsDropEnabled;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
}

void TopicTreeModel::beginInsertTopic(Topic* parent, size_t row) {
    beginInsertRows(indexOf(parent), static_cast<int>(row), static_cast<int>(row));
}

void TopicTreeModel::endInsertTopic() {
    endInsertRows();
}

void TopicTreeModel::beginRemoveTopic(Topic* parent, size_t row) {
    beginRemoveRows(indexOf(parent), static_cast<int>(row), static_cast<int>(row));
}

void TopicTreeModel::endRemoveTopic() {
    endRemoveRows();
}

void TopicTreeModel::beginMoveTopic(Topic* fromParent, size_t fromRow, Topic* toParent,
                                    size_t toRow) {
    // Qt counts the destination row before the move.
    int destination = static_cast<int>(toRow);
    if (fromParent == toParent && toRow > fromRow) {
        ++destination;
    }
    moveAsReset_ = !beginMoveRows(indexOf(fromParent), static_cast<int>(fromRow),
                                  static_cast<int>(fromRow), indexOf(toParent), destination);
    if (moveAsReset_) {
        beginResetModel();
    }
}

void TopicTreeModel::endMoveTopic() {
    if (moveAsReset_) {
        moveAsReset_ = false;
        endResetModel();
        emit expansionReset();
    } else {
        endMoveRows();
    }
}

void TopicTreeModel::topicChanged(Topic* t) {
    QModelIndex index = indexOf(t);
    emit dataChanged(index, index);
}

void TopicTreeModel::topicExpansionChanged(Topic* t) {
    emit expansionChanged(indexOf(t), t->expanded);
}

void TopicTreeModel::manyExpansionsChanged() {
    emit expansionReset();
}

void TopicTreeModel::beginResetTree() {
    beginResetModel();
}

void TopicTreeModel::endResetTree() {
    endResetModel();
    emit expansionReset();
}

}  // namespace brenvale
