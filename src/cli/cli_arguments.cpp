#include "cli/cli_arguments.h"

#include <unistd.h>

#include <cerrno>

#include "common/error.h"
#include "common/readable_file.h"
#include "settings/ini_file.h"
#include "settings/settings_file.h"

namespace brenvale {

std::optional<std::string> OptionValue(const std::vector<std::string>& args, size_t& i,
                                       const std::string& name) {
    if (args[i].starts_with(name + "=")) {
        return args[i].substr(name.size() + 1);
    }
    if (args[i] != name) {
        return std::nullopt;
    }
    if (++i == args.size()) {
        throw UsageError{name + " needs a value"};
    }
    return args[i];
}

Settings SettingsNamedBy(const std::string& file) {
    OpenedFile opened = OpenRegularFile(file);
    if (opened.fd >= 0) {
        ::close(opened.fd);
    } else if (opened.failure != OpenFailure::System || opened.error != ENOENT) {
        throw Error(OpenFailureText(file, opened));
    }
    return ReadOptionSettings(IniFile(file));
}

}  // namespace brenvale
