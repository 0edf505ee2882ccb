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

#include "modal_answers.h"
#include "support/temp_dir.h"
#include "ui/main_window.h"

namespace brenvale::test {

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
    WhenModal<QWidget>([&](QWidget* modal) {
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

// What the toolbar dialog offers beside the designed toolbar: the commands after the first
// version's, then the separator template.
inline QStringList LaterCommandEntries() {
    return {"(35) 元に戻す",
            "(36) やり直し",
            "(37) 検索...",
            "(38) 次を検索",
            "(39) 前を検索",
            "(40) チェック済みを隠す",
            "(41) 進捗を表示",
            "(42) すべてのチェックを外す",
            "(43) インポート...",
            "(44) エクスポート...",
            "(45) 印刷...",
            "(46) PDF に書き出し...",
            "(47) 編集",
            "(48) 競合の一覧",
            "(49) 予定...",
            "(50) 期限順に並べ替え",
            "(51) タグを追加...",
            "(52) タグを外す...",
            "(53) タグ名を変更...",
            "区切り"};
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
            window_->editor().session().setModified(false);
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
