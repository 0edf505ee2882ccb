#pragma once

#include <QLineEdit>
#include <QTimer>
#include <QWidget>

#include "editor/editor.h"

class QCheckBox;
class QLabel;
class QToolButton;

namespace brenvale {

// The find bar's text box: Enter and Shift+Enter step through the hits and Esc closes the
// bar, before any command's shortcut takes those keys.
class FindBox : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

signals:
    void nextRequested();
    void previousRequested();
    void closeRequested();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// The bar at the foot of the window that finds texts: a text box searched as it is typed,
// "次へ" and "前へ", the counter of hits, the kana option, the list of every hit and a close
// button. Hidden until the find command shows it.
class FindBar : public QWidget, private EditorObserver {
    Q_OBJECT
public:
    // How long typing must pause before every hit is counted.
    static constexpr int kCountDelayMs = 150;

    FindBar(Editor& editor, QWidget* parent = nullptr);

    // Shows the bar with its text box focused and its text selected.
    void open();
    FindBox* box() const { return box_; }
    QLabel* counter() const { return counter_; }
    QCheckBox* kanaOption() const { return kana_; }
    QToolButton* nextButton() const { return next_; }
    QToolButton* previousButton() const { return previous_; }
    QToolButton* resultsButton() const { return results_; }
    QToolButton* closeButton() const { return close_; }
    // The text box shows that nothing was found (light red).
    bool showsNotFound() const { return notFound_; }

signals:
    // The bar was closed with Esc or its button.
    void closed();
    void resultsRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void search();
    void refresh();
    void close();
    void findChanged() override;
    void countersChanged() override;

    Editor& editor_;
    EditorObservation observation_;
    FindBox* box_;
    QToolButton* next_;
    QToolButton* previous_;
    QLabel* counter_;
    QCheckBox* kana_;
    QToolButton* results_;
    QToolButton* close_;
    QTimer count_;
    bool notFound_ = false;
};

}  // namespace brenvale
