#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/path.h"
#include "document/item_kind.h"
#include "editor/list_extent.h"
#include "editor/view_notifier.h"
#include "settings/settings.h"

namespace brenvale {

class DocumentChanges;
class Topic;

// The check list the window shows: the rows of the selected Topic's Items, the selected row,
// ticks not stored yet, and the list's horizontal scroll extent. The rows are the Topic's
// Items themselves; only a tick on an Item "-" stays here, unstored, until the next store.
class VisibleList {
public:
    VisibleList(ViewNotifier& views, const Settings& settings)
        : views_(views), settings_(settings) {}
    VisibleList(const VisibleList&) = delete;
    VisibleList& operator=(const VisibleList&) = delete;

    // The Topic whose Items show; nullptr for none.
    Topic* topic() const { return topic_; }
    size_t rowCount() const;
    // A row a view or an event names may be gone already: it reads as an empty, unchecked row.
    std::string_view rowText(size_t row) const;
    bool rowChecked(size_t row) const;
    ItemKind rowKind(size_t row) const;
    int selectedRow() const { return selectedRow_; }
    bool hasSelectedItem() const { return selectedRow_ >= 0 && rowCount() > 0; }

    // Status bar: the selected position and the total ("2/5"), and the unchecked count " (3)".
    std::string counterText() const;
    std::string uncheckedText() const;

    // Horizontal scroll extent: 0, or the widest text plus 24 pixels when that does not fit
    // the list's client width.
    int extent() const { return extent_; }
    void setTextWidthMeasure(TextWidthFn measure);
    void setClientWidth(int width);

    // ---- Kept by the editor
    // Shows topic's Items with row 0 selected (nothing selected for an empty list).
    void load(Topic* topic);
    // Shows no Items at all.
    void clear();
    // Selects a row (-1: none); the views hear of it.
    void select(int row);
    // The box of a row was ticked or unticked in the view; it is stored with the next store.
    void tick(size_t row);
    // Writes every tick not stored yet, and the program's own marks, into the Topic.
    void store(DocumentChanges& changes);
    // Forgets ticks not stored, after the list was reloaded from what was stored.
    void dropUnstored();

    // What DocumentChanges tells the list of changes of the shown Topic's Items, so that its
    // bookkeeping follows: before a row's text goes, and after it came.
    void textLeaving(size_t row);
    void textArrived(size_t row);
    // Rows moved or gone: ticks not stored follow their rows. When the selected row goes, the
    // one before it is selected (row 0 when it was the first); true then.
    void rowsInserted(size_t row, size_t count);
    bool rowRemoved(size_t row);
    void rowMoved(size_t from, size_t to);
    // Measures every row again (the texts changed in place, as a save's trimming does).
    void remeasure();
    void updateExtent();

private:
    void measureAll();

    ViewNotifier& views_;
    const Settings& settings_;
    Topic* topic_ = nullptr;
    int selectedRow_ = -1;
    // Rows whose box was ticked without being stored (an Item "-"), until the next store.
    std::vector<std::pair<size_t, bool>> unstoredTicks_;
    // Whether every mark of the shown list is already "■" or "□", so storing is free.
    bool marksStored_ = true;
    TextWidthFn measure_ = [](std::string_view) { return 0; };
    WidthTracker widths_;
    int clientWidth_ = 0;
    int extent_ = 0;
};

}  // namespace brenvale
