#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;

namespace brenvale {

// The version window: the program's name, icon and version (the build's own), and the maker's
// animated logo with the copyright line, the terms of use and links to its homepage and mail. It
// stays open, without blocking the main window, until the main window is active again.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* owner);

    // Shows a version window owned by owner; it closes itself when owner is activated.
    static void ShowFor(QWidget* owner);
    // "バージョン 1.2.3", from the version the program was built as.
    static QString VersionText();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void nextFrame();

    QLabel* logo_ = nullptr;
    QTimer timer_;
    int frame_ = 0;
};

}  // namespace brenvale
