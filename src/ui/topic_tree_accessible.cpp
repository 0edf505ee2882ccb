#include "ui/topic_tree_accessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QItemSelection>
#include <QPointer>
#include <QScrollBar>

#include "ui/topic_tree_model.h"
#include "ui/topic_tree_view.h"

namespace brenvale {

namespace {

class TopicTreeAccessible;

// One row of the tree.
class TopicRowAccessible : public QAccessibleInterface,
                           public QAccessibleTableCellInterface,
                           public QAccessibleActionInterface {
public:
    TopicRowAccessible(TopicTreeView* view, int row) : view_(view), row_(row) {}

    bool isValid() const override { return view_ && row_ < view_->model()->rowCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return view_ ? view_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(view_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (!isValid()) {
            return {};
        }
        QModelIndex index = view_->model()->index(row_, 0);
        switch (t) {
            case QAccessible::Name:
                return index.data(Qt::DisplayRole).toString();
            case QAccessible::Description:
                return QStringLiteral("階層 %1").arg(index.data(TopicTreeModel::LevelRole).toInt() +
                                                     1);
            default:
                return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        if (!isValid()) {
            return {};
        }
        QRect row = view_->rowRect(row_);
        return QRect(view_->viewport()->mapToGlobal(row.topLeft()), row.size());
    }
    QAccessible::Role role() const override { return QAccessible::TreeItem; }

    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        QModelIndex index = view_->model()->index(row_, 0);
        s.selectable = true;
        s.focusable = true;
        s.selected = view_->selectionModel()->isSelected(index);
        s.focused = view_->hasFocus() && view_->currentIndex() == index;
        // Only a Topic with children opens and folds; a leaf is neither expanded nor collapsed.
        if (index.data(TopicTreeModel::HasChildrenRole).toBool()) {
            s.expandable = true;
            s.expanded = view_->isExpanded(index);
            s.collapsed = !s.expanded;
        }
        if (!view_->viewport()->rect().intersects(view_->rowRect(row_))) {
            s.offscreen = true;
        }
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TableCellInterface) {
            return static_cast<QAccessibleTableCellInterface*>(this);
        }
        if (t == QAccessible::ActionInterface) {
            return static_cast<QAccessibleActionInterface*>(this);
        }
        return nullptr;
    }

    // QAccessibleTableCellInterface
    bool isSelected() const override {
        return isValid() && view_->selectionModel()->isSelected(view_->model()->index(row_, 0));
    }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return 0; }
    int rowIndex() const override { return row_; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

    // QAccessibleActionInterface: select the row; open or fold it.
    QStringList actionNames() const override {
        QStringList names;
        if (isValid()) {
            names << setFocusAction();
            if (view_->model()->index(row_, 0).data(TopicTreeModel::HasChildrenRole).toBool()) {
                names << toggleAction();
            }
        }
        return names;
    }
    void doAction(const QString& name) override {
        if (!isValid()) {
            return;
        }
        QModelIndex index = view_->model()->index(row_, 0);
        if (name == setFocusAction()) {
            view_->setCurrentIndex(index);
        } else if (name == toggleAction()) {
            view_->setExpanded(index, !view_->isExpanded(index));
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<TopicTreeView> view_;
    int row_;
};

// The tree: its children are its rows, made when asked for.
class TopicTreeAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit TopicTreeAccessible(TopicTreeView* view)
        : QAccessibleWidget(view, QAccessible::Tree) {}
    ~TopicTreeAccessible() override { dropRows(); }

    TopicTreeView* view() const { return static_cast<TopicTreeView*>(widget()); }

    void dropRows() {
        QHash<int, QAccessible::Id> rows;
        rows.swap(rows_);
        for (QAccessible::Id id : std::as_const(rows)) {
            QAccessible::deleteAccessibleInterface(id);
        }
    }

    int childCount() const override { return isValid() ? view()->model()->rowCount() : 0; }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) {
            return nullptr;
        }
        if (auto found = rows_.constFind(index); found != rows_.constEnd()) {
            return QAccessible::accessibleInterface(*found);
        }
        auto* row = new TopicRowAccessible(view(), index);
        rows_.insert(index, QAccessible::registerAccessibleInterface(row));
        return row;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child || child->role() != QAccessible::TreeItem || child->parent() != this) {
            return -1;
        }
        auto* cell = const_cast<QAccessibleInterface*>(child)->tableCellInterface();
        return cell ? cell->rowIndex() : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        if (!isValid()) {
            return nullptr;
        }
        QPoint at = view()->viewport()->mapFromGlobal(QPoint(x, y));
        QModelIndex index = view()->indexAt(at);
        return index.isValid() && view()->viewport()->rect().contains(at) ? child(index.row())
                                                                          : nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        QModelIndex current = isValid() ? view()->currentIndex() : QModelIndex();
        return current.isValid() ? child(current.row()) : nullptr;
    }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TableInterface) {
            return static_cast<QAccessibleTableInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(t);
    }

    // QAccessibleTableInterface: one column, one selected row at most.
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override {
        return column == 0 ? child(row) : nullptr;
    }
    int selectedCellCount() const override { return selectedRowCount(); }
    QList<QAccessibleInterface*> selectedCells() const override {
        QList<QAccessibleInterface*> cells;
        for (int row : selectedRows()) {
            cells << child(row);
        }
        return cells;
    }
    QString columnDescription(int) const override { return {}; }
    QString rowDescription(int) const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return static_cast<int>(selectedRows().size()); }
    int columnCount() const override { return 1; }
    int rowCount() const override { return childCount(); }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override {
        QList<int> rows;
        if (isValid()) {
            for (const QModelIndex& index : view()->selectionModel()->selectedRows()) {
                rows << index.row();
            }
        }
        return rows;
    }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override {
        return isValid() && view()->selectionModel()->isSelected(view()->model()->index(row, 0));
    }
    // Selecting a row selects its Topic, as a click on it does.
    bool selectRow(int row) override {
        if (!isValid() || row < 0 || row >= rowCount()) {
            return false;
        }
        view()->setCurrentIndex(view()->model()->index(row, 0));
        return true;
    }
    bool selectColumn(int) override { return false; }
    // One Topic is always selected: a row cannot be unselected alone.
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override { dropRows(); }

private:
    mutable QHash<int, QAccessible::Id> rows_;
};

QAccessibleInterface* MakeTreeInterface(const QString& key, QObject* object) {
    if (key == QLatin1String("brenvale::TopicTreeView")) {
        if (auto* view = qobject_cast<TopicTreeView*>(object)) {
            return new TopicTreeAccessible(view);
        }
    }
    return nullptr;
}

}  // namespace

void InstallTopicTreeAccessibility() {
    static bool installed = false;
    if (!installed) {
        QAccessible::installFactory(MakeTreeInterface);
        installed = true;
    }
}

void TopicTreeAccessibleRowsChanged(TopicTreeView* view) {
    if (!QAccessible::isActive()) {
        return;
    }
    if (auto* tree =
            dynamic_cast<TopicTreeAccessible*>(QAccessible::queryAccessibleInterface(view))) {
        tree->dropRows();
    }
}

// QAccessible::updateAccessibility drops the events while no screen reader bridge is on.
void TopicTreeAccessibleFocusMoved(TopicTreeView* view, int row) {
    QAccessibleEvent event(view, QAccessible::Focus);
    event.setChild(row);
    QAccessible::updateAccessibility(&event);
}

void TopicTreeAccessibleSelectionChanged(TopicTreeView* view, const QItemSelection& selected,
                                         const QItemSelection& deselected) {
    for (auto [items, kind] : {std::pair{&selected, QAccessible::SelectionAdd},
                               std::pair{&deselected, QAccessible::SelectionRemove}}) {
        QModelIndex index = items->indexes().value(0);
        if (index.isValid()) {
            QAccessibleEvent event(view, kind);
            event.setChild(index.row());
            QAccessible::updateAccessibility(&event);
        }
    }
}

}  // namespace brenvale
