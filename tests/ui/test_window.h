#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QTest>

#include <memory>

#include "support/temp_dir.h"
#include "ui/main_window.h"

namespace brenvale::test {

// A main window whose companion files live in dir, shown, active and started.
inline std::unique_ptr<MainWindow> MakeWindow(const TempDir& dir, QStringList files = {}) {
    StartupOptions options;
    options.programPath = QApplication::applicationFilePath();
    options.companionFolder = QString::fromStdString(dir.path());
    options.settingsFile = QString::fromStdString(dir.file("brenvale.ini"));
    options.shortcutFile = QString::fromStdString(dir.file("brenvale.key"));
    options.files = files;
    auto window = std::make_unique<MainWindow>(options);
    window->show();
    QApplication::setActiveWindow(window.get());
    if (!QTest::qWaitForWindowExposed(window.get())) {
        qWarning("the window was not shown");
    }
    window->start();
    return window;
}

// Types text the way an input method delivers it, one character at a time.
inline void Type(QWidget* widget, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
    }
}

}  // namespace brenvale::test
