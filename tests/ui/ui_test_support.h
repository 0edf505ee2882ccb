#pragma once

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

#include "support/temp_dir.h"
#include "ui/main_window.h"

namespace brenvale::test {

// Runs action once the next modal window is up (a dialog, a message box, a file dialog).
inline void WhenModal(std::function<void(QWidget*)> action) {
    QTimer::singleShot(0, [action] {
        for (int tries = 0; tries < 200; ++tries) {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                action(modal);
                return;
            }
            QTest::qWait(10);
        }
        QFAIL("no modal window came up");
    });
}

// Runs action once the next message box is up.
inline void WhenMessageBox(std::function<void(QMessageBox*)> action) {
    QTimer::singleShot(0, [action] {
        for (int tries = 0; tries < 200; ++tries) {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                action(box);
                return;
            }
            QTest::qWait(10);
        }
        QFAIL("no message box came up");
    });
}

inline void Press(QMessageBox* box, const QString& button) {
    for (QAbstractButton* b : box->buttons()) {
        if (b->text() == button) {
            b->click();
            return;
        }
    }
    QFAIL(qPrintable("no button " + button));
}

// Presses the button with this text in the next message box, and remembers its text.
inline void Answer(const QString& button, QString* text = nullptr) {
    WhenMessageBox([button, text](QMessageBox* box) {
        if (text) {
            *text = box->text();
        }
        Press(box, button);
    });
}

// Answers the next message boxes one after the other, and collects their texts.
inline void AnswerEach(QStringList buttons, QStringList* texts) {
    if (buttons.isEmpty()) {
        return;
    }
    WhenMessageBox([buttons, texts](QMessageBox* box) mutable {
        texts->append(box->text());
        QString button = buttons.takeFirst();
        AnswerEach(buttons, texts);  // waits for the box that follows this one
        Press(box, button);
    });
}

// Types a path into the next file dialog and accepts it.
inline void ChooseFile(const QString& path, QString* title = nullptr) {
    WhenModal([path, title](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        QVERIFY(dialog);
        if (title) {
            *title = dialog->windowTitle();
        }
        // selectFile() drops the selection of the name the dialog was opened with, which would
        // win over a typed name, but leaves the name box alone while it has the focus: so the
        // path is typed into the box as well, and accepted at once.
        dialog->selectFile(path);
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        name->setText(path);
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

// The button of a window with this text.
template <typename Button = QAbstractButton>
Button* ButtonNamed(QWidget* window, const QString& text) {
    for (Button* b : window->findChildren<Button*>()) {
        if (b->text() == text) {
            return b;
        }
    }
    return nullptr;
}

// Presses keys in the window, runs body in the modal Dialog they open and gives whether
// body closed it; a dialog that body leaves open is cancelled so that the test goes on.
template <typename Dialog>
bool WithDialog(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers,
                std::function<void(Dialog&)> body) {
    bool closed = false;
    bool seen = false;
    WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<Dialog*>(modal);
        seen = dialog != nullptr;
        QVERIFY(dialog);
        body(*dialog);
        closed = !dialog->isVisible();
        if (!closed) {
            dialog->reject();
        }
    });
    QTest::keyClick(window, key, modifiers);
    // Offscreen, no window becomes active by itself when a dialog closes.
    QApplication::setActiveWindow(window);
    return seen && closed;
}

// The display texts of a list's rows.
inline QStringList RowTexts(const QAbstractItemView* view) {
    QStringList texts;
    for (int row = 0; row < view->model()->rowCount(); ++row) {
        texts << view->model()->index(row, 0).data().toString();
    }
    return texts;
}

// A main window whose settings, key and icon files live in a fresh folder, shown and started.
class WindowInFolder {
public:
    WindowInFolder() : dir_(std::make_unique<TempDir>()) {}
    ~WindowInFolder() { close(); }

    std::string file(const std::string& name) const { return dir_->file(name); }
    std::string settingsFile() const { return file("brenvale.ini"); }
    std::string shortcutFile() const { return file("brenvale.key"); }

    MainWindow& open() {
        close();
        StartupOptions options;
        options.programPath = QApplication::applicationFilePath();
        options.companionFolder = QString::fromStdString(dir_->path());
        options.settingsFile = QString::fromStdString(settingsFile());
        options.shortcutFile = QString::fromStdString(shortcutFile());
        window_ = std::make_unique<MainWindow>(options);
        window_->show();
        QApplication::setActiveWindow(window_.get());
        [this] { QVERIFY(QTest::qWaitForWindowExposed(window_.get())); }();
        window_->start();
        return *window_;
    }
    void close() {
        if (window_) {
            window_->editor().SetModified(false);
            window_->close();
            window_.reset();
        }
    }
    MainWindow& window() { return *window_; }

private:
    std::unique_ptr<TempDir> dir_;
    std::unique_ptr<MainWindow> window_;
};

}  // namespace brenvale::test
