#pragma once

#include <cstdint>
#include <string>

#include "document/document_reader.h"
#include "document/document_writer.h"
#include "document/item_kind.h"

namespace brenvale {

// What the auto-save timer does while the document has unsaved changes. The settings file
// stores it as 1, 2 or 3; any other stored value reads as Off.
enum class AutoSaveMode : int32_t { Off = 1, TempCopy = 2, OverDocument = 3 };

// The mode a stored number stands for, and the number that stores a mode.
inline AutoSaveMode AutoSaveModeOf(int32_t stored) {
    return stored == 2 || stored == 3 ? static_cast<AutoSaveMode>(stored) : AutoSaveMode::Off;
}
inline int32_t StoredNumber(AutoSaveMode mode) {
    return static_cast<int32_t>(mode);
}

// The option values of the settings file. Texts are raw bytes: checkMark is CP932, the
// folders are native path bytes or kOwnFolderToken.
struct Settings {
    bool titleShowsPath = true;
    bool titlePathOnlyWhenActive = true;
    bool keepOnScreen = false;
    bool applyGeometry = true;
    bool trimItemSpaces = true;
    AutoSaveMode autoSave = AutoSaveMode::Off;
    bool confirmAutoSave = true;
    bool backup = false;
    std::string backupFolder = std::string(kOwnFolderToken);
    std::string tempFolder = std::string(kOwnFolderToken);
    bool separatorItems = true;
    bool noBoxItems = true;
    std::string checkMark = "\x81\xA6";  // ※
    bool noBoxBold = true;
    bool noBoxItalic = false;
    bool noBoxUnderline = false;
    // The switches of the options menu: checked Items hidden in the list, each Topic's
    // progress shown after its caption in the tree.
    bool hideCheckedItems = false;
    bool showProgress = false;
    // "完了日を記録": a ticked Item gets "done:" and the day, which goes again when unticked.
    bool recordDoneDate = false;
    // Checked Items drawn in grey with a line through their text.
    bool greyCheckedItems = false;
    // Top-level Topics have an expand button too, as every Topic below them has.
    bool topLevelButtons = false;

    bool operator==(const Settings&) const = default;

    ListKindOptions listKindOptions() const { return {separatorItems, noBoxItems, checkMark}; }
    WriteOptions writeOptions() const { return {trimItemSpaces, backup, backupFolder}; }
    ReadOptions readOptions() const {
        ReadOptions options;
        options.applyGeometry = applyGeometry;
        return options;
    }
};

}  // namespace brenvale
