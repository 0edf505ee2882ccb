#include "ui/command_actions.h"

#include <QSet>
#include <QWidget>

#include <algorithm>
#include <map>

#include "editor/editor.h"
#include "ui/codec.h"
#include "ui/images.h"

namespace brenvale {

namespace {

// The key names of the shortcut text form, in their canonical spelling.
const std::map<std::string_view, int>& KeyCodes() {
    static const std::map<std::string_view, int> codes = [] {
        std::map<std::string_view, int> m = {
            {"Home", Qt::Key_Home},    {"End", Qt::Key_End},        {"Ins", Qt::Key_Insert},
            {"Del", Qt::Key_Delete},   {"BkSp", Qt::Key_Backspace}, {"Left", Qt::Key_Left},
            {"Right", Qt::Key_Right},  {"Up", Qt::Key_Up},          {"Down", Qt::Key_Down},
            {"Enter", Qt::Key_Return}, {"Tab", Qt::Key_Tab},        {"Esc", Qt::Key_Escape},
            {"Space", Qt::Key_Space},  {"PgUp", Qt::Key_PageUp},    {"PgDn", Qt::Key_PageDown},
        };
        std::span<const std::string_view> keys = ShortcutDialogKeys();
        for (int i = 1; i <= 12; ++i) {
            m[keys[static_cast<size_t>(i)]] = Qt::Key_F1 + i - 1;
        }
        for (std::string_view key : keys) {
            if (key.size() == 1) {
                m[key] = key[0];  // Qt's codes of letters and digits are their ASCII codes
            }
        }
        return m;
    }();
    return codes;
}

}  // namespace

QKeySequence KeySequenceOf(const Shortcut& shortcut) {
    auto code = KeyCodes().find(shortcut.key);
    if (code == KeyCodes().end()) {
        return {};
    }
    Qt::KeyboardModifiers modifiers;
    modifiers.setFlag(Qt::ShiftModifier, shortcut.shift);
    modifiers.setFlag(Qt::ControlModifier, shortcut.ctrl);
    modifiers.setFlag(Qt::AltModifier, shortcut.alt);
    return QKeySequence(QKeyCombination(modifiers, static_cast<Qt::Key>(code->second)));
}

QString MenuText(std::string_view caption, const Shortcut& shortcut) {
    QString text = FromUtf8(caption);
    if (!shortcut.empty()) {
        text += QLatin1Char('\t') + FromUtf8(FormatShortcut(shortcut));
    }
    return text;
}

CommandActions::CommandActions(const ImageLists& images, QObject* parent) : QObject(parent) {
    for (const CommandInfo& info : CommandTable()) {
        auto* action = new QAction(FromUtf8(info.caption), this);
        action->setIcon(images.barIcon(info.image));
        action->setToolTip(FromUtf8(ShortHint(info.hint)));
        action->setStatusTip(FromUtf8(info.hint));
        action->setShortcutContext(Qt::WindowShortcut);
        CommandId id = info.id;
        // A switch shows its state as a check; the editor decides it, not the click. Menus
        // show it as a tick, which styles draw only for an entry without a picture (a checked
        // one with a picture shows just a faint frame around it); its toolbar button keeps
        // the picture and shows the state pressed.
        action->setCheckable(info.checked != nullptr);
        action->setIconVisibleInMenu(info.checked == nullptr);
        connect(action, &QAction::triggered, this, [this, action, id] {
            if (action->isCheckable()) {
                action->setChecked(!action->isChecked());
            }
            emit triggered(id);
        });
        actions_[static_cast<size_t>(id)] = action;
        shortcuts_[static_cast<size_t>(id)] = ParseShortcut(info.defaultKey);
    }
    applyShortcuts();
}

void CommandActions::syncEnabled(const Editor& editor) {
    for (const CommandInfo& info : CommandTable()) {
        QAction* a = action(info.id);
        a->setEnabled(editor.isEnabled(info.id));
        if (a->isCheckable()) {
            a->setChecked(editor.isChecked(info.id));
        }
    }
}

std::vector<Shortcut> CommandActions::shortcuts() const {
    return {shortcuts_.begin(), shortcuts_.end()};
}

void CommandActions::setShortcut(CommandId id, const Shortcut& shortcut) {
    shortcuts_[static_cast<size_t>(id)] = shortcut;
    applyShortcuts();
}

void CommandActions::setShortcuts(std::span<const Shortcut> shortcuts) {
    std::copy_n(shortcuts.begin(), std::min(shortcuts.size(), shortcuts_.size()),
                shortcuts_.begin());
    applyShortcuts();
}

void CommandActions::applyShortcuts() {
    QSet<QKeySequence> taken;
    for (const CommandInfo& info : CommandTable()) {
        const Shortcut& shortcut = shortcuts_[static_cast<size_t>(info.id)];
        QKeySequence keys = KeySequenceOf(shortcut);
        if (taken.contains(keys)) {
            keys = {};
        }
        taken.insert(keys);
        // "Enter" is the main keyboard's key and the keypad's alike.
        QList<QKeySequence> sequences;
        if (!keys.isEmpty()) {
            sequences << keys;
            if (keys[0].key() == Qt::Key_Return) {
                sequences << QKeySequence(
                    QKeyCombination(keys[0].keyboardModifiers(), Qt::Key_Enter));
            }
        }
        QAction* a = action(info.id);
        if (a->shortcuts() != sequences) {
            a->setShortcuts(sequences);
        }
        QString text = MenuText(info.caption, shortcut);
        if (a->text() != text) {
            a->setText(text);
        }
    }
}

void CommandActions::attachTo(QWidget* window) {
    for (QAction* a : actions_) {
        window->addAction(a);
    }
}

QAction* CommandActions::enabledActionFor(const QKeySequence& keys) const {
    for (QAction* action : actions_) {
        if (action->isEnabled() && !action->shortcut().isEmpty() &&
            action->shortcuts().contains(keys)) {
            return action;
        }
    }
    return nullptr;
}

}  // namespace brenvale
