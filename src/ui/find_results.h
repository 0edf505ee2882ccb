#pragma once

#include <QAbstractListModel>
#include <QTimer>
#include <QWidget>

#include "editor/editor.h"

class QLabel;
class QListView;
class QToolButton;

namespace brenvale {

// The list of every hit as an item model: "Topic › Topic › text" per row.
class FindResultsModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit FindResultsModel(const FindActions& find, QObject* parent = nullptr)
        : QAbstractListModel(parent), find_(find) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // The editor made the list anew.
    void reload();

private:
    const FindActions& find_;
};

// The panel under the tree that lists every hit of the find; a click on one goes there. When
// the document changes the list is made again a moment later (and at once when a hit of the
// old list is clicked), so it never leads to a place that is gone.
class FindResultsPanel : public QWidget, private EditorObserver {
    Q_OBJECT
public:
    static constexpr int kRefreshDelayMs = 300;

    FindResultsPanel(Editor& editor, QWidget* parent = nullptr);

    QListView* view() const { return view_; }
    FindResultsModel* model() const { return model_; }
    QLabel* title() const { return title_; }

private:
    void findChanged() override;
    void countersChanged() override;
    void updateTitle();

    Editor& editor_;
    EditorObservation observation_;
    FindResultsModel* model_;
    QLabel* title_;
    QListView* view_;
    QToolButton* close_;
    QTimer refresh_;
    uint64_t shownVersion_ = 0;
};

}  // namespace brenvale
