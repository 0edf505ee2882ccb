#pragma once

class QItemSelection;

namespace brenvale {

class TopicTreeView;

// The topic tree as screen readers see it (QAccessible): a tree whose children are its rows,
// each a tree item named by its Topic's caption, with its level in its description ("階層 2"),
// expandable and expanded or collapsed only when it has children, and selected and focused as
// in the view. Rows are made only when asked for and dropped whenever the rows change; the
// table interface selects exactly the row asked for, and each row can be selected, and opened
// or folded, by its actions.

// Makes TopicTreeView's interface known to QAccessible; once per program.
void InstallTopicTreeAccessibility();
// The view's rows changed: the rows asked for before are made again when asked for.
void TopicTreeAccessibleRowsChanged(TopicTreeView* view);
// Tells screen readers that the focused row is now `row`.
void TopicTreeAccessibleFocusMoved(TopicTreeView* view, int row);
// Tells screen readers of the rows selected and no longer selected.
void TopicTreeAccessibleSelectionChanged(TopicTreeView* view, const QItemSelection& selected,
                                         const QItemSelection& deselected);

}  // namespace brenvale
