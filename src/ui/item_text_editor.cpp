#include "ui/item_text_editor.h"

#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QTimer>

#include <utility>

#include "ui/codec.h"

namespace brenvale {

namespace {

// The keys that edit or leave the line: the box keeps them from the window's shortcuts.
bool KeptFromShortcuts(const QKeyEvent* key) {
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_Backspace:
        case Qt::Key_Delete:
            return (key->modifiers() & ~(Qt::ShiftModifier | Qt::ControlModifier |
                                         Qt::KeypadModifier)) == Qt::NoModifier;
        default:
            return false;
    }
}

}  // namespace

ItemTextEditor::ItemTextEditor(QWidget* parent) : QLineEdit(parent) {
    setFrame(false);
}

void ItemTextEditor::setItemText(std::string_view cp932) {
    if (filled_) {
        return;
    }
    filled_ = true;
    opened_ = FromCp932ForEditing(cp932, &undecodable_);
    setText(opened_);
    selectAll();
}

std::optional<std::string> ItemTextEditor::editedText() const {
    if (text() == opened_) {
        return std::nullopt;
    }
    return ToCp932(text());
}

bool ItemTextEditor::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride &&
        KeptFromShortcuts(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QLineEdit::event(event);
}

void ItemTextEditor::keyPressEvent(QKeyEvent* event) {
    QLineEdit::keyPressEvent(event);
    event->accept();
}

void ItemTextEditor::inputMethodEvent(QInputMethodEvent* event) {
    const bool showing = !event->preeditString().isEmpty();
    const bool committing = !event->commitString().isEmpty();
    const bool dropped = composing_ && !showing && !committing;
    // A composition that begins removes the selected text (the whole text, as the box opens).
    if (!composing_ && showing && !committing && hasSelectedText()) {
        replaced_ = Replaced{text(), selectionStart(), static_cast<int>(selectedText().size())};
    } else if (committing) {
        replaced_.reset();
    }
    composing_ = showing;
    QLineEdit::inputMethodEvent(event);
    if (!dropped) {
        return;
    }
    // ibus keeps a composition that was erased and commits it at the next change of focus
    // (the click that stores this box): the input method forgets it now, once the box has
    // handled the end of the composition. What it replaced comes back.
    QTimer::singleShot(0, this, [this] {
        if (composing_) {
            return;  // a new composition began meanwhile
        }
        if (hasFocus()) {
            QGuiApplication::inputMethod()->reset();
        }
        if (std::optional<Replaced> was = std::exchange(replaced_, std::nullopt);
            was && text() != was->text) {
            setText(was->text);
            setSelection(was->start, was->length);
        }
    });
}

}  // namespace brenvale
