#pragma once

#include <QAbstractListModel>
#include <QHash>

#include <vector>

#include "editor/schedule_actions.h"

namespace brenvale {

// The agenda as one flat list: each group that holds Items as a heading row ("期限切れ (3)"),
// followed by its Items as "Topic › Topic › text". Flat, so that a view of hundreds of
// thousands of Items costs what it shows: a tree view lays out every row of a group it
// expands. A thin adapter over the editor's AgendaView: rows are read from it when shown. Once
// the document changes the view is stale and its rows may name Items that are gone: the model
// then shows what it showed before (or nothing) until reload() makes it afresh.
class AgendaModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role {
        DueRole = Qt::UserRole,  // QString: the due of an Item's row ("2026-12-24 09:00")
        HeadingRole,             // bool: the row is a group's heading
    };

    explicit AgendaModel(ScheduleActions& schedule, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Made afresh from the document, for today.
    void reload();
    // The group and row of an Item's index; false for a heading.
    bool entryOf(const QModelIndex& index, AgendaGroup* group, size_t* row) const;
    // The place of an Item's index among the groups shown, and its row in its group; false
    // for a heading.
    bool placeOf(const QModelIndex& index, size_t* shownGroup, size_t* row) const;
    // The index of an Item by the place of its group among those shown and its row there;
    // invalid when there is none.
    QModelIndex itemIndex(size_t shownGroup, size_t row) const;
    // The heading of a group shown (by its place among them).
    QModelIndex headingIndex(size_t shownGroup) const;
    int total() const { return static_cast<int>(schedule_.agenda().total()); }

private:
    struct Shown {
        AgendaGroup group;
        int heading;  // the row of its heading; its Items follow
        int size;
    };
    // The group shown at a row, or nullptr.
    const Shown* shownAt(int row) const;

    ScheduleActions& schedule_;
    std::vector<Shown> shown_;  // the groups that hold Items, in order
    int rows_ = 0;
    // The texts shown so far, by group and row, for the time the view is stale.
    mutable QHash<quint64, QString> texts_;
};

}  // namespace brenvale
