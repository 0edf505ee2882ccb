#pragma once

#include <QAbstractItemModel>
#include <QIcon>

#include <functional>

#include "editor/editor.h"

namespace brenvale {

// The topic tree as an item model: a thin adapter over the editor's Document that passes
// on the editor's change notifications, so edits never reset the view.
//
// The tree view lays out, expands and scrolls to its rows with one nested call per level, so
// a document nested tens of thousands of levels deep would overflow the stack. The model
// holds only the Topics of the first kShownLevels levels; the deeper ones stay in the
// Document (and in its file) but the view never sees them.
class TopicTreeModel : public QAbstractItemModel, public EditorObserver {
    Q_OBJECT
public:
    static constexpr int kShownLevels = 1000;

    enum Role {
        // While the progress shows: the counter after the caption ("3/10", empty when there is
        // nothing to count), and whether every Item is checked. The display text is the
        // caption, a space and the counter.
        ProgressRole = Qt::UserRole,
        ProgressCompleteRole,
    };

    // icon(index, selected) gives the picture of a topic image.
    using IconProvider = std::function<QIcon(int icon)>;

    TopicTreeModel(Editor& editor, IconProvider icons, QObject* parent = nullptr);
    ~TopicTreeModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    Topic* topic(const QModelIndex& index) const;
    // The index of a Topic; invalid for nullptr and for a Topic below the shown levels.
    QModelIndex indexOf(const Topic* topic) const;
    // The same for a Topic whose level (0 at the top) the caller knows.
    QModelIndex indexOf(const Topic* topic, int level) const;
    // Whether a Topic's children are rows of the model (nullptr: the top level).
    static bool showsChildrenOf(const Topic* topic);

signals:
    // The editor changed a Topic's expanded state; after a reset every state is to be applied.
    void expansionChanged(const QModelIndex& index, bool expanded);
    void expansionReset();

private:
    void beginInsertTopic(Topic* parent, size_t row) override;
    void endInsertTopic() override;
    void beginRemoveTopic(Topic* parent, size_t row) override;
    void endRemoveTopic() override;
    void beginMoveTopic(Topic* fromParent, size_t fromRow, Topic* toParent, size_t toRow) override;
    void endMoveTopic() override;
    void topicChanged(Topic* topic) override;
    void topicExpansionChanged(Topic* topic) override;
    void manyExpansionsChanged() override;
    void beginResetTree() override;
    void endResetTree() override;
    void topicProgressChanged(Topic* topic) override;
    QModelIndex rowIndex(const Topic* topic) const;

    Editor& editor_;
    IconProvider icons_;
    EditorObservation observation_;
    // How the change under way is told: as it is, as a reset (a move the item model cannot
    // express, or one that takes Topics across the last shown level), or not at all (it
    // happens below the shown levels).
    enum class Telling { AsIs, AsReset, Not };
    Telling insertTelling_ = Telling::AsIs;
    Telling removeTelling_ = Telling::AsIs;
    Telling moveTelling_ = Telling::AsIs;
};

}  // namespace brenvale
