#pragma once

#include <QAccessibleWidget>
#include <QHash>

namespace brenvale {

class CheckListView;

// What a screen reader sees of the check list: a list whose rows are its Items. An ordinary
// Item is a check box named by its text, ticked through its toggle action; a separator is a
// separator named "区切り"; an Item without box is a plain list item. Each row can be selected
// through its focus action.
class CheckListAccessible : public QAccessibleWidget {
public:
    explicit CheckListAccessible(CheckListView* view);
    ~CheckListAccessible() override;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    // Rows first to last changed: a row whose tick changed since a screen reader last saw it
    // announces its new state.
    void rowsChanged(int first, int last);

private:
    CheckListView* view() const;
    // Drops the rows whose Items are gone.
    void forgetRemovedRows() const;

    mutable QHash<int, QAccessible::Id> rows_;
};

// Tells a screen reader of the ticks that changed in rows first to last of the list.
void AnnounceRowChanges(CheckListView* view, int first, int last);

}  // namespace brenvale
