#include "ui/agenda_model.h"

#include <QApplication>
#include <QFont>
#include <QPalette>

#include "document/topic.h"
#include "settings/colour_scheme.h"
#include "ui/codec.h"
#include "ui/colours.h"

namespace brenvale {

namespace {

// An Item's index carries its group + 1; a group's carries 0.
constexpr quintptr kGroupId = 0;

quint64 TextKey(AgendaGroup group, int row) {
    return (quint64(static_cast<int>(group)) << 32) | quint32(row);
}

}  // namespace

AgendaModel::AgendaModel(Editor& editor, QObject* parent)
    : QAbstractItemModel(parent), editor_(editor) {}

void AgendaModel::reload() {
    beginResetModel();
    editor_.refreshAgenda();
    texts_.clear();
    groups_.clear();
    for (int g = 0; g < kAgendaGroupCount; ++g) {
        auto group = static_cast<AgendaGroup>(g);
        if (editor_.agenda().count(group) > 0) {
            groups_.push_back(group);
        }
    }
    endResetModel();
}

QModelIndex AgendaModel::index(int row, int column, const QModelIndex& parent) const {
    if (!hasIndex(row, column, parent)) {
        return {};
    }
    if (!parent.isValid()) {
        return createIndex(row, column, kGroupId);
    }
    return createIndex(row, column, quintptr(parent.row() + 1));
}

QModelIndex AgendaModel::parent(const QModelIndex& child) const {
    if (!child.isValid() || child.internalId() == kGroupId) {
        return {};
    }
    return createIndex(static_cast<int>(child.internalId() - 1), 0, kGroupId);
}

int AgendaModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) {
        return static_cast<int>(groups_.size());
    }
    if (parent.internalId() != kGroupId || parent.column() != 0 ||
        static_cast<size_t>(parent.row()) >= groups_.size()) {
        return 0;
    }
    return static_cast<int>(editor_.agenda().count(groups_[static_cast<size_t>(parent.row())]));
}

int AgendaModel::columnCount(const QModelIndex&) const {
    return 1;
}

bool AgendaModel::entryOf(const QModelIndex& index, AgendaGroup* group, size_t* row) const {
    if (!index.isValid() || index.internalId() == kGroupId) {
        return false;
    }
    size_t g = static_cast<size_t>(index.internalId() - 1);
    if (g >= groups_.size()) {
        return false;
    }
    *group = groups_[g];
    *row = static_cast<size_t>(index.row());
    return true;
}

QVariant AgendaModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    AgendaGroup group;
    size_t row = 0;
    if (!entryOf(index, &group, &row)) {
        if (static_cast<size_t>(index.row()) >= groups_.size()) {
            return {};
        }
        AgendaGroup shown = groups_[static_cast<size_t>(index.row())];
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
            return QStringLiteral("%1 (%2)")
                .arg(FromUtf8(AgendaGroupName(shown)))
                .arg(editor_.agenda().count(shown));
        }
        if (role == Qt::FontRole) {
            QFont font = QApplication::font();
            font.setBold(true);
            return font;
        }
        if (role == Qt::ForegroundRole && shown == AgendaGroup::Overdue) {
            return ToQColor(
                OverdueTextOn(FromQColor(QApplication::palette().color(QPalette::Base))));
        }
        return {};
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole && role != Qt::AccessibleTextRole &&
        role != DueRole) {
        return {};
    }
    quint64 key = TextKey(group, static_cast<int>(row));
    AgendaView& view = editor_.agenda();
    if (view.stale()) {
        // The rows may name Items that are gone: nothing is read from them.
        return role == DueRole ? QVariant() : QVariant(texts_.value(key));
    }
    const AgendaRow* entry = view.row(group, row);
    if (!entry) {
        return {};
    }
    if (role == DueRole || role == Qt::ToolTipRole) {
        QString due = FromUtf8(FormatDue(entry->due)).replace(QLatin1Char('T'), QLatin1Char(' '));
        return role == DueRole ? due : QStringLiteral("期限: ") + due;
    }
    auto cached = texts_.constFind(key);
    if (cached != texts_.constEnd()) {
        return *cached;
    }
    QString text = FromUtf8(AgendaView::PlaceText(
        *entry->topic, std::as_const(entry->topic->items)[entry->item].text()));
    texts_.insert(key, text);
    return text;
}

Qt::ItemFlags AgendaModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    if (index.internalId() == kGroupId) {
        return Qt::ItemIsEnabled;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

}  // namespace brenvale
