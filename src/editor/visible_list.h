#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/path.h"
#include "document/item_kind.h"
#include "editor/list_extent.h"
#include "editor/view_notifier.h"
#include "schedule/tag_index.h"
#include "settings/settings.h"

namespace brenvale {

class DocumentChanges;
class EditorHost;
class Topic;

// The check list the window shows: the rows of the selected Topic's Items, the selected row,
// ticks not stored yet, and the list's horizontal scroll extent. Only a tick on an Item "-"
// stays here, unstored, until the next store.
//
// Rows and Items: with the switch "hide checked Items" off, row i is Item i. With it on, the
// rows are the Items that are not hidden, in their order, and the list keeps which Item each
// row shows; a checked ordinary Item is hidden. An Item ticked (or put into the list checked)
// while the switch is on stays in view until the hide timer the host keeps runs out, so that
// a mis-click can still be undone where it is. The tag filter hides the Items it does not match
// the same way, when the list is loaded or filtered again; an Item put in or changed meanwhile
// stays in view. Everything here that names a row counts rows; what names an Item counts the
// Topic's Items.
class VisibleList {
public:
    // How long a ticked Item stays in view before it is hidden.
    static constexpr int kHideDelayMs = 1500;

    VisibleList(ViewNotifier& views, const Settings& settings, EditorHost& host)
        : views_(views), settings_(settings), host_(host) {}
    VisibleList(const VisibleList&) = delete;
    VisibleList& operator=(const VisibleList&) = delete;

    // The Topic whose Items show; nullptr for none.
    Topic* topic() const { return topic_; }
    size_t rowCount() const;
    // A row a view or an event names may be gone already: it reads as an empty, unchecked row.
    std::string_view rowText(size_t row) const;
    // The stored form's reference of a row's Item (row < rowCount()).
    TextRef rowRef(size_t row) const;
    bool rowChecked(size_t row) const;
    ItemKind rowKind(size_t row) const;
    int selectedRow() const { return selectedRow_; }
    bool hasSelectedItem() const { return selectedRow_ >= 0 && rowCount() > 0; }
    // The Item of the selected row, -1 for none.
    long selectedItem() const;

    // The Item a row shows (row < rowCount()), and the row an Item shows in, if it shows.
    size_t itemOfRow(size_t row) const;
    std::optional<size_t> rowOfItem(size_t item) const;
    // The row an Item inserted at index `item` would take: the rows of the Items before it.
    size_t insertionRow(size_t item) const;
    // Items of the Topic that show in no row.
    size_t hiddenCount() const;

    // Status bar: the selected position and the total ("2/5"), the unchecked count " (3)", and
    // the Items hidden (" 非表示 4", empty when none are).
    std::string counterText() const;
    std::string uncheckedText() const;
    std::string hiddenText() const;
    // What an empty list says when every Item of its Topic is hidden ("" otherwise): one
    // line in the list's place, which is no row.
    std::string allHiddenText() const;

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
    // Selects the row of an Item; for a hidden one the row after its place (the last row
    // when none follows it).
    void selectItem(long item);
    // Shows a hidden Item (a hit of the find); returns its row.
    size_t reveal(size_t item);
    // Works out the rows again from the switch, the tag filter and the Items, keeping the
    // selected Item where it still shows; the views are reset.
    void refilter();
    // The tag filter the rows follow from the next load or refilter on (none: every Item).
    void setTagMatcher(std::optional<TagMatcher> matcher) { matcher_ = std::move(matcher); }
    bool tagFiltered() const { return matcher_.has_value(); }
    // The hide timer ran out: the Items ticked since are hidden now, if still checked.
    void hidePending();
    // The box of a row was ticked or unticked in the view; it is stored with the next store.
    void tick(size_t row);
    // Writes every tick not stored yet, and the program's own marks, into the Topic.
    void store(DocumentChanges& changes);
    // Forgets ticks not stored, after the list was reloaded from what was stored.
    void dropUnstored();

    // What DocumentChanges tells the list of changes of the shown Topic's Items, so that its
    // bookkeeping follows. Texts: before a row's text goes, and after it came.
    void textLeaving(size_t row);
    void textArrived(size_t row);
    // count Items came in from index `item` on: they show (the checked ones until the hide
    // timer runs out). Returns the row of the first.
    size_t itemsInserted(size_t item, size_t count);
    // Item `item` is gone. When its row was the selected one, the one before it is selected
    // (row 0 when it was the first); true then.
    bool itemRemoved(size_t item);
    // The rows of a move of Item from to index to (counted after it left), when the Item
    // shows; the move itself is told with itemMoved.
    std::optional<std::pair<size_t, size_t>> rowsOfMove(size_t from, size_t to) const;
    void itemMoved(size_t from, size_t to);
    // The Items were put in a new order: order[k] is the Item that went to row k. The rows
    // shown stay the same Items, the selected one included.
    void itemsReordered(const std::vector<uint32_t>& order);
    // The stored form of an Item that shows changed: a checked one is hidden soon.
    void itemChanged(size_t item);
    // Measures every row again (the texts changed in place, as a save's trimming does).
    void remeasure();
    void updateExtent();

private:
    bool hideable(size_t item) const;
    void hideSoon(size_t item);
    void buildRows();
    void measureAll();

    ViewNotifier& views_;
    const Settings& settings_;
    EditorHost& host_;
    Topic* topic_ = nullptr;
    int selectedRow_ = -1;
    // Whether some Items are hidden in the list shown: checked ones (the switch as it was at
    // its load), or those the tag filter does not match.
    bool filtering_ = false;
    bool hidingChecked_ = false;
    std::optional<TagMatcher> matcher_;
    // While filtering: the Item of each row, in ascending order.
    std::vector<uint32_t> rows_;
    // Items shown although checked, to be hidden when the hide timer runs out.
    std::vector<size_t> pendingHide_;
    // Items whose box was ticked without being stored (an Item "-"), until the next store.
    std::vector<std::pair<size_t, bool>> unstoredTicks_;
    // Whether every mark of the shown list is already "■" or "□", so storing is free.
    bool marksStored_ = true;
    TextWidthFn measure_ = [](std::string_view) { return 0; };
    WidthTracker widths_;
    int clientWidth_ = 0;
    int extent_ = 0;
};

}  // namespace brenvale
