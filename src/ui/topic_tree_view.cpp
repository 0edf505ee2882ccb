#include "ui/topic_tree_view.h"

#include <QApplication>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>

#include "editor/editor.h"
#include "ui/error_report.h"
#include "ui/message_box.h"
#include "ui/topic_tree_model.h"

namespace brenvale {

TopicTreeView::TopicTreeView(Editor& editor, TopicTreeModel& model, QWidget* parent)
    : QTreeView(parent), editor_(editor), model_(model) {
    setHeaderHidden(true);
    // The one column fills the client area, or is as wide as its rows need: a row indented
    // past the client area's edge then scrolls into view sideways, as in a platform tree,
    // instead of being cut off (and of losing the selection when the keys reach it).
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    setRootIsDecorated(false);
    setIndentation(19);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setAcceptDrops(true);
    setModel(&model_);

    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (!syncing_) {
                    editor_.selectTopic(model_.topic(current));
                }
            });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { selectionChangedByView(); });
    connect(this, &QTreeView::expanded, this, [this](const QModelIndex& index) {
        if (!syncing_) {
            editor_.setTopicExpanded(model_.topic(index), true);
        }
    });
    connect(this, &QTreeView::collapsed, this, [this](const QModelIndex& index) {
        if (!syncing_) {
            editor_.setTopicExpanded(model_.topic(index), false);
        }
    });
    connect(&model_, &TopicTreeModel::expansionChanged, this,
            [this](const QModelIndex& index, bool expanded) {
                syncing_ = true;
                setExpanded(index, expanded);
                syncing_ = false;
            });
    connect(&model_, &TopicTreeModel::expansionReset, this, [this] { applyAllExpansions(); });
    // A Topic moved by the editor keeps its expanded state in the editor, not in the view.
    connect(&model_, &QAbstractItemModel::rowsMoved, this, [this] { applyAllExpansions(); });

    editRequest_.setSingleShot(true);
    connect(&editRequest_, &QTimer::timeout, this, [this] {
        if (hasFocus() && editIndex_.isValid() && editIndex_ == currentIndex()) {
            Guarded([this] { editor_.treeEditRequested(); })();
        }
    });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, &editRequest_,
            qOverload<>(&QTimer::stop));
}

void TopicTreeView::applyAllExpansions() {
    constexpr int kShown = TopicTreeModel::kShownLevels;
    syncing_ = true;
    bool all = true;
    bool hidden = false;
    ForEachTopic(editor_.document(), [&](const Topic& t, int level) {
        hidden = hidden || level >= kShown;
        all = all && (level >= kShown - 1 || t.expanded || !t.hasChildren());
    });
    if (all) {
        expandAll();
    } else {
        // Each expansion is only noted until the one layout that follows.
        scheduleDelayedItemsLayout();
        ForEachTopic(editor_.document(), [&](const Topic& t, int level) {
            if (level < kShown - 1 && t.hasChildren()) {
                setExpanded(model_.indexOf(&t, level), t.expanded);
            }
        });
    }
    syncing_ = false;
    showEditorSelection();
    if (hidden) {
        noteHiddenLevels();
    } else {
        notedDocument_ = nullptr;
    }
}

void TopicTreeView::noteHiddenLevels() {
    // Once for each document, after the change that showed it has ended.
    const Document* doc = &editor_.document();
    if (doc == notedDocument_) {
        return;
    }
    notedDocument_ = doc;
    QTimer::singleShot(0, this, [this] {
        ShowMessageBox(
            window(),
            QStringLiteral("ツリーの階層が深すぎるため、%1 階層より下のツリーは表示できません。\n"
                           "表示されないツリーも、そのまま保存されます。")
                .arg(TopicTreeModel::kShownLevels),
            MessageKind::Information, MessageButtons::Ok);
    });
}

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

void TopicTreeView::selectionChangedByView() {
    // The view's selection can change without its current Topic (a Ctrl+click on it). Only
    // the editor drops the selected Topic: the view shows it again.
    if (syncing_) {
        return;
    }
    QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        showEditorSelection();
    } else if (model_.topic(rows.first()) != editor_.selection().topic()) {
        editor_.selectTopic(model_.topic(rows.first()));
    }
}

void TopicTreeView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    QTreeView::scrollTo(index, hint);
    if (!index.isValid()) {
        return;
    }
    // The view scrolls sideways by whole columns; a row indented past the client area's edge
    // brings its caption into view as well, as far as its indentation allows.
    QRect row = visualRect(index);
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = row;
    int right = row.left() + itemDelegateForIndex(index)->sizeHint(option, index).width();
    int shift = std::min(right - viewport()->width(), row.left());
    if (row.left() < 0 || shift > 0) {
        QScrollBar* bar = horizontalScrollBar();
        bar->setValue(bar->value() + (row.left() < 0 ? row.left() : shift));
    }
}

TopicRowHit TopicTreeView::hitAt(const QPoint& point) const {
    TopicRowHit hit;
    hit.inClient = viewport()->rect().contains(point);
    if (!hit.inClient) {
        return hit;
    }
    QModelIndex index = indexAt(point);
    if (!index.isValid()) {
        // Beside a column narrower than the client area the point is still on the row.
        index = indexAt(QPoint(columnViewportPosition(0), point.y()));
    }
    if (!index.isValid()) {
        return hit;
    }
    hit.topic = model_.topic(index);
    QRect label = visualRect(index);
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = label;
    hit.labelLeft = label.left();
    hit.labelRight = label.left() + itemDelegateForIndex(index)->sizeHint(option, index).width();
    // The expand button sits in the last column of the indentation; top-level Topics have
    // none while the root is not decorated.
    if (model_.hasChildren(index) && (rootIsDecorated() || index.parent().isValid())) {
        hit.buttonLeft = label.left() - indentation();
        hit.buttonRight = label.left();
    }
    return hit;
}

void TopicTreeView::focusInEvent(QFocusEvent* event) {
    // The press that gives the focus reaches the view after the focus: remember that this
    // one came with a press (or with the window's activation, which a press may bring).
    focusCameNow_ =
        event->reason() == Qt::MouseFocusReason || event->reason() == Qt::ActiveWindowFocusReason;
    QTreeView::focusInEvent(event);
}

void TopicTreeView::focusOutEvent(QFocusEvent* event) {
    editRequest_.stop();
    QTreeView::focusOutEvent(event);
}

void TopicTreeView::keyPressEvent(QKeyEvent* event) {
    editRequest_.stop();
    QTreeView::keyPressEvent(event);
}

void TopicTreeView::mousePressEvent(QMouseEvent* event) {
    editRequest_.stop();
    pressHadFocus_ = hasFocus() && !focusCameNow_;
    focusCameNow_ = false;
    QTreeView::mousePressEvent(event);
    // The press has selected the Topic under the pointer (not a press on its expand button),
    // so a drag always moves the selected Topic.
    Topic* pressed = model_.topic(indexAt(event->position().toPoint()));
    gesture_.press(event, pressed && pressed == editor_.selection().topic());
}

void TopicTreeView::mouseMoveEvent(QMouseEvent* event) {
    if (gesture_.holds(event)) {
        if (gesture_.startsDrag(event)) {
            startDrag(Qt::MoveAction);
        }
        return;
    }
    QTreeView::mouseMoveEvent(event);
}

void TopicTreeView::mouseReleaseEvent(QMouseEvent* event) {
    // After a cancelled drag the release neither selects nor clicks where the pointer is.
    if (!gesture_.release()) {
        QTreeView::mouseReleaseEvent(event);
    }
}

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

void TopicTreeView::mouseDoubleClickEvent(QMouseEvent* event) {
    editRequest_.stop();
    QTreeView::mouseDoubleClickEvent(event);
}

bool TopicTreeView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    // Captions are not edited in place: a second click on the selected Topic in a tree that
    // already had the focus sends the focus to the tree's edit box instead, once no double
    // click followed it. The click that gives the tree the focus and a double click (which
    // expands or collapses) do not.
    if (trigger == SelectedClicked) {
        if (index.isValid() && pressHadFocus_) {
            editIndex_ = index;
            editRequest_.start(QApplication::doubleClickInterval());
        }
        return false;
    }
    if (trigger == DoubleClicked) {
        editRequest_.stop();
        return false;
    }
    return QTreeView::edit(index, trigger, event);
}

bool TopicTreeView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip && !toolTipsShown_) {
        return true;
    }
    if (event->type() == QEvent::Resize) {
        header()->setMinimumSectionSize(viewport()->width());
    }
    return QTreeView::viewportEvent(event);
}

}  // namespace brenvale
