#pragma once

#include <QObject>
#include <QSet>

namespace brenvale {

class MainWindow;

// The main window sees keys before its controls: Ctrl+C, Ctrl+X and Ctrl+V act on the tree or
// the list that has the focus, Insert in the tree adds a Topic, F2 and Del act on the release
// of a press the window saw, and a command's shortcut wins over an edit box that would take
// the key for itself.
class KeyFilter : public QObject {
    Q_OBJECT
public:
    explicit KeyFilter(MainWindow& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MainWindow& window_;
    // F2 and Del while held down: pressed with the focus in the window.
    QSet<int> pressed_;
};

}  // namespace brenvale
