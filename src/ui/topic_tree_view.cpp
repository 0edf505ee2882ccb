#include "ui/topic_tree_view.h"

#include "editor/editor.h"
#include "ui/error_report.h"
#include "ui/topic_tree_model.h"

namespace brenvale {

TopicTreeView::TopicTreeView(Editor& editor, TopicTreeModel& model, QWidget* parent)
    : QTreeView(parent), editor_(editor), model_(model) {
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setIndentation(19);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setModel(&model_);

    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (!syncing_) {
                    editor_.SelectTopic(model_.topic(current));
                }
            });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { selectionChangedByView(); });
    connect(this, &QTreeView::expanded, this, [this](const QModelIndex& index) {
        if (!syncing_) {
            editor_.SetTopicExpanded(model_.topic(index), true);
        }
    });
    connect(this, &QTreeView::collapsed, this, [this](const QModelIndex& index) {
        if (!syncing_) {
            editor_.SetTopicExpanded(model_.topic(index), false);
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
}

void TopicTreeView::applyAllExpansions() {
    syncing_ = true;
    bool all = true;
    ForEachTopic(editor_.document(),
                 [&](const Topic& t, int) { all = all && (t.expanded || !t.hasChildren()); });
    if (all) {
        expandAll();
    } else {
        ForEachTopic(editor_.document(), [&](const Topic& t, int) {
            if (t.hasChildren()) {
                setExpanded(model_.indexOf(&t), t.expanded);
            }
        });
    }
    syncing_ = false;
    showEditorSelection();
}

void TopicTreeView::showEditorSelection() {
    syncing_ = true;
    QModelIndex index = model_.indexOf(editor_.selectedTopic());
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
    } else if (model_.topic(rows.first()) != editor_.selectedTopic()) {
        editor_.SelectTopic(model_.topic(rows.first()));
    }
}

bool TopicTreeView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    // Captions are not edited in place: a second click on the selected Topic or a double
    // click sends the focus to the tree's edit box instead.
    if (trigger == SelectedClicked || trigger == DoubleClicked) {
        if (index.isValid()) {
            Guarded([this] { editor_.TreeEditRequested(); })();
        }
        return false;
    }
    return QTreeView::edit(index, trigger, event);
}

}  // namespace brenvale
