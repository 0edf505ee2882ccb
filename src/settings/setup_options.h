#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "settings/colour.h"
#include "settings/settings.h"

namespace brenvale {

// The options dialog without widgets: what it opens with, which of its controls are enabled,
// the folder and colour lists it offers, and what its OK writes, in order.

// The colours of the two views; the options dialog edits them.
struct ViewColours {
    Colour treeBack = 0x00FFF8F8;
    Colour treeText = 0x00100000;
    Colour listBack = 0x00F8F8FF;
    Colour listText = 0x00000010;

    bool operator==(const ViewColours&) const = default;
};

enum class ViewColour { TreeBack, TreeText, ListBack, ListText };

// The entries of the interval list, in minutes.
std::span<const int> IntervalMinutes();
// The entry an interval in milliseconds opens with: the first entry of at least its whole
// minutes, else the last.
size_t IntervalEntryFor(int milliseconds);

// The entries of the mark list (UTF-8). The mark holds at most kMarkMaxBytes bytes of CP932.
std::span<const std::string_view> MarkEntries();
inline constexpr size_t kMarkMaxBytes = 2;
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

// Every value the dialog shows.
struct SetupValues {
    bool moving = false;
    bool titleShowsPath = true;
    bool titlePathOnlyWhenActive = true;
    bool applyGeometry = true;
    bool trimItemSpaces = true;
    AutoSaveMode autoSave = AutoSaveMode::Off;  // the checked radio button
    bool confirmAutoSave = true;
    size_t intervalEntry = 0;
    bool backup = false;
    FolderChoice backupChoice;
    FolderChoice tempChoice;
    std::string backupFolderText;  // the combo boxes' texts
    std::string tempFolderText;
    bool separatorItems = true;
    bool noBoxItems = true;
    std::string checkMark;  // CP932
    bool noBoxBold = true;
    bool noBoxItalic = false;
    bool noBoxUnderline = false;
    ViewColours colours;

    // The opening values, from the settings and what the window shows.
    static SetupValues Open(const Settings& settings, const ViewColours& colours,
                            int autoSaveIntervalMs, std::string_view programFolder);
};

// Which controls are enabled; a disabled label shows grey, a disabled folder combo box the
// button face.
struct SetupEnabling {
    bool titleFullActive = false;  // follows "title full path"
    bool mark = false;             // the mark and the three style boxes follow "no box"
    bool autoSaveConfirm = false;  // only when saving over the document
    bool interval = false;         // whenever auto-save is on
    bool backupFolder = false;     // follows "backup"
    bool tempFolder = false;       // only when saving to a temporary file

    bool operator==(const SetupEnabling&) const = default;
};
SetupEnabling EnablingOf(const SetupValues& values);

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

// One key OK writes: section, key and the value's text.
struct SetupWrite {
    std::string_view section;
    std::string_view key;
    std::string value;

    bool operator==(const SetupWrite&) const = default;
};

// Where OK applies each value as soon as it is written.
class SetupTarget {
public:
    virtual ~SetupTarget() = default;
    virtual void ApplySettings(const Settings& settings) = 0;
    virtual void ApplyAutoSaveInterval(int milliseconds) = 0;
    virtual void ApplyColour(ViewColour which, Colour colour) = 0;
};

class IniFile;

// Every key of the dialog in the order OK writes them, changed or not.
std::vector<SetupWrite> SetupWrites(const SetupValues& values);

// OK: writes each key and applies it at once. A write that fails throws Error: the keys
// before it stay written and applied, the rest are neither.
void WriteSetup(IniFile& ini, const SetupValues& values, const Settings& current,
                SetupTarget& target);

}  // namespace brenvale
