#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "settings/colour.h"
#include "settings/ini_text.h"
#include "settings/settings.h"

namespace brenvale {

// The options: every value the options dialog shows and its OK writes, each declared once as
// one row of the option table. The table drives reading them from the settings file, the
// dialog's working copy and OK's writes.

// The colours of the two views. A view whose colours the settings file does not hold
// follows the desktop: it shows the defaults, dark ones on a dark desktop, and OK leaves its
// keys out until the user chooses one of its colours.
struct ViewColours {
    Colour treeBack = 0x00FFF8F8;
    Colour treeText = 0x00100000;
    Colour listBack = 0x00F8F8FF;
    Colour listText = 0x00000010;
    bool treeFollowsDesktop = false;
    bool listFollowsDesktop = false;

    bool operator==(const ViewColours&) const = default;
};

enum class ViewColour { TreeBack, TreeText, ListBack, ListText };

// The follows-the-desktop flag of the view a colour field belongs to.
bool& FollowsDesktopFlag(ViewColours& colours, Colour ViewColours::*field);

// The option values: the Settings record, and what the window keeps itself.
struct OptionValues {
    Settings settings;
    ViewColours colours;
    int autoSaveInterval = 600000;  // milliseconds

    bool operator==(const OptionValues&) const = default;
};

// How an option is written in the settings file.
enum class OptionForm {
    Bool,      // "0" or "1"; any integer reads, non-zero being true
    Mode,      // the auto-save mode's number; a number of no mode reads as off
    Interval,  // milliseconds; the dialog offers whole minutes from a list
    Folder,    // a folder, or kOwnFolderToken for the document's own one
    Text,      // the text as it is
    Colour,    // a colour's name, or "$" and 8 hexadecimal digits
};

// Where an option's value lives. A field of OptionValues itself is the auto-save interval,
// which OK hands to the auto-save timer.
using OptionField =
    std::variant<bool Settings::*, AutoSaveMode Settings::*, std::string Settings::*,
                 Colour ViewColours::*, int OptionValues::*>;

struct OptionRow {
    std::string_view section;
    std::string_view key;
    OptionField field;
    std::string_view defaultText;  // as the file writes it
    OptionForm form;
};

// Every option, in the order OK writes them.
std::span<const OptionRow> OptionTable();

// The field in values (an OptionValues, const or not), when it holds a T; else nullptr.
template <typename T, typename Values>
auto FieldIn(Values& values, const OptionField& field) {
    using Result = std::conditional_t<std::is_const_v<Values>, const T*, T*>;
    return std::visit(
        [&values](auto member) -> Result {
            using Member = decltype(member);
            if constexpr (std::is_same_v<Member, T Settings::*>) {
                return &(values.settings.*member);
            } else if constexpr (std::is_same_v<Member, T ViewColours::*>) {
                return &(values.colours.*member);
            } else if constexpr (std::is_same_v<Member, T OptionValues::*>) {
                return &(values.*member);
            } else {
                return nullptr;
            }
        },
        field);
}

// Whether the row is a colour of a view that follows the desktop: its key stays out of the
// settings file.
bool FollowsDesktop(const OptionValues& values, const OptionRow& row);

// The key of every row, in table order, and the values those keys' texts give (a missing or
// unreadable text gives the row's default). A view none of whose colour keys is there follows
// the desktop.
std::vector<IniKey> OptionKeys();
OptionValues OptionValuesFrom(std::span<const std::optional<std::string>> texts);

// The text that stores the row's value.
std::string OptionText(const OptionValues& values, const OptionRow& row);

}  // namespace brenvale
