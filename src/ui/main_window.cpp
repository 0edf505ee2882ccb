#include "ui/main_window.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QCursor>
#include <QDragEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QRegularExpression>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <csignal>

#include "editor/window_placement.h"
#include "ui/about_box.h"
#include "ui/accessibility.h"
#include "ui/check_list_model.h"
#include "ui/check_list_view.h"
#include "ui/codec.h"
#include "ui/command_actions.h"
#include "ui/counter_panel.h"
#include "ui/drag_scroll_timer.h"
#include "ui/edit_box_text.h"
#include "ui/error_report.h"
#include "ui/file_watch.h"
#include "ui/find_bar.h"
#include "ui/find_results.h"
#include "ui/help_context.h"
#include "ui/key_filter.h"
#include "ui/lazy_icon_style.h"
#include "ui/main_menus.h"
#include "ui/message_box.h"
#include "ui/text_width.h"
#include "ui/toolbar.h"
#include "ui/topic_tree_model.h"
#include "ui/topic_tree_view.h"
#include "ui/view_drag.h"

namespace brenvale {

namespace {

constexpr int kEditHeight = 20;
constexpr int kMinimumTreeWidth = 30;
constexpr int kSplitterWidth = 3;

// The status bar part of each control's hint; they have no tooltip.
const char* const kTreeHint = "|[ツリー] チェックリストのタイトルをツリー形式で管理";
const char* const kTreeEditHint = "|[ツリー編集枠] 選択されているツリーの名称を変更できます";
const char* const kListHint = "|[チェックリスト] やる事（ToDo)チェックリスト";
const char* const kListEditHint = "|[チェックリスト編集枠] 追加/変更を行う編集枠です";
const char* const kStatusBarHint =
    "|[ステータスバー]左から「ヒント」、「ツリー情報(選択位置/総数)」、「チェックリスト情報("
    "選択位置/総数/未チェック数)」";

QWidget* Panel(QLineEdit* edit, QWidget* view) {
    auto* panel = new QWidget;
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    edit->setFixedHeight(kEditHeight);
    layout->addWidget(edit);
    layout->addWidget(view, 1);
    return panel;
}

}  // namespace

MainWindow::MainWindow(StartupOptions options, QWidget* parent)
    : QMainWindow(parent), options_(std::move(options)), host_(*this) {
    // A write past a file size limit (ulimit -f) fails with EFBIG and is reported like a full
    // disk, instead of the signal ending the program with the unsaved edits.
    std::signal(SIGXFSZ, SIG_IGN);
    PrepareCodec();
    UseLazyIconStyle();
    InstallAccessibility();
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
    setWindowIcon(ApplicationIcon(QStringLiteral("myicon")));
    readSettings();
    loadUserIcons();
    editor_ = std::make_unique<Editor>(host_, startup_.options.settings, images_.userIconCount());
    editor_->session().setProgramFolder(ToUtf8(options_.companionFolder));
    actions_ = new CommandActions(images_, this);
    actions_->attachTo(this);
    applyShortcutFile();
    buildLayout();
    list_->viewport()->installEventFilter(this);  // for the first paint
    buildStatusBar();
    buildSchedule();
    applyLayout();
    connectEditBoxes();
    connectDrags();
    editor_->addObserver(this);
    fileWatch_ = new FileWatch(*editor_, this);
    commandStatesChanged();
    keys_ = new KeyFilter(*this);
    qApp->installEventFilter(keys_);
    setAcceptDrops(true);
}

MainWindow::~MainWindow() {
    // The edit boxes outlive the editor (children go last) and finish their editing as they go.
    disconnect(treeEdit_, nullptr, this, nullptr);
    qApp->removeEventFilter(keys_);
    editor_->removeObserver(this);
}

void MainWindow::buildLayout() {
    treeModel_ = new TopicTreeModel(
        *editor_, [this](int icon) { return images_.topicIcon(icon); }, this);
    listModel_ = new CheckListModel(*editor_, this);

    treeEdit_ = new QLineEdit;
    treeEdit_->setPlaceholderText(QStringLiteral("トピック名"));
    treeEdit_->setStatusTip(FromUtf8(kTreeEditHint));
    NameAfterHint(treeEdit_, FromUtf8(kTreeEditHint));
    tree_ = new TopicTreeView(*editor_, *treeModel_);
    tree_->setStatusTip(FromUtf8(kTreeHint));
    NameAfterHint(tree_, FromUtf8(kTreeHint));
    QFont treeFont = font();
    treeFont.setPixelSize(13);
    tree_->setFont(treeFont);
    listEdit_ = new QLineEdit;
    listEdit_->setPlaceholderText(QStringLiteral("項目を入力して Enter"));
    listEdit_->setStatusTip(FromUtf8(kListEditHint));
    NameAfterHint(listEdit_, FromUtf8(kListEditHint));
    list_ = new CheckListView(*editor_, *listModel_);
    list_->setStatusTip(FromUtf8(kListHint));
    NameAfterHint(list_, FromUtf8(kListHint));

    // The list of every hit of the find shares the tree's column, under it (see
    // findResultsPanel()).
    treeColumn_ = new QSplitter(Qt::Vertical);
    treeColumn_->setChildrenCollapsible(false);
    treeColumn_->addWidget(tree_);
    treeColumn_->setStretchFactor(0, 1);
    connect(treeColumn_, &QSplitter::splitterMoved, this,
            [this] { findResultsHeight_ = treeColumn_->sizes().value(1); });
    treePanel_ = Panel(treeEdit_, treeColumn_);
    treePanel_->setMinimumWidth(kMinimumTreeWidth);
    QWidget* listPanel = Panel(listEdit_, list_);
    listPanel->setMinimumWidth(10);
    splitter_ = new QSplitter(Qt::Horizontal);
    splitter_->setHandleWidth(kSplitterWidth);
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(treePanel_);
    splitter_->addWidget(listPanel);
    splitter_->setStretchFactor(1, 1);
    connect(splitter_, &QSplitter::splitterMoved, this,
            [this] { editor_->list().setClientWidth(list_->viewport()->width()); });

    menus_ = new MainMenus(*editor_, *actions_, images_, menuBar(), this);
    toolbar_ = new Toolbar(*actions_);
    toolbar_->setDropDownMenu(CommandId::Open, menus_->recentMenu());
    toolbar_->setDropDownMenu(CommandId::ChgIcon, menus_->iconMenu());
    connect(menus_, &MainMenus::flatButtonsToggled, toolbar_, &Toolbar::setFlat);
    connect(menus_, &MainMenus::statusBarToggled, this, &MainWindow::setStatusBarShown);
    // The popped-up menus have no menu bar to pass their entries' hints on.
    connect(menus_, &MainMenus::hintShown, this,
            [this](const QString& hint) { editor_->setHint(ToUtf8(hint)); });

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolbar_);
    layout->addWidget(splitter_, 1);
    findBar_ = new FindBar(*editor_);
    findBar_->hide();
    layout->addWidget(findBar_);
    setCentralWidget(central);
    buildFind();

    // A row being edited in place is stored before any command acts on the document.
    connect(actions_, &CommandActions::triggered, this,
            GuardedWith<CommandId>([this](CommandId id) {
                list_->finishRowEdit();
                editor_->execute(id);
            }));
    connect(menus_, &MainMenus::recentFileChosen, list_, &CheckListView::finishRowEdit);
    connect(tree_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        menus_->treePopup()->popup(tree_->viewport()->mapToGlobal(at));
    });
    connect(list_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        menus_->listPopup()->popup(list_->viewport()->mapToGlobal(at));
    });
    connect(&host_.autoSaveTimer(), &QTimer::timeout, this,
            Guarded([this] { editor_->files().autoSaveTick(); }));
    connect(&host_.hideCheckedTimer(), &QTimer::timeout, this,
            Guarded([this] { editor_->files().hideCheckedTick(); }));
    connect(&host_.findSliceTimer(), &QTimer::timeout, this,
            Guarded([this] { editor_->find().findSlice(); }));
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            [this] { editor_->clipboardChanged(host_.ClipboardHasText()); });
    editor_->clipboardChanged(host_.ClipboardHasText());
    auto widths = std::make_shared<TextWidthCache>(list_->font());
    editor_->list().setTextWidthMeasure(
        [widths](std::string_view text) { return widths->width(text); });
    editor_->session().setTitleMeasure(
        [this](std::string_view text) { return fontMetrics().horizontalAdvance(FromUtf8(text)); });
}

void MainWindow::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setStatusTip(FromUtf8(kStatusBarHint));
    NameAfterHint(bar, FromUtf8(kStatusBarHint));
    bar->setFixedHeight(22);
    hint_ = new QLabel;
    hint_->setMinimumWidth(0);
    bar->addWidget(hint_, 1);
    treeCounter_ = new CounterPanel(
        QStringLiteral("ツリー情報(選択位置/総数)"), images_.topicImage(2), [this] {
            return CounterPanel::Texts{FromUtf8(editor_->tree().treeCounterText()), {}};
        });
    listCounter_ =
        new CounterPanel(QStringLiteral("チェックリスト情報(選択位置/総数/未チェック数)"),
                         images_.topicImage(3), [this] {
                             return CounterPanel::Texts{FromUtf8(editor_->list().counterText()),
                                                        FromUtf8(editor_->list().uncheckedText()),
                                                        FromUtf8(editor_->list().hiddenText())};
                         });
    conflicts_ = new QLabel;
    conflicts_->setAccessibleName(QStringLiteral("競合"));
    conflicts_->hide();
    conflictCount_ = new QTimer(this);
    conflictCount_->setSingleShot(true);
    conflictCount_->setInterval(200);
    connect(conflictCount_, &QTimer::timeout, this, [this] { refreshConflictPanel(); });
    bar->addPermanentWidget(conflicts_);
    bar->addPermanentWidget(treeCounter_);
    bar->addPermanentWidget(listCounter_);
}

void MainWindow::refreshConflictPanel() {
    QString text = FromUtf8(editor_->tags().conflictCounterText());
    conflicts_->setText(text);
    conflicts_->setVisible(!text.isEmpty());
}

void MainWindow::connectEditBox(QLineEdit* edit, EditBox box) {
    new EditBoxText(*editor_, host_, *edit, box, this);
}

void MainWindow::connectEditBoxes() {
    connectEditBox(treeEdit_, EditBox::Tree);
    connectEditBox(listEdit_, EditBox::List);
    connect(listEdit_, &QLineEdit::returnPressed, this,
            Guarded([this] { editor_->execute(CommandId::ListAdd); }));
}

void MainWindow::connectDrags() {
    dragScroll_ = new DragScrollTimer(editor_->drag(), *this, *tree_, *list_, this);
    connect(tree_, &TopicTreeView::dragStarted, dragScroll_, &DragScrollTimer::start);
    connect(tree_, &TopicTreeView::dragFinished, dragScroll_, &DragScrollTimer::stop);
    connect(list_, &CheckListView::dragStarted, dragScroll_, &DragScrollTimer::start);
    connect(list_, &CheckListView::dragFinished, dragScroll_, &DragScrollTimer::stop);
    // The edit boxes would take a dragged Topic's or Item's text; only the views take them.
    RefuseOwnDrags(treeEdit_);
    RefuseOwnDrags(listEdit_);
}

void MainWindow::buildFind() {
    connect(findBar_, &FindBar::closed, this, [this] { findBarClosed(); });
    connect(findBar_, &FindBar::resultsRequested, this, [this] { showFindResults(); });
}

FindResultsPanel* MainWindow::findResultsPanel() {
    // Made when first asked for: a window that never lists the hits starts without it.
    if (!findResults_) {
        findResults_ = new FindResultsPanel(*editor_);
        findResults_->hide();
        treeColumn_->addWidget(findResults_);
        treeColumn_->setStretchFactor(1, 0);
    }
    return findResults_;
}

void MainWindow::showFindResults() {
    if (!findResultsPanel()->isHidden()) {
        return;
    }
    findResults_->show();
    // As high as the user last dragged it, at first a third of the tree's column.
    // The tree keeps only its own least height, as the splitter lets the user drag it.
    const int total = treeColumn_->height();
    const int least = findResults_->minimumSizeHint().height();
    const int treeLeast = tree_->minimumSizeHint().height();
    int height = findResultsHeight_ > 0 ? findResultsHeight_ : total / 3;
    height = std::max(least, std::min(height, total - treeLeast));
    treeColumn_->setSizes({total - height, height});
}

void MainWindow::showFindBar() {
    findBar_->open();
}

void MainWindow::showFindBarWithResults() {
    findBar_->open();
    showFindResults();
}

void MainWindow::findBarClosed() {
    std::optional<SearchHit> hit = editor_->find().state().hit();
    if (hit && hit->item != kCaption) {
        list_->setFocus(Qt::OtherFocusReason);
    } else {
        tree_->setFocus(Qt::OtherFocusReason);
    }
}

void MainWindow::popUpIconMenu() {
    menus_->iconMenu()->popup(QCursor::pos());
}

void MainWindow::start() {
    startRecovery();
    startOpenLock();
    RunReporting([this] {
        std::vector<std::string> files;
        for (const QString& f : options_.files) {
            files.push_back(ToUtf8(f));
        }
        editor_->files().start(files, std::move(options_.preread));
    });
}

int MainWindow::treeWidth() const {
    return treePanel_->width();
}

void MainWindow::setTreeWidth(int width) {
    QList<int> sizes = splitter_->sizes();
    int total = sizes.value(0) + sizes.value(1);
    if (total <= 0) {
        total = std::max(width + 10, splitter_->width());
    }
    splitter_->setSizes({width, std::max(10, total - width)});
}

void MainWindow::setViewsUpdatesEnabled(bool enabled) {
    tree_->setUpdatesEnabled(enabled);
    list_->setUpdatesEnabled(enabled);
}

void MainWindow::setStatusBarShown(bool shown) {
    statusBar()->setVisible(shown);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // A row being edited in place is part of what the question about unsaved changes covers.
    list_->finishRowEdit();
    bool close = false;
    RunReporting([&] { close = editor_->files().closeQuery(); });
    if (!close || !writeClosingSettings()) {
        event->ignore();
        return;
    }
    event->accept();
    editor_->files().windowClosed();
}

bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        editor_->setHint(ToUtf8(static_cast<QStatusTipEvent*>(event)->tip()));
        return true;
    }
    return QMainWindow::event(event);
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && editor_) {
        editor_->session().updateTitle();
    }
    if (event->type() == QEvent::WindowStateChange) {
        windowStateChanged();
    }
    // The desktop switched between a light and a dark palette.
    if ((event->type() == QEvent::ApplicationPaletteChange ||
         event->type() == QEvent::PaletteChange) &&
        treeCounter_) {
        applyViewColours();
    }
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (!editor_ || !list_) {
        return;
    }
    QRect frame = frameGeometry();
    moveFilter_.Resized({frame.left(), frame.top(), frame.width(), frame.height()});
    editor_->list().setClientWidth(list_->viewport()->width());
    hint_->setMinimumWidth(0);
    list_->viewport()->update();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            paths.push_back(ToUtf8(url.toLocalFile()));
        }
    }
    event->acceptProposedAction();
    list_->finishRowEdit();
    Guarded([this, paths] { editor_->files().filesDropped(paths); })();
}

// ---- Following the editor

void MainWindow::commandStatesChanged() {
    actions_->syncEnabled(*editor_);
    toolbar_->setCheckBoxPressed(editor_->checkBoxButtonPressed());
}

void MainWindow::selectedTopicChanged() {
    tree_->showEditorSelection();
}

void MainWindow::countersChanged() {
    treeCounter_->refresh();
    listCounter_->refresh();
    conflictCount_->start();
}

void MainWindow::listExtentChanged() {
    list_->doItemsLayout();
}

void MainWindow::titleChanged() {
    setWindowTitle(FromUtf8(editor_->session().title()));
}

void MainWindow::recentFilesChanged() {
    menus_->rebuildRecentMenu();
}

void MainWindow::hintChanged() {
    hint_->setText(FromUtf8(editor_->hintText()));
}

}  // namespace brenvale
