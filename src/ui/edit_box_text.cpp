#include "ui/edit_box_text.h"

#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <utility>

#include "ui/codec.h"
#include "ui/error_report.h"

namespace brenvale {

EditBoxText::EditBoxText(Editor& editor, EditorHost& host, QLineEdit& edit, EditBox box,
                         QObject* parent)
    : QObject(parent),
      editor_(editor),
      host_(host),
      edit_(edit),
      box_(box),
      observation_(editor, this) {
    connect(&edit_, &QLineEdit::textEdited, this,
            GuardedWith<const QString&>([this](const QString& text) { edited(text); }));
    edit_.installEventFilter(this);
}

bool EditBoxText::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &edit_ || event->type() != QEvent::InputMethod) {
        return false;
    }
    // Seen before the box handles it: a composition that begins removes the selected text.
    const auto* input = static_cast<const QInputMethodEvent*>(event);
    const bool committing = !input->commitString().isEmpty();
    const bool showing = !input->preeditString().isEmpty();
    if (!composing_ && showing && !committing && edit_.hasSelectedText()) {
        replaced_ = Replaced{edit_.text(), edit_.selectionStart(),
                             static_cast<int>(edit_.selectedText().size())};
    } else if (committing) {
        replaced_.reset();
    } else if (composing_ && !showing) {
        // Once the box has handled the end of the composition.
        QMetaObject::invokeMethod(
            this, [this] { compositionDropped(); }, Qt::QueuedConnection);
    }
    composing_ = showing;
    return false;
}

void EditBoxText::compositionDropped() {
    if (composing_) {
        return;  // a new composition began meanwhile
    }
    // ibus keeps a composition that was erased and commits it into the box at the next change
    // of focus: the input method drops it now.
    if (edit_.hasFocus()) {
        QGuiApplication::inputMethod()->reset();
    }
    if (!replaced_) {
        return;
    }
    Replaced was = *std::exchange(replaced_, std::nullopt);
    if (edit_.text() == was.text) {
        return;
    }
    edit_.setText(was.text);
    edit_.setSelection(was.start, was.length);
    Guarded([this, &was] { edited(was.text); })();
}

const std::string& EditBoxText::editorText() const {
    return box_ == EditBox::Tree ? editor_.selection().text(EditBox::Tree)
                                 : editor_.selection().text(EditBox::List);
}

void EditBoxText::editTextChanged(EditBox box) {
    if (box == box_) {
        replaced_.reset();
        show();
        edit_.selectAll();
    }
}

void EditBoxText::show() {
    shown_ = FromCp932ForEditing(editorText(), &undecodable_);
    edit_.setText(shown_);
}

void EditBoxText::putBack() {
    // The caret goes back by the one character the user typed: a whole grapheme, never into
    // the middle of one (an emoji takes two code units, a combining sequence several).
    int cursor = edit_.cursorPosition();
    show();
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, shown_);
    graphemes.setPosition(std::min(cursor, static_cast<int>(shown_.size())));
    qsizetype previous = graphemes.toPreviousBoundary();
    edit_.setCursorPosition(static_cast<int>(std::max<qsizetype>(0, previous)));
}

void EditBoxText::edited(const QString& text) {
    if (undecodable_) {
        QString question = QStringLiteral(
                               "「%1」には表示できない文字が含まれています。編集すると、"
                               "その文字は「?」に置き換えられます。よろしいですか？")
                               .arg(shown_);
        if (host_.ShowMessageBox(ToUtf8(question), MessageKind::Warning,
                                 MessageButtons::OkCancel) != MessageAnswer::Ok) {
            putBack();
            return;
        }
        undecodable_ = false;
    }
    // Typed text goes to the editor as CP932, a character CP932 cannot hold as its reference.
    editor_.editTextChanged(box_, ToCp932(text));
}

}  // namespace brenvale
