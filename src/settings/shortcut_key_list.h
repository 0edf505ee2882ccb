#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "settings/command_entry.h"
#include "settings/shortcut.h"
#include "settings/shortcut_file.h"

namespace brenvale {

// The shortcut key dialog's working copy: one row per command with the key text it shows,
// in the order the list is sorted by. Texts are UTF-8. The commands change only when the
// dialog's OK takes the keys from here.
class ShortcutKeyList {
public:
    // Columns of the list, counted from 1 as the sort state counts them.
    enum Column { kNumber = 1, kCaption = 2, kKey = 3, kCategory = 4 };

    // The commands in table order with their current shortcuts.
    ShortcutKeyList(std::span<const CommandEntry> commands, std::span<const Shortcut> shortcuts);

    size_t size() const { return rows_.size(); }
    // The command (its table position) shown in a row.
    size_t commandAt(size_t row) const { return rows_[row].command; }
    const CommandEntry& commandEntry(size_t row) const { return commands_[commandAt(row)]; }
    std::optional<size_t> rowOf(size_t command) const;
    // "00".."33", the caption without its access key, the key text, the category.
    std::string text(size_t row, int column) const;
    const std::string& keyText(size_t row) const { return rows_[row].key; }
    void setKeyText(size_t row, std::string text) { rows_[row].key = std::move(text); }

    // 0 unsorted; +k ascending or -k descending by column k.
    int sortState() const { return sort_; }
    // A click on column k: the same column again turns the order round.
    void ClickColumn(int column);

    // What the key list and the three modifier boxes show for a row: the key list entry
    // (nothing when the key is not in the list, which then keeps its entry) and the boxes.
    struct Controls {
        std::optional<size_t> keyEntry;
        bool shift = false;
        bool ctrl = false;
        bool alt = false;
    };
    Controls ControlsFor(size_t row) const;

    // The key text made of a key list entry and the boxes: no entry, entry 0, or a key other
    // than a function key without a modifier gives the none text.
    static std::string ComposeKey(std::optional<size_t> keyEntry, bool shift, bool ctrl, bool alt);

    // The checks before OK, in display order: a key text seen before (in any letter case),
    // and a key the main window uses itself. confirm(row, message) shows each warning with
    // that row selected; false (Cancel) stops, and the result is then false.
    bool ConfirmKeys(
        const std::function<bool(size_t row, const std::string& message)>& confirm) const;

    // OK's changes: sorts by the first column, which is table order again, and gives the
    // parsed shortcut of every command.
    std::vector<Shortcut> SortedShortcuts();

    // The lines of a shortcut file, in display order.
    std::vector<ShortcutFileLine> FileLines() const;
    // Export: the existing file question (UTF-8) to ask before writing over a file.
    static std::string OverwriteQuestion(const std::string& path);
    void Export(const std::string& path) const;
    // Import: every row takes the text the file holds for its command, the none text where
    // it holds none. A missing file changes nothing and gives the message to show.
    std::optional<std::string> Import(const std::string& path);

private:
    struct Row {
        size_t command;
        std::string key;
    };
    void sort();

    std::vector<CommandEntry> commands_;
    std::vector<Row> rows_;
    int sort_ = 0;
};

}  // namespace brenvale
