#pragma once

#include <QAbstractTableModel>

namespace brenvale {

class ImageLists;
class ShortcutKeyList;

// The shortcut key dialog's list (lvKey) over its working copy: "No." with the command's
// picture, "コマンド", "キー" and "分類", read-only.
class KeyTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    KeyTableModel(ShortcutKeyList& keys, const ImageLists& images, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // After a row's key text changed, or every row's.
    void keyTextChanged(int row);
    void allKeyTextsChanged();
    // Runs a change of the rows' order.
    template <typename Fn>
    void reorder(Fn change) {
        beginResetModel();
        change();
        endResetModel();
    }

private:
    ShortcutKeyList& keys_;
    const ImageLists& images_;
};

}  // namespace brenvale
