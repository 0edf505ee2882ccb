#pragma once

#include <QAccessibleWidget>

class QToolButton;

namespace brenvale {

class Toolbar;

// A toolbar button as a screen reader sees it: named by its command's caption (no access key,
// no dots, no shortcut), described by the command's hint, with the shortcut as the key
// binding of its press action. The check box button is a toggle button that is checked while
// it shows pressed; the buttons with a drop-down menu also offer to open it.
class ToolbarButtonAccessible : public QAccessibleWidget {
public:
    ToolbarButtonAccessible(QToolButton* button, const Toolbar& toolbar);

    QAccessible::Role role() const override;
    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& name) override;
    QStringList keyBindingsForAction(const QString& name) const override;

private:
    QToolButton* button() const;

    const Toolbar& toolbar_;
};

}  // namespace brenvale
