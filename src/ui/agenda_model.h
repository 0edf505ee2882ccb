#pragma once

#include <QAbstractItemModel>
#include <QHash>

#include <vector>

#include "editor/editor.h"

namespace brenvale {

// The agenda as a two-level item model: the groups that hold Items ("期限切れ (3)"), and under
// each its Items as "Topic › Topic › text". A thin adapter over the editor's AgendaView: rows are
// read from it when shown. Once the document changes the view is stale and its rows may name
// Items that are gone: the model then shows what it showed before (or nothing) until reload()
// makes it afresh.
class AgendaModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Role {
        DueRole = Qt::UserRole,  // QString: the due of an Item's row ("2026-12-24 09:00")
    };

    explicit AgendaModel(Editor& editor, QObject* parent = nullptr);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Made afresh from the document, for today.
    void reload();
    // The group and row of an Item's index; false for a group's index.
    bool entryOf(const QModelIndex& index, AgendaGroup* group, size_t* row) const;
    int total() const { return static_cast<int>(editor_.agenda().total()); }

private:
    Editor& editor_;
    std::vector<AgendaGroup> groups_;  // the groups shown, those that hold Items
    // The texts shown so far, by group and row, for the time the view is stale.
    mutable QHash<quint64, QString> texts_;
};

}  // namespace brenvale
