#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/command_entry.h"

namespace brenvale {

struct EditorParts;

// The commands in table order. Shortcut files and toolbar layouts store them by the table's name
// column, which keeps the first version's names where these identifiers differ; the 34 of the
// first version keep their places, and commands added later append after them.
enum class CommandId {
    Exit,
    NewOpen,
    Open,
    Save,
    SaveName,
    SaveText,
    ChgIcon,
    AddTree,
    AddTreeChild,
    TreeRight,
    TreeLeft,
    TreeUp,
    TreeDown,
    DelTree,
    TreeCut,
    TreeCopy,
    TreePaste,
    ListAdd,
    ListDel,
    ListMoveUp,
    ListMoveDown,
    ListReEdit,
    ListReplace,
    ListAddLine,
    ListChkBox,
    ListCut,
    ListCopy,
    ListPaste,
    Options,
    KeySet,
    ToolBtnSet,
    HelpContents,
    HelpTopic,
    About,
    Undo,
    Redo,
    Find,
    FindNext,
    FindPrevious,
    HideChecked,
    ShowProgress,
    UncheckAll,
    Import,
    Export,
    Print,
    ExportPdf,
    ListEditInPlace,
    ShowConflicts,
    Agenda,
    SortByDue,
    TagAdd,
    TagRemove,
    TagRename,
    // Not a command: how many there are. New commands go before it.
    Count,
};

inline constexpr int kCommandCount = static_cast<int>(CommandId::Count);
// The commands of the first version, which the toolbar dialog's default set is made of.
inline constexpr int kFirstVersionCommands = 34;

// What a command does, and when it is enabled (nullptr: always).
using CommandHandler = void (*)(EditorParts& parts);
using EnabledRule = bool (*)(const EditorParts& parts);
// For a command that turns a switch: whether the switch is on.
using CheckedRule = bool (*)(const EditorParts& parts);

// One row of the command table. Texts are UTF-8; the hint is "tooltip|status bar text" (a
// hint without "|" serves as both); the default key is in shortcut text form, "" for none.
struct CommandInfo {
    CommandId id;
    std::string_view name;
    int tag;
    std::string_view category;
    std::string_view caption;
    std::string_view hint;
    int image;
    std::string_view defaultKey;
    CommandHandler handler;
    EnabledRule enabled;
    // nullptr for a command that is no switch; menus and buttons show a switch checked.
    CheckedRule checked = nullptr;
    // Whether asking for the command while it is disabled beeps (otherwise nothing happens).
    bool beepsWhenDisabled = false;
};

const std::array<CommandInfo, kCommandCount>& CommandTable();
const CommandInfo& Command(CommandId id);
std::optional<CommandId> FindCommand(std::string_view name);
// Whether a command may run now: its enabled rule, applied to the state of this moment. The
// clipboard can change without the editor hearing of it, so a command that needs its text
// asks the clipboard afresh first.
bool MayRun(const CommandInfo& command, EditorParts& parts);
// The names in table order, as shortcut files and toolbar layouts store them.
std::vector<std::string_view> CommandNames();
// The table as the shortcut key and toolbar dialogs take it.
std::vector<CommandEntry> CommandEntries();

// The tooltip part of a hint (before "|") and the status bar part (after it).
std::string_view ShortHint(std::string_view hint);
std::string_view LongHint(std::string_view hint);

// A command's caption without its access key and dots, naming what it did in the hint of an
// undo or redo: "ツリー削除", "アイコン変更".
std::string StepName(CommandId id);

// The check list menu shows the separator command under a longer caption.
inline constexpr std::string_view kListAddLineMenuCaption = "チェックリスト区切り追加";

}  // namespace brenvale
