#include "ui/key_filter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include "ui/check_list_view.h"
#include "ui/command_actions.h"
#include "ui/error_report.h"
#include "ui/main_window.h"
#include "ui/tag_panel.h"
#include "ui/topic_tree_view.h"

namespace brenvale {

namespace {

bool ActsOnRelease(int key) {
    return key == Qt::Key_F2 || key == Qt::Key_Delete;
}

}  // namespace

KeyFilter::KeyFilter(MainWindow& window) : QObject(&window), window_(window) {}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event) {
    QEvent::Type type = event->type();
    if (type == QEvent::WindowDeactivate && watched == &window_) {
        // A key held now is let go in another window.
        pressed_.clear();
        return false;
    }
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease &&
        type != QEvent::ShortcutOverride) {
        return false;
    }
    QWidget* focus = QApplication::focusWidget();
    if (!focus || focus->window() != &window_ || watched != focus) {
        return false;
    }
    using Area = FocusArea;
    Area area = focus == window_.tree()       ? Area::Tree
                : focus == window_.list()     ? Area::List
                : focus == window_.treeEdit() ? Area::TreeEdit
                : focus == window_.listEdit() ? Area::ListEdit
                                              : Area::Other;
    auto* key = static_cast<QKeyEvent*>(event);
    // An input method takes the press of a key it uses (F2 converts) but passes its release on;
    // so does a key pressed in another window. Only a release whose press came here counts.
    if (type != QEvent::KeyRelease && ActsOnRelease(key->key())) {
        pressed_.insert(key->key());
    }
    if (type == QEvent::ShortcutOverride) {
        return false;
    }
    Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    Editor& editor = window_.editor();
    bool used = false;
    auto run = [&](auto fn) { RunReporting(fn); };

    if (event->type() == QEvent::KeyPress) {
        if (modifiers == Qt::ControlModifier && QApplication::mouseButtons() == Qt::NoButton) {
            switch (key->key()) {
                case Qt::Key_C:
                    run([&] { used = editor.key(WindowKey::Copy, area); });
                    return used;
                case Qt::Key_X:
                    run([&] { used = editor.key(WindowKey::Cut, area); });
                    return used;
                case Qt::Key_V:
                    run([&] { used = editor.key(WindowKey::Paste, area); });
                    return used;
                case Qt::Key_Z:
                    run([&] { used = editor.key(WindowKey::Undo, area); });
                    return used;
                case Qt::Key_Y:
                    run([&] { used = editor.key(WindowKey::Redo, area); });
                    return used;
                default:
                    break;
            }
        }
        if (modifiers == (Qt::ControlModifier | Qt::ShiftModifier) && key->key() == Qt::Key_Z &&
            QApplication::mouseButtons() == Qt::NoButton) {
            run([&] { used = editor.key(WindowKey::Redo, area); });
            return used;
        }
        // Esc in the tree, the list or the tag panel ends the tag filter.
        if (key->key() == Qt::Key_Escape && modifiers == Qt::NoModifier &&
            editor.tags().filter().active() &&
            (area == Area::Tree || area == Area::List ||
             (window_.tagPanelIfMade() && focus == window_.tagPanelIfMade()->view()))) {
            run([&] { editor.tags().clearTagFilter(); });
            return true;
        }
        if (modifiers == Qt::NoModifier && key->key() == Qt::Key_Insert && area == Area::Tree) {
            run([&] { used = editor.key(WindowKey::Insert, area); });
            return used;
        }
        // An edit box keeps some keys (Shift+BkSp) from the shortcuts; the window takes them.
        if (area == Area::TreeEdit || area == Area::ListEdit) {
            QKeySequence keys(QKeyCombination(modifiers, static_cast<Qt::Key>(key->key())));
            if (QAction* action = window_.actions().enabledActionFor(keys)) {
                action->trigger();
                return true;
            }
        }
        return false;
    }

    if (key->isAutoRepeat() || !pressed_.remove(key->key()) || modifiers != Qt::NoModifier) {
        return false;
    }
    if (key->key() == Qt::Key_F2) {
        run([&] { editor.key(WindowKey::F2, area); });
    } else if (key->key() == Qt::Key_Delete) {
        run([&] { editor.key(WindowKey::Delete, area); });
    }
    return false;
}

}  // namespace brenvale
