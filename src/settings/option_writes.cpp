#include "settings/option_writes.h"

#include "settings/ini_file.h"

namespace brenvale {

namespace {

ViewColour WhichColour(Colour ViewColours::*field) {
    return field == &ViewColours::treeBack   ? ViewColour::TreeBack
           : field == &ViewColours::treeText ? ViewColour::TreeText
           : field == &ViewColours::listBack ? ViewColour::ListBack
                                             : ViewColour::ListText;
}

// Applies one written option: a field of the Settings record goes to the editor with the
// record, a colour to its view, the interval to the auto-save timer.
class Applier {
public:
    Applier(const OptionValues& values, const Settings& current, OptionTarget& target)
        : values_(values), applied_(current), target_(target) {}

    void operator()(const OptionRow& row) {
        std::visit([this](auto field) { Apply(field); }, row.field);
    }

private:
    template <typename T>
    void Apply(T Settings::*field) {
        applied_.*field = values_.settings.*field;
        target_.ApplySettings(applied_);
    }
    void Apply(Colour ViewColours::*field) {
        target_.ApplyColour(WhichColour(field), values_.colours.*field);
    }
    void Apply(int OptionValues::*field) { target_.ApplyAutoSaveInterval(values_.*field); }

    const OptionValues& values_;
    Settings applied_;
    OptionTarget& target_;
};

// The rows OK writes, in table order: all but the colours of views that follow the desktop.
std::vector<const OptionRow*> WrittenRows(const OptionValues& values) {
    std::vector<const OptionRow*> rows;
    for (const OptionRow& row : OptionTable()) {
        if (!FollowsDesktop(values, row)) {
            rows.push_back(&row);
        }
    }
    return rows;
}

}  // namespace

std::vector<OptionWrite> OptionWrites(const OptionValues& values) {
    std::vector<OptionWrite> writes;
    for (const OptionRow* row : WrittenRows(values)) {
        writes.push_back({row->section, row->key, OptionText(values, *row)});
    }
    return writes;
}

void WriteOptions(IniFile& ini, const OptionValues& values, const Settings& current,
                  OptionTarget& target) {
    const std::vector<const OptionRow*> rows = WrittenRows(values);
    std::vector<IniEdit> edits;
    for (const OptionRow* row : rows) {
        edits.push_back(IniEdit::Set(row->section, row->key, OptionText(values, *row)));
    }
    Applier apply(values, current, target);
    ini.Write(edits, [&](size_t i) { apply(*rows[i]); });
}

}  // namespace brenvale
