#pragma once

#include <QLineEdit>

#include <optional>
#include <string>
#include <string_view>

namespace brenvale {

// The edit box that opens over a check list row to edit its Item in place. It shows the
// Item's text as stored (a no-box Item's "-" included) and gives back CP932, a character
// CP932 cannot hold as its reference, as the entry box does. An input method's composition
// that ends without committing anything is dropped by the input method too, and gives back
// the selected text it replaced. The keys a line edit uses (Enter, Esc, Tab, Shift with arrows,
// Backspace and Delete) stay here instead of running the window's commands (Shift+Up would move the
// row being edited), and no key goes on to the list (Up would move to another row and close the
// box).
class ItemTextEditor : public QLineEdit {
    Q_OBJECT
public:
    explicit ItemTextEditor(QWidget* parent = nullptr);

    // The Item's text (CP932), all selected. Only the first call counts: a change of the row
    // while it is edited does not overwrite what is being typed.
    void setItemText(std::string_view cp932);
    // What to store: nothing when the text is as it opened, so that bytes the box cannot show
    // stay as they were.
    std::optional<std::string> editedText() const;
    // The Item's text held bytes CP932 does not define, which show as "?".
    bool undecodable() const { return undecodable_; }

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    bool filled_ = false;
    bool undecodable_ = false;
    bool composing_ = false;
    // What a composition replaced: the text, and the selection it removed.
    struct Replaced {
        QString text;
        int start = 0;
        int length = 0;
    };
    std::optional<Replaced> replaced_;
    QString opened_;
};

}  // namespace brenvale
