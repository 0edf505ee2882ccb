#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "settings/command_entry.h"

namespace brenvale {

// One entry of the toolbar dialog's lists: a command's button or a separator.
struct ToolbarEntry {
    static constexpr int kSeparator = -1;
    static constexpr int kNoImage = 9999;

    int command = kSeparator;  // table position of the command
    std::string text;  // "(01) 終了", "(03) 開く...", or "区切り" for a separator (UTF-8)
    int image = kNoImage;

    bool isSeparator() const { return command == kSeparator; }
};

// One multi-selection list: its entries, which of them are selected and the current entry.
class ToolbarEntryList {
public:
    size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    const ToolbarEntry& at(size_t index) const { return entries_[index]; }
    const std::vector<ToolbarEntry>& entries() const { return entries_; }

    bool isSelected(size_t index) const { return selected_[index]; }
    void setSelected(size_t index, bool selected) { selected_[index] = selected; }
    // The current entry, -1 for none.
    int current() const { return current_; }
    void setCurrent(int index) { current_ = index; }
    void clearSelection();
    // Makes the entry the only selected one and the current one.
    void selectOnly(size_t index);
    // The first selected entry, -1 for none.
    int firstSelection() const;
    size_t selectionCount() const;

    void insert(size_t index, ToolbarEntry entry);
    void erase(size_t index);
    void clear();

private:
    std::vector<ToolbarEntry> entries_;
    std::vector<bool> selected_;
    int current_ = -1;
};

// The toolbar dialog's working copy: the available buttons (kept sorted by text, always with
// one separator entry that works as a template) and the buttons to show, in toolbar order.
// The dialog's buttons and its drag-and-drop change the lists only through these functions.
class ToolbarLists {
public:
    enum class Which { Src, Dst };

    // The commands in table order, and the toolbar as it is shown: table positions from left
    // to right, ToolbarEntry::kSeparator for a separator.
    ToolbarLists(std::span<const CommandEntry> commands, std::span<const int> toolbar);

    ToolbarEntryList& list(Which which) { return which == Which::Src ? src_ : dst_; }
    const ToolbarEntryList& list(Which which) const { return which == Which::Src ? src_ : dst_; }
    const ToolbarEntryList& src() const { return src_; }
    const ToolbarEntryList& dst() const { return dst_; }
    // The list that SetItem last gave the focus to.
    Which focusList() const { return focus_; }

    ToolbarEntry CommandEntryOf(size_t command) const;
    static ToolbarEntry SeparatorEntry();

    // Moves one entry: into the available list at its sorted place, into the shown list at
    // position (clamped; SIZE_MAX appends), and makes it the only selected entry there. The
    // template stays where it is (the shown list gets a copy); a separator leaving the shown
    // list is only deleted. Within one list the entry moves to position. Gives the entry's
    // new index, or nothing when it was deleted.
    std::optional<size_t> MoveEntry(Which from, size_t index, Which to, size_t position);
    // Moves every selected entry, from the last to the first (so several of them arrive in
    // the shown list in reverse order).
    void MoveSelected(Which from, Which to);
    // Selects only the entry at index, clamped into the list (-1 gives the first), makes it
    // current and focuses the list.
    void SetItem(Which which, int index);

    // The dialog's buttons.
    void Add();
    void Del();
    void AddAll();
    void DelAll();
    void Up();
    void Down();
    // The default set: every command of it in table order, a separator before each change of
    // category; the other commands are offered on the left.
    void Reset();

    struct Buttons {
        bool add = false;
        bool del = false;
        bool addAll = false;
        bool delAll = false;
        bool up = false;
        bool down = false;
    };
    // SetButtons.
    Buttons ButtonStates() const;

    // A drag takes one entry: a list with several selected entries keeps only the current.
    void StartDrag(Which which);
    // Where the red line goes while dragging the entry dragged of from over the shown list:
    // the gap before entry k (k == size: after the last). over is the entry under the
    // pointer, nothing below the last entry.
    size_t DropPlace(Which from, size_t dragged, std::optional<size_t> over) const;
    // Drops on the shown list (over as above) and on the available list.
    void DropOnDst(Which from, size_t dragged, std::optional<size_t> over);
    void DropOnSrc(size_t dragged);

    // The ToolBar section's values for OK: the command's name, "-" for a separator.
    std::vector<std::string> ToolbarValues() const;

private:
    size_t sortedPlace(const ToolbarEntry& entry) const;

    std::vector<CommandEntry> commands_;
    ToolbarEntryList src_;
    ToolbarEntryList dst_;
    Which focus_ = Which::Src;
};

}  // namespace brenvale
