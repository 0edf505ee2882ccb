#include "settings/setup_options.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <functional>

#include "common/cp932.h"
#include "document/document_writer.h"
#include "settings/ini_file.h"
#include "settings/ini_value.h"

namespace brenvale {

namespace {

constexpr std::array<int, 17> kIntervalMinutes = {1,  2,  3,  4,  5,  6,  7,  8,  9,
                                                  10, 15, 20, 25, 30, 45, 60, 120};

constexpr std::array<std::string_view, 12> kMarkEntries = {"※", "○", "●", "◎", "△", "▲",
                                                           "▽", "▼", "□", "■", "◇", "◆"};

constexpr std::string_view kReferenceMark = "※";

constexpr std::array<std::string_view, 4> kFixedCustomColours = {"ColorA=FFF8F8", "ColorB=100000",
                                                                 "ColorC=F8F8FF", "ColorD=000010"};

// One key of OK: what it writes, and how it takes effect.
struct Step {
    SetupWrite write;
    std::function<void(Settings&, SetupTarget&)> apply;
};

std::vector<Step> StepsOf(const SetupValues& v) {
    auto flag = [](bool value) { return std::string(FormatIniBool(value)); };
    auto setting = [](bool Settings::*field, bool value) {
        return [field, value](Settings& s, SetupTarget& t) {
            s.*field = value;
            t.ApplySettings(s);
        };
    };
    auto text = [](std::string Settings::*field, std::string value) {
        return [field, value](Settings& s, SetupTarget& t) {
            s.*field = value;
            t.ApplySettings(s);
        };
    };
    auto colour = [](ViewColour which, Colour value) {
        return [which, value](Settings&, SetupTarget& t) { t.ApplyColour(which, value); };
    };
    const AutoSaveMode autoSave = v.autoSave;
    const int interval =
        kIntervalMinutes[std::min(v.intervalEntry, kIntervalMinutes.size() - 1)] * 60000;
    const std::string backupFolder = StoredFolder(v.backupFolderText);
    const std::string tempFolder = StoredFolder(v.tempFolderText);
    return {
        {{"Window", "Moving", flag(v.moving)}, setting(&Settings::keepOnScreen, v.moving)},
        {{"Window", "TitleFullPath", flag(v.titleShowsPath)},
         setting(&Settings::titleShowsPath, v.titleShowsPath)},
        {{"Window", "TitleFullPathActive", flag(v.titlePathOnlyWhenActive)},
         setting(&Settings::titlePathOnlyWhenActive, v.titlePathOnlyWhenActive)},
        {{"Save", "EveryS", flag(v.applyGeometry)},
         setting(&Settings::applyGeometry, v.applyGeometry)},
        {{"Save", "SpRemv", flag(v.trimItemSpaces)},
         setting(&Settings::trimItemSpaces, v.trimItemSpaces)},
        {{"Save", "AutoSv", std::to_string(StoredNumber(autoSave))},
         [autoSave](Settings& s, SetupTarget& t) {
             s.autoSave = autoSave;
             t.ApplySettings(s);
         }},
        {{"Save", "AutoMs", flag(v.confirmAutoSave)},
         setting(&Settings::confirmAutoSave, v.confirmAutoSave)},
        {{"Save", "Interval", std::to_string(interval)},
         [interval](Settings&, SetupTarget& t) { t.ApplyAutoSaveInterval(interval); }},
        {{"Save", "BackUp", flag(v.backup)}, setting(&Settings::backup, v.backup)},
        {{"Save", "BackUpPass", backupFolder}, text(&Settings::backupFolder, backupFolder)},
        {{"Save", "TempPass", tempFolder}, text(&Settings::tempFolder, tempFolder)},
        {{"Tree", "TreeColor", FormatColour(v.colours.treeBack)},
         colour(ViewColour::TreeBack, v.colours.treeBack)},
        {{"Tree", "TreeFontColor", FormatColour(v.colours.treeText)},
         colour(ViewColour::TreeText, v.colours.treeText)},
        {{"List", "Kugiri", flag(v.separatorItems)},
         setting(&Settings::separatorItems, v.separatorItems)},
        {{"List", "CekBox", flag(v.noBoxItems)}, setting(&Settings::noBoxItems, v.noBoxItems)},
        {{"List", "CekMoj", v.checkMark}, text(&Settings::checkMark, v.checkMark)},
        {{"List", "LCBold", flag(v.noBoxBold)}, setting(&Settings::noBoxBold, v.noBoxBold)},
        {{"List", "LCItal", flag(v.noBoxItalic)}, setting(&Settings::noBoxItalic, v.noBoxItalic)},
        {{"List", "LCUnde", flag(v.noBoxUnderline)},
         setting(&Settings::noBoxUnderline, v.noBoxUnderline)},
        {{"List", "ListColor", FormatColour(v.colours.listBack)},
         colour(ViewColour::ListBack, v.colours.listBack)},
        {{"List", "ListFontColor", FormatColour(v.colours.listText)},
         colour(ViewColour::ListText, v.colours.listText)},
    };
}

}  // namespace

std::span<const int> IntervalMinutes() {
    return kIntervalMinutes;
}

size_t IntervalEntryFor(int milliseconds) {
    const int minutes = milliseconds / 1000 / 60;
    for (size_t i = 0; i < kIntervalMinutes.size(); ++i) {
        if (kIntervalMinutes[i] >= minutes) {
            return i;
        }
    }
    return kIntervalMinutes.size() - 1;
}

std::span<const std::string_view> MarkEntries() {
    return kMarkEntries;
}

std::optional<size_t> MarkEntryFor(std::string_view mark) {
    for (size_t i = 0; i < kMarkEntries.size(); ++i) {
        if (Utf8ToCp932(kMarkEntries[i]) == mark) {
            return i;
        }
    }
    return std::nullopt;
}

FolderChoice FolderChoice::Open(std::string_view stored, std::string_view programFolder) {
    FolderChoice choice;
    choice.entries = {std::string(kOwnFolderEntry), std::string(programFolder)};
    if (stored == kOwnFolderToken) {
        choice.selected = 0;
    } else if (stored == programFolder) {
        choice.selected = 1;
    } else {
        choice.entries.emplace_back(stored);
        choice.selected = 2;
    }
    return choice;
}

void FolderChoice::Choose(std::string folder) {
    if (entries.size() >= 3) {
        entries.resize(2);
    }
    entries.push_back(std::move(folder));
    selected = entries.size() - 1;
}

std::string StoredFolder(std::string_view text) {
    if (text.starts_with(kReferenceMark)) {
        return std::string(kOwnFolderToken);
    }
    return std::string(text);
}

int FolderListWidth(std::span<const int> entryWidths, int visibleEntries, int scrollBarWidth) {
    int widest = 0;
    for (int width : entryWidths) {
        widest = std::max(widest, width);
    }
    int width = widest + 6;
    if (static_cast<int>(entryWidths.size()) > visibleEntries) {
        width += scrollBarWidth;
    }
    return width;
}

SetupValues SetupValues::Open(const Settings& s, const ViewColours& colours, int autoSaveIntervalMs,
                              std::string_view programFolder) {
    SetupValues v;
    v.applyGeometry = s.applyGeometry;
    // The trimming box shows its setting too, so that OK does not quietly change it.
    v.trimItemSpaces = s.trimItemSpaces;
    v.moving = s.keepOnScreen;
    v.titleShowsPath = s.titleShowsPath;
    v.titlePathOnlyWhenActive = s.titlePathOnlyWhenActive;
    v.colours = colours;
    v.autoSave = AutoSaveModeOf(StoredNumber(s.autoSave));
    v.confirmAutoSave = s.confirmAutoSave;
    v.intervalEntry = IntervalEntryFor(autoSaveIntervalMs);
    v.backup = s.backup;
    v.backupChoice = FolderChoice::Open(s.backupFolder, programFolder);
    v.tempChoice = FolderChoice::Open(s.tempFolder, programFolder);
    v.backupFolderText = v.backupChoice.entries[v.backupChoice.selected];
    v.tempFolderText = v.tempChoice.entries[v.tempChoice.selected];
    v.separatorItems = s.separatorItems;
    v.noBoxItems = s.noBoxItems;
    v.checkMark = s.checkMark;
    v.noBoxBold = s.noBoxBold;
    v.noBoxItalic = s.noBoxItalic;
    v.noBoxUnderline = s.noBoxUnderline;
    return v;
}

SetupEnabling EnablingOf(const SetupValues& v) {
    SetupEnabling e;
    e.titleFullActive = v.titleShowsPath;
    e.mark = v.noBoxItems;
    e.autoSaveConfirm = v.autoSave == AutoSaveMode::OverDocument;
    e.interval = v.autoSave != AutoSaveMode::Off;
    e.backupFolder = v.backup;
    e.tempFolder = v.autoSave == AutoSaveMode::TempCopy;
    return e;
}

CustomColourList::CustomColourList()
    : entries_(kFixedCustomColours.begin(), kFixedCustomColours.end()) {}

void CustomColourList::PrepareFor(Colour editing) {
    if (entries_.size() > kFixedCustomColours.size()) {
        entries_.erase(entries_.begin() + kFixedCustomColours.size());
    }
    std::string text = FormatColour(editing);
    if (text.starts_with('$')) {
        entries_.push_back("ColorI=" + text.substr(3, 6));
    }
}

std::vector<CustomColourList::Slot> CustomColourList::colourSlots() const {
    std::vector<Slot> out;
    for (const std::string& entry : entries_) {
        // "ColorX=" and six hexadecimal digits, blue first.
        if (entry.size() != 13 || !entry.starts_with("Color") || entry[6] != '=') {
            continue;
        }
        out.push_back(
            {entry[5] - 'A', static_cast<Colour>(std::strtoul(entry.c_str() + 7, nullptr, 16))});
    }
    return out;
}

std::vector<SetupWrite> SetupWrites(const SetupValues& values) {
    std::vector<SetupWrite> writes;
    for (Step& step : StepsOf(values)) {
        writes.push_back(std::move(step.write));
    }
    return writes;
}

void WriteSetup(IniFile& ini, const SetupValues& values, const Settings& current,
                SetupTarget& target) {
    Settings settings = current;
    std::vector<Step> steps = StepsOf(values);
    std::vector<IniEdit> edits;
    for (const Step& step : steps) {
        edits.push_back(IniEdit::Set(step.write.section, step.write.key, step.write.value));
    }
    ini.Write(edits, [&](size_t i) { steps[i].apply(settings, target); });
}

}  // namespace brenvale
