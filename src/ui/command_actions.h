#pragma once

#include <QAction>
#include <QKeySequence>
#include <QObject>

#include <array>
#include <span>
#include <string_view>
#include <vector>

#include "editor/command_table.h"
#include "settings/shortcut.h"

class QWidget;

namespace brenvale {

class Editor;
class ImageLists;

// A shortcut as a key sequence; empty for none.
QKeySequence KeySequenceOf(const Shortcut& shortcut);

// A menu entry's text: the caption and, after a tab, the shortcut in the program's own text
// form ("Shift+Ctrl+Ins", "Shift+BkSp"), which the menu then shows instead of Qt's.
QString MenuText(std::string_view caption, const Shortcut& shortcut);

// The commands as actions, made from the command table: caption, picture, shortcut,
// tooltip (the short hint), status tip (the whole hint) and, for a switch, its check. Every menu
// entry, popup entry and toolbar button shows one of these actions, so a change shows everywhere at
// once.
class CommandActions : public QObject {
    Q_OBJECT
public:
    CommandActions(const ImageLists& images, QObject* parent);

    QAction* action(CommandId id) const { return actions_[static_cast<size_t>(id)]; }
    // Takes the enabled state of every action, and the state of every switch, from the editor.
    void syncEnabled(const Editor& editor);

    const Shortcut& shortcut(CommandId id) const { return shortcuts_[static_cast<size_t>(id)]; }
    // Every command's shortcut, in table order.
    std::vector<Shortcut> shortcuts() const;
    void setShortcut(CommandId id, const Shortcut& shortcut);
    // Sets the shortcuts of the commands in table order.
    void setShortcuts(std::span<const Shortcut> shortcuts);
    // Every shortcut works while the window is active, whether or not a menu or a visible
    // button shows its action.
    void attachTo(QWidget* window);
    // The command whose shortcut is keys, if one is enabled.
    QAction* enabledActionFor(const QKeySequence& keys) const;

signals:
    void triggered(CommandId id);

private:
    // Gives each action its key sequence and menu text. Qt fires neither of two actions that
    // share a sequence, so a key given to several commands goes to the first in table order.
    void applyShortcuts();

    std::array<QAction*, kCommandCount> actions_{};
    std::array<Shortcut, kCommandCount> shortcuts_{};
};

}  // namespace brenvale
