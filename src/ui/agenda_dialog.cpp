#include "ui/agenda_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/accessibility.h"
#include "ui/agenda_model.h"
#include "ui/dialog_frame.h"
#include "ui/error_report.h"

namespace brenvale {

namespace {

// The agenda's list: the keys that move the current row pass over the group headings, which
// cannot be chosen, to the next Item in the same direction (or stay where there is none).
class AgendaListView : public QListView {
public:
    using QListView::QListView;

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override {
        QModelIndex to = QListView::moveCursor(action, modifiers);
        if (!to.isValid() || choosable(to)) {
            return to;
        }
        bool down = action == MoveDown || action == MovePageDown || action == MoveNext ||
                    action == MoveHome;
        int step = down ? 1 : -1;
        for (int row = to.row() + step; row >= 0 && row < model()->rowCount(); row += step) {
            QModelIndex at = model()->index(row, 0);
            if (choosable(at)) {
                return at;
            }
        }
        return currentIndex();
    }

private:
    bool choosable(const QModelIndex& index) const {
        return (model()->flags(index) & Qt::ItemIsSelectable) != 0;
    }
};

}  // namespace

AgendaDialog::AgendaDialog(Editor& editor, QWidget* parent)
    : QDialog(parent), editor_(editor), observation_(editor, this) {
    setObjectName(QStringLiteral("dlgAgenda"));
    setWindowTitle(QStringLiteral("予定"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    model_ = new AgendaModel(editor_.schedule(), this);
    title_ = new QLabel;
    view_ = new AgendaListView;
    view_->setModel(model_);
    view_->setUniformItemSizes(true);
    // Laying out every row before the first paint costs per row (40 ms for 750,000 of them):
    // the first rows are laid out at once and the rest while the window waits for the user.
    view_->setLayoutMode(QListView::Batched);
    view_->setBatchSize(kLayoutBatch);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setStatusTip(QStringLiteral("|[予定] クリックまたは Enter で、その項目へ移動します"));
    NameAfterHint(view_, view_->statusTip());
    KeepSelectionVisible(view_);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = SizedDialogButton(buttons->addButton(QDialogButtonBox::Close));
    close->setText(QStringLiteral("閉じる"));
    close->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title_);
    layout->addWidget(view_, 1);
    layout->addWidget(buttons);
    resize(480, 420);

    refresh_.setSingleShot(true);
    refresh_.setInterval(kRefreshDelayMs);
    connect(&refresh_, &QTimer::timeout, this, Guarded([this] { reload(); }));
    connect(view_, &QListView::clicked, this, &AgendaDialog::goTo);
    connect(view_, &QListView::activated, this, &AgendaDialog::goTo);
}

void AgendaDialog::showAgenda() {
    reload();
    show();
    raise();
    activateWindow();
    view_->setFocus();
}

void AgendaDialog::reload() {
    refresh_.stop();
    // The row the user was on, kept where it still is.
    size_t group = 0;
    size_t row = 0;
    bool onItem = model_->placeOf(view_->currentIndex(), &group, &row);
    model_->reload();
    title_->setText(QStringLiteral("期限のある未チェックの項目: %1 件").arg(model_->total()));
    QModelIndex restore = onItem ? model_->itemIndex(group, row) : QModelIndex();
    if (!restore.isValid()) {
        restore = model_->itemIndex(0, 0);
    }
    // A row beyond the first batch can be scrolled to only once it is laid out.
    view_->setLayoutMode(restore.row() < kLayoutBatch ? QListView::Batched : QListView::SinglePass);
    if (restore.isValid()) {
        view_->setCurrentIndex(restore);
    }
}

void AgendaDialog::goTo(const QModelIndex& index) {
    AgendaGroup group;
    size_t row = 0;
    if (!model_->entryOf(index, &group, &row)) {
        return;
    }
    bool went = false;
    RunReporting([&] { went = editor_.schedule().goToAgendaRow(group, row); });
    if (!went) {
        // The agenda was out of date: it is shown afresh, and the user chooses again.
        reload();
    }
}

void AgendaDialog::countersChanged() {
    if (isVisible() && editor_.schedule().agenda().stale() && !refresh_.isActive()) {
        refresh_.start();
    }
}

void AgendaDialog::dayChanged() {
    if (isVisible()) {
        reload();
    }
}

}  // namespace brenvale
