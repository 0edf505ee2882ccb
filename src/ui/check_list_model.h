#pragma once

#include <QAbstractListModel>

#include "editor/editor.h"

namespace brenvale {

// The visible check list as an item model over the editor's rows.
class CheckListModel : public QAbstractListModel, public EditorObserver {
    Q_OBJECT
public:
    enum Role {
        RawTextRole = Qt::UserRole,  // the Item's text as stored, leading "-" included
        KindRole,                    // ItemKind as int
    };

    explicit CheckListModel(Editor& editor, QObject* parent = nullptr);
    ~CheckListModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // The editor moved the selected row (-1 for none).
    void currentRowChanged(int row);
    // The insertion line of an Item drag moved away from row `previous` (-1 for none).
    void insertionLineMoved(int previous);

private:
    void beginInsertItems(size_t first, size_t last) override;
    void endInsertItems() override;
    void beginRemoveItem(size_t row) override;
    void endRemoveItem() override;
    void beginMoveItem(size_t fromRow, size_t toRow) override;
    void endMoveItem() override;
    void itemsChanged(size_t first, size_t last) override;
    void beginResetList() override;
    void endResetList() override;
    void selectedRowChanged() override;
    void insertionRowChanged(int previous) override;

    Editor& editor_;
    EditorObservation observation_;
    // A move the item model cannot express is told as a reset instead.
    bool moveAsReset_ = false;
};

}  // namespace brenvale
