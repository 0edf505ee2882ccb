#include "settings/option_table.h"

#include <array>

#include "document/document_writer.h"
#include "settings/ini_value.h"

namespace brenvale {

namespace {

// One maker per form, so that a row's form always fits the type of its field.
constexpr OptionRow Bool(std::string_view section, std::string_view key, bool Settings::*field,
                         std::string_view defaultText) {
    return {section, key, field, defaultText, OptionForm::Bool};
}
constexpr OptionRow Mode(std::string_view section, std::string_view key,
                         AutoSaveMode Settings::*field, std::string_view defaultText) {
    return {section, key, field, defaultText, OptionForm::Mode};
}
constexpr OptionRow Interval(std::string_view section, std::string_view key,
                             int OptionValues::*field, std::string_view defaultText) {
    return {section, key, field, defaultText, OptionForm::Interval};
}
constexpr OptionRow Folder(std::string_view section, std::string_view key,
                           std::string Settings::*field, std::string_view defaultText) {
    return {section, key, field, defaultText, OptionForm::Folder};
}
constexpr OptionRow Text(std::string_view section, std::string_view key,
                         std::string Settings::*field, std::string_view defaultText) {
    return {section, key, field, defaultText, OptionForm::Text};
}
constexpr OptionRow ColourOption(std::string_view section, std::string_view key,
                                 Colour ViewColours::*field, std::string_view defaultText) {
    return {section, key, field, defaultText, OptionForm::Colour};
}

constexpr std::string_view kReferenceMark = "\x81\xA6";  // ※

// The settings file's spellings live here and nowhere else.
constexpr std::array kOptionTable = {
    Bool("Window", "Moving", &Settings::keepOnScreen, "0"),
    Bool("Window", "TitleFullPath", &Settings::titleShowsPath, "1"),
    Bool("Window", "TitleFullPathActive", &Settings::titlePathOnlyWhenActive, "1"),
    Bool("Save", "EveryS", &Settings::applyGeometry, "1"),
    Bool("Save", "SpRemv", &Settings::trimItemSpaces, "1"),
    Mode("Save", "AutoSv", &Settings::autoSave, "1"),
    Bool("Save", "AutoMs", &Settings::confirmAutoSave, "1"),
    Interval("Save", "Interval", &OptionValues::autoSaveInterval, "600000"),
    Bool("Save", "BackUp", &Settings::backup, "0"),
    Folder("Save", "BackUpPass", &Settings::backupFolder, kOwnFolderToken),
    Folder("Save", "TempPass", &Settings::tempFolder, kOwnFolderToken),
    ColourOption("Tree", "TreeColor", &ViewColours::treeBack, "$00FFF8F8"),
    ColourOption("Tree", "TreeFontColor", &ViewColours::treeText, "$00100000"),
    Bool("Tree", "ShowProgress", &Settings::showProgress, "0"),
    Bool("Tree", "RootButtons", &Settings::topLevelButtons, "0"),
    Bool("List", "Kugiri", &Settings::separatorItems, "1"),
    Bool("List", "CekBox", &Settings::noBoxItems, "1"),
    Text("List", "CekMoj", &Settings::checkMark, kReferenceMark),
    Bool("List", "LCBold", &Settings::noBoxBold, "1"),
    Bool("List", "LCItal", &Settings::noBoxItalic, "0"),
    Bool("List", "LCUnde", &Settings::noBoxUnderline, "0"),
    ColourOption("List", "ListColor", &ViewColours::listBack, "$00F8F8FF"),
    ColourOption("List", "ListFontColor", &ViewColours::listText, "$00000010"),
    Bool("List", "HideChecked", &Settings::hideCheckedItems, "0"),
    Bool("List", "GrayChecked", &Settings::greyCheckedItems, "0"),
    Bool("List", "DoneDate", &Settings::recordDoneDate, "0"),
};

// "※File" as a UTF-8 editor would save it by hand; the program itself writes CP932.
constexpr std::string_view kOwnFolderTokenUtf8 =
    "\xE2\x80\xBB"
    "File";

template <typename T>
T& Field(OptionValues& values, const OptionRow& row) {
    return *FieldIn<T>(values, row.field);
}

template <typename T>
const T& Field(const OptionValues& values, const OptionRow& row) {
    return *FieldIn<T>(values, row.field);
}

Colour ColourOr(const std::optional<std::string>& text, std::string_view fallback) {
    std::optional<Colour> value = text ? ParseColour(*text) : std::nullopt;
    return value ? *value : ParseColour(fallback).value_or(0);
}

void Read(OptionValues& values, const OptionRow& row, const std::optional<std::string>& text) {
    const std::optional<std::string> fallback{std::string(row.defaultText)};
    switch (row.form) {
        case OptionForm::Bool:
            Field<bool>(values, row) = IniBoolOr(text, IniBoolOr(fallback, false));
            break;
        case OptionForm::Mode:
            Field<AutoSaveMode>(values, row) =
                AutoSaveModeOf(IniIntegerOr(text, IniIntegerOr(fallback, 0)));
            break;
        case OptionForm::Interval:
            Field<int>(values, row) = IniIntegerOr(text, IniIntegerOr(fallback, 0));
            break;
        case OptionForm::Folder: {
            std::string folder = text.value_or(*fallback);
            Field<std::string>(values, row) =
                folder == kOwnFolderTokenUtf8 ? std::string(kOwnFolderToken) : folder;
            break;
        }
        case OptionForm::Text:
            Field<std::string>(values, row) = text.value_or(*fallback);
            break;
        case OptionForm::Colour:
            Field<Colour>(values, row) = ColourOr(text, row.defaultText);
            break;
    }
}

// Whether a colour row belongs to the tree (else to the list).
bool IsTreeColour(const OptionRow& row) {
    const auto* field = std::get_if<Colour ViewColours::*>(&row.field);
    return field && (*field == &ViewColours::treeBack || *field == &ViewColours::treeText);
}

}  // namespace

bool& FollowsDesktopFlag(ViewColours& colours, Colour ViewColours::*field) {
    const bool tree = field == &ViewColours::treeBack || field == &ViewColours::treeText;
    return tree ? colours.treeFollowsDesktop : colours.listFollowsDesktop;
}

std::span<const OptionRow> OptionTable() {
    return kOptionTable;
}

std::vector<IniKey> OptionKeys() {
    std::vector<IniKey> keys;
    for (const OptionRow& row : kOptionTable) {
        keys.push_back({row.section, row.key});
    }
    return keys;
}

bool FollowsDesktop(const OptionValues& values, const OptionRow& row) {
    if (row.form != OptionForm::Colour) {
        return false;
    }
    return IsTreeColour(row) ? values.colours.treeFollowsDesktop
                             : values.colours.listFollowsDesktop;
}

OptionValues OptionValuesFrom(std::span<const std::optional<std::string>> texts) {
    OptionValues values;
    bool treeHeld = false;
    bool listHeld = false;
    for (size_t i = 0; i < kOptionTable.size() && i < texts.size(); ++i) {
        const OptionRow& row = kOptionTable[i];
        Read(values, row, texts[i]);
        if (row.form == OptionForm::Colour && texts[i]) {
            (IsTreeColour(row) ? treeHeld : listHeld) = true;
        }
    }
    values.colours.treeFollowsDesktop = !treeHeld;
    values.colours.listFollowsDesktop = !listHeld;
    return values;
}

std::string OptionText(const OptionValues& values, const OptionRow& row) {
    switch (row.form) {
        case OptionForm::Bool:
            return FormatIniBool(Field<bool>(values, row));
        case OptionForm::Mode:
            return std::to_string(StoredNumber(Field<AutoSaveMode>(values, row)));
        case OptionForm::Interval:
            return std::to_string(Field<int>(values, row));
        case OptionForm::Folder:
        case OptionForm::Text:
            return Field<std::string>(values, row);
        case OptionForm::Colour:
            return FormatColour(Field<Colour>(values, row));
    }
    return {};
}

}  // namespace brenvale
