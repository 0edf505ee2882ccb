#include "ui/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QRegularExpression>
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
    static const QRegularExpression form(QStringLiteral("^\\|?\\[([^\\]]*)\\]\\s*(.*)$"));
    QRegularExpressionMatch match = form.match(hint);
    if (match.hasMatch()) {
        widget->setAccessibleName(match.captured(1));
        widget->setAccessibleDescription(match.captured(2));
    }
}

}  // namespace brenvale
