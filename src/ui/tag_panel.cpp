#include "ui/tag_panel.h"

#include <QApplication>
#include <QFont>
#include <QListView>
#include <QMenu>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>

#include "editor/tag_edit.h"
#include "ui/accessibility.h"
#include "ui/codec.h"
#include "ui/error_report.h"

namespace brenvale {

namespace {

// 1 when the filter requires the tag, -1 when it excludes it.
int FilterState(const TagFilter& filter, const std::string& name) {
    std::string key = TagKey(name);
    auto holds = [&](const std::vector<std::string>& names) {
        for (const std::string& n : names) {
            if (TagKey(BareTagName(n)) == key) {
                return true;
            }
        }
        return false;
    };
    return holds(filter.require) ? 1 : holds(filter.exclude) ? -1 : 0;
}

}  // namespace

TagListModel::TagListModel(TagActions& tags, QObject* parent)
    : QAbstractListModel(parent), tags_(tags) {}

int TagListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant TagListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || static_cast<size_t>(index.row()) >= rows_.size()) {
        return {};
    }
    const Row& row = rows_[static_cast<size_t>(index.row())];
    const TagFilter& filter = tags_.filter().filter();
    int state = row.name.empty() ? (filter.untagged ? 1 : 0) : FilterState(filter, row.name);
    switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole: {
            QString name = row.name.empty() ? QStringLiteral("タグなし")
                                            : QStringLiteral("#") + FromCp932(row.name);
            return QStringLiteral("%1 (%2)").arg(name).arg(row.open);
        }
        case Qt::ToolTipRole:
            return state < 0 ? QStringLiteral("除外しています")
                             : QStringLiteral("クリックで絞り込み、Ctrl+クリックで追加");
        case Qt::FontRole:
            if (state != 0) {
                QFont font = QApplication::font();
                font.setBold(state > 0);
                font.setStrikeOut(state < 0);
                return font;
            }
            return {};
        case NameRole:
            return FromCp932(row.name);
        case FilterRole:
            return state;
        default:
            return {};
    }
}

void TagListModel::reload() {
    ScheduleIndex& schedule = tags_.index();
    std::vector<Row> rows;
    rows.push_back({std::string(), schedule.untaggedOpen()});
    for (const auto& [key, tag] : schedule.tags()) {
        rows.push_back({tag.name, tag.open});
    }
    bool sameRows = rows.size() == rows_.size();
    for (size_t i = 0; sameRows && i < rows.size(); ++i) {
        sameRows = rows[i].name == rows_[i].name;
    }
    if (sameRows) {
        rows_ = std::move(rows);
        if (!rows_.empty()) {
            emit dataChanged(this->index(0), this->index(static_cast<int>(rows_.size()) - 1));
        }
        return;
    }
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

std::optional<std::string> TagListModel::tagOf(int row) const {
    if (row < 0 || static_cast<size_t>(row) >= rows_.size() ||
        rows_[static_cast<size_t>(row)].name.empty()) {
        return std::nullopt;
    }
    return rows_[static_cast<size_t>(row)].name;
}

TagPanel::TagPanel(Editor& editor, QWidget* parent)
    : QDockWidget(QStringLiteral("タグ"), parent), editor_(editor), observation_(editor, this) {
    setObjectName(QStringLiteral("tagPanel"));
    toggleViewAction()->setText(switchText());
    toggleViewAction()->setStatusTip(switchHint());
    model_ = new TagListModel(editor_.tags(), this);
    view_ = new QListView;
    view_->setModel(model_);
    view_->setUniformItemSizes(true);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    view_->setStatusTip(QStringLiteral(
        "|[タグ] クリックで絞り込み、Ctrl+クリックでタグを追加、右クリックで除外(Esc で解除)"));
    NameAfterHint(view_, view_->statusTip());
    clear_ = new QPushButton(QStringLiteral("絞り込みを解除"));
    clear_->setEnabled(false);

    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(view_, 1);
    layout->addWidget(clear_);
    setWidget(content);

    refresh_.setSingleShot(true);
    refresh_.setInterval(kRefreshDelayMs);
    connect(&refresh_, &QTimer::timeout, this, Guarded([this] { refresh(); }));
    connect(view_, &QListView::clicked, this, [this](const QModelIndex& index) {
        bool ctrl = QApplication::keyboardModifiers() & Qt::ControlModifier;
        clickRow(index.row(), ctrl);
    });
    connect(view_, &QListView::activated, this, [this](const QModelIndex& index) {
        // Enter on a row; a click comes as clicked.
        if (QApplication::mouseButtons() == Qt::NoButton) {
            clickRow(index.row(), false);
        }
    });
    connect(view_, &QWidget::customContextMenuRequested, this, &TagPanel::popUp);
    connect(clear_, &QPushButton::clicked, this,
            Guarded([this] { editor_.tags().clearTagFilter(); }));
}

void TagPanel::clickRow(int row, bool ctrl) {
    RunReporting([&] {
        if (std::optional<std::string> tag = model_->tagOf(row)) {
            editor_.tags().clickTag(*tag, ctrl ? TagClick::And : TagClick::Only);
        } else if (row == 0) {
            editor_.tags().clickUntagged();
        }
    });
}

void TagPanel::popUp(const QPoint& at) {
    QModelIndex index = view_->indexAt(at);
    std::optional<std::string> tag = model_->tagOf(index.row());
    QMenu menu(this);
    QAction* only = menu.addAction(QStringLiteral("このタグで絞り込む"));
    QAction* also = menu.addAction(QStringLiteral("このタグも(かつ)\tCtrl+クリック"));
    QAction* exclude = menu.addAction(QStringLiteral("除外"));
    menu.addSeparator();
    QAction* clear = menu.addAction(QStringLiteral("絞り込みを解除\tEsc"));
    only->setEnabled(index.isValid());
    also->setEnabled(tag.has_value());
    exclude->setEnabled(tag.has_value());
    clear->setEnabled(editor_.tags().filter().active());
    QAction* chosen = menu.exec(view_->viewport()->mapToGlobal(at));
    RunReporting([&] {
        if (chosen == only) {
            clickRow(index.row(), false);
        } else if (chosen == also && tag) {
            editor_.tags().clickTag(*tag, TagClick::And);
        } else if (chosen == exclude && tag) {
            editor_.tags().clickTag(*tag, TagClick::Exclude);
        } else if (chosen == clear) {
            editor_.tags().clearTagFilter();
        }
    });
}

void TagPanel::refresh() {
    if (!isVisible()) {
        return;
    }
    ScheduleIndex& index = editor_.tags().index();
    index.ensureBuilt();
    if (index.version() != shownVersion_) {
        model_->reload();
        shownVersion_ = index.version();
    }
}

void TagPanel::showEvent(QShowEvent* event) {
    QDockWidget::showEvent(event);
    if (!held_) {
        refresh();
    }
}

void TagPanel::holdUntilPainted(bool held) {
    held_ = held;
    if (!held) {
        QTimer::singleShot(0, this, Guarded([this] { refresh(); }));
    }
}

void TagPanel::countersChanged() {
    // After any action: the counts follow a moment later, once per burst of changes.
    if (isVisible() && editor_.tags().index().version() != shownVersion_ && !refresh_.isActive()) {
        refresh_.start();
    }
}

void TagPanel::tagFilterChanged() {
    clear_->setEnabled(editor_.tags().filter().active());
    if (model_->rowCount() > 0) {
        emit model_->dataChanged(model_->index(0), model_->index(model_->rowCount() - 1));
    }
}

}  // namespace brenvale
