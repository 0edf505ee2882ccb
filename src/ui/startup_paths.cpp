#include "ui/startup_paths.h"

#include "settings/companion_files.h"
#include "ui/codec.h"

namespace brenvale {

StartupOptions MakeStartupOptions(const QStringList& arguments) {
    StartupOptions options;
    std::string program = ProgramPath(arguments.isEmpty() ? "" : ToUtf8(arguments[0]).c_str());
    CompanionFiles companions = LocateCompanionFiles(program);
    options.programPath = FromUtf8(program);
    options.companionFolder = FromUtf8(companions.folder);
    options.settingsFile = FromUtf8(companions.settings);
    options.shortcutFile = FromUtf8(companions.shortcuts);
    options.files = arguments.mid(1);
    return options;
}

}  // namespace brenvale
