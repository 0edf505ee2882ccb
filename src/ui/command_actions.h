#pragma once

#include <QAction>
#include <QKeySequence>
#include <QObject>

#include <array>
#include <string_view>

#include "editor/command_table.h"

namespace brenvale {

class Editor;
class ImageLists;

// A shortcut in its text form ("Shift+Ctrl+Ins", "F1") as a key sequence; empty for none.
QKeySequence KeySequenceFromText(std::string_view text);

// The 34 commands as actions, made from the command table: caption, picture, shortcut,
// tooltip (the short hint) and status tip (the whole hint). Every menu entry, popup entry and
// toolbar button shows one of these actions, so a change shows everywhere at once.
class CommandActions : public QObject {
    Q_OBJECT
public:
    CommandActions(const ImageLists& images, QObject* parent);

    QAction* action(CommandId id) const { return actions_[static_cast<size_t>(id)]; }
    // Takes the enabled state of every action from the editor.
    void syncEnabled(const Editor& editor);
    void setShortcut(CommandId id, const QKeySequence& keys);
    // The command whose shortcut is keys, if one is enabled.
    QAction* enabledActionFor(const QKeySequence& keys) const;

signals:
    void triggered(CommandId id);

private:
    std::array<QAction*, kCommandCount> actions_{};
};

}  // namespace brenvale
