#include "ui/check_list_model.h"

#include "ui/codec.h"

namespace brenvale {

CheckListModel::CheckListModel(Editor& editor, QObject* parent)
    : QAbstractListModel(parent), editor_(editor), observation_(editor, this) {}

CheckListModel::~CheckListModel() = default;

int CheckListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(editor_.list().rowCount());
}

QVariant CheckListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || static_cast<size_t>(index.row()) >= editor_.list().rowCount()) {
        return {};
    }
    size_t row = static_cast<size_t>(index.row());
    switch (role) {
        case Qt::DisplayRole: {
            ItemKind kind = editor_.list().rowKind(row);
            return FromCp932(ShownText(editor_.list().rowText(row), kind));
        }
        case RawTextRole:
            return FromCp932(editor_.list().rowText(row));
        case KindRole:
            return static_cast<int>(editor_.list().rowKind(row));
        case Qt::CheckStateRole:
            return editor_.list().rowChecked(row) ? Qt::Checked : Qt::Unchecked;
        default:
            return {};
    }
}

bool CheckListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || static_cast<size_t>(index.row()) >= editor_.list().rowCount()) {
        return false;
    }
    size_t row = static_cast<size_t>(index.row());
    // A row's text edited in place comes as its CP932 bytes.
    if (role == Qt::EditRole && value.typeId() == QMetaType::QByteArray) {
        editor_.storeRowText(row, value.toByteArray().toStdString());
        return true;
    }
    if (role != Qt::CheckStateRole) {
        return false;
    }
    bool checked = value.value<Qt::CheckState>() == Qt::Checked;
    if (checked != editor_.list().rowChecked(row)) {
        editor_.toggleCheck(row);
    }
    return true;
}

Qt::ItemFlags CheckListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::ItemIsDropEnabled;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsEditable |
           Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
}

void CheckListModel::beginInsertItems(size_t first, size_t last) {
    beginInsertRows({}, static_cast<int>(first), static_cast<int>(last));
}

void CheckListModel::endInsertItems() {
    endInsertRows();
}

void CheckListModel::beginRemoveItem(size_t row) {
    beginRemoveRows({}, static_cast<int>(row), static_cast<int>(row));
}

void CheckListModel::endRemoveItem() {
    endRemoveRows();
}

void CheckListModel::beginMoveItem(size_t fromRow, size_t toRow) {
    int destination = static_cast<int>(toRow > fromRow ? toRow + 1 : toRow);
    moveAsReset_ =
        !beginMoveRows({}, static_cast<int>(fromRow), static_cast<int>(fromRow), {}, destination);
    if (moveAsReset_) {
        beginResetModel();
    }
}

void CheckListModel::endMoveItem() {
    if (moveAsReset_) {
        moveAsReset_ = false;
        endResetModel();
    } else {
        endMoveRows();
    }
}

void CheckListModel::itemsChanged(size_t first, size_t last) {
    emit dataChanged(index(static_cast<int>(first)), index(static_cast<int>(last)));
}

void CheckListModel::beginResetList() {
    beginResetModel();
}

void CheckListModel::endResetList() {
    endResetModel();
}

void CheckListModel::selectedRowChanged() {
    emit currentRowChanged(editor_.list().selectedRow());
}

void CheckListModel::insertionRowChanged(int previous) {
    emit insertionLineMoved(previous);
}

}  // namespace brenvale
