#include "ui/toolbar_accessible.h"

#include <QAction>
#include <QToolButton>

#include "editor/command_table.h"
#include "ui/codec.h"
#include "ui/command_actions.h"
#include "ui/toolbar.h"

namespace brenvale {

ToolbarButtonAccessible::ToolbarButtonAccessible(QToolButton* button, const Toolbar& toolbar)
    : QAccessibleWidget(button, QAccessible::Button), toolbar_(toolbar) {}

QToolButton* ToolbarButtonAccessible::button() const {
    return static_cast<QToolButton*>(widget());
}

QAccessible::Role ToolbarButtonAccessible::role() const {
    return button()->isCheckable() ? QAccessible::CheckBox : QAccessible::Button;
}

QString ToolbarButtonAccessible::text(QAccessible::Text t) const {
    std::optional<CommandId> id = toolbar_.commandOf(button());
    if (!id) {
        return QAccessibleWidget::text(t);
    }
    switch (t) {
        case QAccessible::Name:
            return FromUtf8(StepName(*id));
        case QAccessible::Description:
            return FromUtf8(LongHint(Command(*id).hint));
        default:
            return QAccessibleWidget::text(t);
    }
}

QAccessible::State ToolbarButtonAccessible::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    QToolButton* b = button();
    s.pressed = b->isDown();
    if (b->isCheckable()) {
        s.checkable = true;
        s.checked = b->isChecked();
    }
    if (b->menu()) {
        s.hasPopup = true;
    }
    return s;
}

QStringList ToolbarButtonAccessible::actionNames() const {
    if (!widget()->isEnabled()) {
        return {};
    }
    QStringList names{button()->isCheckable() ? toggleAction() : pressAction()};
    if (button()->menu()) {
        names << showMenuAction();
    }
    return names;
}

void ToolbarButtonAccessible::doAction(const QString& name) {
    if (!widget()->isEnabled()) {
        return;
    }
    if (name == pressAction() || name == toggleAction()) {
        button()->click();
    } else if (name == showMenuAction() && button()->menu()) {
        button()->showMenu();
    }
}

QStringList ToolbarButtonAccessible::keyBindingsForAction(const QString& name) const {
    std::optional<CommandId> id = toolbar_.commandOf(button());
    if (!id || (name != pressAction() && name != toggleAction())) {
        return {};
    }
    // The shortcut as the menus show it, after the tab of the command's menu text.
    QString key = toolbar_.actions().action(*id)->text().section(QLatin1Char('\t'), 1);
    return key.isEmpty() ? QStringList() : QStringList{key};
}

}  // namespace brenvale
