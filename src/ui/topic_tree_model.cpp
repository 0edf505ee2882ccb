#include "ui/topic_tree_model.h"

#include <algorithm>
#include <utility>

#include "ui/codec.h"

namespace brenvale {

namespace {

// Whether t lies `level` or more levels below the top; walks up no further than that.
bool AtLevelOrBelow(const Topic* t, int level) {
    int up = 0;
    for (const Topic* p = t->parent(); p && up < level; p = p->parent()) {
        ++up;
    }
    return up >= level;
}

// Whether the subtree of top reaches `levels` levels below top; stops as soon as it does.
bool ReachesDown(const Topic& top, int levels) {
    const Topic* t = &top;
    int level = 0;
    while (t) {
        if (level >= levels) {
            return true;
        }
        if (t->hasChildren()) {
            t = t->child(0);
            ++level;
            continue;
        }
        while (t != &top && !t->nextSibling()) {
            t = t->holder();
            --level;
        }
        t = t == &top ? nullptr : t->nextSibling();
    }
    return false;
}

// The level of a shown parent's children.
int ChildLevel(const Topic* parent) {
    return parent ? parent->level() + 1 : 0;
}

}  // namespace

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
    return t && !AtLevelOrBelow(t, kShownLevels) ? rowIndex(t) : QModelIndex();
}

QModelIndex TopicTreeModel::indexOf(const Topic* t, int level) const {
    return t && level < kShownLevels ? rowIndex(t) : QModelIndex();
}

QModelIndex TopicTreeModel::rowIndex(const Topic* t) const {
    return t ? createIndex(static_cast<int>(t->row()), 0, const_cast<Topic*>(t)) : QModelIndex();
}

bool TopicTreeModel::showsChildrenOf(const Topic* t) {
    return !t || !AtLevelOrBelow(t, kShownLevels - 1);
}

QModelIndex TopicTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column != 0 || (parent.isValid() && parent.column() != 0)) {
        return {};
    }
    Topic* p = topic(parent);
    const Document& doc = editor_.document();
    if (!showsChildrenOf(p) || static_cast<size_t>(row) >= doc.siblingCount(p)) {
        return {};
    }
    return createIndex(row, 0, doc.sibling(p, static_cast<size_t>(row)));
}

QModelIndex TopicTreeModel::parent(const QModelIndex& child) const {
    // The parent of a shown Topic is shown.
    Topic* t = topic(child);
    return t ? rowIndex(t->parent()) : QModelIndex();
}

int TopicTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) {
        return 0;
    }
    Topic* p = topic(parent);
    return showsChildrenOf(p) ? static_cast<int>(editor_.document().siblingCount(p)) : 0;
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
    const bool progress = editor_.settings().showProgress;
    switch (role) {
        case Qt::DisplayRole: {
            QString caption = FromCp932(t->caption);
            if (progress) {
                ProgressText counter = editor_.progress().text(*t);
                if (!counter.text.empty()) {
                    caption += QLatin1Char(' ') + FromUtf8(counter.text);
                }
            }
            return caption;
        }
        case Qt::DecorationRole:
            return icons_ ? icons_(t->icon) : QVariant();
        case ProgressRole:
            return progress ? FromUtf8(editor_.progress().text(*t).text) : QString();
        case ProgressCompleteRole:
            return progress && editor_.progress().text(*t).complete;
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
    insertTelling_ = showsChildrenOf(parent) ? Telling::AsIs : Telling::Not;
    if (insertTelling_ == Telling::AsIs) {
        beginInsertRows(indexOf(parent), static_cast<int>(row), static_cast<int>(row));
    }
}

void TopicTreeModel::endInsertTopic() {
    if (std::exchange(insertTelling_, Telling::AsIs) == Telling::AsIs) {
        endInsertRows();
    }
}

void TopicTreeModel::beginRemoveTopic(Topic* parent, size_t row) {
    removeTelling_ = showsChildrenOf(parent) ? Telling::AsIs : Telling::Not;
    if (removeTelling_ == Telling::AsIs) {
        beginRemoveRows(indexOf(parent), static_cast<int>(row), static_cast<int>(row));
    }
}

void TopicTreeModel::endRemoveTopic() {
    if (std::exchange(removeTelling_, Telling::AsIs) == Telling::AsIs) {
        endRemoveRows();
    }
}

void TopicTreeModel::beginMoveTopic(Topic* fromParent, size_t fromRow, Topic* toParent,
                                    size_t toRow) {
    bool fromShown = showsChildrenOf(fromParent);
    bool toShown = showsChildrenOf(toParent);
    if (!fromShown && !toShown) {
        moveTelling_ = Telling::Not;
        return;
    }
    moveTelling_ = Telling::AsReset;
    if (fromShown && toShown) {
        // A subtree that keeps its level, or that is shown whole at both levels, moves as it
        // is; otherwise some of its Topics come into view or go out of it.
        int from = ChildLevel(fromParent);
        int to = ChildLevel(toParent);
        const Topic* moved = editor_.document().sibling(fromParent, fromRow);
        if (from == to || !ReachesDown(*moved, kShownLevels - std::max(from, to))) {
            // Qt counts the destination row before the move.
            int destination = static_cast<int>(toRow);
            if (fromParent == toParent && toRow > fromRow) {
                ++destination;
            }
            if (beginMoveRows(indexOf(fromParent), static_cast<int>(fromRow),
                              static_cast<int>(fromRow), indexOf(toParent), destination)) {
                moveTelling_ = Telling::AsIs;
            }
        }
    }
    if (moveTelling_ == Telling::AsReset) {
        beginResetModel();
    }
}

void TopicTreeModel::endMoveTopic() {
    switch (std::exchange(moveTelling_, Telling::AsIs)) {
        case Telling::AsIs:
            endMoveRows();
            break;
        case Telling::AsReset:
            endResetModel();
            emit expansionReset();
            break;
        case Telling::Not:
            break;
    }
}

void TopicTreeModel::topicChanged(Topic* t) {
    QModelIndex index = indexOf(t);
    if (index.isValid()) {
        emit dataChanged(index, index);
    }
}

void TopicTreeModel::topicExpansionChanged(Topic* t) {
    // A Topic on the last shown level shows no children to expand.
    if (t && showsChildrenOf(t)) {
        emit expansionChanged(indexOf(t), t->expanded);
    }
}

void TopicTreeModel::topicProgressChanged(Topic* t) {
    if (!editor_.settings().showProgress && t) {
        return;
    }
    if (!t) {
        // Every counter (or whether they show): every row shown is painted again.
        int rows = rowCount();
        if (rows > 0) {
            emit dataChanged(index(0, 0), index(rows - 1, 0));
        }
        return;
    }
    // The Topic and every Topic above it, whose folded counters hold its Items.
    int level = t->level();
    for (Topic* x = t; x; x = x->parent(), --level) {
        QModelIndex row = indexOf(x, level);
        if (row.isValid()) {
            emit dataChanged(row, row, {Qt::DisplayRole, ProgressRole, ProgressCompleteRole});
        }
    }
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
