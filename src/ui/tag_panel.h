#pragma once

#include <QAbstractListModel>
#include <QDockWidget>
#include <QTimer>

#include <string>
#include <vector>

#include "editor/editor.h"

class QListView;
class QPushButton;

namespace brenvale {

// The tags of the document as a list model: "タグなし" first, then every tag by its key, each
// with its count of open Items. A thin adapter over the editor's schedule index; reload() takes
// its state anew.
class TagListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role {
        NameRole = Qt::UserRole,  // QString: the tag's name (empty for "タグなし")
        FilterRole,               // int: 1 required by the filter, -1 excluded, 0 neither
    };

    explicit TagListModel(TagActions& tags, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    void reload();
    // The tag of a row (CP932); nothing for "タグなし".
    std::optional<std::string> tagOf(int row) const;

private:
    struct Row {
        std::string name;  // CP932; empty for "タグなし"
        size_t open = 0;
    };
    TagActions& tags_;
    std::vector<Row> rows_;
};

// The panel "タグ": a click on a tag filters the tree and the list by it, Ctrl+click adds it to
// the filter (both tags), the popup also excludes it; "タグなし" shows the Items without any
// tag. The counts follow the document a moment after each change.
class TagPanel : public QDockWidget, private EditorObserver {
    Q_OBJECT
public:
    static constexpr int kRefreshDelayMs = 200;

    explicit TagPanel(Editor& editor, QWidget* parent = nullptr);

    // The caption and hint of the switch that shows and hides the panel.
    static QString switchText() { return QStringLiteral("タグパネル(&T)"); }
    static QString switchHint() {
        return QStringLiteral("|タグの一覧(クリックで絞り込み)の表示/非表示を切り替えます");
    }

    QListView* view() const { return view_; }
    TagListModel* model() const { return model_; }
    QPushButton* clearButton() const { return clear_; }
    // A click on a row, as with the mouse (Ctrl held or not).
    void clickRow(int row, bool ctrl);
    // Until the window has first painted, a panel shown (restored at the start) waits with its
    // counts, so that the document is shown before its tags are gathered.
    void holdUntilPainted(bool held);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void countersChanged() override;
    void tagFilterChanged() override;
    void popUp(const QPoint& at);
    void refresh();

    Editor& editor_;
    bool held_ = false;
    EditorObservation observation_;
    TagListModel* model_;
    QListView* view_;
    QPushButton* clear_;
    QTimer refresh_;
    uint64_t shownVersion_ = 0;
};

}  // namespace brenvale
