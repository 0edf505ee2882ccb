#include "ui/topic_tree_view.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <utility>

#include "editor/editor.h"
#include "ui/error_report.h"
#include "ui/topic_row_delegate.h"
#include "ui/topic_tree_accessible.h"
#include "ui/topic_tree_model.h"

namespace brenvale {

TopicTreeView::TopicTreeView(Editor& editor, TopicTreeModel& model, QWidget* parent)
    : QAbstractItemView(parent), editor_(editor), model_(model) {
    InstallTopicTreeAccessibility();
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setAcceptDrops(true);
    setItemDelegate(new TopicRowDelegate(this));
    setModel(&model_);
    // After the view's own handling of each change (and the selection model's).
    for (auto changed : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
        connect(&model_, changed, this, [this] { afterRowsChanged(); });
    }
    connect(&model_, &QAbstractItemModel::rowsMoved, this, [this] { afterRowsChanged(); });
    connect(&model_, &QAbstractItemModel::modelReset, this, [this] { afterRowsChanged(); });

    editRequest_.setSingleShot(true);
    connect(&editRequest_, &QTimer::timeout, this, [this] {
        bool asked = hasFocus() && editIndex_.isValid() && editIndex_ == currentIndex();
        editIndex_ = QPersistentModelIndex();
        if (asked) {
            Guarded([this] { editor_.treeEditRequested(); })();
        }
    });
    updateGeometries();
}

// ---- Following the editor

void TopicTreeView::showEditorSelection() {
    syncing_ = true;
    QModelIndex index = model_.indexOf(editor_.selection().topic());
    if (index.isValid()) {
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        scrollTo(index);
    } else {
        selectionModel()->clearCurrentIndex();
        clearSelection();
    }
    syncing_ = false;
}

void TopicTreeView::syncCurrent() {
    QModelIndex wanted = model_.indexOf(editor_.selection().topic());
    if (wanted == currentIndex() && (!wanted.isValid() || selectionModel()->isSelected(wanted))) {
        return;
    }
    syncing_ = true;
    if (wanted.isValid()) {
        selectionModel()->setCurrentIndex(wanted, QItemSelectionModel::ClearAndSelect);
    } else {
        selectionModel()->clearCurrentIndex();
        clearSelection();
    }
    syncing_ = false;
}

void TopicTreeView::afterRowsChanged() {
    updateGeometries();
    viewport()->update();
    syncCurrent();
    TopicTreeAccessibleRowsChanged(this);
}

void TopicTreeView::reset() {
    QAbstractItemView::reset();
    updateGeometries();
}

void TopicTreeView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) {
    // The view moves its current row off rows that go; the editor decides what is selected.
    syncing_ = true;
    QAbstractItemView::rowsAboutToBeRemoved(parent, start, end);
    syncing_ = false;
}

void TopicTreeView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QAbstractItemView::currentChanged(current, previous);
    editRequest_.stop();
    if (current.isValid() && hasFocus()) {
        TopicTreeAccessibleFocusMoved(this, current.row());
    }
    if (syncing_ || model_.changing()) {
        return;
    }
    if (Topic* t = model_.topic(current)) {
        editor_.selectTopic(t);
    }
}

void TopicTreeView::selectionChanged(const QItemSelection& selected,
                                     const QItemSelection& deselected) {
    QAbstractItemView::selectionChanged(selected, deselected);
    TopicTreeAccessibleSelectionChanged(this, selected, deselected);
    selectionChangedByView();
}

void TopicTreeView::selectionChangedByView() {
    // The view's selection can change without its current Topic (a Ctrl+click on it). Only
    // the editor drops the selected Topic: the view shows it again.
    if (syncing_ || model_.changing()) {
        return;
    }
    QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        showEditorSelection();
    } else if (model_.topic(rows.first()) != editor_.selection().topic()) {
        editor_.selectTopic(model_.topic(rows.first()));
    }
}

void TopicTreeView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                const QList<int>& roles) {
    QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
    // The whole row: its expand button lies in the indentation.
    int first = std::max(topLeft.row(), firstRow());
    int last = std::min(bottomRight.row(), firstRow() + pageRows());
    if (first <= last) {
        viewport()->update(QRect(0, (first - firstRow()) * rowHeight_, viewport()->width(),
                                 (last - first + 1) * rowHeight_));
    }
    updateContentWidth();
}

bool TopicTreeView::isExpanded(const QModelIndex& index) const {
    Topic* t = model_.topic(index);
    return t && t->hasChildren() && t->expanded;
}

void TopicTreeView::setExpanded(const QModelIndex& index, bool expanded) {
    Topic* t = model_.topic(index);
    if (!t || !t->hasChildren() || t->expanded == expanded) {
        return;
    }
    if (!expanded && t->isAncestorOf(editor_.selection().topic())) {
        editor_.selectTopic(t);
    }
    editor_.setTopicExpanded(t, expanded);
}

void TopicTreeView::toggle(int row) {
    QModelIndex index = model_.index(row);
    setExpanded(index, !isExpanded(index));
}

// ---- Geometry

int TopicTreeView::firstRow() const {
    return verticalScrollBar()->value();
}

int TopicTreeView::pageRows() const {
    return std::max(1, viewport()->height() / rowHeight_);
}

int TopicTreeView::horizontalOffset() const {
    return horizontalScrollBar()->value();
}

int TopicTreeView::verticalOffset() const {
    return firstRow() * rowHeight_;
}

int TopicTreeView::columnWidth() const {
    return std::max(viewport()->width(), contentWidth_);
}

TopicTreeView::RowParts TopicTreeView::partsOf(int row, int level) const {
    RowParts parts;
    parts.level = level;
    parts.left = -horizontalOffset();
    parts.labelLeft = parts.left + level * kIndentation;
    QModelIndex index = model_.index(row);
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    parts.labelRight =
        parts.labelLeft + itemDelegateForIndex(index)->sizeHint(option, index).width();
    return parts;
}

void TopicTreeView::measureRows() {
    // One height for every row, as the first row needs it (any row where there is none).
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    QSize size;
    if (model_.rowCount() > 0) {
        QModelIndex first = model_.index(0);
        size = itemDelegateForIndex(first)->sizeHint(option, first);
    } else {
        option.features |= QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasDecoration;
        option.text = QStringLiteral("Ag");
        size = style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this);
    }
    rowHeight_ = std::max(1, size.height());
}

void TopicTreeView::updateContentWidth() {
    // As wide as the widest row in view (a tree sizes its column to the rows it shows): a row
    // indented past the client area's edge scrolls into view sideways.
    int width = 0;
    int first = firstRow();
    int last = std::min(model_.rowCount() - 1, first + pageRows());
    for (int row = first; row <= last; ++row) {
        RowParts parts = partsOf(row, model_.level(row));
        width = std::max(width, parts.labelRight - parts.left);
    }
    contentWidth_ = width;
    int viewportWidth = viewport()->width();
    QScrollBar* bar = horizontalScrollBar();
    bar->setPageStep(viewportWidth);
    bar->setSingleStep(std::max(viewportWidth / 2, 2));
    bar->setRange(0, std::max(0, contentWidth_ - viewportWidth));
}

void TopicTreeView::updateGeometries() {
    measureRows();
    int page = pageRows();
    QScrollBar* bar = verticalScrollBar();
    bar->setSingleStep(1);
    bar->setPageStep(page);
    bar->setRange(0, std::max(0, model_.rowCount() - page));
    updateContentWidth();
    QAbstractItemView::updateGeometries();
}

void TopicTreeView::scrollContentsBy(int, int dy) {
    if (dy != 0) {
        // Other rows in view: the width of the widest may differ.
        updateContentWidth();
    }
    viewport()->update();
}

QRect TopicTreeView::rowRect(int row) const {
    return QRect(-horizontalOffset(), (row - firstRow()) * rowHeight_, columnWidth(), rowHeight_);
}

QRect TopicTreeView::visualRect(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != &model_ || index.row() >= model_.rowCount()) {
        return {};
    }
    // The label part, as a tree view has it: the row without its indentation.
    QRect row = rowRect(index.row());
    int indent = model_.level(index.row()) * kIndentation;
    return row.adjusted(indent, 0, 0, 0);
}

QModelIndex TopicTreeView::indexAt(const QPoint& point) const {
    if (point.y() < 0) {
        return {};
    }
    int row = firstRow() + point.y() / rowHeight_;
    return row < model_.rowCount() ? model_.index(row) : QModelIndex();
}

bool TopicTreeView::isIndexHidden(const QModelIndex&) const {
    return false;
}

void TopicTreeView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (!index.isValid() || index.model() != &model_) {
        return;
    }
    int row = index.row();
    int page = pageRows();
    QScrollBar* bar = verticalScrollBar();
    switch (hint) {
        case PositionAtTop:
            bar->setValue(row);
            break;
        case PositionAtBottom:
            bar->setValue(row - page + 1);
            break;
        case PositionAtCenter:
            bar->setValue(row - (page - 1) / 2);
            break;
        case EnsureVisible:
            if (row < firstRow()) {
                bar->setValue(row);
            } else if (row >= firstRow() + page) {
                bar->setValue(row - page + 1);
            }
            break;
    }
    // Sideways, the caption comes into view as far as its indentation allows: its end at the
    // client area's right edge, or the row's start at the left one.
    updateContentWidth();
    RowParts parts = partsOf(row, model_.level(row));
    int labelLeft = parts.labelLeft - parts.left;
    int labelRight = parts.labelRight - parts.left;
    horizontalScrollBar()->setValue(std::clamp(labelRight - viewport()->width(), 0, labelLeft));
}

void TopicTreeView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) {
    if (!selectionModel() || rect.isNull()) {
        return;
    }
    QRect area = rect.normalized();
    QModelIndex top = indexAt(QPoint(area.left(), std::max(0, area.top())));
    QModelIndex bottom = indexAt(QPoint(area.left(), area.bottom()));
    int count = model_.rowCount();
    if (!top.isValid() && !bottom.isValid()) {
        if (command & QItemSelectionModel::Clear) {
            selectionModel()->clear();
        }
        return;
    }
    if (!top.isValid()) {
        top = model_.index(0);
    }
    if (!bottom.isValid()) {
        bottom = model_.index(count - 1);
    }
    selectionModel()->select(QItemSelection(top, bottom), command);
}

QRegion TopicTreeView::visualRegionForSelection(const QItemSelection& selection) const {
    QRegion region;
    int first = firstRow();
    int last = first + pageRows();
    for (const QItemSelectionRange& range : selection) {
        int top = std::max(range.top(), first);
        int bottom = std::min(range.bottom(), last);
        if (range.isValid() && top <= bottom) {
            region += QRect(0, (top - first) * rowHeight_, viewport()->width(),
                            (bottom - top + 1) * rowHeight_);
        }
    }
    return region;
}

bool TopicTreeView::onButton(int row, int x) const {
    Topic* t = model_.topicAt(row);
    int level = model_.level(row);
    if (!t || !t->hasChildren() || level == 0) {
        return false;
    }
    int labelLeft = -horizontalOffset() + level * kIndentation;
    return labelLeft - kIndentation <= x && x < labelLeft;
}

TopicRowHit TopicTreeView::hitAt(const QPoint& point) const {
    TopicRowHit hit;
    hit.inClient = viewport()->rect().contains(point);
    if (!hit.inClient) {
        return hit;
    }
    QModelIndex index = indexAt(point);
    hit.topic = model_.topic(index);
    if (!hit.topic) {
        return hit;
    }
    RowParts parts = partsOf(index.row(), model_.level(index.row()));
    hit.labelLeft = parts.labelLeft;
    hit.labelRight = parts.labelRight;
    // The expand button sits in the last column of the indentation; top-level Topics have
    // none, as the tree does not decorate its root.
    if (hit.topic->hasChildren() && parts.level > 0) {
        hit.buttonLeft = parts.labelLeft - kIndentation;
        hit.buttonRight = parts.labelLeft;
    }
    return hit;
}

// ---- Painting

void TopicTreeView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    QRect area = event->rect();
    int first = firstRow();
    int from = first + std::max(0, area.top()) / rowHeight_;
    int to = std::min(model_.rowCount() - 1, first + area.bottom() / rowHeight_);
    for (int row = from; row <= to; ++row) {
        drawRow(painter, option, row, model_.level(row));
    }
}

// As a tree view draws a row of its one column: the indentation's background (the selection
// covers the whole row), the branches with the expand button, then the label by the delegate.
void TopicTreeView::drawRow(QPainter& painter, QStyleOptionViewItem option, int row,
                            int level) const {
    QModelIndex index = model_.index(row);
    Topic* t = model_.topicAt(row);
    if (!t) {
        return;
    }
    QRect full = rowRect(row);
    const QStyle::State base = option.state;
    option.state = base | (t->hasChildren() ? QStyle::State_Children : QStyle::State_None) |
                   (t->hasChildren() && t->expanded ? QStyle::State_Open : QStyle::State_None) |
                   (t->nextSibling() ? QStyle::State_Sibling : QStyle::State_None);
    option.rect = full;
    option.showDecorationSelected = true;
    option.viewItemPosition = QStyleOptionViewItem::OnlyOne;
    if (selectionModel()->isSelected(index)) {
        option.state |= QStyle::State_Selected;
    }
    if (hasFocus() && currentIndex() == index) {
        option.state |= QStyle::State_HasFocus;
    }
    if (option.state & QStyle::State_Enabled) {
        option.palette.setCurrentColorGroup(
            option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive);
    }
    int indent = level * kIndentation;
    QRect branches(full.left(), full.top(), indent, full.height());
    QRect label(full.left() + indent, full.top(), full.width() - indent, full.height());
    QStyleOptionViewItem background = option;
    background.rect = branches;
    background.showDecorationSelected =
        style()->styleHint(QStyle::SH_ItemView_ShowDecorationSelected, &background, this);
    style()->drawPrimitive(QStyle::PE_PanelItemViewRow, &background, &painter, this);
    background.state &= ~QStyle::State_Selected;
    background.rect = label;
    style()->drawPrimitive(QStyle::PE_PanelItemViewRow, &background, &painter, this);
    if (indent > 0) {
        drawBranches(painter, option, branches, row, level);
    }
    option.rect = label;
    itemDelegateForIndex(index)->paint(&painter, option, index);
}

// The row's own column holds its expand button; the columns further out carry the lines to
// the ancestors' later siblings where the style draws lines. Only the columns in view are
// drawn.
void TopicTreeView::drawBranches(QPainter& painter, const QStyleOptionViewItem& row,
                                 const QRect& rect, int at, int level) const {
    const Topic* t = model_.topicAt(at);
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    QStyle::State extra = QStyle::State_None;
    if (isEnabled()) {
        extra |= QStyle::State_Enabled;
    }
    if (hasFocus()) {
        extra |= QStyle::State_Active;
    }
    if (row.state & QStyle::State_Selected) {
        extra |= QStyle::State_Selected;
    }
    QRect column(rect.right() + 1 - kIndentation, rect.top(), kIndentation, rect.height());
    option.rect = column;
    option.state = QStyle::State_Item | extra |
                   (t->nextSibling() ? QStyle::State_Sibling : QStyle::State_None) |
                   (t->hasChildren() ? QStyle::State_Children : QStyle::State_None) |
                   (t->hasChildren() && t->expanded ? QStyle::State_Open : QStyle::State_None);
    if (column.left() < viewport()->width()) {
        style()->drawPrimitive(QStyle::PE_IndicatorBranch, &option, &painter, this);
    }
    const Topic* ancestor = t->parent();
    for (int l = level - 1; l >= 1 && ancestor; --l, ancestor = ancestor->parent()) {
        column.moveLeft(column.left() - kIndentation);
        if (column.right() < 0) {
            break;
        }
        if (column.left() >= viewport()->width()) {
            continue;
        }
        option.rect = column;
        option.state =
            extra | (ancestor->nextSibling() ? QStyle::State_Sibling : QStyle::State_None);
        style()->drawPrimitive(QStyle::PE_IndicatorBranch, &option, &painter, this);
    }
}

void TopicTreeView::changeEvent(QEvent* event) {
    QAbstractItemView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        updateGeometries();
    }
}

// ---- Keys and the pointer

QModelIndex TopicTreeView::moveCursor(CursorAction action, Qt::KeyboardModifiers) {
    int count = model_.rowCount();
    QModelIndex current = currentIndex();
    if (count == 0) {
        return {};
    }
    if (!current.isValid()) {
        return model_.index(0);
    }
    int row = current.row();
    int page = pageRows();
    bool intoChildren =
        style()->styleHint(QStyle::SH_ItemView_ArrowKeysNavigateIntoChildren, nullptr, this);
    Topic* t = model_.topic(current);
    QScrollBar* sideways = horizontalScrollBar();
    switch (action) {
        case MoveUp:
        case MovePrevious:
            return model_.index(std::max(row - 1, 0));
        case MoveDown:
        case MoveNext:
            return model_.index(std::min(row + 1, count - 1));
        case MovePageUp:
            return model_.index(std::max(row - page, 0));
        case MovePageDown:
            return model_.index(std::min(row + page, count - 1));
        case MoveHome:
            return model_.index(0);
        case MoveEnd:
            return model_.index(count - 1);
        case MoveLeft:
            if (isExpanded(current) && sideways->value() == sideways->minimum()) {
                setExpanded(current, false);
            } else if (intoChildren && t && t->parent()) {
                return model_.indexOf(t->parent());
            } else {
                sideways->setValue(sideways->value() - sideways->singleStep());
            }
            return currentIndex();
        case MoveRight:
            if (t && t->hasChildren() && !t->expanded) {
                setExpanded(current, true);
            } else if (intoChildren && t && t->hasChildren()) {
                return model_.index(row + 1);
            } else {
                sideways->setValue(sideways->value() + sideways->singleStep());
            }
            return currentIndex();
    }
    return current;
}

void TopicTreeView::focusInEvent(QFocusEvent* event) {
    // The press that gives the focus reaches the view after the focus: remember that this
    // one came with a press (or with the window's activation, which a press may bring).
    focusCameNow_ =
        event->reason() == Qt::MouseFocusReason || event->reason() == Qt::ActiveWindowFocusReason;
    QAbstractItemView::focusInEvent(event);
}

void TopicTreeView::focusOutEvent(QFocusEvent* event) {
    editRequest_.stop();
    QAbstractItemView::focusOutEvent(event);
}

void TopicTreeView::keyPressEvent(QKeyEvent* event) {
    editRequest_.stop();
    QModelIndex current = currentIndex();
    if (current.isValid()) {
        switch (event->key()) {
            case Qt::Key_Asterisk:
                editor_.expandTopicSubtree(model_.topic(current));
                break;
            case Qt::Key_Plus:
                setExpanded(current, true);
                break;
            case Qt::Key_Minus:
                setExpanded(current, false);
                break;
            default:
                break;
        }
    }
    QAbstractItemView::keyPressEvent(event);
}

void TopicTreeView::mousePressEvent(QMouseEvent* event) {
    editRequest_.stop();
    pressHadFocus_ = hasFocus() && !focusCameNow_;
    focusCameNow_ = false;
    QPoint at = event->position().toPoint();
    QModelIndex index = indexAt(at);
    pressedRow_ = index.row();
    // A press on an expand button opens or folds its Topic and selects nothing.
    if (index.isValid() && onButton(index.row(), at.x())) {
        gesture_.press(event, false);
        toggle(index.row());
        return;
    }
    QAbstractItemView::mousePressEvent(event);
    // The press has selected the Topic under the pointer, so a drag always moves the
    // selected Topic.
    Topic* pressed = model_.topic(indexAt(at));
    gesture_.press(event, pressed && pressed == editor_.selection().topic());
}

void TopicTreeView::mouseDoubleClickEvent(QMouseEvent* event) {
    editRequest_.stop();
    QPoint at = event->position().toPoint();
    if (state() != NoState || !viewport()->rect().contains(at)) {
        return;
    }
    QModelIndex index = indexAt(at);
    if (!index.isValid() || onButton(index.row(), at.x())) {
        return;
    }
    if (index.row() != pressedRow_) {
        mousePressEvent(event);
        return;
    }
    // A double click opens or folds the Topic; it edits nothing, nor does its release.
    releaseFromDoubleClick_ = true;
    emit doubleClicked(index);
    toggle(index.row());
}

void TopicTreeView::mouseMoveEvent(QMouseEvent* event) {
    if (gesture_.holds(event)) {
        if (gesture_.startsDrag(event)) {
            startDrag(Qt::MoveAction);
        }
        return;
    }
    QAbstractItemView::mouseMoveEvent(event);
}

void TopicTreeView::mouseReleaseEvent(QMouseEvent* event) {
    // After a cancelled drag the release neither selects nor clicks where the pointer is.
    if (!gesture_.release()) {
        QAbstractItemView::mouseReleaseEvent(event);
    }
    releaseFromDoubleClick_ = false;
}

bool TopicTreeView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    // Captions are not edited in place: a second click on the selected Topic in a tree that
    // already had the focus sends the focus to the tree's edit box instead, once no double
    // click followed it. The click that gives the tree the focus and a double click (which
    // expands or collapses) do not.
    if (trigger == SelectedClicked) {
        if (index.isValid() && pressHadFocus_ && !releaseFromDoubleClick_) {
            editIndex_ = index;
            editRequest_.start(QApplication::doubleClickInterval());
        }
        return false;
    }
    if (trigger == DoubleClicked) {
        editRequest_.stop();
        return false;
    }
    return QAbstractItemView::edit(index, trigger, event);
}

bool TopicTreeView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip && !toolTipsShown_) {
        return true;
    }
    return QAbstractItemView::viewportEvent(event);
}

// ---- Drag and drop

void TopicTreeView::startDrag(Qt::DropActions) {
    if (!editor_.selection().topic()) {
        return;
    }
    editor_.beginDrag(DragKind::Topic);
    toolTipsShown_ = false;
    emit dragStarted();
    RunDrag(this, MakeDragData(editor_));
    editor_.endDrag();
    toolTipsShown_ = true;
    emit dragFinished();
}

void TopicTreeView::dragEnterEvent(QDragEnterEvent* event) {
    dragMoveEvent(event);
}

void TopicTreeView::dragMoveEvent(QDragMoveEvent* event) {
    if (IsOwnDrag(event->mimeData()) && editor_.treeDragOver()) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void TopicTreeView::dropEvent(QDropEvent* event) {
    if (!IsOwnDrag(event->mimeData()) || !editor_.drag().active()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
    QPoint at = event->position().toPoint();
    TopicRowHit hit = hitAt(at);
    Guarded([&] { editor_.dropOnTree(TopicDropZoneAt(hit, at.x()), hit.topic); })();
}

}  // namespace brenvale
