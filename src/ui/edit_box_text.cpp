#include "ui/edit_box_text.h"

#include <QLineEdit>

#include <algorithm>

#include "ui/codec.h"
#include "ui/error_report.h"

namespace brenvale {

EditBoxText::EditBoxText(Editor& editor, EditorHost& host, QLineEdit& edit, EditBox box,
                         RefuseFn refuse, QObject* parent)
    : QObject(parent),
      editor_(editor),
      host_(host),
      edit_(edit),
      box_(box),
      refuse_(std::move(refuse)),
      observation_(editor, this) {
    connect(&edit_, &QLineEdit::textEdited, this,
            GuardedWith<const QString&>([this](const QString& text) { edited(text); }));
}

const std::string& EditBoxText::editorText() const {
    return box_ == EditBox::Tree ? editor_.selection().text(EditBox::Tree)
                                 : editor_.selection().text(EditBox::List);
}

void EditBoxText::editTextChanged(EditBox box) {
    if (box == box_) {
        show();
        edit_.selectAll();
    }
}

void EditBoxText::show() {
    shown_ = FromCp932ForEditing(editorText(), &undecodable_);
    edit_.setText(shown_);
}

void EditBoxText::putBack() {
    int cursor = edit_.cursorPosition();
    show();
    edit_.setCursorPosition(std::max(0, cursor - 1));
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
    // Typed text goes to the editor as CP932; a character CP932 cannot carry is refused at once
    // and the box shows the editor's text again.
    QString refused;
    std::optional<std::string> bytes = ToCp932(text, &refused);
    if (!bytes) {
        refuse_(refused);
        putBack();
    } else if (box_ == EditBox::Tree) {
        editor_.editTextChanged(EditBox::Tree, *bytes);
    } else {
        editor_.editTextChanged(EditBox::List, *bytes);
    }
}

}  // namespace brenvale
