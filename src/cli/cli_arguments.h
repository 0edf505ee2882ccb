#pragma once

#include <optional>
#include <string>
#include <vector>

#include "settings/settings.h"

namespace brenvale {

// A command line the tool cannot take; its text goes to standard error with the usage.
struct UsageError {
    std::string text;
};

// The value of an option given as "--name VALUE" or "--name=VALUE" at args[i] (i then stands
// on the value); nothing when args[i] is another argument.
std::optional<std::string> OptionValue(const std::vector<std::string>& args, size_t& i,
                                       const std::string& name);

// The settings named by --settings, read as the editor reads its own: a missing file or key
// gives the default. A file that is there but cannot be read is an error here, since the
// caller named it.
Settings SettingsNamedBy(const std::string& file);

}  // namespace brenvale
