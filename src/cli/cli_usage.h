#pragma once

#include <string>

namespace brenvale {

// The exchange formats' names as the usage lists them: "md|opml|txt".
std::string CliFormatNames();

// The text of brenvale-cli --help.
std::string CliUsage();

}  // namespace brenvale
