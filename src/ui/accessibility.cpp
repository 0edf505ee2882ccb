#include "ui/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QToolButton>

#include "ui/check_list_accessible.h"
#include "ui/check_list_view.h"
#include "ui/counter_panel.h"
#include "ui/toolbar.h"
#include "ui/toolbar_accessible.h"

namespace brenvale {

namespace {

QAccessibleInterface* Factory(const QString&, QObject* object) {
    if (auto* list = qobject_cast<CheckListView*>(object)) {
        return new CheckListAccessible(list);
    }
    if (auto* counter = qobject_cast<CounterPanel*>(object)) {
        return new QAccessibleWidget(counter, QAccessible::StaticText);
    }
    if (auto* button = qobject_cast<QToolButton*>(object)) {
        if (Toolbar* toolbar = Toolbar::OwnerOf(button)) {
            return new ToolbarButtonAccessible(button, *toolbar);
        }
    }
    return nullptr;
}

}  // namespace

void InstallAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    (void)installed;
}

void NameAfterHint(QWidget* widget, const QString& hint) {
    // "|[name] description", read by hand: a regular expression compiled at the start costs
    // more than every hint of the window.
    QStringView rest(hint);
    if (rest.startsWith(u'|')) {
        rest = rest.mid(1);
    }
    const qsizetype close = rest.indexOf(u']');
    if (!rest.startsWith(u'[') || close < 0) {
        return;
    }
    QStringView name = rest.mid(1, close - 1);
    rest = rest.mid(close + 1);
    while (!rest.isEmpty() && rest.front().isSpace()) {
        rest = rest.mid(1);
    }
    // One line of description (a line end at its very end is no part of it).
    if (rest.endsWith(u'\n')) {
        rest.chop(1);
    }
    if (rest.contains(u'\n')) {
        return;
    }
    widget->setAccessibleName(name.toString());
    widget->setAccessibleDescription(rest.toString());
}

}  // namespace brenvale
