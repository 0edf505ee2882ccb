#include "ui/topic_tree_model.h"

#include <utility>

#include "ui/codec.h"

namespace brenvale {

TopicTreeModel::TopicTreeModel(Editor& editor, IconProvider icons, QObject* parent)
    : QAbstractListModel(parent),
      editor_(editor),
      icons_(std::move(icons)),
      observation_(editor, this) {}

TopicTreeModel::~TopicTreeModel() = default;

int TopicTreeModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(editor_.tree().rows().rowCount());
}

Topic* TopicTreeModel::topicAt(int row) const {
    return row >= 0 ? editor_.tree().rows().topicAt(static_cast<size_t>(row)) : nullptr;
}

Topic* TopicTreeModel::topic(const QModelIndex& index) const {
    return index.isValid() && index.model() == this ? topicAt(index.row()) : nullptr;
}

QModelIndex TopicTreeModel::indexOf(const Topic* t) const {
    size_t row = t ? editor_.tree().rows().rowOf(t) : TreeRows::npos;
    return row == TreeRows::npos ? QModelIndex() : index(static_cast<int>(row));
}

void TopicTreeModel::forgetLevels() {
    lastRow_ = -1;
    lastTopic_ = nullptr;
}

int TopicTreeModel::level(int row) const {
    const Topic* t = topicAt(row);
    if (!t) {
        return 0;
    }
    if (lastRow_ >= 0 && row == lastRow_ && t == lastTopic_) {
        return lastLevel_;
    }
    int level = 0;
    if (lastRow_ >= 0 && row == lastRow_ + 1 && lastTopic_) {
        // The row after a Topic is its first child, or the next sibling of the Topic or of
        // one of its ancestors: climb from the Topic before to the parent they share.
        const Topic* p = lastTopic_;
        level = lastLevel_ + 1;
        for (const Topic* parent = t->parent(); p && p != parent; p = p->parent()) {
            --level;
        }
    } else {
        level = t->level();
    }
    lastRow_ = row;
    lastTopic_ = t;
    lastLevel_ = level;
    return level;
}

QVariant TopicTreeModel::data(const QModelIndex& index, int role) const {
    Topic* t = topic(index);
    if (!t) {
        return {};
    }
    const bool progress = editor_.settings().showProgress;
    switch (role) {
        case Qt::DisplayRole:
            return FromCp932(t->caption);
        case Qt::DecorationRole:
            return icons_ ? icons_(t->icon) : QVariant();
        case LevelRole:
            return level(index.row());
        case HasChildrenRole:
            return t->hasChildren();
        case ExpandedRole:
            return t->hasChildren() && t->expanded;
        case TrailingTextRole:
            // The progress counter, while it shows.
            return progress ? FromUtf8(editor_.progress().text(*t).text) : QString();
        case TrailingCompleteRole:
            return progress && editor_.progress().text(*t).complete;
        default:
            return {};
    }
}

Qt::ItemFlags TopicTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::ItemIsDropEnabled;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled |
           Qt::ItemIsDropEnabled | Qt::ItemNeverHasChildren;
}

// ---- Following the editor

void TopicTreeModel::beginInsertTreeRows(size_t first, size_t count) {
    forgetLevels();
    changing_ = true;
    beginInsertRows({}, static_cast<int>(first), static_cast<int>(first + count - 1));
}

void TopicTreeModel::endInsertTreeRows() {
    changing_ = false;
    endInsertRows();
}

void TopicTreeModel::beginRemoveTreeRows(size_t first, size_t count) {
    forgetLevels();
    changing_ = true;
    beginRemoveRows({}, static_cast<int>(first), static_cast<int>(first + count - 1));
}

void TopicTreeModel::endRemoveTreeRows() {
    changing_ = false;
    endRemoveRows();
}

void TopicTreeModel::beginMoveTreeRows(size_t first, size_t count, size_t destination) {
    forgetLevels();
    changing_ = true;
    moveAsReset_ = !beginMoveRows({}, static_cast<int>(first), static_cast<int>(first + count - 1),
                                  {}, static_cast<int>(destination));
    if (moveAsReset_) {
        beginResetModel();
    }
}

void TopicTreeModel::endMoveTreeRows() {
    changing_ = false;
    if (std::exchange(moveAsReset_, false)) {
        endResetModel();
    } else {
        endMoveRows();
    }
}

void TopicTreeModel::treeRowsChanged(size_t first, size_t count) {
    forgetLevels();
    emit dataChanged(index(static_cast<int>(first)), index(static_cast<int>(first + count - 1)));
}

void TopicTreeModel::beginResetTreeRows() {
    forgetLevels();
    changing_ = true;
    beginResetModel();
}

void TopicTreeModel::endResetTreeRows() {
    changing_ = false;
    endResetModel();
}

void TopicTreeModel::topicChanged(Topic* t) {
    QModelIndex at = indexOf(t);
    if (at.isValid()) {
        emit dataChanged(at, at);
    }
}

void TopicTreeModel::topicProgressChanged(Topic* t) {
    if (!editor_.settings().showProgress && t) {
        return;
    }
    if (!t) {
        // Every counter (or whether they show): every row is painted again.
        if (int rows = rowCount(); rows > 0) {
            emit dataChanged(index(0), index(rows - 1), {TrailingTextRole, TrailingCompleteRole});
        }
        return;
    }
    // The Topic and every Topic above it, whose folded counters hold its Items.
    for (Topic* x = t; x; x = x->parent()) {
        QModelIndex row = indexOf(x);
        if (row.isValid()) {
            emit dataChanged(row, row, {TrailingTextRole, TrailingCompleteRole});
        }
    }
}

void TopicTreeModel::beginResetTree() {
    forgetLevels();
    changing_ = true;
    beginResetModel();
}

void TopicTreeModel::endResetTree() {
    changing_ = false;
    endResetModel();
}

}  // namespace brenvale
