#include "ui/agenda_model.h"

#include <QApplication>
#include <QFont>
#include <QPalette>

#include <algorithm>
#include <climits>

#include "document/topic.h"
#include "settings/colour_scheme.h"
#include "ui/codec.h"
#include "ui/colours.h"

namespace brenvale {

namespace {

quint64 TextKey(AgendaGroup group, size_t row) {
    return (quint64(static_cast<int>(group)) << 32) | quint32(row);
}

}  // namespace

AgendaModel::AgendaModel(ScheduleActions& schedule, QObject* parent)
    : QAbstractListModel(parent), schedule_(schedule) {}

void AgendaModel::reload() {
    beginResetModel();
    schedule_.refreshAgenda();
    texts_.clear();
    shown_.clear();
    rows_ = 0;
    for (int g = 0; g < kAgendaGroupCount; ++g) {
        auto group = static_cast<AgendaGroup>(g);
        // A list view takes no more than an int of rows.
        size_t count = std::min<size_t>(schedule_.agenda().count(group),
                                        static_cast<size_t>(INT_MAX - 1 - rows_));
        if (count > 0) {
            shown_.push_back({group, rows_, static_cast<int>(count)});
            rows_ += 1 + static_cast<int>(count);
        }
    }
    endResetModel();
}

int AgendaModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

const AgendaModel::Shown* AgendaModel::shownAt(int row) const {
    for (auto it = shown_.rbegin(); it != shown_.rend(); ++it) {
        if (row >= it->heading) {
            return row <= it->heading + it->size ? &*it : nullptr;
        }
    }
    return nullptr;
}

bool AgendaModel::placeOf(const QModelIndex& index, size_t* shownGroup, size_t* row) const {
    if (!index.isValid() || index.model() != this) {
        return false;
    }
    const Shown* shown = shownAt(index.row());
    if (!shown || index.row() == shown->heading) {
        return false;
    }
    *shownGroup = static_cast<size_t>(shown - shown_.data());
    *row = static_cast<size_t>(index.row() - shown->heading - 1);
    return true;
}

bool AgendaModel::entryOf(const QModelIndex& index, AgendaGroup* group, size_t* row) const {
    size_t place = 0;
    if (!placeOf(index, &place, row)) {
        return false;
    }
    *group = shown_[place].group;
    return true;
}

QModelIndex AgendaModel::itemIndex(size_t shownGroup, size_t row) const {
    if (shownGroup >= shown_.size() || row >= static_cast<size_t>(shown_[shownGroup].size)) {
        return {};
    }
    return index(shown_[shownGroup].heading + 1 + static_cast<int>(row));
}

QModelIndex AgendaModel::headingIndex(size_t shownGroup) const {
    return shownGroup < shown_.size() ? index(shown_[shownGroup].heading) : QModelIndex();
}

QVariant AgendaModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    AgendaGroup group;
    size_t row = 0;
    if (!entryOf(index, &group, &row)) {
        const Shown* heading = shownAt(index.row());
        if (!heading) {
            return {};
        }
        AgendaGroup shown = heading->group;
        if (role == HeadingRole) {
            return true;
        }
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
            return QStringLiteral("%1 (%2)")
                .arg(FromUtf8(AgendaGroupName(shown)))
                .arg(schedule_.agenda().count(shown));
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
    if (role == HeadingRole) {
        return false;
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole && role != Qt::AccessibleTextRole &&
        role != DueRole) {
        return {};
    }
    quint64 key = TextKey(group, row);
    AgendaView& view = schedule_.agenda();
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
    AgendaGroup group;
    size_t row = 0;
    if (!entryOf(index, &group, &row)) {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemNeverHasChildren : Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

}  // namespace brenvale
