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

int AutoSvOf(int stored) {
    return stored == 2 || stored == 3 ? stored : 1;
}

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
    const int autoSv = AutoSvOf(v.autoSv);
    const int interval =
        kIntervalMinutes[std::min(v.intervalEntry, kIntervalMinutes.size() - 1)] * 60000;
    const std::string backUpPass = StoredFolder(v.backUpPass);
    const std::string tempPass = StoredFolder(v.tempPass);
    return {
        {{"Window", "Moving", flag(v.moving)}, setting(&Settings::Moving, v.moving)},
        {{"Window", "TitleFullPath", flag(v.titleFullPath)},
         setting(&Settings::TitleFullPath, v.titleFullPath)},
        {{"Window", "TitleFullPathActive", flag(v.titleFullPathActive)},
         setting(&Settings::TitleFullPathActive, v.titleFullPathActive)},
        {{"Save", "EveryS", flag(v.everyS)}, setting(&Settings::EveryS, v.everyS)},
        {{"Save", "SpRemv", flag(v.spRemv)}, setting(&Settings::SpRemv, v.spRemv)},
        {{"Save", "AutoSv", std::to_string(autoSv)},
         [autoSv](Settings& s, SetupTarget& t) {
             s.AutoSv = autoSv;
             t.ApplySettings(s);
         }},
        {{"Save", "AutoMs", flag(v.autoMs)}, setting(&Settings::AutoMs, v.autoMs)},
        {{"Save", "Interval", std::to_string(interval)},
         [interval](Settings&, SetupTarget& t) { t.ApplyAutoSaveInterval(interval); }},
        {{"Save", "BackUp", flag(v.backUp)}, setting(&Settings::BackUp, v.backUp)},
        {{"Save", "BackUpPass", backUpPass}, text(&Settings::BackUpPass, backUpPass)},
        {{"Save", "TempPass", tempPass}, text(&Settings::TempPass, tempPass)},
        {{"Tree", "TreeColor", FormatColour(v.colours.treeBack)},
         colour(ViewColour::TreeBack, v.colours.treeBack)},
        {{"Tree", "TreeFontColor", FormatColour(v.colours.treeText)},
         colour(ViewColour::TreeText, v.colours.treeText)},
        {{"List", "Kugiri", flag(v.kugiri)}, setting(&Settings::Kugiri, v.kugiri)},
        {{"List", "CekBox", flag(v.cekBox)}, setting(&Settings::CekBox, v.cekBox)},
        {{"List", "CekMoj", v.cekMoj}, text(&Settings::CekMoj, v.cekMoj)},
        {{"List", "LCBold", flag(v.lcBold)}, setting(&Settings::LCBold, v.lcBold)},
        {{"List", "LCItal", flag(v.lcItal)}, setting(&Settings::LCItal, v.lcItal)},
        {{"List", "LCUnde", flag(v.lcUnde)}, setting(&Settings::LCUnde, v.lcUnde)},
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
    v.everyS = s.EveryS;
    // The trimming box shows its setting too, so that OK does not quietly change it.
    v.spRemv = s.SpRemv;
    v.moving = s.Moving;
    v.titleFullPath = s.TitleFullPath;
    v.titleFullPathActive = s.TitleFullPathActive;
    v.colours = colours;
    v.autoSv = AutoSvOf(s.AutoSv);
    v.autoMs = s.AutoMs;
    v.intervalEntry = IntervalEntryFor(autoSaveIntervalMs);
    v.backUp = s.BackUp;
    v.backUpFolder = FolderChoice::Open(s.BackUpPass, programFolder);
    v.tempFolder = FolderChoice::Open(s.TempPass, programFolder);
    v.backUpPass = v.backUpFolder.entries[v.backUpFolder.selected];
    v.tempPass = v.tempFolder.entries[v.tempFolder.selected];
    v.kugiri = s.Kugiri;
    v.cekBox = s.CekBox;
    v.cekMoj = s.CekMoj;
    v.lcBold = s.LCBold;
    v.lcItal = s.LCItal;
    v.lcUnde = s.LCUnde;
    return v;
}

SetupEnabling EnablingOf(const SetupValues& v) {
    SetupEnabling e;
    e.titleFullActive = v.titleFullPath;
    e.mark = v.cekBox;
    e.autoSaveConfirm = v.autoSv == 3;
    e.interval = v.autoSv != 1;
    e.backUpFolder = v.backUp;
    e.tempFolder = v.autoSv == 2;
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
    for (const Step& step : StepsOf(values)) {
        ini.WriteString(step.write.section, step.write.key, step.write.value);
        step.apply(settings, target);
    }
}

}  // namespace brenvale
