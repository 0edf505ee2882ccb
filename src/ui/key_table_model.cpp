#include "ui/key_table_model.h"

#include "settings/shortcut_key_list.h"
#include "ui/codec.h"
#include "ui/images.h"

namespace brenvale {

namespace {

constexpr int kKeyColumn = ShortcutKeyList::kKey - 1;

}  // namespace

KeyTableModel::KeyTableModel(ShortcutKeyList& keys, const ImageLists& images, QObject* parent)
    : QAbstractTableModel(parent), keys_(keys), images_(images) {}

int KeyTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(keys_.size());
}

int KeyTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 4;
}

QVariant KeyTableModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) {
        return {};
    }
    const auto row = static_cast<size_t>(index.row());
    if (role == Qt::DisplayRole) {
        return FromUtf8(keys_.text(row, index.column() + 1));
    }
    if (role == Qt::DecorationRole && index.column() == 0) {
        return images_.barIcon(keys_.commandEntry(row).image);
    }
    return {};
}

QVariant KeyTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    switch (section) {
        case 0:
            return QStringLiteral("No.");
        case 1:
            return QStringLiteral("コマンド");
        case 2:
            return QStringLiteral("キー");
        case 3:
            return QStringLiteral("分類");
        default:
            return {};
    }
}

void KeyTableModel::keyTextChanged(int row) {
    QModelIndex cell = index(row, kKeyColumn);
    emit dataChanged(cell, cell, {Qt::DisplayRole});
}

void KeyTableModel::allKeyTextsChanged() {
    if (rowCount() > 0) {
        emit dataChanged(index(0, kKeyColumn), index(rowCount() - 1, kKeyColumn),
                         {Qt::DisplayRole});
    }
}

}  // namespace brenvale
