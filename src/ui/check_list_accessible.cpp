#include "ui/check_list_accessible.h"

#include <QAccessible>
#include <QPersistentModelIndex>
#include <QPointer>

#include "document/item_kind.h"
#include "ui/check_list_model.h"
#include "ui/check_list_view.h"

namespace brenvale {

namespace {

const char* const kSeparatorName = "区切り";

// One row of the check list.
class RowAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    RowAccessible(CheckListView* view, const QModelIndex& index)
        : view_(view), index_(index), announcedChecked_(checked()) {}

    bool isValid() const override { return view_ && index_.isValid(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return view_ ? view_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return view_ ? QAccessible::queryAccessibleInterface(view_.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (!isValid() || t != QAccessible::Name) {
            return {};
        }
        return kind() == ItemKind::Separator ? QString::fromUtf8(kSeparatorName)
                                             : index_.data(Qt::DisplayRole).toString();
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        if (!isValid()) {
            return {};
        }
        QRect r = view_->visualRect(index_);
        return QRect(view_->viewport()->mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::Role role() const override {
        switch (kind()) {
            case ItemKind::Ordinary:
                return QAccessible::CheckBox;
            case ItemKind::Separator:
                return QAccessible::Separator;
            case ItemKind::NoBox:
                break;
        }
        return QAccessible::ListItem;
    }

    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.selectable = true;
        s.focusable = true;
        s.selected = view_->currentIndex() == index_;
        s.focused = s.selected && view_->hasFocus();
        s.disabled = !view_->isEnabled();
        s.invisible = !view_->isVisible();
        s.offscreen = !view_->viewport()->rect().intersects(view_->visualRect(index_));
        if (kind() == ItemKind::Ordinary) {
            s.checkable = true;
            s.checked = checked();
        }
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override {
        if (!isValid()) {
            return {};
        }
        QStringList names;
        if (kind() == ItemKind::Ordinary) {
            names << toggleAction();
        }
        names << setFocusAction();
        return names;
    }

    void doAction(const QString& name) override {
        if (!isValid()) {
            return;
        }
        if (name == toggleAction() && kind() == ItemKind::Ordinary) {
            view_->model()->setData(index_, checked() ? Qt::Unchecked : Qt::Checked,
                                    Qt::CheckStateRole);
        } else if (name == setFocusAction()) {
            view_->setCurrentIndex(index_);
            view_->setFocus(Qt::OtherFocusReason);
        }
    }

    QStringList keyBindingsForAction(const QString& name) const override {
        if (name == toggleAction()) {
            return {QStringLiteral("Space")};
        }
        return {};
    }

    int row() const { return index_.row(); }
    const CheckListView* view() const { return view_; }

    // Announces a tick that changed since the last announcement.
    void announceCheck() {
        if (!isValid() || kind() != ItemKind::Ordinary || checked() == announcedChecked_) {
            return;
        }
        announcedChecked_ = checked();
        QAccessible::State changed;
        changed.checked = true;
        QAccessibleStateChangeEvent event(this, changed);
        QAccessible::updateAccessibility(&event);
    }

private:
    ItemKind kind() const {
        return static_cast<ItemKind>(index_.data(CheckListModel::KindRole).toInt());
    }
    bool checked() const { return index_.data(Qt::CheckStateRole).toInt() == Qt::Checked; }

    QPointer<CheckListView> view_;
    QPersistentModelIndex index_;
    bool announcedChecked_;
};

RowAccessible* RowOf(QAccessible::Id id) {
    return static_cast<RowAccessible*>(QAccessible::accessibleInterface(id));
}

}  // namespace

CheckListAccessible::CheckListAccessible(CheckListView* view)
    : QAccessibleWidget(view, QAccessible::List) {}

CheckListAccessible::~CheckListAccessible() {
    for (QAccessible::Id id : std::as_const(rows_)) {
        QAccessible::deleteAccessibleInterface(id);
    }
}

CheckListView* CheckListAccessible::view() const {
    return static_cast<CheckListView*>(widget());
}

int CheckListAccessible::childCount() const {
    return view()->model() ? view()->model()->rowCount() : 0;
}

void CheckListAccessible::forgetRemovedRows() const {
    for (auto it = rows_.begin(); it != rows_.end();) {
        RowAccessible* row = RowOf(it.value());
        if (!row || !row->isValid() || row->row() != it.key()) {
            if (row) {
                QAccessible::deleteAccessibleInterface(it.value());
            }
            it = rows_.erase(it);
        } else {
            ++it;
        }
    }
}

QAccessibleInterface* CheckListAccessible::child(int index) const {
    if (index < 0 || index >= childCount()) {
        return nullptr;
    }
    auto found = rows_.constFind(index);
    if (found != rows_.constEnd()) {
        RowAccessible* row = RowOf(found.value());
        if (row && row->isValid() && row->row() == index) {
            return row;
        }
        // Rows moved or went away since: the whole cache is checked at once.
        forgetRemovedRows();
    }
    auto* row = new RowAccessible(view(), view()->model()->index(index, 0));
    rows_.insert(index, QAccessible::registerAccessibleInterface(row));
    return row;
}

int CheckListAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const auto* row = dynamic_cast<const RowAccessible*>(child);
    if (!row || row->view() != view() || !row->isValid()) {
        return -1;
    }
    return row->row();
}

QAccessibleInterface* CheckListAccessible::childAt(int x, int y) const {
    QPoint local = view()->viewport()->mapFromGlobal(QPoint(x, y));
    QModelIndex index = view()->indexAt(local);
    return index.isValid() ? child(index.row()) : nullptr;
}

QAccessibleInterface* CheckListAccessible::focusChild() const {
    QModelIndex current = view()->currentIndex();
    if (view()->hasFocus() && current.isValid()) {
        return child(current.row());
    }
    return nullptr;
}

void CheckListAccessible::rowsChanged(int first, int last) {
    // Only rows a screen reader has seen have anything to announce. An announcement may
    // make the reader ask for rows, which changes the cache: it is read first.
    QList<QAccessible::Id> seen;
    for (auto it = rows_.cbegin(); it != rows_.cend(); ++it) {
        if (it.key() >= first && it.key() <= last) {
            seen.push_back(it.value());
        }
    }
    for (QAccessible::Id id : seen) {
        if (RowAccessible* row = RowOf(id)) {
            row->announceCheck();
        }
    }
}

void AnnounceRowChanges(CheckListView* view, int first, int last) {
    if (auto* list =
            dynamic_cast<CheckListAccessible*>(QAccessible::queryAccessibleInterface(view))) {
        list->rowsChanged(first, last);
    }
}

}  // namespace brenvale
