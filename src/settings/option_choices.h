#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "settings/colour.h"
#include "settings/option_table.h"

namespace brenvale {

// The options dialog without widgets: what it opens with, which of its controls are enabled,
// and the folder, mark, interval and colour lists it offers.

// What the dialog opens with: the current values, with the interval rounded up to an entry
// of its list (as whole minutes) and an auto-save mode that is none of the three taken as off.
OptionValues OpenOptionValues(const OptionValues& current);

// The entries of the interval list, in minutes.
std::span<const int> IntervalMinutes();
// The entry an interval in milliseconds opens with: the first entry of at least its whole
// minutes, else the last.
size_t IntervalEntryFor(int milliseconds);
// The interval an entry stands for, in milliseconds.
int IntervalOfEntry(size_t entry);

// The entries of the mark list (UTF-8). The mark holds at most kMarkMaxBytes bytes of CP932.
std::span<const std::string_view> MarkEntries();
inline constexpr size_t kMarkMaxBytes = 2;
// Whether a mark whose characters (as the user sees them, each in CP932) are these fits: at
// most kMarkMaxBytes bytes, a character held as a reference counting as one of two bytes.
bool MarkFits(std::span<const std::string> characters);
// The entry whose CP932 text is mark; nothing when the mark is free text.
std::optional<size_t> MarkEntryFor(std::string_view mark);

// The list of a folder combo box: the document's own folder, the program's folder, and at
// most one more (the stored folder or the last one chosen). Texts are path bytes (UTF-8).
inline constexpr std::string_view kOwnFolderEntry = "※ファイルを保存するフォルダ";
struct FolderChoice {
    std::vector<std::string> entries;
    size_t selected = 0;

    // The stored value of a folder setting (kOwnFolderToken or a folder).
    static FolderChoice Open(std::string_view stored, std::string_view programFolder);
    // A folder picked in the folder browser becomes the third entry, replacing an earlier one.
    void Choose(std::string folder);
};
// The value a folder combo's text stores: the token for any text beginning with "※".
std::string StoredFolder(std::string_view text);
// The width of a folder combo's opened list: the widest entry plus 6, plus the scroll bar
// when not every entry shows at once.
int FolderListWidth(std::span<const int> entryWidths, int visibleEntries, int scrollBarWidth);

// Which controls are enabled; a disabled label shows grey, a disabled folder combo box the
// button face.
struct OptionEnabling {
    bool titleFullActive = false;  // follows "title full path"
    bool mark = false;             // the mark and the three style boxes follow "no box"
    bool autoSaveConfirm = false;  // only when saving over the document
    bool interval = false;         // whenever auto-save is on
    bool backupFolder = false;     // follows "backup"
    bool tempFolder = false;       // only when saving to a temporary file

    bool operator==(const OptionEnabling&) const = default;
};
OptionEnabling EnablingOf(const OptionValues& values);

// The colour dialog's custom colours: four fixed ones, and the colour being edited in the
// ninth slot when it has no name.
class CustomColourList {
public:
    struct Slot {
        int index;  // 0 for "ColorA"
        Colour colour;
        bool operator==(const Slot&) const = default;
    };

    CustomColourList();
    // Before the colour dialog opens on a colour.
    void PrepareFor(Colour editing);
    const std::vector<std::string>& entries() const { return entries_; }
    std::vector<Slot> colourSlots() const;

private:
    std::vector<std::string> entries_;
};

}  // namespace brenvale
