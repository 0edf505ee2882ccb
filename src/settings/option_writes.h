#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/option_table.h"

namespace brenvale {

class IniFile;

// One key the options dialog's OK writes: section, key and the value's text.
struct OptionWrite {
    std::string_view section;
    std::string_view key;
    std::string value;

    bool operator==(const OptionWrite&) const = default;
};

// Every option in the order OK writes them, changed or not; the colours of a view that
// follows the desktop are left out.
std::vector<OptionWrite> OptionWrites(const OptionValues& values);

// Where OK applies each value as soon as it is written.
class OptionTarget {
public:
    virtual ~OptionTarget() = default;
    virtual void ApplySettings(const Settings& settings) = 0;
    virtual void ApplyAutoSaveInterval(int milliseconds) = 0;
    virtual void ApplyColour(ViewColour which, Colour colour) = 0;
};

// OK: writes every option (as OptionWrites) and applies each once it is written, in order; current
// is the Settings record before OK. A write that fails throws Error: the options before it stay
// written and applied, the rest are neither.
void WriteOptions(IniFile& ini, const OptionValues& values, const Settings& current,
                  OptionTarget& target);

}  // namespace brenvale
