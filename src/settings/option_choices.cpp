#include "settings/option_choices.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "common/cp932.h"
#include "document/document_writer.h"

namespace brenvale {

namespace {

constexpr std::array<int, 17> kIntervalMinutes = {1,  2,  3,  4,  5,  6,  7,  8,  9,
                                                  10, 15, 20, 25, 30, 45, 60, 120};

constexpr std::array<std::string_view, 12> kMarkEntries = {"※", "○", "●", "◎", "△", "▲",
                                                           "▽", "▼", "□", "■", "◇", "◆"};

constexpr std::string_view kReferenceMarkUtf8 = "※";

constexpr std::array<std::string_view, 4> kFixedCustomColours = {"ColorA=FFF8F8", "ColorB=100000",
                                                                 "ColorC=F8F8FF", "ColorD=000010"};

}  // namespace

OptionValues OpenOptionValues(const OptionValues& current) {
    OptionValues values = current;
    for (const OptionRow& row : OptionTable()) {
        if (row.form == OptionForm::Interval) {
            int& interval = *FieldIn<int>(values, row.field);
            interval = IntervalOfEntry(IntervalEntryFor(interval));
        } else if (row.form == OptionForm::Mode) {
            AutoSaveMode& mode = *FieldIn<AutoSaveMode>(values, row.field);
            mode = AutoSaveModeOf(StoredNumber(mode));
        }
    }
    return values;
}

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

int IntervalOfEntry(size_t entry) {
    return kIntervalMinutes[std::min(entry, kIntervalMinutes.size() - 1)] * 60000;
}

std::span<const std::string_view> MarkEntries() {
    return kMarkEntries;
}

bool MarkFits(std::span<const std::string> characters) {
    size_t bytes = 0;
    for (const std::string& c : characters) {
        bytes += HoldsReference(c) ? 2 : c.size();
    }
    return bytes <= kMarkMaxBytes;
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
    if (text.starts_with(kReferenceMarkUtf8)) {
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

OptionEnabling EnablingOf(const OptionValues& values) {
    const Settings& s = values.settings;
    OptionEnabling e;
    e.titleFullActive = s.titleShowsPath;
    e.mark = s.noBoxItems;
    e.autoSaveConfirm = s.autoSave == AutoSaveMode::OverDocument;
    e.interval = s.autoSave != AutoSaveMode::Off;
    e.backupFolder = s.backup;
    e.tempFolder = s.autoSave == AutoSaveMode::TempCopy;
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

}  // namespace brenvale
