#include "ui/command_actions.h"

#include <QStringList>

#include <map>

#include "editor/editor.h"
#include "ui/codec.h"
#include "ui/images.h"

namespace brenvale {

namespace {

const std::map<QString, int>& KeyNames() {
    static const std::map<QString, int> names = [] {
        std::map<QString, int> m = {
            {"home", Qt::Key_Home},    {"end", Qt::Key_End},        {"ins", Qt::Key_Insert},
            {"del", Qt::Key_Delete},   {"bksp", Qt::Key_Backspace}, {"left", Qt::Key_Left},
            {"right", Qt::Key_Right},  {"up", Qt::Key_Up},          {"down", Qt::Key_Down},
            {"enter", Qt::Key_Return}, {"tab", Qt::Key_Tab},        {"esc", Qt::Key_Escape},
            {"space", Qt::Key_Space},  {"pgup", Qt::Key_PageUp},    {"pgdn", Qt::Key_PageDown},
        };
        for (int i = 1; i <= 12; ++i) {
            m[QStringLiteral("f%1").arg(i)] = Qt::Key_F1 + i - 1;
        }
        for (char c = 'a'; c <= 'z'; ++c) {
            m[QString(QChar(c))] = Qt::Key_A + (c - 'a');
        }
        for (char c = '0'; c <= '9'; ++c) {
            m[QString(QChar(c))] = Qt::Key_0 + (c - '0');
        }
        return m;
    }();
    return names;
}

}  // namespace

QKeySequence KeySequenceFromText(std::string_view text) {
    QStringList parts = FromUtf8(text).toLower().split(QLatin1Char('+'));
    if (parts.isEmpty() || parts.last().isEmpty()) {
        return {};
    }
    Qt::KeyboardModifiers modifiers;
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        if (parts[i] == QLatin1String("shift")) {
            modifiers |= Qt::ShiftModifier;
        } else if (parts[i] == QLatin1String("ctrl")) {
            modifiers |= Qt::ControlModifier;
        } else if (parts[i] == QLatin1String("alt")) {
            modifiers |= Qt::AltModifier;
        } else {
            return {};
        }
    }
    auto key = KeyNames().find(parts.last());
    if (key == KeyNames().end()) {
        return {};
    }
    return QKeySequence(QKeyCombination(modifiers, static_cast<Qt::Key>(key->second)));
}

CommandActions::CommandActions(const ImageLists& images, QObject* parent) : QObject(parent) {
    for (const CommandInfo& info : CommandTable()) {
        auto* action = new QAction(FromUtf8(info.caption), this);
        action->setIcon(images.barIcon(info.image));
        action->setToolTip(FromUtf8(ShortHint(info.hint)));
        action->setStatusTip(FromUtf8(info.hint));
        action->setShortcut(KeySequenceFromText(info.defaultKey));
        action->setShortcutContext(Qt::WindowShortcut);
        CommandId id = info.id;
        connect(action, &QAction::triggered, this, [this, id] { emit triggered(id); });
        actions_[static_cast<size_t>(id)] = action;
    }
}

void CommandActions::syncEnabled(const Editor& editor) {
    for (const CommandInfo& info : CommandTable()) {
        action(info.id)->setEnabled(editor.isEnabled(info.id));
    }
}

void CommandActions::setShortcut(CommandId id, const QKeySequence& keys) {
    action(id)->setShortcut(keys);
}

QAction* CommandActions::enabledActionFor(const QKeySequence& keys) const {
    for (QAction* action : actions_) {
        if (action->isEnabled() && !action->shortcut().isEmpty() && action->shortcut() == keys) {
            return action;
        }
    }
    return nullptr;
}

}  // namespace brenvale
