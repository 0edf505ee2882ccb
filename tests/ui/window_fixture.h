#pragma once

#include <QApplication>
#include <QStringList>
#include <QTest>

#include <memory>
#include <string>

#include "support/temp_dir.h"
#include "ui/main_window.h"
#include "ui/topic_tree_model.h"
#include "ui/topic_tree_view.h"

namespace brenvale::test {

// A main window with its settings in a folder of its own, opened on a document written from
// outline lines: "Caption" a top-level Topic (with the folder icon unless it ends in its own icon
// suffix), a TAB per level deeper, "\b" + "□" or "■" + text an Item of the Topic above (UTF-8,
// written as CP932).
class WindowFixture {
public:
    explicit WindowFixture(const std::string& outline = {}) {
        StartupOptions options;
        options.programPath = QApplication::applicationFilePath();
        options.companionFolder = QString::fromStdString(dir_.path());
        options.settingsFile = QString::fromStdString(dir_.file("brenvale.ini"));
        options.shortcutFile = QString::fromStdString(dir_.file("brenvale.key"));
        if (!outline.empty()) {
            std::string path = dir_.file("doc.bnv");
            std::string bytes;
            size_t start = 0;
            while (start < outline.size()) {
                size_t end = outline.find('\n', start);
                std::string line = outline.substr(start, end - start);
                bool plain = line.find('\b') != std::string::npos || line.ends_with('@');
                bytes += Sjis(line) + (plain ? "" : "@00@") + "\r\n";
                if (end == std::string::npos) {
                    break;
                }
                start = end + 1;
            }
            WriteBytes(path, bytes);
            options.files << QString::fromStdString(path);
        }
        window_ = std::make_unique<MainWindow>(options);
        // A window shown while the window manager is still starting can miss its first
        // exposure; it is shown again until it is on screen.
        for (int wait = 500; wait <= 8000 && !exposed_; wait *= 2) {
            window_->hide();
            window_->show();
            exposed_ = QTest::qWaitForWindowExposed(window_.get(), wait);
        }
        QApplication::setActiveWindow(window_.get());
        window_->start();
    }
    ~WindowFixture() {
        window_->editor().session().setModified(false);
        window_->close();
    }

    // Makes the window the active one. A window manager that comes up after the window was
    // shown does not activate it by itself, so the request is repeated until it is.
    bool activate() {
        for (int tries = 0; tries < 100 && !window_->isActiveWindow(); ++tries) {
            window_->activateWindow();
            window_->raise();
            (void)QTest::qWaitFor([this] { return window_->isActiveWindow(); }, 100);
        }
        return window_->isActiveWindow();
    }

    bool exposed() const { return exposed_; }
    MainWindow& window() { return *window_; }
    Editor& editor() { return window_->editor(); }
    const TempDir& dir() const { return dir_; }

private:
    TempDir dir_;
    std::unique_ptr<MainWindow> window_;
    bool exposed_ = false;
};

// The tree as "caption/level" in tree order.
inline QStringList Shape(const Editor& editor) {
    QStringList out;
    ForEachTopic(editor.document(), [&](const Topic& t, int level) {
        out << QString::fromStdString(t.caption) + "/" + QString::number(level);
    });
    return out;
}

// The visible list as texts, "*" after a checked Item.
inline QStringList Rows(const Editor& editor) {
    QStringList out;
    for (size_t r = 0; r < editor.list().rowCount(); ++r) {
        out << QString::fromStdString(std::string(editor.list().rowText(r))) +
                   (editor.list().rowChecked(r) ? "*" : "");
    }
    return out;
}

inline Topic* Find(Editor& editor, const std::string& caption) {
    Topic* found = nullptr;
    ForEachTopic(editor.document(), [&](Topic& t, int) {
        if (t.caption == caption) {
            found = &t;
        }
    });
    return found;
}

// A point on a Topic's row in the tree's client area: on its caption, its indentation, its
// expand button, or right of its caption.
enum class RowPart { Caption, Indent, Button, Right };
inline QPoint PointOn(TopicTreeView* tree, const Topic* topic, RowPart part) {
    auto* model = static_cast<TopicTreeModel*>(tree->model());
    QRect rect = tree->visualRect(model->indexOf(topic));
    TopicRowHit hit = tree->hitAt(rect.center());
    int y = rect.center().y();
    switch (part) {
        case RowPart::Caption:
            return {(hit.labelLeft + hit.labelRight) / 2, y};
        case RowPart::Indent:
            return {hit.labelLeft / 2, y};
        case RowPart::Button:
            return {(hit.buttonLeft + hit.buttonRight) / 2, y};
        case RowPart::Right:
            return {hit.labelRight + 4, y};
    }
    return {};
}

}  // namespace brenvale::test
