#pragma once

#include <QObject>
#include <QString>

#include <optional>
#include <string>

#include "editor/editor.h"

class QLineEdit;

namespace brenvale {

// One of the two edit boxes above the tree and the list, between the editor's CP932 text and
// what the user types. The box shows the editor's text, bytes CP932 does not define as "?",
// and gives every edit back as CP932, a character CP932 cannot hold as its reference; the
// first edit of a text with undefined bytes asks whether they may become "?" (Cancel puts the
// text back as it was; the editor keeps its bytes). An input method's composition that ends
// without committing anything (Escape, or Backspace over all of it) leaves nothing behind, and
// puts back the selected text it replaced.
class EditBoxText : public QObject, private EditorObserver {
    Q_OBJECT
public:
    EditBoxText(Editor& editor, EditorHost& host, QLineEdit& edit, EditBox box,
                QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void editTextChanged(EditBox box) override;
    // A composition ended with nothing committed: the input method forgets it, and the text
    // it replaced comes back.
    void compositionDropped();
    void edited(const QString& text);
    const std::string& editorText() const;
    // Shows the editor's text again.
    void show();
    void putBack();

    Editor& editor_;
    EditorHost& host_;
    QLineEdit& edit_;
    EditBox box_;
    QString shown_;  // the editor's text as the box shows it
    bool undecodable_ = false;
    bool composing_ = false;  // the input method shows a composition in the box
    // What a composition replaced: the text and the selection it removed.
    struct Replaced {
        QString text;
        int start = 0;
        int length = 0;
    };
    std::optional<Replaced> replaced_;
    EditorObservation observation_;
};

}  // namespace brenvale
