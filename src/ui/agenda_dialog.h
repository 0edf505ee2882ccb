#pragma once

#include <QDialog>
#include <QTimer>

#include "editor/editor.h"

class QLabel;
class QListView;

namespace brenvale {

class AgendaModel;

// The window "予定": every open Item with a due, in its groups; a click or Enter on a row goes
// to its Item in the main window (its Topic unfolded), and the window stays for the next one.
// It follows the document a moment after each change, and a new day.
class AgendaDialog : public QDialog, private EditorObserver {
    Q_OBJECT
public:
    static constexpr int kRefreshDelayMs = 300;
    // Rows laid out before the first paint; the others follow in batches of as many.
    static constexpr int kLayoutBatch = 20000;

    explicit AgendaDialog(Editor& editor, QWidget* parent = nullptr);

    // Shows the window with the agenda made afresh, or brings it to the front.
    void showAgenda();
    QListView* view() const { return view_; }
    AgendaModel* model() const { return model_; }
    QLabel* title() const { return title_; }
    // Goes to the Item of a row, as a click does.
    void goTo(const QModelIndex& index);

private:
    void countersChanged() override;
    void dayChanged() override;
    void reload();

    Editor& editor_;
    EditorObservation observation_;
    AgendaModel* model_;
    QListView* view_;
    QLabel* title_;
    QTimer refresh_;
};

}  // namespace brenvale
