#include "ui/toolbar_dialog.h"

#include <QCursor>
#include <QDragMoveEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "common/error.h"
#include "editor/command_table.h"
#include "settings/toolbar_layout.h"
#include "ui/codec.h"
#include "ui/dialog_frame.h"
#include "ui/error_report.h"
#include "ui/help_context.h"
#include "ui/toolbar_entry_view.h"

namespace brenvale {

namespace {

constexpr int kToolbarDialogWidth = 433;
constexpr int kToolbarDialogHeight = 255;
constexpr int kCentreWidth = 127;
// The margins beside the three panels.
constexpr int kGaps = 8;
constexpr int kScrollInterval = 150;
const char* const kMimeType = "application/x-brenvale-tool-entry";

std::vector<int> Positions(const std::vector<Toolbar::Slot>& toolbar) {
    std::vector<int> positions;
    for (const Toolbar::Slot& slot : toolbar) {
        positions.push_back(slot ? static_cast<int>(*slot) : ToolbarEntry::kSeparator);
    }
    return positions;
}

QWidget* Column(QWidget* label, QWidget* list) {
    auto* panel = new QWidget;
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(label);
    layout->addWidget(list, 1);
    return panel;
}

}  // namespace

ToolbarDialog::ToolbarDialog(const std::vector<Toolbar::Slot>& toolbar, const ImageLists& images,
                             QString settingsFile, QWidget* parent)
    : QDialog(parent),
      settingsFile_(std::move(settingsFile)),
      commands_(CommandEntries()),
      lists_(commands_, Positions(toolbar)) {
    setWindowTitle(QStringLiteral("ツールバーのボタン表示設定"));
    srcModel_ = new ToolbarEntryModel(lists_.src(), images, this);
    dstModel_ = new ToolbarEntryModel(lists_.dst(), images, this);
    buildLayout();
    FrameAsSizableDialog(this, QSize(kToolbarDialogWidth, kToolbarDialogHeight));
    // Each list wide enough for its longest entry, whichever list it ends up in.
    const int side = entryListWidth();
    ResizeCentred(this, QSize(std::max(kToolbarDialogWidth, 2 * side + kCentreWidth + kGaps),
                              kToolbarDialogHeight));
    scrollTimer_.setInterval(kScrollInterval);
    connect(&scrollTimer_, &QTimer::timeout, this, &ToolbarDialog::ScrollTimerTimer);
    refresh();
}

ToolbarDialog::~ToolbarDialog() = default;

ToolbarEntryView* ToolbarDialog::makeList(Which which) {
    auto* view = new ToolbarEntryView;
    view->setModel(which == Which::Src ? srcModel_ : dstModel_);
    KeepSelectionVisible(view);
    auto take = [this, which] { takeSelection(which); };
    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this, take);
    connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this, take);
    view->dragStarting = [this, which] { lbStartDrag(which); };
    view->dragData = [this, which] { return dragData(which); };
    view->dragEnded = [this] { lbEndDrag(); };
    if (which == Which::Src) {
        view->dragMoved = [this](QDragMoveEvent* e) { lbSrcDragOver(e); };
        view->dropped = [this](QDropEvent* e) { lbSrcDragDrop(e); };
    } else {
        view->dragMoved = [this](QDragMoveEvent* e) { lbDstDragOver(e); };
        view->dropped = [this](QDropEvent* e) { lbDstDragDrop(e); };
    }
    return view;
}

void ToolbarDialog::buildLayout() {
    sourceView_ = makeList(Which::Src);
    targetView_ = makeList(Which::Dst);
    auto* lblSrc = new QLabel(QStringLiteral("利用できるボタン(&S)"));
    lblSrc->setBuddy(sourceView_);
    targetLabel_ = new QLabel(QStringLiteral("表示するツールボタン(&D)"));
    targetLabel_->setBuddy(targetView_);
    leftPanel_ = Column(lblSrc, sourceView_);
    rightPanel_ = Column(targetLabel_, targetView_);

    auto* btnReset = new QPushButton(QStringLiteral("初期値"));
    auto* btnOk = new QPushButton(QStringLiteral("OK"));
    btnOk->setDefault(true);
    auto* btnCancel = new QPushButton(QStringLiteral("キャンセル"));
    auto* btnHelp = new QPushButton(QStringLiteral("ヘルプ(&H)"));
    connect(btnReset, &QPushButton::clicked, this, [this] { run(&ToolbarLists::Reset); });
    connect(btnOk, &QPushButton::clicked, this, &ToolbarDialog::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnHelp, &QPushButton::clicked, this,
            [this] { ShowHelpContext(this, kHelpToolbarDialog); });
    bottomPanel_ = new QWidget;
    bottomPanel_->setFixedHeight(34);
    auto* bottom = new QHBoxLayout(bottomPanel_);
    bottom->setContentsMargins(4, 4, 4, 5);
    bottom->setSpacing(4);
    bottom->addWidget(SizedDialogButton(btnReset));
    bottom->addStretch(1);
    for (QPushButton* b : {btnOk, btnCancel, btnHelp}) {
        bottom->addWidget(SizedDialogButton(b));
    }

    // The label above the shown list and the bottom panel refuse drops, but resting on them
    // while dragging scrolls the shown list.
    for (QWidget* zone : {static_cast<QWidget*>(targetLabel_), bottomPanel_}) {
        zone->setAcceptDrops(true);
        zone->installEventFilter(this);
    }

    auto* panels = new QHBoxLayout;
    panels->setContentsMargins(4, 4, 4, 0);
    panels->setSpacing(0);
    panels->addWidget(leftPanel_);
    panels->addWidget(buildCentrePanel());
    panels->addWidget(rightPanel_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(panels, 1);
    layout->addWidget(bottomPanel_);
}

QWidget* ToolbarDialog::buildCentrePanel() {
    btnAdd_ = new QPushButton(QStringLiteral("追加 ->"));
    btnDel_ = new QPushButton(QStringLiteral("<- 削除"));
    btnAddAll_ = new QPushButton(QStringLiteral("すべて追加 ->>"));
    btnDelAll_ = new QPushButton(QStringLiteral("<<- すべて削除"));
    connect(btnAdd_, &QPushButton::clicked, this, [this] { run(&ToolbarLists::Add); });
    connect(btnDel_, &QPushButton::clicked, this, [this] { run(&ToolbarLists::Del); });
    connect(btnAddAll_, &QPushButton::clicked, this, [this] { run(&ToolbarLists::AddAll); });
    connect(btnDelAll_, &QPushButton::clicked, this, [this] { run(&ToolbarLists::DelAll); });
    scrollUpButton_ = new QToolButton;
    scrollUpButton_->setArrowType(Qt::UpArrow);
    scrollUpButton_->setText(QStringLiteral("上へ"));
    scrollUpButton_->setStatusTip(
        QStringLiteral("|表示するツールボタンの選択された値を上へ移動します"));
    scrollDownButton_ = new QToolButton;
    scrollDownButton_->setArrowType(Qt::DownArrow);
    scrollDownButton_->setText(QStringLiteral("下へ"));
    scrollDownButton_->setStatusTip(
        QStringLiteral("|表示するツールボタンの選択された値を下へ移動します"));
    connect(scrollUpButton_, &QToolButton::clicked, this, [this] { run(&ToolbarLists::Up); });
    connect(scrollDownButton_, &QToolButton::clicked, this, [this] { run(&ToolbarLists::Down); });

    auto* panel = new QWidget;
    panel->setFixedWidth(kCentreWidth);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(8, 18, 8, 0);
    layout->setSpacing(4);
    for (QPushButton* b : {btnAdd_, btnDel_, btnAddAll_, btnDelAll_}) {
        b->setMinimumHeight(25);
        b->setAutoDefault(false);
        layout->addWidget(b);
        if (b == btnDel_) {
            layout->addSpacing(8);
        }
    }
    layout->addSpacing(8);
    for (QToolButton* b : {scrollUpButton_, scrollDownButton_}) {
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        b->setMinimumHeight(25);
        layout->addWidget(b);
    }
    layout->addStretch(1);
    return panel;
}

int ToolbarDialog::entryListWidth() const {
    const QFontMetrics metrics(sourceView_->font());
    int text = metrics.horizontalAdvance(FromUtf8(ToolbarLists::SeparatorEntry().text));
    for (size_t command = 0; command < commands_.size(); ++command) {
        text = std::max(text,
                        metrics.horizontalAdvance(FromUtf8(lists_.CommandEntryOf(command).text)));
    }
    return ToolbarEntryDelegate::kTextLeft + text + 8 + 2 * sourceView_->frameWidth() +
           style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, sourceView_);
}

void ToolbarDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    // On resizing, the centre panel keeps its width and the two lists share the rest.
    const int side = (width() - (kCentreWidth + kGaps)) / 2;
    leftPanel_->setFixedWidth(side);
    rightPanel_->setFixedWidth(side);
}

void ToolbarDialog::refresh() {
    const int srcTop = sourceView_->verticalScrollBar()->value();
    const int dstTop = targetView_->verticalScrollBar()->value();
    syncing_ = true;
    for (Which which : {Which::Src, Which::Dst}) {
        const ToolbarEntryList& list = lists_.list(which);
        ToolbarEntryView* view = this->view(which);
        (which == Which::Src ? srcModel_ : dstModel_)->reload();
        view->verticalScrollBar()->setValue(which == Which::Src ? srcTop : dstTop);
        QItemSelection selection;
        for (size_t i = 0; i < list.size(); ++i) {
            if (list.isSelected(i)) {
                QModelIndex index = view->model()->index(static_cast<int>(i), 0);
                selection.select(index, index);
            }
        }
        view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
        if (list.current() >= 0) {
            view->selectionModel()->setCurrentIndex(view->model()->index(list.current(), 0),
                                                    QItemSelectionModel::NoUpdate);
        }
    }
    syncing_ = false;
    SetButtons();
}

void ToolbarDialog::takeSelection(Which which) {
    if (syncing_) {
        return;
    }
    ToolbarEntryList& list = lists_.list(which);
    QItemSelectionModel* selection = view(which)->selectionModel();
    for (size_t i = 0; i < list.size(); ++i) {
        list.setSelected(i, selection->isRowSelected(static_cast<int>(i)));
    }
    QModelIndex current = selection->currentIndex();
    list.setCurrent(current.isValid() ? current.row() : -1);
    SetButtons();
}

void ToolbarDialog::SetButtons() {
    ToolbarLists::Buttons b = lists_.ButtonStates();
    btnAdd_->setEnabled(b.add);
    btnAddAll_->setEnabled(b.addAll);
    btnDel_->setEnabled(b.del);
    btnDelAll_->setEnabled(b.delAll);
    scrollUpButton_->setEnabled(b.up);
    scrollDownButton_->setEnabled(b.down);
}

void ToolbarDialog::run(void (ToolbarLists::*button)()) {
    (lists_.*button)();
    refresh();
    ToolbarEntryView* focus = view(lists_.focusList());
    focus->setFocus();
    if (focus->currentIndex().isValid()) {
        focus->scrollTo(focus->currentIndex());
    }
}

void ToolbarDialog::btnOKClick() {
    try {
        WriteToolbarValues(ToUtf8(settingsFile_), lists_.ToolbarValues());
    } catch (const Error& error) {
        ReportError(error);
        return;
    }
    accept();
}

QMimeData* ToolbarDialog::dragData(Which from) const {
    int current = lists_.list(from).current();
    if (current < 0) {
        return nullptr;
    }
    auto* data = new QMimeData;
    data->setData(kMimeType, QByteArray::number(reinterpret_cast<quintptr>(this)) + ' ' +
                                 (from == Which::Src ? "src " : "dst ") +
                                 QByteArray::number(current));
    return data;
}

std::optional<ToolbarDialog::Dragged> ToolbarDialog::draggedEntry(const QMimeData* data) const {
    if (!data || !data->hasFormat(kMimeType)) {
        return std::nullopt;
    }
    QList<QByteArray> parts = data->data(kMimeType).split(' ');
    bool ok = false;
    if (parts.size() != 3 || parts[0] != QByteArray::number(reinterpret_cast<quintptr>(this))) {
        return std::nullopt;
    }
    Which from = parts[1] == "src" ? Which::Src : Which::Dst;
    qlonglong index = parts[2].toLongLong(&ok);
    if (!ok || (parts[1] != "src" && parts[1] != "dst") || index < 0 ||
        static_cast<size_t>(index) >= lists_.list(from).size()) {
        return std::nullopt;
    }
    return Dragged{from, static_cast<size_t>(index)};
}

void ToolbarDialog::lbStartDrag(Which which) {
    lists_.StartDrag(which);
    refresh();
    dragging_ = true;
}

void ToolbarDialog::lbEndDrag() {
    dragging_ = false;
    targetView_->setDropLine(std::nullopt);
}

void ToolbarDialog::lbDstDragOver(QDragMoveEvent* event) {
    std::optional<Dragged> dragged = draggedEntry(event->mimeData());
    if (!dragged) {
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
    size_t place = lists_.DropPlace(dragged->from, dragged->index,
                                    targetView_->entryAt(event->position().toPoint()));
    const int row = static_cast<int>(place) - targetView_->firstVisibleEntry();
    targetView_->setDropLine(ToolbarEntryDelegate::kRowHeight * row - 1);
}

void ToolbarDialog::lbDstDragDrop(QDropEvent* event) {
    std::optional<Dragged> dragged = draggedEntry(event->mimeData());
    if (!dragged) {
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
    lists_.DropOnDst(dragged->from, dragged->index,
                     targetView_->entryAt(event->position().toPoint()));
    refresh();
}

void ToolbarDialog::lbSrcDragOver(QDragMoveEvent* event) {
    std::optional<Dragged> dragged = draggedEntry(event->mimeData());
    if (dragged && dragged->from == Which::Dst) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    }
}

void ToolbarDialog::lbSrcDragDrop(QDropEvent* event) {
    std::optional<Dragged> dragged = draggedEntry(event->mimeData());
    if (!dragged || dragged->from != Which::Dst) {
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
    lists_.DropOnSrc(dragged->index);
    refresh();
    if (sourceView_->currentIndex().isValid()) {
        sourceView_->scrollTo(sourceView_->currentIndex());
    }
}

bool ToolbarDialog::eventFilter(QObject* watched, QEvent* event) {
    const bool zone = watched == targetLabel_ || watched == bottomPanel_;
    const QEvent::Type type = event->type();
    if (!zone || (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)) {
        return QDialog::eventFilter(watched, event);
    }
    auto* drag = static_cast<QDropEvent*>(event);
    if (type != QEvent::Drop && draggedEntry(drag->mimeData())) {
        startScrolling(watched == targetLabel_ ? -1 : 1);
    }
    // Entering is accepted so that the moves that follow arrive; no place here takes a drop.
    if (type == QEvent::DragEnter && draggedEntry(drag->mimeData())) {
        drag->accept();
    } else {
        drag->ignore();
    }
    return true;
}

void ToolbarDialog::startScrolling(int direction) {
    scrollDirection_ = direction;
    if (!scrollTimer_.isActive()) {
        scrollTimer_.start();
    }
}

void ToolbarDialog::ScrollTimerTimer() {
    const QPoint pointer = mapFromGlobal(QCursor::pos());
    const QRect label(targetLabel_->mapTo(this, QPoint(0, 0)), targetLabel_->size());
    const QRect panel = bottomPanel_->geometry();
    const bool inSpan = pointer.x() >= label.left() && pointer.x() <= label.right();
    const bool inLabel = pointer.y() >= label.top() && pointer.y() <= label.bottom();
    const bool inPanel = pointer.y() >= panel.top() && pointer.y() <= panel.bottom();
    if (!dragging_ || !inSpan || !(inLabel || inPanel)) {
        scrollTimer_.stop();
        return;
    }
    QScrollBar* bar = targetView_->verticalScrollBar();
    bar->setValue(bar->value() + scrollDirection_);
}

}  // namespace brenvale
