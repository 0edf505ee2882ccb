#include "ui/find_results.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/accessibility.h"
#include "ui/codec.h"
#include "ui/error_report.h"

namespace brenvale {

int FindResultsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(find_.state().results().size());
}

QVariant FindResultsModel::data(const QModelIndex& index, int role) const {
    const auto& results = find_.state().results();
    if (!index.isValid() || static_cast<size_t>(index.row()) >= results.size()) {
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        return FromUtf8(results[static_cast<size_t>(index.row())].text);
    }
    return {};
}

void FindResultsModel::reload() {
    beginResetModel();
    endResetModel();
}

FindResultsPanel::FindResultsPanel(Editor& editor, QWidget* parent)
    : QWidget(parent), editor_(editor), observation_(editor, this) {
    model_ = new FindResultsModel(editor_.find(), this);
    title_ = new QLabel;
    close_ = new QToolButton;
    close_->setText(QStringLiteral("×"));
    close_->setAutoRaise(true);
    close_->setToolTip(QStringLiteral("検索結果を閉じる"));
    close_->setAccessibleName(close_->toolTip());
    view_ = new QListView;
    view_->setModel(model_);
    view_->setUniformItemSizes(true);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setStatusTip(QStringLiteral("|[検索結果] クリックすると、その場所へ移動します"));
    NameAfterHint(view_, view_->statusTip());

    auto* header = new QHBoxLayout;
    header->setContentsMargins(2, 0, 0, 0);
    header->addWidget(title_, 1);
    header->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(header);
    layout->addWidget(view_, 1);

    refresh_.setSingleShot(true);
    refresh_.setInterval(kRefreshDelayMs);
    connect(&refresh_, &QTimer::timeout, this, Guarded([this] {
        if (isVisible() && editor_.find().state().resultsStale()) {
            editor_.find().collectFindResults();
        }
    }));
    connect(view_, &QListView::clicked, this, [this](const QModelIndex& index) {
        RunReporting([&] { editor_.find().goToFindResult(static_cast<size_t>(index.row())); });
    });
    connect(close_, &QToolButton::clicked, this, &QWidget::hide);
    updateTitle();
}

void FindResultsPanel::updateTitle() {
    const FindState& find = editor_.find().state();
    if (find.jobs().collecting) {
        title_->setText(QStringLiteral("検索結果: 検索中…"));
        return;
    }
    QString text = QStringLiteral("検索結果: %1 件").arg(find.resultTotal());
    if (find.resultTotal() > find.results().size()) {
        text += QStringLiteral("（最初の %1 件を表示）").arg(find.results().size());
    }
    if (find.resultsStale()) {
        text += QStringLiteral("（更新中…）");
    }
    title_->setText(text);
}

void FindResultsPanel::findChanged() {
    const FindState& find = editor_.find().state();
    if (find.resultsVersion() != shownVersion_) {
        shownVersion_ = find.resultsVersion();
        model_->reload();
    }
    // The hit the find went to is the current row of the list.
    if (std::optional<SearchHit> hit = find.hit()) {
        const auto& results = find.results();
        for (size_t i = 0; i < results.size() && !find.resultsStale(); ++i) {
            if (results[i].hit == *hit) {
                view_->setCurrentIndex(model_->index(static_cast<int>(i)));
                break;
            }
        }
    }
    updateTitle();
}

void FindResultsPanel::countersChanged() {
    // After any action: a changed document makes the list again a moment later.
    if (editor_.find().state().resultsStale() && isVisible() && !refresh_.isActive()) {
        refresh_.start();
    }
    updateTitle();
}

}  // namespace brenvale
