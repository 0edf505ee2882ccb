// The window's part for dates and tags: the tag panel, the tag filter in the status bar, the
// agenda, reminders and the clock.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

#include "editor/seen_times.h"
#include "ui/agenda_dialog.h"
#include "ui/check_list_view.h"
#include "ui/codec.h"
#include "ui/desktop_notifications.h"
#include "ui/error_report.h"
#include "ui/main_menus.h"
#include "ui/main_window.h"
#include "ui/tag_panel.h"

namespace brenvale {

// The tag panel, the tag filter in the status bar, the agenda, reminders and the clock.
void MainWindow::buildSchedule() {
    editor_->schedule().setSeenTimes(SeenTimes(SeenTimes::FolderFromEnvironment()));
    // The panel itself is made when first shown (see tagPanel()).
    tagSwitch_ = new QAction(TagPanel::switchText(), this);
    tagSwitch_->setCheckable(true);
    tagSwitch_->setStatusTip(TagPanel::switchHint());
    connect(tagSwitch_, &QAction::triggered, this, [this](bool on) {
        QAction* own = tagPanel()->toggleViewAction();
        if (own->isChecked() != on) {
            own->trigger();
        }
    });
    menus_->addViewSwitch(tagSwitch_);

    filterLabel_ = new QLabel;
    filterLabel_->setObjectName(QStringLiteral("lblFilter"));
    auto* clear = new QToolButton;
    clear->setText(QStringLiteral("×"));
    clear->setAutoRaise(true);
    clear->setToolTip(QStringLiteral("絞り込みを解除 (Esc)"));
    clear->setAccessibleName(clear->toolTip());
    filterClear_ = clear;
    statusBar()->insertPermanentWidget(1, filterLabel_);
    statusBar()->insertPermanentWidget(2, clear);
    filterLabel_->hide();
    clear->hide();
    connect(clear, &QToolButton::clicked, this,
            Guarded([this] { editor_->tags().clearTagFilter(); }));

    notifications_ = new DesktopNotifications(this);
    connect(notifications_, &DesktopNotifications::actionInvoked, this,
            [this](quint64 key, const QString& action) {
                RunReporting([&] { editor_->schedule().notificationAction(key, ToUtf8(action)); });
            });
    connect(notifications_, &DesktopNotifications::failed, this,
            Guarded([this] { editor_->schedule().notificationFailed(); }));
    connect(&host_.clockTimer(), &QTimer::timeout, this,
            Guarded([this] { editor_->schedule().clockTick(); }));
    // A rename ends when the box is left or Enter is pressed: its date words become days.
    connect(treeEdit_, &QLineEdit::editingFinished, this,
            Guarded([this] { editor_->schedule().editBoxCommitted(EditBox::Tree); }));
}

TagPanel* MainWindow::tagPanel() {
    if (tagPanel_) {
        return tagPanel_;
    }
    tagPanel_ = new TagPanel(*editor_, this);
    tagPanel_->holdUntilPainted(!painted_);
    addDockWidget(Qt::RightDockWidgetArea, tagPanel_);
    tagPanel_->hide();
    // Tab goes through the panel before the filter's button in the status bar, which was made
    // first.
    setTabOrder(tagPanel_->clearButton(), filterClear_);
    QAction* own = tagPanel_->toggleViewAction();
    tagSwitch_->setChecked(own->isChecked());
    connect(own, &QAction::toggled, tagSwitch_, &QAction::setChecked);
    // Tag names are short: the panel first takes a narrow strip, then keeps what the user gives.
    connect(tagPanel_, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible && !tagPanelSized_) {
            tagPanelSized_ = true;
            resizeDocks({tagPanel_}, {kTagPanelWidth}, Qt::Horizontal);
        }
    });
    return tagPanel_;
}

void MainWindow::showAgenda() {
    if (!agenda_) {
        agenda_ = new AgendaDialog(*editor_, this);
    }
    agenda_->showAgenda();
}

void MainWindow::raiseForUser() {
    if (isMinimized()) {
        showNormal();
    }
    raise();
    activateWindow();
}

void MainWindow::tagFilterChanged() {
    QString text = FromUtf8(editor_->tags().filter().text());
    filterLabel_->setText(text);
    filterLabel_->setVisible(!text.isEmpty());
    filterClear_->setVisible(!text.isEmpty());
}

void MainWindow::dayChanged() {
    // Overdue and today look different from now on.
    list_->viewport()->update();
}

}  // namespace brenvale
